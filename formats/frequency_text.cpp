#include "formats/frequency_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>

#include "base/position.h"
#include "platform/atomic_file.h"
#include "platform/numtext.h"

namespace velk {

namespace {

// The most bytes a file may take per value before it is refused unread: a written value takes
// about 17 ("-1.23456789e-05 \n").
constexpr uint64_t kBytesPerValue = 64;
constexpr uint64_t kHeaderBytes = 4096;

// Below this magnitude a double rounds to a finite float (FLT_MAX plus half its ulp).
constexpr double kFloatLimit = 0x1.ffffffp+127;

// A number read as the reader's "%f" would read it, kept only when it is a finite float.
bool ReadFiniteFloat(TextScanner& scanner, float& out)
{
    double v = 0.0;
    if (!scanner.ReadDouble(v) || !(std::fabs(v) < kFloatLimit)) {
        return false;
    }
    out = static_cast<float>(v);
    return true;
}

FrequencyReadResult Fail(FrequencyReadError error)
{
    FrequencyReadResult result;
    result.error = error;
    return result;
}

// Fills values floats, or says why it could not: a token that is no number is Malformed, the
// end of the text is Short.
FrequencyReadError ReadValues(TextScanner& scanner, std::vector<float>& out, size_t values)
{
    for (size_t k = 0; k < values; ++k) {
        if (scanner.AtEnd()) {
            return FrequencyReadError::Short;
        }
        float v = 0.0f;
        if (!ReadFiniteFloat(scanner, v)) {
            return FrequencyReadError::Malformed;
        }
        out.push_back(v);
    }
    return FrequencyReadError::None;
}

}  // namespace

FrequencyReadResult ParseFrequencyDomainText(std::string_view text, int maxTraces, int maxValues)
{
    TextScanner scanner(text);
    int32_t traces = 0, values = 0;
    double step = 0.0, spacing = 0.0;
    for (int32_t* count : {&traces, &values}) {
        if (scanner.AtEnd()) {
            return Fail(FrequencyReadError::Short);
        }
        if (!scanner.ReadInt(*count)) {
            return Fail(FrequencyReadError::Malformed);
        }
    }
    if (traces < 1 || values < 1) {
        return Fail(FrequencyReadError::NoTraces);
    }
    if (traces > maxTraces) {
        return Fail(FrequencyReadError::TooManyTraces);
    }
    if (values > maxValues) {
        return Fail(FrequencyReadError::TooManyValues);
    }
    if (scanner.AtEnd()) {
        return Fail(FrequencyReadError::Short);
    }
    float stepF = 0.0f, spacingF = 0.0f;
    if (!ReadFiniteFloat(scanner, stepF) || !(stepF > 0.0f)) {
        return Fail(FrequencyReadError::Malformed);
    }
    if (scanner.AtEnd()) {
        return Fail(FrequencyReadError::Short);
    }
    if (!ReadFiniteFloat(scanner, spacingF)) {
        return Fail(FrequencyReadError::Malformed);
    }
    step = stepF;
    spacing = spacingF;
    const std::optional<int32_t> hundredths = MetresToHundredths(spacingF);
    // Every trace's receiver (trace number x spacing) must fit a header word.
    if (!hundredths || std::fabs(static_cast<double>(*hundredths)) * traces >
                           static_cast<double>(std::numeric_limits<int32_t>::max())) {
        return Fail(FrequencyReadError::Malformed);
    }

    FrequencyReadResult result;
    FrequencyDomainData& d = result.data;
    d.traceCount = traces;
    d.valuesPerTrace = values;
    d.frequencyStep = static_cast<float>(step);
    d.spacing = static_cast<float>(spacing);
    d.spacingHundredths = *hundredths;
    // Grown as values arrive: a short file announcing a large record never takes its memory.
    const size_t perTrace = static_cast<size_t>(values);
    for (int t = 0; t < traces; ++t) {
        FrequencyReadError e = ReadValues(scanner, d.re, perTrace);
        if (e == FrequencyReadError::None) {
            e = ReadValues(scanner, d.im, perTrace);
        }
        if (e != FrequencyReadError::None) {
            return Fail(e);
        }
    }
    if (!scanner.AtEnd()) {
        return Fail(FrequencyReadError::Trailing);
    }
    return result;
}

FrequencyReadResult ReadFrequencyDomainFile(const std::string& path, int maxTraces, int maxValues)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return Fail(FrequencyReadError::CannotOpen);
    }
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0) {
        return Fail(FrequencyReadError::CannotOpen);
    }
    const uint64_t limit = kHeaderBytes + kBytesPerValue * 2 * static_cast<uint64_t>(std::max(maxTraces, 0)) *
                                              static_cast<uint64_t>(std::max(maxValues, 0));
    if (static_cast<uint64_t>(size) > limit) {
        return Fail(FrequencyReadError::Trailing);
    }
    in.seekg(0, std::ios::beg);
    std::string text(static_cast<size_t>(size), '\0');
    if (!in.read(text.data(), size)) {
        return Fail(FrequencyReadError::CannotOpen);
    }
    return ParseFrequencyDomainText(text, maxTraces, maxValues);
}

std::string FrequencyDomainText(const Matrix2D<float>& re, const Matrix2D<float>& im, int traces, int values,
                                float frequencyStep, float spacing)
{
    traces = std::clamp(traces, 0, static_cast<int>(std::min(re.Rows(), im.Rows())));
    values = std::clamp(values, 0, static_cast<int>(std::min(re.Cols(), im.Cols())));
    std::string text = FormatC(" %d %d %.9g %.9g \n", traces, values, static_cast<double>(frequencyStep),
                               static_cast<double>(spacing));
    const auto n = static_cast<size_t>(values);
    text.reserve(text.size() + 18 * 2 * n * static_cast<size_t>(traces));
    char buffer[64];
    for (int t = 0; t < traces; ++t) {
        for (const Matrix2D<float>* m : {&re, &im}) {
            const std::span<const float> row = m->Row(t);
            for (size_t j = 0; j < n; ++j) {
                // What " %.9g \n" writes, without the C library's locale.
                buffer[0] = ' ';
                const auto [end, ec] = std::to_chars(buffer + 1, buffer + sizeof buffer - 2,
                                                     static_cast<double>(row[j]), std::chars_format::general, 9);
                (void)ec;  // 9 digits always fit
                end[0] = ' ';
                end[1] = '\n';
                text.append(buffer, static_cast<size_t>(end + 2 - buffer));
            }
        }
    }
    return text;
}

bool WriteFrequencyDomainFile(const std::string& path, const Matrix2D<float>& re, const Matrix2D<float>& im,
                              int traces, int values, float frequencyStep, float spacing, std::string* error)
{
    return WriteFileAtomically(path, FrequencyDomainText(re, im, traces, values, frequencyStep, spacing), error);
}

}  // namespace velk
