#include "survey/olvenar_link.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/uihost.h"
#include "survey/sibling_launch.h"

namespace velk {

namespace {

// Offsets of the layouts.
constexpr size_t kA = 0, kAX = 4, kAY = 4100, kALabel = 8196;
constexpr size_t kB = 8356, kBX = 8360, kBY = 41128, kBLabel = 73896;
constexpr size_t kCCount = 8356, kCN = 8360, kCValue = 8372, kCX = 8384, kCY = 106688, kCLabel = 204992;
constexpr size_t kCStride = 32768;
constexpr size_t kDTraces = 0, kDSamples = 4, kDRows = 8, kDRowStride = 4096, kDPositions = 204808, kDTimes = 205008;

void PutU32(uint8_t* at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(v >> (8 * i));
}
void PutI32(uint8_t* at, int32_t v) { PutU32(at, static_cast<uint32_t>(v)); }
void PutF32(uint8_t* at, float v) { PutU32(at, std::bit_cast<uint32_t>(v)); }

void PutFloats(uint8_t* at, const float* values, int n)
{
    for (int i = 0; i < n; ++i) PutF32(at + 4 * static_cast<size_t>(i), values[i]);
}

// At most 79 bytes, not ending inside a UTF-8 sequence; the rest of the field zero.
void PutLabel(uint8_t* at, const std::string& text)
{
    size_t n = std::min(text.size(), COlvenarLink::kLabelLength);
    if (n < text.size()) {
        while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
    }
    std::memset(at, 0, COlvenarLink::kLabelLength + 1);
    std::memcpy(at, text.data(), n);
}

int Points(int count, const float* x, const float* y, int capacity)
{
    return (x && y) ? std::clamp(count, 0, capacity) : 0;
}

}  // namespace

std::string SharedBlockFailureText(int language, const std::string& name)
{
    return FormatC(Msg(language, "Cannot create the shared memory block %s.", "共有メモリ %s を作成できません。").c_str(),
                   name.c_str());
}

COlvenarLink::COlvenarLink(const Profile& profile) : path(SiblingProgramPath("Olvenar"))
{
    profile.ReadString(kSection, kKey, path);
}

bool COlvenarLink::Release(Profile& profile)
{
    memory_.Close();
    return profile.SetString(kSection, kKey, path);
}

uint8_t* COlvenarLink::Map()
{
    if (memory_.Address()) return memory_.Address();
    error_.clear();
    return memory_.Create(kBlockName, kBlockSize, &error_);
}

bool COlvenarLink::PutCurve(int count, const float* x, const float* y, const std::string& label1,
                            const std::string& label2)
{
    uint8_t* b = Map();
    if (!b) return false;
    const int n = Points(count, x, y, kCurvePoints);
    PutI32(b + kA, n);
    PutFloats(b + kAX, x, n);
    PutFloats(b + kAY, y, n);
    PutLabel(b + kALabel, label1);
    PutLabel(b + kALabel + 80, label2);
    return true;
}

bool COlvenarLink::PutSpectrum(int count, const float* x, const float* y, const std::string& label1,
                               const std::string& label2)
{
    uint8_t* b = Map();
    if (!b) return false;
    const int n = Points(count, x, y, kMaxPoints);
    PutI32(b + kB, n);
    PutFloats(b + kBX, x, n);
    PutFloats(b + kBY, y, n);
    PutLabel(b + kBLabel, label1);
    PutLabel(b + kBLabel + 80, label2);
    return true;
}

bool COlvenarLink::BeginChannels(const std::string& label1, const std::string& label2)
{
    uint8_t* b = Map();
    if (!b) return false;
    PutLabel(b + kCLabel, label1);
    PutLabel(b + kCLabel + 80, label2);
    channelCount_ = 0;
    PutI32(b + kCCount, 0);
    channelsBegun = 1;
    return true;
}

bool COlvenarLink::PutChannel(int channel, int value, int count, const float* x, const float* y)
{
    if (channel < 0 || channel >= kMaxChannels || channelsBegun != 1) return true;
    uint8_t* b = Map();
    if (!b) return false;
    const size_t c = static_cast<size_t>(channel);
    const int n = Points(count, x, y, kMaxPoints);
    PutI32(b + kCN + 4 * c, n);
    PutI32(b + kCValue + 4 * c, value);
    PutFloats(b + kCX + kCStride * c, x, n);
    PutFloats(b + kCY + kCStride * c, y, n);
    channelCount_ = std::min(channelCount_ + 1, kMaxChannels);
    PutI32(b + kCCount, channelCount_);
    return true;
}

bool COlvenarLink::PutMatrix(const Matrix2D<float>& rows, std::span<const CTraceHeader> headers, int traceCount,
                             double stepUs)
{
    uint8_t* b = Map();
    if (!b) return false;
    const int n = std::clamp(std::min(traceCount, static_cast<int>(headers.size())), 0, kMatrixTraces);
    const int m = n > 0 ? std::clamp(headers[0].samples, 0, kMatrixSamples) : 0;
    PutI32(b + kDTraces, n);
    PutI32(b + kDSamples, m);
    for (int i = 0; i < n; ++i) {
        const size_t k = static_cast<size_t>(i);
        if (i >= rows.RowLow() && i <= rows.RowHigh()) {
            const std::span<const float> row = rows.Row(i);
            PutFloats(b + kDRows + kDRowStride * k, row.data(), std::min(m, static_cast<int>(row.size())));
        }
        PutF32(b + kDPositions + 4 * k, static_cast<float>(headers[k].receiverHundredths / 100));
    }
    const double intervalUs = stepUs > 0.0 ? stepUs : n > 0 ? headers[0].intervalUs : 0.0;
    for (int j = 0; j < m; ++j) {
        PutF32(b + kDTimes + 4 * static_cast<size_t>(j), static_cast<float>(j * intervalUs * 0.001));
    }
    return true;
}

int COlvenarLink::Launch(const std::string& kind, const std::string& layout, const LaunchServices& services)
{
    if (!Map()) {
        services.ui.Message(SharedBlockFailureText(services.language, kBlockName), MsgButtons::Ok, MsgIcon::Error);
        return 0;
    }
    return LaunchWithRetry(SiblingProgram::Olvenar, path, OlvenarCommandLine(kind, layout), services);
}

}  // namespace velk
