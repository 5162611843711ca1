// The modelling commands: nothing changes on Cancel or a refusal, Undo after the frequency-domain
// noise, the VSP processing on odd picks and few traces, the velocity model with its display
// grids and ray tracing, and the earthquake simulation files.

#include "app/traveltime/modelling_commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "app/dsp/data_kind.h"
#include "app/dsp/signal_fixture.h"
#include "app/operations.h"
#include "app/view/contour_display.h"

namespace velk {
namespace {

using signaltest::SignalTest;

class Modelling : public SignalTest {
protected:
    void SetUp() override
    {
        SignalTest::SetUp();
        ws->traceEdit.randomSeed = [] { return 77u; };
    }
    // Everything a command could change in the store, as bytes.
    std::vector<uint8_t> Snapshot() const
    {
        const WaveformStore& s = ws->store;
        std::vector<uint8_t> bytes;
        auto add = [&](const void* p, size_t n) {
            const auto* b = static_cast<const uint8_t*>(p);
            bytes.insert(bytes.end(), b, b + n);
        };
        for (const float v : s.current.rows.Elements()) add(&v, sizeof v);
        for (const float v : s.current.imag.Elements()) add(&v, sizeof v);
        for (const CTraceHeader& h : s.current.headers) add(&h, sizeof h);
        const CParameterSet& p = s.Params();
        for (const auto* v : {&p.traceCount, &p.samplesPerTrace, &s.undoDepth}) add(v, sizeof *v);
        add(&p.sampleInterval, sizeof p.sampleInterval);
        const int kind = s.dataKind();
        add(&kind, sizeof kind);
        for (const float t : p.pickTimes) add(&t, sizeof t);
        return bytes;
    }
    std::string TempFile(const std::string& name, const std::string& text)
    {
        const std::string path = folder.Path() + "/" + name;
        testing::WriteFileText(path, text);
        return path;
    }
};

TEST_F(Modelling, CancelAndRefusalsLeaveTheStoreUnchanged)
{
    LoadLcg(5, 4, 256, 1000.0f);
    const std::vector<uint8_t> before = Snapshot();
    const float velocity = ws->modelling.migrationVelocity;
    struct Case {
        const char* dialog;
        int (*command)(Workspace&, UiHost&);
    };
    for (const Case& c : {Case{"CDiffractionDlg", OnDiffraction}, Case{"CVspDlg", OnVsp},
                          Case{"CReflectionDlg", OnReflection}, Case{"CTimeNoiseDlg", OnAddTimeNoise}}) {
        ui.CancelDialog(c.dialog);
        EXPECT_EQ(c.command(*ws, ui), 0) << c.dialog;
        EXPECT_EQ(Snapshot(), before) << c.dialog;
    }
    ui.AnswerFileOpen(TempFile("spikes.txt", "1 1 2\n"));
    ui.CancelDialog("CSamplingLengthDlg");
    EXPECT_EQ(OnSpikeRecord(*ws, ui), 0);

    // Records too large for the store, refused after OK.
    ui.AnswerDialog("CDiffractionDlg", {{"# of traces", "65"}, {"Velocity", "2.5"}});
    ui.ExpectMessage(TracesTooLargeText(-1, 64));
    EXPECT_EQ(OnDiffraction(*ws, ui), 0);
    EXPECT_FLOAT_EQ(ws->modelling.migrationVelocity, 2.5f);  // the velocity is kept on OK
    ui.AnswerDialog("CReflectionDlg", {{"Data length", "4102"}});
    ui.ExpectMessage(RecordLongerThanMaxSampleText(-1, 4102, 4100));
    EXPECT_EQ(OnReflection(*ws, ui), 0);
    ui.AnswerDialog("CVspDlg", {{"Velocity", "0"}});
    ui.ExpectMessage("The velocity must be larger than 0 !");
    EXPECT_EQ(OnVsp(*ws, ui), 0);
    EXPECT_EQ(Snapshot(), before);
    ws->modelling.migrationVelocity = velocity;

    Build(64, 2048);
    const std::vector<uint8_t> empty = Snapshot();
    ui.ExpectMessage(RecordLongerThanMaxSampleText(-1, 4096, 2048));
    EXPECT_EQ(OnDispersiveSurfaceWave(*ws, ui), 0);
    EXPECT_EQ(Snapshot(), empty);
}

TEST_F(Modelling, GeneratorsReplaceTheRecordWithOneUndo)
{
    LoadLcg(5, 4, 256, 1000.0f);
    ui.AnswerDialog("CReflectionDlg", {{"# of traces", "12"}, {"Include directwaves", "0"}});
    ASSERT_EQ(OnReflection(*ws, ui), 1);
    EXPECT_EQ(ws->store.TraceCount(), 12);
    EXPECT_EQ(ws->store.undoDepth, 1);
    EXPECT_FLOAT_EQ(ws->display.firstReceiver, 1.0f);  // trace k at k m: the last one shows too
    EXPECT_FLOAT_EQ(ws->display.lastReceiver, 12.0f);
    ui.AnswerDialog("CVspDlg", {{"Angle(a)", "30"}, {"Distance(x)", "40"}});
    ASSERT_EQ(OnVsp(*ws, ui), 1);
    ui.AnswerDialogWith("CVspDlg", [](DialogRequest& r) {
        EXPECT_EQ(r.Find("Angle(a)")->Text(), "30");  // kept for the run
        return false;
    });
    OnVsp(*ws, ui);
    ASSERT_EQ(OnNoiseModel(*ws, ui), 1);
    EXPECT_EQ(ws->store.TraceCount(), 24);
    ASSERT_EQ(OnDispersiveSurfaceWave(*ws, ui), 1);
    EXPECT_EQ(ws->store.TraceCount(), 48);
    EXPECT_EQ(ws->store.dataKind(), kTimeDomain);
}

TEST_F(Modelling, SpikeFileLongerThanTheStoreKeepsTheFirstTraces)
{
    Build(2, 4100);
    ui.AnswerFileOpen(TempFile("spikes.txt", "3 1 1.0\n1 1 2.0\n2 1 50\n"));
    ui.AnswerDialog("CSamplingLengthDlg", {{"# of sample", "10"}, {"Sampling time", "0.5"}});
    ui.ExpectMessage(TracesTooLargeText(-1, 2));
    ASSERT_EQ(OnSpikeRecord(*ws, ui), 1);
    EXPECT_EQ(ws->store.TraceCount(), 2);
    EXPECT_EQ(ws->store.current.rows[0][2], -1.0f);
    EXPECT_FLOAT_EQ(ws->display.firstReceiver, 1.0f);
    EXPECT_FLOAT_EQ(ws->display.lastReceiver, 3.0f);
    ui.AnswerFileOpen(folder.Path() + "/missing.txt");
    ui.ExpectMessage("error in opening file");
    EXPECT_EQ(OnSpikeRecord(*ws, ui), 0);
}

TEST_F(Modelling, UndoRestoresTheSpectrumBeforeFrequencyNoise)
{
    LoadLcg(9, 3, 256, 1000.0f);
    CWaveOperations ops(*ws, ui);
    ASSERT_EQ(ops.ForwardFft(), 1);
    ws->store.dataKind() = kComplexShowImag;
    const std::vector<uint8_t> spectrum = Snapshot();
    ui.AnswerDialog("CFrequencyNoiseDlg", {{"Noise level", "50"}});
    ASSERT_EQ(OnAddFrequencyNoise(*ws, ui), 1);
    EXPECT_NE(Snapshot(), spectrum);
    ASSERT_TRUE(ws->store.RestoreUndo());
    EXPECT_EQ(Snapshot(), spectrum);
}

TEST_F(Modelling, VspProcessingOnOddPicksAndFewTraces)
{
    Load({{1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 5, 6}}, 1000.0f);
    std::vector<float>& picks = ws->store.Params().pickTimes;
    picks[0] = -3.0f;
    picks[1] = 2.0f;
    picks[2] = 1e9f;
    ASSERT_EQ(OnTwoWayTime(*ws, ui), 1);
    EXPECT_EQ(Row(0, 6), (std::vector<float>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(Row(1, 6), (std::vector<float>{0, 0, 1, 2, 3, 4}));
    EXPECT_EQ(Row(2, 6), (std::vector<float>(6, 0.0f)));
    EXPECT_FLOAT_EQ(picks[1], 4.0f);

    for (const int traces : {1, 2}) {
        Load(std::vector<std::vector<double>>(static_cast<size_t>(traces), {2, -4}), 1000.0f);
        ui.ExpectMessage("Nornalize each trace ?", MsgButtons::OkCancel, MsgResult::Ok);
        ASSERT_EQ(OnVerticalSummation(*ws, ui), 1);
        EXPECT_EQ(ws->store.TraceCount(), traces);
        EXPECT_EQ(Row(0, 2), (std::vector<float>{0.5f * traces, -1.0f * traces}));
    }
}

TEST_F(Modelling, NewModelsShowTheirGridsOnTheDisplayLevels)
{
    EXPECT_EQ(OnNewTwoLayerModel(*ws), 1);
    EXPECT_EQ(ws->display.displayMode, 1);
    EXPECT_FLOAT_EQ(ws->store.Params().plotscale, 5.0f);
    EXPECT_EQ(ws->display.plotMode, 2);
    EXPECT_EQ(ws->display.plotSubFlag, 1);
    ASSERT_TRUE(ws->modelView.grid);
    const ModelGrid& grid = *ws->modelView.grid;
    EXPECT_EQ(grid.Columns(), 201);
    EXPECT_EQ(grid.Rows(), 201);
    EXPECT_FLOAT_EQ(grid.Value(0, 0), ContourLowerBound(*ws));  // 2000 m/s: the bottom level
    EXPECT_FLOAT_EQ(grid.Value(0, 150), 10.0f);                 // 4000 m/s: the top
    SetContourSource(*ws, 0);
    EXPECT_FALSE(ws->modelView.grid);
    EXPECT_EQ(ws->velocityModel.contourSource, 0);
}

TEST_F(Modelling, RaytracingNeedsAModelAndASourceInsideIt)
{
    ViewProgressText progress(nullptr);
    ui.ExpectMessage("No velocity model for traveltime calculation !");
    EXPECT_EQ(OnRaytracing(*ws, ui, progress), 0);
    OnNewHomogeneousModel(*ws);
    const std::vector<float> before = ws->velocityModel.traveltime;
    ui.AnswerDialog("CModelingDlg", {{"Source location", "250"}, {"Source depth", "10"}});
    ui.ExpectMessage("The source must lie inside the model (0 - 200 m, 0 - 200 m) !");
    EXPECT_EQ(OnRaytracing(*ws, ui, progress), 0);
    EXPECT_EQ(ws->velocityModel.traveltime, before);
    ui.AnswerDialog("CModelingDlg", {{"Source location", "0"}, {"Source depth", "0"}});
    ASSERT_EQ(OnRaytracing(*ws, ui, progress), 1);
    const VelocityModel& m = ws->velocityModel;
    EXPECT_EQ(m.traveltime[static_cast<size_t>(m.nx) + 1], 0.0f);  // raised to cell (1, 1)
    EXPECT_EQ(m.hasTraveltimes, 1);
    EXPECT_EQ(m.contourSource, 2);
    EXPECT_FLOAT_EQ(m.traveltimeMin, 0.0f);
    EXPECT_NEAR(m.traveltimeMax, std::hypot(199.0, 199.0) / 3.0, 2.0);
    EXPECT_FLOAT_EQ(ws->modelView.grid->Value(1, 1), ContourLowerBound(*ws));
}

TEST_F(Modelling, EarthquakeSimulationFilesPerStation)
{
    // Nodes (0, 0) and (1, 2) of a 400 m grid: receiver = north, source = east, m x 100.
    Load({{0.5, -0.25, 1}, {2, 0, 0}}, 10000.0f);
    ws->store.current.headers[0].receiverHundredths = 0;
    ws->store.current.headers[1].receiverHundredths = 40000;
    ws->store.current.headers[1].sourceHundredths = 80000;
    const std::string east = std::to_string(139.0 + 800.0 / 91288.0);
    ui.AnswerFileOpen(TempFile("stations.txt", "3\nA 34.5 139 7\nB " + std::to_string(34.5 + 400.0 / 110952.0) + " " +
                                                  east + " 0\n../x 34.5 139 0\n"));
    ui.AnswerDialog("CReceiverComponentDlg", {{"Component", "Z(U-D)"}});
    ui.AnswerDialog("CObservationStationDlg");
    ui.ExpectMessage("2 files have been saved !");
    EXPECT_EQ(OnSaveEarthquakeSimulation(*ws, ui), 0);
    EXPECT_EQ(testing::ReadFileText(folder.Path() + "/A_FD3D.ud"),
              "NDATA=    3 dT= 0.010 Finite-difference waveform UD\n"
              "    50.000   -25.000   100.000     0.000     0.000     0.000     0.000     0.000\n");
    EXPECT_TRUE(std::filesystem::exists(folder.Path() + "/B_FD3D.ud"));
    EXPECT_EQ(testing::ReadFileText(folder.Path() + "/search.txt"), "");
    EXPECT_EQ(testing::ReadFileText(folder.Path() + "/station.txt").substr(0, 30), "A 34.500000 139.000000 7.00000");
    EXPECT_FALSE(std::filesystem::exists(folder.Path() + "/../x_FD3D.ud"));

    // A file of 203 stations: the first 200 are read and used, and the three beyond are named.
    std::string many = "203\nA 34.5 139 7\n";
    for (int i = 1; i < 203; ++i) many += "S" + std::to_string(i) + " 0 0 0\n";
    ui.AnswerFileOpen(TempFile("many.txt", many));
    ui.ExpectMessage("The station list holds at most 200 stations: 3 stations of the file were not read.");
    ui.AnswerDialog("CReceiverComponentDlg", {{"Component", "Z(U-D)"}});
    ui.AnswerDialog("CObservationStationDlg");
    ui.ExpectMessage("1 files have been saved !");
    EXPECT_EQ(OnSaveEarthquakeSimulation(*ws, ui), 0);
    const std::string echo = testing::ReadFileText(folder.Path() + "/station.txt");
    EXPECT_EQ(std::count(echo.begin(), echo.end(), '\n'), 200);
    EXPECT_NE(echo.find("S199 "), std::string::npos);
    EXPECT_EQ(echo.find("S200 "), std::string::npos);
}

}  // namespace
}  // namespace velk
