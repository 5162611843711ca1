#include "survey/file_group.h"

#include <algorithm>
#include <optional>

#include "dsp/edit_helpers.h"
#include "formats/file_roads.h"
#include "platform/numtext.h"

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

int CFileGroup::AddFile(const std::string& name, float sourcePosition, float firstReceiver, float receiverInterval)
{
    const std::optional<int32_t> id = ParseInt(FileNameSortKey(name));
    if (!id || entryCount < 0 || entryCount >= kMaxFiles || entries.size() < static_cast<size_t>(kMaxFiles)) {
        return entryCount;
    }
    FileListEntry& e = entries[static_cast<size_t>(entryCount)];
    e.inUse = 1;
    e.fileName = name;
    e.fileType = FileTypeOfGroupMember(name, 0);
    e.hasType = 1;
    e.id = *id;
    e.shotDistance = sourcePosition;
    e.firstReceiver = firstReceiver;
    e.receiverInterval = receiverInterval;
    e.numberOfAuxiliary = 0;
    return ++entryCount;
}
int CFileGroup::Save(ByteSink&) { return 0; }

int CFileGroup::ReadNthFile(int, Matrix2D<float>&, std::span<CTraceHeader>,
                            std::span<CTraceHeaderEx>)
{
    return 0;
}

namespace {

// Copies the in-use cells of one table row into rows and headers from 0, at most `capacity`
// of them, marking each copied cell when `mark` is set. Returns the count.
int CopyCells(std::vector<CTraceEntry>& cells, Matrix2D<float>& rows, std::span<CTraceHeader> headers,
              int capacity, bool mark)
{
    int k = 0;
    for (CTraceEntry& cell : cells) {
        if (cell.use != 1) {
            continue;
        }
        if (k >= capacity) {
            break;
        }
        headers[static_cast<size_t>(k)] = cell.GetHeader();
        const std::span<float> row = rows.Row(rows.RowLow() + k);
        const int n = cell.GetSamples(row);
        headers[static_cast<size_t>(k)].samples = n;
        if (mark) {
            cell.mark = 1;
        }
        ++k;
    }
    return k;
}

int32_t Midpoint(const CTraceHeader& h)
{
    return static_cast<int32_t>((static_cast<int64_t>(h.receiverHundredths) + h.sourceHundredths) / 2);
}

}  // namespace

int CFileGroup::ReadListedFile(int fileIndex, Matrix2D<float>& rows, std::span<CTraceHeader> headers)
{
    if (fileIndex < 0 || static_cast<size_t>(fileIndex) >= table.size()) {
        return 0;
    }
    const int capacity = static_cast<int>(std::min(headers.size(), rows.Rows()));
    return CopyCells(table[static_cast<size_t>(fileIndex)], rows, headers, capacity, false);
}

int CFileGroup::GatherCapacity(const Matrix2D<float>& rows,
                               std::span<const CTraceHeader> headers) const
{
    if (Empty() || table.empty()) {
        return 0;
    }
    return static_cast<int>(std::min(headers.size(), rows.Rows()));
}

int CFileGroup::BuildGather(Matrix2D<float>& rows, std::span<CTraceHeader> headers, int sourceIndex)
{
    const int capacity = GatherCapacity(rows, headers);
    if (capacity == 0) {
        return 0;
    }
    const int files = std::min(entryCount, static_cast<int32_t>(std::min<size_t>(table.size(), kMaxFiles)));
    const int row = std::clamp(sourceIndex, 0, std::max(files - 1, 0));
    ClearMarks();
    return CopyCells(table[static_cast<size_t>(row)], rows, headers, capacity, true);
}

int CFileGroup::CommonReceiverGather(Matrix2D<float>& rows, std::span<CTraceHeader> headers, int)
{
    if (GatherCapacity(rows, headers) == 0) {
        return 0;
    }
    return 0;
}

int CFileGroup::CdpGather(Matrix2D<float>& rows, std::span<CTraceHeader> headers, int midpointIndex)
{
    const int capacity = GatherCapacity(rows, headers);
    if (capacity == 0 || midpointIndex < 0 || midpointIndex >= std::min(cdpCount, kMaxCdps)) {
        return 0;
    }
    const int32_t midpoint = cdpPositions[static_cast<size_t>(midpointIndex)];
    int k = 0;
    for (const auto& cells : table) {
        for (const CTraceEntry& cell : cells) {
            if (cell.use != 1 || Midpoint(cell.header) != midpoint) {
                continue;
            }
            if (k >= capacity) {
                return k;
            }
            headers[static_cast<size_t>(k)] = cell.GetHeader();
            headers[static_cast<size_t>(k)].samples = cell.GetSamples(rows.Row(rows.RowLow() + k));
            ++k;
        }
    }
    return k;
}

int CFileGroup::CdpFold(int midpointIndex) const
{
    if (midpointIndex < 0 || midpointIndex >= std::min(cdpCount, kMaxCdps)) {
        return 0;
    }
    const int32_t midpoint = cdpPositions[static_cast<size_t>(midpointIndex)];
    int fold = 0;
    for (const auto& cells : table) {
        for (const CTraceEntry& cell : cells) {
            fold += cell.use == 1 && Midpoint(cell.header) == midpoint ? 1 : 0;
        }
    }
    return fold;
}

int CFileGroup::StoreRow(const Matrix2D<float>& rows, std::span<const CTraceHeader> headers, int sourceIndex)
{
    if (sourceIndex < 0 || static_cast<size_t>(sourceIndex) >= table.size()) {
        return 0;
    }
    const int capacity = static_cast<int>(std::min(headers.size(), rows.Rows()));
    int k = 0;
    for (CTraceEntry& cell : table[static_cast<size_t>(sourceIndex)]) {
        if (cell.use != 1) {
            continue;
        }
        if (k >= capacity) {
            break;
        }
        const CTraceHeader& h = headers[static_cast<size_t>(k)];
        const std::span<const float> row = rows.Row(rows.RowLow() + k);
        const size_t n = std::min(static_cast<size_t>(std::max(h.samples, 0)), row.size());
        cell.header = h;
        cell.header.samples = static_cast<int32_t>(n);
        cell.samples.assign(row.begin(), row.begin() + static_cast<std::ptrdiff_t>(n));
        cell.hasSamples = 1;
        ++k;
    }
    return k;
}

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

int CFileGroup::KillTraces(std::span<const int32_t> receiverHundredths)
{
    int hit = 0;
    for (auto& cells : table) {
        for (CTraceEntry& cell : cells) {
            if (std::find(receiverHundredths.begin(), receiverHundredths.end(), cell.header.receiverHundredths) !=
                receiverHundredths.end()) {
                std::fill(cell.samples.begin(), cell.samples.end(), 0.0f);
                ++hit;
            }
        }
    }
    return hit;
}

}  // namespace velk
