#include "traveltime/modelling/migrations.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "base/position.h"
#include "draw/parallel.h"
#include "dsp/fourier.h"
#include "traveltime/modelling/fd_kernels.h"
#include "traveltime/modelling/fd_modelling.h"
#include "traveltime/velocity_model.h"

namespace velk {

namespace {

constexpr double kPiSingle = 3.1415927;

double ReceiverM(const GeneratedTraces& in, int k) { return in.headers[static_cast<size_t>(k)].receiverHundredths * 0.01; }

// An output record shaped like the input: its headers, a new sample count and interval.
GeneratedTraces Shaped(const GeneratedTraces& in, int traces, int samples, float intervalMs, float headerIntervalUs)
{
    GeneratedTraces out;
    out.Resize(traces, samples, intervalMs);
    for (int i = 0; i < traces; ++i) {
        CTraceHeader h = i < in.traces ? in.headers[static_cast<size_t>(i)] : CTraceHeader{};
        h.samples = samples;
        h.intervalUs = headerIntervalUs;
        out.headers[static_cast<size_t>(i)] = h;
    }
    return out;
}

// A generated trace header: gain 1, component 1, delay 1 us.
CTraceHeader Generated(int number, int receiver, int source, float intervalUs, int samples)
{
    CTraceHeader h;
    h.Set(number, receiver, source, 1, 1, 1.0f, intervalUs, samples);
    return h;
}

// fn(i) for i in [0, n): on the pool's threads when there is one, else in order on this one.
template <class Fn>
void ForEach(int n, Fn&& fn, WorkerPool* pool)
{
    if (pool) {
        ParallelFor(n, std::forward<Fn>(fn), pool);
        return;
    }
    for (int i = 0; i < n; ++i) fn(i);
}

void Fft(std::vector<double>& re, std::vector<double>& im, int n, int flag) { CFourier::Fft(re.data(), im.data(), n, 0, flag); }

}  // namespace

bool MigrationInputUsable(const GeneratedTraces& in)
{
    if (in.traces < 2 || in.samples < 1 || !(in.intervalMs > 0.0f)) return false;
    if (in.headers.size() < static_cast<size_t>(in.traces)) return false;
    return in.headers[1].receiverHundredths != in.headers[0].receiverHundredths;
}

bool ZeroOffsetTransform(std::span<CTraceHeader> headers)
{
    std::vector<int32_t> midpoints;
    midpoints.reserve(headers.size());
    for (const CTraceHeader& h : headers) {
        const auto mid = MetresToHundredthsTruncated(
            (static_cast<double>(h.sourceHundredths) + static_cast<double>(h.receiverHundredths)) * 0.005);
        if (!mid) return false;
        midpoints.push_back(*mid);
    }
    for (size_t i = 0; i < headers.size(); ++i) {
        headers[i].traceNumber = static_cast<int32_t>(i + 1);
        headers[i].receiverHundredths = midpoints[i];
        headers[i].sourceHundredths = 0;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Kirchhoff

GeneratedTraces KirchhoffMigrate(const GeneratedTraces& in, float velocityKmS, WorkerPool* pool)
{
    if (!MigrationInputUsable(in) || !(velocityKmS > 0.0f)) return {};
    GeneratedTraces out = Shaped(in, in.traces, in.samples, in.intervalMs, in.headers[0].intervalUs);
    const double v = velocityKmS * 1000.0;
    const double dt = in.intervalMs * 0.001;
    const int n = in.samples;
    std::vector<double> x(static_cast<size_t>(in.traces));
    for (int k = 0; k < in.traces; ++k) x[static_cast<size_t>(k)] = ReceiverM(in, k);
    ForEach(
        in.traces,
        [&](int i) {
            const auto target = out.Trace(i);
            for (int j = 0; j < n; ++j) {
                const double t0 = j * dt;
                double sum = 0.0;
                for (int k = 0; k < in.traces; ++k) {
                    const double d = x[static_cast<size_t>(k)] - x[static_cast<size_t>(i)];
                    const double t = std::sqrt(t0 * t0 + 4.0 * d * d / (v * v));
                    const double index = std::trunc(t / dt);
                    if (!(index >= 0.0 && index < n)) continue;
                    const double w = t > 0.0001 ? (t0 / t) * std::sqrt(1.0 / (v * t)) : 1.0;
                    sum += w * in.Trace(k)[static_cast<size_t>(index)];
                }
                target[static_cast<size_t>(j)] = static_cast<float>(sum);
            }
        },
        pool);
    return out;
}

// ---------------------------------------------------------------------------------------------
// Stolt

int MigrationFkRows(int traces)
{
    if (traces <= 256) return 256;
    if (traces <= 512) return 512;
    if (traces <= 1024) return 1024;
    return 0;
}

void StoltMapFk(std::vector<double>& re, std::vector<double>& im, int rows, int columns, double a, double df, double b)
{
    const std::vector<double> re0 = re, im0 = im;
    const double d = a * kPiSingle, e = df * kPiSingle;
    const int p = columns / 2;
    for (int i = 0; i < rows; ++i) {
        const double kx = i < rows / 2 ? d * i : -d * (rows - 1 - i);
        for (int j = 0; j < columns; ++j) {
            const double w = j < p ? e * j : e * (columns - 1 - j);
            const double o2 = kx * kx + w * w;
            const double o = std::sqrt(o2);
            const double u = std::trunc(o * b / e);
            const size_t q = static_cast<size_t>(i) * static_cast<size_t>(columns) + static_cast<size_t>(j);
            if (!(u >= 0.0 && u < p)) {
                re[q] = im[q] = 0.0;
                continue;
            }
            const int column = j > p ? columns - 1 - static_cast<int>(u) : static_cast<int>(u);
            const double scale = o2 <= 1e-7 ? 1.0 : b * w / o;
            const size_t from = static_cast<size_t>(i) * static_cast<size_t>(columns) + static_cast<size_t>(column);
            re[q] = re0[from] * scale;
            im[q] = im0[from] * scale;
        }
    }
}

GeneratedTraces StoltMigration(const GeneratedTraces& in, float velocityKmS)
{
    const int rows = MigrationFkRows(in.traces);
    if (!MigrationInputUsable(in) || rows == 0 || !(velocityKmS > 0.0f)) return {};
    const int p = PowerOfTwoLength(in.samples, 1);
    const int columns = 2 * p;
    const double dx = (in.headers[1].receiverHundredths - in.headers[0].receiverHundredths) * 0.01;
    const size_t cells = static_cast<size_t>(rows) * static_cast<size_t>(columns);
    std::vector<double> re(cells, 0.0), im(cells, 0.0);
    std::vector<double> lineRe(static_cast<size_t>(std::max(rows, columns))), lineIm(lineRe.size());
    auto row = [&](int i, int flag) {
        std::copy_n(re.begin() + static_cast<ptrdiff_t>(i) * columns, columns, lineRe.begin());
        std::copy_n(im.begin() + static_cast<ptrdiff_t>(i) * columns, columns, lineIm.begin());
        Fft(lineRe, lineIm, columns, flag);
        std::copy_n(lineRe.begin(), columns, re.begin() + static_cast<ptrdiff_t>(i) * columns);
        std::copy_n(lineIm.begin(), columns, im.begin() + static_cast<ptrdiff_t>(i) * columns);
    };
    auto column = [&](int j, int flag) {
        for (int i = 0; i < rows; ++i) {
            lineRe[static_cast<size_t>(i)] = re[static_cast<size_t>(i) * columns + j];
            lineIm[static_cast<size_t>(i)] = im[static_cast<size_t>(i) * columns + j];
        }
        Fft(lineRe, lineIm, rows, flag);
        for (int i = 0; i < rows; ++i) {
            re[static_cast<size_t>(i) * columns + j] = lineRe[static_cast<size_t>(i)];
            im[static_cast<size_t>(i) * columns + j] = lineIm[static_cast<size_t>(i)];
        }
    };
    for (int i = 0; i < in.traces; ++i) {
        const auto trace = in.Trace(i);
        std::copy_n(trace.begin(), std::min(p, in.samples), re.begin() + static_cast<ptrdiff_t>(i) * columns);
        row(i, 0);
    }
    for (int j = 0; j < columns; ++j) column(j, 0);
    StoltMapFk(re, im, rows, columns, 1000.0 / (dx * rows), 1000.0 / (in.intervalMs * static_cast<double>(columns)),
               velocityKmS / 2.0);
    for (int j = 0; j < columns; ++j) column(j, 1);
    // Output sample k holds the even position 2k: a depth step of twice the interval (m for ms).
    GeneratedTraces out = Shaped(in, in.traces, p, 2.0f * in.intervalMs, 2.0f * in.intervalMs * 1000.0f);
    for (int i = 0; i < in.traces; ++i) {
        row(i, 1);
        const auto target = out.Trace(i);
        for (int k = 0; k < p; ++k)
            target[static_cast<size_t>(k)] = static_cast<float>(re[static_cast<size_t>(i) * columns + 2 * static_cast<size_t>(k)]);
    }
    return out;
}

// ---------------------------------------------------------------------------------------------
// Phase shift

void AllocPhaseShiftArrays(PhaseShiftArrays& a, int rows, int length)
{
    a.rows = rows;
    a.length = length;
    const size_t n = static_cast<size_t>(rows);
    a.opRe.assign(n / 2 * static_cast<size_t>(length / 4), 0.0);
    a.opIm.assign(a.opRe.size(), 0.0);
    a.re.assign(n * static_cast<size_t>(length), 0.0);
    a.im.assign(a.re.size(), 0.0);
    a.imageRe.assign(n, 0.0);
    a.imageIm.assign(n, 0.0);
}

void FreePhaseShiftArrays(PhaseShiftArrays& a) { a = PhaseShiftArrays{}; }

GeneratedTraces PhaseShiftMigration(const GeneratedTraces& in, float velocityKmS, PhaseShiftArrays& a,
                                    const std::function<void(int)>& progress)
{
    const int n = MigrationFkRows(in.traces);
    if (!MigrationInputUsable(in) || n == 0 || in.traces > kPhaseShiftMaxTraces || !(velocityKmS > 0.0f)) return {};
    const int l = PowerOfTwoLength(in.samples, 1);
    const int half = l / 2, quarter = l / 4;
    if (a.rows != n || a.length != l) AllocPhaseShiftArrays(a, n, l);
    std::fill(a.re.begin(), a.re.end(), 0.0);
    std::fill(a.im.begin(), a.im.end(), 0.0);
    const double dt = in.intervalMs * 0.001;
    const double dx = (in.headers[1].receiverHundredths - in.headers[0].receiverHundredths) * 0.00001;
    const double v = velocityKmS;
    const float dz = static_cast<float>(v * 0.5 * dt * 1000.0);
    const size_t stride = static_cast<size_t>(l);
    std::vector<double> lineRe(static_cast<size_t>(std::max(l, n))), lineIm(lineRe.size());
    for (int i = 0; i < in.traces; ++i) {
        std::fill(lineRe.begin(), lineRe.end(), 0.0);
        std::fill(lineIm.begin(), lineIm.end(), 0.0);
        std::copy_n(in.Trace(i).begin(), std::min(half, in.samples), lineRe.begin());
        Fft(lineRe, lineIm, l, 0);
        std::copy_n(lineRe.begin(), l, a.re.begin() + static_cast<ptrdiff_t>(i) * l);
        std::copy_n(lineIm.begin(), l, a.im.begin() + static_cast<ptrdiff_t>(i) * l);
    }
    for (int j = 0; j < half; ++j) {
        for (int i = 0; i < n; ++i) {
            lineRe[static_cast<size_t>(i)] = a.re[i * stride + j];
            lineIm[static_cast<size_t>(i)] = a.im[i * stride + j];
        }
        Fft(lineRe, lineIm, n, 0);
        for (int i = 0; i < n; ++i) {
            a.re[i * stride + j] = lineRe[static_cast<size_t>(i)];
            a.im[i * stride + j] = lineIm[static_cast<size_t>(i)];
        }
    }
    // The operator: rows kx, columns frequency.
    const double dk = kPiSingle / (dx * n);
    const double dw = kPiSingle / (dt * half);
    for (int i = 0; i < n / 2; ++i) {
        for (int j = 0; j < quarter; ++j) {
            const size_t q = static_cast<size_t>(i) * quarter + j;
            if (j == 0) {
                a.opRe[q] = 1.0;
                a.opIm[q] = 0.0;
                continue;
            }
            const double w = j * dw, k = i * dk;
            const double x = v * v * k * k / (w * w) - 1.0;
            if (x >= 0.0) {
                a.opRe[q] = std::exp(-w * std::sqrt(x) * dt);
                a.opIm[q] = 0.0;
            } else {
                const double phi = -w * std::sqrt(-x) * dt;
                a.opRe[q] = std::cos(phi);
                a.opIm[q] = -std::sin(phi);
            }
        }
    }
    GeneratedTraces out = Shaped(in, in.traces, quarter, dz, dz * 1000.0f);
    for (int step = 1; step <= quarter; ++step) {
        if (progress) progress(step);
        for (int r = 0; r < n / 2; ++r) {
            for (const int rowIndex : {r, n - 1 - r}) {
                double sumRe = 0.0, sumIm = 0.0;
                double* re = a.re.data() + static_cast<size_t>(rowIndex) * stride;
                double* im = a.im.data() + static_cast<size_t>(rowIndex) * stride;
                for (int j = 0; j < quarter; ++j) {
                    const double oRe = a.opRe[static_cast<size_t>(r) * quarter + j];
                    const double oIm = a.opIm[static_cast<size_t>(r) * quarter + j];
                    for (const int col : {j, half - 1 - j}) {
                        const double xr = re[col], xi = im[col];
                        re[col] = xr * oRe - xi * oIm;
                        im[col] = xr * oIm + xi * oRe;
                    }
                }
                for (int col = 0; col < half; ++col) {
                    sumRe += re[col];
                    sumIm += im[col];
                }
                a.imageRe[static_cast<size_t>(rowIndex)] = sumRe / half;
                a.imageIm[static_cast<size_t>(rowIndex)] = sumIm / half;
            }
        }
        Fft(a.imageRe, a.imageIm, n, 1);
        // Depth step `step` is output sample step - 1: the record holds L/4 samples.
        for (int t = 0; t < in.traces; ++t)
            out.Trace(t)[static_cast<size_t>(step - 1)] = static_cast<float>(a.imageRe[static_cast<size_t>(t)]);
    }
    return out;
}

// ---------------------------------------------------------------------------------------------
// 15 degrees

GeneratedTraces FifteenDegreeMigration(const GeneratedTraces& in, float velocityKmS, const std::function<void(int)>& progress)
{
    if (!MigrationInputUsable(in) || !(velocityKmS > 0.0f)) return {};
    const double vh = velocityKmS * 500.0;
    const double dt = in.intervalMs * 0.001;
    const double dz = dt * vh;
    const double dx = std::abs(in.headers[1].receiverHundredths - in.headers[0].receiverHundredths) * 0.01;
    const double c = dt * vh * dz / (16.0 * dx * dx);
    const int nt = in.samples, nx = in.traces;
    const size_t size = static_cast<size_t>(nt) * static_cast<size_t>(nx);
    std::vector<double> planes[2] = {std::vector<double>(size), std::vector<double>(size, 0.0)};
    auto at = [nx](int tau, int x) { return static_cast<size_t>(tau) * static_cast<size_t>(nx) + static_cast<size_t>(x); };
    for (int x = 0; x < nx; ++x)
        for (int tau = 0; tau < nt; ++tau) planes[0][at(tau, x)] = in.Trace(x)[static_cast<size_t>(tau)];
    int written = 0;
    for (int n = 1; n <= nt; ++n) {
        if (progress) progress(n);
        const std::vector<double>& P = planes[written];
        std::vector<double>& Q = planes[1 - written];
        for (int tau = nt - 2; tau >= 0; --tau) {
            for (int x = 1; x < nx - 1; ++x) {
                Q[at(tau, x)] = Q[at(tau + 1, x)] + P[at(tau, x)] - P[at(tau + 1, x)] +
                                c * ((Q[at(tau + 1, x - 1)] - 2.0 * Q[at(tau + 1, x)] + Q[at(tau + 1, x + 1)]) +
                                     (P[at(tau, x - 1)] - 2.0 * P[at(tau, x)] + P[at(tau, x + 1)]));
            }
        }
        written = 1 - written;
    }
    GeneratedTraces out = Shaped(in, nx, nt, static_cast<float>(dz), static_cast<float>(dz * 1000.0));
    for (int x = 0; x < nx; ++x) {
        const auto target = out.Trace(x);
        for (int tau = 0; tau < nt - 1; ++tau) target[static_cast<size_t>(tau)] = static_cast<float>(planes[written][at(tau, x)]);
        target[static_cast<size_t>(nt - 1)] = in.Trace(x)[static_cast<size_t>(nt - 1)];
    }
    return out;
}

// ---------------------------------------------------------------------------------------------
// Reverse time

double RtmCourantNumber(const RtmSettings& s, float intervalMs)
{
    const double dtPrime = intervalMs * 0.001 / std::max(s.timeFactor, 1);
    const double hPrime = static_cast<double>(s.dx) / std::max(s.spaceFactor, 1);
    return s.velocity * 500.0 * dtPrime / hPrime;
}

double RtmStabilityLimit(int method)
{
    switch (method) {
    case 0:
        return 1.0 / std::sqrt(2.0);
    case 1:
        return std::sqrt(3.0 / 8.0);
    case 2:
        return 2.0 / (3.141592653589793 * std::sqrt(2.0));
    default:
        return 0.0;
    }
}

int RtmOutputTraces(const RtmSettings& s) { return s.interpolation ? s.nx * s.spaceFactor : s.nx; }
int RtmOutputSamples(const RtmSettings& s) { return s.ny * s.spaceFactor; }

RtmRefusal CheckRtm(const RtmSettings& s, const GeneratedTraces& in)
{
    if (s.nx < 2 || s.nx > in.traces || s.ny < 1 || s.samples < 1 || s.samples > in.samples || !(s.dx > 0.0f) ||
        !(s.velocity > 0.0f) || !(in.intervalMs > 0.0f) || s.timeFactor < 1 || s.timeFactor > 10 || s.spaceFactor < 1 ||
        s.spaceFactor > 20 || s.method < 0 || s.method > 2 || !(s.stopTimeMs >= 0.0f))
        return RtmRefusal::BadValues;
    const long long nx = static_cast<long long>(s.nx) * s.spaceFactor, nz = static_cast<long long>(s.ny) * s.spaceFactor;
    if (s.method == 2 && (nx > 2048 || nz > 2048)) return RtmRefusal::GridTooLarge;
    const double cells = static_cast<double>(nx) * static_cast<double>(nz);
    double bytes = cells * (3 * sizeof(double) + sizeof(float));
    if (s.method == 2) bytes += cells * 2 * sizeof(double);
    if (bytes > static_cast<double>(kMaxWavefieldBytes)) return RtmRefusal::TooMuchMemory;
    if (!(RtmCourantNumber(s, in.intervalMs) <= RtmStabilityLimit(s.method))) return RtmRefusal::Unstable;
    return RtmRefusal::None;
}

GeneratedTraces ReverseTimeMigrate(const GeneratedTraces& in, const RtmSettings& s, WorkerPool* pool,
                                   const std::function<void(int, int)>& progress)
{
    if (CheckRtm(s, in) != RtmRefusal::None) return {};
    const int f = s.timeFactor, sp = s.spaceFactor;
    const int nx = s.nx * sp, nz = s.ny * sp;
    const float dtPrime = in.intervalMs * 0.001f / static_cast<float>(f);
    const float hPrime = s.dx / static_cast<float>(sp);
    const int h = s.samples;
    const int g = f * static_cast<int>(std::trunc(s.stopTimeMs / in.intervalMs));
    const size_t cells = static_cast<size_t>(nx) * static_cast<size_t>(nz);
    const std::vector<float> velocity(cells, s.velocity * 500.0f);
    FdLevels levels;
    for (FdLevel& level : levels) level.assign(cells, 0.0);
    PseudoSpectralGrid ps;
    int margin = 0;
    if (s.method == 2) {
        SetupPseudoSpectralGrid(ps, nx, nz, hPrime);
        margin = 21;
    }
    const FdGrid grid{nx, nz, hPrime, dtPrime, velocity, {}, pool};
    // The section read backwards; outside it 0.
    auto sample = [&](int trace, int index) {
        return index >= 0 && index < h ? static_cast<double>(in.Trace(trace)[static_cast<size_t>(index)]) : 0.0;
    };
    const int total = f * h - g;
    int newest = 0;
    for (int e = 1; e <= total; ++e) {
        const int q = (e + 1) / f;
        const FdStep step{(e + 2) % 3, (e + 1) % 3, e % 3};
        if (margin < nz) {
            double* row = levels[static_cast<size_t>(step.current)].data() + static_cast<size_t>(margin) * nx;
            for (int i = 0; i < nx; i += sp) {
                const int trace = i / sp;
                row[i] = e % f == 0 ? sample(trace, h - q) : (sample(trace, h - q - 1) + sample(trace, h - q)) / 2.0;
            }
        }
        if (progress) progress(e, total);
        if (s.method == 0) {
            FdStepOrder2(levels, grid, step);
        } else if (s.method == 2) {
            FdStepPseudoSpectral(levels, grid, step, ps);
        } else {
            FdStepOrder4(levels, grid, step);
        }
        newest = step.newLevel;
    }
    const int traces = RtmOutputTraces(s);
    const int samples = RtmOutputSamples(s);
    const float hOut = s.interpolation ? hPrime : s.dx;
    GeneratedTraces out;
    out.Resize(traces, samples, hPrime);
    const int first = in.headers[0].receiverHundredths;
    const int step = static_cast<int>(std::trunc(100.0 * hOut));
    const FdLevel& level = levels[static_cast<size_t>(newest)];
    for (int t = 0; t < traces; ++t) {
        const int column = s.interpolation ? t : t * sp;
        const auto target = out.Trace(t);
        for (int j = 0; j < samples; ++j) {
            const int row = margin + j;
            target[static_cast<size_t>(j)] = row < nz ? static_cast<float>(level[static_cast<size_t>(row) * nx + column]) : 0.0f;
        }
        out.headers[static_cast<size_t>(t)] = Generated(t + 1, first + t * step, in.headers[0].sourceHundredths,
                                                        hPrime * 1000.0f, samples);
    }
    return out;
}

// ---------------------------------------------------------------------------------------------
// Diffraction stacking

void StackImageSize(const DiffractionStackSettings& s, int& columns, int& rows)
{
    auto count = [](float from, float to, float interval) {
        const double n = std::trunc(std::abs(static_cast<double>(to) - from) / interval) + 1.0;
        return n >= 0.0 && n < 1e9 ? static_cast<int>(n) : 1000000000;
    };
    columns = s.xInterval > 0.0f ? count(s.xFrom, s.xTo, s.xInterval) : 1000000000;
    rows = s.yInterval > 0.0f ? count(s.yFrom, s.yTo, s.yInterval) : 1000000000;
}

namespace {

struct StackImage {
    int columns = 0, rows = 0;
    std::vector<float> stack, sum, squares;
    std::vector<int32_t> count;

    StackImage(int c, int r)
        : columns(c), rows(r), stack(static_cast<size_t>(c) * r, 0.0f), sum(stack.size(), 0.0f),
          squares(stack.size(), 0.0f), count(stack.size(), 0)
    {
    }
    void Add(size_t q, float a, float weighted)
    {
        stack[q] += weighted;
        sum[q] += a;
        squares[q] += a * a;
        ++count[q];
    }
    // The image of the method as a record: column i is trace i.
    GeneratedTraces Record(const GeneratedTraces& in, int method, float xFrom, float xInterval, float yInterval) const
    {
        GeneratedTraces out;
        out.Resize(columns, rows, yInterval);
        const int source = static_cast<int>(std::trunc(in.headers[0].sourceHundredths * 0.01 * 100.0));
        for (int i = 0; i < columns; ++i) {
            const auto target = out.Trace(i);
            for (int j = 0; j < rows; ++j) {
                const size_t q = static_cast<size_t>(i) * rows + j;
                float value = stack[q];
                if (method == 1 || method == 2) {
                    const float semblance = squares[q] > 0.0f ? sum[q] * sum[q] / (count[q] * squares[q]) : 0.0f;
                    value = squares[q] > 0.0f ? (method == 1 ? -semblance : stack[q] * semblance) : 0.0f;
                }
                target[static_cast<size_t>(j)] = value;
            }
            const double receiver = std::trunc((i * static_cast<double>(xInterval) + xFrom) * 100.0);
            out.headers[static_cast<size_t>(i)] =
                Generated(i + 1, static_cast<int>(receiver), source, yInterval * 1000.0f, rows);
        }
        return out;
    }
};

}  // namespace

GeneratedTraces DiffractionStackHomogeneous(const GeneratedTraces& in, const DiffractionStackSettings& s, WorkerPool* pool)
{
    int columns = 0, rows = 0;
    StackImageSize(s, columns, rows);
    if (in.traces < 1 || !(in.intervalMs > 0.0f) || !(s.velocity > 0.0f) || columns > kStackMaxColumns ||
        rows > kStackMaxRows)
        return {};
    StackImage image(columns, rows);
    ForEach(
        columns,
        [&](int i) {
            const double x = s.xFrom + i * static_cast<double>(s.xInterval);
            for (int j = 0; j < rows; ++j) {
                const double y = s.yFrom + j * static_cast<double>(s.yInterval);
                const double ds = std::hypot(x - s.sourceX, y - s.sourceY);
                const size_t q = static_cast<size_t>(i) * rows + j;
                for (int k = 0; k < in.traces; ++k) {
                    const double xk = ReceiverM(in, k);
                    const double t = (std::sqrt((xk - x) * (xk - x) + y * y) + ds) / s.velocity;
                    const double n = std::trunc(t / in.intervalMs);
                    if (!(n >= 0.0 && n < in.samples)) continue;
                    const float a = in.Trace(k)[static_cast<size_t>(n)];
                    image.Add(q, a, s.traveltimeWeighting ? static_cast<float>(t) * a : a);
                }
            }
        },
        pool);
    return image.Record(in, s.method, s.xFrom, s.xInterval, s.yInterval);
}

GeneratedTraces DiffractionStackModel(const GeneratedTraces& in, const VelocityModel& m, const DiffractionStackSettings& s,
                                      int& skipped, WorkerPool* pool)
{
    skipped = 0;
    if (in.traces < 1 || !(in.intervalMs > 0.0f) || m.nx > kStackMaxColumns || m.nz > kStackMaxRows ||
        m.velocity.size() != m.Cells() || m.nx < 2 || m.nz < 2)
        return {};
    auto cell = [&](double position) { return std::max(1.0, std::trunc(position / m.h)); };
    const double sx = cell(s.sourceX), sz = cell(s.sourceY);
    std::vector<float> ts;
    if (sx >= m.nx || sz >= m.nz ||
        !TraceTravelTimes(ts, m.velocity, m.nz, m.nx, m.h, static_cast<int>(sx), static_cast<int>(sz)))
        return {};
    StackImage image(m.nx, m.nz);
    std::vector<float> tr;
    for (int k = 0; k < in.traces; ++k) {
        const double rx = cell(ReceiverM(in, k));
        if (!(rx < m.nx) || !TraceTravelTimes(tr, m.velocity, m.nz, m.nx, m.h, static_cast<int>(rx), 1)) {
            ++skipped;
            continue;
        }
        const auto trace = in.Trace(k);
        ForEach(
            m.nx,
            [&](int i) {
                for (int j = 0; j < m.nz; ++j) {
                    const size_t c = static_cast<size_t>(j) * m.nx + i;
                    const double n = std::trunc((ts[c] + tr[c]) / in.intervalMs);
                    if (!(n >= 0.0 && n < in.samples)) continue;
                    const float a = trace[static_cast<size_t>(n)];
                    image.Add(static_cast<size_t>(i) * m.nz + j, a, a);
                }
            },
            pool);
    }
    return image.Record(in, s.method, 0.0f, m.h, m.h);
}

}  // namespace velk
