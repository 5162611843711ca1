#include "formats/text_imports.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "base/position.h"
#include "formats/load_target.h"
#include "platform/language.h"
#include "platform/numtext.h"

namespace velk {

namespace {

// Stores whole traces into the target from k = 0, at most MAX_SAMPLE samples of each, and
// remembers what it had to leave out.
class TraceWriter {
public:
    explicit TraceWriter(LoadTarget& target)
        : target_(target), keep_(std::max(0, std::min(target.MaxSample(), target.RowLength())))
    {
    }

    int Keep() const { return keep_; }
    int Count() const { return count_; }
    bool Full() const { return count_ >= target_.Capacity(); }

    // One trace of `length` samples (the file's), of which `values` holds at least the first
    // Keep(). False, with the cut remembered, when the room is used up.
    bool Add(std::span<const double> values, int64_t length)
    {
        if (Full()) {
            tracesCut_ = true;
            return false;
        }
        if (length > keep_) samplesCut_ = true;
        const int n = static_cast<int>(std::min<int64_t>({length, keep_, static_cast<int64_t>(values.size())}));
        std::span<float> row = target_.Row(count_);
        for (int j = 0; j < n; ++j) row[static_cast<size_t>(j)] = ToFiniteFloat(values[static_cast<size_t>(j)], conversions_);
        target_.Header(count_).samples = n;
        ++count_;
        return true;
    }
    void NoteTracesCut() { tracesCut_ = true; }
    void NoteSamplesCut() { samplesCut_ = true; }

    // The capacity and conversion messages, each once.
    void Report(FormatContext& ctx) const
    {
        if (tracesCut_) ctx.ui.Message(TracesMessage(ctx.language, kTotalTracesReadMsg, count_), MsgButtons::Ok, MsgIcon::Warning);
        if (samplesCut_) ctx.ui.Message(SamplesMessage(ctx.language, kSamplesTruncatedMsg), MsgButtons::Ok, MsgIcon::Warning);
        const std::string warning = ConversionWarning(ctx.language, conversions_);
        if (!warning.empty()) ctx.ui.Message(warning, MsgButtons::Ok, MsgIcon::Warning);
    }

private:
    LoadTarget& target_;
    int keep_;
    int count_ = 0;
    bool tracesCut_ = false;
    bool samplesCut_ = false;
    ConversionCount conversions_;
};

int Refuse(FormatContext& ctx, std::string_view english, std::string_view japanese)
{
    ctx.ui.Message(Msg(ctx.language, english, japanese), MsgButtons::Ok, MsgIcon::Error);
    return 0;
}

int RefuseNothingRead(FormatContext& ctx)
{
    return Refuse(ctx, "No trace has been read from the file ! \n The data was not changed.",
                  "ファイルからトレースを読み込めませんでした ! \n データは変更されていません。");
}

int RefuseFewRows(FormatContext& ctx)
{
    return Refuse(ctx, "The file holds fewer than two rows of data ! \n The file has not been read.",
                  "ファイルのデータが 2 行より少ないです ! \n ファイルは読み込まれていません。");
}

// An interval worked out from the file's times must be a positive number.
bool UsableInterval(double ms) { return std::isfinite(ms) && ms > 0.0 && ms <= 3.0e38; }

int RefuseInterval(FormatContext& ctx)
{
    return Refuse(ctx, "The sampling time from the file is not larger than 0 ! \n The file has not been read.",
                  "ファイルから求めたサンプリング時間が 0 より大きくありません ! \n ファイルは読み込まれていません。");
}

// Header words every reader of this file sets the same way; the commands' set-up replaces
// them where the layout says so.
void SetInterval(LoadTarget& target, int count, double intervalMs)
{
    for (int k = 0; k < count; ++k) target.Header(k).intervalUs = static_cast<float>(intervalMs * 1000.0);
}

int Finish(TraceWriter& writer, FormatContext& ctx, TextImport& out, int samples, double intervalMs)
{
    writer.Report(ctx);
    if (writer.Count() <= 0) return RefuseNothingRead(ctx);
    out.traces = writer.Count();
    out.samples = samples;
    out.intervalMs = static_cast<float>(intervalMs);
    return writer.Count();
}

// Columns of a table read row by row, each kept up to MAX_SAMPLE values, for the traces that
// fit the room.
struct Columns {
    std::vector<std::vector<double>> values;
    Columns(int traces, int room) : values(static_cast<size_t>(std::clamp(traces, 0, room))) {}
};

}  // namespace

// ---------------------------------------------------------------------------------------------

DialogRequest CReadTextFormatDlg::Request(int language)
{
    DialogRequest request(kClass, Msg(language, "Read text-format file", "テキスト形式ファイルの読み込み"));
    request.Int("Samples", samples, 1, kMaxSamples).Label(Msg(language, "# of samples", "サンプル数"));
    request.Float("SamplingTime", samplingTime, 1.0e-9).Label(Msg(language, "Sampling time", "サンプリング時間")).Unit("msec");
    return request;
}

DialogRequest CSamplesFrequencyDlg::Request(int language)
{
    DialogRequest request(kClass, Msg(language, "# of samples and sampling frequency", "サンプル数とサンプリング周波数"));
    request.Int("Samples", samples, 1).Label(Msg(language, "# of samples", "サンプル数"));
    request.Float("Frequency", samplingFrequency, 1.0e-9).Label(Msg(language, "Sampling frequency", "サンプリング周波数")).Unit("Hz");
    return request;
}

// ---------------------------------------------------------------------------------------------

int ReadTextTraces(std::string_view text, int samplesPerTrace, LoadTarget& target, FormatContext& ctx, TextImport& out)
{
    if (samplesPerTrace <= 0) return RefuseNothingRead(ctx);
    TraceWriter writer(target);
    TextScanner scan(text);
    std::vector<double> trace;
    trace.reserve(static_cast<size_t>(std::min(samplesPerTrace, writer.Keep())));
    int64_t inTrace = 0;
    double v = 0.0;
    while (scan.ReadDouble(v)) {
        if (inTrace < writer.Keep()) trace.push_back(v);
        if (++inTrace == samplesPerTrace) {
            if (!writer.Add(trace, samplesPerTrace)) break;
            trace.clear();
            inTrace = 0;
        }
    }
    return Finish(writer, ctx, out, std::min(samplesPerTrace, writer.Keep()), 0.0);
}

int ReadOskerbyFile(std::string_view text, LoadTarget& target, FormatContext& ctx, TextImport& out)
{
    TraceWriter writer(target);
    TextScanner scan(text);
    std::vector<double> trace;
    double t = 0.0, v = 0.0, first = 0.0, second = 0.0;
    int64_t pairs = 0;
    bool room = true;
    while (scan.ReadDouble(t) && scan.ReadDouble(v)) {
        if (pairs == 0) first = t;
        if (pairs == 1) second = t;
        ++pairs;
        if (!room) {
            writer.NoteTracesCut();
            break;
        }
        trace.push_back(v);
        if (static_cast<int>(trace.size()) == writer.Keep()) {
            room = writer.Add(trace, writer.Keep());
            trace.clear();
            room = room && !writer.Full();
        }
    }
    if (pairs < 2) {
        return Refuse(ctx, "The file holds fewer than two time and value pairs ! \n The file has not been read.",
                      "ファイルの時刻と値の組が 2 つより少ないです ! \n ファイルは読み込まれていません。");
    }
    const double dt = (second - first) * 1000.0;
    if (!UsableInterval(dt)) return RefuseInterval(ctx);
    if (!trace.empty() && room) writer.Add(trace, static_cast<int64_t>(trace.size()));
    const int samples = static_cast<int>(std::min<int64_t>(pairs, writer.Keep()));
    return Finish(writer, ctx, out, samples, dt);
}

int ReadTextRows(std::string_view text, LoadTarget& target, FormatContext& ctx, TextImport& out)
{
    TextScanner scan(text);
    int32_t n = 0, m = 0;
    if (!scan.ReadInt(n) || !scan.ReadInt(m) || n <= 0) return RefuseNothingRead(ctx);
    // A row takes two characters a value at least: a larger count cannot make one row.
    if (m < 2 || static_cast<size_t>(n) > text.size() / 2) return RefuseFewRows(ctx);
    TraceWriter writer(target);
    Columns columns(n, target.Capacity());
    std::vector<double> row(static_cast<size_t>(n));
    double first = 0.0, last = 0.0;
    int64_t rows = 0;
    while (rows < m) {
        double t = 0.0;
        if (!scan.ReadDouble(t)) break;
        bool complete = true;
        for (double& value : row) complete = complete && scan.ReadDouble(value);
        if (!complete) break;
        if (rows == 0) first = t;
        last = t;
        if (rows < writer.Keep()) {
            for (size_t i = 0; i < columns.values.size(); ++i) columns.values[i].push_back(row[i]);
        }
        ++rows;
    }
    if (rows < 2) return RefuseFewRows(ctx);
    const double dt = (last - first) / static_cast<double>(rows - 1) * 1000.0;
    if (!UsableInterval(dt)) return RefuseInterval(ctx);
    for (const std::vector<double>& c : columns.values) writer.Add(c, rows);
    if (n > target.Capacity()) writer.NoteTracesCut();
    return Finish(writer, ctx, out, static_cast<int>(std::min<int64_t>(rows, writer.Keep())), dt);
}

int ReadMorvathFile(std::string_view text, LoadTarget& target, FormatContext& ctx, TextImport& out)
{
    TextScanner scan(text);
    std::string lines[6];
    for (int i = 0; i < 5; ++i) scan.ReadLine(lines[i]);
    int n = 1;
    if (lines[1].find("Data") != std::string::npos) {
        scan.ReadLine(lines[5]);
        n = static_cast<int>(std::count(lines[5].begin(), lines[5].end(), 'V'));
    }
    ctx.ui.Message(FormatC(Msg(ctx.language, "Number of traces=%d", "トレース数=%d").c_str(), n));
    if (n <= 0) {
        return Refuse(ctx, "Line 6 of the file names no trace (no \"V\") ! \n The file has not been read.",
                      "ファイルの 6 行目にトレースがありません (\"V\" がありません) ! \n ファイルは読み込まれていません。");
    }
    TraceWriter writer(target);
    Columns columns(n, target.Capacity());
    std::vector<double> row(static_cast<size_t>(n));
    double first = 0.0, last = 0.0;
    int rows = 0;
    for (;;) {
        double t = 0.0;
        if (!scan.ReadDouble(t)) break;
        bool complete = true;
        for (double& value : row) complete = complete && scan.ReadDouble(value);
        if (!complete) break;
        if (rows == writer.Keep()) {
            writer.NoteSamplesCut();
            break;
        }
        if (rows == 0) first = t;
        last = t;
        for (size_t i = 0; i < columns.values.size(); ++i) columns.values[i].push_back(row[i]);
        ++rows;
    }
    if (rows < 2) return RefuseFewRows(ctx);
    // The rows span rows - 1 intervals.
    const double dt = (last - first) / (rows - 1) * 1000.0;
    if (!UsableInterval(dt)) return RefuseInterval(ctx);
    for (const std::vector<double>& c : columns.values) writer.Add(c, rows);
    if (n > target.Capacity()) writer.NoteTracesCut();
    for (int k = 0; k < writer.Count(); ++k) {
        target.Header(k).Set(1, k * 100, 0, 10, 1, 0.0f, static_cast<float>(dt * 1000.0), rows);
    }
    return Finish(writer, ctx, out, rows, dt);
}

int ReadLaserDopplerFile(std::string_view text, LoadTarget& target, FormatContext& ctx, TextImport& out)
{
    TextScanner scan(text);
    auto incomplete = [&] {
        return Refuse(ctx, "The laser doppler file ends before its header is complete ! \n The file has not been read.",
                      "レーザードップラーファイルのヘッダーが途中で終わっています ! \n ファイルは読み込まれていません。");
    };
    std::string word;
    int32_t n = 0, r = 0;
    if (!scan.ReadWord(word, 64) || !scan.ReadInt(n) || !scan.ReadInt(r)) return incomplete();
    if (n <= 0) return RefuseNothingRead(ctx);
    // Every block holds n words of two characters at least.
    if (static_cast<size_t>(n) > text.size() / 2) return incomplete();
    auto skipWords = [&](int64_t count) {
        for (int64_t i = 0; i < count; ++i) {
            if (!scan.ReadWord(word, 0)) return false;
        }
        return true;
    };
    // Seven words, seven blocks of a label and n values.
    if (!skipWords(7)) return incomplete();
    for (int b = 0; b < 7; ++b) {
        if (!skipWords(1 + static_cast<int64_t>(n))) return incomplete();
    }
    const int stored = std::min(n, target.Capacity());
    std::vector<double> intervals(static_cast<size_t>(stored)), delays(static_cast<size_t>(stored));
    std::vector<int64_t> counts(static_cast<size_t>(stored));
    auto readBlock = [&](auto& into, auto read) {
        if (!skipWords(1)) return false;
        for (int32_t i = 0; i < n; ++i) {
            if (!read(i < stored ? &into[static_cast<size_t>(i)] : nullptr)) return false;
        }
        return true;
    };
    auto readDouble = [&](double* v) {
        double x = 0.0;
        if (!scan.ReadDouble(x)) return false;
        if (v) *v = x;
        return true;
    };
    auto readCount = [&](int64_t* v) {
        int32_t x = 0;
        if (!scan.ReadInt(x)) return false;
        if (v) *v = x;
        return true;
    };
    if (!readBlock(intervals, readDouble) || !readBlock(delays, readDouble) || !skipWords(1 + static_cast<int64_t>(n)) ||
        !readBlock(counts, readCount)) {
        return incomplete();
    }

    // The rows: a row number and one value per trace, negated.
    TraceWriter writer(target);
    Columns columns(n, target.Capacity());
    std::vector<double> row(static_cast<size_t>(n));
    int64_t rows = 0;
    while (rows < r) {
        double number = 0.0;
        if (!scan.ReadDouble(number)) break;
        bool complete = true;
        for (double& value : row) complete = complete && scan.ReadDouble(value);
        if (!complete) break;
        if (rows < writer.Keep()) {
            for (size_t i = 0; i < columns.values.size(); ++i) columns.values[i].push_back(-row[i]);
        }
        ++rows;
    }
    if (rows == 0) return RefuseNothingRead(ctx);
    for (size_t i = 0; i < columns.values.size(); ++i) {
        // A trace's own count, within what was read and what a row holds.
        const int64_t own = std::clamp<int64_t>(counts[i], 0, rows);
        if (counts[i] > writer.Keep()) writer.NoteSamplesCut();
        writer.Add(columns.values[i], own);
    }
    if (n > target.Capacity()) writer.NoteTracesCut();
    for (int k = 0; k < writer.Count(); ++k) {
        CTraceHeader& h = target.Header(k);
        ConversionCount ignored;
        h.Set(k + 1, k * 400, 0, 1, 1, ToFiniteFloat(delays[static_cast<size_t>(k)], ignored),
              ToFiniteFloat(intervals[static_cast<size_t>(k)] * 1000.0001, ignored), h.samples);
    }
    if (writer.Count() > 0 && !UsableInterval(intervals[0])) return RefuseInterval(ctx);
    return Finish(writer, ctx, out, writer.Count() > 0 ? target.HeaderAt(0).samples : 0,
                  writer.Count() > 0 ? target.HeaderAt(0).intervalUs * 0.001 : 0.0);
}

int ReadBinaryTraces(std::span<const uint8_t> bytes, int wordsPerTrace, LoadTarget& target, FormatContext& ctx,
                     TextImport& out)
{
    if (wordsPerTrace <= 0) return RefuseNothingRead(ctx);
    TraceWriter writer(target);
    const size_t traceBytes = static_cast<size_t>(wordsPerTrace) * 4;
    const size_t inFile = bytes.size() / traceBytes;
    const int keep = std::min(wordsPerTrace, writer.Keep());
    std::string log;
    std::vector<double> values(static_cast<size_t>(keep));
    for (size_t t = 0; t < inFile; ++t) {
        const uint8_t* p = bytes.data() + t * traceBytes;
        for (int j = 0; j < keep; ++j) {
            const uint32_t u = p[4 * j] | (p[4 * j + 1] << 8) | (p[4 * j + 2] << 16) | (static_cast<uint32_t>(p[4 * j + 3]) << 24);
            values[static_cast<size_t>(j)] = static_cast<int32_t>(u);
        }
        if (!writer.Add(values, wordsPerTrace)) break;
        for (int j = 0; j < std::min(keep, 4000); ++j) log += FormatC("%f\n", values[static_cast<size_t>(j)]);
    }
    ctx.log.Rewrite("open_binary_file.txt", log);
    return Finish(writer, ctx, out, keep, 0.0);
}

std::string BrevikSideFileName(int index, std::string_view fileTitle)
{
    return FormatC("mam%d_", index) + std::string(fileTitle) + ".8hd";
}

int ReadBrevikFile(std::string_view text, float receiverLocation, LoadTarget& target, FormatContext& ctx,
                   TextImport& out, const BrevikSideFile& sideFile)
{
    TraceWriter writer(target);
    const int m = std::min(writer.Keep(), 16384);
    if (m <= 0) return RefuseNothingRead(ctx);
    TextScanner scan(text);
    std::vector<double> trace;
    std::vector<float> samples;
    double t = 0.0, v = 0.0, first = 0.0, second = 0.0;
    int64_t pairs = 0;
    while (scan.ReadDouble(t) && scan.ReadDouble(v)) {
        if (pairs == 0) first = t;
        if (pairs == 1) second = t;
        ++pairs;
        trace.push_back(v);
        if (static_cast<int>(trace.size()) < m) continue;
        if (writer.Full()) {
            writer.NoteTracesCut();
            break;
        }
        const double dt = (second - first) * 1000.0;
        if (!UsableInterval(dt)) return RefuseInterval(ctx);
        const int index = writer.Count();
        writer.Add(trace, m);
        if (sideFile) {
            CTraceHeader h;
            h.Set(index + 1, MetresToHundredths(receiverLocation).value_or(0), 0, 1, 1, 1.0f,
                  static_cast<float>(dt * 1000.0), m);
            samples.assign(trace.begin(), trace.end());
            sideFile(index, h, samples);
        }
        trace.clear();
    }
    const double dt = (second - first) * 1000.0;
    SetInterval(target, writer.Count(), dt);
    return Finish(writer, ctx, out, m, dt);
}

int ReadDwmFile(std::string_view text, LoadTarget& target, FormatContext& ctx, TextImport& out)
{
    TraceWriter writer(target);
    TextScanner scan(text);
    std::vector<double> trace;
    int64_t inTrace = 0;
    int32_t group = 0, current = 0;
    double t = 0.0, v = 0.0, lastTime = 0.0;
    bool any = false;
    int lastSamples = 0;
    auto close = [&] {
        lastSamples = static_cast<int>(std::min<int64_t>(inTrace, writer.Keep()));
        return writer.Add(trace, inTrace);
    };
    while (scan.ReadInt(group) && scan.ReadDouble(t) && scan.ReadDouble(v)) {
        if (any && group != current) {
            if (!close()) break;
            trace.clear();
            inTrace = 0;
            if (writer.Full()) {
                writer.NoteTracesCut();
                break;
            }
        }
        any = true;
        current = group;
        lastTime = t;
        if (inTrace < writer.Keep()) trace.push_back(-v);
        ++inTrace;
    }
    if (any && inTrace > 0 && !writer.Full()) close();
    if (writer.Count() > 0 && !UsableInterval(lastTime)) return RefuseInterval(ctx);
    return Finish(writer, ctx, out, lastSamples, lastTime);
}

std::optional<VarnelHeader> ReadVarnelHeader(std::string_view text)
{
    TextScanner scan(text);
    int32_t n = 0, m = 0, zero = 0;
    if (!scan.ReadInt(n) || !scan.ReadInt(m) || !scan.ReadInt(zero)) return std::nullopt;
    return VarnelHeader{n, m, scan.Position()};
}

int ReadVarnelSamples(std::string_view text, const VarnelHeader& header, int samplesPerTrace, LoadTarget& target,
                      FormatContext& ctx, TextImport& out)
{
    if (samplesPerTrace <= 0 || header.traces <= 0) return RefuseNothingRead(ctx);
    TraceWriter writer(target);
    TextScanner scan(text.substr(std::min(header.dataOffset, text.size())));
    std::vector<double> trace;
    int64_t inTrace = 0;
    int traces = 0;
    double v = 0.0;
    while (traces < header.traces && scan.ReadDouble(v)) {
        if (inTrace < writer.Keep()) trace.push_back(v);
        if (++inTrace == samplesPerTrace) {
            if (!writer.Add(trace, samplesPerTrace)) break;
            ++traces;
            trace.clear();
            inTrace = 0;
        }
    }
    return Finish(writer, ctx, out, std::min(samplesPerTrace, writer.Keep()), 0.0);
}

// ---------------------------------------------------------------------------------------------

namespace {

float SampleAt(const Matrix2D<float>& rows, int i, int j)
{
    if (i < 0 || static_cast<size_t>(i) >= rows.Rows() || j < 0 || static_cast<size_t>(j) >= rows.Cols()) return 0.0f;
    return rows.Row(i)[static_cast<size_t>(j)];
}

}  // namespace

std::string TextExportAsARow(const Matrix2D<float>& rows, int count, int samples)
{
    std::string text;
    for (int i = 0; i < count; ++i) {
        for (int j = 0; j < samples; ++j) text += FormatC(" %e \n", static_cast<double>(SampleAt(rows, i, j)));
    }
    return text;
}

std::string TextExportByTrace(const Matrix2D<float>& rows, int count, int samples)
{
    std::string text;
    for (int i = 0; i < count; ++i) {
        for (int j = 0; j < samples; ++j) text += FormatC(" %e ", static_cast<double>(SampleAt(rows, i, j)));
        text += "\n";
    }
    return text;
}

std::string TextExportAsRows(const Matrix2D<float>& rows, std::span<const CTraceHeader> headers, int count, int samples)
{
    std::string text = FormatC("%d %d\n", count, samples);
    const double interval = headers.empty() ? 0.0 : headers[0].intervalUs * 0.000001;
    for (int j = 0; j < samples; ++j) {
        text += FormatC(" %e ", j * interval);
        for (int i = 0; i < count; ++i) text += FormatC(" %e ", static_cast<double>(SampleAt(rows, i, j)));
        text += "\n";
    }
    return text;
}

std::string VarnelText(const Matrix2D<float>& rows, int count, int samples)
{
    std::string text = FormatC(" %d %d %d \n", count, samples, 0);
    for (int i = 0; i < count; ++i) {
        for (int j = 0; j < samples; ++j) text += FormatC(" %f \n", static_cast<double>(SampleAt(rows, i, j)));
    }
    return text;
}

std::string EnergyText(const Matrix2D<float>& rows, int count, int samples)
{
    std::string text;
    for (int j = 0; j < samples; ++j) {
        double sum = 0.0;
        for (int i = 0; i < count; ++i) sum += std::fabs(static_cast<double>(SampleAt(rows, i, j)));
        text += FormatC(" %f \n", sum);
    }
    return text;
}

std::string PerrowPrefix(std::string_view documentFileName)
{
    if (documentFileName.size() <= 2) return {};
    return std::string(documentFileName.substr(2, 6));
}

std::vector<std::pair<std::string, std::string>> PerrowFiles(std::string_view documentFileName,
                                                             const Matrix2D<float>& rows,
                                                             std::span<const CTraceHeader> headers, int count,
                                                             int samples)
{
    std::vector<std::pair<std::string, std::string>> files;
    const std::string prefix = PerrowPrefix(documentFileName);
    for (int i = 1; i <= count; ++i) {
        const std::string name = prefix + FormatC("%02d.cdm", i);
        std::string text = " File=" + name + FormatC("    ch. %d\n", i);
        text += "                        unit\n\n";
        const double interval = static_cast<size_t>(i - 1) < headers.size() ? headers[static_cast<size_t>(i - 1)].intervalUs * 0.000001 : 0.0;
        for (int k = 0; k < samples; ++k) {
            text += FormatC("%8d 00:00:%06.3f %10.6f\n", k, k * interval,
                            static_cast<double>(SampleAt(rows, i - 1, k)) * 1000.0);
        }
        files.emplace_back(name, std::move(text));
    }
    return files;
}

}  // namespace velk
