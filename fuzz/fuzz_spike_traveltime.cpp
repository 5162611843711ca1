// The traveltime file of the spike record, and the record made of it: whatever the text, at most
// the allowed blocks and times per block are kept, and the spikes lie inside the record.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "traveltime/modelling/generators.h"
#include "traveltime/spike_file.h"

namespace {

void Require(bool condition, const char* rule)
{
    if (!condition) {
        std::fprintf(stderr, "spike traveltime file: %s\n", rule);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const velk::SpikeFile file = velk::ReadSpikeFile(text);
    Require(file.blocks.size() <= static_cast<size_t>(velk::SpikeFile::kMaxBlocks), "too many blocks");
    for (const velk::SpikeBlock& block : file.blocks) {
        Require(block.times.size() <= static_cast<size_t>(velk::SpikeFile::kMaxTimes), "too many times");
    }
    const velk::GeneratedTraces rec = velk::SpikeRecord(file, 16, 0.5f, 8);
    Require(rec.traces <= 8 && rec.values.size() == static_cast<size_t>(rec.traces) * 16, "record size");
    for (const float v : rec.values) Require(v == 0.0f || v == -1.0f, "a sample that is no spike");
    return 0;
}
