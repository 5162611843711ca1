// ReadSeg2 of a 1024 x 16384 float record (64 MiB of samples) from the page cache, as
// ReadSeg2File does it (the file read whole, then the reader into a fresh load target), against
// a plain read() of the same file into a buffer made once, in the same run; and the reader
// alone over bytes already in memory. All report bytes per second of the file.
//
//   cmake -S . -B build-bench -G Ninja -DVELK_BENCH=ON -DCMAKE_BUILD_TYPE=Release
//   cmake --build build-bench --target seg2_read_bench && build-bench/bench/seg2_read
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/waveform_store.h"
#include "formats/load_target.h"
#include "formats/seg2.h"
#include "platform/byte_io.h"
#include "platform/uihost.h"

namespace {

constexpr int kTraces = 1024;
constexpr int kSamples = 16384;

// The record file, written once per run into the temporary folder and removed at exit.
class RecordFile {
public:
    RecordFile()
    {
        path_ = (std::filesystem::temp_directory_path() / ("velk-seg2-bench-" + std::to_string(::getpid()) + ".sg2")).string();
        velk::Matrix2D<float> rows(0, kTraces - 1, 0, kSamples - 1);
        std::vector<velk::CTraceHeader> headers(kTraces);
        for (int i = 0; i < kTraces; ++i) {
            for (int k = 0; k < kSamples; ++k) rows[i][k] = static_cast<float>((k * 7 + i * 13) % 2001 - 1000) * 0.001f;
            headers[i].Set(i, 100 * i, -250, 0, 1, 0.0f, 125.0f, kSamples);
        }
        const velk::WriteStatus status = velk::WriteSeg2File(path_, rows, headers, kTraces, 4, 1.0f);
        if (!status) {
            std::fprintf(stderr, "cannot write %s: %s\n", path_.c_str(), status.error.c_str());
            std::exit(1);
        }
        size_ = std::filesystem::file_size(path_);
    }
    ~RecordFile() { std::filesystem::remove(path_); }
    const std::string& Path() const { return path_; }
    int64_t Size() const { return static_cast<int64_t>(size_); }

private:
    std::string path_;
    uintmax_t size_ = 0;
};

RecordFile& File()
{
    static RecordFile file;
    return file;
}

void BM_ReadSeg2File(benchmark::State& state)
{
    const RecordFile& file = File();
    velk::NullUiHost ui;
    velk::FormatContext ctx{ui, velk::kLanguageEnglish, velk::NullLog()};
    const int rowLength = velk::StoreRowLength(kSamples);
    // One untimed read first: the file is then in the page cache, and the process has met the
    // first-use costs of its memory (a first huge-page fault in a fresh VM can take 0.5 s).
    {
        velk::ByteSource source = velk::ByteSource::FromFile(file.Path());
        velk::LoadTarget target(0, kTraces, rowLength, kSamples);
        (void)velk::ReadSeg2(source, target, 1, ctx);
    }
    for (auto _ : state) {
        velk::ByteSource source = velk::ByteSource::FromFile(file.Path());
        velk::LoadTarget target(0, kTraces, rowLength, kSamples);
        const int n = velk::ReadSeg2(source, target, 1, ctx);
        if (n != kTraces) state.SkipWithError("the record did not read");
        benchmark::DoNotOptimize(target.RowIfAny(kTraces - 1).data());
    }
    state.SetBytesProcessed(state.iterations() * file.Size());
}

// The reader alone: the file's bytes already in memory, a fresh target each time.
void BM_ReadSeg2FromMemory(benchmark::State& state)
{
    const RecordFile& file = File();
    const velk::ByteSource whole = velk::ByteSource::FromFile(file.Path());
    const std::span<const uint8_t> bytes = whole.Peek(static_cast<size_t>(whole.Size()));
    velk::NullUiHost ui;
    velk::FormatContext ctx{ui, velk::kLanguageEnglish, velk::NullLog()};
    for (auto _ : state) {
        velk::ByteSource source = velk::ByteSource::FromSpan(bytes);
        velk::LoadTarget target(0, kTraces, velk::StoreRowLength(kSamples), kSamples);
        if (velk::ReadSeg2(source, target, 1, ctx) != kTraces) state.SkipWithError("the record did not read");
        benchmark::DoNotOptimize(target.RowIfAny(kTraces - 1).data());
    }
    state.SetBytesProcessed(state.iterations() * file.Size());
}

// The reference: read() of the whole file into a buffer made once.
void BM_PlainRead(benchmark::State& state)
{
    const RecordFile& file = File();
    std::unique_ptr<char[]> buffer(new char[static_cast<size_t>(file.Size())]);
    for (auto _ : state) {
        const int fd = ::open(file.Path().c_str(), O_RDONLY | O_CLOEXEC);
        int64_t got = 0;
        while (got < file.Size()) {
            const ssize_t n = ::read(fd, buffer.get() + got, static_cast<size_t>(file.Size() - got));
            if (n <= 0) break;
            got += n;
        }
        ::close(fd);
        if (got != file.Size()) state.SkipWithError("short read");
        benchmark::DoNotOptimize(buffer.get());
    }
    state.SetBytesProcessed(state.iterations() * file.Size());
}

}  // namespace

BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadSeg2File)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadSeg2FromMemory)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
