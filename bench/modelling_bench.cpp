// The finite-difference steps and the migrations, each with its reference in the same run:
//   FD steps on 2000 x 1000 cells, one thread and the pool, against a minimal 5-point stencil
//   loop on flat arrays (one thread); the pseudo-spectral step on 201 x 201 and 1024 x 1024;
//   Kirchhoff against the direct triple loop (one thread); the 15-degree migration against a
//   plain transcription on nested vectors; Stolt, phase shift and the model-case diffraction
//   stacking (24 receivers) timed alone.
// Counters: "points/s" are cell updates per second.

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "draw/parallel.h"
#include "traveltime/modelling/fd_kernels.h"
#include "traveltime/modelling/migrations.h"
#include "traveltime/velocity_model.h"

namespace velk {
namespace {

constexpr int kNx = 2000, kNz = 1000;

struct Field {
    FdLevels p, vx, vz;
    std::vector<float> v, rho;
    Field(int nx, int nz)
    {
        const size_t n = static_cast<size_t>(nx) * nz;
        for (auto* l : {&p, &vx, &vz})
            for (auto& level : *l) level.assign(n, 0.0);
        p[1][n / 2 + nx / 2] = 1.0;
        v.assign(n, 3000.0f);
        rho.assign(n, 2000.0f);
    }
};

WorkerPool& Pool()
{
    static WorkerPool pool;
    return pool;
}

void Step(benchmark::State& state, int scheme)
{
    Field f(kNx, kNz);
    const FdGrid g{kNx, kNz, 1.0f, 0.0001f, f.v, f.rho, state.range(0) > 1 ? &Pool() : nullptr};
    int s = 0;
    for (auto _ : state) {
        const FdStep step{(s + 2) % 3, (s + 1) % 3, s % 3};
        if (scheme == 0) FdStepOrder2(f.p, g, step);
        if (scheme == 1) FdStepOrder4(f.p, g, step);
        if (scheme == 3) FdStepStaggered(f.p, f.vx, f.vz, g, step);
        ++s;
        benchmark::ClobberMemory();
    }
    state.counters["points/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kNx * kNz, benchmark::Counter::kIsRate);
}

void BM_FdStepOrder2(benchmark::State& state) { Step(state, 0); }
void BM_FdStepOrder4(benchmark::State& state) { Step(state, 1); }
void BM_FdStepStaggered(benchmark::State& state) { Step(state, 3); }
BENCHMARK(BM_FdStepOrder2)->Arg(1)->Arg(8)->UseRealTime();
BENCHMARK(BM_FdStepOrder4)->Arg(1)->Arg(8)->UseRealTime();
BENCHMARK(BM_FdStepStaggered)->Arg(1)->Arg(8)->UseRealTime();

// Reference: the plainest 5-point update, constant r^2, no boundary.
void BM_ReferenceStencil(benchmark::State& state)
{
    const size_t n = static_cast<size_t>(kNx) * kNz;
    std::vector<double> a(n, 0.0), b(n, 0.0), c(n, 0.0);
    const double r2 = 0.09;
    for (auto _ : state) {
        for (int k = 1; k < kNz - 1; ++k)
            for (int i = 1; i < kNx - 1; ++i) {
                const size_t q = static_cast<size_t>(k) * kNx + i;
                c[q] = 2.0 * (1.0 - 2.0 * r2) * b[q] + r2 * (b[q - 1] + b[q + 1] + b[q - kNx] + b[q + kNx]) - a[q];
            }
        std::swap(a, b);
        std::swap(b, c);
        benchmark::ClobberMemory();
    }
    state.counters["points/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kNx * kNz, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReferenceStencil)->UseRealTime();

void BM_FdStepPseudoSpectral(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    Field f(n, n);
    PseudoSpectralGrid ps;
    SetupPseudoSpectralGrid(ps, n, n, 1.0f);
    const FdGrid g{n, n, 1.0f, 0.0001f, f.v, f.rho, state.range(1) > 1 ? &Pool() : nullptr};
    int s = 0;
    for (auto _ : state) {
        FdStepPseudoSpectral(f.p, g, FdStep{(s + 2) % 3, (s + 1) % 3, s % 3}, ps);
        ++s;
    }
    state.counters["points/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * n * n, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FdStepPseudoSpectral)->Args({201, 1})->Args({201, 8})->Args({1024, 1})->Args({1024, 8})->UseRealTime();

GeneratedTraces Section(int traces, int samples)
{
    GeneratedTraces in;
    in.Resize(traces, samples, 0.1f);
    for (int i = 0; i < traces; ++i) {
        in.headers[static_cast<size_t>(i)].Set(i + 1, 100 * (i + 1), 0, 1, 1, 1.0f, 100.0f, samples);
        const double apex = 183.0 + std::sqrt(1.0 + (i - traces / 2) * (i - traces / 2) / 400.0) * 10.0;
        if (apex < samples) in.Trace(i)[static_cast<size_t>(apex)] = 1.0f;
    }
    return in;
}

void BM_Kirchhoff(benchmark::State& state)
{
    const GeneratedTraces in = Section(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    WorkerPool* pool = state.range(2) > 1 ? &Pool() : nullptr;
    for (auto _ : state) benchmark::DoNotOptimize(KirchhoffMigrate(in, 3.0f, pool));
}
BENCHMARK(BM_Kirchhoff)->Args({128, 1024, 1})->Args({128, 1024, 8})->Args({512, 4096, 8})->UseRealTime()->Unit(benchmark::kMillisecond);

// Reference: the direct triple loop of the summation on one thread.
void BM_KirchhoffDirect(benchmark::State& state)
{
    const GeneratedTraces in = Section(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    std::vector<float> out(in.values.size());
    const double v = 3000.0, dt = 0.0001;
    for (auto _ : state) {
        for (int i = 0; i < in.traces; ++i)
            for (int j = 0; j < in.samples; ++j) {
                double sum = 0.0;
                for (int k = 0; k < in.traces; ++k) {
                    const double t0 = j * dt, d = k - i;
                    const double t = std::sqrt(t0 * t0 + 4.0 * d * d / (v * v));
                    const int n = static_cast<int>(t / dt);
                    if (n < in.samples) sum += (t > 0.0001 ? t0 / t * std::sqrt(1.0 / (v * t)) : 1.0) * in.Trace(k)[static_cast<size_t>(n)];
                }
                out[static_cast<size_t>(i) * in.samples + j] = static_cast<float>(sum);
            }
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_KirchhoffDirect)->Args({128, 1024})->Args({512, 4096})->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_Stolt(benchmark::State& state)
{
    const GeneratedTraces in = Section(128, 1024);
    for (auto _ : state) benchmark::DoNotOptimize(StoltMigration(in, 3.0f));
}
BENCHMARK(BM_Stolt)->Unit(benchmark::kMillisecond);

void BM_PhaseShift(benchmark::State& state)
{
    const GeneratedTraces in = Section(128, 1024);
    PhaseShiftArrays arrays;
    for (auto _ : state) benchmark::DoNotOptimize(PhaseShiftMigration(in, 3.0f, arrays));
}
BENCHMARK(BM_PhaseShift)->Unit(benchmark::kMillisecond);

void BM_FifteenDegree(benchmark::State& state)
{
    const GeneratedTraces in = Section(128, 1024);
    for (auto _ : state) benchmark::DoNotOptimize(FifteenDegreeMigration(in, 3.0f));
}
BENCHMARK(BM_FifteenDegree)->Unit(benchmark::kMillisecond);

// Reference: the 15-degree recursion transcribed on nested vectors.
void BM_FifteenDegreePlain(benchmark::State& state)
{
    const GeneratedTraces in = Section(128, 1024);
    const int nt = in.samples, nx = in.traces;
    const double c = 0.0001 * 1500.0 * 0.15 / 16.0;
    for (auto _ : state) {
        std::vector<std::vector<double>> p(nt, std::vector<double>(nx)), q(nt, std::vector<double>(nx, 0.0));
        for (int x = 0; x < nx; ++x)
            for (int t = 0; t < nt; ++t) p[t][x] = in.Trace(x)[static_cast<size_t>(t)];
        for (int n = 1; n <= nt; ++n) {
            for (int t = nt - 2; t >= 0; --t)
                for (int x = 1; x < nx - 1; ++x)
                    q[t][x] = q[t + 1][x] + p[t][x] - p[t + 1][x] +
                              c * ((q[t + 1][x - 1] - 2 * q[t + 1][x] + q[t + 1][x + 1]) + (p[t][x - 1] - 2 * p[t][x] + p[t][x + 1]));
            std::swap(p, q);
        }
        benchmark::DoNotOptimize(p.data());
    }
}
BENCHMARK(BM_FifteenDegreePlain)->Unit(benchmark::kMillisecond);

void BM_DiffractionStackModel(benchmark::State& state)
{
    VelocityModel m;
    CreateHomogeneousModel(m);
    const GeneratedTraces in = Section(24, 1024);
    DiffractionStackSettings s;
    s.sourceX = s.sourceY = 1.0f;
    int skipped = 0;
    for (auto _ : state) benchmark::DoNotOptimize(DiffractionStackModel(in, m, s, skipped, &Pool()));
}
BENCHMARK(BM_DiffractionStackModel)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velk

BENCHMARK_MAIN();
