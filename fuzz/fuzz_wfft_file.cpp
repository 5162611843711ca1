// Fuzzes the time-frequency exchange file reader: any bytes give either every value the header
// announces, read from inside the input, or empty panels; nothing is allocated that the input
// does not hold.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "nordalis/panel_data.h"
#include "platform/byte_io.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    velk::ByteSource source = velk::ByteSource::FromSpan(std::span<const uint8_t>(data, size));
    const velk::nordalis::WfftReadResult r = velk::nordalis::ReadWfft(source, "fuzz");
    if (r.data.HasValues()) {
        const uint64_t values = static_cast<uint64_t>(r.data.n1) * r.data.n2 * r.data.n3;
        if (20 + 4 * values > size) std::abort();
        for (int i = 0; i < r.data.n1; ++i) (void)velk::nordalis::PanelMinMax(r.data, i);
    }
    return 0;
}
