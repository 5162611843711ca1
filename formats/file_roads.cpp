#include "formats/file_roads.h"

#include <algorithm>
#include <cmath>

#include "platform/byte_io.h"
#include "platform/language.h"

namespace velk {

int FileTypeFromExtension(std::string_view /*path*/, int /*checkFlag*/) { return kFileSeg2; }

int FileTypeFromContent(std::string_view path, int checkFlag, ByteSource& file)
{
    file.Seek(0);
    return FileTypeFromExtension(path, checkFlag);
}

void BeginLoad(WaveformStore& store, int& loadedCount)
{
    loadedCount = store.TraceCount();
    if (loadedCount != 0) store.PushUndo();
}

namespace {

// Count, samples per trace, interval and peaks after the headers of 0..count-1 are in place.
void SetUpRecord(WaveformStore& store, int count)
{
    CParameterSet& p = store.Params();
    p.traceCount = count;
    p.tracesShown = count;
    int longest = 0;
    for (int i = 0; i < count; ++i) longest = std::max(longest, store.TraceSamples(i));
    p.samplesPerTrace = longest;
    p.samplesShown = longest;
    p.sampleInterval = count > 0 ? store.current.headers[0].intervalUs * 0.001f : 0.0f;
    p.shownTime = static_cast<float>(longest) * p.sampleInterval;
    p.timeAxisStart = 0.0f;
    store.dataKind() = kTimeDomain;
    store.ComputeTraceMaxima();
}

}  // namespace

void ReplaceLoadedTraces(WaveformStore& store, int count, std::span<const CTraceHeader> records)
{
    count = std::clamp(count, 0, std::min<int>(store.MaxTraces(), static_cast<int>(records.size())));
    store.Params().ClearFlags();
    for (int i = 0; i < count; ++i) store.current.headers[static_cast<size_t>(i)] = records[static_cast<size_t>(i)];
    for (int i = 0; i < count; ++i) store.displayFactor[static_cast<size_t>(i)] = 1.0f;
    SetUpRecord(store, count);
}

void AppendLoadedTraces(WaveformStore& store, int newCount, std::span<const CTraceHeader> records)
{
    const int old = store.TraceCount();
    const int limit = std::min<int>(store.MaxTraces(), static_cast<int>(records.size()));
    const int end = std::clamp(old + std::max(newCount, 0), old, std::max(limit, old));
    CParameterSet& p = store.Params();
    for (int i = old; i < end; ++i) {
        if (static_cast<size_t>(i) < p.selectionFlags.size()) p.selectionFlags[static_cast<size_t>(i)] = 0;
        store.current.headers[static_cast<size_t>(i)] = records[static_cast<size_t>(i)];
        store.displayFactor[static_cast<size_t>(i)] = 1.0f;
    }
    SetUpRecord(store, end);
}

DialogRequest COpenDataFileDlg::Request(int language)
{
    DialogRequest request(kClass, Msg(language, "Open data file", "データファイルを開く"));
    request.Choice("File", value,
                   {Msg(language, "New file", "新規ファイル"),
                    Msg(language, "Append to present data", "現在のデータに追加")});
    request.OkOnly();
    return request;
}

}  // namespace velk
