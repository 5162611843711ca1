// The radar text reader through the shared reader harness: what it reports besides the traces
// stays inside the store's limits.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "formats/gpr_radar.h"
#include "fuzz/reader_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const velk::fuzzing::HarnessLimits limits;
    velk::fuzzing::CheckReader({data, size}, limits, 0,
                               [&](velk::ByteSource& source, velk::LoadTarget& target, velk::FormatContext& ctx) {
                                   source.Seek(0);
                                   const auto bytes = source.Peek(static_cast<size_t>(source.Size()));
                                   const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
                                   velk::GprRadarRead out;
                                   const int n = velk::ReadGprRadarText(text, target, ctx, out);
                                   velk::fuzzing::Require(n == out.traces, "the trace count and the result differ");
                                   velk::fuzzing::Require(out.samples >= 0 && out.samples <= limits.maxSample,
                                                          "out samples outside [0, MAX_SAMPLE]");
                                   velk::fuzzing::Require(std::isfinite(out.intervalMs), "an interval that is not finite");
                                   return n;
                               });
    return 0;
}
