#include "surfacewave/taup_stack.h"

#include <algorithm>
#include <cmath>

#include "dsp/taup.h"
#include "surfacewave/taup_settings.h"

namespace velk {

int TauPCount(const TauPSettings& settings)
{
    return CTauPTransformDlg::NumberOfP(settings.startSlowness, settings.endSlowness, settings.slownessStep);
}

float TauPValue(const TauPSettings& settings, int i)
{
    return settings.startSlowness + static_cast<float>(i) * settings.slownessStep;
}

int TauPStackRecord(const Matrix2D<float>& rows, std::span<const CTraceHeader> headers, int traceCount,
                    const TauPSettings& settings, std::vector<float>& energy, std::vector<float>& axis,
                    int velocityMode)
{
    energy.clear();
    axis.clear();
    traceCount = std::min({traceCount, static_cast<int>(headers.size()), static_cast<int>(rows.Rows())});
    const int np = TauPCount(settings);
    if (np <= 0 || traceCount <= 0 || rows.Empty()) {
        return 0;
    }
    const int samples = std::clamp(headers[0].samples, 0, static_cast<int>(rows.Cols()));
    if (samples <= 0) {
        return 0;
    }
    std::vector<double> positions(static_cast<size_t>(traceCount));
    for (int t = 0; t < traceCount; ++t) {
        positions[static_cast<size_t>(t)] = headers[static_cast<size_t>(t)].receiverHundredths * 0.01;
    }
    const double reference = headers[0].sourceHundredths * 0.01;
    const float dt = headers[0].intervalUs * 0.001f;

    Matrix2D<float> panel(0, np - 1, 0, samples - 1);
    CTauPTransformDlg::SlantStack(rows, panel, settings.startSlowness, settings.slownessStep, np, samples, traceCount,
                                  dt, positions, reference, settings.stackingMode, velocityMode);
    energy.assign(static_cast<size_t>(np), 0.0f);
    axis.assign(static_cast<size_t>(np), 0.0f);
    float largest = 0.0f;
    for (int i = 0; i < np; ++i) {
        double sum = 0.0;
        for (const float v : panel.Row(panel.RowLow() + i)) {
            sum += static_cast<double>(v) * v;
        }
        const auto e = static_cast<float>(sum);
        energy[static_cast<size_t>(i)] = std::isfinite(e) ? e : 0.0f;
        largest = std::max(largest, energy[static_cast<size_t>(i)]);
        const float value = TauPValue(settings, i);
        axis[static_cast<size_t>(i)] = velocityMode == 1 ? value : (value != 0.0f ? 1.0f / value : 0.0f);
    }
    if (largest > 0.0f) {
        for (float& e : energy) e /= largest;
    }
    return np;
}

}  // namespace velk
