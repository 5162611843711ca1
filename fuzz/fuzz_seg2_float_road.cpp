// The reader of "Open Seg2 file (float data)" through the shared reader harness.
#include <cstddef>
#include <cstdint>

#include "formats/seg2.h"
#include "fuzz/reader_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const velk::fuzzing::HarnessLimits limits;
    velk::fuzzing::CheckReader({data, size}, limits, 0,
                               [&](velk::ByteSource& source, velk::LoadTarget& target, velk::FormatContext& ctx) {
                                   velk::Seg2OpenResult out;
                                   const int n = velk::ReadSeg2FloatData(source, target, ctx, out);
                                   if (n > 0) {
                                       velk::fuzzing::Require(out.samples >= 0 && out.samples <= limits.maxSample,
                                                              "out samples outside [0, MAX_SAMPLE]");
                                       velk::fuzzing::Require(std::isfinite(out.intervalMs), "an interval that is not finite");
                                   }
                                   return n;
                               });
    return 0;
}
