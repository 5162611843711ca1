#include "formats/seg2.h"

#include "platform/byte_io.h"
#include "platform/uihost.h"

namespace velk {

// First cut: the public API compiles; the reader and writer follow.

int ReadSeg2(ByteSource& /*file*/, LoadTarget& /*target*/, int /*skip*/, FormatContext& /*ctx*/) { return -1; }

int ReadSeg2Headers(ByteSource& /*file*/, std::span<CTraceHeader> /*headers*/, std::span<CTraceHeaderEx> /*records*/,
                    int /*start*/, int /*maxSample*/, FormatContext& /*ctx*/)
{
    return -1;
}

bool ParseSeg2Note(std::string_view /*text*/, double& /*latitude*/, double& /*longitude*/) { return false; }

void Unpack20BitSamples(std::span<const uint8_t> /*packed*/, std::span<int32_t> samples)
{
    for (int32_t& s : samples) s = 0;
}

WriteStatus WriteSeg2(ByteSink& /*sink*/, const Matrix2D<float>& /*rows*/, std::span<const CTraceHeader> /*headers*/,
                      int /*count*/, int /*formatCode*/, float /*scale*/, std::span<const CTraceHeaderEx> /*records*/)
{
    return WriteStatus::Failed("not built yet");
}

WriteStatus WriteSeg2File(const std::string& /*path*/, const Matrix2D<float>& /*rows*/,
                          std::span<const CTraceHeader> /*headers*/, int /*count*/, int /*formatCode*/, float /*scale*/)
{
    return WriteStatus::Failed("not built yet");
}

WriteStatus WriteSeg2AsFloat(ByteSink& sink, const Matrix2D<float>& rows, std::span<const CTraceHeader> headers,
                             int count, int formatCode, float scale)
{
    return WriteSeg2(sink, rows, headers, count, formatCode, scale, {});
}

std::vector<std::string> Seg2TraceStrings(const CTraceHeader& /*header*/, const CTraceHeaderEx* /*record*/) { return {}; }

Seg2OpenResult CSeg2FileDlg::OpenSeg2Dialog(UiHost& /*ui*/, int /*language*/, const WaveformStore& /*store*/,
                                            int /*loadedCount*/)
{
    return {};
}

Seg2OpenResult CSeg2FileDlg::OpenSeg2FloatDialog(UiHost& /*ui*/, int /*language*/, const WaveformStore& /*store*/)
{
    return {};
}

SaveOutcome CSeg2FileDlg::SaveSeg2Dialog(UiHost& /*ui*/, int /*language*/, const Matrix2D<float>& /*rows*/,
                                         std::span<const CTraceHeader> /*headers*/, int /*count*/)
{
    return SaveOutcome::Cancelled;
}

Seg2OpenResult CSeg2FileDlg::OpenSeg2Packed20Dialog(UiHost& /*ui*/, int /*language*/, LogSink& /*log*/,
                                                    const WaveformStore& /*store*/, int /*loadedCount*/)
{
    return {};
}

}  // namespace velk
