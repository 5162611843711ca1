#pragma once
// The view's display state that the workspace sets itself (view construction, undo). The view
// core adds the rest of the display state here.

namespace velk {

struct DisplayState {
    int plotMode = -2;          // -3, -2 wiggle layouts; -1, 0, 1, 2 colour layouts
    int plotSubFlag = 0;        // 1 for the fine colour variants
    int spectrumAxisKind = 0;   // second-axis kind of derived displays
    int clip = 1;               // -1 clip deflections, +1 no clipping
    int selectedOnly = -1;      // 1 processing works on the selected traces only, -1 on all
    int displayMode = 0;        // 0 waveforms, 1 velocity model, 3 geometry, 4 array geometry
    float amplitudeFactor = 50.0f;
    int colourFlag = 1;
    int spectrumFill = 0;
    int firstTraceShown = 0;
    int firstSampleShown = 0;
    int modified = 0;           // 1 after a command changed the data of the loaded file
    int editMode = 0;
    int showStationCode = 0;
};

}  // namespace velk
