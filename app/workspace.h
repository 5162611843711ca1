#pragma once
// Workspace: all program-wide state of the main program, in a few owned objects, made after the
// profile is open and handed to every command. No globals: each test builds its own.
//
// Life of a run, as explicit steps (the shell calls them in this order):
//   1. Workspace ws(profile, ui);     the program-wide objects with their defaults; the tau-p
//                                     settings read their keys here
//   2. the shell fills ws.startup (command line, Language, COMPLETEMENU, ...)
//   3. ws.InitForView();              view construction: settings, capacities, store allocation
//   4. ... commands ...
//   5. ws.Shutdown(frameRect);        = SaveViewSettings(frameRect), ReleaseView(),
//                                       SaveProgramEndSettings(), ReleaseSharedBlocks()
// The destructor writes nothing.

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "acquisition/acquisition_device.h"
#include "acquisition/acquisition_manager.h"
#include "acquisition/instrument/instrument_library.h"
#include "app/acquisition/continuous_measurement.h"
#include "app/view/array_geometry_view.h"
#include "base/display_filter.h"
#include "base/waveform_store.h"
#include "app/view/display_state.h"
#include "app/view/edit_controller.h"
#include "app/dsp/filter_test.h"
#include "app/view/interactive_edit_state.h"
#include "app/dsp/trace_edit_state.h"
#include "app/view/velocity_model_display.h"
#include "app/dsp/velocity_filter_state.h"
#include "dsp/accept_flag.h"
#include "dsp/deconvolution.h"
#include "dsp/agc.h"
#include "dsp/fft_work_buffer.h"
#include "formats/strong_motion.h"
#include "formats/org_variants.h"
#include "dsp/notch.h"
#include "dsp/wavelet.h"
#include "draw/contour_palette.h"
#include "surfacewave/contour_settings.h"
#include "surfacewave/mam_geometry.h"
#include "surfacewave/taup_settings.h"
#include "survey/file_group.h"
#include "survey/survey_line_xml.h"
#include "platform/process.h"
#include "survey/olvenar_link.h"
#include "survey/survey_services.h"
#include "traveltime/auto_pick_settings.h"
#include "traveltime/modelling_dialogs.h"
#include "traveltime/theoretical_traveltime.h"
#include "traveltime/traveltime_set.h"
#include "platform/clock.h"
#include "traveltime/velocity_model.h"

namespace velk {

class LogSink;
class Profile;
class UiHost;

// Start-up values, set before the frame exists (the shell fills them).
struct StartupValues {
    int acquisitionMode = 0;   // DataAcquisition
    int instrumentMenu = 0;    // ONQKW
    int feetShortMenu = 0;     // Halvorn, or English chosen at the first run
    int fullMenu = 0;          // COMPLETEMENU
    int qd7000SubMode = 0;
    int languageRegister = 0;  // LanguageRegister
    int language = 0;          // Language: 1 Japanese, -1 English
    int qkwMenu = 1;           // QKWMenu (acquisition), 1..7
    int qd7000Menu = 0;        // QD7000Menu
    // The open-line request lives in survey.openLineRequest.
};

// The frame window's rectangle, written back as WindowX, WindowY, WindowW, WindowH.
struct FrameRect {
    int x = 110;
    int y = 138;
    int width = 768;
    int height = 537;
};

// Values of the settings key table that no subsystem object holds. The scales and axis kinds
// are fields of the current parameter set (store.Params()).
struct ViewSettings {
    float bpfLowCut = 1.0f;        // BPFFL, Hz
    float bpfHighCut = 5000.0f;    // BPFFH, Hz
    float bpfLowSlope = 20.0f;     // BPFSL
    float bpfHighSlope = 20.0f;    // BPFSH
    int maxXSize = 128000;         // MAX_X_SIZE
    int plotDirection = 0;         // PLOT_DIRECTION: 0 time axis horizontal, 1 vertical
    int xOrg0 = 300;               // XORG_0
    int yOrg0 = 300;               // YORG_0
    std::string amplitudeUnit = "V";  // csUnit
    float amplitudeConstant = 1.0f;   // fAmplitudeConstant
    int showAmplitude = 0;         // ShowAmplitude
    int maxTraces = WaveformStore::kDefaultMaxTraces;  // MAXTRACES as stored in the profile
    int maxSample = WaveformStore::kDefaultMaxSample;  // MAX_SAMPLE as stored in the profile
    int maxWorkGroupFile = 1000;   // MAX_WORK_GROUP_FILE (carried; the list capacity is fixed)
    int polarity = 1;              // I_SENSE
    int kmDisplay = 0;             // i_km
    std::string unitText;          // UNIT: "m"/"km", "ft"/"kft" in feet mode
    int triggerPlot = 1;           // ITriggerPlot
    int shading = 0;               // i_plot_mode: 1 positive, 0 none, -1 negative
    int applyCurrentConfiguration = 0;          // bApplyCurrentConfiguration
    int applyCurrentConfigurationDistance = 0;  // bApplyCurrentConfigurationDistance
    float xst = 0.0f;              // kept axis configuration
    float xe = 0.0f;
    float xi = 0.0f;
    float yi = 0.0f;
    int nSkip = 1;                 // NSkip
    int threeComponentLabel = 0;   // ThreeComponentLabel
    int changeDataLength = 0;      // bChangeDataLength
    int coordinateMode = -1;       // iCoordinate
};

// Geometry settings written at the end of the program.
struct GeometrySettings {
    float receiverInterval = 1.0f;  // ReceiverInterval, m
    int moveReceivers = 1;          // bMoveReceivers
    float sourceInterval = 1.0f;    // SourceInterval, m
};

// Profile values that acquisition mode replaces for the run only; written back instead of the
// run's values.
struct AcquisitionOverrides {
    bool margins = false;  // the instrument menu replaced margins and direction
    int xOrg0 = 0;
    int yOrg0 = 0;
    int plotDirection = 0;
};

class WorkspaceModeServices;

class Workspace {
public:
    // Builds the program-wide objects in their start-up order; TauPSettings reads its keys.
    // The profile and the UiHost must outlive the workspace.
    Workspace(Profile& profile, UiHost& ui);
    ~Workspace();
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    Profile& profile() { return *profile_; }
    const Profile& profile() const { return *profile_; }
    UiHost& ui() { return *ui_; }

    // View construction. The first call of the run: the data-viewer link, the drive text, the
    // working folder (empty: the process's current folder), the store's scalars, the settings
    // in the key table's order with their fix-ups and the acquisition overrides, the parameter
    // sets and the store at the capacities. Later calls only re-read the automatic-picking
    // keys and clear the undone flag. If the store cannot be allocated at start-up, shows a
    // message and ends the program with exit code 10.
    void InitForView(const std::string& workingFolder = {});
    bool ViewBuilt() const { return viewBuilt_; }

    // View destruction: writes the settings back in their order (the frame's rectangle as
    // given), the instrument hooks in acquisition mode, then frees the store.
    void SaveViewSettings(const FrameRect& frame);
    // The view object's destructor: the automatic-picking keys, the theoretical-traveltime
    // keys, the data-viewer link's path.
    void ReleaseView();
    // End of the program: the geometry keys, SaveContourSettings, SaveTauPSettings, the noise
    // log closed.
    void SaveProgramEndSettings();
    // The traveltime set's block "RostrelData" is unmapped, then every block this process
    // opened is removed. Returns why a block could not be removed (empty when all went).
    std::string ReleaseSharedBlocks();
    // All four, in order.
    std::string Shutdown(const FrameRect& frame);

    // Replaces the clock (tests drive a ManualClock) and builds the instrument anew on it.
    void UseClock(std::unique_ptr<Clock> newClock);

    // Creates the acquisition manager (start-up in acquisition mode) in this workspace's
    // context, with the modes' services over it; returns it.
    CAcquisitionManager& CreateAcquisitionManager();
    // The modes' services over this workspace, made on first use and kept (the shell gives
    // them its command context once).
    WorkspaceModeServices& ModeServicesOf();
    // The switch of the XML line files: 0 after the English start from the instrument menu.
    const int* LineFilesSwitch() const { return &acquisitionStartupValue; }

    // The document's microtremor-array geometry, made on first use (it reads its settings).
    CMamGeometry& MamGeometry();
    // The line document's view of that geometry: present while it exists, its values, and
    // the hook that makes it. StoreMamGeometry puts the slot's values back into it.
    MamGeometrySlot MamGeometrySlotOf();
    void StoreMamGeometry(const MamGeometrySlot& slot);

    // --- Program-wide state -------------------------------------------------------------
    StartupValues startup;
    ViewSettings settings;
    DisplayState display;
    GeometrySettings geometry;
    AcquisitionOverrides acquisitionOverrides;

    CFileGroup fileGroup;
    SurveyLine surveyLine;       // the line the file list was last opened from
    SurveyFlags survey;
    AutomaticProcessingState automatic;
    SiblingProgramPaths programPaths;
    RegisteredModules modules;
    std::unique_ptr<COlvenarLink> olvenarLink;  // while the view exists
    // How sibling programs and modules are started, and how a command waits for one; tests
    // put fakes here.
    std::unique_ptr<ProcessLauncher> launcher = std::make_unique<PosixProcessLauncher>();
    std::function<void(int milliseconds)> sleep;  // empty: the thread sleeps

    CContourSettings contour;
    int coherenceDimension = 1;  // the SPAC (1 or 2 dimensions) that made the last coherence image
    ContourPalette palette;      // plot mode and line flag: display.plotMode, display.plotSubFlag
    VelocityModelView modelView; // the velocity model display (display mode 1)
    VelocityModel velocityModel; // the modelling grids; SetContourSource sets modelView.grid
    WaveformStore store;         // the three parameter sets are store.current/level1/level2.params
    CTraveltimeSet traveltimeSet;  // first-arrival (and amplitude) picks of the line's shots
    // The phase-velocity curves, held apart from the first arrivals: picks of a dispersion image
    // and the curves of a surface-wave line go here, saved as ".pvs"; the shared block
    // "RostrelData" stays traveltimeSet's, into which the curves are copied for the dispersion
    // program.
    CTraveltimeSet curveSet;
    TauPSettings tauP;
    DisplayFilterState displayFilter;
    AutoPickSettings autoPick;
    ModellingValues modelling;
    CTheoreticalTraveltime theoretical;  // sized with the store
    FftWorkBuffer fftWork{4100};         // the Fourier commands' work arrays, sized with the store
    AcceptFlag bandPassAccepted;         // OK/Cancel of the band-pass dialog
    AcceptFlag verticalStackAccepted;    // OK/Cancel of the "Vertical stacking" dialog
    FilterTest filterTest;               // the filter test of edit mode 8 (overlay state)
    VelocityFilterState velocityFilters; // the F-K, median and tau-p commands' last values
    TraceEditState traceEdit;            // the editing, NMO and generator commands' last inputs
    InteractiveEditState interactiveEdit;  // the receiver shift table, the picks' mute window
    AgcSettings agc;                     // remembered values of the two AGC commands
    NotchSettings notch;                 // remembered values of the notch commands
    WaveletChoice wavelet;               // the shared wavelet type and frequency
    DeconvolutionSettings deconvolution; // the deconvolution commands' last values
    CHumFrequencyDlg hum;                // the hum model's harmonics and amplitude

    // The time of the run (the simulated instrument, the record cycle, the noise log and the
    // archiving read it) and the instrument the acquisition device drives: the simulated
    // seismograph, configured by the Simulator_* keys of the profile.
    std::unique_ptr<Clock> clock;
    std::unique_ptr<InstrumentLibrary> instrument;
    CAcquisitionDevice acquisitionDevice;
    std::unique_ptr<CAcquisitionManager> acquisitionManager;
    std::unique_ptr<WorkspaceModeServices> modeServices;
    int acquisitionStartupValue = 1;
    ContinuousMeasurement continuousMeasurement;  // the passes of the continuous measurement

    int componentToEdit = -1;    // -1 all components, or 1..6
    // What the document must become after a road that replaced the record without reaching
    // the document (a generator, the instrument's new record): 0 nothing, 1 the frame title
    // named again, 2 untitled. The command runner applies it (app/record_arrival.h).
    int pendingRecordTitle = 0;
    // What the command's roads could not store in the traveltime set; the command runner (or the
    // view's timer) says it once and clears it (app/picking/pick_matching.h).
    PicksLeftOut picksLeftOut;
    EditController editController;  // the mouse and keys of the record view, with their flags
    ArrayGeometryView arrayGeometry;  // the microtremor array the geometry view shows
    std::unique_ptr<CMamGeometry> mamGeometry;  // see MamGeometry()

    // The strong-motion set of the document (one per run), the plane-coordinate origin of its
    // stations (profile keys read here, written at the end of the program), and the flag that
    // is 1 once a strong-motion set has been loaded.
    CStrongMotionSet strongMotion;
    CCoordinateOrigin coordinateOrigin;
    int strongMotionFlag = 0;
    InstrumentFileState instrumentFiles;  // the shuttle header, Torvane9 geometry, 8-header flags
    std::string workingFolder;   // the folder at view construction
    // Where the readers' diagnostic files ("seg2.txt" ...) go; DiagnosticLog() makes the
    // working folder's sink on first use. Tests and tools may put a null sink here first.
    std::shared_ptr<LogSink> diagnostics;
    std::string driveText;       // the removable drive's mount point ("e:")
    char moDriveLetter = 'e';    // the removable drive chosen for archiving ('d' or 'e')
    FrameRect frame;             // the last rectangle given to SaveViewSettings

private:
    Profile* profile_;
    UiHost* ui_;
    bool viewBuilt_ = false;
};

// The message shown before exit code 10 when the start-up store cannot be allocated.
std::string StoreAllocationFailureText(int maxTraces, int maxSample, const std::string& reason,
                                       const std::string& profilePath);

}  // namespace velk
