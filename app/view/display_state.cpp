#include "app/view/display_state.h"

#include "app/workspace.h"
#include "platform/numtext.h"

namespace velk {

std::string DescribeDisplayState(const Workspace& ws)
{
    const DisplayState& d = ws.display;
    const ViewSettings& s = ws.settings;
    const CParameterSet& p = ws.store.Params();
    std::string out;
    auto line = [&](const char* name, const std::string& value) { out += std::string(name) + '=' + value + '\n'; };
    auto i = [](int v) { return FormatC("%d", v); };
    auto f = [](float v) { return FormatC("%g", static_cast<double>(v)); };
    line("language", i(ws.startup.language));
    line("direction", i(s.plotDirection));
    line("hscale", f(p.hscale));
    line("vscale", f(p.vscale));
    line("plotscale", f(p.plotscale));
    line("amplitudeFactor", f(d.amplitudeFactor));
    line("geometryScale", f(d.geometryXScale) + "," + f(d.geometryYScale));
    line("normalisation", i(p.normalisation));
    line("clip", i(d.clip));
    line("shading", i(s.shading));
    line("displayMode", i(d.displayMode));
    line("plotMode", i(d.plotMode) + "," + i(d.plotSubFlag));
    line("colour", i(d.colourFlag) + "," + i(d.spectrumFill));
    line("polarity", i(s.polarity));
    line("unit", s.unitText);
    line("kilometres", i(s.kmDisplay));
    line("axisKinds", i(p.verticalAxisKind) + "," + i(p.horizontalAxisKind));
    line("showAmplitude", i(s.showAmplitude));
    line("showStationCode", i(d.showStationCode));
    line("threeComponentLabel", i(s.threeComponentLabel));
    line("keepAxes", i(s.applyCurrentConfiguration) + "," + i(s.applyCurrentConfigurationDistance));
    line("selectedOnly", i(d.selectedOnly));
    line("traces", i(d.firstTraceShown) + "+" + i(p.tracesShown) + "/" + i(p.traceCount));
    line("samples", i(d.firstSampleShown) + "+" + i(p.samplesShown) + "/" + i(p.samplesPerTrace));
    line("time", f(p.windowStartTime) + "+" + f(p.shownTime));
    line("modified", i(d.modified));
    line("editMode", i(d.editMode));
    line("recordKind", i(p.recordKind));
    line("dataKind", i(ws.store.dataKind()));
    line("component", i(ws.componentToEdit));
    line("timer", i(d.timerRunning) + "," + i(d.timerInterval));
    line("extent", i(d.layout.rightExtent) + "," + i(d.layout.bottomExtent));
    return out;
}

}  // namespace velk
