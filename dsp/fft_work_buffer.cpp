#include "dsp/fft_work_buffer.h"

#include <algorithm>

#include "dsp/fourier.h"

namespace velk {

FftWorkBuffer::FftWorkBuffer(int maxSample)
{
    const int rows = std::max(maxSample, 0);
    Reserve(static_cast<size_t>(std::max(PowerOfTwoLength(rows, 1), rows + 1)));
}

void FftWorkBuffer::Reserve(size_t length)
{
    if (length > re_.size()) {
        re_.assign(length, 0.0);
        im_.assign(length, 0.0);
    }
}

void FftWorkBuffer::Clear(size_t n)
{
    n = std::min(n, re_.size());
    std::fill(re_.begin(), re_.begin() + static_cast<std::ptrdiff_t>(n), 0.0);
    std::fill(im_.begin(), im_.begin() + static_cast<std::ptrdiff_t>(n), 0.0);
}

}  // namespace velk
