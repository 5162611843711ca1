// The exchange commands on a workspace, with a launcher that starts nothing but may act for
// the child: registered modules, the time-frequency export and the old 8-header files.

#include "app/survey/exchange_commands.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <complex>
#include <cstring>
#include <filesystem>
#include <numbers>

#include "app/dsp/signal_fixture.h"
#include "app/formats/document.h"
#include "platform/recent_files.h"
#include "platform/byte_io.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/paths.h"
#include "platform/shared_block.h"
#include "survey/module_exchange.h"
#include "survey/old_eight_header_conversion.h"
#include "traveltime/publish_traveltime_set.h"
#include "tools/fake_launcher.h"

namespace velk {
namespace {

using signaltest::SignalTest;
using Args = std::vector<std::string>;

class Exchange : public SignalTest {
protected:
    void SetUp() override
    {
        SignalTest::SetUp();
        doc = std::make_unique<CVelkarineDoc>(*ws);
        launcher = new FakeLauncher;
        ws->launcher.reset(launcher);
        ws->sleep = [this](int ms) {
            sleeps.push_back(ms);
            if (onSleep) onSleep();
        };
    }
    CommandContext Ctx() { return CommandContext{*ws, ui, *doc, recent, nullptr, nullptr}; }
    int Run(int id)
    {
        CommandContext ctx = Ctx();
        return RunCommand(table, id, ctx);
    }
    void Select(std::initializer_list<int> traces)
    {
        for (int t : traces) ws->store.Params().selectionFlags[static_cast<size_t>(t)] = 1;
    }
    std::string Home(const std::string& name) const { return home.File(name); }

    FakeLauncher* launcher = nullptr;
    std::vector<int> sleeps;
    std::function<void()> onSleep;
    std::unique_ptr<CVelkarineDoc> doc;
    RecentFileList recent;
    CommandTable table = BuildCommandTable();
    testing::TempFolder home;
    testing::ScopedEnv homeEnv{"VELKARINE_HOME", home.Path().c_str()};
};

// ---------------------------------------------------------------------------------------------
// Modules

TEST_F(Exchange, ModuleGetsTheRecordAndItsOutputBecomesTheRecord)
{
    Load({{1.5, -2.25, 1e-7}, {0.0, 3.0, 4.0}}, 125.0f);
    const std::string header = folder.File("tmp_header.txt"), data = folder.File("tmp.txt");
    launcher->act = [&](const FakeLauncher::Start& s) {
        EXPECT_EQ(s.args, (Args{"2", "3", "0.125000"}));
        EXPECT_EQ(s.folder, folder.Path());
        EXPECT_EQ(testing::ReadFileText(header), " 2 3 0.125000 \n"
                                                 " 1 100 0 1 1 0.000000 125.000000 3 \n"
                                                 " 2 200 0 1 1 0.000000 125.000000 3 \n");
        EXPECT_EQ(testing::ReadFileText(data), " 1.5 \n -2.25 \n 1.00000001e-07 \n 0 \n 3 \n 4 \n");
        // The module negates the record and halves its interval, with two samples a trace.
        testing::WriteFileText(header, "1 2 0.0625\n1 100 0 1 1 0 62.5 2\n");
        testing::WriteFileText(data, "-1.5 2.25");
    };
    ui.ExpectMessage("Wait till the module is completed ! ");
    ui.ExpectMessage("0.000000 0.125000");
    EXPECT_EQ(RunModule(*ws, ui, "/opt/module"), 1);
    const WaveformStore& s = ws->store;
    EXPECT_EQ(s.TraceCount(), 1);
    EXPECT_EQ(s.Params().samplesPerTrace, 2);
    EXPECT_FLOAT_EQ(s.Params().sampleInterval, 0.0625f);
    EXPECT_EQ(Row(0, 3), (std::vector<float>{-1.5f, 2.25f, 0.0f}));
    EXPECT_EQ(s.undoDepth, 1);
    EXPECT_FALSE(std::filesystem::exists(header));
    EXPECT_FALSE(std::filesystem::exists(data));
}

TEST_F(Exchange, UntouchedFilesGiveTheRecordBackBitForBit)
{
    LoadLcg(7, 3, 50, 250.0f);
    ws->store.current.rows[1][4] = 3.0e-9f;  // below what "%f" keeps
    std::vector<float> before;
    for (int i = 0; i < 3; ++i) {
        const auto r = Row(i, 50);
        before.insert(before.end(), r.begin(), r.end());
    }
    const std::vector<CTraceHeader> headers(ws->store.current.headers.begin(), ws->store.current.headers.begin() + 3);
    ui.ExpectMessage("Wait till the module is completed ! ");
    ui.ExpectAnyMessage();
    EXPECT_EQ(RunModule(*ws, ui, "/opt/module"), 1);
    std::vector<float> after;
    for (int i = 0; i < 3; ++i) {
        const auto r = Row(i, 50);
        after.insert(after.end(), r.begin(), r.end());
    }
    EXPECT_EQ(std::memcmp(before.data(), after.data(), before.size() * sizeof(float)), 0);
    EXPECT_TRUE(std::equal(headers.begin(), headers.end(), ws->store.current.headers.begin()));
}

TEST_F(Exchange, ModuleWithoutUsableOutputChangesNothing)
{
    LoadLcg(11, 2, 20, 500.0f);
    const std::string header = folder.File("tmp_header.txt"), data = folder.File("tmp.txt");
    struct Case {
        const char* what;
        std::function<void()> act;
    };
    const Case cases[] = {
        {"garbage", [&] { testing::WriteFileText(header, " 2 20 x\n"); }},
        {"too many traces", [&] { testing::WriteFileText(header, " 65 20 0.5\n"); }},
        {"too many samples", [&] { testing::WriteFileText(header, " 2 4101 0.5\n"); }},
        {"zero interval", [&] { testing::WriteFileText(header, " 2 20 0\n"); }},
        {"short data", [&] { testing::WriteFileText(data, " 1 2 3"); }},
        {"deleted files", [&] { std::filesystem::remove(header); std::filesystem::remove(data); }},
    };
    const auto before = Snapshot();
    for (const Case& k : cases) {
        launcher->act = [&](const FakeLauncher::Start&) { k.act(); };
        ui.ExpectMessage("Wait till the module is completed ! ");
        ui.ExpectMessage("The output of the module could not be read.");
        EXPECT_EQ(RunModule(*ws, ui, "/opt/module"), 0) << k.what;
        EXPECT_EQ(Snapshot(), before) << k.what;
        EXPECT_EQ(folder.Entries(), std::vector<std::string>{}) << k.what;
    }
    launcher->failing = {"/missing"};
    ui.ExpectMessage("Cannot start /missing: No such file or directory");
    EXPECT_EQ(RunModule(*ws, ui, "/missing"), 0);
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{});
}

TEST_F(Exchange, RegistrationDeletionAndTheMenuAgree)
{
    for (int i = 0; i < 6; ++i) {
        ui.AnswerFileOpen("/opt/m" + std::to_string(i));
        Run(cmd::kModuleRegistration);
    }
    ui.ExpectMessage("No more module can be registered !");
    Run(cmd::kModuleRegistration);
    EXPECT_TRUE(table.IsEnabled(cmd::kDeleteModule, *ws, recent));
    Run(cmd::kDeleteModule);
    Run(cmd::kDeleteModule);
    MenuBarModel model = table.BuildMenuBar(kMenuDefault, -1);
    AddModuleItems(model, ws->modules.Count(), ws->modules.names);
    std::vector<std::pair<int, std::string>> items;
    for (const MenuNode& n : model.Find("module")->children) items.emplace_back(n.id, n.text);
    const std::vector<std::pair<int, std::string>> want = {
        {cmd::kExecutableModule, "Executable module"}, {cmd::kModuleRegistration, "Module registration"},
        {cmd::kDeleteModule, "Delete module"},         {61446, "/opt/m0"},
        {61447, "/opt/m1"},                            {61448, "/opt/m2"},
        {61449, "/opt/m3"}};
    EXPECT_EQ(items, want);

    // Item 61449 runs the fourth path; the items beyond the count run nothing.
    LoadLcg(1, 1, 8, 1000.0f);
    ui.ExpectMessage("Wait till the module is completed ! ");
    ui.ExpectAnyMessage();
    Run(61449);
    EXPECT_EQ(Run(61450), 0);
    EXPECT_EQ(launcher->Started(), Args{"/opt/m3"});
    for (int i = 0; i < 4; ++i) Run(cmd::kDeleteModule);
    EXPECT_FALSE(table.IsEnabled(cmd::kDeleteModule, *ws, recent));
}

// ---------------------------------------------------------------------------------------------
// Time-frequency export

// |X_k| / L of the window x[start .. start + L - 1], by the direct sum.
double DirectAmplitude(const std::vector<double>& x, int start, int L, int k)
{
    std::complex<double> sum;
    for (int j = 0; j < L; ++j) {
        sum += x[static_cast<size_t>(start + j)] * std::polar(1.0, -2.0 * std::numbers::pi * k * j / L);
    }
    return std::abs(sum) / L;
}

TEST_F(Exchange, WfftWritesThePanelsOfTheSelectedTracesThenStartsNordalis)
{
    std::vector<std::vector<double>> traces;
    for (uint32_t t = 0; t < 4; ++t) traces.push_back(dsptest::SignalLcg(40 + t, 1000));
    Load(traces, 250.0f);
    Select({0, 2, 3});
    ws->programPaths.nordalis = "/opt/Nordalis";
    ui.AnswerDialogWith("CWfftDlg", [](DialogRequest& r) {
        EXPECT_EQ(r.Find("Number of window samples")->Text(), "16");
        EXPECT_EQ(r.Find("Frequency range shown")->Text(), "1/2");
        return true;
    });
    EXPECT_EQ(Run(cmd::kOptionWfft), 0);
    EXPECT_EQ(launcher->Started(), Args{"/opt/Nordalis"});
    EXPECT_EQ(launcher->starts[0].args, Args{});

    ByteSource file = ByteSource::FromFile(Home("wfft.dat"));
    ASSERT_TRUE(file.Ok());
    int32_t np = 0, nw = 0, nf = 0;
    float dt = 0, df = 0;
    file.ReadI32(np, ByteOrder::Little);
    file.ReadI32(nw, ByteOrder::Little);
    file.ReadI32(nf, ByteOrder::Little);
    file.ReadF32(dt, ByteOrder::Little);
    file.ReadF32(df, ByteOrder::Little);
    EXPECT_EQ(std::tuple(np, nw, nf), std::tuple(3, 247, 4));
    EXPECT_FLOAT_EQ(dt, 1.0f);     // hop 4 x 0.25 ms
    EXPECT_FLOAT_EQ(df, 250.0f);   // 1 / (16 x 0.25 ms)
    ASSERT_EQ(file.Remaining(), 3u * 247 * 4 * 4);
    for (const int t : {0, 2, 3}) {
        for (int w = 0; w < nw; ++w) {
            for (int k = 0; k < nf; ++k) {
                float v = 0;
                file.ReadF32(v, ByteOrder::Little);
                const double want = DirectAmplitude(traces[static_cast<size_t>(t)], 4 * w, 16, k);
                ASSERT_NEAR(v, want, 1e-6 * std::max(want, 1e-3)) << t << " " << w << " " << k;
            }
        }
    }
}

TEST_F(Exchange, WfftRefusalsLeaveTheOlderFile)
{
    Load({std::vector<double>(100, 1.0)}, 1000.0f);
    const std::string path = Home("wfft.dat");
    testing::WriteFileText(path, "older");
    ws->programPaths.nordalis = "/opt/Nordalis";

    ui.ExpectMessage("No trace is selected !");
    Run(cmd::kOptionWfft);
    Select({0});
    ui.CancelDialog("CWfftDlg");
    Run(cmd::kOptionWfft);
    ui.AnswerDialog("CWfftDlg", {{"Number of window samples", "12"}});
    ui.ExpectMessage("The number of window samples must be 4, 8, 16, 32, 64, 128, 256 or 512.");
    ui.CancelDialog("CWfftDlg");
    Run(cmd::kOptionWfft);
    ws->store.current.headers[0].intervalUs = 0.0f;
    ui.ExpectMessage("The sampling time of this record is not valid.");
    Run(cmd::kOptionWfft);
    EXPECT_EQ(testing::ReadFileText(path), "older");
    EXPECT_TRUE(launcher->starts.empty());

    // A window longer than the trace: the header alone, and Nordalis still starts.
    ws->store.current.headers[0].intervalUs = 1000.0f;
    ui.AnswerDialog("CWfftDlg", {{"Number of window samples", "128"}});
    Run(cmd::kOptionWfft);
    EXPECT_EQ(testing::ReadFileBytes(path).size(), 20u);
    EXPECT_EQ(launcher->Started(), Args{"/opt/Nordalis"});

    // A file that cannot be written says so, in either language, with the system's reason;
    // Nordalis is not started.
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    launcher->starts.clear();
    for (const int language : {kLanguageEnglish, kLanguageJapanese}) {
        ws->startup.language = language;
        ui.AnswerDialog("CWfftDlg", {{"Number of window samples", "128"}});
        ui.ExpectAnyMessage();
        Run(cmd::kOptionWfft);
        const std::string said = ui.Messages().back();
        EXPECT_EQ(said.rfind(Msg(language, "Cannot write the file") + "\n" + path + "\n", 0), 0u) << said;
        EXPECT_NE(said.find(std::strerror(EISDIR)), std::string::npos) << said;
    }
    EXPECT_TRUE(launcher->starts.empty());
}

// ---------------------------------------------------------------------------------------------
// Old 8-header files

std::vector<uint8_t> ConverterFile(int traces, int samples)
{
    ByteSink sink;
    for (int i = 0; i < traces; ++i) {
        CTraceHeader h;
        h.Set(i + 1, i * 100, 0, 1, 1, 0.0f, 500.0f, samples);
        h.WriteBinary(sink);
        for (int j = 0; j < samples; ++j) sink.WriteF32(static_cast<float>(i * 10 + j), ByteOrder::Little);
    }
    return sink.Bytes();
}

TEST_F(Exchange, OldFileOutputThatAppearsAtTheThirdTryBecomesTheRecord)
{
    const std::string source = folder.File("old file.dat"), temp = folder.File(kConverterTempFile);
    testing::WriteFileText(temp, "stale");
    onSleep = [&] {
        if (sleeps.size() == 3) testing::WriteFileBytes(temp, ConverterFile(3, 5));
    };
    ui.AnswerFileOpen(source);
    EXPECT_EQ(Run(cmd::kOpenOld8HeaderFile), 1);
    ASSERT_EQ(launcher->starts.size(), 1u);
    EXPECT_EQ(launcher->starts[0].executable, KelvarnPath());
    EXPECT_EQ(launcher->starts[0].args, (Args{"old file.dat", "-0"}));
    EXPECT_EQ(launcher->starts[0].folder, folder.Path());
    EXPECT_EQ(sleeps, (std::vector<int>{500, 1000, 1000}));
    EXPECT_EQ(ws->store.TraceCount(), 3);
    EXPECT_EQ(Row(2, 5), (std::vector<float>{20, 21, 22, 23, 24}));
    EXPECT_FLOAT_EQ(ws->store.Params().sampleInterval, 0.5f);
    EXPECT_FALSE(std::filesystem::exists(temp));
}

TEST_F(Exchange, OldFileWithoutOutputOrWithTooManyTracesChangesNothing)
{
    LoadLcg(3, 2, 10, 1000.0f);
    const auto before = Snapshot();
    ui.AnswerFileOpen(folder.File("a.dat"));
    ui.ExpectMessage("Could not open the file !");
    EXPECT_EQ(Run(cmd::kOpenOld8HeaderFile), 0);
    EXPECT_EQ(sleeps, (std::vector<int>{500, 1000, 1000, 1000, 1000, 500}));

    launcher->act = [&](const FakeLauncher::Start&) {
        testing::WriteFileBytes(folder.File(kConverterTempFile), ConverterFile(65, 2));
    };
    ui.AnswerFileOpen(folder.File("a.dat"));
    ui.ExpectMessage(RecordTooLargeMessage(-1, 64, 4100));
    EXPECT_EQ(Run(cmd::kOpenOld8HeaderFile), 0);
    EXPECT_EQ(Snapshot(), before);
    EXPECT_FALSE(std::filesystem::exists(folder.File(kConverterTempFile)));
}

TEST_F(Exchange, ConversionStartsKelvarnPerFileAndStopsWhenItCannot)
{
    ui.AnswerFilesOpen({"/d/a.8hd", "/d/b.8HD"});
    ui.ExpectMessage("2 files have been converted ! ");
    Run(cmd::kConvertOld8HeaderFiles);
    ASSERT_EQ(launcher->starts.size(), 2u);
    EXPECT_EQ(launcher->starts[0].args, (Args{"/d/a.8hd", "-1", "-/d/a_new.8hd"}));
    EXPECT_EQ(launcher->starts[1].args, (Args{"/d/b.8HD", "-1", "-/d/b.8HD_new.8hd"}));
    EXPECT_EQ(launcher->starts[1].folder, "/d");
    EXPECT_EQ(sleeps, (std::vector<int>{800, 800}));

    launcher->failing = {KelvarnPath()};
    ui.AnswerFilesOpen({"/d/a.8hd", "/d/c.8hd"});
    ui.ExpectMessage("Could not find Kelvarn.exe in " + OwnExecutableDir());
    Run(cmd::kConvertOld8HeaderFiles);
    EXPECT_EQ(launcher->starts.size(), 3u);
}

// ---------------------------------------------------------------------------------------------
// Sibling paths and blocks across the run

TEST_F(Exchange, PickedRostrelPathIsWrittenAndBlocksAreRemovedAtShutdown)
{
    SetSharedBlockPrefix("velk-test-" + std::to_string(::getpid()) + "-");
    const float v[1] = {1.0f};
    ASSERT_TRUE(ws->olvenarLink->PutCurve(1, v, v, "a", "b"));
    EXPECT_TRUE(std::filesystem::exists("/dev/shm" + SharedBlockObjectName("MyData")));
    ASSERT_EQ(OpenRostrelData(ws->traveltimeSet), 1);

    launcher->failing = {ws->programPaths.rostrel};
    ui.ExpectMessage("Can not launch Rostrel. ");
    ui.AnswerFileOpen("/opt/Rostrel");
    EXPECT_EQ(LaunchRostrel(ws->programPaths.rostrel, "AUTOMATIC", LaunchServicesOf(*ws, ui)), 1);
    EXPECT_EQ(ws->Shutdown(FrameRect{}), "");
    EXPECT_EQ(profile->GetString("General", "RostrelLocation"), "/opt/Rostrel");
    EXPECT_EQ(ws->traveltimeSet.BlockView(), nullptr);
    for (const auto& e : std::filesystem::directory_iterator("/dev/shm")) {
        EXPECT_NE(e.path().filename().string().rfind(SharedBlockPrefix(), 0), 0u) << e.path();
    }
    SetSharedBlockPrefix("");
}

}  // namespace
}  // namespace velk
