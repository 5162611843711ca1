#include "acquisition/acquisition_device.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <system_error>

#include "acquisition/acq_display_dlg.h"
#include "acquisition/acquisition_manager.h"
#include "acquisition/archiver.h"
#include "acquisition/disk_dlg.h"
#include "base/position.h"
#include "base/settings_io.h"
#include "draw/fonts.h"
#include "formats/seg2.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/profile.h"
#include "platform/uihost.h"
#include "survey/file_group.h"

namespace velk {

namespace {

constexpr double kUnitPerCount = 4.8828125e-05;  // 1 / 20480
constexpr float kSeg2Scale = 2048.0f;
constexpr int kSeg2FloatCode = 4;

// A byte of the settings: read as an integer, clamped to what the tables hold.
void ReadByte(const Profile& profile, const std::string& key, int8_t& value, int lo, int hi)
{
    int32_t v = value;
    ReadSettingInt(profile, key, v);
    value = static_cast<int8_t>(std::clamp(v, lo, hi));
}

void ReadClamped(const Profile& profile, const char* key, int& value, int lo, int hi)
{
    int32_t v = value;
    ReadSettingInt(profile, key, v);
    value = std::clamp(v, lo, hi);
}

int32_t Hundredths(double metres) { return MetresToHundredths(metres).value_or(0); }

}  // namespace

double SignalTriggerThreshold(float level)
{
    const double t = static_cast<double>(level) * 327.68;
    return t >= 32768.0 ? 32768.0 : t;
}

int32_t MonitorWordValue(int32_t word) { return static_cast<int16_t>(static_cast<uint16_t>(word & 0xFFFF)); }

double MonitorLevel(int32_t word, int gainCode)
{
    return static_cast<double>(MonitorWordValue(word)) / DivisorOf(gainCode);
}

CAcquisitionDevice::CAcquisitionDevice()
    : buffer_(std::make_unique<InstrumentRow[]>(kInstrumentRows)),
      stack_(0, kInstrumentRows - 1, 0, kInstrumentRowSamples - 1)
{
    gain_bf.fill(1);
    extraBytes.fill(1);
    gainCableOrder = GainsInCableOrder();
}

CAcquisitionDevice::~CAcquisitionDevice() = default;

void CAcquisitionDevice::GetRecordLimits(int& samples, int& traces)
{
    samples = kRecordSamples;
    traces = kRecordTraces;
}

void CAcquisitionDevice::Disarm() { armed = 0; }
void CAcquisitionDevice::RequestStop() { stopRequest = 1; }

int CAcquisitionDevice::StartDsp(UiHost& ui, int language)
{
    dspReady_ = 0;
    if (!instrument_) return 0;
    const uint16_t code = instrument_->Init_DSP();
    if (code == 1) {
        ui.Message(Msg(language, "Cannot load Kernel to DSP.", "DSPにカーネルをロードできません。"), MsgButtons::Ok,
                   MsgIcon::Error);
        return 0;
    }
    if (code == 2) {
        ui.Message(Msg(language, "Cannot load DSP program!", "DSPプログラムをロードできません!"), MsgButtons::Ok,
                   MsgIcon::Error);
        return 0;
    }
    instrument_->Clear_ADC_Buf(channelBytes.data(), buffer_.get(), &parm);
    dspReady_ = 1;
    return 1;
}

bool CAcquisitionDevice::EnsureDspReady(UiHost& ui, int language)
{
    return dspReady_ != 0 || StartDsp(ui, language) == 1;
}

void CAcquisitionDevice::LoadSettings(const Profile& profile, int& lineIndex)
{
    int32_t line = lineIndex;
    ReadSettingInt(profile, "LineName", line);
    lineIndex = line;
    ReadClamped(profile, "NextID", NextID, 0, kMaxNextId);
    ReadByte(profile, "setPRM.disp_ch", parm.disp_ch, 0, 4);
    ReadByte(profile, "setPRM.m_size", parm.m_size, 0, 4);
    ReadByte(profile, "setPRM.rate", parm.rate, 0, 6);
    ReadByte(profile, "setPRM.pre_trig", parm.pre_trig, 0, 1);
    ReadByte(profile, "setPRM.stk_flg", parm.stk_flg, 0, 3);
    ReadClamped(profile, "TriggerMode", TriggerMode, 0, 11);
    parm.trig_level = static_cast<int8_t>(TriggerMode == 11 ? 0 : TriggerMode);
    for (int i = 0; i < kInstrumentChannels; ++i) {
        ReadByte(profile, FormatC("gain_bf_%d", i), gain_bf[static_cast<size_t>(i)], 0, 3);
        ReadByte(profile, FormatC("hold_bf_%d", i), hold_bf[static_cast<size_t>(i)], 0, 1);
    }
    ReadClamped(profile, "iDirectionFirst", iDirectionFirst, 0, 1);
    ReadClamped(profile, "iDirectionSecond", iDirectionSecond, 0, 1);
    float level = SignalTriggerLevel;
    if (ReadSettingFloat(profile, "SignalTriggerLevel", level) && std::isfinite(level)) {
        SignalTriggerLevel = std::clamp(level, 0.0f, 100.0f);
    }
    ReadClamped(profile, "bAutomaticShift", bAutomaticShift, 0, 1);
    ReadClamped(profile, "iReferenceChannel", iReferenceChannel, 0, 24);
    ReadClamped(profile, "SaveAux", SaveAux, 0, 1);
}

void CAcquisitionDevice::SaveSettings(Profile& profile, int lineIndex)
{
    Profile::Batch batch(profile);
    WriteSettingInt(profile, "LineName", std::max(lineIndex, 0));
    WriteSettingInt(profile, "NextID", NextID);
    WriteSettingInt(profile, "setPRM.disp_ch", parm.disp_ch);
    WriteSettingInt(profile, "setPRM.m_size", parm.m_size);
    WriteSettingInt(profile, "setPRM.rate", parm.rate);
    WriteSettingInt(profile, "setPRM.pre_trig", parm.pre_trig);
    WriteSettingInt(profile, "setPRM.stk_flg", parm.stk_flg);
    WriteSettingInt(profile, "TriggerMode", TriggerMode);
    for (int i = 0; i < kInstrumentChannels; ++i) {
        WriteSettingInt(profile, FormatC("gain_bf_%d", i), gain_bf[static_cast<size_t>(i)]);
        WriteSettingInt(profile, FormatC("hold_bf_%d", i), hold_bf[static_cast<size_t>(i)]);
    }
    WriteSettingInt(profile, "iDirectionFirst", iDirectionFirst);
    WriteSettingInt(profile, "iDirectionSecond", iDirectionSecond);
    WriteSettingFloat(profile, "SignalTriggerLevel", SignalTriggerLevel);
    WriteSettingInt(profile, "bAutomaticShift", bAutomaticShift);
    WriteSettingInt(profile, "iReferenceChannel", iReferenceChannel);
    WriteSettingInt(profile, "SaveAux", SaveAux);
}

void CAcquisitionDevice::ReleaseAllChannels() { std::fill_n(hold_bf.begin(), kInstrumentChannels, int8_t{0}); }
void CAcquisitionDevice::HoldAllChannels() { std::fill_n(hold_bf.begin(), kInstrumentChannels, int8_t{1}); }

int CAcquisitionDevice::CableRow(int channel) const
{
    if (channel < 0 || channel >= kInstrumentChannels) return std::clamp(auxChannelRow, 0, kInstrumentRows - 1);
    if (channel < 12) return iDirectionFirst == 1 ? 11 - channel : channel;
    return iDirectionSecond == 1 ? 35 - channel : channel;
}

std::array<int8_t, kInstrumentRows> CAcquisitionDevice::GainsInCableOrder() const
{
    std::array<int8_t, kInstrumentRows> g{};
    for (int i = 0; i < kInstrumentChannels; ++i) g[static_cast<size_t>(CableRow(i))] = gain_bf[static_cast<size_t>(i)];
    g[kInstrumentRows - 1] = gain_bf[kInstrumentRows - 1];
    return g;
}

std::array<float, kInstrumentRows> CAcquisitionDevice::RowPositions(float receiverInterval) const
{
    std::array<float, kInstrumentRows> p{};
    for (int i = 0; i < kInstrumentChannels; ++i) {
        p[static_cast<size_t>(CableRow(i))] = static_cast<float>(i) * receiverInterval + firstReceiverPosition;
    }
    p[kInstrumentRows - 1] = kInstrumentChannels * receiverInterval + firstReceiverPosition;
    return p;
}

void CAcquisitionDevice::SendSpreadHint(float receiverInterval)
{
    if (instrument_) instrument_->SetSpreadHint(sourcePosition, RowPositions(receiverInterval));
}

double CAcquisitionDevice::ChannelLevel(int channel) const
{
    if (channel >= 0 && channel < kInstrumentChannels && hold_bf[static_cast<size_t>(channel)] == 1) return 0.0;
    const int gain = gain_bf[static_cast<size_t>(std::clamp(channel, 0, kInstrumentRows - 1))];
    return MonitorLevel(monitorValues[static_cast<size_t>(CableRow(channel))], gain);
}

int CAcquisitionDevice::DisplayChannels() const { return ChannelsOf(parm.disp_ch); }

void CAcquisitionDevice::ReadRecord(const LocalTime& now)
{
    if (!instrument_) return;
    instrument_->read_meas_data(&parm, channelBytes.data(), buffer_.get());
    preTriggerSamples = std::clamp(instrument_->PreTriggerSamples(), 0, SamplesOf(parm.m_size));
    if (stackCount == 0) recordTime = now;
    recordRead = 1;
}

int CAcquisitionDevice::BuildRecord(Matrix2D<float>& traces, std::span<CTraceHeader> headers,
                                    float receiverInterval) const
{
    if (traces.Empty()) return 0;
    const int channels = DisplayChannels();
    const int capacity = static_cast<int>(std::min<size_t>(headers.size(), traces.Rows()));
    const int samples = std::min(SamplesOf(parm.m_size), static_cast<int>(traces.Cols()));
    const float intervalUs = static_cast<float>(IntervalUsOf(parm.rate));
    const int32_t source = Hundredths(sourcePosition);
    const float delayUs = -static_cast<float>(preTriggerSamples) * intervalUs;
    int count = 0;
    auto take = [&](int row, int gainCode, double position, bool held) {
        if (count >= capacity) return;
        CTraceHeader& h = headers[static_cast<size_t>(count)];
        h.traceNumber = count;
        h.receiverHundredths = Hundredths(position);
        h.sourceHundredths = source;
        h.samples = samples;
        h.intervalUs = intervalUs;
        h.delayUs = delayUs;
        std::span<float> out = traces.Row(traces.RowLow() + count);
        ++count;
        if (held) {
            if (stackCount == 0) std::fill_n(out.begin(), samples, 0.0f);
            return;
        }
        const double scale = kUnitPerCount / DivisorOf(gainCode);
        const int32_t* raw = buffer_[static_cast<size_t>(row)];
        for (int j = 0; j < samples; ++j) out[static_cast<size_t>(j)] = static_cast<float>(raw[j] * scale);
    };
    for (int i = 0; i < channels; ++i) {
        take(CableRow(i), gain_bf[static_cast<size_t>(i)], static_cast<double>(i) * receiverInterval + firstReceiverPosition,
             hold_bf[static_cast<size_t>(i)] == 1);
    }
    if (SaveAux == 1) {
        take(CableRow(kInstrumentChannels), gain_bf[kInstrumentRows - 1],
             static_cast<double>(channels) * receiverInterval + firstReceiverPosition, false);
    }
    return count;
}

int CAcquisitionDevice::MakeTraceHeaders(std::span<CTraceHeader> headers, float receiverInterval) const
{
    const int count = std::min(DisplayChannels() + 1, static_cast<int>(headers.size()));
    const int samples = SamplesOf(parm.m_size);
    const float intervalUs = static_cast<float>(IntervalUsOf(parm.rate));
    for (int i = 0; i < count; ++i) {
        CTraceHeader& h = headers[static_cast<size_t>(i)];
        h.traceNumber = i;
        h.receiverHundredths = Hundredths(static_cast<double>(i) * receiverInterval);
        h.sourceHundredths = 0;
        h.gain = 10;
        h.component = 1;
        h.intervalUs = intervalUs;
        h.delayUs = -static_cast<float>(preTriggerSamples) * intervalUs;
        h.samples = samples;
    }
    return count;
}

void CAcquisitionDevice::AccumulateStack(int count, const Matrix2D<float>& traces,
                                         std::span<const CTraceHeader> headers)
{
    if (traces.Empty()) return;
    count = std::clamp(count, 0, static_cast<int>(std::min({headers.size(), traces.Rows(), stack_.Rows()})));
    if (stackCount == 0) {
        stack_.Fill(0.0f);
        stackHeaders_.clear();
    }
    const int channels = DisplayChannels();
    for (int i = 0; i < count; ++i) {
        const bool held = i < channels && hold_bf[static_cast<size_t>(i)] == 1;
        if (held && stackCount > 0) continue;  // the shown trace of a held channel is the stack itself
        const int n = std::clamp(headers[static_cast<size_t>(i)].samples, 0,
                                 static_cast<int>(std::min(traces.Cols(), stack_.Cols())));
        std::span<const float> in = traces.Row(traces.RowLow() + i);
        std::span<float> sum = stack_.Row(i);
        for (int j = 0; j < n; ++j) {
            sum[static_cast<size_t>(j)] = stackCount == 0 ? in[static_cast<size_t>(j)] : sum[static_cast<size_t>(j)] + in[static_cast<size_t>(j)];
        }
    }
    stackHeaders_.assign(headers.begin(), headers.begin() + count);
    stackTraces_ = count;
    ++stackCount;
}

void CAcquisitionDevice::ResetStack()
{
    stackCount = 0;
    stack_.Fill(0.0f);
    stackHeaders_.clear();
    stackTraces_ = 0;
}

void CAcquisitionDevice::ComputeDisplayScale(float receiverInterval, float& distanceMinimum, float& distanceMaximum,
                                             float& timeScale) const
{
    distanceMinimum = firstReceiverPosition;
    distanceMaximum = firstReceiverPosition + 23.0f * receiverInterval;
    const double span = static_cast<double>(IntervalUsOf(parm.rate)) * SamplesOf(parm.m_size);
    timeScale = static_cast<float>(displayFill * 2000000.0 / span);
}

namespace {

std::filesystem::path DataFolder(const CAcquisitionManager& manager)
{
    if (!manager.dataFolder.empty()) return std::filesystem::path(manager.dataFolder);
    std::error_code ec;
    std::filesystem::path cwd = std::filesystem::current_path(ec);
    return ec ? std::filesystem::path(".") : cwd;
}

}  // namespace

std::string CAcquisitionDevice::UpdateLineFile(CAcquisitionManager& manager) { return manager.UpdateLineFile(); }

int CAcquisitionDevice::SaveRecord(const Matrix2D<float>& traces, std::span<const CTraceHeader> headers, int count,
                                   const SaveTarget& target, std::string& savedPath)
{
    namespace fs = std::filesystem;
    UiHost& ui = target.ui;
    const int language = target.language;
    const fs::path folder = DataFolder(target.manager);
    const std::string name = FormatC("qk%s%04d.sg2", target.manager.LineId().c_str(), NextID);
    const std::string path = (folder / name).string();
    auto failed = [&] {
        ui.Message(FormatC(Msg(language, "Cannot save %s", "%s を保存できません").c_str(), path.c_str()), MsgButtons::Ok,
                   MsgIcon::Error);
        return 0;
    };

    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        fs::create_directories(folder, ec);
        if (!fs::is_directory(folder, ec)) return failed();
    }
    if (fs::exists(path, ec)) {
        const std::string question =
            FormatC(Msg(language, "%s already exists. Overwrite it?", "%s は既に存在します。上書きしますか?").c_str(), path.c_str());
        if (ui.Message(question, MsgButtons::YesNo, MsgIcon::Question) != MsgResult::Yes) return 0;
    }
    // Before any record was read there is no time or stack to tell: the writer's fixed strings stay.
    const Seg2RecordFacts facts{recordTime, std::max(stackCount, 1), recordRead == 1};
    if (!WriteSeg2File(path, traces, headers, count, kSeg2FloatCode, kSeg2Scale, &facts)) return failed();

    CAcquisitionMode* mode = target.manager.Mode();
    const int type = target.manager.surveyType;
    // A shot line (2D surface wave, refraction) counts its shots from its set-up (Enter) on: a
    // record taken before it stays on disk but outside the line, which neither lists it nor
    // moves on to its next shot.
    if (mode && (type == 3 || type == 4) && mode->GetStep() == 0) {
        ui.Message(FormatC(Msg(language, "%s was saved outside the survey line: press Enter to set up the line.",
                               "%s は測線の外に保存されました: Enter キーで測線を設定して下さい。")
                               .c_str(),
                           path.c_str()),
                   MsgButtons::Ok, MsgIcon::Info);
    } else {
        CFileGroup& group = target.group;
        const int listed = group.entryCount;
        if (group.AddFile(name, sourcePosition, firstReceiverPosition, target.receiverInterval, &ui, language) > listed) {
            // The AUX trace stays in the file, last, but is no receiver of the line.
            group.entries[static_cast<size_t>(group.entryCount - 1)].numberOfAuxiliary = SaveAux == 1 ? 1 : 0;
        }
        UpdateLineFile(target.manager);
        if (mode) mode->Advance(type == 3 || type == 4 ? 1 : 0);
    }
    NextID = NextID >= kMaxNextId ? 0 : NextID + 1;
    if (parm.byte9 == 0 || parm.byte9 == 3) ResetStack();
    WriteSettingInt(target.profile, "NextID", NextID);
    savedPath = path;
    return 1;
}

namespace {

struct PaneValues {
    int nextId, rate, mSize, stackCount, stackMode, triggerMode, battery;
    float source;
};

std::vector<AcquisitionPane> PanesOf(const PaneValues& v)
{
    static constexpr std::array<const char*, 4> kStackModes{"Pre-view", "No", "Auto", "Manual re-arm"};
    const int mode = std::clamp(v.stackMode, 0, 3);
    const int t = v.triggerMode;
    std::string trigger = t == 0 ? "Off" : t == 11 ? "Signal" : FormatC("%dmv", t * 100);
    return {
        {0, 50, ""},
        {1, 100, FormatC("Next ID=%d(%.1fm)", v.nextId, static_cast<double>(v.source))},
        {2, 100, FormatC("SR=%d micro-sec", IntervalUsOf(v.rate))},
        {3, 70, FormatC("DL=%d word", SamplesOf(v.mSize))},
        {4, 70, FormatC("# of stack=%d", v.stackCount)},
        {5, 120, FormatC("Stack mode=%s", kStackModes[static_cast<size_t>(mode)])},
        {6, 120, "Trigger level=" + trigger},
        {7, 120, FormatC("Batt.=%3.1fV", v.battery * 0.1)},
    };
}

}  // namespace

std::vector<AcquisitionPane> CAcquisitionDevice::StatusPanes(int battery) const
{
    return PanesOf({NextID, parm.rate, parm.m_size, stackCount, parm.stk_flg, TriggerMode, battery,
                    sourcePosition});
}

std::vector<AcquisitionPane> CAcquisitionDevice::WidestStatusPanes()
{
    // A four-digit ID at a three-digit position, the slowest rate, the longest record, a
    // two-digit stack, the longest stack mode and trigger level, a two-digit voltage.
    return PanesOf({kMaxNextId, 6, 4, 99, 3, 10, 126, 999.9f});
}

std::vector<AcquisitionPane> CAcquisitionDevice::ReadStatusPanes()
{
    return StatusPanes(instrument_ ? instrument_->Read_Batt() : 126);
}

std::string CAcquisitionDevice::KeyBarText(int language, bool instrumentPresent, const std::string& modePrompt)
{
    const bool japanese = language == kLanguageJapanese;
    if (instrumentPresent) {
        return japanese ? "F1:ノイズ F2:設定 F3:トリガー F4:ディスク F5:画面 Alt:メニュー Enter:実行"
                        : "F1:Noise F2:Settings F3:Arm F4:Disk F5:Disp. Alt:Menu Enter:Proc.";
    }
    return japanese ? "F5:画面 Alt:メニュー Enter:実行" : modePrompt;
}

std::string CAcquisitionDevice::MenuKeyBarText(int language)
{
    return language == kLanguageJapanese ? "F1:測定メニュー F2:測線設定 F3:元に戻す F4:終了 F5:Windows終了"
                                         : "F1:Acquisition menu F2:Geometry F3:Undo F4:Exit F5:Exit Windows";
}

std::string CAcquisitionDevice::AmplitudeText(float amplitudeScale)
{
    return FormatC("Amp.=%.1f", static_cast<double>(amplitudeScale) * 100.0);
}

namespace {

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kHeldBlue{0, 0, 255};
constexpr Rgb kGainRed{255, 0, 0};

Font ScreenFont(int language, int height)
{
    return Font{language == kLanguageJapanese ? kJapaneseFace : kSerifFace, height};
}

void Text(Canvas& canvas, LPoint at, const std::string& text)
{
    canvas.SetTextAlign(TextAlign::TopLeft);
    canvas.TextOut(at, text);
}

}  // namespace

void CAcquisitionDevice::DrawKeyBar(Canvas& canvas, const std::string& text, int language)
{
    ScopedPen pen(canvas, Pen{PenStyle::Null, 0, kWhite});
    ScopedBrush brush(canvas, Brush{kWhite, false});
    canvas.Rectangle(LRect{10, -18, 1400, -60});
    ScopedFont font(canvas, ScreenFont(language, 35));
    canvas.SetTextColour(kBlack);
    canvas.SetTextBackground(false, kWhite);
    Text(canvas, LPoint{10, -18}, text);
}

void CAcquisitionDevice::DrawChannelLabels(Canvas& canvas, int x0, int y0, int language) const
{
    ScopedFont font(canvas, ScreenFont(language, 20));
    canvas.SetTextColour(kBlack);
    const int channels = DisplayChannels();
    const int row = static_cast<int>(rowHeight);
    for (int i = 0; i <= channels; ++i) {
        const int y = 15 - ((i + 2) * row + y0);
        if (i < channels) {
            Text(canvas, LPoint{x0 - 40, y}, FormatC("%d", i + 1));
        } else {
            Text(canvas, LPoint{x0 - 50, y}, "AUX");
        }
    }
}

void CAcquisitionDevice::DrawGainHold(Canvas& canvas, int y0) const
{
    ScopedPen pen(canvas, Pen{PenStyle::Null, 0, kBlack});
    const int channels = DisplayChannels();
    const int row = static_cast<int>(rowHeight);
    for (int i = 0; i < channels; ++i) {
        const int y = -((i + 2) * row + y0);
        if (hold_bf[static_cast<size_t>(i)] == 1) {
            ScopedBrush brush(canvas, Brush{kHeldBlue, false});
            canvas.Rectangle(LRect{15, y - 10, 67, y + 10});
            continue;
        }
        ScopedBrush brush(canvas, Brush{kGainRed, false});
        const int boxes = std::clamp<int>(gain_bf[static_cast<size_t>(i)], 0, 3) + 1;
        for (int k = 0; k < boxes; ++k) canvas.Rectangle(LRect{15 + 14 * k, y - 10, 25 + 14 * k, y + 10});
    }
}

std::string CAcquisitionDevice::LineBannerText(const std::string& lineId, int language)
{
    return Msg(language, "Line ID=", "測線ID=") + lineId;
}

int CAcquisitionDevice::ScreenTextWidth(Canvas& canvas, const std::string& text, int height, int language)
{
    if (text.empty()) return 0;
    ScopedFont font(canvas, ScreenFont(language, height));
    return canvas.TextExtent(text).cx;
}

int CAcquisitionDevice::LineBannerWidth(Canvas& canvas, const std::string& lineId, const std::string& modeName,
                                        int step, int language)
{
    return std::max(ScreenTextWidth(canvas, LineBannerText(lineId, language), 40, language),
                    250 + ScreenTextWidth(canvas, FormatC("%s(%d)", modeName.c_str(), step), 40, language));
}

void CAcquisitionDevice::DrawLineBanner(Canvas& canvas, int x, int y, const std::string& lineId,
                                        const std::string& modeName, int step, int language)
{
    ScopedFont font(canvas, ScreenFont(language, 40));
    canvas.SetTextColour(kBlack);
    Text(canvas, LPoint{x, y}, LineBannerText(lineId, language));
    Text(canvas, LPoint{x + 250, y}, FormatC("%s(%d)", modeName.c_str(), step));
}

void CAcquisitionDevice::UpdateStatusBar(Canvas& canvas, int language, float amplitudeScale,
                                         const std::string& statusText, const std::string& guideText) const
{
    canvas.SetTextColour(kBlack);
    if (monitorRunning == 1) {
        ScopedFont font(canvas, ScreenFont(language, 35));
        Text(canvas, LPoint{10, -1160}, AmplitudeText(amplitudeScale));
    }
    ScopedFont font(canvas, ScreenFont(language, 45));
    Text(canvas, LPoint{1400, -8}, statusText);
    Text(canvas, LPoint{1700, -68}, guideText);
}

void CAcquisitionDevice::DrawMonitorStrip(Canvas& canvas, int language) const
{
    ScopedPen pen(canvas, Pen{PenStyle::Solid, 1, kBlack});
    for (const std::vector<LPoint>& points : strip.rows) {
        if (points.size() >= 2) canvas.Polyline(points);
    }
    ScopedFont font(canvas, ScreenFont(language, 35));
    canvas.SetTextColour(kBlack);
    canvas.SetTextBackground(true, kWhite);
    if (!strip.banner.empty()) Text(canvas, LPoint{strip.x0, -1160}, strip.banner);
    if (!strip.prompt.empty()) Text(canvas, LPoint{strip.x0 + 500, -1160}, strip.prompt);
    canvas.SetTextBackground(false, kWhite);
}

void CAcquisitionDevice::ManualTrigger()
{
    if (instrument_) instrument_->DSP_MEAS_trigger();
}

void CAcquisitionDevice::RunMonitorLoop(int64_t nowMs, int x0, int y0, float receiverInterval)
{
    strip.startTick = nowMs;
    strip.x0 = x0;
    strip.y0 = y0;
    strip.step = 0;
    strip.bannerCount = 0;
    strip.banner.clear();
    strip.prompt.clear();
    const int rows = DisplayChannels() + 1;
    strip.rows.assign(static_cast<size_t>(rows), {});
    for (int i = 0; i < rows; ++i) {
        strip.rows[static_cast<size_t>(i)].push_back(
            LPoint{x0, -static_cast<int32_t>(y0 + (i + 2) * static_cast<int>(rowHeight))});
    }
    strip.panelRedraw = true;
    monitorValues.fill(0);
    monitorValues2.fill(0);
    flag.code = armed == 1 ? kCommandTriggerWait : kCommandMonitor;
    strip.expectedCode = armed == 1 ? kStatusTriggerWait : kStatusMonitoring;
    flag.monitor = 0;
    flag.complete = 0;
    stopRequest = 0;
    gainCableOrder = GainsInCableOrder();
    if (armed == 1) SendSpreadHint(receiverInterval);
    runActive = 1;
}

MonitorStepResult CAcquisitionDevice::MonitorTick(int64_t nowMs, int language, float amplitudeScale)
{
    MonitorStepResult r;
    if (!instrument_ || runActive == 0) {
        runActive = 0;
        r.running = 0;
        return r;
    }
    auto stopInstrument = [&] {
        stopRequest = 0;
        flag.code = kCommandStop;
        instrument_->chk_meas_flg(&flag, &parm, gainCableOrder.data(), nullptr, nullptr);
        runActive = 0;
        r.running = 0;
    };
    instrument_->chk_meas_flg(&flag, &parm, gainCableOrder.data(), nullptr, monitorValues.data());
    if (strip.step == 0 && strip.bannerCount == 0) {
        strip.banner = armed == 1 ? Msg(language, "Now setting for Trigger !", "トリガー待ちの設定中 !")
                                  : Msg(language, "Now setting for Noise monitor !", "ノイズモニターの設定中 !");
        strip.panelRedraw = true;
        ++strip.bannerCount;
    }
    if (flag.code == strip.expectedCode) {
        strip.prompt = armed == 1 ? Msg(language, "Ready for trigger:No(Cancel) Yes(Enter)",
                                        "トリガー待ち:いいえ(Cancel) はい(Enter)")
                                  : Msg(language, "Press F3 to trigger         ", "F3キーでトリガー待ち         ");
        if (flag.monitor > 0) {
            for (int32_t& v : monitorValues) v = MonitorWordValue(v);
            const int channels = DisplayChannels();
            if (noiseLogHook) noiseLogHook(monitorValues[static_cast<size_t>(std::min(channels, kInstrumentRows - 1))]);
            const int previousX = strip.rows.empty() || strip.rows[0].empty() ? strip.x0 : strip.rows[0].back().x;
            ++strip.step;
            const int x = strip.x0 + static_cast<int>(strip.step * MonitorStrip::kStepWidth);
            const double threshold = SignalTriggerThreshold(SignalTriggerLevel);
            for (int i = 0; i < static_cast<int>(strip.rows.size()); ++i) {
                const int channel = i < channels ? i : kInstrumentChannels;
                const int32_t raw = monitorValues[static_cast<size_t>(CableRow(channel))];
                if (TriggerMode == 11 && threshold <= std::abs(static_cast<double>(raw))) instrument_->DSP_MEAS_trigger();
                const double level = ChannelLevel(channel);
                const int rowY = (i + 2) * static_cast<int>(rowHeight) + strip.y0;
                const long lift = std::lround(MonitorStrip::kLevelHeight * amplitudeScale * level);
                const long y = std::clamp(-(lift + rowY), static_cast<long>(strip.Bottom()), static_cast<long>(strip.Top()));
                std::vector<LPoint>& points = strip.rows[static_cast<size_t>(i)];
                points.push_back(LPoint{x, static_cast<int32_t>(y)});
            }
            r.advanced = true;
            r.column = LRect{previousX, strip.Top(), x + 1, strip.Bottom()};
            if (strip.step >= MonitorStrip::kWrapStep) {
                strip.step = 0;
                for (size_t i = 0; i < strip.rows.size(); ++i) {
                    const LPoint last = strip.rows[i].back();
                    strip.rows[i].assign(1, LPoint{strip.x0, last.y});
                }
                strip.startTick = nowMs;
                strip.panelRedraw = true;
            }
        }
        flag.monitor = 0;
    }
    if (armed == 1 && (flag.code == 0 || flag.code == 23) && flag.complete == 1) {
        strip.banner = Msg(language, "Trigger received", "トリガーを受信しました");
        triggerReceived = 1;
        if (parm.stk_flg != 2) stopInstrument();
        return r;
    }
    if (stopRequest == 1 || monitorRunning == 0) stopInstrument();
    return r;
}
int CAcquisitionDevice::DiskMenu(const DiskContext& ctx)
{
    if (!ctx.ui || !ctx.manager || !ctx.files || !ctx.clock) return 0;
    UiHost& ui = *ctx.ui;
    CAcquisitionManager& manager = *ctx.manager;
    const int language = ctx.language;
    Archiver archiver(*ctx.files, *ctx.clock, ui, language);
    CDiskDlg dlg;
    dlg.idNo = NextID;
    dlg.lineId = manager.LineId();
    dlg.diskFullText = archiver.DiskFullText();
    auto say = [&](const char* english, const char* japanese) { ui.Message(Msg(language, english, japanese)); };
    auto copyList = [&](const std::string& destination) {
        if (!manager.LineFilesOn()) {
            say("Sorry! This unction cannot be used.", "申し訳ありません。この機能は使えません。");
            return;
        }
        RunCopyFiles(ctx, "xml", destination);
    };
    auto run = [&](int action, bool keypad, CDiskDlg& d) -> bool {
        switch (action) {
        case kDiskSave:
            if (ctx.traceCount <= 0) {
                if (!keypad) return true;
                say("No waveform data !", "波形データがありません !");
                return false;
            }
            // Only a waveform record is a record of the line.
            if (ctx.dataKind != 0 || ctx.dispersionFlag != 0) {
                ui.Message(Msg(language, "Not time domain data", "時間領域のデータではありません"), MsgButtons::Ok,
                           MsgIcon::Warning);
                return false;
            }
            if (!ctx.saveRecord || ctx.saveRecord() != 1) return false;
            d.idNo = NextID;
            say("Waveform data file has been saved !", "波形データファイルを保存しました !");
            return true;
        case kDiskSetId: {
            int id = d.idNo;
            if (ctx.editId && ctx.editId(ui, language, id)) {
                d.idNo = id;
                NextID = id;
            }
            return false;
        }
        case kDiskSetLineId: {
            int index = std::max(manager.lineIndex, 0);
            manager.lineIndex = index;
            if (ctx.editLineIndex && ctx.editLineIndex(ui, language, index)) {
                manager.ChangeLineIndex(index);
                d.lineId = manager.LineId();
            }
            return false;
        }
        // A medium that is not mounted is said so before anything is chosen or copied.
        case kDiskListToMo:
            if (MediumMounted(ctx, ctx.moFolder, ctx.moKey)) copyList(ctx.moFolder);
            return false;
        case kDiskListToFd:
            if (MediumMounted(ctx, ctx.fdFolder, ctx.fdKey)) copyList(ctx.fdFolder);
            return false;
        case kDiskRecordsToMo:
            if (MediumMounted(ctx, ctx.moFolder, ctx.moKey)) RunCopyFiles(ctx, "sg2", ctx.moFolder);
            return false;
        case kDiskRecordsToFd:
            if (MediumMounted(ctx, ctx.fdFolder, ctx.fdKey)) RunCopyFiles(ctx, "sg2", ctx.fdFolder);
            return false;
        case kDiskTodayRecords:
            if (MediumMounted(ctx, ctx.moFolder, ctx.moKey)) archiver.CopyTodayRecords(ctx.dataFolder, ctx.moFolder);
            return false;
        case kDiskTodayLists:
            if (MediumMounted(ctx, ctx.moFolder, ctx.moKey)) archiver.CopyTodayLists(ctx.dataFolder, ctx.moFolder);
            return false;
        default: return false;
        }
    };
    DialogRequest r = dlg.Request(language, run);
    return ui.RunDialog(r) ? 1 : 0;
}
int CAcquisitionDevice::EditDisplay(UiHost& ui, int language, int& normalisation, int& traceStyle)
{
    return CAcqDisplayDlg::Edit(ui, language, normalisation, traceStyle) ? 1 : 0;
}

}  // namespace velk
