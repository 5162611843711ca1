#include "app/workspace.h"

#include <cstdlib>
#include <new>

#include "acquisition/instrument/simulated_seismograph.h"
#include "acquisition/simulator_profile.h"
#include "app/acquisition/mode_services.h"
#include "app/settings_table.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/shared_block.h"
#include "platform/uihost.h"
#include "traveltime/publish_traveltime_set.h"

namespace velk {

Workspace::Workspace(Profile& profile, UiHost& ui)
    : tauP(profile), profile_(&profile), ui_(&ui)
{
    // The members are built in their declaration order, which is the program's start-up
    // order: the file group, the surface-wave settings, the store with its three parameter
    // sets, the traveltime set, the tau-p settings (which read their keys), the display
    // filter state, the texts.
    ResetDisplayFilter(displayFilter);
    coordinateOrigin.Load(profile);
    UseClock(std::make_unique<SystemClock>());
    // Each monitor set goes into the noise log while it is open.
    acquisitionDevice.noiseLogHook = [this](int32_t value) {
        acquisitionDevice.AppendNoiseLog(value, clock->LocalNow(), clock->TickCountMs());
    };
}

void Workspace::UseClock(std::unique_ptr<Clock> newClock)
{
    acquisitionDevice.SetInstrument(nullptr);
    instrument.reset();
    clock = std::move(newClock);
    acquisitionDevice.noiseLogStartTick = clock->TickCountMs();
    instrument = std::make_unique<SimulatedSeismograph>(LoadSimulatorConfig(*profile_), *clock);
    acquisitionDevice.SetInstrument(instrument.get());
}

Workspace::~Workspace() = default;

std::string StoreAllocationFailureText(int maxTraces, int maxSample, const std::string& reason,
                                       const std::string& profilePath)
{
    return FormatC("Cannot allocate the waveform store for %d traces of %d samples.\n%s\n\n"
                   "Lower MAXTRACES or MAX_SAMPLE in %s and start the program again.",
                   maxTraces, maxSample, reason.c_str(), profilePath.c_str());
}

void Workspace::InitForView(const std::string& folder)
{
    const bool first = !viewBuilt_;

    // 1. The data-viewer link, the drive text, the undone flag.
    if (!olvenarLink) {
        olvenarLink = std::make_unique<COlvenarLink>(profile());
    }
    driveText = DriveMountPoint(profile(), moDriveLetter);
    store.undone = 0;

    if (first) {
        // 2. The working folder; an empty record.
        workingFolder = folder.empty() ? WorkingFolder() : folder;
        store.Params().traceCount = 0;
        store.Params().samplesPerTrace = 1024;
        store.level1.params.traceCount = 0;
        store.level2.params.traceCount = 0;
    }

    // 3. The settings in the key table's order (only the automatic-picking keys after the
    // first construction), with their fix-ups, the record limits and the acquisition margins.
    ReadSettingsTable(*this, first);

    // 4. The parameter sets, the per-trace curves, the store; all checked against the memory
    // first, so that an impossible capacity ends with the message, not in the allocator.
    if (first || !store.IsAllocated()) {
        std::string reason = WaveformStore::CheckCapacity(store.MaxTraces(), store.MaxSample());
        if (reason.empty() && first) {
            try {
                store.AllocateParameterSets();
                theoretical = CTheoreticalTraveltime(store.MaxTraces());
            } catch (const std::bad_alloc&) {
                reason = "Not enough memory.";
            }
            theoretical.LoadSettings(profile());
        }
        if (reason.empty()) {
            store.AllocateWaveformStore(&reason);
        }
        if (reason.empty()) {
            try {
                fftWork.Reserve(static_cast<size_t>(store.RowLength()));
            } catch (const std::bad_alloc&) {
                reason = "Not enough memory.";
            }
        }
        if (!reason.empty()) {
            ui().Message(StoreAllocationFailureText(store.MaxTraces(), store.MaxSample(), reason,
                                                    profile().Path()),
                         MsgButtons::Ok, MsgIcon::Error);
            std::exit(10);
        }
    }

    if (first) {
        // 5. Interval, selection scope, clipping; the keep-axes flags last.
        store.Params().sampleInterval = 1.0f;
        display.selectedOnly = -1;
        display.clip = 1;
        ReadLateSettings(*this);
    }
    viewBuilt_ = true;
}

void Workspace::SaveViewSettings(const FrameRect& frameRect)
{
    frame = frameRect;
    WriteSettingsTable(*this, WritePhase::ViewSettings);
    store.FreeWaveformStore();
}

void Workspace::ReleaseView()
{
    Profile::Batch batch(profile());
    WriteSettingsTable(*this, WritePhase::ViewObject);
    theoretical.SaveSettings(profile());
    if (olvenarLink) {
        olvenarLink->Release(profile());
        olvenarLink.reset();
    }
}

void Workspace::SaveProgramEndSettings()
{
    Profile::Batch batch(profile());
    WriteSettingsTable(*this, WritePhase::ProgramEnd);
    SaveContourSettings(profile(), contour);
    SaveTauPSettings(profile(), tauP);
    coordinateOrigin.Save(profile());
    acquisitionDevice.CloseNoiseLog();
}

std::string Workspace::Shutdown(const FrameRect& frameRect)
{
    SaveViewSettings(frameRect);
    ReleaseView();
    SaveProgramEndSettings();
    return ReleaseSharedBlocks();
}

std::string Workspace::ReleaseSharedBlocks()
{
    CloseRostrelData(traveltimeSet);
    return UnlinkSharedBlocks();
}

CAcquisitionManager& Workspace::CreateAcquisitionManager()
{
    acquisitionManager = std::make_unique<CAcquisitionManager>();
    acquisitionManager->Attach(MakeModeContext(*this, &ModeServicesOf()));
    return *acquisitionManager;
}

WorkspaceModeServices& Workspace::ModeServicesOf()
{
    if (!modeServices) modeServices = std::make_unique<WorkspaceModeServices>(*this, ui());
    return *modeServices;
}

CMamGeometry& Workspace::MamGeometry()
{
    if (!mamGeometry) mamGeometry = std::make_unique<CMamGeometry>(*profile_, store.MaxTraces());
    return *mamGeometry;
}

namespace {

MamGeometryValues ValuesOf(const CMamGeometry& g)
{
    MamGeometryValues v;
    v.iGeometry = g.iGeometry;
    v.ArraySize = g.ArraySize;
    v.Angle = g.Angle;
    v.nReceiver = g.nReceiver;
    v.startChannel = g.startChannel;
    v.reverse = g.reverse;
    v.SpacingForLinearArray = g.SpacingForLinearArray;
    return v;
}

}  // namespace

MamGeometrySlot Workspace::MamGeometrySlotOf()
{
    MamGeometrySlot slot;
    slot.present = mamGeometry ? 1 : 0;
    if (mamGeometry) slot.values = ValuesOf(*mamGeometry);
    slot.make = [this](MamGeometryValues& v) { v = ValuesOf(MamGeometry()); };
    return slot;
}

void Workspace::StoreMamGeometry(const MamGeometrySlot& slot)
{
    if (slot.present != 1) return;
    CMamGeometry& g = MamGeometry();
    const MamGeometryValues& v = slot.values;
    g.iGeometry = v.iGeometry;
    g.ArraySize = v.ArraySize;
    g.Angle = v.Angle;
    g.nReceiver = v.nReceiver;
    g.startChannel = v.startChannel;
    g.reverse = v.reverse;
    g.SpacingForLinearArray = v.SpacingForLinearArray;
}

}  // namespace velk
