#include "app/view/plot_mapping.h"

#include "draw/coordinates.h"
#include "app/workspace.h"

namespace velk {

PlotMapping PlotMapping::ForRecord(const Workspace& ws, int xorg, int yorg)
{
    const CParameterSet& p = ws.store.Params();
    PlotMapping m;
    m.vertical = ws.settings.plotDirection == 1;
    m.originTime = m.vertical ? yorg : xorg;
    m.originDistance = m.vertical ? xorg : yorg;
    m.startTime = p.windowStartTime;
    m.hscale = p.hscale;
    m.plotscale = p.plotscale;
    m.distanceOrigin = ws.display.layout.distanceOrigin;
    return m;
}

int32_t PlotMapping::AlongTime(double t) const { return SaturatingAdd(originTime, SaturatingTrunc((t - startTime) * hscale)); }

int32_t PlotMapping::AlongDistance(double r) const
{
    return SaturatingAdd(originDistance, SaturatingTrunc((r - distanceOrigin) * plotscale));
}

}  // namespace velk
