#include "survey/module_exchange.h"

#include <cmath>

#include "platform/numtext.h"

namespace velk {

std::string ModuleHeaderText(int traces, int samples, float intervalMs, std::span<const CTraceHeader> headers)
{
    std::string text = FormatC(" %d %d %f \n", traces, samples, static_cast<double>(intervalMs));
    for (int i = 0; i < traces && static_cast<size_t>(i) < headers.size(); ++i) {
        const CTraceHeader& h = headers[static_cast<size_t>(i)];
        text += FormatC(" %d %d %d %d %d %f %f %d \n", h.traceNumber, h.receiverHundredths, h.sourceHundredths, h.gain,
                        h.component, static_cast<double>(h.delayUs), static_cast<double>(h.intervalUs), h.samples);
    }
    return text;
}

std::string ModuleDataText(const Matrix2D<float>& rows, int traces, int samples)
{
    std::string text;
    for (int i = 0; i < traces; ++i) {
        const bool hasRow = !rows.Empty() && i >= rows.RowLow() && i <= rows.RowHigh();
        const std::span<const float> row = hasRow ? rows.Row(i) : std::span<const float>();
        for (int j = 0; j < samples; ++j) {
            const float v = static_cast<size_t>(j) < row.size() ? row[static_cast<size_t>(j)] : 0.0f;
            text += FormatC(" %.9g \n", static_cast<double>(v));
        }
    }
    return text;
}

bool ReadModuleOutput(std::string_view headerText, std::string_view dataText, int maxTraces, int maxSample,
                      ModuleOutput& out)
{
    TextScanner header(headerText);
    int32_t traces = 0, samples = 0;
    float interval = 0.0f;
    if (!header.ReadInt(traces) || !header.ReadInt(samples) || !header.ReadFloat(interval)) return false;
    if (traces < 1 || traces > maxTraces || samples < 1 || samples > maxSample || !std::isfinite(interval) ||
        !(interval > 0.0f)) {
        return false;
    }
    out.traces = traces;
    out.samples = samples;
    out.intervalMs = interval;
    out.headers.assign(static_cast<size_t>(traces), CTraceHeader{});
    for (CTraceHeader& h : out.headers) {
        if (!header.ReadInt(h.traceNumber) || !header.ReadInt(h.receiverHundredths) ||
            !header.ReadInt(h.sourceHundredths) || !header.ReadInt(h.gain) || !header.ReadInt(h.component) ||
            !header.ReadFloat(h.delayUs) || !header.ReadFloat(h.intervalUs) || !header.ReadInt(h.samples)) {
            return false;
        }
    }
    TextScanner data(dataText);
    out.values.assign(static_cast<size_t>(traces) * static_cast<size_t>(samples), 0.0f);
    for (float& v : out.values) {
        if (!data.ReadFloat(v)) return false;
    }
    return true;
}

}  // namespace velk
