// The microtremor-array commands on a workspace: SPAC of a file group against J0, file skipping,
// the one-dimensional SPAC, coherence, the viewer's matrix, the trace-pair correlations and the
// synthetic array records.

#include "app/surfacewave/spac_commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "app/command_table.h"
#include "app/dsp/data_kind.h"
#include "app/formats/file_road_fixture.h"
#include "app/formats/seg2_commands.h"
#include "app/operations.h"
#include "app/surfacewave/phase_velocity_commands.h"
#include "app/surfacewave/surfacewave_seams.h"
#include "formats/seg2.h"
#include "platform/byte_io.h"
#include "app/survey/file_list_commands.h"
#include "platform/numtext.h"
#include "platform/shared_block.h"
#include "surfacewave/mam_geometry.h"
#include "surfacewave/synthetic_microtremor.h"
#include "survey/olvenar_link.h"
#include "tools/fake_launcher.h"

namespace velk {
namespace {

using testing::FileRoad;
using testing::OwnSharedBlocks;

class QuietProgress : public ProgressSink {
public:
    void SetRange(int) override {}
    void StepIt() override {}
    void SetText(const std::string&) override {}
};

struct Spac : ::testing::Test, FileRoad {
    explicit Spac(const char* profile = "[General]\nMAXTRACES=64\nMAX_SAMPLE=8192\n") : FileRoad(profile)
    {
        ws.olvenarLink.reset();
        CFileGroup& g = ws.fileGroup;
        g.listFolder = folder.Path();
        g.sourceFromFile.fill(0);
        g.receiversFromFile.fill(0);
    }
    // One plane wave (delta source) per file over the geometry's receivers, listed in the group;
    // `written` > 0 keeps only that many traces in each file.
    void ListPlaneWaves(const std::vector<float>& azimuths, int samples = SyntheticMicrotremor::kSamples, int first = 10,
                        int written = 0)
    {
        CMamGeometry& g = ws.MamGeometry();
        const int n = static_cast<int>(g.receivers.size());
        for (size_t f = 0; f < azimuths.size(); ++f) {
            SyntheticMicrotremor s;
            s.samples = samples;
            Matrix2D<float> rows(0, n - 1, 0, samples - 1);
            std::vector<CTraceHeader> h(static_cast<size_t>(n));
            MemoryLogSink log;
            s.Generate(g.receivers, h, rows, n, azimuths[f], SyntheticMicrotremor::kDelta, 0,
                       static_cast<uint32_t>(f + 1), log);
            const std::string name = "mam" + std::to_string(first + static_cast<int>(f)) + ".8hd";
            ASSERT_TRUE(WriteEightHeaderFile(folder.File(name), rows, h, written > 0 ? written : n).ok);
            ws.fileGroup.AddFile(name, 0.0f, 0.0f, 1.0f);
        }
    }
    void BuildArray(int preset, int traces)
    {
        CMamGeometry& g = ws.MamGeometry();
        g.iGeometry = preset;
        std::vector<CTraceHeader> h(static_cast<size_t>(traces));
        ASSERT_TRUE(g.BuildArrayGeometry(traces, h, MamContext{ui, -1, NullLog()}));
    }
    float Row(int k, int j) const { return ws.store.current.rows[k][j]; }
};

TEST_F(Spac, GroupOfPlaneWavesAveragesToJ0)
{
    ws.MamGeometry().ArraySize = 20.0f;
    BuildArray(CMamGeometry::kSingleCircle9, 9);
    std::vector<float> azimuths;
    for (int a = 0; a < 360; a += 36) azimuths.push_back(static_cast<float>(a));
    ListPlaneWaves(azimuths);
    ui.AnswerDialog("CArrayGeometryDlg");
    QuietProgress progress;
    ASSERT_TRUE(Spac2DFileGroup(ws, ui, progress));
    ASSERT_EQ(ws.store.TraceCount(), 6);
    EXPECT_EQ(ws.store.DispersionFlag(), 2);
    EXPECT_EQ(ws.store.undoDepth, 1);
    EXPECT_EQ(ws.display.drawing.secondFileName, "mam10.8hd-mam19.8hd");

    std::ifstream in(std::string(VELK_SOURCE_DIR) + "/tests/reference/spac_j0.txt");
    std::string line;
    int checked = 0;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream s(line);
        double r = 0, j0 = 0;
        int j = 0;
        s >> r >> j >> j0;
        int k = 0;
        while (k < 6 && std::fabs(H(k).receiverHundredths * 0.01 - r) > 0.01) ++k;
        ASSERT_LT(k, 6) << r;
        EXPECT_NEAR(Row(k, j), j0, 0.002) << line;
        ++checked;
    }
    EXPECT_EQ(checked, 426);
}

TEST_F(Spac, FilesOfAnotherLengthOrTooFewTracesAreLeftOutByName)
{
    ws.MamGeometry().nReceiver = 4;
    ws.MamGeometry().SpacingForLinearArray = 2.0f;
    BuildArray(CMamGeometry::kLinearArray, 4);
    ListPlaneWaves({270.0f, 270.0f}, 64);
    ListPlaneWaves({40.0f}, 200, 20);
    ListPlaneWaves({90.0f}, 64, 30, 3);  // a short record: 3 of the array's 4 traces
    // The first two files alone.
    Matrix2D<float> rows(0, 3, 0, ws.store.RowLength() - 1);
    std::vector<CTraceHeader> h(4);
    std::vector<CTraceHeaderEx> ex(4);
    ws.fileGroup.ReadNthFile(0, rows, h, ex, nullptr, MakeGroupReadContext(ws, ui));
    const int nfft = ws.MamGeometry().Spac2D(4, 64, rows, h, 1, 4, NullLog());
    ASSERT_EQ(nfft, 64);
    ui.AnswerDialog("CArrayGeometryDlg");
    ui.ExpectMessage("2 of 4 files are left out of the average:\nmam20.8hd (transform length 256, not 64)\n"
                     "mam30.8hd (3 traces, the array has 4 receivers)");
    QuietProgress progress;
    ASSERT_TRUE(Spac2DFileGroup(ws, ui, progress));
    for (int k = 0; k < ws.store.TraceCount(); ++k)
        for (int j = 0; j < 64; ++j) ASSERT_NEAR(Row(k, j), rows[k][j], 1e-6) << k << " " << j;
    std::istringstream all(Log().Text("SPAC2DAll.txt"));
    std::string line;
    std::getline(all, line);
    std::istringstream values(line);
    int count = 0;
    for (float v; values >> v;) ++count;
    EXPECT_EQ(count, 32);
}

TEST_F(Spac, EmptyGroupIsRefused)
{
    ui.ExpectMessage("No file is listed in the file group !");
    QuietProgress progress;
    EXPECT_FALSE(Spac2DFileGroup(ws, ui, progress));
    EXPECT_EQ(ForwardFourierAll(ws, ui, progress), 0);
    EXPECT_EQ(ws.store.undoDepth, 0);
}

// A plane wave along a spread of 8 traces 2 m apart: row k is cos(2 pi f k dx / c), also with a
// dead trace in the middle.
TEST_F(Spac, OneDimensionalPairsFollowTheCosine)
{
    ws.MamGeometry().nReceiver = 8;
    ws.MamGeometry().SpacingForLinearArray = 2.0f;
    BuildArray(CMamGeometry::kLinearArray, 8);
    const int N = SyntheticMicrotremor::kSamples;
    for (int dead : {-1, 4}) {
        SyntheticMicrotremor s;
        std::vector<CTraceHeader> h(8);
        s.Generate(ws.MamGeometry().receivers, h, ws.store.current.rows, 8, 270.0f, 0, 0, 5u, NullLog());
        for (int i = 0; i < 8; ++i) ws.store.current.headers[static_cast<size_t>(i)] = h[static_cast<size_t>(i)];
        if (dead >= 0) std::fill_n(ws.store.current.rows.Row(dead).begin(), N, 0.0f);
        ws.store.Params().traceCount = 8;
        ws.store.Params().samplesPerTrace = N;
        ws.store.dataKind() = kTimeDomain;
        ASSERT_TRUE(Spac1DAllPairs(ws, ui));
        const double df = 1000.0 / (N * 4.0);
        for (int k = 0; k < 7; ++k)
            for (int j = 0; j < N / 2; j += 101)
                ASSERT_NEAR(Row(k, j), std::cos(2 * M_PI * j * df * 2.0 * k / 200.0), 1e-3) << dead << " " << k;
        ws.store.Params().recordKind = 0;
        if (dead >= 0) continue;
        // Against trace 0: row k is trace k's coherence with it.
        ASSERT_TRUE(ws.store.RestoreUndo());
        ASSERT_TRUE(Spac1DReferenceTrace(ws, ui));
        for (int k = 0; k < 8; ++k)
            for (int j = 0; j < N / 2; j += 101)
                ASSERT_NEAR(Row(k, j), std::cos(2 * M_PI * j * df * 2.0 * k / 200.0), 1e-3) << k;
        EXPECT_EQ(H(7).receiverHundredths, 700);
        ws.store.Params().recordKind = 0;
    }
    ui.ExpectMessage("Not time-domain !");
    EXPECT_FALSE(Spac1DAllPairs(ws, ui));
}

TEST_F(Spac, CoherenceOfATraceWithItself)
{
    WaveformStore& st = ws.store;
    st.Params().traceCount = 2, st.Params().samplesPerTrace = 100, st.Params().sampleInterval = 1.0f;
    for (int i = 0; i < 2; ++i) st.current.headers[static_cast<size_t>(i)].Set(i + 1, i * 100, 0, 1, 1, 0, 1000, 100);
    for (int j = 0; j < 100; ++j) st.current.rows[0][j] = std::sin(j * 0.37f) + 0.01f * static_cast<float>(j % 7);
    st.Params().selectionFlags[0] = 1;
    CWaveOperations ops(ws, ui);
    ASSERT_EQ(ops.CoherenceSelected(), 1);
    for (int j = 0; j < 128; ++j) {
        EXPECT_NEAR(Row(0, j), 1.0f, 1e-5) << j;
        EXPECT_EQ(Row(1, j), 0.0f) << j;
    }
    EXPECT_EQ(st.Params().samplesPerTrace, 64);
    EXPECT_EQ(st.dataKind(), kRealSpectrum);
}

TEST_F(Spac, CoherenceMatrixForTheViewer)
{
    OwnSharedBlocks blocks{"spac"};
    auto* launcher = new FakeLauncher;
    ws.launcher.reset(launcher);
    ws.olvenarLink = std::make_unique<COlvenarLink>(profile);
    ws.olvenarLink->path = "/opt/Olvenar";
    WaveformStore& st = ws.store;
    st.Params().traceCount = 3;
    for (int i = 0; i < 3; ++i) {
        st.current.headers[static_cast<size_t>(i)].Set(i + 1, 750 * i, 0, 1, 1, 0, 30.0f, 40);
        for (int j = 0; j < 40; ++j) st.current.rows[i][j] = static_cast<float>(i) + 0.001f * static_cast<float>(j);
    }
    st.Params().recordKind = 2;
    st.Params().sampleInterval = 0.0305f;  // the exact step beside the headers' 30 thousandths
    ASSERT_EQ(SendCoherenceToViewer(ws, ui), 1);
    ASSERT_EQ(launcher->starts.size(), 1u);
    EXPECT_EQ(launcher->starts[0].args, (std::vector<std::string>{"-Velkarine", "-COHERENCE", "-MATRIX"}));
    const uint8_t* b = ws.olvenarLink->Block();
    auto word = [b](size_t at) { int32_t v; std::memcpy(&v, b + at, 4); return v; };
    auto value = [b](size_t at) { float v; std::memcpy(&v, b + at, 4); return v; };
    EXPECT_EQ(word(0), 3);
    EXPECT_EQ(word(4), 40);
    EXPECT_EQ(value(8 + 4 * (2 * 1024 + 5)), st.current.rows[2][5]);
    const size_t distances = 8 + 4 * 50 * 1024, frequencies = distances + 4 * 50;
    EXPECT_EQ(value(distances + 4 * 2), 15.0f);
    EXPECT_FLOAT_EQ(value(frequencies + 4 * 10), 10 * 0.0305f);
}

TEST_F(Spac, CorrelationWithTheReference)
{
    WaveformStore& st = ws.store;
    st.Params().traceCount = 2, st.Params().samplesPerTrace = 256, st.Params().sampleInterval = 1.0f;
    for (int i = 0; i < 2; ++i) st.current.headers[static_cast<size_t>(i)].Set(i + 1, i * 100, 0, 1, 1, 0, 1000, 256);
    st.current.rows[0][20] = 1.0f;
    st.current.rows[1][37] = 1.0f;
    st.Params().selectionFlags[0] = 1;
    CWaveOperations ops(ws, ui);
    ASSERT_EQ(ops.CorrelateWithReference(), 1);
    EXPECT_EQ(st.Params().samplesPerTrace, 128);
    EXPECT_NEAR(Row(1, 17), -1.0f, 1e-6);
    EXPECT_NEAR(Row(0, 0), -1.0f, 1e-6);
    EXPECT_NEAR(Row(1, 16), 0.0f, 1e-6);
    ASSERT_TRUE(st.RestoreUndo());
    EXPECT_EQ(Row(1, 37), 1.0f);
    EXPECT_EQ(st.Params().samplesPerTrace, 256);

    st.Params().samplesPerTrace = 5000;
    ui.ExpectMessage("Cross correlation (up to 2048) takes records of at most 4096 samples !");
    EXPECT_EQ(ops.CorrelateWithReference(), 0);
    st.Params().selectionFlags[0] = 0;
    ui.ExpectMessage("No reference trace is selected !");
    EXPECT_EQ(ops.CorrelateWithReference(), 0);
}

TEST_F(Spac, CrossCorrelationGathersOfTheGroup)
{
    ws.MamGeometry().nReceiver = 6;
    ws.MamGeometry().SpacingForLinearArray = 2.0f;
    BuildArray(CMamGeometry::kLinearArray, 6);
    ListPlaneWaves({270.0f, 270.0f}, 256);
    ws.store.Params().traceCount = 3;
    ws.store.current.rows[1][7] = 5.0f;
    QuietProgress progress;
    EXPECT_EQ(CrossCorrelationGathers(ws, ui, progress), 0);
    EXPECT_EQ(ws.store.undoDepth, 0);
    EXPECT_EQ(ws.store.TraceCount(), 3);
    EXPECT_EQ(Row(1, 7), 5.0f);
    for (const char* name : {"mam10_ccg.sg2", "mam11_ccg.sg2"}) {
        ws.fileGroup.AddFile(name, 0.0f, 0.0f, 1.0f);
        Matrix2D<float> rows(0, 63, 0, ws.store.RowLength() - 1);
        std::vector<CTraceHeader> h(64);
        std::vector<CTraceHeaderEx> ex(64);
        EXPECT_EQ(ws.fileGroup.ReadNthFile(ws.fileGroup.entryCount - 1, rows, h, ex, nullptr,
                                           MakeGroupReadContext(ws, ui)),
                  6)
            << name;
    }
}

// Two files of two traces; trace 1 of the second has no position (-1000): it never enters the mean.
TEST_F(Spac, GroupGpsMeanLeavesOutMissingPositions)
{
    const float positions[2][2] = {{35.0f, 35.001f}, {35.003f, -1000.0f}};
    for (int f = 0; f < 2; ++f) {
        Matrix2D<float> rows(0, 1, 0, 15);
        std::vector<CTraceHeader> h(2);
        std::vector<CTraceHeaderEx> records(2);
        for (int i = 0; i < 2; ++i) {
            h[static_cast<size_t>(i)].Set(i + 1, i * 100, 0, 1, 1, 0.0f, 500.0f, 16);
            records[static_cast<size_t>(i)].latitude = positions[f][i];
            records[static_cast<size_t>(i)].longitude = positions[f][i] < 0.0f ? -1000.0f : 139.0f;
            rows[i][3] = 1.0f;
        }
        ByteSink sink;
        ASSERT_TRUE(WriteSeg2(sink, rows, h, 2, 4, 1.0f, records).ok);
        const std::string name = "gps" + std::to_string(f + 1) + ".sg2";
        std::ofstream(folder.File(name), std::ios::binary)
            .write(reinterpret_cast<const char*>(sink.Bytes().data()), static_cast<std::streamsize>(sink.Bytes().size()));
        ws.fileGroup.AddFile(name, 0.0f, 0.0f, 1.0f);
    }
    ws.store.Params().traceCount = 2;
    ASSERT_TRUE(WriteGpsGeometry(ws, ui, -1));
    const CMamGeometry& g = ws.MamGeometry();
    EXPECT_NEAR(g.receivers[0].x, 110952.0 * (35.0015 - 35.001), 0.5);
    EXPECT_NEAR(g.receivers[1].x, 0.0, 1e-3);
    EXPECT_EQ(ws.display.displayMode, 4);
    EXPECT_EQ(ws.arrayGeometry.points.size(), 2u);
}

TEST_F(Spac, SuccessiveCorrelationDropsTheSpacing)
{
    ws.store.Params().traceCount = 6, ws.store.Params().samplesPerTrace = 32;
    ui.AnswerDialog("CInputIntegerDlg", {{"Value", "2"}});
    EXPECT_EQ(SuccessiveCrossCorrelation(ws, ui), 1);
    EXPECT_EQ(ws.store.TraceCount(), 4);
}

TEST_F(Spac, PhaseSubtractionKeepsTheShift)
{
    ws.store.Params().traceCount = 4, ws.store.Params().samplesPerTrace = 32;
    ui.ExpectMessage(" Select 2 traces ! ");
    EXPECT_EQ(PhaseSubtraction(ws, ui), 0);
    ws.store.Params().selectionFlags[1] = ws.store.Params().selectionFlags[3] = 1;
    ws.store.current.headers[3].receiverHundredths = 250;
    ui.ExpectMessage(" Selected traces are 0.000000 m and 2.500000 m");
    ui.AnswerDialog("CPhaseVelocityCurveDlg", {{"N shift", "4"}});
    EXPECT_EQ(PhaseSubtraction(ws, ui), 0);
    EXPECT_EQ(ws.contour.nShift, 4);
    EXPECT_EQ(ws.store.undoDepth, 0);
}

TEST_F(Spac, SyntheticArrayRecordsFitTheStore)
{
    ws.MamGeometry().iGeometry = CMamGeometry::kTriangle4;
    auto run = [&] {
        ui.AnswerDialog("CArrayGeometryDlg");
        ui.AnswerDialog("CMicrotremorArrayDlg", {{"# of direction", "3"}});
        return GenerateMicrotremorArrayData(ws, ui, 99u);
    };
    ASSERT_EQ(run(), 4);
    EXPECT_EQ(ws.store.TraceCount(), 4);
    EXPECT_EQ(ws.store.Params().samplesPerTrace, 8192);
    const std::string first = testing::ReadFileText(folder.File("MicrotremorArrayData_03.8hd"));
    ASSERT_EQ(run(), 4);
    EXPECT_EQ(testing::ReadFileText(folder.File("MicrotremorArrayData_03.8hd")), first);
    ASSERT_TRUE(ws.store.RestoreUndo());
    ws.fileGroup.AddFile("MicrotremorArrayData_10.8hd", 0.0f, 0.0f, 1.0f);
    Matrix2D<float> rows(0, 63, 0, ws.store.RowLength() - 1);
    std::vector<CTraceHeader> h(64);
    std::vector<CTraceHeaderEx> ex(64);
    EXPECT_EQ(ws.fileGroup.ReadNthFile(0, rows, h, ex, nullptr, MakeGroupReadContext(ws, ui)), 4);
}

// Array records of the generator's defaults (200 m/s) through the program's own commands: a file
// list, "Spatial autocorrelation (MAM : SPAC)", the phase velocity-frequency transformation with
// its dialog as it opens on that image, and "Pick phase velocity": every picked velocity lies
// within 2 % of the generator's, on the generator's own records and on records four times as
// long (32768 samples at 4 ms: a frequency step of 7.63 mHz, not a whole number of mHz).
struct SpacLongRecords : Spac {
    SpacLongRecords() : Spac("[General]\nMAXTRACES=64\nMAX_SAMPLE=32768\n") {}
    const CommandTable table = BuildCommandTable();
    CommandContext ctx = Context();

    // The records listed and averaged into a coherence image.
    void Average(const std::vector<std::string>& records)
    {
        ui.AnswerFilesOpen(records);
        ui.ExpectMessage(FormatC("%d files have been opened!", static_cast<int>(records.size())));
        ui.AnswerDialog("CUseFileInfoDlg");
        ui.AnswerDialog("CFileListDlg");
        ASSERT_EQ(RunCommand(table, cmd::kMakeFileList, ctx), 1);
        ui.AnswerDialog("CArrayGeometryDlg");
        RunCommand(table, cmd::kSpac2DFileGroup, ctx);
    }
    // The records listed, averaged, transformed and picked: the picks' velocities.
    void ExpectPicksNearTheGenerators(const std::vector<std::string>& records)
    {
        Average(records);
        ExpectImagePicksNearTheGenerators();
    }
    // The coherence image on show transformed and picked.
    void ExpectImagePicksNearTheGenerators()
    {
        ui.AnswerDialogWith("CPhaseVelocityDlg", [](DialogRequest& r) {
            EXPECT_EQ(r.Find("Method")->Text(), "SPAC");
            EXPECT_EQ(r.Find("SPAC")->Text(), "2D");
            return true;
        });
        ASSERT_EQ(RunCommand(table, cmd::kPhaseVelocityTransform, ctx), 1);
        ui.AnswerDialog("CMinMaxFrequencyDlg");
        RunCommand(table, cmd::kPickPhaseVelocity, ctx);
        int picks = 0;
        for (int k = 0; k < ws.store.TraceCount(); ++k) {
            const float v = ws.store.Params().pickTimes[static_cast<size_t>(k)];
            if (!(v > 0.0f)) continue;
            ++picks;
            EXPECT_NEAR(v / SyntheticMicrotremor::kDefaultVelocity, 1.0, 0.02) << H(k).receiverHundredths * 0.01 << " Hz";
        }
        EXPECT_GE(picks, 5);
    }
};

TEST_F(SpacLongRecords, SyntheticArrayRecordsGiveTheGeneratorsVelocity)
{
    // Two rings of receivers: a plane wave from one direction is seen at 36 orientations of each
    // separation, so the pairs' mean coherence is the J0 of the model.
    ws.MamGeometry().iGeometry = CMamGeometry::kDoubleCircle37;
    ui.AnswerDialog("CArrayGeometryDlg");
    ui.AnswerDialog("CMicrotremorArrayDlg");
    ASSERT_GT(GenerateMicrotremorArrayData(ws, ui, 7u), 0);
    std::vector<std::string> records;
    for (int i = 1; i <= 10; ++i) records.push_back(folder.File(FormatC("MicrotremorArrayData_%02d.8hd", i)));
    ExpectPicksNearTheGenerators(records);

    // The same array and waves, made 32768 samples long.
    const CMamGeometry& g = ws.MamGeometry();
    const int n = static_cast<int>(g.receivers.size());
    records.clear();
    for (int i = 1; i <= 10; ++i) {
        SyntheticMicrotremor s;
        s.samples = 32768;
        Matrix2D<float> rows(0, n - 1, 0, s.samples - 1);
        std::vector<CTraceHeader> h(static_cast<size_t>(n));
        MemoryLogSink log;
        s.Generate(g.receivers, h, rows, n, 10.0f, SyntheticMicrotremor::kDelta, 0, static_cast<uint32_t>(100 + i), log);
        records.push_back(folder.File(FormatC("long_%02d.8hd", i)));
        ASSERT_TRUE(WriteEightHeaderFile(records.back(), rows, h, n).ok);
    }
    ExpectPicksNearTheGenerators(records);

    // That image saved as SEG-2 holds the exact step (32768 samples at 4 ms), and reopens as the
    // same image: same rows, same picks. Another SEG-2 road refuses it.
    Average(records);
    const DataSet before = ws.store.current;
    const std::string saved = folder.File("coherence.sg2");
    ui.AnswerFileSave(saved);
    RunCommand(table, cmd::kSaveSeg2, ctx);
    std::ifstream in(saved, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(bytes.find("SAMPLE_INTERVAL 0.00000762939453"), std::string::npos);
    ui.AnswerFileOpen(saved);
    ui.AnswerDialog("COpenDataFileDlg");
    RunCommand(table, cmd::kOpenSeg2, ctx);
    ASSERT_EQ(ws.store.TraceCount(), before.params.traceCount);
    EXPECT_EQ(ws.store.DispersionFlag(), 2);
    EXPECT_EQ(ws.store.dataKind(), kComplexShowReal);
    EXPECT_EQ(ws.store.Params().sampleInterval, before.params.sampleInterval);
    EXPECT_EQ(ws.store.Params().samplesShown, before.params.samplesShown);
    for (int k = 0; k < before.params.traceCount; ++k) {
        EXPECT_EQ(H(k).receiverHundredths, before.headers[static_cast<size_t>(k)].receiverHundredths);
        for (int j = 0; j < 4096; j += 97) ASSERT_EQ(Row(k, j), before.rows[k][j]) << k << " " << j;
    }
    ExpectImagePicksNearTheGenerators();
    LoadTarget target(0, 64, 32768, 32768);
    ByteSource file = ByteSource::FromFile(saved);
    MemoryLogSink log;
    FormatContext fc{ui, 0, log};
    ui.ExpectMessage(" The file holds a coherence image, not waveforms: open it with \"Open SEG2 file\".\n\n The data was not changed.");
    EXPECT_EQ(ReadSeg2(file, target, 1, fc), -1);
}

struct SpacSmallStore : Spac {
    SpacSmallStore() : Spac("[General]\nMAXTRACES=64\n") {}
};

TEST_F(SpacSmallStore, SyntheticArrayRecordsLargerThanTheStoreAreRefusedBeforeAnyFile)
{
    ws.MamGeometry().iGeometry = CMamGeometry::kTriangle4;
    ui.AnswerDialog("CArrayGeometryDlg");
    ui.AnswerDialog("CMicrotremorArrayDlg");
    ui.ExpectMessage(RecordLongerThanMaxSampleText(-1, 8192, 4100));
    EXPECT_EQ(GenerateMicrotremorArrayData(ws, ui, 1u), 0);
    EXPECT_EQ(ws.store.undoDepth, 0);
    for (int i = 1; i <= 10; ++i)
        EXPECT_FALSE(std::filesystem::exists(folder.File(FormatC("MicrotremorArrayData_%02d.8hd", i)))) << i;
}

}  // namespace
}  // namespace velk
