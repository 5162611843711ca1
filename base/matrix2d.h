#pragma once
// Two-dimensional numeric arrays with inclusive, arbitrary index bounds: the waveform store's
// sample matrices and the working matrices of the numerical routines.
//
// One contiguous zero-filled block holds all elements row after row; m[i][j] is valid for
// nrl <= i <= nrh and ncl <= j <= nch. Row starts are computed from the block start, so no
// pointer outside the block is ever formed. Indices are checked (abort with a message) when
// VELK_CHECKED_INDEX is defined, as in debug and sanitizer builds, and unchecked otherwise.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <span>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>

namespace velk {

namespace matrix_detail {

[[noreturn]] inline void IndexFailure(const char* what, long long index, long long low,
                                      long long high)
{
    std::fprintf(stderr, "Matrix2D: %s index %lld outside [%lld, %lld]\n", what, index, low,
                 high);
    std::abort();
}

inline void CheckIndex([[maybe_unused]] const char* what, [[maybe_unused]] long long index,
                       [[maybe_unused]] long long low, [[maybe_unused]] long long high)
{
#ifdef VELK_CHECKED_INDEX
    if (index < low || index > high) {
        IndexFailure(what, index, low, high);
    }
#endif
}

struct FreeDeleter {
    void operator()(void* p) const noexcept { std::free(p); }
};

}  // namespace matrix_detail

template <class T>
class Matrix2D {
    // Zero bytes are the value 0 and copies are plain byte copies for these types, which lets
    // the block come from calloc (lazily zeroed pages for the store's large matrices).
    static_assert(std::is_arithmetic_v<T>, "Matrix2D holds numbers");

public:
    // A view of one row, indexed with the matrix's column bounds.
    template <class U>
    class RowView {
    public:
        U& operator[](int j) const
        {
            matrix_detail::CheckIndex("column", j, ncl_, nch_);
            return row_[static_cast<std::ptrdiff_t>(j) - ncl_];
        }

    private:
        friend class Matrix2D;
        RowView(U* row, int ncl, int nch) : row_(row), ncl_(ncl), nch_(nch) {}
        U* row_;
        int ncl_;
        int nch_;
    };

    // Empty: no rows, no columns.
    Matrix2D() = default;

    // Rows nrl..nrh, columns ncl..nch, all zero. Throws std::invalid_argument for inverted
    // bounds and std::length_error when the element or byte count overflows, both before
    // allocating; std::bad_alloc when the memory is not there.
    Matrix2D(int nrl, int nrh, int ncl, int nch)
    {
        if (nrh < nrl || nch < ncl) {
            throw std::invalid_argument("Matrix2D: inverted bounds [" + std::to_string(nrl) +
                                        ", " + std::to_string(nrh) + "] x [" +
                                        std::to_string(ncl) + ", " + std::to_string(nch) + "]");
        }
        // Differences in 64 bits: nrh - nrl + 1 overflows int for wide bounds.
        const auto rows = static_cast<uint64_t>(static_cast<int64_t>(nrh) - nrl + 1);
        const auto cols = static_cast<uint64_t>(static_cast<int64_t>(nch) - ncl + 1);
        constexpr uint64_t kMaxElements =
            static_cast<uint64_t>(std::numeric_limits<std::ptrdiff_t>::max()) / sizeof(T);
        if (rows > std::numeric_limits<size_t>::max() / cols || rows * cols > kMaxElements) {
            throw std::length_error("Matrix2D: " + std::to_string(rows) + " x " +
                                    std::to_string(cols) + " elements do not fit in memory");
        }
        const size_t count = static_cast<size_t>(rows * cols);
        data_.reset(static_cast<T*>(std::calloc(count, sizeof(T))));
        if (!data_) {
            throw std::bad_alloc();
        }
        nrl_ = nrl;
        nrh_ = nrh;
        ncl_ = ncl;
        nch_ = nch;
        rows_ = static_cast<size_t>(rows);
        cols_ = static_cast<size_t>(cols);
        size_ = count;
    }

    Matrix2D(const Matrix2D& other) { CopyFrom(other); }
    Matrix2D& operator=(const Matrix2D& other)
    {
        if (this != &other) {
            Matrix2D copy(other);
            *this = std::move(copy);
        }
        return *this;
    }
    Matrix2D(Matrix2D&& other) noexcept { Take(std::move(other)); }
    Matrix2D& operator=(Matrix2D&& other) noexcept
    {
        if (this != &other) {
            Take(std::move(other));
        }
        return *this;
    }
    ~Matrix2D() = default;

    RowView<T> operator[](int i)
    {
        matrix_detail::CheckIndex("row", i, nrl_, nrh_);
        return RowView<T>(RowStart(i), ncl_, nch_);
    }
    RowView<const T> operator[](int i) const
    {
        matrix_detail::CheckIndex("row", i, nrl_, nrh_);
        return RowView<const T>(RowStart(i), ncl_, nch_);
    }

    // Row i as a span of Cols() elements; the span is indexed from 0 (column ncl).
    std::span<T> Row(int i)
    {
        matrix_detail::CheckIndex("row", i, nrl_, nrh_);
        return {RowStart(i), cols_};
    }
    std::span<const T> Row(int i) const
    {
        matrix_detail::CheckIndex("row", i, nrl_, nrh_);
        return {RowStart(i), cols_};
    }

    // All elements, row after row.
    std::span<T> Elements() { return {data_.get(), size_}; }
    std::span<const T> Elements() const { return {data_.get(), size_}; }

    bool Empty() const { return size_ == 0; }
    size_t Rows() const { return rows_; }
    size_t Cols() const { return cols_; }
    int RowLow() const { return nrl_; }
    int RowHigh() const { return nrh_; }
    int ColLow() const { return ncl_; }
    int ColHigh() const { return nch_; }

    void Fill(T value)
    {
        for (T& element : Elements()) {
            element = value;
        }
    }

    // Back to the empty state, releasing the block.
    void Reset() { Take(Matrix2D()); }

private:
    // Only called with a row index inside the bounds (or unchecked by the caller's choice).
    T* RowStart(int i) const
    {
        return data_.get() + static_cast<size_t>(static_cast<int64_t>(i) - nrl_) * cols_;
    }

    void CopyFrom(const Matrix2D& other)
    {
        if (other.Empty()) {
            return;
        }
        data_.reset(static_cast<T*>(std::malloc(other.size_ * sizeof(T))));
        if (!data_) {
            throw std::bad_alloc();
        }
        std::memcpy(data_.get(), other.data_.get(), other.size_ * sizeof(T));
        nrl_ = other.nrl_;
        nrh_ = other.nrh_;
        ncl_ = other.ncl_;
        nch_ = other.nch_;
        rows_ = other.rows_;
        cols_ = other.cols_;
        size_ = other.size_;
    }

    void Take(Matrix2D&& other) noexcept
    {
        data_ = std::move(other.data_);
        nrl_ = std::exchange(other.nrl_, 0);
        nrh_ = std::exchange(other.nrh_, -1);
        ncl_ = std::exchange(other.ncl_, 0);
        nch_ = std::exchange(other.nch_, -1);
        rows_ = std::exchange(other.rows_, 0);
        cols_ = std::exchange(other.cols_, 0);
        size_ = std::exchange(other.size_, 0);
    }

    std::unique_ptr<T[], matrix_detail::FreeDeleter> data_;
    int nrl_ = 0;
    int nrh_ = -1;
    int ncl_ = 0;
    int nch_ = -1;
    size_t rows_ = 0;
    size_t cols_ = 0;
    size_t size_ = 0;
};

// The factories and resets under their established names.
inline Matrix2D<float> Alloc2dFloat(int nrl, int nrh, int ncl, int nch)
{
    return Matrix2D<float>(nrl, nrh, ncl, nch);
}
inline Matrix2D<double> Alloc2dDouble(int nrl, int nrh, int ncl, int nch)
{
    return Matrix2D<double>(nrl, nrh, ncl, nch);
}
inline void Free2dFloat(Matrix2D<float>& m) { m.Reset(); }
inline void Free2dDouble(Matrix2D<double>& m) { m.Reset(); }

}  // namespace velk
