#include "app/ui/record_print.h"

#include <algorithm>
#include <cmath>

#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/generic/printps.h>
#include <wx/printdlg.h>

#include "app/view/display_state.h"
#include "draw/parallel.h"
#include "app/view/record_drawing.h"
#include "app/view/record_paint.h"
#include "app/ui/record_render.h"
#include "toolkit/page_placement.h"
#include "toolkit/wx_dc_canvas.h"
#include "app/workspace.h"
#include "platform/language.h"
#include "platform/uihost.h"

namespace velk {
namespace {

wxString W(const std::string& s) { return wxString::FromUTF8(s); }

// The largest side of the clipboard's bitmap, in pixels; a larger frame is drawn smaller.
constexpr int kMaxBitmapSide = 8192;

}  // namespace

// ---------------------------------------------------------------------------------------------

CRecordPrintout::CRecordPrintout(Workspace& ws, std::string documentTitle, wxPoint marginMm)
    : wxPrintout(W(documentTitle.empty() ? std::string("Velkarine") : documentTitle)),
      ws_(ws),
      documentTitle_(std::move(documentTitle)),
      marginMm_(marginMm)
{
}

void CRecordPrintout::OnBeginPrinting()
{
    wxPrintout::OnBeginPrinting();
    paper_.emplace(ws_);
}

void CRecordPrintout::OnEndPrinting()
{
    paper_.reset();
    wxPrintout::OnEndPrinting();
}

void CRecordPrintout::GetPageInfo(int* minPage, int* maxPage, int* pageFrom, int* pageTo)
{
    *minPage = *maxPage = *pageFrom = *pageTo = 1;
}

bool CRecordPrintout::OnPrintPage(int)
{
    wxDC* dc = GetDC();
    if (!dc) return false;
    LogicalMapping mapping;
    wxPoint origin;
    if (!PlacePage(*this, *dc, marginMm_, mapping, &origin)) return false;
    lastOrigin_ = origin;
    lastPixelsPerUnit_ = mapping.pixelsPerUnitX;

    WxDcCanvas canvas(*dc, mapping);
    canvas.SetMatchScreenText(true);
    if (!ws_.display.drawing.workers) ws_.display.drawing.workers = std::make_shared<WorkerPool>();
    canvas.SetWorkerPool(ws_.display.drawing.workers.get());
    RecordPaint paint{canvas, nullptr, true, documentTitle_, {}};
    OnDraw(paint, ws_);
    canvas.Flush();
    return true;
}

// ---------------------------------------------------------------------------------------------

RecordPrinter::RecordPrinter()
{
    dialogData_.SetAllPages(true);
    dialogData_.SetMinPage(1);
    dialogData_.SetMaxPage(1);
    dialogData_.SetFromPage(1);
    dialogData_.SetToPage(1);
    dialogData_.EnablePageNumbers(false);
}

void RecordPrinter::Print(wxWindow* parent, Workspace& ws, const std::string& documentTitle)
{
    wxPrinter printer(&dialogData_);
    CRecordPrintout printout(ws, documentTitle, pageSetup_.GetMarginTopLeft());
    if (!printer.Print(parent, &printout, true) && wxPrinter::GetLastError() == wxPRINTER_ERROR) {
        ws.ui().Message(Msg(ws.startup.language, "The record could not be printed !", "印刷できませんでした !"),
                        MsgButtons::Ok, MsgIcon::Warning);
        return;
    }
    dialogData_ = printer.GetPrintDialogData();
}

void RecordPrinter::Preview(wxWindow* parent, Workspace& ws, const std::string& documentTitle)
{
    const wxPoint margin = pageSetup_.GetMarginTopLeft();
    wxPrintPreviewBase* preview = new wxPrintPreview(new CRecordPrintout(ws, documentTitle, margin),
                                                     new CRecordPrintout(ws, documentTitle, margin), &dialogData_);
    if (!preview->IsOk()) {
        // No printer to preview for: the page as the toolkit's PostScript printer would print it.
        delete preview;
        preview = new wxPostScriptPrintPreview(new CRecordPrintout(ws, documentTitle, margin),
                                               new CRecordPrintout(ws, documentTitle, margin), &dialogData_);
    }
    if (!preview->IsOk()) {
        delete preview;
        ws.ui().Message(Msg(ws.startup.language, "The print preview cannot be shown: no printer is set up.",
                            "印刷プレビューを表示できません: プリンタが設定されていません。"),
                        MsgButtons::Ok, MsgIcon::Warning);
        return;
    }
    // The preview measures the page in the screen's pixels of 96 per inch; on a scaled screen
    // it would come out too small.
    const double scale = parent ? parent->GetContentScaleFactor() : 1.0;
    if (scale > 1.0) preview->SetZoom(std::clamp(static_cast<int>(std::lround(preview->GetZoom() * scale)), 10, 200));
    const std::string title = Msg(ws.startup.language, "Print Preview", "印刷プレビュー");
    auto* frame = new wxPreviewFrame(preview, parent, W(title), wxDefaultPosition,
                                     parent ? parent->GetSize() : wxSize(800, 600));
    frame->Centre(wxBOTH);
    frame->Initialize();
    frame->Show();
}

void RecordPrinter::PageSetup(wxWindow* parent)
{
    pageSetup_.SetPrintData(dialogData_.GetPrintData());
    wxPageSetupDialog dialog(parent, &pageSetup_);
    if (dialog.ShowModal() == wxID_OK) {
        pageSetup_ = dialog.GetPageSetupDialogData();
        dialogData_.SetPrintData(pageSetup_.GetPrintData());
    }
}

// ---------------------------------------------------------------------------------------------

void WxRecordClipboard::DrawBitmap(Workspace& ws, const CopyFrame& frame, const std::string& documentTitle)
{
    const wxSize ppi = wxScreenDC().GetPPI();
    LogicalMapping mapping = LogicalMapping::ForDpi(ppi.x, ppi.y);
    double w = frame.WidthUnits() * mapping.pixelsPerUnitX, h = frame.HeightUnits() * mapping.pixelsPerUnitY;
    const double shrink = std::min(1.0, kMaxBitmapSide / std::max({w, h, 1.0}));
    mapping.pixelsPerUnitX *= shrink;
    mapping.pixelsPerUnitY *= shrink;
    w = std::max(1.0, std::ceil(w * shrink));
    h = std::max(1.0, std::ceil(h * shrink));
    bitmap_.Create(static_cast<int>(w), static_cast<int>(h), 24);
    RecordRenderInfo info;
    info.documentTitle = documentTitle;
    RenderRecordBitmap(bitmap_, mapping, ws, info);
}

bool WxRecordClipboard::Place(const std::string& svg)
{
    if (!wxTheClipboard->Open()) return false;
    wxTheClipboard->Clear();
    auto* both = new wxDataObjectComposite;
    auto* vector = new wxCustomDataObject(wxDataFormat(kSvgMimeType));
    vector->SetData(svg.size(), svg.data());
    both->Add(vector, true);
    if (bitmap_.IsOk()) both->Add(new wxBitmapDataObject(bitmap_));
    const bool placed = wxTheClipboard->SetData(both);
    wxTheClipboard->Close();
    // The data stays when the program ends (a clipboard manager keeps it).
    wxTheClipboard->Flush();
    return placed;
}

}  // namespace velk
