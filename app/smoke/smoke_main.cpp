// A console run of the foundation: a profile in a temporary folder, trace headers and a
// matrix written and read back, and a summary. Exits 0 when every round trip matched.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "base/matrix2d.h"
#include "base/position.h"
#include "base/trace_header.h"
#include "platform/atomic_file.h"
#include "platform/byte_io.h"
#include "platform/profile.h"

namespace fs = std::filesystem;
using namespace velk;

namespace {

int failures = 0;

void Check(bool ok, const char* what)
{
    std::printf("  %-44s %s\n", what, ok ? "ok" : "FAILED");
    if (!ok) ++failures;
}

fs::path MakeTempFolder()
{
    std::string pattern = (fs::temp_directory_path() / "velkarine-smoke-XXXXXX").string();
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (!mkdtemp(buf.data())) return {};
    return fs::path(buf.data());
}

}  // namespace

int main()
{
    fs::path dir = MakeTempFolder();
    if (dir.empty()) {
        std::fprintf(stderr, "smoke: cannot make a temporary folder\n");
        return 1;
    }
    std::printf("Velkarine foundation smoke run in %s\n", dir.c_str());

    // Profile: write, reopen, read back.
    std::string iniPath = (dir / "Velkarine.ini").string();
    {
        velk::Profile profile(iniPath);
        velk::Profile::Batch batch(profile);
        profile.SetInt("General", "MAXTRACES", 128);
        profile.SetFloat("General", "plotscale", 20.0f);
        profile.SetString("general", "csUnit", "V");
        Check(batch.Commit(), "profile written");
    }
    {
        velk::Profile profile(iniPath);
        int32_t maxTraces = 0;
        float plotScale = 0.0f;
        std::string unit;
        Check(profile.ReadInt("general", "maxtraces", maxTraces) && maxTraces == 128, "profile int read back");
        Check(profile.ReadFloat("General", "plotscale", plotScale) && plotScale == 20.0f, "profile float read back");
        Check(profile.ReadString("GENERAL", "csUnit", unit) && unit == "V", "profile string read back");
    }

    // Trace headers: 24 receivers every 5 m, source at 27.5 m, written and read back.
    std::vector<CTraceHeader> headers(24);
    for (int i = 0; i < 24; ++i) {
        int32_t receiver = velk::MetresToHundredths(5.0 * i).value_or(0);
        int32_t source = velk::MetresToHundredths(27.5).value_or(0);
        headers[i].Set(i + 1, receiver, source, 0, 1, 0.0f, 250.0f, 4000);
    }
    std::string headerPath = (dir / "headers.bin").string();
    {
        velk::AtomicFileWriter file(headerPath);
        velk::ByteSink sink(file);
        for (const auto& h : headers) h.WriteBinary(sink);
        Check(sink.Ok() && file.Commit(), "headers written");
    }
    {
        velk::ByteSource source = velk::ByteSource::FromFile(headerPath);
        bool same = source.Ok() && source.Size() == 24 * CTraceHeader::kBinarySize;
        for (const auto& h : headers) {
            CTraceHeader back;
            same = same && back.ReadBinary(source) == CTraceHeader::kBinarySize && back == h;
        }
        Check(same, "24 headers read back");
    }

    // Matrix: a 24 x 4000 record of a ramp, copied and compared.
    auto matrix = Alloc2dFloat(0, 23, 0, 3999);
    for (int i = 0; i <= 23; ++i)
        for (int j = 0; j <= 3999; ++j) matrix[i][j] = static_cast<float>(i * 4000 + j);
    auto copy = matrix;
    bool same = copy.Rows() == 24 && copy.Cols() == 4000;
    for (int i = 0; i <= 23 && same; ++i)
        for (int j = 0; j <= 3999 && same; ++j) same = copy[i][j] == matrix[i][j];
    Check(same, "24 x 4000 matrix copied");

    std::error_code ec;
    fs::remove_all(dir, ec);
    std::printf("summary: %d traces, %zu header bytes, %zu samples, %d failure(s)\n", 24,
                24 * CTraceHeader::kBinarySize, matrix.Rows() * matrix.Cols(), failures);
    if (failures == 0) std::printf("smoke: ok\n");
    return failures == 0 ? 0 : 1;
}
