#include "app/workspace.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/settings_table.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/uihost.h"
#include "tools/scripted_uihost.h"
#include "tools/test_support.h"

namespace velk {
namespace {

std::vector<std::string> Keys(const Profile& p)
{
    std::vector<std::string> keys;
    for (const auto& e : p.Document().Entries()) {
        keys.push_back(e.key);
    }
    return keys;
}

struct WorkspaceTest : ::testing::Test {
    // A fresh workspace over an in-memory profile with the given text.
    std::unique_ptr<Workspace> Make(const std::string& text = "")
    {
        profile = std::make_unique<Profile>(Profile::FromText(text));
        return std::make_unique<Workspace>(*profile, ui);
    }
    std::unique_ptr<Profile> profile;
    NullUiHost ui;
};

TEST_F(WorkspaceTest, FreshProfileGivesTheTableDefaults)
{
    auto ws = Make();
    ws->InitForView("/tmp/work");
    for (const SettingBinding& row : SettingsTable()) {
        if (row.type == SettingType::Hook || row.defaultText == nullptr) {
            continue;
        }
        EXPECT_EQ(SettingValueText(row, *ws), row.defaultText) << row.key;
    }
    EXPECT_EQ(ws->settings.unitText, "m");
    EXPECT_EQ(ws->programPaths.nordalis, SiblingProgramPath("Nordalis"));
    EXPECT_EQ(ws->programPaths.quessil, SiblingProgramPath("Quessil"));
    EXPECT_EQ(ws->programPaths.mandrove, SiblingProgramPath("Mandrove"));
    EXPECT_EQ(ws->programPaths.rostrel, SiblingProgramPath("Rostrel"));
    ASSERT_TRUE(ws->olvenarLink);
    EXPECT_EQ(ws->olvenarLink->path, SiblingProgramPath("Olvenar"));
    EXPECT_EQ(ws->driveText, DriveMountPoint(*profile, 'e'));
    EXPECT_EQ(ws->workingFolder, "/tmp/work");
    // Store and view state after construction.
    EXPECT_EQ(ws->store.MaxTraces(), 128);
    EXPECT_EQ(ws->store.MaxSample(), 4100);
    EXPECT_EQ(ws->store.RowLength(), 8192);
    EXPECT_TRUE(ws->store.IsAllocated());
    EXPECT_EQ(ws->store.current.rows.Rows(), 129u);
    EXPECT_EQ(ws->store.Params().traceCount, 0);
    EXPECT_EQ(ws->store.Params().samplesPerTrace, 1024);
    EXPECT_EQ(ws->store.Params().sampleInterval, 1.0f);
    EXPECT_EQ(ws->store.Params().vscale, 0.01f);
    EXPECT_EQ(ws->store.level1.params.traceCount, 0);
    EXPECT_EQ(ws->store.Params().layerCodes, std::vector<int32_t>(128, 1));
    EXPECT_EQ(ws->store.undone, 0);
    EXPECT_EQ(ws->display.selectedOnly, -1);
    EXPECT_EQ(ws->display.clip, 1);
    EXPECT_EQ(ws->display.plotMode, -2);
    EXPECT_EQ(ws->componentToEdit, -1);
    EXPECT_EQ(ws->theoretical.capacity, 128);
    EXPECT_EQ(ws->tauP.startSlowness, 0.05f);
    EXPECT_EQ(ws->tauP.stackingMode, 2);
    EXPECT_EQ(ws->contour.endFrequency, 40.0f);
    EXPECT_EQ(ws->displayFilter.highCut, -1.0f);
    EXPECT_EQ(ws->acquisitionStartupValue, 1);
    EXPECT_EQ(ws->fileGroup.entryCount, 0);
    EXPECT_EQ(ws->traveltimeSet.shotCount, 0);
    // Reading wrote nothing.
    EXPECT_EQ(profile->Text(), "");
}

// Every key of the write-back, in its order.
const std::vector<std::string> kViewKeys = {
    "PLOT_DIRECTION", "WindowX", "WindowY", "WindowW", "WindowH", "Language", "XORG_0",
    "YORG_0", "csUnit", "fAmplitudeConstant", "ShowAmplitude", "plotscale", "hscale", "vscale",
    "F_END", "PV_END", "PV_INTERVAL", "PV_DIRECTION", "MIGRATION_VELOCITY", "MAXTRACES",
    "MAX_SAMPLE", "MAX_WORK_GROUP_FILE", "I_SENSE", "parameter.i_vertical_axis",
    "parameter.i_horizontal_axis", "NModule", "NordalisString", "Quessil", "MandroveString",
    "RostrelLocation", "I_FILE", "PREFIX0", "PREFIX1", "PREFIX2", "PREFIX3", "EXTENTION0",
    "EXTENTION1", "EXTENTION2", "EXTENTION3", "NDIGITS0", "NDIGITS1", "NDIGITS2", "NDIGITS3",
    "UNIT", "NSkip", "ITriggerPlot", "i_plot_mode", "COMPLETEMENU",
    "bApplyCurrentConfiguration", "bApplyCurrentConfigurationDistance", "xst", "xe", "xi",
    "yi", "BPFFL", "BPFFH", "BPFSL", "BPFSH", "ThreeComponentLabel", "bChangeDataLength",
    "i_km", "MAX_X_SIZE"};
const std::vector<std::string> kViewObjectKeys = {
    "PICKFREQENCY", "PICKNCHECK", "PICKPORTION", "PICKNEAROFFSETLIMIT", "PICKBPF", "GEOMETRY_XSCALE",
    "GEOMETRY_YSCALE", "velocity1", "velocity2", "depth_2nd_layer", "iTheoreticalTraveltimeMode", "Olvenar"};
const std::vector<std::string> kProgramEndKeys = {
    "ReceiverInterval", "bMoveReceivers", "SourceInterval", "DepthMaxForDepthTravsformation",
    "bMedianFilter", "MinMaxPlot", "TAUP_V_START", "TAUP_V_END", "TAUP_V_PITCH",
    "TAUP_I_STACK_MENU", "iCorollary", "LatitudeOrigin", "LongitudeOrigin"};

std::vector<std::string> Concat(std::vector<std::vector<std::string>> parts)
{
    std::vector<std::string> all;
    for (auto& p : parts) {
        all.insert(all.end(), p.begin(), p.end());
    }
    return all;
}

TEST_F(WorkspaceTest, ShutdownWritesEveryKeyInItsOrder)
{
    auto ws = Make();
    ws->InitForView();
    ws->Shutdown(FrameRect{1, 2, 3, 4});
    EXPECT_EQ(Keys(*profile), Concat({kViewKeys, kViewObjectKeys, kProgramEndKeys}));
    EXPECT_EQ(profile->GetInt("general", "WindowX"), 1);
    EXPECT_EQ(profile->GetInt("general", "WindowH"), 4);
    EXPECT_EQ(profile->GetString("General", "plotscale"), "20.000000");
    EXPECT_EQ(profile->GetString("General", "vscale"), "0.010000");
    EXPECT_EQ(profile->GetString("General", "PV_INTERVAL"), "0.002500");
    EXPECT_EQ(profile->GetString("General", "UNIT"), "m");
    EXPECT_EQ(profile->GetString("General", "TAUP_V_PITCH"), "0.050000");
    EXPECT_FALSE(ws->store.IsAllocated());
    EXPECT_FALSE(ws->olvenarLink);
}

TEST_F(WorkspaceTest, ShutdownInAcquisitionModeAddsQkwMenuAndModules)
{
    auto ws = Make("[general]\nNModule=2\nModule0=a\nModule1=b\nModule2=c\n");
    ws->startup.acquisitionMode = 1;
    ws->startup.qkwMenu = 4;
    ws->InitForView();
    EXPECT_EQ(ws->modules.count, 2);
    EXPECT_EQ(ws->modules.names[2], "c");
    ws->modules.names[1] = "bb";
    ws->Shutdown(FrameRect{});
    EXPECT_EQ(profile->GetInt("General", "QKWMenu"), 4);
    EXPECT_EQ(profile->GetString("general", "Module1"), "bb");
    const auto keys = Keys(*profile);
    auto pos = [&](const std::string& k) { return std::find(keys.begin(), keys.end(), k) - keys.begin(); };
    EXPECT_LT(pos("BPFSH"), pos("QKWMenu"));
    EXPECT_LT(pos("QKWMenu"), pos("ThreeComponentLabel"));
}

TEST_F(WorkspaceTest, ModuleCountIsClampedOnReadingAndWriting)
{
    auto ws = Make("[general]\nNModule=9\n");
    ws->InitForView();
    EXPECT_EQ(ws->modules.count, 6);
    ws->modules.count = -3;
    ws->SaveViewSettings(FrameRect{});
    EXPECT_EQ(profile->GetInt("general", "NModule"), 0);
    EXPECT_FALSE(profile->GetString("general", "Module0").has_value());
    auto ws2 = Make("[general]\nNModule=-2\n");
    ws2->InitForView();
    EXPECT_EQ(ws2->modules.count, 0);
}

TEST_F(WorkspaceTest, PlotscaleAndAxisFixUps)
{
    auto ws = Make("[General]\nplotscale=0.000000\nhscale=0.000000\n"
                   "parameter.i_vertical_axis=0\nparameter.i_horizontal_axis=-1\n");
    ws->InitForView();
    EXPECT_EQ(ws->store.Params().plotscale, 20.0f);
    EXPECT_EQ(ws->store.Params().hscale, 1.0f);
    EXPECT_EQ(ws->store.Params().verticalAxisKind, 1);
    EXPECT_EQ(ws->store.Params().horizontalAxisKind, -1);
    auto ws2 = Make("[General]\nplotscale=-5.000000\n");
    ws2->InitForView();
    EXPECT_EQ(ws2->store.Params().plotscale, -5.0f);
}

TEST_F(WorkspaceTest, KeptAxesAreReadOnlyWhenAppliedAndNotInAcquisition)
{
    const std::string keys = "xst=1.5\nxe=2.5\nxi=3.5\nyi=4.5\nvscale=0.5\nplotscale=7\n";
    auto off = Make("[General]\n" + keys);
    off->InitForView();
    EXPECT_EQ(off->settings.xst, 0.0f);
    EXPECT_EQ(off->store.Params().vscale, 0.01f);
    EXPECT_EQ(off->store.Params().plotscale, 7.0f);  // the unconditional read

    auto on = Make("[General]\nbApplyCurrentConfiguration=1\nplotscale=3\n" + keys);
    on->InitForView();
    EXPECT_EQ(on->settings.xst, 1.5f);
    EXPECT_EQ(on->settings.xe, 2.5f);
    EXPECT_EQ(on->settings.xi, 3.5f);
    EXPECT_EQ(on->settings.yi, 4.5f);
    EXPECT_EQ(on->store.Params().vscale, 0.5f);
    EXPECT_EQ(on->store.Params().plotscale, 3.0f);  // first key wins in the file

    auto acq = Make("[General]\nbApplyCurrentConfiguration=1\n" + keys);
    acq->startup.acquisitionMode = 1;
    acq->InitForView();
    EXPECT_EQ(acq->settings.xst, 0.0f);
    EXPECT_EQ(acq->store.Params().vscale, 0.01f);
}

TEST_F(WorkspaceTest, StoredZeroVscaleKeepsTheCurrentValue)
{
    auto ws = Make("[General]\nbApplyCurrentConfiguration=1\nvscale=0.000000\n");
    ws->InitForView();
    EXPECT_EQ(ws->store.Params().vscale, 0.01f);
    auto neg = Make("[General]\nbApplyCurrentConfiguration=1\nvscale=-1.0\n");
    neg->InitForView();
    EXPECT_EQ(neg->store.Params().vscale, 0.01f);
}

TEST_F(WorkspaceTest, UnitDefaultsByFeetModeAndKilometres)
{
    struct Case {
        int feet, km;
        const char* unit;
    };
    for (Case c : {Case{0, 0, "m"}, Case{0, 1, "km"}, Case{1, 0, "ft"}, Case{1, 1, "kft"}}) {
        auto ws = Make(c.km ? "[General]\ni_km=1\n" : "");
        ws->startup.feetShortMenu = c.feet;
        ws->InitForView();
        EXPECT_EQ(ws->settings.unitText, c.unit);
    }
    auto stored = Make("[General]\nUNIT=m\n");
    stored->startup.feetShortMenu = 1;
    stored->InitForView();
    EXPECT_EQ(stored->settings.unitText, "m");
}

TEST_F(WorkspaceTest, MaxTracesFromTheProfile)
{
    auto ws = Make("[General]\nMAXTRACES=256\nMAX_SAMPLE=2000\n");
    ws->InitForView();
    EXPECT_EQ(ws->store.MaxTraces(), 256);
    EXPECT_EQ(ws->store.current.headers.size(), 256u);
    EXPECT_EQ(ws->store.Params().capacity, 256);
    EXPECT_EQ(ws->store.RowLength(), 2048);
    auto bad = Make("[General]\nMAXTRACES=0\nMAX_SAMPLE=-3\n");
    bad->InitForView();
    EXPECT_EQ(bad->store.MaxTraces(), 128);
    EXPECT_EQ(bad->store.MaxSample(), 4100);
}

TEST_F(WorkspaceTest, AcquisitionLimitsHoldForTheRunOnly)
{
    auto ws = Make("[General]\nMAXTRACES=200\nMAX_SAMPLE=5000\nXORG_0=123\nYORG_0=321\n"
                   "PLOT_DIRECTION=1\n");
    ws->startup.acquisitionMode = 1;
    ws->startup.instrumentMenu = 1;
    ws->InitForView();
    EXPECT_EQ(ws->store.MaxTraces(), 64);
    EXPECT_EQ(ws->store.MaxSample(), 16400);
    EXPECT_EQ(ws->store.RowLength(), 32768);
    EXPECT_EQ(ws->store.current.rows.Rows(), 65u);
    EXPECT_EQ(ws->settings.xOrg0, 300);
    EXPECT_EQ(ws->settings.yOrg0, 200);
    EXPECT_EQ(ws->settings.plotDirection, 0);
    ws->Shutdown(FrameRect{});
    EXPECT_EQ(profile->GetInt("General", "MAXTRACES"), 200);
    EXPECT_EQ(profile->GetInt("General", "MAX_SAMPLE"), 5000);
    EXPECT_EQ(profile->GetInt("General", "XORG_0"), 123);
    EXPECT_EQ(profile->GetInt("General", "YORG_0"), 321);
    EXPECT_EQ(profile->GetInt("General", "PLOT_DIRECTION"), 1);
}

TEST_F(WorkspaceTest, AcquisitionWithoutInstrumentMenuKeepsTheMargins)
{
    auto ws = Make("[General]\nXORG_0=123\n");
    ws->startup.acquisitionMode = 1;
    ws->InitForView();
    EXPECT_EQ(ws->settings.xOrg0, 123);
    EXPECT_EQ(ws->store.MaxTraces(), 64);
}

TEST_F(WorkspaceTest, LaterViewsReadOnlyTheAutomaticPickingKeys)
{
    auto ws = Make("[General]\nPICKPORTION=5\nBPFFL=2.0\n");
    ws->InitForView();
    EXPECT_EQ(ws->autoPick.portion, 5);
    EXPECT_EQ(ws->settings.bpfLowCut, 2.0f);
    profile->SetInt("General", "PICKPORTION", 6);
    profile->SetFloat("General", "BPFFL", 3.0f);
    ws->store.undone = 1;
    ws->store.Params().traceCount = 3;
    ws->InitForView();
    EXPECT_EQ(ws->autoPick.portion, 6);
    EXPECT_EQ(ws->settings.bpfLowCut, 2.0f);
    EXPECT_EQ(ws->store.undone, 0);
    EXPECT_EQ(ws->store.Params().traceCount, 3);
}

TEST_F(WorkspaceTest, RoundTripThroughTheProfileFileRestoresTheValues)
{
    testing::TempFolder dir;
    const std::string path = dir.File("Velkarine.ini");
    testing::ScopedEnv env("VELKARINE_PROFILE", path.c_str());
    {
        Profile p = Profile::OpenDefault();
        ASSERT_EQ(p.Path(), path);
        Workspace ws(p, ui);
        ws.InitForView();
        ws.settings.bpfHighCut = 250.0f;
        ws.settings.unitText = "ft";
        ws.store.Params().hscale = 25.0f;
        ws.store.Params().vscale = 0.125f;
        ws.contour.medianFilter = 0;
        ws.geometry.receiverInterval = 2.5f;
        ws.tauP.endSlowness = 0.75f;
        ws.tauP.stackingMode = 1;
        ws.autoPick.centreFrequency = 50.0f;
        ws.fileGroup.prefix[2] = "shot";
        ws.Shutdown(FrameRect{});
    }
    Profile p = Profile::OpenDefault();
    Workspace ws(p, ui);
    ws.InitForView();
    EXPECT_EQ(ws.settings.bpfHighCut, 250.0f);
    EXPECT_EQ(ws.settings.unitText, "ft");
    EXPECT_EQ(ws.store.Params().hscale, 25.0f);
    EXPECT_EQ(ws.store.Params().vscale, 0.01f);  // vscale is read only with kept axes
    EXPECT_EQ(ws.contour.medianFilter, 0);
    EXPECT_EQ(ws.geometry.receiverInterval, 2.5f);
    EXPECT_EQ(ws.tauP.endSlowness, 0.75f);
    EXPECT_EQ(ws.tauP.stackingMode, 1);
    EXPECT_EQ(ws.autoPick.centreFrequency, 50.0f);
    EXPECT_EQ(ws.fileGroup.prefix[2], "shot");
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"Velkarine.ini"});
}

TEST_F(WorkspaceTest, NumbersAreWrittenInTheCLocaleWhateverTheProcessLocale)
{
    testing::ScopedGlobalLocale german("de_DE.UTF-8");
    if (!german.Ok()) {
        GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    }
    auto ws = Make("[General]\nBPFFL=2.5\n");
    ws->InitForView();
    EXPECT_EQ(ws->settings.bpfLowCut, 2.5f);
    ws->Shutdown(FrameRect{});
    EXPECT_EQ(profile->GetString("General", "BPFFL"), "2.500000");
    EXPECT_EQ(profile->GetString("General", "vscale"), "0.010000");
}

TEST_F(WorkspaceTest, AutoPickKeysMatchTheTraveltimeWriter)
{
    auto ws = Make();
    ws->InitForView();
    ws->autoPick.portion = 3;
    ws->ReleaseView();
    std::string viaView = profile->Text();
    Profile other = Profile::FromText("");
    SaveAutoPickSettings(other, ws->autoPick);
    EXPECT_EQ(viaView.substr(0, other.Text().size()), other.Text());
}

TEST(WorkspaceDeathTest, StartupAllocationFailureExitsWithTen)
{
    Profile p = Profile::FromText("[General]\nMAXTRACES=1000000\nMAX_SAMPLE=1000000\n");
    NullUiHost ui;
    Workspace ws(p, ui);
    EXPECT_EXIT(ws.InitForView(), ::testing::ExitedWithCode(10), "");
}

TEST(WorkspaceDeathTest, ImpossibleTraceCapacityExitsBeforeAllocating)
{
    Profile p = Profile::FromText("[General]\nMAXTRACES=2147483647\n");
    ScriptedUiHost ui;
    Workspace ws(p, ui);
    EXPECT_EXIT(
        {
            ui.ExpectAnyMessage();
            ws.InitForView();
        },
        ::testing::ExitedWithCode(10), "");
}

TEST(WorkspaceTextTest, AllocationFailureTextSaysHowToFixIt)
{
    const std::string text = StoreAllocationFailureText(5, 6, "why", "/x/Velkarine.ini");
    EXPECT_NE(text.find("MAXTRACES"), std::string::npos);
    EXPECT_NE(text.find("MAX_SAMPLE"), std::string::npos);
    EXPECT_NE(text.find("/x/Velkarine.ini"), std::string::npos);
    EXPECT_NE(text.find("why"), std::string::npos);
}

}  // namespace
}  // namespace velk
