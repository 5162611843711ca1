#include "surfacewave/synthetic_microtremor.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <limits>

#include "dsp/fourier.h"
#include "dsp/synthetic.h"
#include "formats/format_support.h"
#include "platform/numtext.h"

namespace velk {

SyntheticMicrotremor::SyntheticMicrotremor(std::optional<std::string> sourceText)
    : phaseVelocity(static_cast<size_t>(kSamples / 2 + 1), kDefaultVelocity)
{
    if (sourceText) {
        haveSource_ = true;
        numbers_ = ParseSourceNumbers(*sourceText);
    }
}

SyntheticMicrotremor SyntheticMicrotremor::FromFile(const std::string& path)
{
    constexpr std::streamoff kLargest = std::streamoff{64} << 20;
    std::ifstream file(path, std::ios::binary);
    if (!file) return SyntheticMicrotremor();
    file.seekg(0, std::ios::end);
    const std::streamoff size = file.tellg();
    if (size < 0 || size > kLargest) return SyntheticMicrotremor(std::string());
    file.seekg(0);
    std::string text(static_cast<size_t>(size), '\0');
    file.read(text.data(), size);
    text.resize(static_cast<size_t>(std::max<std::streamsize>(file.gcount(), 0)));
    return SyntheticMicrotremor(std::move(text));
}

std::vector<float> SyntheticMicrotremor::ParseSourceNumbers(std::string_view text)
{
    std::vector<float> out;
    size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && (text[at] == ' ' || text[at] == '\t' || text[at] == '\n' || text[at] == '\r')) ++at;
        if (at == text.size()) break;
        size_t end = at;
        while (end < text.size() && text[end] != ' ' && text[end] != '\t' && text[end] != '\n' && text[end] != '\r') {
            ++end;
        }
        const std::optional<float> value = ParseFloat(text.substr(at, end - at));
        if (!value) break;
        out.push_back(*value);
        at = end;
    }
    return out;
}

int SyntheticMicrotremor::Generate(std::span<const CTraceHeaderEx> receivers, std::span<CTraceHeader> headers,
                                   Matrix2D<float>& rows, int receiverCount, float angle, int source,
                                   int directionIndex, uint32_t seed, LogSink& log)
{
    const int n = std::min({receiverCount, static_cast<int>(receivers.size()), static_cast<int>(headers.size()),
                            static_cast<int>(rows.Rows())});
    if (source == kWaveform && !haveSource_) samples = 0;
    const int N = samples;
    if (n <= 0 || N < 2 || static_cast<int>(rows.Cols()) < N || interval <= 0.0f) {
        for (int i = 0; i < std::max(n, 0); ++i) {
            headers[static_cast<size_t>(i)].Set(i + 1, i * 100, 0, 10, 1, 0.0f, interval * 1000.0f, 0);
        }
        return 0;
    }
    const auto length = static_cast<size_t>(N);

    // The source's spectrum, the same for every receiver.
    std::vector<double> sr(length, 0.0), si(length, 0.0);
    if (source == kWaveform) {
        for (size_t j = 0; j < length && next_ < numbers_.size(); ++j) sr[j] = numbers_[next_++];
    } else {
        sr[0] = 1.0;
    }
    CFourier::Fft(sr.data(), si.data(), N, 0, 0);

    const double theta = static_cast<double>(angle) * 0.017453292;
    const double dx = -std::sin(theta), dy = std::cos(theta);
    const double df = 1000.0 / (N * static_cast<double>(interval));
    SyntheticRandom random(seed);
    const double u = random.Next() * (N * static_cast<double>(interval) * 0.001) / 32768.0;

    std::vector<double> p(static_cast<size_t>(n));
    double m = std::numeric_limits<double>::infinity();
    for (size_t i = 0; i < p.size(); ++i) {
        p[i] = dx * receivers[i].x + dy * receivers[i].y;
        m = std::min(m, p[i]);
    }

    std::string text;
    std::vector<double> re(length), im(length);
    const size_t half = length / 2;
    const size_t bins = std::min(half + 1, phaseVelocity.size());
    for (size_t i = 0; i < p.size(); ++i) {
        const double r = p[i] - m;
        text += FormatC("%d %f %f %f \n", static_cast<int>(i), r, df,
                        r / static_cast<double>(phaseVelocity.empty() ? kDefaultVelocity : phaseVelocity[0]));
        std::fill(re.begin(), re.end(), 0.0);
        std::fill(im.begin(), im.end(), 0.0);
        for (size_t j = 0; j < bins; ++j) {
            const double c = phaseVelocity[j];
            const double phi = -6.2831855 * df * static_cast<double>(j) * (u + (c != 0.0 ? r / c : 0.0));
            const double cs = std::cos(phi), sn = std::sin(phi);
            re[j] = sr[j] * cs - si[j] * sn;
            im[j] = sr[j] * sn + si[j] * cs;
        }
        im[half] = 0.0;  // the Nyquist bin of a real trace is real
        for (size_t j = half + 1; j < length; ++j) {
            re[j] = re[length - j];
            im[j] = -im[length - j];
        }
        CFourier::Fft(re.data(), im.data(), N, 0, 1);
        const std::span<float> row = rows.Row(rows.RowLow() + static_cast<int>(i));
        for (size_t j = 0; j < length; ++j) {
            row[j] = directionIndex == 0 ? static_cast<float>(re[j]) : row[j] + static_cast<float>(re[j]);
        }
        headers[i].Set(static_cast<int32_t>(i) + 1, static_cast<int32_t>(i) * 100, 0, 10, 1, 0.0f,
                       interval * 1000.0f, N);
    }
    log.Rewrite("mam.txt", text);
    return n;
}

}  // namespace velk
