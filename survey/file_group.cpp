#include "survey/file_group.h"

#include <algorithm>

namespace velk {

int CTraceEntry::GetSamples(std::span<float> out) const
{
    const size_t n = std::min({static_cast<size_t>(std::max(header.samples, 0)),
                               samples.size(), out.size()});
    std::copy_n(samples.begin(), n, out.begin());
    return static_cast<int>(n);
}

CFileGroup::CFileGroup()
    : entries(kMaxFiles),
      sourcePositions(kMaxSources, 0),
      receiverPositions(kMaxReceivers, 0),
      cdpPositions(kMaxCdps, 0)
{
}

int CFileGroup::Load(ByteSource&) { return 0; }
int CFileGroup::Save(ByteSink&) { return 0; }

int CFileGroup::ReadNthFile(int, Matrix2D<float>&, std::span<CTraceHeader>,
                            std::span<CTraceHeaderEx>)
{
    return 0;
}

int CFileGroup::ReadListedFile(int, Matrix2D<float>&, std::span<CTraceHeader>) { return 0; }

int CFileGroup::GatherCapacity(const Matrix2D<float>& rows,
                               std::span<const CTraceHeader> headers) const
{
    if (Empty() || table.empty()) {
        return 0;
    }
    return static_cast<int>(std::min(headers.size(), rows.Rows()));
}

int CFileGroup::BuildGather(Matrix2D<float>& rows, std::span<CTraceHeader> headers, int)
{
    if (GatherCapacity(rows, headers) == 0) {
        return 0;
    }
    return 0;  // the gather itself comes with the file-group commands
}

int CFileGroup::CommonReceiverGather(Matrix2D<float>& rows, std::span<CTraceHeader> headers, int)
{
    if (GatherCapacity(rows, headers) == 0) {
        return 0;
    }
    return 0;
}

int CFileGroup::CdpGather(Matrix2D<float>& rows, std::span<CTraceHeader> headers, int)
{
    if (GatherCapacity(rows, headers) == 0) {
        return 0;
    }
    return 0;
}

int CFileGroup::StoreRow(const Matrix2D<float>&, std::span<const CTraceHeader>, int) { return 0; }

int CFileGroup::ClearMarks()
{
    int cleared = 0;
    for (auto& row : table) {
        for (CTraceEntry& cell : row) {
            cell.mark = 0;
            ++cleared;
        }
    }
    return cleared;
}

int CFileGroup::KillTraces(std::span<const int32_t>) { return 0; }

}  // namespace velk
