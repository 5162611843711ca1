// Archiving of 100 records of 24 x 16384 float samples (about 160 MB) from a data folder to a
// medium folder: the Archiver's "today's records" (a copy under a temporary name, fsync and
// rename per file, then the move into the local archive) against std::filesystem::copy_file
// plus fsync of the same files, in the same run. Both folders are under the temporary folder.
//
//   cmake -S . -B build-bench -G Ninja -DVELK_BENCH=ON -DVELK_TESTS=OFF -DCMAKE_BUILD_TYPE=Release
//   cmake --build build-bench --target archive_bench && build-bench/bench/archive --benchmark_repetitions=5
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "acquisition/archiver.h"
#include "base/matrix2d.h"
#include "base/trace_header.h"
#include "formats/seg2.h"
#include "platform/clock.h"
#include "platform/file_ops.h"
#include "platform/uihost.h"

namespace {

namespace fs = std::filesystem;
constexpr int kRecords = 100;
constexpr int kTraces = 24;
constexpr int kSamples = 16384;

// Yes to the question; every other box is OK.
class YesUiHost : public velk::NullUiHost {
protected:
    velk::MsgResult DoMessage(const velk::MessageRequest& request) override
    {
        return request.buttons == velk::MsgButtons::YesNo ? velk::MsgResult::Yes : velk::MsgResult::Ok;
    }
};

// The records, written once into a pristine folder; each run links them into the data folder.
class Site {
public:
    Site()
    {
        root_ = fs::temp_directory_path() / ("velk-archive-bench-" + std::to_string(::getpid()));
        fs::create_directories(root_ / "pristine");
        velk::Matrix2D<float> rows(0, kTraces - 1, 0, kSamples - 1);
        std::vector<velk::CTraceHeader> headers(kTraces);
        for (int i = 0; i < kTraces; ++i) {
            for (int k = 0; k < kSamples; ++k) rows[i][k] = static_cast<float>((k * 7 + i * 13) % 2001 - 1000) * 0.001f;
            headers[i].Set(i, 100 * i, -250, 0, 1, 0.0f, 125.0f, kSamples);
        }
        for (int r = 1; r <= kRecords; ++r) {
            char name[32];
            std::snprintf(name, sizeof name, "qkaa%04d.sg2", r);
            const std::string path = (root_ / "pristine" / name).string();
            if (!velk::WriteSeg2File(path, rows, headers, kTraces, 4, 1.0f)) {
                std::fprintf(stderr, "cannot write %s\n", path.c_str());
                std::exit(1);
            }
            names_.push_back(name);
            bytes_ += static_cast<int64_t>(fs::file_size(path));
        }
    }
    ~Site() { fs::remove_all(root_); }

    // A fresh data folder holding the records and an empty medium folder.
    void Reset()
    {
        fs::remove_all(Data());
        fs::remove_all(Medium());
        fs::create_directory(Data());
        fs::create_directory(Medium());
        for (const std::string& n : names_) fs::create_hard_link(root_ / "pristine" / n, fs::path(Data()) / n);
    }
    std::string Data() const { return (root_ / "data").string(); }
    std::string Medium() const { return (root_ / "medium").string(); }
    const std::vector<std::string>& Names() const { return names_; }
    int64_t Bytes() const { return bytes_; }

private:
    fs::path root_;
    std::vector<std::string> names_;
    int64_t bytes_ = 0;
};

Site& TheSite()
{
    static Site site;
    return site;
}

void BM_Archiver(benchmark::State& state)
{
    Site& site = TheSite();
    velk::PosixFileOps files;
    velk::SystemClock clock;
    YesUiHost ui;
    velk::Archiver archiver(files, clock, ui, -1);
    for (auto _ : state) {
        state.PauseTiming();
        site.Reset();
        state.ResumeTiming();
        const velk::Archiver::Tally t = archiver.CopyTodayRecords(site.Data(), site.Medium());
        if (t.filesCopied != kRecords || t.filesMoved != kRecords) state.SkipWithError("not every record was archived");
    }
    state.SetBytesProcessed(state.iterations() * site.Bytes());
}

void BM_CopyFileAndFsync(benchmark::State& state)
{
    Site& site = TheSite();
    for (auto _ : state) {
        state.PauseTiming();
        site.Reset();
        state.ResumeTiming();
        for (const std::string& n : site.Names()) {
            const std::string to = site.Medium() + "/" + n;
            fs::copy_file(site.Data() + "/" + n, to);
            const int fd = ::open(to.c_str(), O_WRONLY | O_CLOEXEC);
            if (fd < 0 || ::fsync(fd) != 0) state.SkipWithError("fsync failed");
            if (fd >= 0) ::close(fd);
        }
    }
    state.SetBytesProcessed(state.iterations() * site.Bytes());
}

BENCHMARK(BM_Archiver)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_CopyFileAndFsync)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
