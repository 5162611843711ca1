#include "traveltime/spike_file.h"

#include <cstdint>

#include "platform/numtext.h"

namespace velk {

SpikeFile ReadSpikeFile(std::string_view text)
{
    SpikeFile file;
    TextScanner scan(text);
    while (static_cast<int>(file.blocks.size()) < SpikeFile::kMaxBlocks) {
        SpikeBlock block;
        int32_t count = 0;
        if (!scan.ReadFloat(block.position) || !scan.ReadInt(count)) break;
        bool complete = true;
        for (int32_t t = 0; t < count; ++t) {
            float time = 0.0f;
            if (!scan.ReadFloat(time)) {
                complete = false;
                break;
            }
            if (t < SpikeFile::kMaxTimes) {
                block.times.push_back(time);
            } else {
                file.timesDropped = true;
            }
        }
        file.blocks.push_back(std::move(block));
        if (!complete) break;
    }
    return file;
}

}  // namespace velk
