#include "formats/load_target.h"

#include <algorithm>
#include <stdexcept>

#include "platform/language.h"
#include "platform/numtext.h"

namespace velk {

LoadTarget::LoadTarget(int start, int capacity, int rowLength, int maxSample)
    : start_(std::max(start, 0)),
      capacity_(std::max(capacity, 0)),
      rowLength_(std::max(rowLength, 0)),
      maxSample_(maxSample),
      rows_(static_cast<size_t>(capacity_)),
      headers_(static_cast<size_t>(capacity_)),
      headersEx_(static_cast<size_t>(capacity_))
{
}

void LoadTarget::Check(int k) const
{
    if (k < 0 || k >= capacity_) {
        throw TargetOverflow("LoadTarget: trace " + std::to_string(k) + " outside 0.." +
                                std::to_string(capacity_ - 1));
    }
}

std::span<float> LoadTarget::Row(int k)
{
    Check(k);
    auto& row = rows_[static_cast<size_t>(k)];
    if (!row) row = std::make_unique<float[]>(static_cast<size_t>(rowLength_));  // zero-filled
    return {row.get(), static_cast<size_t>(rowLength_)};
}

CTraceHeader& LoadTarget::Header(int k)
{
    Check(k);
    return headers_[static_cast<size_t>(k)];
}

CTraceHeaderEx& LoadTarget::HeaderEx(int k)
{
    Check(k);
    return headersEx_[static_cast<size_t>(k)];
}

bool LoadTarget::HasRow(int k) const
{
    Check(k);
    return rows_[static_cast<size_t>(k)] != nullptr;
}

std::span<const float> LoadTarget::RowIfAny(int k) const
{
    Check(k);
    const auto& row = rows_[static_cast<size_t>(k)];
    if (!row) return {};
    return {row.get(), static_cast<size_t>(rowLength_)};
}

const CTraceHeader& LoadTarget::HeaderAt(int k) const
{
    Check(k);
    return headers_[static_cast<size_t>(k)];
}

const CTraceHeaderEx& LoadTarget::HeaderExAt(int k) const
{
    Check(k);
    return headersEx_[static_cast<size_t>(k)];
}

std::string RecordTooLargeMessage(int language, int maxTraces, int maxSample)
{
    const std::string format = Msg(
        language,
        " The record is too large for the waveform memory ! \n\n"
        " MAXTRACES = %d, MAX_SAMPLE = %d \n\n"
        " Raise them with Option - Dimension size and re-start the program",
        " 波形データがメモリに入りきりません ! \n\n"
        " MAXTRACES = %d, MAX_SAMPLE = %d \n\n"
        " Option - Dimension size で大きくしてから、プログラムを再起動してください");
    return FormatC(format.c_str(), maxTraces, maxSample);
}

}  // namespace velk
