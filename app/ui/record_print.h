#pragma once
// The record on paper, in the shell: the printout (the record drawn through the wx canvas at
// the printer's resolution, so one logical unit is 0.1 mm on paper, at its true size), the
// print and preview commands with the page setup, and the clipboard of the copy command (SVG
// and a bitmap at the screen's scale, together).
//
// The origin of the record on the page is the top-left corner of the printable area (or of the
// page setup's margins), taken from the paper rectangle the toolkit reports. Text is measured
// on the printer and its height corrected to the proportion it has on the screen (the GTK
// printer makes text larger than asked), and the preview's zoom follows the screen's content
// scale. Without a printer the preview shows the page of the toolkit's PostScript printer.

#include <memory>
#include <optional>
#include <string>

#include <wx/bitmap.h>
#include <wx/cmndata.h>
#include <wx/print.h>

#include "app/view/paper_output.h"

namespace velk {

class StatusPanes;
class Workspace;

class CRecordPrintout : public wxPrintout {
public:
    // `marginMm`: the top-left margin of the page setup, in millimetres.
    CRecordPrintout(Workspace& ws, std::string documentTitle, wxPoint marginMm = wxPoint(0, 0));

    // The printing flags are set from here to OnEndPrinting, and come back at the latest when
    // the printout goes.
    void OnBeginPrinting() override;
    void OnEndPrinting() override;
    bool HasPage(int page) override { return page == 1; }
    void GetPageInfo(int* minPage, int* maxPage, int* pageFrom, int* pageTo) override;
    bool OnPrintPage(int page) override;

    // Where the last page put the logical origin, in device pixels of the page, and the pixels
    // per logical unit it used (for tests).
    wxPoint LastOrigin() const { return lastOrigin_; }
    double LastPixelsPerUnit() const { return lastPixelsPerUnit_; }

private:
    Workspace& ws_;
    std::string documentTitle_;
    wxPoint marginMm_;
    std::optional<PaperScope> paper_;
    wxPoint lastOrigin_;
    double lastPixelsPerUnit_ = 0.0;
};

// The printer settings of the run and the three File commands.
class RecordPrinter {
public:
    RecordPrinter();
    // The print dialog, then the page; a failed print (not a cancel) says so.
    void Print(wxWindow* parent, Workspace& ws, const std::string& documentTitle);
    // A preview frame over the parent.
    void Preview(wxWindow* parent, Workspace& ws, const std::string& documentTitle);
    void PageSetup(wxWindow* parent);

    wxPrintDialogData& DialogData() { return dialogData_; }

private:
    wxPrintDialogData dialogData_;
    wxPageSetupDialogData pageSetup_;
};

// The system clipboard of the copy command.
class WxRecordClipboard : public RecordClipboard {
public:
    void DrawBitmap(Workspace& ws, const CopyFrame& frame, const std::string& documentTitle) override;
    bool Place(const std::string& svg) override;

    const wxBitmap& Bitmap() const { return bitmap_; }

private:
    wxBitmap bitmap_;
};

// The MIME type of the vector flavour.
inline constexpr const char* kSvgMimeType = "image/svg+xml";

}  // namespace velk
