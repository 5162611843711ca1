// The project file (.QZ4): whatever the bytes, a refused file leaves the group as it was; a
// loaded one holds at most the position limits, every cell with samples holds exactly its
// sample count (at most MAX_SAMPLE), and saving it again reads back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/byte_io.h"
#include "survey/file_group.h"

namespace {

void Require(bool condition, const char* rule)
{
    if (!condition) {
        std::fprintf(stderr, "project file: %s\n", rule);
        std::abort();
    }
}

constexpr int kMaxSample = 40;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    velk::CFileGroup group;
    velk::ByteSource source = velk::ByteSource::FromSpan({data, size});
    int traces = -1;
    const velk::ProjectLoadStatus status = group.Load(source, kMaxSample, &traces);
    if (status != velk::ProjectLoadStatus::Loaded) {
        Require(group.tableAllocated == 0 && group.sourceCount == 0 && group.receiverCount == 0 && traces == 0,
                "a refused file changed the group");
        return 0;
    }
    Require(group.sourceCount >= 1 && group.sourceCount <= velk::CFileGroup::kMaxSources &&
                group.receiverCount >= 1 && group.receiverCount <= velk::CFileGroup::kMaxReceivers,
            "counts outside the position arrays");
    int counted = 0;
    for (const auto& row : group.table) {
        Require(row.size() == static_cast<size_t>(group.receiverCount), "a row of the wrong length");
        for (const velk::CTraceEntry& cell : row) {
            if (cell.hasSamples != 1) continue;
            ++counted;
            Require(cell.header.samples >= 0 && cell.header.samples <= kMaxSample &&
                        cell.samples.size() == static_cast<size_t>(cell.header.samples),
                    "a cell's samples do not match its count");
        }
    }
    Require(counted == traces, "the trace count does not match the cells");
    if (group.dataLoaded != 1) return 0;
    velk::ByteSink first;
    Require(group.Save(first) == 1, "a loaded group could not be saved");
    velk::CFileGroup back;
    velk::ByteSource again = velk::ByteSource::FromSpan(first.Bytes());
    Require(back.Load(again, kMaxSample) == velk::ProjectLoadStatus::Loaded, "a saved group does not load");
    velk::ByteSink second;
    back.Save(second);
    Require(first.Bytes() == second.Bytes(), "save, load and save again changed the bytes");
    return 0;
}
