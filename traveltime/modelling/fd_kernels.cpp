#include "traveltime/modelling/fd_kernels.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

#include "draw/parallel.h"
#include "dsp/band_pass.h"

namespace velk {

namespace {

constexpr int kMaxChunks = 64;
constexpr int kLongestTransform = 2048;

// fn(chunk, first, last) over [begin, end) split into at most `chunks` parts, on the pool when
// there is one.
template <class Fn>
void ForChunks(WorkerPool* pool, int begin, int end, int chunks, const Fn& fn)
{
    const int n = end - begin;
    if (n <= 0) return;
    if (!pool) {
        fn(0, begin, end);
        return;
    }
    chunks = std::clamp(chunks, 1, n);
    pool->Run(chunks, [&](int c) {
        const int a = begin + static_cast<int>(static_cast<long long>(n) * c / chunks);
        const int b = begin + static_cast<int>(static_cast<long long>(n) * (c + 1) / chunks);
        fn(c, a, b);
    });
}

inline size_t At(int nx, int i, int k) { return static_cast<size_t>(k) * static_cast<size_t>(nx) + static_cast<size_t>(i); }

// One interior row of the second-order stencil.
inline void Order2Row(double* nw, const double* cur, const double* old, const float* v, int nx, int k, double c)
{
    const size_t row = static_cast<size_t>(k) * static_cast<size_t>(nx);
    const double* up = cur + row - nx;
    const double* mid = cur + row;
    const double* down = cur + row + nx;
    for (int i = 1; i < nx - 1; ++i) {
        const double r = v[row + i] * c;
        const double r2 = r * r;
        nw[row + i] = 2.0 * (1.0 - 2.0 * r2) * mid[i] + r2 * (mid[i - 1] + mid[i + 1] + up[i] + down[i]) - old[row + i];
    }
}

void Order2Rows(double* nw, const double* cur, const double* old, const float* v, int nx, int first, int last, double c)
{
    for (int k = first; k < last; ++k) Order2Row(nw, cur, old, v, nx, k, c);
}

#if defined(__x86_64__) && defined(__GNUC__)
typedef double V4 __attribute__((vector_size(32)));

// How far ahead the streamed rows prefetch (cells).
constexpr size_t kPrefetchCells = 256;

// Four new cells from cell q on.
__attribute__((target("avx2"), always_inline)) inline V4 Order2Four(const double* cur, const double* old, const float* v,
                                                                     int nx, size_t q, double c)
{
    const V4 r = V4{v[q], v[q + 1], v[q + 2], v[q + 3]} * c;
    const V4 r2 = r * r;
    V4 m, w, e, n, s, o;
    std::memcpy(&m, cur + q, sizeof m);
    std::memcpy(&w, cur + q - 1, sizeof w);
    std::memcpy(&e, cur + q + 1, sizeof e);
    std::memcpy(&n, cur + q - nx, sizeof n);
    std::memcpy(&s, cur + q + nx, sizeof s);
    std::memcpy(&o, old + q, sizeof o);
    return 2.0 * (1.0 - 2.0 * r2) * m + r2 * (w + e + n + s) - o;
}

// The same row in 256-bit vectors on processors that have them: the same operations in the same
// order (no fused multiply-add), so the same values. With `stream` the whole cache lines inside
// the row are written with streaming stores, which skip reading the new level's old contents
// into the cache first (a quarter of the memory traffic of a step); the lines at both ends are
// written normally, since the absorbing condition reads their cells again right after the row.
// A row of streaming stores wants an _mm_sfence before other threads read it.
__attribute__((target("avx2"))) void Order2RowWide(double* nw, const double* cur, const double* old, const float* v, int nx,
                                                   int k, double c, bool stream)
{
    const size_t row = static_cast<size_t>(k) * static_cast<size_t>(nx);
    const size_t end = row + static_cast<size_t>(nx) - 1;
    auto cell = [&](size_t q) {
        const double r = v[q] * c;
        const double r2 = r * r;
        nw[q] = 2.0 * (1.0 - 2.0 * r2) * cur[q] + r2 * (cur[q - 1] + cur[q + 1] + cur[q - nx] + cur[q + nx]) - old[q];
    };
    size_t q = row + 1;
    if (stream) {
        // Whole 64-byte lines from past the second interior cell to before the second-last.
        constexpr size_t kLine = 64 / sizeof(double);
        const auto lineOffset = [&](size_t at) { return (reinterpret_cast<uintptr_t>(nw + at) & 63u) / sizeof(double); };
        const size_t first = row + 3 + (kLine - lineOffset(row + 3)) % kLine;
        const size_t last = end - 2 >= first ? end - 2 - lineOffset(end - 2) : first;
        if (first < last && (reinterpret_cast<uintptr_t>(nw) & 7u) == 0) {
            for (; q < first; ++q) cell(q);
            // The levels read from memory are fetched 2 KB ahead into the second-level cache, a
            // line of each every eight cells (of the velocities every sixteen): more lines in
            // flight than the hardware prefetcher keeps, which limits one core and helps all
            // eight. Never past the grid: streamed rows are at least three rows from the last.
            const size_t ahead = std::min<size_t>(kPrefetchCells, static_cast<size_t>(nx));
            for (; q < last; q += 4) {
                if (((q - first) & 7u) == 0) {
                    _mm_prefetch(reinterpret_cast<const char*>(cur + q + nx + ahead), _MM_HINT_T1);
                    _mm_prefetch(reinterpret_cast<const char*>(old + q + ahead), _MM_HINT_T1);
                    if (((q - first) & 15u) == 0) _mm_prefetch(reinterpret_cast<const char*>(v + q + ahead), _MM_HINT_T1);
                }
                _mm256_stream_pd(nw + q, reinterpret_cast<__m256d>(Order2Four(cur, old, v, nx, q, c)));
            }
        }
    }
    while (q < end && (reinterpret_cast<uintptr_t>(nw + q) & 31u) != 0) cell(q++);
    for (; q + 4 <= end; q += 4) {
        const V4 value = Order2Four(cur, old, v, nx, q, c);
        std::memcpy(nw + q, &value, sizeof value);
    }
    for (; q < end; ++q) cell(q);
}

bool HasWideVectors()
{
    static const bool avx2 = __builtin_cpu_supports("avx2");
    return avx2;
}
#endif

// The absorbing condition's new value at edge point e0, with e1 and e2 the points one and two
// lines inward and fr = v dt / (2 h) at e0.
inline double AbsorbingValue(const double* nw, const double* cur, const double* old, size_t e0, size_t e1, size_t e2, double fr)
{
    constexpr double C = kAbsorbingC;
    const double gg = -C - fr, l = fr - C, t = C - fr, u = fr + C;
    return -((gg * cur[e2] + l * cur[e1] + t * nw[e2] + u * nw[e1]) * (0.5 - fr) +
             (t * cur[e2] + u * cur[e1] + gg * old[e2] + l * old[e1]) * (-0.5 - fr) +
             (l * old[e0] + t * cur[e1] + gg * old[e1] + u * cur[e0]) * (fr - 0.5) +
             (gg * cur[e1] + l * cur[e0] + t * nw[e1]) * (fr + 0.5)) /
           (u * (fr + 0.5));
}

inline bool WrongOnBoundary(double value) { return value * value > 2.0; }

void ReportWrong(int edge, int j)
{
    std::printf(edge == 1 || edge == 3 ? "wrong on boundary %d, m=%d\n" : "wrong on boundary %d, n=%d\n", edge, j);
}

void AllEdges(FdLevels& f, const FdGrid& g, FdStep s)
{
    for (int edge = 1; edge <= 4; ++edge) ApplyAbsorbingBoundary(f, g, s, edge);
}

// The smallest grid on which StepWithEdges gives what the rows followed by AllEdges give.
constexpr int kFusedEdgesFrom = 5;

// One step of a stencil that writes the interior cells of a row from the current and old levels
// alone (`row(k)`), followed by the absorbing condition on edges 1 to 4, with the values and the
// messages of the rows and then AllEdges. The interior of row k is all that edges 2 and 4 read on
// that row, and rows 1 and 2 (nz-3 and nz-2) are all that edge 1 (3) reads away from the
// corners; so each row gets its first and last cell right after its interior, and the part of
// rows that holds rows 1 and 2 (nz-3 and nz-2) then does edge 1 (3), while those rows are still
// in the cache. Otherwise the edges would be a second pass over memory on one thread. What stays
// serial, in the order of the edges: the corners and the messages. Edges 1 and 3 read cells of
// the first and last column before edges 2 and 4 rewrite them, and edge 2 reads cells of the
// last row before edge 3 rewrites them (the values the new level holds from its previous use):
// those four corner values are taken before the rows. `done()` runs after each part of rows on
// its thread.
template <class Row, class Done>
void StepWithEdges(FdLevels& p, const FdGrid& g, FdStep s, const Row& row, const Done& done)
{
    const int nx = g.nx, nz = g.nz;
    double* nw = p[s.newLevel].data();
    const double* cur = p[s.current].data();
    const double* old = p[s.old].data();
    const float* v = g.velocity.data();
    const double ratio = static_cast<double>(g.dt) / g.h;
    auto at = [nx](int i, int k) { return At(nx, i, k); };
    auto fr = [&](size_t e0) { return v[e0] * ratio * 0.5; };
    auto value = [&](size_t e0, ptrdiff_t inward) {
        const size_t e1 = static_cast<size_t>(static_cast<ptrdiff_t>(e0) + inward);
        const size_t e2 = static_cast<size_t>(static_cast<ptrdiff_t>(e1) + inward);
        return AbsorbingValue(nw, cur, old, e0, e1, e2, fr(e0));
    };
    const ptrdiff_t down = nx;
    const double firstOfEdge1 = value(at(0, 0), down);
    const double lastOfEdge1 = value(at(nx - 1, 0), down);
    const double lastOfEdge2 = value(at(0, nz - 1), 1);
    const double lastOfEdge3 = value(at(nx - 1, nz - 1), -down);
    // Edge 1 or 3 away from the corners; true when a value's square exceeds 2.
    auto edgeRow = [&](int k, ptrdiff_t inward) {
        bool wrong = false;
        for (int j = 1; j < nx - 1; ++j) {
            const double x = value(at(j, k), inward);
            nw[at(j, k)] = x;
            wrong = wrong || WrongOnBoundary(x);
        }
        return wrong;
    };
    std::atomic<bool> sidesWrong{false}, edge1Wrong{false}, edge3Wrong{false}, edge1Done{false}, edge3Done{false};
    const int rows = nz - 2;
    const int parts = g.pool ? std::min(kMaxChunks, rows) : 1;
    auto part = [&](int c) {
        // The part with the last rows runs second, right after the first: both carry an edge.
        const int index = c == 0 ? 0 : c == 1 ? parts - 1 : c - 1;
        const int a = 1 + static_cast<int>(static_cast<long long>(rows) * index / parts);
        const int b = 1 + static_cast<int>(static_cast<long long>(rows) * (index + 1) / parts);
        bool any = false;
        for (int k = a; k < b; ++k) {
            row(k);
            const size_t e0 = at(0, k), e4 = at(nx - 1, k);
            const double left = value(e0, 1);
            nw[e0] = left;
            const double right = value(e4, -1);
            nw[e4] = right;
            any = any || WrongOnBoundary(left) || WrongOnBoundary(right);
            if (k == 2 && a <= 1) {
                if (edgeRow(0, down)) edge1Wrong.store(true, std::memory_order_relaxed);
                edge1Done.store(true, std::memory_order_relaxed);
            }
            if (k == nz - 2 && a <= nz - 3) {
                if (edgeRow(nz - 1, -down)) edge3Wrong.store(true, std::memory_order_relaxed);
                edge3Done.store(true, std::memory_order_relaxed);
            }
        }
        done();
        if (any) sidesWrong.store(true, std::memory_order_relaxed);
    };
    if (g.pool) {
        g.pool->Run(parts, part);
    } else {
        part(0);
    }
    auto put = [&](int edge, int j, size_t e0, double x) {
        nw[e0] = x;
        if (WrongOnBoundary(x)) ReportWrong(edge, j);
    };
    // The messages of values the parts wrote, in the order of the cells.
    auto recheck = [&](int edge, bool wrong, int count, auto cell) {
        if (!wrong) return;
        for (int j = 1; j < count - 1; ++j)
            if (WrongOnBoundary(nw[cell(j)])) ReportWrong(edge, j);
    };
    put(1, 0, at(0, 0), firstOfEdge1);
    if (edge1Done.load(std::memory_order_relaxed)) {
        recheck(1, edge1Wrong.load(std::memory_order_relaxed), nx, [&](int j) { return at(j, 0); });
    } else {
        for (int j = 1; j < nx - 1; ++j) put(1, j, at(j, 0), value(at(j, 0), down));
    }
    put(1, nx - 1, at(nx - 1, 0), lastOfEdge1);
    put(2, 0, at(0, 0), value(at(0, 0), 1));
    recheck(2, sidesWrong.load(std::memory_order_relaxed), nz, [&](int j) { return at(0, j); });
    put(2, nz - 1, at(0, nz - 1), lastOfEdge2);
    put(3, 0, at(0, nz - 1), value(at(0, nz - 1), -down));
    if (edge3Done.load(std::memory_order_relaxed)) {
        recheck(3, edge3Wrong.load(std::memory_order_relaxed), nx, [&](int j) { return at(j, nz - 1); });
    } else {
        for (int j = 1; j < nx - 1; ++j) put(3, j, at(j, nz - 1), value(at(j, nz - 1), -down));
    }
    put(3, nx - 1, at(nx - 1, nz - 1), lastOfEdge3);
    put(4, 0, at(nx - 1, 0), value(at(nx - 1, 0), -1));
    recheck(4, sidesWrong.load(std::memory_order_relaxed), nz, [&](int j) { return at(nx - 1, j); });
    put(4, nz - 1, at(nx - 1, nz - 1), value(at(nx - 1, nz - 1), -1));
}

}  // namespace

void FdStepOrder2(FdLevels& p, const FdGrid& g, FdStep s)
{
    double* nw = p[s.newLevel].data();
    const double* cur = p[s.current].data();
    const double* old = p[s.old].data();
    const float* v = g.velocity.data();
    const double c = static_cast<double>(g.dt) / g.h;
    const int nx = g.nx, nz = g.nz;
    if (nx < kFusedEdgesFrom || nz < kFusedEdgesFrom) {
        ForChunks(g.pool, 1, nz - 1, kMaxChunks, [&](int, int a, int b) { Order2Rows(nw, cur, old, v, nx, a, b, c); });
        AllEdges(p, g, s);
        return;
    }
#if defined(__x86_64__) && defined(__GNUC__)
    if (HasWideVectors()) {
        // Levels (three of doubles, the velocities in floats) beyond this size do not stay in
        // the caches from one step to the next: there the new level is streamed.
        constexpr size_t kStreamingBytes = size_t{24} << 20;
        const size_t cells = static_cast<size_t>(nx) * static_cast<size_t>(nz);
        const bool stream = cells * (3 * sizeof(double) + sizeof(float)) > kStreamingBytes;
        StepWithEdges(
            // The rows that edges 1 and 3 read again go through the cache.
            p, g, s, [&](int k) { Order2RowWide(nw, cur, old, v, nx, k, c, stream && k > 2 && k < nz - 3); },
            [&] {
                if (stream) _mm_sfence();  // the streamed rows are in memory before the step goes on
            });
        return;
    }
#endif
    StepWithEdges(
        p, g, s, [&](int k) { Order2Row(nw, cur, old, v, nx, k, c); }, [] {});
}

void FdStepOrder4(FdLevels& p, const FdGrid& g, FdStep s)
{
    double* nw = p[s.newLevel].data();
    const double* cur = p[s.current].data();
    const double* old = p[s.old].data();
    const float* v = g.velocity.data();
    const double c = static_cast<double>(g.dt) / g.h;
    const int nx = g.nx, nz = g.nz;
    constexpr double kFourThirds = 4.0 / 3.0, kTwelfth = 1.0 / 12.0;
    auto row = [&](int k) {
        if (k < 2 || k > nz - 3 || nx < 5) {
            Order2Row(nw, cur, old, v, nx, k, c);
            return;
        }
        const size_t first = static_cast<size_t>(k) * static_cast<size_t>(nx);
        const double* m = cur + first;
        auto second = [&](int i) {
            const double r = v[first + i] * c;
            const double r2 = r * r;
            nw[first + i] = 2.0 * (1.0 - 2.0 * r2) * m[i] + r2 * (m[i - 1] + m[i + 1] + m[i - nx] + m[i + nx]) - old[first + i];
        };
        second(1);
        for (int i = 2; i < nx - 2; ++i) {
            const double r = v[first + i] * c;
            const double r2 = r * r;
            const double near4 = m[i - 1] + m[i + 1] + m[i - nx] + m[i + nx];
            const double far4 = m[i - 2] + m[i + 2] + m[i - 2 * nx] + m[i + 2 * nx];
            nw[first + i] = 2.0 * (1.0 - 2.5 * r2) * m[i] + r2 * (kFourThirds * near4 - kTwelfth * far4) - old[first + i];
        }
        second(nx - 2);
    };
    if (nx < kFusedEdgesFrom || nz < kFusedEdgesFrom) {
        ForChunks(g.pool, 1, nz - 1, kMaxChunks, [&](int, int a, int b) {
            for (int k = a; k < b; ++k) row(k);
        });
        AllEdges(p, g, s);
        return;
    }
    StepWithEdges(p, g, s, row, [] {});
}

size_t PseudoSpectralBytes(int nx, int nz)
{
    if (nx <= 0 || nz <= 0 || nx > kLongestTransform || nz > kLongestTransform) return 0;
    int lx = 0, mx = 0, lz = 0, mz = 0;
    CBandPassDlg::PowerOfTwoAtLeast(std::max(nx, 32), lx, mx);
    CBandPassDlg::PowerOfTwoAtLeast(std::max(nz, 32), lz, mz);
    const size_t work = static_cast<size_t>(kMaxChunks) * 2u * static_cast<size_t>(std::max(lx, lz) + 1);
    const size_t grids = 2u * static_cast<size_t>(nx) * static_cast<size_t>(nz);
    return (work + grids + static_cast<size_t>(lx + lz) * 2u) * sizeof(double);
}

bool SetupPseudoSpectralGrid(PseudoSpectralGrid& ps, int nx, int nz, float h)
{
    if (nx <= 0 || nz <= 0 || nx > kLongestTransform || nz > kLongestTransform || !(h > 0.0f)) return false;
    constexpr double kTwoPi = 6.283185307179586;
    ps.nx = nx;
    ps.nz = nz;
    CBandPassDlg::PowerOfTwoAtLeast(std::max(nx, 32), ps.lengthX, ps.mX);
    CBandPassDlg::PowerOfTwoAtLeast(std::max(nz, 32), ps.lengthZ, ps.mZ);
    ps.dkx = kTwoPi / (ps.lengthX * static_cast<double>(h));
    ps.dkz = kTwoPi / (ps.lengthZ * static_cast<double>(h));
    auto table = [](std::vector<double>& t, int length, int m) {
        t.assign(static_cast<size_t>(length / 4 + 2), 0.0);
        CBandPassDlg::BuildCosTable(m, t);
    };
    table(ps.cosX, ps.lengthX, ps.mX);
    table(ps.cosZ, ps.lengthZ, ps.mZ);
    auto filter = [](std::vector<double>& out, int length, double dk) {
        out.resize(static_cast<size_t>(length));
        for (int j = 0; j < length; ++j) {
            // Bins above the middle hold the negative wavenumbers: the conjugate pairing.
            const double k = (j < length / 2 ? j : length - j) * dk;
            out[static_cast<size_t>(j)] = -k * k;
        }
    };
    filter(ps.minusK2X, ps.lengthX, ps.dkx);
    filter(ps.minusK2Z, ps.lengthZ, ps.dkz);
    ps.uxx.assign(static_cast<size_t>(nx) * static_cast<size_t>(nz), 0.0);
    ps.uzz.assign(ps.uxx.size(), 0.0);
    ps.chunks = kMaxChunks;
    const size_t row = static_cast<size_t>(std::max(ps.lengthX, ps.lengthZ) + 1);
    ps.workRe.assign(row * kMaxChunks, 0.0);
    ps.workIm.assign(row * kMaxChunks, 0.0);
    return true;
}

void FdStepPseudoSpectral(FdLevels& p, const FdGrid& g, FdStep s, PseudoSpectralGrid& ps)
{
    const int nx = g.nx, nz = g.nz;
    if (ps.nx != nx || ps.nz != nz) return;
    double* nw = p[s.newLevel].data();
    const double* cur = p[s.current].data();
    const double* old = p[s.old].data();
    const size_t workRow = static_cast<size_t>(std::max(ps.lengthX, ps.lengthZ) + 1);
    // Two lines at once through one complex transform: the first in the real parts, the second
    // in the imaginary parts. The filter is real and even in the wavenumber, so the two come
    // back apart (one-based arrays).
    auto derivative = [&](int chunk, int length, int m, const std::vector<double>& table,
                          const std::vector<double>& filter, auto load, auto store) {
        double* re = ps.workRe.data() + workRow * static_cast<size_t>(chunk);
        double* im = ps.workIm.data() + workRow * static_cast<size_t>(chunk);
        std::fill(re, re + length + 1, 0.0);
        std::fill(im, im + length + 1, 0.0);
        load(re, im);
        CBandPassDlg::FftTabled(re, im, table, m, -1);
        for (int j = 0; j < length; ++j) {
            re[j + 1] *= filter[static_cast<size_t>(j)];
            im[j + 1] *= filter[static_cast<size_t>(j)];
        }
        CBandPassDlg::FftTabled(re, im, table, m, 1);
        store(re, im);
    };
    ForChunks(g.pool, 0, (nz + 1) / 2, ps.chunks, [&](int chunk, int a, int b) {
        for (int pair = a; pair < b; ++pair) {
            const int k = 2 * pair;
            const bool two = k + 1 < nz;
            const size_t row = At(nx, 0, k), next = row + static_cast<size_t>(nx);
            derivative(
                chunk, ps.lengthX, ps.mX, ps.cosX, ps.minusK2X,
                [&](double* re, double* im) {
                    std::copy(cur + row, cur + row + nx, re + 1);
                    if (two) std::copy(cur + next, cur + next + nx, im + 1);
                },
                [&](const double* re, const double* im) {
                    std::copy(re + 1, re + 1 + nx, ps.uxx.data() + row);
                    if (two) std::copy(im + 1, im + 1 + nx, ps.uxx.data() + next);
                });
        }
    });
    ForChunks(g.pool, 0, (nx + 1) / 2, ps.chunks, [&](int chunk, int a, int b) {
        for (int pair = a; pair < b; ++pair) {
            const int i = 2 * pair;
            const bool two = i + 1 < nx;
            derivative(
                chunk, ps.lengthZ, ps.mZ, ps.cosZ, ps.minusK2Z,
                [&](double* re, double* im) {
                    for (int k = 0; k < nz; ++k) re[k + 1] = cur[At(nx, i, k)];
                    if (two)
                        for (int k = 0; k < nz; ++k) im[k + 1] = cur[At(nx, i + 1, k)];
                },
                [&](const double* re, const double* im) {
                    for (int k = 0; k < nz; ++k) ps.uzz[At(nx, i, k)] = re[k + 1];
                    if (two)
                        for (int k = 0; k < nz; ++k) ps.uzz[At(nx, i + 1, k)] = im[k + 1];
                });
        }
    });
    const float* v = g.velocity.data();
    const double dt = g.dt;
    ForChunks(g.pool, 0, nz, kMaxChunks, [&](int, int a, int b) {
        for (size_t c = At(nx, 0, a); c < At(nx, 0, b); ++c) {
            const double vdt = v[c] * dt;
            nw[c] = vdt * vdt * (ps.uxx[c] + ps.uzz[c]) + 2.0 * cur[c] - old[c];
        }
    });
    for (int edge = 1; edge <= 4; ++edge) DampBoundaryZone(p, g, s, edge);
}

void FdStepStaggered(FdLevels& p, FdLevels& vx, FdLevels& vz, const FdGrid& g, FdStep s)
{
    const int nx = g.nx, nz = g.nz;
    const double c = static_cast<double>(g.dt) / g.h;
    const float* v = g.velocity.data();
    const float* rho = g.density.data();
    constexpr double kNineEighths = 9.0 / 8.0, kTwentyFourth = 1.0 / 24.0;
    auto near = [&](int i, int k) { return i < 2 || i > nx - 3 || k < 2 || k > nz - 3; };
    {
        double* nw = p[s.newLevel].data();
        const double* cur = p[s.current].data();
        const double* ux = vx[s.current].data();
        const double* uz = vz[s.current].data();
        ForChunks(g.pool, 1, nz - 1, kMaxChunks, [&](int, int a, int b) {
            for (int k = a; k < b; ++k) {
                for (int i = 1; i < nx - 1; ++i) {
                    const size_t q = At(nx, i, k);
                    const double kc = static_cast<double>(v[q]) * v[q] * rho[q] * c;
                    const double d1 = (ux[q] - ux[q - 1]) + (uz[q] - uz[q - nx]);
                    if (near(i, k)) {
                        nw[q] = cur[q] + kc * d1;
                    } else {
                        const double d3 = (ux[q + 1] - ux[q - 2]) + (uz[q + nx] - uz[q - 2 * static_cast<size_t>(nx)]);
                        nw[q] = cur[q] + kc * (kNineEighths * d1 - kTwentyFourth * d3);
                    }
                }
            }
        });
    }
    AllEdges(p, g, s);
    {
        const double* pn = p[s.newLevel].data();
        double* xn = vx[s.newLevel].data();
        double* zn = vz[s.newLevel].data();
        const double* xc = vx[s.current].data();
        const double* zc = vz[s.current].data();
        ForChunks(g.pool, 1, nz - 1, kMaxChunks, [&](int, int a, int b) {
            for (int k = a; k < b; ++k) {
                for (int i = 1; i < nx - 1; ++i) {
                    const size_t q = At(nx, i, k);
                    const double b1 = c / rho[q];
                    const double dx1 = pn[q + 1] - pn[q];
                    const double dz1 = pn[q + nx] - pn[q];
                    if (near(i, k)) {
                        xn[q] = xc[q] + b1 * dx1;
                        zn[q] = zc[q] + b1 * dz1;
                    } else {
                        const double dx3 = pn[q + 2] - pn[q - 1];
                        const double dz3 = pn[q + 2 * static_cast<size_t>(nx)] - pn[q - nx];
                        xn[q] = xc[q] + b1 * (kNineEighths * dx1 - kTwentyFourth * dx3);
                        zn[q] = zc[q] + b1 * (kNineEighths * dz1 - kTwentyFourth * dz3);
                    }
                }
            }
        });
    }
    for (int edge = 1; edge <= 4; ++edge) ApplyAbsorbingBoundary(vx, g, s, edge, edge == 4);
    for (int edge = 1; edge <= 4; ++edge) ApplyAbsorbingBoundary(vz, g, s, edge, edge == 3);
}

void ApplyAbsorbingBoundary(FdLevels& f, const FdGrid& g, FdStep s, int edge, bool secondLast)
{
    const int nx = g.nx, nz = g.nz;
    const int shift = secondLast && (edge == 3 || edge == 4) ? 1 : 0;
    // The edge line, the direction inward and the count along the edge.
    int count = 0;
    if (edge == 1 || edge == 3) {
        count = nx;
        if (nz - shift < 3) return;
    } else if (edge == 2 || edge == 4) {
        count = nz;
        if (nx - shift < 3) return;
    } else {
        return;
    }
    double* nw = f[s.newLevel].data();
    const double* cur = f[s.current].data();
    const double* old = f[s.old].data();
    const double ratio = static_cast<double>(g.dt) / g.h;
    for (int j = 0; j < count; ++j) {
        size_t e0 = 0;
        ptrdiff_t inward = 0;
        switch (edge) {
        case 1:
            e0 = At(nx, j, 0);
            inward = nx;
            break;
        case 2:
            e0 = At(nx, 0, j);
            inward = 1;
            break;
        case 3:
            e0 = At(nx, j, nz - 1 - shift);
            inward = -static_cast<ptrdiff_t>(nx);
            break;
        default:
            e0 = At(nx, nx - 1 - shift, j);
            inward = -1;
            break;
        }
        const size_t e1 = static_cast<size_t>(static_cast<ptrdiff_t>(e0) + inward);
        const size_t e2 = static_cast<size_t>(static_cast<ptrdiff_t>(e0) + 2 * inward);
        const double value = AbsorbingValue(nw, cur, old, e0, e1, e2, g.velocity[e0] * ratio * 0.5);
        nw[e0] = value;
        if (WrongOnBoundary(value)) ReportWrong(edge, j);
    }
}

void DampBoundaryZone(FdLevels& p, const FdGrid& g, FdStep s, int edge)
{
    constexpr int kZone = 20;
    const int nx = g.nx, nz = g.nz;
    double* nw = p[s.newLevel].data();
    double* cur = p[s.current].data();
    for (int d = 0; d < kZone; ++d) {
        const double x = 0.015 * (kZone - d);
        const double w = std::exp(-(x * x));
        auto scale = [&](size_t q) {
            cur[q] *= w;
            nw[q] *= w;
        };
        if (edge == 1 || edge == 3) {
            const int k = edge == 1 ? d : nz - 1 - d;
            if (k < 0 || k >= nz) continue;
            for (int i = 0; i < nx; ++i) scale(At(nx, i, k));
        } else if (edge == 2 || edge == 4) {
            const int i = edge == 2 ? d : nx - 1 - d;
            if (i < 0 || i >= nx) continue;
            for (int k = 0; k < nz; ++k) scale(At(nx, i, k));
        }
    }
}

}  // namespace velk
