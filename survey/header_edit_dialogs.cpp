#include "survey/header_edit_dialogs.h"

#include <algorithm>
#include <optional>

#include "base/position.h"
#include "platform/language.h"
#include "platform/numtext.h"

namespace velk {

namespace {

template <class T>
void CopyN(const std::vector<T>& from, std::vector<T>& to, int n)
{
    const size_t k = std::min({from.size(), to.size(), static_cast<size_t>(std::max(n, 0))});
    std::copy_n(from.begin(), k, to.begin());
}

std::string MetresText(double metres) { return FormatC("%.15g", metres); }

}  // namespace

// ---------------------------------------------------------------------------------------------
// Header information

const std::array<const char*, CHeaderInfoDlg::kColumns> CHeaderInfoDlg::kTitles = {
    "No.", "Rec. dist.(cm)", "Source dist.(cm)", "Gain", "Comp.", "Delay (msec)", "Sampling (micro -sec)",
    "Data -length", "First arrival (msec)", "Amplitude used in plotting", "Time shift (msec)"};

void HeaderInfoColumns::Resize(int n)
{
    const auto k = static_cast<size_t>(std::max(n, 0));
    for (auto* v : {&traceNumber, &receiver, &source, &gain, &component, &length}) v->assign(k, 0);
    for (auto* v : {&delay, &interval, &firstArrival, &amplitude, &timeShift}) v->assign(k, 0.0f);
}

std::string CHeaderInfoDlg::FieldName(int column, int row) { return std::string(kTitles[static_cast<size_t>(column)]) + " " + std::to_string(row); }

void CHeaderInfoDlg::SetHeaders(int n, const HeaderInfoColumns& c)
{
    n_ = std::clamp(n, 0, c.Size());
    data_.Resize(n_ + kRows);
    CopyN(c.traceNumber, data_.traceNumber, n_);
    CopyN(c.receiver, data_.receiver, n_);
    CopyN(c.source, data_.source, n_);
    CopyN(c.gain, data_.gain, n_);
    CopyN(c.component, data_.component, n_);
    CopyN(c.interval, data_.interval, n_);
    CopyN(c.length, data_.length, n_);
    CopyN(c.firstArrival, data_.firstArrival, n_);
    CopyN(c.amplitude, data_.amplitude, n_);
    CopyN(c.timeShift, data_.timeShift, n_);
    for (int i = 0; i < n_; ++i) data_.delay[static_cast<size_t>(i)] = c.delay[static_cast<size_t>(i)] * 0.001f;
    first_ = 0;
    status_ = 0;
    ShowPage();
}

void CHeaderInfoDlg::GetHeaders(HeaderInfoColumns& c) const
{
    if (c.Size() < n_) c.Resize(n_);
    CopyN(data_.traceNumber, c.traceNumber, n_);
    CopyN(data_.receiver, c.receiver, n_);
    CopyN(data_.source, c.source, n_);
    CopyN(data_.gain, c.gain, n_);
    CopyN(data_.component, c.component, n_);
    CopyN(data_.interval, c.interval, n_);
    CopyN(data_.length, c.length, n_);
    CopyN(data_.firstArrival, c.firstArrival, n_);
    CopyN(data_.amplitude, c.amplitude, n_);
    CopyN(data_.timeShift, c.timeShift, n_);
    for (int i = 0; i < n_; ++i) c.delay[static_cast<size_t>(i)] = data_.delay[static_cast<size_t>(i)] * 1000.0f;
}

void CHeaderInfoDlg::ShowPage()
{
    traceCountShown_ = n_;
    for (int r = 0; r < kRows; ++r) {
        PageRow& row = page_[static_cast<size_t>(r)];
        const int i = first_ + r;
        if (i >= n_) {
            row = PageRow{};
            continue;
        }
        const auto k = static_cast<size_t>(i);
        row.number = std::to_string(data_.traceNumber[k]);
        row.words = {data_.receiver[k], data_.source[k], data_.gain[k], data_.component[k], data_.length[k]};
        row.values = {data_.delay[k], data_.interval[k], data_.firstArrival[k], data_.amplitude[k], data_.timeShift[k]};
    }
}

void CHeaderInfoDlg::TakePage()
{
    for (int r = 0; r < kRows; ++r) {
        const int i = first_ + r;
        if (i >= n_) break;  // rows beyond the traces show nothing and give nothing back
        const PageRow& row = page_[static_cast<size_t>(r)];
        const auto k = static_cast<size_t>(i);
        data_.receiver[k] = row.words[0];
        data_.source[k] = row.words[1];
        data_.gain[k] = row.words[2];
        data_.component[k] = row.words[3];
        data_.length[k] = row.words[4];
        data_.delay[k] = row.values[0];
        data_.interval[k] = row.values[1];
        data_.firstArrival[k] = row.values[2];
        data_.amplitude[k] = row.values[3];
        data_.timeShift[k] = row.values[4];
    }
}

void CHeaderInfoDlg::Next()
{
    TakePage();
    first_ = std::max(std::min(first_ + kRows, n_ - kRows), 0);
    ShowPage();
}

void CHeaderInfoDlg::Back()
{
    TakePage();
    first_ = std::max(first_ - kRows, 0);
    ShowPage();
}

void CHeaderInfoDlg::InitializeTimeShifts()
{
    TakePage();
    std::fill(data_.timeShift.begin(), data_.timeShift.end(), 0.0f);
    ShowPage();
}

void CHeaderInfoDlg::InitializeFirstArrivals()
{
    TakePage();
    std::fill(data_.firstArrival.begin(), data_.firstArrival.end(), 0.0f);
    ShowPage();
}

void CHeaderInfoDlg::InitializeAmplitudes()
{
    TakePage();
    std::fill(data_.amplitude.begin(), data_.amplitude.end(), 1.0f);
    ShowPage();
}

void CHeaderInfoDlg::Finish(bool ok)
{
    if (ok) TakePage();
    status_ = ok ? 1 : 0;
}

template <class Step>
void CHeaderInfoDlg::Button(DialogRequest& r, Step step)
{
    r.Commit();  // the edited page into page_ (the dialog's own copy)
    step();
    r.Load();
}

DialogRequest CHeaderInfoDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, "Header information", "ヘッダー情報"));
    for (int row = 1; row <= kRows; ++row) {
        PageRow& p = page_[static_cast<size_t>(row - 1)];
        r.String(FieldName(0, row), p.number).ReadOnly();
        for (int w = 0; w < 4; ++w) r.Int(FieldName(1 + w, row), p.words[static_cast<size_t>(w)]);
        r.Float(FieldName(5, row), p.values[0]);
        r.Float(FieldName(6, row), p.values[1]);
        r.Int(FieldName(7, row), p.words[4], 0);
        for (int v = 2; v < 5; ++v) r.Float(FieldName(6 + v, row), p.values[static_cast<size_t>(v)]);
    }
    r.Int(kTraceCount, traceCountShown_).ReadOnly();
    r.AddButton(kNext, [this](DialogRequest& q) { Button(q, [this] { Next(); }); }, Msg(language, "Next", "次へ"));
    r.AddButton(kBack, [this](DialogRequest& q) { Button(q, [this] { Back(); }); }, Msg(language, "Back", "戻る"));
    r.AddButton(kInitialize, [this](DialogRequest& q) { Button(q, [this] { InitializeTimeShifts(); }); },
                Msg(language, kInitialize, "初期化 "));
    r.AddButton(kInitializeFirstArrival, [this](DialogRequest& q) { Button(q, [this] { InitializeFirstArrivals(); }); },
                Msg(language, kInitializeFirstArrival, "初動を初期化"));
    r.AddButton(kInitializeAmplitude, [this](DialogRequest& q) { Button(q, [this] { InitializeAmplitudes(); }); },
                Msg(language, kInitializeAmplitude, "振幅を初期化"));
    return r;
}

// ---------------------------------------------------------------------------------------------
// Geometry

std::string CGeometryDlg::ChannelField(int row) { return "Channel " + std::to_string(row); }
std::string CGeometryDlg::IntervalField(int row) { return "Interval " + std::to_string(row); }
std::string CGeometryDlg::CoordinateField(int row) { return "Geophone coordinate " + std::to_string(row); }

void CGeometryDlg::LoadLocations(int n, std::span<const CTraceHeader> headers, const std::string& unitText)
{
    n_ = std::clamp(n, 0, static_cast<int>(headers.size()));
    headers_.assign(headers.begin(), headers.begin() + n_);
    first_ = std::max(std::min(first_, n_ - kRows), 0);
    shot = n_ > 0 ? HundredthsToMetres(headers_[0].sourceHundredths) : 0.0;
    firstGeophone = n_ > 0 ? HundredthsToMetres(headers_[0].receiverHundredths) : 0.0;
    groupInterval = n_ > 1 ? HundredthsToMetres(headers_[1].receiverHundredths - headers_[0].receiverHundredths) : 0.0;
    channels = n_;
    units = unitText.find("ft") != std::string::npos ? 1 : 0;
    ShowRows();
}

void CGeometryDlg::ShowRows()
{
    for (int r = 0; r < kRows; ++r) {
        PageRow& row = page_[static_cast<size_t>(r)];
        const int i = first_ + r;
        if (i >= n_) {
            row = PageRow{};
            continue;
        }
        const CTraceHeader& h = headers_[static_cast<size_t>(i)];
        row.channel = std::to_string(i + 1);
        row.interval = i + 1 < n_ ? MetresText(HundredthsToMetres(headers_[static_cast<size_t>(i + 1)].receiverHundredths -
                                                                   h.receiverHundredths))
                                  : std::string();
        row.coordinate = HundredthsToMetres(h.receiverHundredths);
    }
}

void CGeometryDlg::WriteRows()
{
    for (int r = 0; r < kRows; ++r) {
        const int i = first_ + r;
        if (i >= n_) break;
        // A coordinate that cannot be a position (out of range) keeps the receiver as it was.
        if (const std::optional<int32_t> h = MetresToHundredths(page_[static_cast<size_t>(r)].coordinate)) {
            headers_[static_cast<size_t>(i)].receiverHundredths = *h;
        }
    }
    if (const std::optional<int32_t> s = MetresToHundredths(shot)) {
        for (CTraceHeader& h : headers_) h.sourceHundredths = *s;
    }
}

void CGeometryDlg::Set()
{
    for (int i = 0; i < n_; ++i) {
        if (const std::optional<int32_t> h = MetresToHundredths(firstGeophone + groupInterval * i)) {
            headers_[static_cast<size_t>(i)].receiverHundredths = *h;
        }
    }
    ShowRows();
}

void CGeometryDlg::Back()
{
    WriteRows();
    first_ = std::max(first_ - kRows, 0);
    ShowRows();
}

void CGeometryDlg::Next()
{
    WriteRows();
    first_ = std::max(std::min(first_ + kRows, n_ - kRows), 0);
    ShowRows();
}

int CGeometryDlg::StoreLocations(std::span<CTraceHeader> headers, std::string& unitText)
{
    WriteRows();
    const int kept = std::clamp(channels, n_ > 0 ? 1 : 0, n_);
    const int out = std::min(kept, static_cast<int>(headers.size()));
    std::copy_n(headers_.begin(), out, headers.begin());
    unitText = units == 1 ? "ft" : "m";
    return out;
}

template <class Step>
void CGeometryDlg::Button(DialogRequest& r, Step step)
{
    r.Commit();
    step();
    r.Load();
}

DialogRequest CGeometryDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, "Geometry", "ジオメトリー"));
    for (int row = 1; row <= kRows; ++row) {
        PageRow& p = page_[static_cast<size_t>(row - 1)];
        r.String(ChannelField(row), p.channel).ReadOnly();
        r.String(IntervalField(row), p.interval).ReadOnly();
        r.Double(CoordinateField(row), p.coordinate, -2.0e7, 2.0e7);
    }
    r.Double(kShot, shot, -2.0e7, 2.0e7).Label(Msg(language, kShot, "震源座標"));
    r.Int(kChannels, channels, n_ > 0 ? 1 : 0, n_).Label(Msg(language, kChannels, "チャンネル数"));
    r.Double(kGroupInterval, groupInterval, -2.0e7, 2.0e7).Label(Msg(language, kGroupInterval, "受振点間隔")).Focus();
    r.Double(kFirstGeophone, firstGeophone, -2.0e7, 2.0e7).Label(Msg(language, kFirstGeophone, "最初の受振点座標"));
    r.Choice(kUnits, units, {Msg(language, "meters", "メートル"), Msg(language, "feet", "フィート")});
    r.AddButton(kSet, [this](DialogRequest& q) { Button(q, [this] { Set(); }); }, Msg(language, "Set", "設定"));
    r.AddButton(kBack, [this](DialogRequest& q) { Button(q, [this] { Back(); }); }, Msg(language, "Back", "戻る"));
    r.AddButton(kNext, [this](DialogRequest& q) { Button(q, [this] { Next(); }); }, Msg(language, "Next", "次へ"));
    return r;
}

}  // namespace velk
