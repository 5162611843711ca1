// Dispersion along a survey line, run headless on a synthetic line of SEG-2 shot files listed
// as a file group.

#include "app/surfacewave/cmp_commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numbers>

#include "app/formats/file_road_fixture.h"
#include "app/surfacewave/surfacewave_seams.h"
#include "app/survey/file_list_commands.h"
#include "formats/seg2.h"
#include "platform/numtext.h"
#include "surfacewave/cmp_dispersion.h"
#include "traveltime/modelling/generators.h"
#include "traveltime/traveltime_set.h"

namespace velk {
namespace {

using testing::FileRoad;

constexpr int kSamples = 1024;  // at 1 ms: bins of 1000 / 1024 Hz
constexpr double kBreak = 18.0;  // m: the law is scaled beyond it

// The travel time of frequency f from xs to x (s) with the law scaled by `scale` beyond kBreak.
double Delay(double f, double xs, double x, double scale)
{
    const double lo = std::min(xs, x), hi = std::max(xs, x);
    const double left = std::clamp(kBreak, lo, hi) - lo;
    const double right = hi - std::clamp(kBreak, lo, hi);
    const double c = DispersivePhaseVelocity(f);
    return left / c + right / (c * scale);
}

class CmpLine : public ::testing::Test, public FileRoad {
protected:
    CmpLine() : FileRoad("[General]\nMAXTRACES=128\n") { ws.olvenarLink.reset(); }

    // Shots at the given positions over receivers first, first + spacing, ...; each bin of 1 .. 40 Hz
    // a cosine delayed by its travel time; the groups's table read.
    void MakeLine(const std::vector<double>& shots, double first, int receivers, double scale = 1.0,
                  int samples = kSamples)
    {
        CFileGroup& g = ws.fileGroup;
        g.listFolder = folder.Path();
        g.sourceFromFile.fill(1);
        g.receiversFromFile.fill(1);
        const double df = 1000.0 / samples;
        for (size_t n = 0; n < shots.size(); ++n) {
            const double xs = shots[n];
            const double x0 = first + static_cast<double>(n) * moveUp;
            Matrix2D<float> rows(0, receivers - 1, 0, samples - 1);
            std::vector<CTraceHeader> headers(static_cast<size_t>(receivers));
            for (int i = 0; i < receivers; ++i) {
                const double x = x0 + i;
                headers[static_cast<size_t>(i)].Set(i + 1, static_cast<int32_t>(std::lround(x * 100)),
                                                    static_cast<int32_t>(std::lround(xs * 100)), 1, 1, 0.0f, 1000.0f,
                                                    samples);
                for (int k = 1; k * df < 40.0; ++k) {
                    const double f = k * df, tau = Delay(f, xs, x, scale);
                    for (int j = 0; j < samples; ++j) {
                        rows[i][j] += static_cast<float>(std::cos(2.0 * std::numbers::pi * f * (j * 0.001 - tau)));
                    }
                }
            }
            const std::string name = FormatC("shot%02d.sg2", static_cast<int>(n));
            ASSERT_TRUE(WriteSeg2File(folder.File(name), rows, headers, receivers, 4, 1.0f).ok);
            g.AddFile(name, 0.0f, 0.0f, 1.0f);
        }
        const GroupReadContext ctx = MakeGroupReadContext(ws, ui);
        ASSERT_GT(g.BuildGeometry(ctx, false), 0);
        ASSERT_EQ(g.ReadWaveformData(ctx, false), 1);
    }
    // Ten shots, five on each side of a fixed spread of 36 receivers at 0 .. 35 m.
    void MakeTenShots(double scale = 1.0) { MakeLine({-5, -4, -3, -2, -1, 36, 37, 38, 39, 40}, 0.0, 36, scale); }

    double moveUp = 0.0;  // m the spread moves per shot
};

void ExpectLaw(const std::vector<CmpCurvePoint>& points, double scale, double lo, double hi, const std::string& what)
{
    int checked = 0;
    for (const CmpCurvePoint& p : points) {
        if (p.frequency <= lo || p.frequency >= hi) continue;
        const double c = DispersivePhaseVelocity(p.frequency) * scale;
        EXPECT_NEAR(p.velocity / c, 1.0, 0.01) << what << " f=" << p.frequency;
        ++checked;
    }
    EXPECT_GT(checked, 30) << what;
}

TEST_F(CmpLine, SeveralSeparationsKeepTheLawOnceTheFarOnesAreDropped)
{
    MakeTenShots();
    const CmpSpectra spectra(ws.fileGroup, 1);
    CmpPairOptions o;
    const MultiSeparationResult r = MultiSeparationCurve(ws.fileGroup, spectra, 9.5, 1, 3, o);
    ASSERT_EQ(r.kept.size(), 3u);
    // Separation 3 wraps above 33 Hz; had it come back, the curve would leave the law there.
    ExpectLaw(r.points, 1.0, 4.0, 40.0, "separations 1..3");
    EXPECT_EQ(std::count(r.log.begin(), r.log.end(), '\n'), 3);
}

TEST_F(CmpLine, TheFasterHalfOfTheLineGivesTheFasterCurve)
{
    MakeTenShots(1.2);
    const CmpSpectra spectra(ws.fileGroup, 1);
    const CmpPairOptions o;
    ExpectLaw(MultiSeparationCurve(ws.fileGroup, spectra, 5.5, 1, 1, o).points, 1.0, 4.0, 40.0, "CMP 5.5 m");
    ExpectLaw(MultiSeparationCurve(ws.fileGroup, spectra, 29.5, 1, 1, o).points, 1.2, 4.0, 40.0, "CMP 29.5 m");
}

TEST_F(CmpLine, CmpCurvesAreTheSameForEveryThreadCount)
{
    MakeTenShots();
    const CmpSpectra spectra(ws.fileGroup, 1, 0);  // nothing kept: every pair transformed anew
    const std::vector<double> positions = CmpPositions(-2.5, 37.5, 2.0);
    const auto serial = CmpLineCurves(ws.fileGroup, spectra, positions, 1, 1, {}, 4.0f, 40.0f, 1);
    const auto parallel = CmpLineCurves(ws.fileGroup, CmpSpectra(ws.fileGroup, 1), positions, 1, 1, {}, 4.0f, 40.0f, 4);
    ASSERT_EQ(serial.size(), parallel.size());
    for (size_t i = 0; i < serial.size(); ++i) {
        ASSERT_EQ(serial[i].points.size(), parallel[i].points.size()) << i;
        for (size_t k = 0; k < serial[i].points.size(); ++k) {
            EXPECT_EQ(serial[i].points[k].velocity, parallel[i].points[k].velocity);
        }
        EXPECT_EQ(serial[i].trace, parallel[i].trace);
    }
}

TEST_F(CmpLine, GatherFilesAreReadBackAsTheNewList)
{
    MakeTenShots();
    ui.AnswerDialog("CCmpPhaseVelocityDlg", {{"Value 1", "8"}, {"Value 2", "5.5"}, {"Value 3", "30"}});
    ui.AnswerDialog("CCmpPhaseVelocityDlg", {{"Value 1", "0"}, {"Value 2", "100"}});
    ui.ExpectMessage("CMP files have been calculated !");
    const int written = MakeCmpGatherFiles2D(ws, ui, true, true);
    ASSERT_EQ(written, 4);  // 5.5, 13.5, 21.5, 29.5
    CFileGroup& g = ws.fileGroup;
    ASSERT_EQ(g.entryCount, 4);
    EXPECT_EQ(g.entries[0].fileName, "cmp_gathers/cmp_000550.sg2");
    EXPECT_EQ(g.entries[3].fileName, "cmp_gathers/cmp_002950.sg2");
    // Both delay strings, as in recorded files; the dummy date, no stack.
    const std::string bytes = velk::testing::ReadFileText(folder.File("cmp_gathers/cmp_000550.sg2"));
    for (const char* key : {"*DELAY 0.000000", "DELAY 0.000000", "ACQUISITION_DATE 01/01/2001"})
        EXPECT_NE(bytes.find(std::string(1, '\0') + key + '\0'), std::string::npos) << key;
    EXPECT_EQ(bytes.find("STACK"), std::string::npos);
    // The entries keep the files' positions, so that a list that applies them (as acquisition
    // lines do) reads them back.
    g.sourceFromFile.fill(0);
    g.receiversFromFile.fill(0);
    const GroupReadContext ctx = MakeGroupReadContext(ws, ui);
    Matrix2D<float> rows(0, 127, 0, 4095);
    std::vector<CTraceHeader> headers(128);
    for (int n = 0; n < 4; ++n) {
        const int traces = g.ReadListedFile(n, rows, headers, ctx);
        ASSERT_GT(traces, 1) << n;
        for (int t = 0; t < traces; ++t) {
            EXPECT_EQ(headers[static_cast<size_t>(t)].receiverHundredths, 100 * (t + 1)) << n;  // separation t + 1 at 1 m
        }
        EXPECT_EQ(headers[0].sourceHundredths, std::lround((5.5 + 8.0 * n) * 100)) << n;
        const auto peak = std::max_element(rows.Row(0).begin(), rows.Row(0).begin() + headers[0].samples);
        EXPECT_GT(*peak, 0.5f);  // float samples, each pair scaled to its largest value
        EXPECT_LE(*peak, 1.0f);
    }
}

// Rows 0..3 (first 64 samples) and headers of the record and, with undo, both undo levels.
std::vector<float> StoreBits(const WaveformStore& store, bool undo = true)
{
    std::vector<float> v;
    for (const DataSet* d : {&store.current, &store.level1, &store.level2}) {
        if (!undo && d != &store.current) break;
        for (int t = 0; t < 4; ++t) {
            v.insert(v.end(), d->rows.Row(t).begin(), d->rows.Row(t).begin() + 64);
            const CTraceHeader& h = d->headers[static_cast<size_t>(t)];
            v.insert(v.end(), {float(h.receiverHundredths), float(h.sourceHundredths), float(h.samples)});
        }
    }
    return v;
}

TEST_F(CmpLine, CurvesOfEveryFileLeaveTheRecordAndItsUndoLevels)
{
    MakeLine({-2, -1, 36}, 0.0, 36);
    WaveformStore& store = ws.store;
    for (int step = 0; step < 3; ++step) {
        if (step > 0) store.PushUndo();
        for (int t = 0; t < 4; ++t) {
            for (int k = 0; k < 64; ++k) store.current.rows[t][k] = static_cast<float>(step * 100 + t + k * 0.5);
            store.current.headers[static_cast<size_t>(t)].Set(t + 1, 100 * t + step, 0, 1, 1, 0.0f, 1000.0f, 64);
        }
    }
    store.Params().traceCount = 4;
    const std::vector<float> before = StoreBits(store);
    const std::string file = folder.File(kPhaseVelocityCurvesFileName);

    ui.CancelDialog("CPhaseVelocityDlg");
    EXPECT_EQ(PhaseVelocityCurves(ws, ui, nullptr, true), 0);
    EXPECT_FALSE(std::filesystem::exists(file));
    ui.AnswerDialog("CPhaseVelocityDlg", {{"Phase velocity Start", "500"}, {"Phase velocity End", "100"}});
    ui.ExpectMessage("The frequency or phase velocity range gives no image !");
    EXPECT_EQ(PhaseVelocityCurves(ws, ui, nullptr, true), 0);
    EXPECT_FALSE(std::filesystem::exists(file));
    ws.contour = CContourSettings{};

    ui.AnswerDialog("CPhaseVelocityDlg");
    ui.AnswerDialog("CMinMaxFrequencyDlg");
    const std::string saved = "3 phase-velocity curves have been calculated ! \n\n phase velocity curves are saved into '";
    ui.ExpectMessage(saved + file + "'");
    EXPECT_EQ(PhaseVelocityCurves(ws, ui, nullptr, true), 3);
    EXPECT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(StoreBits(store), before);
    EXPECT_EQ(store.undoDepth, 2);
    const CTraveltimeSet& set = ws.curveSet;
    ASSERT_EQ(set.shotCount, 3);
    for (int s = 0; s < 3; ++s) {
        ASSERT_GT(set.pickCount[s], 10) << s;
        float largest = 0.0f;
        for (int p = 0; p < set.pickCount[s]; ++p) largest = std::max(largest, set.F(s, p));
        EXPECT_EQ(largest, 1.0f) << s;
    }
    EXPECT_FLOAT_EQ(set.sourcePosition[2], 36.0f);

    // On the acquisition screen the curves and the geometry table go beside the line's records.
    ws.startup.acquisitionMode = 1;
    ws.CreateAcquisitionManager().dataFolder = folder.File("Data");
    std::filesystem::create_directories(folder.File("Data"));
    ui.AnswerDialog("CPhaseVelocityDlg");
    ui.AnswerDialog("CMinMaxFrequencyDlg");
    ui.ExpectMessage(saved + folder.File("Data/phase_velocity_curves.pvs") + "'");
    EXPECT_EQ(PhaseVelocityCurves(ws, ui, nullptr, true), 3);
    ws.diagnostics.reset();  // the program's own sink, of the files
    EXPECT_GT(ws.fileGroup.BuildGeometry(MakeGroupReadContext(ws, ui), false), 0);
    EXPECT_TRUE(std::filesystem::exists(folder.File("Data/geometry.txt")));
}

class QuietProgress : public ProgressSink {
public:
    void SetRange(int) override {}
    void StepIt() override {}
    void SetText(const std::string&) override {}
};

TEST_F(CmpLine, FilesOfMixedSampleIntervalsAreRefusedByName)
{
    MakeTenShots();
    for (auto& row : ws.fileGroup.table) {
        for (CTraceEntry& cell : row) {
            if (cell.fileIndex == 9) cell.header.intervalUs = 125.0f;
        }
    }
    const std::string refusal = "The files of the list do not have one sample interval !";
    ui.ExpectAnyMessage();
    EXPECT_EQ(MakeCmpGatherFiles2D(ws, ui, true, true), 0);
    ui.ExpectAnyMessage();
    QuietProgress progress;
    EXPECT_EQ(CmpDispersion(ws, ui, progress), 0);
    for (const std::string& text : ui.Messages()) {
        EXPECT_EQ(text.rfind(refusal, 0), 0u) << text;
        EXPECT_NE(text.find("shot00.sg2: 1 ms"), std::string::npos) << text;
        EXPECT_NE(text.find("shot09.sg2: 0.125 ms"), std::string::npos) << text;
    }
    EXPECT_EQ(ws.fileGroup.entryCount, 10);
    EXPECT_FALSE(std::filesystem::exists(folder.File(kCmpFileName)));
}

TEST_F(CmpLine, EveryCmpFollowsTheLawAndUndoRestoresTheRecord)
{
    MakeTenShots();
    WaveformStore& store = ws.store;
    for (int t = 0; t < 4; ++t) {
        for (int k = 0; k < 64; ++k) store.current.rows[t][k] = static_cast<float>(t - k);
        store.current.headers[static_cast<size_t>(t)].Set(t + 1, 100 * t, 0, 1, 1, 0.0f, 1000.0f, 64);
    }
    store.Params().traceCount = 4;
    const std::vector<float> before = StoreBits(store, false);
    ui.AnswerDialog("CCmpPhaseVelocityDlg");   // 4 m, cross-correlation average
    ui.AnswerDialog("CPhaseVelocityCurveDlg");  // 4 .. 40 Hz, separation 1
    QuietProgress progress;
    // CMPs -2.5 .. 37.5 m by 4 m: the first and the last have no pair, and the user is told.
    ui.ExpectMessage("2 of 11 CMPs gave no phase-velocity curve (too few traces or no pick).");
    ASSERT_EQ(CmpDispersion(ws, ui, progress), 9);
    const CTraveltimeSet& set = ws.curveSet;
    ASSERT_EQ(set.shotCount, 9);
    for (int s = 0; s < 9; ++s) {
        EXPECT_FLOAT_EQ(set.sourcePosition[s], 1.5f + 4.0f * s);
        ASSERT_GT(set.pickCount[s], 30) << s;
        ASSERT_LE(set.pickCount[s], kMaxCmpCurvePoints) << s;
        for (int p = 0; p < set.pickCount[s]; ++p) {
            EXPECT_NEAR(set.T(s, p) / DispersivePhaseVelocity(set.X(s, p)), 1.0, 0.01) << s << " f=" << set.X(s, p);
        }
    }
    EXPECT_TRUE(std::filesystem::exists(folder.File(kCmpFileName)));
    EXPECT_EQ(store.TraceCount(), 9);
    EXPECT_EQ(store.current.headers[0].receiverHundredths, 150);
    ASSERT_TRUE(store.RestoreUndo());
    EXPECT_EQ(StoreBits(store, false), before);
}

TEST_F(CmpLine, SixHundredCmpsStopAtFiveHundredOneCurves)
{
    // Ten shots 2 m before spreads of 64 receivers that move 64 m per shot.
    moveUp = 64.0;
    std::vector<double> shots;
    for (int n = 0; n < 10; ++n) shots.push_back(64.0 * n - 2.0);
    MakeLine(shots, 0.0, 64, 1.0, 64);
    ui.AnswerDialog("CCmpPhaseVelocityDlg", {{"Value 1", "1"}});
    ui.AnswerDialog("CPhaseVelocityCurveDlg");
    ui.ExpectMessage("1 of 608 CMPs gave no phase-velocity curve (too few traces or no pick).");
    ui.ExpectMessage("The number of traces was too large ! \n Maximum trace number is 128\n Change maximum traces by "
                     "'Option', 'Dimension size' !");
    ui.ExpectMessage("The CMP curves hold at most 501 CMPs: 106 CMPs from 501.00 m on were not stored.");
    QuietProgress progress;
    EXPECT_EQ(CmpDispersion(ws, ui, progress), 501);
    EXPECT_EQ(ws.curveSet.shotCount, 501);
    EXPECT_FLOAT_EQ(ws.curveSet.sourcePosition[500], 500.0f);
    for (int s = 0; s < 501; ++s) EXPECT_GT(ws.curveSet.pickCount[s], 0) << s;
    EXPECT_EQ(ws.store.TraceCount(), 128);
}

TEST_F(CmpLine, OneCmpWritesAGatherPerSeparationAndKeepsTheLast)
{
    MakeTenShots();
    ui.AnswerDialog("CCmpPhaseVelocityDlg", {{"Value 1", "4"}, {"Value 2", "11.5"}});  // CMP 9.5 m
    ui.AnswerDialog("CPhaseVelocityCurveDlg", {{"Maximum separation", "3"}});
    QuietProgress progress;
    // Separation 3 at 7.5 .. 11.5 m: five pairs from each of the ten shots, and the mean trace.
    EXPECT_EQ(OneCmpDispersion(ws, ui, progress), 51);
    for (int s = 1; s <= 3; ++s) {
        EXPECT_TRUE(std::filesystem::exists(folder.File(FormatC("cmp9.500000_separation%d.8hd", s)))) << s;
    }
    EXPECT_TRUE(std::filesystem::exists(folder.File(kMultiSeparationFileName)));
    EXPECT_EQ(ws.store.current.headers[50].receiverHundredths, 950);  // the mean trace at the CMP
    EXPECT_EQ(ws.store.current.headers[49].receiverHundredths, 4900);  // pair 49
}

TEST_F(CmpLine, CommonSourceGivesOneCurvePerShot)
{
    MakeTenShots();
    ui.AnswerDialog("CPhaseVelocityCurveDlg");
    QuietProgress progress;
    EXPECT_EQ(CommonSourceDispersion(ws, ui, progress), 10);
    const CTraveltimeSet& set = ws.curveSet;
    ASSERT_EQ(set.shotCount, 10);
    EXPECT_FLOAT_EQ(set.sourcePosition[9], 40.0f);
    for (int s = 0; s < 10; ++s) {
        ASSERT_GT(set.pickCount[s], 30) << s;
        for (int p = 0; p < set.pickCount[s]; ++p) {
            EXPECT_NEAR(set.T(s, p) / DispersivePhaseVelocity(set.X(s, p)), 1.0, 0.01) << s << " f=" << set.X(s, p);
        }
    }
    EXPECT_TRUE(std::filesystem::exists(folder.File(kCommonSourceFileName)));
}

TEST_F(CmpLine, CommonSourceOfMoreShotsThanCurvesNamesTheShotsLeftOut)
{
    std::vector<double> shots;
    for (int n = 0; n < 502; ++n) shots.push_back(-1.0 - 0.5 * n);
    MakeLine(shots, 0.0, 2, 1.0, 64);
    ui.AnswerDialog("CPhaseVelocityCurveDlg");
    ui.ExpectMessage("The phase-velocity curves hold at most 501 sources: 1 source of the line was not analysed.");
    QuietProgress progress;
    EXPECT_EQ(CommonSourceDispersion(ws, ui, progress), 501);
    EXPECT_EQ(ws.curveSet.shotCount, 501);
}

}  // namespace
}  // namespace velk
