#include "acquisition/acquisition_modes.h"

#include <algorithm>

#include "acquisition/acquisition_device.h"
#include "acquisition/keypad_dialogs.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "surfacewave/picking_dialogs.h"
#include "survey/file_group.h"

namespace velk {

namespace {

struct Twin {
    const char* english;
    const char* japanese;
};

// Per type 2..9: the welcome message (none for the wizards) and the name.
struct TypeTexts {
    Twin welcome;
    const char* name;
};
constexpr TypeTexts kTypeTexts[] = {
    {{"Welcome to 1D surface wave survey !", "1次元表面波探査へようこそ !"}, "1D surface-wave method"},
    {{"Welcome to 2D surface wave survey !", "2次元表面波探査へようこそ !"}, "2D surface wave method"},
    {{"Welcome to seismic refraction survey !", "屈折法地震探査へようこそ !"}, "Refraction method"},
    {{"Welcome to Microtremors Array Measurements !", "微動アレイ探査へようこそ !"},
     "Microtremors Array Measurements"},
    {{"Welcome to PSLogging !", "PS検層へようこそ !"}, "PS-Logging"},
    {{"Welcome to Ground-water survey !", "地下水探査へようこそ !"}, "Ground-water survey"},
    {{nullptr, nullptr}, "Active 1D MASW"},
    {{nullptr, nullptr}, "Passive 1D MAM"},
};

const TypeTexts* TextsOf(int type) { return type >= 2 && type <= 9 ? &kTypeTexts[type - 2] : nullptr; }

// The factory presets of a type; -1 leaves a value, a gain of -1 leaves the channel.
struct Preset {
    int gainAll;           // every channel and AUX, or -1
    bool releaseAll;
    int dispCh, mSize, rate, preTrig, parm6, parm7, triggerMode, stkFlg;
    int directions;        // 1: iDirectionFirst 0, iDirectionSecond 1
    int automaticShift;    // 0, or -1 unchanged
    int targetCount;       // -1 unchanged
};
constexpr Preset kPresets[] = {
    /* 2 */ {0, true, 4, 0, 5, 0, 0, 11, 11, 1, 0, -1, -1},
    /* 3 */ {0, true, 4, 0, 5, 0, 0, 11, 11, 1, 1, -1, -1},
    /* 4 */ {3, false, -1, 1, 3, 0, 0, 1, 1, 1, 0, -1, -1},
    /* 5 */ {0, false, 3, 4, 6, 0, 0, 0, 11, 1, 0, -1, -1},
    /* 6 */ {-1, false, 3, 0, 5, 1, 0, 1, 1, 3, 0, 0, -1},
    /* 7 */ {-1, true, 4, 0, 4, 1, 0, 1, 1, 0, 0, 0, 1},
};

void Set(int8_t& field, int value)
{
    if (value >= 0) field = static_cast<int8_t>(value);
}

}  // namespace

std::unique_ptr<CAcquisitionMode> MakeAcquisitionMode(int type, CAcquisitionManager* manager)
{
    switch (type) {
    case 2: return std::make_unique<CSurfaceWave1DMode>(manager);
    case 3: return std::make_unique<CSurfaceWave2DMode>(manager);
    case 4: return std::make_unique<CRefractionMode>(manager);
    case 5: return std::make_unique<CMicrotremorArrayMode>(manager);
    case 6: return std::make_unique<CPsLoggingMode>(manager);
    case 7: return std::make_unique<CGroundWaterMode>(manager);
    case 8: return std::make_unique<CActiveMaswWizard>(manager);
    case 9: return std::make_unique<CPassiveMamWizard>(manager);
    default: return std::make_unique<CAcquisitionMode>(type, manager);
    }
}

// --- Shared steps -------------------------------------------------------------------------------

int CGuidedMode::Welcome()
{
    const TypeTexts* t = TextsOf(Type());
    if (t && t->welcome.english) Say(t->welcome.english, t->welcome.japanese);
    return 1;
}

std::string CGuidedMode::GetName() const
{
    const TypeTexts* t = TextsOf(Type());
    return t ? t->name : CAcquisitionMode::GetName();
}

void CGuidedMode::Reset()
{
    if (Type() >= 8) {
        CAcquisitionMode::Reset();
        return;
    }
    ApplyPresets();
}

bool CGuidedMode::ApplyPresets()
{
    if (Type() < 2 || Type() > 7) return false;
    if (!Ask("Use default setting? (OK : Default setting.  Cancel : Previous setting.)",
             "初期設定を使いますか? (OK : 初期設定  キャンセル : 前回の設定)", MsgButtons::OkCancel)) {
        return false;
    }
    const Preset& p = kPresets[Type() - 2];
    if (p.targetCount >= 0) targetCount = p.targetCount;
    CAcquisitionDevice* d = Context().device;
    if (!d) return true;
    if (p.gainAll >= 0) d->gain_bf.fill(static_cast<int8_t>(p.gainAll));
    if (Type() == 6) {
        // Channel 10 keeps its gain.
        for (int ch = 1; ch <= 9; ++ch) d->gain_bf[static_cast<size_t>(ch - 1)] = 1;
        d->gain_bf[10] = 0;
        d->gain_bf[11] = 0;
    }
    if (Type() == 7) std::fill_n(d->gain_bf.begin(), kInstrumentChannels, int8_t{3});
    if (p.releaseAll) d->ReleaseAllChannels();
    Set(d->parm.disp_ch, p.dispCh);
    Set(d->parm.m_size, p.mSize);
    Set(d->parm.rate, p.rate);
    Set(d->parm.pre_trig, p.preTrig);
    Set(d->parm.byte6, p.parm6);
    Set(d->parm.trig_level, p.parm7);
    d->TriggerMode = p.triggerMode;
    Set(d->parm.stk_flg, p.stkFlg);
    if (p.directions == 1) {
        d->iDirectionFirst = 0;
        d->iDirectionSecond = 1;
    }
    if (p.automaticShift >= 0) d->bAutomaticShift = p.automaticShift;
    return true;
}

void CGuidedMode::SetUpGroup() const
{
    const ModeContext c = Context();
    if (!c.services) return;
    c.services->SetUpGroupGeometry();
    // The set-up reads the waveforms itself after "Set waveform data ?": read (and tell) once.
    if (!c.group || c.group->dataLoaded != 1) c.services->SetGroupWaveformData(0);
}

void CGuidedMode::GeometryComplete()
{
    SetUpGroup();
    Repaint();
    WriteLineFileAndSay("Source-receiver geometry is completed", "震源・受振器のジオメトリが完成しました");
}

bool CGuidedMode::Proceed() { return stepState <= 0 || Confirm() != 0; }

bool CGuidedMode::EnterGeometry()
{
    if (InstrumentPresent()) Reset();
    const ModeContext c = Context();
    return c.services && c.services->EditReceiverInterval() == 1;
}

bool CGuidedMode::AskCount(bool shots, int preset, int& count) const
{
    const ModeContext c = Context();
    if (!c.ui) return false;
    int n = preset;
    if (!CShotCountDlg::Edit(*c.ui, c.language, n, ShotCountPrompt(shots, c.language))) return false;
    count = n;
    return true;
}

namespace {

std::string Counts(int receivers, int shots)
{
    return FormatC("Number of receivers = %d \n\n Number of shots = %d", receivers, shots);
}

std::string CountsJa(int receivers, int shots)
{
    return FormatC("受振器数 = %d \n\n 発振数 = %d", receivers, shots);
}

// The guide of the lines that count their shots: "Source=<files>/<target> finished".
// Before the line's set-up there is no shot count to show (never "0/0 finished").
std::string SourceGuide(int files, int target)
{
    return target > 0 ? FormatC("Source=%d/%d finished", files, target) : std::string();
}

}  // namespace

// --- 1D surface wave ----------------------------------------------------------------------------

int CSurfaceWave1DMode::Step()
{
    if (!Proceed()) return 0;
    ModeServices* s = Context().services;
    CAcquisitionDevice* d = Context().device;
    switch (stepState) {
    case 0: {
        if (!EnterGeometry()) return 0;
        int receivers = 24;
        if (!AskCount(false, 24, receivers)) return 0;
        value = receivers;
        if (d) d->sourcePosition = -ReceiverInterval();
        const double source = d ? d->sourcePosition : 0.0;
        Say(FormatC("Do the data acquisition \n\n Source location is %f m!", source),
            FormatC("データを収録して下さい \n\n 震源位置は %f m です!", source));
        stepState = 1;
        break;
    }
    case 1:
        if (!s || s->RunPhaseVelocityAnalysis(40.0f) != 1) return 0;
        s->PickPhaseVelocity();
        Repaint();
        stepState = 2;
        break;
    case 2:
        if (s) s->ShowPhaseVelocityCurve("-MASW1D");
        break;
    default: break;
    }
    return 1;
}

void CSurfaceWave1DMode::OnArm()
{
    if (stepState == 0) Step();
}

// --- 2D surface wave ----------------------------------------------------------------------------

int CSurfaceWave2DMode::Confirm()
{
    const int state = stepState;
    const int r = CGuidedMode::Confirm();
    // Back from the end of a line whose analysis has not run here goes to its geometry.
    if (r == 1 && state == 5 && stepState == 4 && analysisDone == 0) stepState = 2;
    return r;
}

int CSurfaceWave2DMode::Step()
{
    if (!Proceed()) return 0;
    const ModeContext c = Context();
    ModeServices* s = c.services;
    CAcquisitionDevice* d = c.device;
    switch (stepState) {
    case 0: {
        if (!EnterGeometry()) return 0;
        const float dx = ReceiverInterval();
        if (c.shotInterval) *c.shotInterval = dx;
        int receivers = 24, shots = 0;
        if (!AskCount(false, 24, receivers)) return 0;
        if (!AskCount(true, receivers + 1, shots)) return 0;
        stepState = 1;
        value = receivers;
        targetCount = shots;
        if (receivers < 2) return 1;
        Say(Counts(receivers, shots), CountsJa(receivers, shots));
        spreadLength = static_cast<float>(receivers) * dx;
        SetFileCount(0);
        if (d) d->sourcePosition = -0.5f * dx;
        Repaint();
        break;
    }
    case 1:
        if (Acquire() == 0) stepState = 2;
        Repaint();
        break;
    case 2:
        GeometryComplete();
        stepState = 3;
        break;
    case 3:
        if (!s) return 0;
        // Back to this step after the analysis finds the line's gathers in the group: they are
        // analysed again as they are, never gathered a second time.
        if (!c.group || c.group->cmpList != 1) {
            shotsAnalysed = FileCount();
            if (s->MakeCmpGatherFiles2D(2.0f * ReceiverInterval()) != 1) return 0;
            SetUpGroup();
        }
        analysisDone = 1;
        Repaint();
        stepState = 4;
        [[fallthrough]];
    case 4: {
        if (!s || s->PhaseVelocityCurves(40.0f) <= 0) return 0;
        s->ShowNextWaveformFile();
        stepState = 5;
        const std::string path = Manager() ? Manager()->WriteLineResultFile(TraveltimeTextSet::PhaseVelocityCurves) : std::string();
        if (path.empty()) {
            stepState = 4;
            return 0;
        }
        Say(FormatC("Dispersion curves were saved into %s!", path.c_str()),
            FormatC("分散曲線は %s に保存されました!", path.c_str()));
        break;
    }
    case 5:
        if (s) s->ShowAllCurvesInQuessil("-MASW2D");
        break;
    default: break;
    }
    return 1;
}

int CSurfaceWave2DMode::Advance(int flag)
{
    CAcquisitionDevice* d = Context().device;
    if (d) d->sourcePosition = (static_cast<float>(FileCount()) - 0.5f) * ShotInterval();
    if (NextShotMessage(flag) == 0) stepState = 2;
    return 1;
}

std::string CSurfaceWave2DMode::GetGuideText() const
{
    // After the analysis the group lists the CMP gathers: the guide still counts the shots.
    const CFileGroup* g = Context().group;
    const bool gathers = g && g->cmpList == 1 && shotsAnalysed >= 0;
    return SourceGuide(gathers ? shotsAnalysed : FileCount(), targetCount);
}

void CSurfaceWave2DMode::OnArm()
{
    if (stepState == 0) Step();
}

void CSurfaceWave2DMode::Reset()
{
    ApplyPresets();
    counter = 5;
}

int CSurfaceWave2DMode::Start(CAcquisitionManager& manager, const LineRecord& line)
{
    const LineResultNames& n = line.names;
    const ModeContext c = Context();
    if ((n.hasDataFile || n.hasResultFile || n.hasPlottingFile) && c.ui) {
        CShowAnalysisResultDlg dlg;
        dlg.curveAvailable = n.hasDataFile;
        dlg.secondCurveAvailable = n.hasResultFile;
        dlg.modelAvailable = n.hasPlottingFile;
        if (dlg.Run(*c.ui, c.language)) {
            if (dlg.choice == 0) {
                manager.SendDispersionCurves("-MASW2D", n.hasResultFile ? n.resultFile : n.dataFile);
                return 0;
            }
            if (dlg.choice == 1) {
                if (n.hasPlottingFile) manager.StartPlotter(n.plottingFile);
                return 0;
            }
        }
    }
    if (line.fileCount > 0) stepState = std::max(stepState, 1) <= 4 ? 2 : 5;
    return 1;
}

// --- Refraction ---------------------------------------------------------------------------------

int CRefractionMode::Step()
{
    if (!Proceed()) return 0;
    const ModeContext c = Context();
    ModeServices* s = c.services;
    CAcquisitionDevice* d = c.device;
    switch (stepState) {
    case 0: {
        if (!EnterGeometry()) return 0;
        int receivers = 24;
        if (!AskCount(false, 24, receivers)) return 0;
        stepState = 1;
        value = receivers;
        if (receivers < 2) return 1;
        float first = d ? d->firstReceiverPosition : 0.0f;
        int shots = 5;
        if (!c.ui || !CSetPositionDlg::Edit(*c.ui, c.language, first, SetPositionTitle(1, c.language)) ||
            !AskCount(true, 5, shots)) {
            stepState = 0;
            return 0;
        }
        if (d) d->firstReceiverPosition = first;
        if (shots < kMinRefractionShots) {
            Say(TooFewShotsMessage(kLanguageEnglish), TooFewShotsMessage(kLanguageJapanese));
            stepState = 0;
            return 0;
        }
        targetCount = shots;
        Say(Counts(receivers, shots), CountsJa(receivers, shots));
        const float dx = ReceiverInterval();
        shotPositions = ComputeShotPositions(shots, receivers, dx, first);
        const std::string list = ShotPositionList(shotPositions);
        Say(list, list);
        spreadLength = static_cast<float>(receivers) * dx;
        SetFileCount(0);
        if (d) d->sourcePosition = shotPositions[0];
        Repaint();
        break;
    }
    case 1:
        if (Acquire() == 0) stepState = 2;
        Repaint();
        break;
    case 2:
        GeometryComplete();
        stepState = 3;
        break;
    case 3: {
        if (!s || s->GroupAutoPickFirstArrivals() != 1) return 0;
        const std::string path = Manager() ? Manager()->WriteLineResultFile(TraveltimeTextSet::FirstArrivals) : std::string();
        if (path.empty()) return 0;
        Say(FormatC("Traveltime curves were saved into %s!", path.c_str()),
            FormatC("走時曲線は %s に保存されました!", path.c_str()));
        stepState = 4;
        break;
    }
    case 4:
        if (s) s->ShowTraveltimeInRostrel("QKWREFRACTION");
        break;
    default: break;
    }
    return 1;
}

int CRefractionMode::Advance(int flag)
{
    CAcquisitionDevice* d = Context().device;
    const int count = FileCount();
    // After the last shot there is no next position.
    if (d && count < targetCount && count < static_cast<int>(shotPositions.size())) {
        d->sourcePosition = shotPositions[static_cast<size_t>(count)];
    }
    if (NextShotMessage(flag) == 0) stepState = 2;
    return 1;
}

std::string CRefractionMode::GetGuideText() const { return SourceGuide(FileCount(), targetCount); }

// --- Microtremor array --------------------------------------------------------------------------

int CMicrotremorArrayMode::Acquire()
{
    const int files = FileCount();
    if (files < targetCount) {
        Say(FormatC("Do the data acquisition \n\n Number of data = %d / %d !", files, targetCount),
            FormatC("データを収録して下さい \n\n データ数 = %d / %d !", files, targetCount));
        return 1;
    }
    WriteLineFileAndSay("Data acquisition has been completed !", "データ収録が終了しました !");
    return 0;
}

int CMicrotremorArrayMode::Advance(int flag)
{
    CAcquisitionDevice* d = Context().device;
    const float first = d ? d->firstReceiverPosition : 0.0f;
    CAcquisitionMode::Advance(flag);
    if (d) d->firstReceiverPosition = first;
    return 1;
}

int CMicrotremorArrayMode::Step()
{
    if (!Proceed()) return 0;
    ModeServices* s = Context().services;
    switch (stepState) {
    case 0:
        if (InstrumentPresent()) Reset();
        stepState = 1;
        targetCount = kRecords;
        SetFileCount(0);
        Repaint();
        Acquire();
        break;
    case 1:
        if (Acquire() == 0) stepState = 2;
        Repaint();
        break;
    case 2: {
        std::string title;
        if (!s || s->Spac2DFileGroup(title) != 1) return 0;
        if (s->RunPhaseVelocityAnalysis(20.0f) != 1) return 0;
        s->PickPhaseVelocity();
        Repaint();
        stepState = 3;
        break;
    }
    case 3:
        if (s) s->ShowPhaseVelocityCurve("-MAM");
        break;
    default: break;
    }
    return 1;
}

std::string CMicrotremorArrayMode::GetStatusText() const
{
    const CAcquisitionDevice* d = Context().device;
    return FormatC("Next ID=%d(%d/%d)", d ? d->NextID : 1, FileCount(), targetCount);
}

// --- PS logging ---------------------------------------------------------------------------------

void CPsLoggingMode::Record(std::initializer_list<int> channels) const
{
    CAcquisitionDevice* d = Context().device;
    if (!d) return;
    d->HoldAllChannels();
    for (int ch : channels) d->hold_bf[static_cast<size_t>(ch - 1)] = 0;
}

int CPsLoggingMode::Step()
{
    // The three components in turn; after the third the record is saved before the first
    // comes again, and every Enter there asks until it is.
    if (stepState < 3) ++stepState;
    switch (stepState) {
    case 1: Record({3, 5, 12}); break;
    case 2: Record({1, 9}); break;
    default: {
        if (!Ask("Save waveform data?", "波形データを保存しますか?", MsgButtons::YesNo)) break;
        ModeServices* s = Context().services;
        if (!s || s->SaveRecord() != 1) break;
        stepState = 0;
        Record({2, 4, 11});
        break;
    }
    }
    Repaint();
    return 1;
}

std::string CPsLoggingMode::GetGuideText() const
{
    switch (stepState) {
    case 0: return "PS-log. : H1";
    case 1: return "PS-log. : H2";
    case 2: return "PS-log. : V";
    default: return {};
    }
}

void CPsLoggingMode::Reset()
{
    ApplyPresets();
    Record({2, 4, 11});
    counter = 4;
}

// --- Ground water -------------------------------------------------------------------------------

int CGroundWaterMode::Step()
{
    if (!Proceed()) return 0;
    ModeServices* s = Context().services;
    CAcquisitionDevice* d = Context().device;
    switch (stepState) {
    case 0: {
        if (!EnterGeometry()) return 0;
        int receivers = 24;
        if (!AskCount(false, 24, receivers)) return 0;
        if (d) d->sourcePosition = 0.5f * ReceiverInterval();
        stepState = 1;
        value = receivers;
        break;
    }
    case 1:
        if (Acquire() == 0) stepState = 2;
        Repaint();
        break;
    case 2:
        if (s) {
            s->SetupGroundWaterTable();
            s->ShowTwoLayerTraveltime();
        }
        Repaint();
        break;
    default: break;
    }
    return 1;
}

// --- The wizards --------------------------------------------------------------------------------

namespace {

std::string WizardPrompt(int state)
{
    return state == 0 ? "Press Enter key to start Surface Wave Analysis Wizard."
                      : "Press Enter key to continue Surface Wave Analysis Wizard.";
}

}  // namespace

int CActiveMaswWizard::Step()
{
    if (!Proceed()) return 0;
    ModeServices* s = Context().services;
    if (!s) return 0;
    switch (stepState) {
    case 0:
        if (s->OpenSeg2Record() > 1) stepState = 1;
        break;
    case 1:
        if (s->RunPhaseVelocityAnalysis(30.0f) != 1) return 0;
        s->PickPhaseVelocity();
        Repaint();
        stepState = 2;
        break;
    case 2: s->ShowPhaseVelocityCurve("-QD7000MASW1D"); break;
    default: break;
    }
    return 1;
}

void CActiveMaswWizard::OnArm()
{
    if (stepState == 0) Step();
}

std::string CActiveMaswWizard::GetPrompt() const { return WizardPrompt(stepState); }

int CPassiveMamWizard::Step()
{
    if (!Proceed()) return 0;
    ModeServices* s = Context().services;
    if (!s) return 0;
    switch (stepState) {
    case 0:
        if (s->MakeFileList() >= 1) stepState = 1;
        break;
    case 1: {
        std::string title;
        if (s->Spac2DFileGroup(title) != 1) return 0;
        imageTitle = title;
        if (s->RunPhaseVelocityAnalysis(15.0f) != 1) return 0;
        s->PickPhaseVelocity();
        Repaint();
        stepState = 2;
        break;
    }
    case 2: s->ShowPhaseVelocityCurveNamed("-QD7000MASW1D", imageTitle); break;
    default: break;
    }
    return 1;
}

void CPassiveMamWizard::OnArm()
{
    if (stepState == 0) Step();
}

std::string CPassiveMamWizard::GetPrompt() const { return WizardPrompt(stepState); }

}  // namespace velk
