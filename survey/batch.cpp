#include "survey/batch.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <vector>

#include "base/matrix2d.h"
#include "base/position.h"
#include "base/trace_header.h"
#include "dsp/band_pass.h"
#include "dsp/real_row_filter.h"
#include "formats/eight_header.h"
#include "formats/file_roads.h"
#include "formats/format_support.h"
#include "formats/load_target.h"
#include "formats/org_file.h"
#include "formats/seg2.h"
#include "formats/three_component.h"
#include "formats/trace_arrays.h"
#include "formats/trace_header_key_dlg.h"
#include "platform/language.h"
#include "platform/numtext.h"

namespace velk {

namespace {

constexpr int kLongTransform = 2048;  // longer transforms show their progress per trace
constexpr int kProgressX = 10;
constexpr int kTraceProgressY = -68;
constexpr int kFileProgressY = -18;

bool EndsWith(std::string_view text, std::string_view tail)
{
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

// The first of the spellings that ends the path (and so its file name), cut off.
std::string CutExtension(std::string_view path, std::initializer_list<std::string_view> spellings)
{
    if (FileNamePart(path).empty()) return {};
    for (std::string_view ext : spellings) {
        if (FileNamePart(path).size() > ext.size() && EndsWith(path, ext)) {
            return std::string(path.substr(0, path.size() - ext.size()));
        }
    }
    return {};
}

void Say(BatchContext& ctx, const std::string& text, MsgIcon icon = MsgIcon::Info)
{
    ctx.ui.Message(text, MsgButtons::Ok, icon);
}

void Progress(BatchContext& ctx, const std::string& text, int y)
{
    if (ctx.progress) ctx.progress(text, kProgressX, y);
}

// Traces 0..count-1 of the target as rows of `columns` samples (zero beyond what was read),
// with their headers; the writers and the key-file operations work on these.
struct ScratchRecord {
    Matrix2D<float> rows;
    std::vector<CTraceHeader> headers;
};

ScratchRecord CopyRecord(const LoadTarget& target, int count, int columns)
{
    ScratchRecord r;
    r.rows = Matrix2D<float>(0, std::max(count, 1) - 1, 0, std::max(columns, 1) - 1);
    r.headers.resize(static_cast<size_t>(std::max(target.Capacity(), count)));
    for (int k = 0; k < count; ++k) {
        r.headers[static_cast<size_t>(k)] = target.HeaderAt(k);
        const std::span<const float> from = target.RowIfAny(k);
        const size_t n = std::min(from.size(), r.rows.Cols());
        std::copy_n(from.begin(), n, r.rows.Row(k).begin());
    }
    return r;
}

std::string WriteFailedMessage(int language, const std::string& path, const std::string& reason)
{
    return FormatC(Msg(language, "The file %s could not be written !", "ファイル %s を書き込めませんでした !").c_str(),
                   path.c_str()) +
           (reason.empty() ? std::string() : "\n" + reason);
}

// Writes the record in the batch's output format (SEG-2 as 32-bit floats, scale 1); a failure
// names the file. True when written.
bool WriteOutput(BatchContext& ctx, const std::string& path, const ScratchRecord& r, int count, int outputFormat)
{
    const WriteStatus status = outputFormat == CBatchDlg::kEightHeader
                                   ? WriteEightHeaderFile(path, r.rows, r.headers, count)
                                   : WriteSeg2File(path, r.rows, r.headers, count, 4, 1.0f);
    if (!status) Say(ctx, WriteFailedMessage(ctx.language, path, status.error), MsgIcon::Error);
    return status.ok;
}

// The "Make trace header key" dialog until its values are usable: the number of traces within
// 1..traces read and (with checkLength) the data length within 1..MAX_SAMPLE; a refused value
// gives its message and the dialog again. False on Cancel.
bool AskKey(BatchContext& ctx, CTraceHeaderKeyDlg& dlg, int tracesRead, bool checkLength)
{
    for (;;) {
        CTraceHeaderKeyDlg edit = dlg;
        DialogRequest request = edit.Request(ctx.language);
        if (!ctx.ui.RunDialog(request)) return false;
        if (edit.traceCount < 1 || edit.traceCount > tracesRead) {
            Say(ctx,
                FormatC(Msg(ctx.language, "The number of traces must be between 1 and %d !",
                            "トレース数は 1 から %d の間にしてください !")
                            .c_str(),
                        tracesRead),
                MsgIcon::Warning);
        } else if (checkLength && (edit.dataLength < 1 || edit.dataLength > ctx.maxSample)) {
            Say(ctx,
                FormatC(Msg(ctx.language, "The data length must be between 1 and %d !",
                            "データ長は 1 から %d の間にしてください !")
                            .c_str(),
                        ctx.maxSample),
                MsgIcon::Warning);
        } else {
            dlg = edit;
            return true;
        }
        dlg = edit;  // the dialog comes back with what was typed
    }
}

std::string PositionRefused(int language)
{
    return Msg(language, "A source or receiver position is out of range !", "震源または受振点の位置が範囲外です !");
}

}  // namespace

// ---------------------------------------------------------------------------------------------

DialogRequest CBatchDlg::Request(int /*language*/)
{
    // The template exists with English control texts only.
    DialogRequest request(kClass, kTitle);
    request.Bool("File by file", fileByFile).Label("Processing is done file by file");
    request.Choice("Output file", outputFormat, {"Seg2", "8 header"});
    request.Choice("Key", keySource, {"By key file", "By dialog box"});
    return request;
}

std::string BatchBaseName(std::string_view path, int fileType)
{
    switch (fileType) {
    case kFileSeg2: return CutExtension(path, {".dat", ".sg2"});
    case kFileTorvaneOrg: return CutExtension(path, {".org", ".ORG"});
    case kFileEightHeader: return CutExtension(path, {".8hd"});
    default: return {};
    }
}

std::string BatchOutputName(const std::string& path, std::string_view suffix, int outputFormat)
{
    const std::string base = BatchBaseName(path, FileTypeOfGroupMember(path, 0));
    if (base.empty()) return {};
    return base + std::string(suffix) + (outputFormat == CBatchDlg::kEightHeader ? ".8hd" : ".sg2");
}

std::string BatchReadFile(const std::string& path, std::string_view suffix)
{
    return BatchOutputName(path, suffix, CBatchDlg::kSeg2);
}

std::string BatchBandPassName(const std::string& path, std::string_view suffix)
{
    return BatchOutputName(path, suffix, CBatchDlg::kEightHeader);
}

int BatchReadByType(const std::string& path, LoadTarget& target, FormatContext& ctx)
{
    switch (FileTypeFromExtension(path, 0)) {
    case kFileSeg2: return ReadSeg2File(path, target, 1, ctx);
    case kFileTorvaneOrg: return ReadTorvaneOrgFile(path, target, ctx);
    case kFileEightHeader: return ReadEightHeaderFile(path, target, 1, ctx);
    case kFileThreeComponentDat: ReadComponentDatFile(path, target, ctx); return 0;
    default: return 0;
    }
}

// ---------------------------------------------------------------------------------------------
// Source-receiver locations

int BatchLocationsFromKeyFile(BatchContext& ctx, int /*fileByFile*/, int outputFormat, int keySource)
{
    std::string log;
    ctx.log.Rewrite("multi_select.txt", log);
    FileRequest request;
    request.filters = {{"All files(*.*)", "*.*"}};
    request.initialName = "*.*";
    const std::vector<std::string> paths = ctx.ui.OpenFiles(request);
    if (paths.empty()) return 0;

    std::string keyPath;
    if (keySource == CBatchDlg::kByKeyFile) {
        FileRequest keyRequest;
        keyRequest.filters = {{"Key file(*.*)", "*.*"}};
        keyRequest.initialName = "*.*";
        const std::optional<std::string> chosen = ctx.ui.OpenFile(keyRequest);
        if (!chosen) return 0;
        keyPath = *chosen;
    }

    FormatContext read{ctx.ui, ctx.language, ctx.log};
    // The typed geometry stays from file to file.
    CTraceHeaderKeyDlg kept;
    kept.receiverInterval = 5.0f;
    const int columns = ctx.rowLength;
    for (size_t n = 0; n < paths.size(); ++n) {
        const std::string& path = paths[n];
        log += FormatC("%d : %s \n", static_cast<int>(n), path.c_str());
        std::string output = BatchOutputName(path, "_key", outputFormat);
        if (output.empty()) {
            log += FormatC("%d : no output name for this file type, skipped \n", static_cast<int>(n));
            continue;
        }
        LoadTarget target(0, ctx.maxTraces, ctx.rowLength, ctx.maxSample);
        int count = BatchReadByType(path, target, read);
        if (count <= 0) {
            log += FormatC("%d : no trace read, skipped \n", static_cast<int>(n));
            continue;
        }
        ScratchRecord r = CopyRecord(target, count, columns);
        auto header = [&r](int i) -> CTraceHeader& { return r.headers[static_cast<size_t>(i)]; };

        CTraceHeaderKeyDlg dlg = kept;
        dlg.inputFileName = path;
        dlg.outputFileName = output;
        dlg.traceCount = count;
        if (keySource == CBatchDlg::kByDialogBox) {
            dlg.dataLength = header(0).samples;
            bool placed = false;
            while (!placed) {
                if (!AskKey(ctx, dlg, count, true)) break;
                std::vector<int32_t> receivers(static_cast<size_t>(dlg.traceCount));
                const std::optional<int32_t> source = MetresToHundredths(static_cast<double>(dlg.source));
                placed = source.has_value();
                for (int i = 0; placed && i < dlg.traceCount; ++i) {
                    const std::optional<int32_t> rec = MetresToHundredths(
                        static_cast<double>(i) * dlg.receiverInterval + static_cast<double>(dlg.firstReceiver));
                    placed = rec.has_value();
                    if (placed) receivers[static_cast<size_t>(i)] = *rec;
                }
                if (!placed) {
                    Say(ctx, PositionRefused(ctx.language), MsgIcon::Warning);
                    continue;
                }
                count = dlg.traceCount;
                for (int i = 0; i < count; ++i) {
                    CTraceHeader& h = header(i);
                    // Samples between the read and the typed length are 0.
                    const int from = std::clamp(h.samples, 0, columns);
                    const int to = std::min(dlg.dataLength, columns);
                    if (to > from) std::fill(r.rows.Row(i).begin() + from, r.rows.Row(i).begin() + to, 0.0f);
                    h.receiverHundredths = receivers[static_cast<size_t>(i)];
                    h.sourceHundredths = *source;
                    h.samples = dlg.dataLength;
                }
            }
            kept.firstReceiver = dlg.firstReceiver;
            kept.receiverInterval = dlg.receiverInterval;
            kept.source = dlg.source;
            kept.dataLength = dlg.dataLength;
            if (!placed) {
                log += FormatC("%d : cancelled, skipped \n", static_cast<int>(n));
                continue;
            }
        } else {
            count = ApplyKeyFile(r.rows, r.headers, count, keyPath);
            if (count <= 0) {
                log += FormatC("%d : the key file names no trace of this file, skipped \n", static_cast<int>(n));
                continue;
            }
            dlg.traceCount = count;
            dlg.dataLength = header(0).samples;
            dlg.firstReceiver = static_cast<float>(header(0).receiverHundredths / 100.0);
            // The interval of the first two traces; one trace keeps the remembered value.
            if (count >= 2) {
                dlg.receiverInterval =
                    static_cast<float>((header(1).receiverHundredths - header(0).receiverHundredths) / 100.0);
            }
            std::optional<int32_t> source;
            for (;;) {
                if (!AskKey(ctx, dlg, count, false)) break;
                source = MetresToHundredths(static_cast<double>(dlg.source));
                if (source) break;
                Say(ctx, PositionRefused(ctx.language), MsgIcon::Warning);
            }
            kept.source = dlg.source;
            kept.receiverInterval = dlg.receiverInterval;
            if (!source) {
                log += FormatC("%d : cancelled, skipped \n", static_cast<int>(n));
                continue;
            }
            count = std::min(count, dlg.traceCount);
            for (int i = 0; i < count; ++i) header(i).sourceHundredths = *source;
            if (!dlg.outputFileName.empty()) output = dlg.outputFileName;
        }

        ReorderTracesByKey(r.rows, r.headers, count);
        if (!WriteOutput(ctx, output, r, count, outputFormat)) {
            log += FormatC("%d : %s could not be written \n", static_cast<int>(n), output.c_str());
            continue;
        }
        Say(ctx, FormatC(" %d %d %s", static_cast<int>(n) + 1, count, output.c_str()));
        ctx.log.Rewrite("multi_select.txt", log);
    }
    ctx.log.Rewrite("multi_select.txt", log);
    return static_cast<int>(paths.size());
}

// ---------------------------------------------------------------------------------------------
// Band-pass batch

int BatchBandPass(BatchContext& ctx, CBandPassDlg& settings)
{
    const std::string finished = Msg(ctx.language, "BPF has been finished !", "BPF が終了しました !");
    FileRequest request;
    request.filters = {{"All files(*.*)", "*.*"}};
    request.initialName = "*.*";
    const std::vector<std::string> paths = ctx.ui.OpenFiles(request);
    if (paths.empty()) {
        Say(ctx, finished);
        return 0;
    }
    // OK stores the corners; Cancel keeps them, and the batch runs either way.
    CBandPassDlg edit = settings;
    DialogRequest dialog = BandPassDialogRequest(edit);
    if (ctx.ui.RunDialog(dialog)) settings = edit;

    FormatContext read{ctx.ui, ctx.language, ctx.log};
    int written = 0;
    for (const std::string& path : paths) {
        const std::string output = BatchBandPassName(path, "_BPF");
        if (output.empty()) continue;
        LoadTarget target(0, ctx.maxTraces, ctx.rowLength, ctx.maxSample);
        const int count = BatchReadByType(path, target, read);
        if (count <= 0) continue;
        int n = 0;
        bool intervalsValid = true;
        for (int k = 0; k < count; ++k) {
            n = std::max(n, std::clamp(target.HeaderAt(k).samples, 0, ctx.rowLength));
            const float us = target.HeaderAt(k).intervalUs;
            if (!(us > 0.0f) || !std::isfinite(us)) intervalsValid = false;
        }
        if (!intervalsValid) {
            Say(ctx,
                Msg(ctx.language, "The sampling time of this record is not valid.",
                    "このレコードのサンプリング時間が正しくありません。"),
                MsgIcon::Warning);
            continue;
        }
        const int length = CBandPassDlg::FftLength(std::max(n, 1), 1);
        const int half = length / 2;
        ScratchRecord r = CopyRecord(target, count, std::max(length, n));

        std::map<float, std::vector<double>> curves;  // by interval (ms)
        std::vector<RealRowJob> jobs;
        for (int k = 0; k < count; ++k) {
            const float dt = target.HeaderAt(k).intervalUs * 0.001f;
            auto it = curves.find(dt);
            if (it == curves.end()) {
                std::vector<double> curve(static_cast<size_t>(half + 1));
                if (!CBandPassDlg::MakeCosineTaperFilter(half + 1, dt, settings.lowCut, settings.highCut, curve.data(),
                                                         ctx.workingFolder)) {
                    Say(ctx, Msg(ctx.language, "Wrong filter parameters !", "フィルターのパラメータが正しくありません !"),
                        MsgIcon::Warning);
                    Say(ctx, finished);
                    return written;
                }
                it = curves.emplace(dt, std::move(curve)).first;
            }
            RealRowJob job;
            job.row = r.rows.Row(k).data();
            job.copyCount = std::clamp(target.HeaderAt(k).samples, 0, length);
            job.writeCount = job.copyCount;
            job.curve = it->second.data();
            job.curveCount = half + 1;
            jobs.push_back(job);
        }
        if (length > kLongTransform) {
            // Trace by trace, so that the progress shows.
            for (int k = 0; k < count; ++k) {
                Progress(ctx, FormatC(" BPF calculation : trace = %d ", k + 1), kTraceProgressY);
                FilterRealRows(std::span<const RealRowJob>(&jobs[static_cast<size_t>(k)], 1), length);
            }
        } else {
            FilterRealRows(jobs, length);
        }
        const WriteStatus status = WriteEightHeaderFile(output, r.rows, r.headers, count);
        if (!status) {
            Say(ctx, WriteFailedMessage(ctx.language, output, status.error), MsgIcon::Error);
            continue;
        }
        ++written;
        Progress(ctx,
                 FormatC(Msg(ctx.language, "%d files have been bandpassed !", "%d 個のファイルをフィルター処理しました !").c_str(),
                         written),
                 kFileProgressY);
    }
    Say(ctx, finished);
    return written;
}

}  // namespace velk
