// The reader of "Open SEG2 file(20bit float)" through the shared reader harness, at start 0 and
// near the capacity, with its diagnostic log kept in memory.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "formats/seg2.h"
#include "fuzz/reader_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    namespace fz = velk::fuzzing;
    const fz::HarnessLimits limits;
    for (int start : {0, limits.maxTraces - 1}) {
        fz::CheckReader({data, size}, limits, start,
                        [&](velk::ByteSource& source, velk::LoadTarget& target, velk::FormatContext& ctx) {
                            velk::MemoryLogSink log;
                            velk::FormatContext logged{ctx.ui, ctx.language, log};
                            velk::Seg2OpenResult out;
                            const int n = velk::ReadSeg2Packed20(source, target, logged, out);
                            fz::Require(!log.Text("seg2.txt").empty(), "no diagnostic log");
                            if (n > 0) {
                                fz::Require(out.receivers.size() == static_cast<size_t>(n) &&
                                                out.sources.size() == static_cast<size_t>(n) &&
                                                out.components.size() == static_cast<size_t>(n),
                                            "position arrays of another length than the traces");
                                fz::Require(out.samples >= 0 && out.samples <= limits.maxSample,
                                            "out samples outside [0, MAX_SAMPLE]");
                                for (float v : out.receivers) fz::Require(std::isfinite(v), "a receiver that is not finite");
                            }
                            return n;
                        });
    }
    return 0;
}
