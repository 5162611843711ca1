#pragma once
// The FFT work arrays of the Fourier commands: real and imaginary parts in double, long enough
// for any row of the store (the power-of-two length of MAX_SAMPLE, and MAX_SAMPLE + 1 for the
// one-based uses), allocated once and reused for every trace. A command that needs a longer
// transform grows it once before its trace loop. It carries no data from one command to the
// next. Not shared between threads: a command that runs traces in parallel gives each thread
// its own buffer.

#include <cstddef>
#include <span>
#include <vector>

namespace velk {

class FftWorkBuffer {
public:
    // Sized for rows of maxSample samples: max(PowerOfTwoLength(maxSample, 1), maxSample + 1).
    explicit FftWorkBuffer(int maxSample);

    // Makes both arrays hold at least `length` elements. Grows only, so a trace loop that
    // calls it with the same length allocates at most once; the contents are not kept.
    void Reserve(size_t length);

    double* Re() { return re_.data(); }
    double* Im() { return im_.data(); }
    std::span<double> ReSpan() { return re_; }
    std::span<double> ImSpan() { return im_; }
    size_t Length() const { return re_.size(); }

    // Zeros elements [0, n) of both arrays (n limited to the length).
    void Clear(size_t n);

private:
    std::vector<double> re_;
    std::vector<double> im_;
};

}  // namespace velk
