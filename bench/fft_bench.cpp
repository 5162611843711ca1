// CFourier::Fft (flag 0, split double arrays) against FFTW's double complex transform
// (fftw_plan_dft_1d, FFTW_ESTIMATE, planned before timing), single-threaded, n = 256 ..
// 65536, the two measured one after the other for each n in the same run. Then Dft (real
// input, one-based) at record lengths that are not powers of two (dft/1000 .. dft/65537: made of
// small factors, or prime); bench/fft.py runs this program and times numpy.fft.fft of the same
// lengths right after, and prints both tables.
//
// Ours runs in place: its iterations are the forward transform (scaled by 1/n) and the inverse
// by turns, so that the values stay those of the input and no copy is timed; FFTW runs out of
// place on an unchanged input. Both time the transform alone.
//
// After Google Benchmark's own report a table gives, per n, the median of the repetitions of
// each (--benchmark_repetitions=5) and their ratio. On a shared machine, add
// --benchmark_enable_random_interleaving=true, so that the repetitions of ours and FFTW's
// alternate instead of following each other, and a change of the machine's speed during the run
// falls on both.

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "dsp/fourier.h"

namespace {

void MakeInput(int n, std::vector<double>& re, std::vector<double>& im)
{
    re.resize(static_cast<size_t>(n));
    im.resize(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        re[static_cast<size_t>(i)] = std::sin(0.37 * i) + 0.25 * std::cos(1.3 * i);
        im[static_cast<size_t>(i)] = std::cos(0.11 * i) - 0.5 * std::sin(2.9 * i);
    }
}

void Ours(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    std::vector<double> re, im;
    MakeInput(n, re, im);
    velk::CFourier::Fft(re.data(), im.data(), n, 0, 0);  // builds this thread's tables
    int flag = 1;
    for (auto _ : state) {
        velk::CFourier::Fft(re.data(), im.data(), n, 0, flag);
        flag = 1 - flag;
        benchmark::DoNotOptimize(re.data());
        benchmark::DoNotOptimize(im.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * n);
}

void Fftw(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    auto* in = static_cast<fftw_complex*>(fftw_malloc(sizeof(fftw_complex) * static_cast<size_t>(n)));
    auto* out = static_cast<fftw_complex*>(fftw_malloc(sizeof(fftw_complex) * static_cast<size_t>(n)));
    fftw_plan plan = fftw_plan_dft_1d(n, in, out, FFTW_FORWARD, FFTW_ESTIMATE);
    std::vector<double> re, im;
    MakeInput(n, re, im);
    for (int i = 0; i < n; ++i) {
        in[i][0] = re[static_cast<size_t>(i)];
        in[i][1] = im[static_cast<size_t>(i)];
    }
    fftw_execute(plan);
    for (auto _ : state) {
        fftw_execute(plan);
        benchmark::DoNotOptimize(out);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * n);
    fftw_destroy_plan(plan);
    fftw_free(in);
    fftw_free(out);
}

void DftAnyLength(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    std::vector<double> x(static_cast<size_t>(n) + 1), re(x.size()), im(x.size());
    for (int i = 1; i <= n; ++i) {
        x[static_cast<size_t>(i)] = std::sin(0.37 * i) + 0.25 * std::cos(1.3 * i);
    }
    velk::Dft(x.data(), re.data(), im.data(), n);  // builds this thread's tables
    for (auto _ : state) {
        velk::Dft(x.data(), re.data(), im.data(), n);
        benchmark::DoNotOptimize(re.data());
        benchmark::DoNotOptimize(im.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * n);
}

// The console report, plus the median repetition of every benchmark for the summary table.
class TableReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                const double us = run.GetAdjustedRealTime();  // the benchmarks report in µs
                times_[run.run_name.function_name + "/" + run.run_name.args].push_back(us);
            } else if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                medians_[run.run_name.function_name + "/" + run.run_name.args] = run.GetAdjustedRealTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    double Median(const std::string& name, int n) const
    {
        const std::string key = name + "/" + std::to_string(n);
        if (const auto m = medians_.find(key); m != medians_.end()) {
            return m->second;
        }
        const auto it = times_.find(key);
        if (it == times_.end() || it->second.empty()) {
            return std::numeric_limits<double>::quiet_NaN();
        }
        std::vector<double> t = it->second;
        std::sort(t.begin(), t.end());
        const size_t h = t.size() / 2;
        return t.size() % 2 == 1 ? t[h] : 0.5 * (t[h - 1] + t[h]);
    }

private:
    std::map<std::string, std::vector<double>> times_;
    std::map<std::string, double> medians_;
};

}  // namespace

int main(int argc, char** argv)
{
    std::vector<int> lengths;
    for (int n = 256; n <= 65536; n *= 2) {
        lengths.push_back(n);
        benchmark::RegisterBenchmark("ours", Ours)->Arg(n)->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark("fftw", Fftw)->Arg(n)->Unit(benchmark::kMicrosecond);
    }
    for (int n : {1000, 2000, 3000, 4099, 5000, 6000, 10000, 30000, 65537}) {
        benchmark::RegisterBenchmark("dft", DftAnyLength)->Arg(n)->Unit(benchmark::kMicrosecond);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\n%8s %12s %12s %7s\n", "n", "ours (us)", "FFTW (us)", "ratio");
    for (int n : lengths) {
        const double ours = reporter.Median("ours", n);
        const double fftw = reporter.Median("fftw", n);
        if (!std::isnan(ours) || !std::isnan(fftw)) {
            std::printf("%8d %12.2f %12.2f %7.2f\n", n, ours, fftw, ours / fftw);
        }
    }
    return 0;
}
