#include <gtest/gtest.h>

#include <filesystem>

#include "acquisition/acquisition_device.h"
#include "acquisition/acquisition_modes.h"
#include "platform/language.h"
#include "survey/file_group.h"
#include "traveltime/traveltime_set.h"
#include "tools/fake_mode_services.h"
#include "tools/scripted_uihost.h"
#include "tools/test_support.h"

namespace velk {
namespace {

struct Rig {
    testing::TempFolder folder;
    ScriptedUiHost ui;
    CFileGroup group;
    CAcquisitionDevice device;
    FakeModeServices services;
    float receiverInterval = 1.0f;
    float shotInterval = 1.0f;
    int moveReceivers = 0;
    int present = 0;
    int lineFiles = 1;
    CAcquisitionManager m;

    Rig()
    {
        m.dataFolder = folder.Path();
        ModeContext c;
        c.device = &device;
        c.group = &group;
        c.ui = &ui;
        c.services = &services;
        c.language = kLanguageEnglish;
        c.lineFilesSwitch = &lineFiles;
        c.receiverInterval = &receiverInterval;
        c.shotInterval = &shotInterval;
        c.moveReceivers = &moveReceivers;
        c.instrumentPresent = &present;
        m.Attach(c);
    }
    CAcquisitionMode& Create(int type)
    {
        m.surveyType = type;
        m.CreateMode();
        return *m.Mode();
    }
    void Records(int n)
    {
        for (int i = 0; i < n; ++i) group.AddFile("qkaa" + std::to_string(1000 + i) + ".sg2", 0.0f, 0.0f, 1.0f);
    }
    void Count(int n)
    {
        ui.AnswerDialog("CShotCountDlg", {{"Hundreds", std::to_string(n / 100)},
                                          {"Tens", std::to_string(n / 10 % 10)},
                                          {"Ones", std::to_string(n % 10)}});
    }
    void Confirm(int answer)
    {
        if (answer == 1) ui.AnswerDialog("CStepConfirmDlg");
        else if (answer == 0) ui.CancelDialog("CStepConfirmDlg");
        else ui.AnswerDialogWith("CStepConfirmDlg", [](DialogRequest& r) { return r.Press("Back"); });
    }
    std::vector<int> Released() const
    {
        std::vector<int> channels;
        for (int ch = 1; ch <= 24; ++ch)
            if (device.hold_bf[static_cast<size_t>(ch - 1)] == 0) channels.push_back(ch);
        return channels;
    }
};

constexpr const char* kPresetQuestion = "Use default setting? (OK : Default setting.  Cancel : Previous setting.)";

TEST(AcquisitionModes, PresetsAndCounters)
{
    struct Row {
        int type;
        int gain1, gain10, gain12, gainAux;
        int dispCh, mSize, rate, preTrig, parm7, trigger, stack;
        int counter;
    };
    // The device starts with every gain 1, channel 10 at 2 here, disp 4, size 0, rate 2.
    const Row rows[] = {
        {2, 0, 0, 0, 0, 4, 0, 5, 0, 11, 11, 1, 0},  {3, 0, 0, 0, 0, 4, 0, 5, 0, 11, 11, 1, 5},
        {4, 3, 3, 3, 3, 4, 1, 3, 0, 1, 1, 1, 0},    {5, 0, 0, 0, 0, 3, 4, 6, 0, 0, 11, 1, 0},
        {6, 1, 2, 0, 1, 3, 0, 5, 1, 1, 1, 3, 4},    {7, 3, 3, 3, 1, 4, 0, 4, 1, 1, 1, 0, 0},
    };
    for (const Row& row : rows) {
        for (bool ok : {true, false}) {
            Rig r;
            r.device.gain_bf[9] = 2;
            r.device.HoldAllChannels();
            r.ui.ExpectMessage(kPresetQuestion, MsgButtons::OkCancel, ok ? MsgResult::Ok : MsgResult::Cancel);
            CAcquisitionMode& mode = r.Create(row.type);
            if (row.type != 6) mode.Reset();  // PS logging resets as it is built
            const CAcquisitionDevice& d = r.device;
            SCOPED_TRACE(row.type * 10 + ok);
            EXPECT_EQ(mode.counter, row.counter);
            if (!ok) {
                EXPECT_EQ(d.gain_bf[0], 1);
                EXPECT_EQ(d.parm.rate, 2);
                continue;
            }
            EXPECT_EQ(d.gain_bf[0], row.gain1);
            EXPECT_EQ(d.gain_bf[9], row.gain10);
            EXPECT_EQ(d.gain_bf[11], row.gain12);
            EXPECT_EQ(d.gain_bf[24], row.gainAux);
            EXPECT_EQ(d.parm.disp_ch, row.dispCh);
            EXPECT_EQ(d.parm.m_size, row.mSize);
            EXPECT_EQ(d.parm.rate, row.rate);
            EXPECT_EQ(d.parm.pre_trig, row.preTrig);
            EXPECT_EQ(d.parm.trig_level, row.parm7);
            EXPECT_EQ(d.TriggerMode, row.trigger);
            EXPECT_EQ(d.parm.stk_flg, row.stack);
            const bool released = row.type == 2 || row.type == 3 || row.type == 7;
            EXPECT_EQ(r.Released().size(), released ? 24u : row.type == 6 ? 3u : 0u);
            EXPECT_EQ(d.bAutomaticShift, row.type >= 6 ? 0 : 1);
            EXPECT_EQ(mode.targetCount, row.type == 7 ? 1 : 0);
        }
    }
    // PS logging holds every channel but 2, 4 and 11 whatever the answer.
    Rig r;
    r.ui.ExpectMessage(kPresetQuestion, MsgButtons::OkCancel, MsgResult::Cancel);
    r.Create(6);
    EXPECT_EQ(r.Released(), (std::vector<int>{2, 4, 11}));
}

TEST(AcquisitionModes, Texts)
{
    struct Row {
        int type;
        const char* welcome;
        const char* name;
    };
    const Row rows[] = {
        {1, nullptr, "General data acquisition"},
        {2, "Welcome to 1D surface wave survey !", "1D surface-wave method"},
        {3, "Welcome to 2D surface wave survey !", "2D surface wave method"},
        {4, "Welcome to seismic refraction survey !", "Refraction method"},
        {5, "Welcome to Microtremors Array Measurements !", "Microtremors Array Measurements"},
        {6, "Welcome to PSLogging !", "PS-Logging"},
        {7, "Welcome to Ground-water survey !", "Ground-water survey"},
        {8, nullptr, "Active 1D MASW"},
        {9, nullptr, "Passive 1D MAM"},
    };
    for (const Row& row : rows) {
        Rig r;
        r.ui.SetStrict(false);  // the PS-logging presets
        CAcquisitionMode& mode = r.Create(row.type);
        r.ui.SetStrict(true);
        r.ui.ClearCalls();
        if (row.welcome) r.ui.ExpectMessage(row.welcome);
        EXPECT_EQ(mode.Welcome(), 1);
        EXPECT_EQ(mode.GetName(), row.name);
    }
    Rig r;
    r.Records(2);
    r.device.NextID = 7;
    r.device.sourcePosition = 2.5f;
    auto texts = [&](int type, int state) {
        r.m.surveyType = type;
        r.ui.SetStrict(false);
        r.m.CreateMode();
        r.ui.SetStrict(true);
        CAcquisitionMode& mode = *r.m.Mode();
        mode.targetCount = type == 5 ? 20 : (state < 0 ? 0 : 5);
        state = std::max(state, 0);
        mode.stepState = state;
        return mode.GetStatusText() + "|" + mode.GetGuideText() + "|" + mode.GetPrompt();
    };
    EXPECT_EQ(texts(1, 0), "Next ID=7(2.5m)||");
    EXPECT_EQ(texts(3, 1), "Next ID=7(2.5m)|Source=2/5 finished|");
    EXPECT_EQ(texts(4, 1), "Next ID=7(2.5m)|Source=2/5 finished|");
    EXPECT_EQ(texts(4, -1), "Next ID=7(2.5m)||");  // before the line's set-up: no count
    EXPECT_EQ(texts(5, 1), "Next ID=7(2/20)||");
    EXPECT_EQ(texts(6, 0), "Next ID=7(2.5m)|PS-log. : H1|");
    EXPECT_EQ(texts(6, 1), "Next ID=7(2.5m)|PS-log. : H2|");
    EXPECT_EQ(texts(6, 2), "Next ID=7(2.5m)|PS-log. : V|");
    EXPECT_EQ(texts(6, 3), "Next ID=7(2.5m)||");
    EXPECT_EQ(texts(8, 0), "Next ID=7(2.5m)||Press Enter key to start Surface Wave Analysis Wizard.");
    EXPECT_EQ(texts(9, 2), "Next ID=7(2.5m)||Press Enter key to continue Surface Wave Analysis Wizard.");
}

TEST(AcquisitionModes, RefractionGeometryAndTooFewShots)
{
    Rig r;
    CAcquisitionMode& mode = r.Create(4);
    r.Count(24);
    r.ui.AnswerDialog("CSetPositionDlg");
    r.Count(5);
    r.ui.ExpectMessage("Number of receivers = 24 \n\n Number of shots = 5");
    r.ui.ExpectMessage("1 : -11.00m\n2 : 0.50m\n3 : 11.50m\n4 : 22.50m\n5 : 34.00m\n");
    mode.Step();
    EXPECT_EQ(r.ui.Calls()[1].Shown("Title"), "Set first receiver position");
    EXPECT_EQ(r.services.calls, std::vector<std::string>{"EditReceiverInterval"});
    EXPECT_EQ(mode.stepState, 1);
    EXPECT_EQ(mode.targetCount, 5);
    EXPECT_FLOAT_EQ(r.device.sourcePosition, -11.0f);
    EXPECT_FLOAT_EQ(mode.spreadLength, 24.0f);
    // Three shots are refused and Enter asks again.
    mode.stepState = 0;
    r.Count(24);
    r.ui.AnswerDialog("CSetPositionDlg");
    r.Count(3);
    r.ui.ExpectMessage("The number of shots must be 4 or more.");
    mode.Step();
    EXPECT_EQ(mode.stepState, 0);
    // A cancelled interval dialog leaves the state.
    r.services.results["EditReceiverInterval"] = 0;
    mode.Step();
    EXPECT_EQ(mode.stepState, 0);
}

TEST(AcquisitionModes, SurfaceWave2D)
{
    Rig r;
    CAcquisitionMode& mode = r.Create(3);
    // One receiver: state 1 and nothing said.
    r.Count(1);
    r.Count(2);
    mode.Step();
    EXPECT_EQ(mode.stepState, 1);
    EXPECT_TRUE(r.ui.Messages().empty());
    // Back at 5 before the analysis ran here goes to the geometry.
    mode.stepState = 5;
    r.Confirm(-1);
    EXPECT_EQ(mode.Confirm(), 1);
    EXPECT_EQ(mode.stepState, 2);
    // The analysis: CMP gathers at twice the interval, the curves, the line's result file.
    r.receiverInterval = 2.0f;
    r.Records(3);
    mode.stepState = 3;
    r.Confirm(1);
    r.ui.ExpectMessage("Dispersion curves were saved into " + r.folder.File("qkaa.pvs") + "!");
    r.services.calls.clear();
    mode.Step();
    EXPECT_EQ(mode.stepState, 5);
    EXPECT_EQ(r.services.calls,
              (std::vector<std::string>{"MakeCmpGatherFiles2D 4", "SetUpGroupGeometry", "SetGroupWaveformData 0",
                                        "PhaseVelocityCurves 40", "ShowNextWaveformFile",
                                        "SaveRostrelFile " + r.folder.File("qkaa.pvs") + " curves"}));
    // A failed analysis stays where it is.
    mode.stepState = 3;
    r.services.results["MakeCmpGatherFiles2D"] = 0;
    r.Confirm(1);
    mode.Step();
    EXPECT_EQ(mode.stepState, 3);
    // Reopening without result files: a line with records goes on at 2 up to state 4, else 5.
    LineRecord line;
    line.fileCount = 3;
    const std::pair<int, int> reopen[] = {{0, 2}, {3, 2}, {4, 2}, {5, 5}};
    for (const auto& [from, to] : reopen) {
        mode.stepState = from;
        EXPECT_EQ(mode.Start(r.m, line), 1);
        EXPECT_EQ(mode.stepState, to) << from;
    }
    line.fileCount = 0;
    mode.stepState = 3;
    mode.Start(r.m, line);
    EXPECT_EQ(mode.stepState, 3);
    // With a result file, dialog 326 offers its curves; they go to the dispersion program.
    auto curves = std::make_unique<CTraveltimeSet>();
    ModeContext c = r.m.Context();
    c.traveltime = curves.get();
    r.m.Attach(c);
    line.names = {1, "qkaa.pvs", 0, "", 0, ""};
    r.ui.AnswerDialog("CShowAnalysisResultDlg", {{"Result", "#0"}});
    r.ui.ExpectMessage("No dispersion curve data !");
    EXPECT_EQ(mode.Start(r.m, line), 0);
    EXPECT_EQ(r.ui.Calls()[r.ui.Calls().size() - 2].Shown("Result"), "Show dispersion curve");
}

TEST(AcquisitionModes, CompletionSaysSavedOnlyForAWrittenLineFile)
{
    Rig r;
    CAcquisitionMode& mam = r.Create(5);
    r.ui.ExpectMessage("Do the data acquisition \n\n Number of data = 0 / 20 !");
    mam.Step();
    r.Records(20);
    const std::string path = r.folder.File("qkaa.xml");
    r.lineFiles = 0;  // the line files off: nothing written, nothing claimed
    r.Confirm(1);
    r.ui.ExpectMessage("Data acquisition has been completed !");
    mam.Step();
    EXPECT_FALSE(std::filesystem::exists(path));
    r.lineFiles = 1;  // a write that fails says so
    std::filesystem::create_directory(path);
    mam.stepState = 1;
    r.Confirm(1);
    r.ui.ExpectMessage("Data acquisition has been completed ! \n\n Cannot save " + path);
    mam.Step();
    EXPECT_TRUE(r.ui.VerifyAndClear());
    EXPECT_TRUE(std::filesystem::is_directory(path));
}

TEST(AcquisitionModes, MicrotremorArrayAndPsLogging)
{
    Rig r;
    CAcquisitionMode& mam = r.Create(5);
    r.ui.ExpectMessage("Do the data acquisition \n\n Number of data = 0 / 20 !");
    mam.Step();
    EXPECT_EQ(mam.stepState, 1);
    r.Records(20);
    r.Confirm(1);
    r.ui.ExpectMessage("Data acquisition has been completed ! \n\n Analysis result was saved into " +
                       r.folder.File("qkaa.xml") + "!");
    mam.Step();
    EXPECT_EQ(mam.stepState, 2);

    r.ui.ExpectMessage(kPresetQuestion, MsgButtons::OkCancel, MsgResult::Cancel);
    CAcquisitionMode& ps = r.Create(6);
    const struct {
        MsgResult answer;  // to "Save waveform data?", when asked
        int state;
        std::vector<int> released;
    } steps[] = {
        {MsgResult::Cancel, 1, {3, 5, 12}}, {MsgResult::Cancel, 2, {1, 9}},  {MsgResult::No, 3, {1, 9}},
        {MsgResult::No, 3, {1, 9}},         {MsgResult::Yes, 0, {2, 4, 11}},
    };
    for (const auto& s : steps) {
        if (s.answer != MsgResult::Cancel) r.ui.ExpectMessage("Save waveform data?", MsgButtons::YesNo, s.answer);
        ps.Step();
        EXPECT_EQ(ps.stepState, s.state);
        EXPECT_EQ(r.Released(), s.released);
    }
    EXPECT_EQ(r.services.calls.back(), "SaveRecord");
    // A save that did not happen keeps the question.
    ps.stepState = 3;
    r.services.results["SaveRecord"] = 0;
    r.ui.ExpectMessage("Save waveform data?", MsgButtons::YesNo, MsgResult::Yes);
    ps.Step();
    EXPECT_EQ(ps.stepState, 3);
}

TEST(AcquisitionModes, GroundWaterWizardsAndConfirm)
{
    Rig r;
    r.receiverInterval = 2.0f;
    CAcquisitionMode& water = r.Create(7);
    r.Count(12);
    water.Step();
    EXPECT_FLOAT_EQ(r.device.sourcePosition, 1.0f);
    EXPECT_EQ(water.value, 12);

    for (const auto& [traces, state] : {std::pair{1, 0}, std::pair{2, 1}}) {
        CAcquisitionMode& masw = r.Create(8);
        r.services.results["OpenSeg2Record"] = traces;
        masw.Step();
        EXPECT_EQ(masw.stepState, state);
    }
    // Yes, Cancel, Back.
    const std::pair<int, std::pair<int, int>> answers[] = {{1, {1, 2}}, {0, {0, 2}}, {-1, {1, 1}}};
    for (const auto& [answer, expected] : answers) {
        r.m.Mode()->stepState = 2;
        r.Confirm(answer);
        EXPECT_EQ(r.m.Mode()->Confirm(), expected.first);
        EXPECT_EQ(r.m.Mode()->stepState, expected.second);
    }
}

}  // namespace
}  // namespace velk
