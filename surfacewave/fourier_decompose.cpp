#include "surfacewave/fourier_decompose.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "base/position.h"
#include "base/waveform_store.h"
#include "dsp/fourier.h"
#include "platform/language.h"
#include "platform/uihost.h"

namespace velk {

int HarmonicDecompositionSelected(WaveformStore& store, UiHost& ui, int language)
{
    CParameterSet& p = store.Params();
    const int traces = std::min(store.TraceCount(), static_cast<int>(p.selectionFlags.size()));
    int selected = -1;
    for (int i = 0; i < traces && selected < 0; ++i) {
        if (p.selectionFlags[static_cast<size_t>(i)] == 1) {
            selected = i;
        }
    }
    if (selected < 0) {
        ui.Message(Msg(language, "Error ! No trace is selected !", "エラー ! トレースが選択されていません !"),
                   MsgButtons::Ok, MsgIcon::Warning);
        return 0;
    }
    const CTraceHeader source = store.current.headers[static_cast<size_t>(selected)];
    const float intervalMs = source.intervalUs * 0.001f;
    if (!(intervalMs > 0.0f) || !std::isfinite(intervalMs)) {
        ui.Message(Msg(language, "The sampling time of this record is not valid."), MsgButtons::Ok, MsgIcon::Warning);
        return 0;
    }
    const int n = store.TraceSamples(selected);
    const int length = PowerOfTwoLength(n, 1);
    std::vector<double> re(static_cast<size_t>(length), 0.0), im(static_cast<size_t>(length), 0.0);
    const auto row = store.current.rows.Row(selected);
    std::copy_n(row.begin(), n, re.begin());
    CFourier::Fft(re.data(), im.data(), length, 0, 0);

    const int count = std::min(length / 2, store.MaxTraces());
    const double df = 1000.0 / (static_cast<double>(length) * intervalMs);
    for (int j = 0; j < count; ++j) {
        const double amplitude = (j == 0 ? 1.0 : 2.0) * std::hypot(re[static_cast<size_t>(j)], im[static_cast<size_t>(j)]);
        const double phase = std::atan2(im[static_cast<size_t>(j)], re[static_cast<size_t>(j)]);
        const auto out = store.current.rows.Row(j);
        for (int t = 0; t < n; ++t) {
            out[static_cast<size_t>(t)] = static_cast<float>(
                amplitude * std::cos(2.0 * std::numbers::pi * j * t / length + phase));
        }
        CTraceHeader& h = store.current.headers[static_cast<size_t>(j)];
        h.Set(j + 1, MetresToHundredths(j * df).value_or(0), 0, 10, 1, 0.0f, source.intervalUs, n);
    }
    p.traceCount = count;
    p.samplesPerTrace = n;
    p.sampleInterval = intervalMs;
    std::fill(p.selectionFlags.begin(), p.selectionFlags.end(), 0);
    store.dataKind() = kTimeDomain;
    return 1;
}

}  // namespace velk
