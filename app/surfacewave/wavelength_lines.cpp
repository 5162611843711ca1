// The wavelength-limit lines over a dispersion image (the record drawing calls them while the
// wavelength limitation is on).

#include <algorithm>
#include <cmath>

#include "app/view/plot_mapping.h"
#include "app/view/record_seams.h"
#include "app/workspace.h"

namespace velk {

void DrawWavelengthLimitLines(RecordPaint& paint, Workspace& ws, int xorg, int yorg)
{
    const WaveformStore& store = ws.store;
    const CParameterSet& p = store.Params();
    const int n = store.TraceCount();
    if (n <= 0 || p.samplesPerTrace < 2) return;
    const CContourSettings& s = ws.contour;
    const double velocityEdge = (p.samplesPerTrace - 1) * static_cast<double>(p.sampleInterval);
    const double frequencyEdge = store.current.headers[static_cast<size_t>(n - 1)].receiverHundredths * 0.01;
    if (!(velocityEdge > 0.0) || !(frequencyEdge > 0.0)) return;
    // Velocity = slope x frequency: the minimum wavelength through the smallest spacing, the
    // maximum through the largest.
    const double slopes[2] = {static_cast<double>(s.minimumWavelengthFactor) * s.minimumReceiverSpacing,
                              static_cast<double>(s.maximumWavelengthFactor) * s.maximumReceiverSpacing};
    const PlotMapping m = PlotMapping::ForRecord(ws, xorg, yorg);
    Canvas& c = paint.canvas;
    ScopedPen pen(c, Pen{PenStyle::Solid, 2, Rgb{0, 0, 255}});
    for (const double slope : slopes) {
        if (!(slope > 0.0) || !std::isfinite(slope)) continue;
        const double f = std::min(frequencyEdge, velocityEdge / slope);
        c.MoveTo(m.Point(0.0, 0.0));
        c.LineTo(m.Point(slope * f, f));
    }
}

}  // namespace velk
