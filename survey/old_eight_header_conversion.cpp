#include "survey/old_eight_header_conversion.h"

#include "base/trace_header.h"
#include "formats/load_target.h"
#include "platform/paths.h"
#include "platform/process.h"

namespace velk {

std::string KelvarnPath() { return SiblingProgramPath("Kelvarn"); }

std::string ConvertedOutputPath(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const size_t mark = path.find(".8hd", nameStart);
    return (mark == std::string::npos ? path : path.substr(0, mark)) + "_new.8hd";
}

int ReadConverterOutput(ByteSource& file, LoadTarget& target)
{
    int count = 0;
    for (;;) {
        CTraceHeader h;
        if (h.ReadBinary(file) != CTraceHeader::kBinarySize) break;
        if (h.samples < 1) break;
        if (h.samples > target.MaxSample()) return -1;
        const uint64_t bytes = static_cast<uint64_t>(h.samples) * 4;
        if (file.Remaining() < bytes) break;
        if (count >= target.Capacity()) return -1;
        const std::span<float> row = target.Row(count);
        for (int j = 0; j < h.samples; ++j) file.ReadF32(row[static_cast<size_t>(j)], ByteOrder::Little);
        target.Header(count) = h;
        ++count;
    }
    return count;
}

std::optional<ByteSource> AwaitConverterOutput(const std::string& path, pid_t pid, ProcessLauncher& launcher,
                                               const Sleeper& sleep)
{
    constexpr int kTries = 5;
    sleep(500);
    for (int t = 0; t < kTries; ++t) {
        if (t > 0) sleep(1000);
        if (!launcher.HasExited(pid)) continue;
        ByteSource file = ByteSource::FromFile(path);
        if (file.Ok()) return file;
    }
    sleep(500);
    return std::nullopt;
}

}  // namespace velk
