#pragma once
// The two paged editors of trace headers, as core objects: "Header information"
// (CHeaderInfoDlg, eight traces a page, eleven columns) and "Geometry" (CGeometryDlg, six
// receivers a page with the whole-record geometry). Each keeps a working copy of the record's
// values; its request shows one page and its buttons page through the copy, writing the page
// back first. The caller takes the copy back only after OK.

#include <array>
#include <span>
#include <string>
#include <vector>

#include "base/trace_header.h"
#include "platform/uihost.h"

namespace velk {

// The eleven per-trace columns of the header dialog, n entries each (the caller's arrays).
struct HeaderInfoColumns {
    std::vector<int> traceNumber;      // index + 1
    std::vector<int> receiver;         // cm (hundredths)
    std::vector<int> source;           // cm
    std::vector<int> gain;
    std::vector<int> component;
    std::vector<float> delay;          // µs here; the dialog shows ms
    std::vector<float> interval;       // µs
    std::vector<int> length;           // samples
    std::vector<float> firstArrival;   // ms
    std::vector<float> amplitude;      // display factor
    std::vector<float> timeShift;      // ms
    void Resize(int n);                // every column n entries, zero-filled
    int Size() const { return static_cast<int>(traceNumber.size()); }
};

class CHeaderInfoDlg {
public:
    static constexpr const char* kClass = "CHeaderInfoDlg";
    static constexpr int kRows = 8;
    static constexpr int kColumns = 11;
    // Column titles, in order (the fields of row r are "<title> <r>", r = 1..8).
    static const std::array<const char*, kColumns> kTitles;
    static constexpr const char* kTraceCount = "# of traces";
    static constexpr const char* kNext = "Next";
    static constexpr const char* kBack = "Back";
    static constexpr const char* kInitialize = "Initialize ";
    static constexpr const char* kInitializeFirstArrival = "Initialize first arrival";
    static constexpr const char* kInitializeAmplitude = "Initialize amplitude";

    // n values of each column in (the delay given in µs is held in ms); entries n .. n + 7
    // zero-filled. The first page is shown.
    void SetHeaders(int n, const HeaderInfoColumns& columns);
    // The n values out (delay back in µs).
    void GetHeaders(HeaderInfoColumns& columns) const;
    // 1 after OK, 0 after Cancel.
    int GetStatus() const { return status_; }

    // The request of the current page with the buttons; the object must outlive it.
    DialogRequest Request(int language);
    // After the dialog: OK takes the page back and sets status 1; Cancel sets status 0.
    void Finish(bool ok);

    // The buttons (each takes the page back first and shows it again).
    void Next();
    void Back();
    void InitializeTimeShifts();     // every time shift 0
    void InitializeFirstArrivals();  // every first arrival 0
    void InitializeAmplitudes();     // every amplitude 1.0
    int FirstRow() const { return first_; }
    int TraceCount() const { return n_; }

    static std::string FieldName(int column, int row);  // row 1..8

private:
    struct PageRow {
        std::string number;  // "" beyond the traces
        std::array<int, 5> words{};       // receiver, source, gain, component, length
        std::array<float, 5> values{};    // delay ms, interval, first arrival, amplitude, shift
    };
    void TakePage();
    void ShowPage();
    // Commit the request's edited values, run the step, show the page in the request again.
    template <class Step> void Button(DialogRequest& r, Step step);

    int n_ = 0;
    int first_ = 0;
    int status_ = 0;
    int traceCountShown_ = 0;
    HeaderInfoColumns data_;  // n + 8 entries; the delay in ms
    std::array<PageRow, kRows> page_{};
};

class CGeometryDlg {
public:
    static constexpr const char* kClass = "CGeometryDlg";
    static constexpr int kRows = 6;
    static constexpr const char* kShot = "Shot coordinate";
    static constexpr const char* kChannels = "Number of channels";
    static constexpr const char* kGroupInterval = "Group interval";
    static constexpr const char* kFirstGeophone = "First geophone coordinate";
    static constexpr const char* kUnits = "Units";
    static constexpr const char* kSet = "Set";
    static constexpr const char* kBack = "Back";
    static constexpr const char* kNext = "Next";
    // The fields of row r (1..6).
    static std::string ChannelField(int row);     // "Channel r", read-only, "" beyond the traces
    static std::string IntervalField(int row);    // "Interval r", read-only
    static std::string CoordinateField(int row);  // "Geophone coordinate r"

    // Copies the n headers in and shows the page (the first row kept from an earlier use,
    // within the record). Units "feet" when the unit text contains "ft".
    void LoadLocations(int n, std::span<const CTraceHeader> headers, const std::string& unitText);
    // Writes the page back, every source word from the shot coordinate, and copies the kept
    // traces' headers out (the number of channels, 1 .. n); the unit text "ft" or "m". Returns
    // the number of traces kept.
    int StoreLocations(std::span<CTraceHeader> headers, std::string& unitText);

    DialogRequest Request(int language);

    // The buttons.
    void Set();   // receivers from the first geophone coordinate and the group interval
    void Back();
    void Next();
    int FirstRow() const { return first_; }
    // The page an earlier use ended on (LoadLocations keeps it within the record).
    void SetFirstRow(int row) { first_ = row; }

    // The whole-record fields as the dialog holds them.
    double shot = 0.0;           // m
    int channels = 0;            // traces kept, 1 .. n
    double groupInterval = 0.0;  // m
    double firstGeophone = 0.0;  // m
    int units = 0;               // 0 meters, 1 feet

private:
    struct PageRow {
        std::string channel;
        std::string interval;
        double coordinate = 0.0;
    };
    void WriteRows();
    void ShowRows();
    template <class Step> void Button(DialogRequest& r, Step step);

    int n_ = 0;
    int first_ = 0;
    std::vector<CTraceHeader> headers_;
    std::array<PageRow, kRows> page_{};
};

}  // namespace velk
