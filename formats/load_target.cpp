#include "formats/load_target.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <stdexcept>
#include <utility>

#include <sys/mman.h>

#include "platform/language.h"
#include "platform/numtext.h"

namespace velk {

namespace {

constexpr size_t kHugePage = size_t{2} << 20;
constexpr size_t kLargeRowBytes = 64 * 1024;
constexpr size_t kMaxBlockBytes = size_t{32} << 20;

}  // namespace

RowPool::RowPool(size_t rowFloats, size_t rowsAtMost) : rowFloats_(std::max<size_t>(rowFloats, 1)), rowsLeft_(rowsAtMost) {}

RowPool::~RowPool() { Release(); }

RowPool::RowPool(RowPool&& other) noexcept
    : rowFloats_(other.rowFloats_),
      rowsLeft_(std::exchange(other.rowsLeft_, 0)),
      blocks_(std::exchange(other.blocks_, {})),
      next_(std::exchange(other.next_, nullptr)),
      freeInBlock_(std::exchange(other.freeInBlock_, 0))
{
}

RowPool& RowPool::operator=(RowPool&& other) noexcept
{
    if (this != &other) {
        Release();
        rowFloats_ = other.rowFloats_;
        rowsLeft_ = std::exchange(other.rowsLeft_, 0);
        blocks_ = std::exchange(other.blocks_, {});
        next_ = std::exchange(other.next_, nullptr);
        freeInBlock_ = std::exchange(other.freeInBlock_, 0);
    }
    return *this;
}

void RowPool::Release() noexcept
{
    for (const Block& b : blocks_) {
        if (b.bytes == 0) {
            std::free(b.memory);
        } else {
            ::munmap(b.memory, b.bytes);
        }
    }
    blocks_.clear();
    next_ = nullptr;
    freeInBlock_ = 0;
}

float* RowPool::NewRow()
{
    const size_t rowBytes = rowFloats_ * sizeof(float);
    if (freeInBlock_ == 0) {
        blocks_.reserve(blocks_.size() + 1);  // the push_back below cannot throw then
        if (rowBytes < kLargeRowBytes) {
            void* p = std::calloc(rowFloats_, sizeof(float));
            if (!p) throw std::bad_alloc();
            blocks_.push_back({p, 0});
            if (rowsLeft_ > 0) --rowsLeft_;
            return static_cast<float*>(p);
        }
        // Enough whole huge pages for the rows still to come, at most 32 MiB at a time.
        const size_t want = std::min(std::max<size_t>(rowsLeft_, 1) * rowBytes, std::max(kMaxBlockBytes, rowBytes));
        const size_t bytes = (want + kHugePage - 1) / kHugePage * kHugePage;
        void* p = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED) throw std::bad_alloc();
        (void)::madvise(p, bytes, MADV_HUGEPAGE);  // only advice: without it, ordinary pages
        blocks_.push_back({p, bytes});
        next_ = static_cast<float*>(p);
        freeInBlock_ = bytes / rowBytes;
    }
    float* row = next_;
    next_ += rowFloats_;
    --freeInBlock_;
    if (rowsLeft_ > 0) --rowsLeft_;
    return row;
}

LoadTarget::LoadTarget(int start, int capacity, int rowLength, int maxSample)
    : start_(std::max(start, 0)),
      capacity_(std::max(capacity, 0)),
      rowLength_(std::max(rowLength, 0)),
      maxSample_(maxSample),
      rows_(static_cast<size_t>(capacity_), nullptr),
      pool_(static_cast<size_t>(rowLength_), static_cast<size_t>(capacity_)),
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
    float*& row = rows_[static_cast<size_t>(k)];
    if (!row) row = pool_.NewRow();  // zero-filled
    return {row, static_cast<size_t>(rowLength_)};
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
    const float* row = rows_[static_cast<size_t>(k)];
    if (!row) return {};
    return {row, static_cast<size_t>(rowLength_)};
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
