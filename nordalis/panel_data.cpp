#include "nordalis/panel_data.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "platform/atomic_file.h"
#include "platform/byte_io.h"
#include "platform/numtext.h"

namespace velk::nordalis {

namespace {

constexpr const char* kMemoryLog = "memory_errot.txt";
constexpr uint64_t kHeaderBytes = 20;

// The file the allocation and the release have always kept open for writing while they run.
class MemoryLog {
public:
    MemoryLog() : file_(std::fopen(kMemoryLog, "w")) {}
    ~MemoryLog()
    {
        if (file_) std::fclose(file_);
    }
    MemoryLog(const MemoryLog&) = delete;
    MemoryLog& operator=(const MemoryLog&) = delete;

private:
    std::FILE* file_;
};

// The value bytes 4 x n1 x n2 x n3, when the counts are ones the exporter could have written:
// neither a panel's value count n2 x n3 nor the whole count may leave 32 bits.
bool ValueBytes(int n1, int n2, int n3, uint64_t& bytes)
{
    const uint64_t perPanel = static_cast<uint64_t>(n2) * static_cast<uint64_t>(n3);
    const uint64_t total = perPanel * static_cast<uint64_t>(n1);
    if (perPanel > INT32_MAX || total > INT32_MAX) return false;
    bytes = total * 4;
    return true;
}

}  // namespace

Float3D::Float3D(int n1, int n2, int n3)
    : d2_(static_cast<size_t>(n2) + 1), d3_(static_cast<size_t>(n3) + 1),
      values_((static_cast<size_t>(n1) + 1) * d2_ * d3_, 0.0f)
{
}

bool ReadWfftHeader(ByteSource& source, PanelData& data)
{
    int32_t n1 = 0, n2 = 0, n3 = 0;
    float dt = 0.0f, df = 0.0f;
    const bool read = source.ReadI32(n1, ByteOrder::Little) == 4 && source.ReadI32(n2, ByteOrder::Little) == 4 &&
                      source.ReadI32(n3, ByteOrder::Little) == 4 && source.ReadF32(dt, ByteOrder::Little) == 4 &&
                      source.ReadF32(df, ByteOrder::Little) == 4;
    if (!read || n1 < 0 || n2 < 0 || n3 < 0) return false;
    data.n1 = n1;
    data.n2 = n2;
    data.n3 = n3;
    data.timeStep = dt;
    data.frequencyStep = df;
    return true;
}

Float3D AllocFloat3D(int n1, int n2, int n3)
{
    MemoryLog log;
    try {
        return Float3D(n1, n2, n3);
    } catch (const std::bad_alloc&) {
        FatalMemoryError("allocation failure 3 in f3tensor()");
    } catch (const std::length_error&) {
        FatalMemoryError("allocation failure 3 in f3tensor()");
    }
}

void ReleasePanels(PanelData& data)
{
    MemoryLog log;
    data.values = Float3D();
}

void ReadWfftPanels(ByteSource& source, PanelData& data)
{
    for (int i = 0; i < data.n1; ++i) {
        for (int j = 0; j < data.n2; ++j) {
            for (int k = 0; k < data.n3; ++k) {
                float v = 0.0f;
                source.ReadF32(v, ByteOrder::Little);
                data.values(i, j, k) = v;
            }
        }
    }
}

WfftReadResult ReadWfftFile(const std::string& path)
{
    ByteSource source = ByteSource::FromFile(path);
    return ReadWfft(source, path);
}

WfftReadResult ReadWfft(ByteSource& source, const std::string& path)
{
    WfftReadResult result;
    const std::string refusal = "Cannot read the time-frequency file " + path;
    PanelData header;
    uint64_t bytes = 0;
    if (!source.Ok() || !ReadWfftHeader(source, header) || !ValueBytes(header.n1, header.n2, header.n3, bytes) ||
        kHeaderBytes + bytes > source.Size()) {
        result.message = refusal;
        return result;
    }
    result.data = header;
    if (header.n1 == 0 || header.n2 == 0 || header.n3 == 0) return result;
    result.data.values = AllocFloat3D(header.n1, header.n2, header.n3);
    ReadWfftPanels(source, result.data);
    return result;
}

std::pair<float, float> PanelMinMax(const PanelData& data, int panel)
{
    bool any = false;
    float lo = 0.0f, hi = 0.0f;
    for (int j = 0; j < data.n2; ++j) {
        for (int k = 0; k < data.n3; ++k) {
            const float v = data.values(panel, j, k);
            if (!std::isfinite(v)) continue;
            if (!any) {
                lo = hi = v;
                any = true;
            }
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
    }
    return {lo, hi};
}

bool WritePanelText(const PanelData& data, int panel, const std::string& path, std::string* error)
{
    AtomicFileWriter file(path);
    std::string line;
    for (int j = 0; j < data.n2; ++j) {
        line.clear();
        for (int k = 0; k < data.n3; ++k) line += FormatC(" %f ", static_cast<double>(data.values(panel, j, k)));
        line += " \n";
        if (!file.Write(line)) break;
    }
    if (file.Commit()) return true;
    if (error) *error = file.Error();
    return false;
}

void FatalMemoryError(const char* text)
{
    if (std::FILE* f = std::fopen(kMemoryLog, "w")) {
        std::fputs("memory run-time error...\n", f);
        std::fprintf(f, "%s\n", text);
        std::fputs("...now exiting to system...\n", f);
        std::fclose(f);
    }
    std::exit(10);
}

}  // namespace velk::nordalis
