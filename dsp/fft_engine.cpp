#include "dsp/fft_engine.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <numbers>
#include <utility>
#include <vector>

namespace velk::fft_engine {
namespace {

// Portable SIMD through the compiler's generic vector extension (GCC and Clang): two doubles
// or four floats per 16-byte vector, which is SSE2 on x86-64 (the baseline, no -march needed)
// and NEON on AArch64; other targets get scalar code from the same source.
template <class T>
struct Simd;
template <>
struct Simd<double> {
    typedef double V __attribute__((vector_size(16)));
    static constexpr size_t kLanes = 2;
};
template <>
struct Simd<float> {
    typedef float V __attribute__((vector_size(16)));
    static constexpr size_t kLanes = 4;
};

template <class V, class T>
inline V Load(const T* p)
{
    V v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <class V, class T>
inline void Store(T* p, V v)
{
    std::memcpy(p, &v, sizeof v);
}

// Blocks of 2^kLeafLog2 points run all their remaining stages before the next block starts.
// 2048 doubles of real and imaginary parts are 32 KB, the first-level cache of common cores.
constexpr int kLeafLog2 = 11;

// The per-thread tables of one precision.
template <class T>
struct Tables {
    // stage[l]: the twiddles of the radix-4 stage of length L = 2^l (l >= 3), six runs of
    // Q = L/4 values: w^k real, w^k imaginary, w^2k real, w^2k imaginary, w^3k real, w^3k
    // imaginary, k = 0 .. Q-1, w = e^(-2 pi i / L).
    std::array<std::vector<T>, kMaxLog2 + 1> stage;
    // half[l]: the twiddles of the radix-2 stage of length L = 2^l that odd powers of two
    // start with: w^k real, then w^k imaginary, k = 0 .. L/2 - 1.
    std::array<std::vector<T>, kMaxLog2 + 1> half;
    // swaps[m], small lengths: the pairs (i, j), i < j, that the bit reversal of 2^m points
    // exchanges. Larger lengths: the bit reversals of the middle index bits (see BitReverse).
    std::array<std::vector<uint32_t>, kMaxLog2 + 1> swaps;
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
        t.resize(6 * Q);
        for (size_t k = 0; k < Q; ++k) {
            for (size_t p = 1; p <= 3; ++p) {
                const double a = TwiddleAngle<T>(p * k, L);
                t[(2 * p - 2) * Q + k] = static_cast<T>(std::cos(a));
                t[(2 * p - 1) * Q + k] = static_cast<T>(std::sin(a));
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
Tables<T>& ThreadTables()
{
    thread_local Tables<T> tables;
    return tables;
}

// One radix-4 decimation-in-frequency stage on a block of 4Q points: two radix-2 stages in
// one pass. Outputs go where the two radix-2 stages put them: bins 0 mod 4 in the first
// quarter, 2 mod 4 in the second, 1 mod 4 in the third, 3 mod 4 in the last.
template <class T>
void Radix4Stage(T* __restrict re, T* __restrict im, size_t Q, const T* __restrict tw)
{
    using S = Simd<T>;
    using V = typename S::V;
    T* r0 = re;
    T* r1 = re + Q;
    T* r2 = re + 2 * Q;
    T* r3 = re + 3 * Q;
    T* i0 = im;
    T* i1 = im + Q;
    T* i2 = im + 2 * Q;
    T* i3 = im + 3 * Q;
    const T* w1r = tw;
    const T* w1i = tw + Q;
    const T* w2r = tw + 2 * Q;
    const T* w2i = tw + 3 * Q;
    const T* w3r = tw + 4 * Q;
    const T* w3i = tw + 5 * Q;
    size_t k = 0;
    if (Q >= S::kLanes) {  // Q is a power of two, so the vector loop covers it all
        for (; k < Q; k += S::kLanes) {
            const V a0r = Load<V>(r0 + k), a0i = Load<V>(i0 + k);
            const V a1r = Load<V>(r1 + k), a1i = Load<V>(i1 + k);
            const V a2r = Load<V>(r2 + k), a2i = Load<V>(i2 + k);
            const V a3r = Load<V>(r3 + k), a3i = Load<V>(i3 + k);
            const V t0r = a0r + a2r, t0i = a0i + a2i;
            const V t1r = a0r - a2r, t1i = a0i - a2i;
            const V t2r = a1r + a3r, t2i = a1i + a3i;
            // t3 = -i (a1 - a3)
            const V t3r = a1i - a3i, t3i = a3r - a1r;
            Store(r0 + k, t0r + t2r);
            Store(i0 + k, t0i + t2i);
            const V y2r = t0r - t2r, y2i = t0i - t2i;
            const V y1r = t1r + t3r, y1i = t1i + t3i;
            const V y3r = t1r - t3r, y3i = t1i - t3i;
            const V c1 = Load<V>(w1r + k), s1 = Load<V>(w1i + k);
            const V c2 = Load<V>(w2r + k), s2 = Load<V>(w2i + k);
            const V c3 = Load<V>(w3r + k), s3 = Load<V>(w3i + k);
            Store(r1 + k, y2r * c2 - y2i * s2);
            Store(i1 + k, y2r * s2 + y2i * c2);
            Store(r2 + k, y1r * c1 - y1i * s1);
            Store(i2 + k, y1r * s1 + y1i * c1);
            Store(r3 + k, y3r * c3 - y3i * s3);
            Store(i3 + k, y3r * s3 + y3i * c3);
        }
        return;
    }
    for (; k < Q; ++k) {
        const T a0r = r0[k], a0i = i0[k], a1r = r1[k], a1i = i1[k];
        const T a2r = r2[k], a2i = i2[k], a3r = r3[k], a3i = i3[k];
        const T t0r = a0r + a2r, t0i = a0i + a2i;
        const T t1r = a0r - a2r, t1i = a0i - a2i;
        const T t2r = a1r + a3r, t2i = a1i + a3i;
        const T t3r = a1i - a3i, t3i = a3r - a1r;
        r0[k] = t0r + t2r;
        i0[k] = t0i + t2i;
        const T y2r = t0r - t2r, y2i = t0i - t2i;
        const T y1r = t1r + t3r, y1i = t1i + t3i;
        const T y3r = t1r - t3r, y3i = t1i - t3i;
        r1[k] = y2r * w2r[k] - y2i * w2i[k];
        i1[k] = y2r * w2i[k] + y2i * w2r[k];
        r2[k] = y1r * w1r[k] - y1i * w1i[k];
        i2[k] = y1r * w1i[k] + y1i * w1r[k];
        r3[k] = y3r * w3r[k] - y3i * w3i[k];
        i3[k] = y3r * w3i[k] + y3i * w3r[k];
    }
}

// One radix-2 decimation-in-frequency stage on a block of 2H points (H >= the lane count).
template <class T>
void Radix2Stage(T* __restrict re, T* __restrict im, size_t H, const T* __restrict tw)
{
    using S = Simd<T>;
    using V = typename S::V;
    T* r0 = re;
    T* r1 = re + H;
    T* i0 = im;
    T* i1 = im + H;
    const T* wr = tw;
    const T* wi = tw + H;
    for (size_t k = 0; k < H; k += S::kLanes) {
        const V ar = Load<V>(r0 + k), ai = Load<V>(i0 + k);
        const V dr = Load<V>(r1 + k), di = Load<V>(i1 + k);
        Store(r0 + k, ar + dr);
        Store(i0 + k, ai + di);
        const V xr = ar - dr, xi = ai - di;
        const V c = Load<V>(wr + k), sn = Load<V>(wi + k);
        Store(r1 + k, xr * c - xi * sn);
        Store(i1 + k, xr * sn + xi * c);
    }
}

// The last stages, without twiddles, run over W blocks at a time: the blocks are transposed
// so that each vector lane holds one block, and transposed back after the butterflies.
// ToLanes: four vectors of consecutive elements (W blocks of 4) -> vector p holds element p of
// every block. FromLanes: the inverse.
inline void ToLanes(Simd<double>::V& v0, Simd<double>::V& v1, Simd<double>::V& v2,
                    Simd<double>::V& v3)
{
    // (x0 x1)(x2 x3)(x4 x5)(x6 x7) -> (x0 x4)(x1 x5)(x2 x6)(x3 x7)
    const Simd<double>::V a0 = __builtin_shufflevector(v0, v2, 0, 2);
    const Simd<double>::V a1 = __builtin_shufflevector(v0, v2, 1, 3);
    const Simd<double>::V a2 = __builtin_shufflevector(v1, v3, 0, 2);
    const Simd<double>::V a3 = __builtin_shufflevector(v1, v3, 1, 3);
    v0 = a0;
    v1 = a1;
    v2 = a2;
    v3 = a3;
}

inline void FromLanes(Simd<double>::V& v0, Simd<double>::V& v1, Simd<double>::V& v2,
                      Simd<double>::V& v3)
{
    // (x0 x4)(x1 x5)(x2 x6)(x3 x7) -> (x0 x1)(x2 x3)(x4 x5)(x6 x7)
    const Simd<double>::V a0 = __builtin_shufflevector(v0, v1, 0, 2);
    const Simd<double>::V a1 = __builtin_shufflevector(v2, v3, 0, 2);
    const Simd<double>::V a2 = __builtin_shufflevector(v0, v1, 1, 3);
    const Simd<double>::V a3 = __builtin_shufflevector(v2, v3, 1, 3);
    v0 = a0;
    v1 = a1;
    v2 = a2;
    v3 = a3;
}

inline void ToLanes(Simd<float>::V& v0, Simd<float>::V& v1, Simd<float>::V& v2,
                    Simd<float>::V& v3)
{
    // A 4 x 4 transpose.
    const Simd<float>::V t0 = __builtin_shufflevector(v0, v1, 0, 4, 1, 5);
    const Simd<float>::V t1 = __builtin_shufflevector(v0, v1, 2, 6, 3, 7);
    const Simd<float>::V t2 = __builtin_shufflevector(v2, v3, 0, 4, 1, 5);
    const Simd<float>::V t3 = __builtin_shufflevector(v2, v3, 2, 6, 3, 7);
    v0 = __builtin_shufflevector(t0, t2, 0, 1, 4, 5);
    v1 = __builtin_shufflevector(t0, t2, 2, 3, 6, 7);
    v2 = __builtin_shufflevector(t1, t3, 0, 1, 4, 5);
    v3 = __builtin_shufflevector(t1, t3, 2, 3, 6, 7);
}

inline void FromLanes(Simd<float>::V& v0, Simd<float>::V& v1, Simd<float>::V& v2,
                      Simd<float>::V& v3)
{
    ToLanes(v0, v1, v2, v3);  // a square transpose is its own inverse
}

// Two vectors of pairs (x0 x1)(x2 x3)... -> evens and odds, and the inverse.
inline void Deinterleave(Simd<double>::V& v0, Simd<double>::V& v1)
{
    const Simd<double>::V e = __builtin_shufflevector(v0, v1, 0, 2);
    const Simd<double>::V o = __builtin_shufflevector(v0, v1, 1, 3);
    v0 = e;
    v1 = o;
}
inline void Interleave(Simd<double>::V& v0, Simd<double>::V& v1)
{
    Deinterleave(v0, v1);  // a 2 x 2 transpose is its own inverse
}
inline void Deinterleave(Simd<float>::V& v0, Simd<float>::V& v1)
{
    const Simd<float>::V e = __builtin_shufflevector(v0, v1, 0, 2, 4, 6);
    const Simd<float>::V o = __builtin_shufflevector(v0, v1, 1, 3, 5, 7);
    v0 = e;
    v1 = o;
}
inline void Interleave(Simd<float>::V& v0, Simd<float>::V& v1)
{
    const Simd<float>::V a = __builtin_shufflevector(v0, v1, 0, 4, 1, 5);
    const Simd<float>::V b = __builtin_shufflevector(v0, v1, 2, 6, 3, 7);
    v0 = a;
    v1 = b;
}

// The last stage when it is radix-4 (length 4, no twiddles), over n points, with the scale.
template <class T>
void LastRadix4(T* __restrict re, T* __restrict im, size_t n, T scale)
{
    using S = Simd<T>;
    using V = typename S::V;
    constexpr size_t W = S::kLanes;
    size_t b = 0;
    if (n >= 4 * W) {
        const V sc = V{} + scale;
        for (; b < n; b += 4 * W) {
            V a0r = Load<V>(re + b), a1r = Load<V>(re + b + W);
            V a2r = Load<V>(re + b + 2 * W), a3r = Load<V>(re + b + 3 * W);
            V a0i = Load<V>(im + b), a1i = Load<V>(im + b + W);
            V a2i = Load<V>(im + b + 2 * W), a3i = Load<V>(im + b + 3 * W);
            ToLanes(a0r, a1r, a2r, a3r);
            ToLanes(a0i, a1i, a2i, a3i);
            const V t0r = a0r + a2r, t0i = a0i + a2i;
            const V t1r = a0r - a2r, t1i = a0i - a2i;
            const V t2r = a1r + a3r, t2i = a1i + a3i;
            const V t3r = a1i - a3i, t3i = a3r - a1r;
            V y0r = (t0r + t2r) * sc, y0i = (t0i + t2i) * sc;
            V y2r = (t0r - t2r) * sc, y2i = (t0i - t2i) * sc;
            V y1r = (t1r + t3r) * sc, y1i = (t1i + t3i) * sc;
            V y3r = (t1r - t3r) * sc, y3i = (t1i - t3i) * sc;
            FromLanes(y0r, y2r, y1r, y3r);
            FromLanes(y0i, y2i, y1i, y3i);
            Store(re + b, y0r);
            Store(re + b + W, y2r);
            Store(re + b + 2 * W, y1r);
            Store(re + b + 3 * W, y3r);
            Store(im + b, y0i);
            Store(im + b + W, y2i);
            Store(im + b + 2 * W, y1i);
            Store(im + b + 3 * W, y3i);
        }
        return;
    }
    for (; b < n; b += 4) {
        const T a0r = re[b], a0i = im[b], a1r = re[b + 1], a1i = im[b + 1];
        const T a2r = re[b + 2], a2i = im[b + 2], a3r = re[b + 3], a3i = im[b + 3];
        const T t0r = a0r + a2r, t0i = a0i + a2i;
        const T t1r = a0r - a2r, t1i = a0i - a2i;
        const T t2r = a1r + a3r, t2i = a1i + a3i;
        const T t3r = a1i - a3i, t3i = a3r - a1r;
        re[b] = (t0r + t2r) * scale;
        im[b] = (t0i + t2i) * scale;
        re[b + 1] = (t0r - t2r) * scale;
        im[b + 1] = (t0i - t2i) * scale;
        re[b + 2] = (t1r + t3r) * scale;
        im[b + 2] = (t1i + t3i) * scale;
        re[b + 3] = (t1r - t3r) * scale;
        im[b + 3] = (t1i - t3i) * scale;
    }
}

// The last stage when it is radix-2 (length 2, no twiddles), over n points, with the scale.
template <class T>
void LastRadix2(T* __restrict re, T* __restrict im, size_t n, T scale)
{
    using S = Simd<T>;
    using V = typename S::V;
    constexpr size_t W = S::kLanes;
    size_t b = 0;
    if (n >= 2 * W) {
        const V sc = V{} + scale;
        for (; b < n; b += 2 * W) {
            V ar = Load<V>(re + b), dr = Load<V>(re + b + W);
            V ai = Load<V>(im + b), di = Load<V>(im + b + W);
            Deinterleave(ar, dr);
            Deinterleave(ai, di);
            V sr = (ar + dr) * sc, si = (ai + di) * sc;
            V xr = (ar - dr) * sc, xi = (ai - di) * sc;
            Interleave(sr, xr);
            Interleave(si, xi);
            Store(re + b, sr);
            Store(re + b + W, xr);
            Store(im + b, si);
            Store(im + b + W, xi);
        }
        return;
    }
    for (; b < n; b += 2) {
        const T ar = re[b], ai = im[b], dr = re[b + 1], di = im[b + 1];
        re[b] = (ar + dr) * scale;
        im[b] = (ai + di) * scale;
        re[b + 1] = (ar - dr) * scale;
        im[b + 1] = (ai - di) * scale;
    }
}

// All stages of one block of 2^l points: an odd power of two starts with one radix-2 stage
// (while the blocks are long, so that it vectorises), the rest are radix-4 stages, run depth
// first above the leaf size.
template <class T>
void RunBlock(T* re, T* im, int l, Tables<T>& tables, T scale)
{
    if (l % 2 == 1 && (size_t{1} << (l - 1)) >= Simd<T>::kLanes) {
        const size_t H = size_t{1} << (l - 1);
        Radix2Stage(re, im, H, HalfTwiddles(tables, l));
        RunBlock(re, im, l - 1, tables, scale);
        RunBlock(re + H, im + H, l - 1, tables, scale);
        return;
    }
    if (l > kLeafLog2) {
        const size_t Q = size_t{1} << (l - 2);
        Radix4Stage(re, im, Q, StageTwiddles(tables, l));
        for (size_t s = 0; s < 4; ++s) {
            RunBlock(re + s * Q, im + s * Q, l - 2, tables, scale);
        }
        return;
    }
    const size_t n = size_t{1} << l;
    int stage = l;
    for (; stage >= 3; stage -= 2) {
        const size_t L = size_t{1} << stage;
        const T* tw = StageTwiddles(tables, stage);
        for (size_t b = 0; b < n; b += L) {
            Radix4Stage(re + b, im + b, L / 4, tw);
        }
    }
    if (stage == 2) {
        LastRadix4(re, im, n, scale);
    } else if (stage == 1) {
        LastRadix2(re, im, n, scale);
    } else if (scale != T(1)) {  // a one-point block (never reached from Transform)
        re[0] *= scale;
        im[0] *= scale;
    }
}

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
    RunBlock(re, im, log2n, tables, scale);
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
