#include "dsp/fft_engine.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <numbers>
#include <utility>
#include <vector>

namespace velk::fft_engine {
namespace {


// Blocks of 2^kLeafLog2 points run all their remaining stages before the next block starts.
// 2048 doubles of real and imaginary parts are 32 KB, the first-level cache of common cores.
constexpr int kLeafLog2 = 11;

// The twiddles of radix-4 stages come in groups of this many consecutive butterflies (a
// multiple of every vector's lane count).
constexpr size_t kTwiddleGroup = 4;

// The per-thread tables of one precision.
template <class T>
struct Tables {
    // stage[l]: the twiddles of the radix-4 stage of length L = 2^l (l >= 3), w = e^(-2 pi i
    // / L), k = 0 .. Q-1 (Q = L/4), in groups of B = min(Q, kTwiddleGroup) consecutive k: each
    // group is six runs of B values, w^k real, w^k imaginary, w^2k real, w^2k imaginary, w^3k
    // real, w^3k imaginary. A butterfly's twiddles then come from one place in the table.
    std::array<std::vector<T>, kMaxLog2 + 1> stage;
    // half[l]: the twiddles of the radix-2 stage of length L = 2^l that odd powers of two
    // start with: w^k real, then w^k imaginary, k = 0 .. L/2 - 1.
    std::array<std::vector<T>, kMaxLog2 + 1> half;
    // swaps[m], small lengths: the pairs (i, j), i < j, that the bit reversal of 2^m points
    // exchanges. Larger lengths: the bit reversals of the middle index bits (see BitReverse).
    std::array<std::vector<uint32_t>, kMaxLog2 + 1> swaps;
    // blocks[m]: the bit reversals of the m - 4 bits that number the 16-point blocks of 2^m
    // points, for the short lengths whose last pass writes its results straight to their
    // reversed places.
    std::array<std::vector<uint32_t>, kMaxLog2 + 1> blocks;
    // The short lengths' working arrays (see ScratchBeside).
    std::vector<T> scratchRe, scratchIm;
};

// Lengths of 2^kBlockedLog2 points and more are bit-reversed tile by tile.
constexpr int kBlockedLog2 = 12;
// Tile edge: 2^kTileLog2 elements, a cache line of doubles.
constexpr int kTileLog2 = 3;
constexpr size_t kTile = size_t{1} << kTileLog2;

uint32_t ReverseBits(uint32_t v, int bits)
{
    uint32_t r = 0;
    for (int b = 0; b < bits; ++b) {
        r = (r << 1) | ((v >> b) & 1u);
    }
    return r;
}

// Angle of e^(-2 pi i j / L) as the two precisions build it. Double: the exact fraction of
// 2 pi, reduced to [0, L) so that the argument stays small. Float: the single-precision pi,
// as the float transform has always used.
template <class T>
double TwiddleAngle(uint64_t j, uint64_t L);

template <>
double TwiddleAngle<double>(uint64_t j, uint64_t L)
{
    return -2.0 * std::numbers::pi * static_cast<double>(j % L) / static_cast<double>(L);
}

template <>
double TwiddleAngle<float>(uint64_t j, uint64_t L)
{
    const double piFloat = static_cast<double>(static_cast<float>(std::numbers::pi));
    return -2.0 * piFloat * static_cast<double>(j % L) / static_cast<double>(L);
}

template <class T>
const T* StageTwiddles(Tables<T>& tables, int l)
{
    std::vector<T>& t = tables.stage[static_cast<size_t>(l)];
    if (t.empty()) {
        const uint64_t L = uint64_t{1} << l;
        const size_t Q = static_cast<size_t>(L / 4);
        const size_t B = std::min(Q, kTwiddleGroup);
        t.resize(6 * Q);
        for (size_t k = 0; k < Q; ++k) {
            T* group = t.data() + (k / B) * 6 * B + k % B;
            for (size_t p = 1; p <= 3; ++p) {
                const double a = TwiddleAngle<T>(p * k, L);
                group[(2 * p - 2) * B] = static_cast<T>(std::cos(a));
                group[(2 * p - 1) * B] = static_cast<T>(std::sin(a));
            }
        }
    }
    return t.data();
}

template <class T>
const T* HalfTwiddles(Tables<T>& tables, int l)
{
    std::vector<T>& t = tables.half[static_cast<size_t>(l)];
    if (t.empty()) {
        const uint64_t L = uint64_t{1} << l;
        const size_t H = static_cast<size_t>(L / 2);
        t.resize(2 * H);
        for (size_t k = 0; k < H; ++k) {
            const double a = TwiddleAngle<T>(k, L);
            t[k] = static_cast<T>(std::cos(a));
            t[H + k] = static_cast<T>(std::sin(a));
        }
    }
    return t.data();
}

template <class T>
const std::vector<uint32_t>& SwapTable(Tables<T>& tables, int m)
{
    std::vector<uint32_t>& s = tables.swaps[static_cast<size_t>(m)];
    if (!s.empty() || m < 2) {
        return s;
    }
    if (m >= kBlockedLog2) {
        const int midBits = m - 2 * kTileLog2;
        s.resize(size_t{1} << midBits);
        for (uint32_t c = 0; c < s.size(); ++c) {
            s[c] = ReverseBits(c, midBits);
        }
        return s;
    }
    const uint32_t n = uint32_t{1} << m;
    for (uint32_t i = 0; i < n; ++i) {
        const uint32_t j = ReverseBits(i, m);
        if (i < j) {
            s.push_back(i);
            s.push_back(j);
        }
    }
    return s;
}

template <class T>
const uint32_t* BlockReverse(Tables<T>& tables, int m)
{
    std::vector<uint32_t>& r = tables.blocks[static_cast<size_t>(m)];
    if (r.empty()) {
        r.resize(size_t{1} << (m - 4));
        for (uint32_t j = 0; j < r.size(); ++j) {
            r[j] = ReverseBits(j, m - 4);
        }
    }
    return r.data();
}

// Room for n values in `buffer`, placed 1280 bytes (modulo 4 KB) after `caller`. The short
// transforms read the caller's array and write the scratch array in one pass and the other way
// round in another; when the two lie a multiple of 2 KB apart, the processor takes loads for
// reads of values just stored to the other array (their addresses look alike in the low bits)
// and makes them wait, which costs up to a sixth of the transform's time.
template <class T>
T* ScratchBeside(std::vector<T>& buffer, const T* caller, size_t n)
{
    constexpr uintptr_t kPage = 4096, kApart = 1280;
    if (buffer.size() < n + kPage / sizeof(T)) {
        buffer.resize(n + kPage / sizeof(T));
    }
    const uintptr_t base = reinterpret_cast<uintptr_t>(buffer.data());
    const uintptr_t shift = (reinterpret_cast<uintptr_t>(caller) + kApart - base) % kPage;
    return buffer.data() + shift / sizeof(T);
}

template <class T>
Tables<T>& ThreadTables()
{
    thread_local Tables<T> tables;
    return tables;
}

// The kernels at the baseline width, and at 256 bits for processors that have AVX2 (chosen at
// run time). The wide ones are compiled for that instruction set alone, without fused
// multiply-add, so that they round exactly as the narrow ones do.
namespace narrow {
constexpr size_t kVectorBytes = 16;
#include "dsp/fft_kernels.inc"
}  // namespace narrow

#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__)
#define VELK_FFT_WIDE 1
#pragma GCC push_options
#pragma GCC target("avx2,no-fma")
namespace wide {
constexpr size_t kVectorBytes = 32;
#include "dsp/fft_kernels.inc"
}  // namespace wide
#pragma GCC pop_options

bool HasWideVectors()
{
    static const bool avx2 = __builtin_cpu_supports("avx2");
    return avx2;
}
#endif


// Small lengths: exchange the listed pairs, real and imaginary parts in one pass.
template <class T>
void SwapPairs(T* __restrict re, T* __restrict im, const std::vector<uint32_t>& pairs)
{
    const size_t count = pairs.size();
    const uint32_t* p = pairs.data();
    for (size_t q = 0; q < count; q += 2) {
        const uint32_t i = p[q], j = p[q + 1];
        const T tr = re[i];
        re[i] = re[j];
        re[j] = tr;
        const T ti = im[i];
        im[i] = im[j];
        im[j] = ti;
    }
}

// Large lengths, cache-friendly: write an index i of m bits as (a, c, d) with a and d of
// kTileLog2 bits; its reverse is (rev d, rev c, rev a). For each middle part c the 8 x 8
// tile {(a, c, d)} (eight rows of eight neighbours, a cache line each for doubles) goes,
// transposed and with its rows and columns bit-reversed, onto the tile of rev c, and that
// tile's contents onto tile c. Every line is then loaded once instead of once per element.
template <class T>
void SwapTiles(T* __restrict x, int m, const std::vector<uint32_t>& midReverse)
{
    static constexpr uint8_t kRev[kTile] = {0, 4, 2, 6, 1, 5, 3, 7};
    static_assert(kTile == 8);
    const size_t rowStride = size_t{1} << (m - kTileLog2);
    const size_t tiles = midReverse.size();
    T a[kTile][kTile];
    T b[kTile][kTile];
    for (size_t c = 0; c < tiles; ++c) {
        const size_t c2 = midReverse[c];
        if (c2 < c) {
            continue;
        }
        T* tileC = x + c * kTile;
        T* tileC2 = x + c2 * kTile;
        for (size_t r = 0; r < kTile; ++r) {
            std::memcpy(a[r], tileC + r * rowStride, sizeof a[r]);
        }
        if (c2 != c) {
            for (size_t r = 0; r < kTile; ++r) {
                std::memcpy(b[r], tileC2 + r * rowStride, sizeof b[r]);
            }
        }
        for (size_t r = 0; r < kTile; ++r) {
            T* out = tileC2 + r * rowStride;
            for (size_t col = 0; col < kTile; ++col) {
                out[col] = a[kRev[col]][kRev[r]];
            }
        }
        if (c2 != c) {
            for (size_t r = 0; r < kTile; ++r) {
                T* out = tileC + r * rowStride;
                for (size_t col = 0; col < kTile; ++col) {
                    out[col] = b[kRev[col]][kRev[r]];
                }
            }
        }
    }
}

template <class T>
void BitReverse(T* re, T* im, int m, Tables<T>& tables)
{
    const std::vector<uint32_t>& table = SwapTable(tables, m);
    if (m >= kBlockedLog2) {
        SwapTiles(re, m, table);
        SwapTiles(im, m, table);
    } else {
        SwapPairs(re, im, table);
    }
}

template <class T>
void TransformImpl(T* re, T* im, int log2n, bool inverse, T scale)
{
    if (log2n < 1 || log2n > kMaxLog2) {
        return;
    }
    // The inverse transform is the forward one with the real and imaginary parts exchanged:
    // swap(F(swap(x))) = conj(F(conj(x))), the e^(+i...) sum.
    if (inverse) {
        std::swap(re, im);
    }
    Tables<T>& tables = ThreadTables<T>();
#ifdef VELK_FFT_WIDE
    if constexpr (sizeof(T) == sizeof(double)) {
        if (HasWideVectors()) {
            if (log2n >= 6 && log2n < kBlockedLog2) {
                const size_t n = size_t{1} << log2n;
                wide::RunShort(re, im, log2n, tables, scale, BlockReverse(tables, log2n),
                               ScratchBeside(tables.scratchRe, re, n), ScratchBeside(tables.scratchIm, im, n));
                return;
            }
            wide::RunBlock(re, im, log2n, tables, scale);
            BitReverse(re, im, log2n, tables);
            return;
        }
    }
#endif
    narrow::RunBlock(re, im, log2n, tables, scale);
    BitReverse(re, im, log2n, tables);
}

}  // namespace

void Transform(double* re, double* im, int log2n, bool inverse, double scale)
{
    TransformImpl(re, im, log2n, inverse, scale);
}

void Transform(float* re, float* im, int log2n, bool inverse, float scale)
{
    TransformImpl(re, im, log2n, inverse, scale);
}

int CheckedLog2(int n, int m)
{
    if (n < 2) {
        return -1;
    }
    if (m < 1) {
        m = 0;
        for (int h = n / 2; h > 0; h /= 2) {
            ++m;
        }
    }
    if (m > kMaxLog2 || n != (1 << m)) {
        return -1;
    }
    return m;
}

}  // namespace velk::fft_engine

namespace velk::fft_engine {
namespace {

// One stage of the mixed-radix transform: the length it splits (len = radix * rest), and the
// twiddles w^(u q), w = e^(-2 pi i / len), q < rest, u = 1 .. radix - 1, at q (radix - 1) + u - 1.
struct MixedStage {
    int radix = 0;
    size_t len = 0;
    size_t rest = 0;
    std::vector<double> twRe, twIm;
};

struct MixedPlan {
    int n = 0;
    std::vector<MixedStage> stages;
    std::vector<double> workRe, workIm;
};

void BuildMixed(MixedPlan& plan, int n)
{
    std::vector<int> radices;
    int left = n;
    while (left % 4 == 0) {
        radices.push_back(4);
        left /= 4;
    }
    for (int p : {2, 3, 5, 7}) {
        while (left % p == 0) {
            radices.push_back(p);
            left /= p;
        }
    }
    MixedPlan next;
    next.n = n;
    size_t len = static_cast<size_t>(n);
    for (int p : radices) {
        MixedStage st;
        st.radix = p;
        st.len = len;
        st.rest = len / static_cast<size_t>(p);
        const size_t per = static_cast<size_t>(p - 1);
        st.twRe.resize(st.rest * per);
        st.twIm.resize(st.rest * per);
        for (size_t q = 0; q < st.rest; ++q) {
            for (size_t u = 1; u <= per; ++u) {
                const double a = TwiddleAngle<double>(u * q, len);
                st.twRe[q * per + u - 1] = std::cos(a);
                st.twIm[q * per + u - 1] = std::sin(a);
            }
        }
        next.stages.push_back(std::move(st));
        len /= static_cast<size_t>(p);
    }
    next.workRe.resize(static_cast<size_t>(n));
    next.workIm.resize(static_cast<size_t>(n));
    plan = std::move(next);
}

MixedPlan& MixedPlanFor(int n)
{
    thread_local MixedPlan plan;
    if (plan.n != n) {
        BuildMixed(plan, n);
    }
    return plan;
}

// The stage of radix P on `s` interleaved sequences of len = P * rest points each: input
// a_r = x[t + s (q + r rest)], output y[t + s (P q + u)] = w^(u q) sum_r a_r e^(-2 pi i r u / P)
// (the self-sorting order: after the last stage the values stand in natural order).
template <int P>
void MixedPass(const MixedStage& st, size_t s, const double* __restrict xr, const double* __restrict xi,
               double* __restrict yr, double* __restrict yi)
{
    const size_t rest = st.rest;
    const size_t in = s * rest;  // distance between the inputs of one butterfly
    constexpr size_t kPer = P - 1;
    // cos and sin of 2 pi j / P, j < P.
    static const auto kRoot = [] {
        std::array<std::array<double, P>, 2> c{};
        for (int j = 0; j < P; ++j) {
            const double a = 2.0 * std::numbers::pi * j / P;
            c[0][static_cast<size_t>(j)] = std::cos(a);
            c[1][static_cast<size_t>(j)] = std::sin(a);
        }
        return c;
    }();
    for (size_t q = 0; q < rest; ++q) {
        double wr[P], wi[P];
        wr[0] = 1.0;
        wi[0] = 0.0;
        for (size_t u = 1; u < P; ++u) {
            wr[u] = st.twRe[q * kPer + u - 1];
            wi[u] = st.twIm[q * kPer + u - 1];
        }
        const double* ar0 = xr + s * q;
        const double* ai0 = xi + s * q;
        double* br0 = yr + s * P * q;
        double* bi0 = yi + s * P * q;
        for (size_t t = 0; t < s; ++t) {
            double ar[P], ai[P], br[P], bi[P];
            for (size_t r = 0; r < P; ++r) {
                ar[r] = ar0[t + r * in];
                ai[r] = ai0[t + r * in];
            }
            if constexpr (P == 2) {
                br[0] = ar[0] + ar[1];
                bi[0] = ai[0] + ai[1];
                br[1] = ar[0] - ar[1];
                bi[1] = ai[0] - ai[1];
            } else if constexpr (P == 4) {
                const double s0r = ar[0] + ar[2], s0i = ai[0] + ai[2];
                const double d0r = ar[0] - ar[2], d0i = ai[0] - ai[2];
                const double s1r = ar[1] + ar[3], s1i = ai[1] + ai[3];
                const double d1r = ar[1] - ar[3], d1i = ai[1] - ai[3];
                br[0] = s0r + s1r;
                bi[0] = s0i + s1i;
                br[2] = s0r - s1r;
                bi[2] = s0i - s1i;
                // b1 = d0 - i d1, b3 = d0 + i d1
                br[1] = d0r + d1i;
                bi[1] = d0i - d1r;
                br[3] = d0r - d1i;
                bi[3] = d0i + d1r;
            } else {
                // Odd radix: the pairs a_r + a_(P-r) and a_r - a_(P-r) give b_u and b_(P-u).
                constexpr size_t H = (P - 1) / 2;
                double pr[H + 1], pi[H + 1], mr[H + 1], mi[H + 1];
                br[0] = ar[0];
                bi[0] = ai[0];
                for (size_t r = 1; r <= H; ++r) {
                    pr[r] = ar[r] + ar[P - r];
                    pi[r] = ai[r] + ai[P - r];
                    mr[r] = ar[r] - ar[P - r];
                    mi[r] = ai[r] - ai[P - r];
                    br[0] += pr[r];
                    bi[0] += pi[r];
                }
                for (size_t u = 1; u <= H; ++u) {
                    double cr = ar[0], ci = ai[0], sr = 0.0, si = 0.0;
                    for (size_t r = 1; r <= H; ++r) {
                        const size_t j = (r * u) % P;
                        cr += kRoot[0][j] * pr[r];
                        ci += kRoot[0][j] * pi[r];
                        sr += kRoot[1][j] * mr[r];
                        si += kRoot[1][j] * mi[r];
                    }
                    // e^(-i a) (a_r) + e^(+i a) (a_(P-r)): the sine part is -i sin(a) (a_r - a_(P-r)).
                    br[u] = cr + si;
                    bi[u] = ci - sr;
                    br[P - u] = cr - si;
                    bi[P - u] = ci + sr;
                }
            }
            br0[t] = br[0];
            bi0[t] = bi[0];
            for (size_t u = 1; u < P; ++u) {
                br0[t + s * u] = br[u] * wr[u] - bi[u] * wi[u];
                bi0[t + s * u] = br[u] * wi[u] + bi[u] * wr[u];
            }
        }
    }
}

}  // namespace

bool HasSmallFactors(int n)
{
    if (n < 1) {
        return false;
    }
    for (int p : {2, 3, 5, 7}) {
        while (n % p == 0) {
            n /= p;
        }
    }
    return n == 1;
}

void TransformSmallFactors(double* re, double* im, int n, bool inverse, double scale)
{
    if (!HasSmallFactors(n)) {
        return;
    }
    MixedPlan& plan = MixedPlanFor(n);
    if (inverse) {
        std::swap(re, im);
    }
    const size_t un = static_cast<size_t>(n);
    double* xr = re;
    double* xi = im;
    double* yr = plan.workRe.data();
    double* yi = plan.workIm.data();
    size_t s = 1;
    for (const MixedStage& st : plan.stages) {
        switch (st.radix) {
        case 2: MixedPass<2>(st, s, xr, xi, yr, yi); break;
        case 3: MixedPass<3>(st, s, xr, xi, yr, yi); break;
        case 4: MixedPass<4>(st, s, xr, xi, yr, yi); break;
        case 5: MixedPass<5>(st, s, xr, xi, yr, yi); break;
        default: MixedPass<7>(st, s, xr, xi, yr, yi); break;
        }
        std::swap(xr, yr);
        std::swap(xi, yi);
        s *= static_cast<size_t>(st.radix);
    }
    if (xr == re) {
        if (scale != 1.0) {
            for (size_t k = 0; k < un; ++k) {
                re[k] *= scale;
                im[k] *= scale;
            }
        }
    } else {
        for (size_t k = 0; k < un; ++k) {
            re[k] = xr[k] * scale;
            im[k] = xi[k] * scale;
        }
    }
}

}  // namespace velk::fft_engine
