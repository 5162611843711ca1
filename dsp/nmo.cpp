#include "dsp/nmo.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/language.h"
#include "platform/uihost.h"

namespace velk {

DialogRequest CNmoCorrectionDlg::Request(int language)
{
    DialogRequest request(kClass, Msg(language, kTitle, "NMO補正"));
    request.Float("Velocity", velocity, kMin, kMax).Label(Msg(language, "Velocity", "速度")).Unit("km/sec");
    return request;
}

void NmoCorrect(int count, std::span<const CTraceHeader> headers, Matrix2D<float>& rows, float velocity)
{
    if (!(velocity > 0.0f) || !std::isfinite(velocity)) {
        return;
    }
    const int traces = std::clamp(count, 0, static_cast<int>(std::min(headers.size(), rows.Rows())));
    const double v = static_cast<double>(velocity * 1000.0f);
    std::vector<float> copy;
    for (int i = 0; i < traces; ++i) {
        const CTraceHeader& h = headers[static_cast<size_t>(i)];
        const std::span<float> row = rows.Row(rows.RowLow() + i);
        const int n = std::clamp(h.samples, 0, static_cast<int>(std::min<size_t>(row.size(), 0x7fffffff)));
        const auto dt = static_cast<double>(static_cast<float>(static_cast<double>(h.intervalUs) * 0.001 * 0.001));
        if (!(dt > 0.0) || !std::isfinite(dt)) {
            continue;
        }
        const auto x = static_cast<double>(static_cast<float>(
            std::fabs(h.receiverHundredths / 100.0 - h.sourceHundredths / 100.0)));
        copy.assign(row.begin(), row.begin() + n);
        for (int j = 0; j < n; ++j) {
            const double t0 = (j + 1) * dt;
            const double g = x / (v * t0);
            // k >= j; a moveout beyond the trace (or a non-finite one) gives 0.
            const double move = t0 * (std::sqrt(g * g + 1.0) - 1.0) / dt;
            float value = 0.0f;
            if (move < static_cast<double>(n - j)) {
                const int k = j + static_cast<int>(move);
                value = copy[static_cast<size_t>(k)];
            }
            copy[static_cast<size_t>(j)] = value;
        }
        std::copy(copy.begin(), copy.end(), row.begin());
    }
}

CTraceHeader StackToOne(int count, const CTraceHeader& header, const Matrix2D<float>& rows, std::span<float> sum)
{
    const int traces = std::clamp(count, 0, static_cast<int>(rows.Rows()));
    const int n = std::clamp(header.samples, 0,
                             static_cast<int>(std::min({sum.size(), rows.Cols(), size_t{0x7fffffff}})));
    for (int i = 0; i < n; ++i) {
        float s = 0.0f;
        for (int t = 0; t < traces; ++t) {
            s += rows[rows.RowLow() + t][rows.ColLow() + i];
        }
        sum[static_cast<size_t>(i)] = s;
    }
    CTraceHeader out = header;
    out.receiverHundredths =
        static_cast<int32_t>((static_cast<int64_t>(header.receiverHundredths) + header.sourceHundredths) / 2);
    return out;
}

}  // namespace velk
