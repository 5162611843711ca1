// Strong-motion station files and the set file: decoding of the three kinds, components and
// stations, the set file round trip, filling by view mode, the time axis and the earthquake
// time shift, the summary text, and the plane coordinates they rest on.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>

#include "formats/entry_dialogs.h"
#include "formats/load_target.h"
#include "formats/strong_motion.h"
#include "platform/byte_io.h"
#include "platform/numtext.h"
#include "base/plane_coordinates.h"
#include "tests/formats/import_fixtures.h"
#include "tools/scripted_uihost.h"

namespace velk {
namespace {

namespace fx = velk::testing::importfixture;

constexpr double kDeg = 0.017453292522222223;

struct SetFixture {
    CStrongMotionSet set;
    CCoordinateOrigin origin;
    MemoryLogSink log;
    StationLoadReport report;

    int Read(const std::string& name, const fx::Bytes& bytes)
    {
        ByteSource source = ByteSource::FromSpan(bytes);
        return set.ReadStationFiles(name, source, origin, log, report);
    }
    int Read(const std::string& name, const std::string& text) { return Read(name, fx::ToBytes(text)); }
    const StrongMotionStation& Station(int i) const { return *set.stations.at(static_cast<size_t>(i)); }
};

fx::StationText Text(const std::string& code, std::vector<int> counts)
{
    fx::StationText s;
    s.code = code;
    s.duration = 1;
    s.frequency = static_cast<int>(counts.size());
    s.counts = std::move(counts);
    return s;
}

// --- Plane coordinates ----------------------------------------------------------------------

TEST(PlaneCoordinates, OriginIsZeroAndTheMeridianArcMatchesItsIntegral)
{
    constexpr double r = M_PI / 180.0;  // the zones' origins are exact in arc seconds
    double x = 1.0, y = 1.0;
    ASSERT_TRUE(LatLonToPlaneXY(36.0 * r, (137.0 + 10.0 / 60.0) * r, 7, x, y));
    EXPECT_NEAR(x, 0.0, 1e-6);
    EXPECT_NEAR(y, 0.0, 1e-6);

    // One degree north on the central meridian: 0.9999 x the meridian arc, integrated here from
    // the meridian radius of curvature a (1 - e^2) / (1 - e^2 sin^2 phi)^1.5.
    ASSERT_TRUE(LatLonToPlaneXY(37.0 * r, (137.0 + 10.0 / 60.0) * r, 7, x, y));
    const double a = 6377397.155, ep2 = 0.006719218798677, e2 = ep2 / (1.0 + ep2);
    double arc = 0.0;
    const int steps = 10000;
    for (int i = 0; i < steps; ++i) {
        const double phi = (36.0 + (i + 0.5) / steps) * M_PI / 180.0;
        arc += a * (1.0 - e2) / std::pow(1.0 - e2 * std::sin(phi) * std::sin(phi), 1.5) * (M_PI / 180.0 / steps);
    }
    EXPECT_NEAR(x, 0.9999 * arc, 0.01);
    EXPECT_NEAR(y, 0.0, 1e-6);

    // East of the meridian y grows, and symmetrically to the west.
    double xe = 0, ye = 0, xw = 0, yw = 0;
    LatLonToPlaneXY(36.0 * r, 138.0 * r, 7, xe, ye);
    LatLonToPlaneXY(36.0 * r, (137.0 + 20.0 / 60.0) * r, 7, xw, yw);
    EXPECT_GT(ye, 70000.0);
    EXPECT_NEAR(xe, 0.0, 1000.0);
    EXPECT_FALSE(LatLonToPlaneXY(0.6, 2.4, 20, x, y));
    EXPECT_FALSE(LatLonToPlaneXY(NAN, 2.4, 7, x, y));
}

// --- Station files --------------------------------------------------------------------------

TEST(StationFiles, TextHeaderDecodesToExactMembers)
{
    SetFixture f;
    fx::StationText s = Text("HKD020", {10, -20, 30, 40});
    s.frequency = 4;
    s.duration = 1;
    ASSERT_EQ(f.Read("/data/HKD020.ns", fx::StationTextFile(s)), 1);
    ASSERT_EQ(f.set.StationCount(), 1);
    const CStrongMotionTrace& r = f.Station(0).slots[0];
    EXPECT_EQ(r.recordTime, (StationDateTime{2003, 9, 26, 4, 50, 7}));
    EXPECT_EQ(r.stationCode, "HKD020");
    EXPECT_EQ(r.samplingFrequency, 4);
    EXPECT_FLOAT_EQ(r.intervalUs, 250000.0f);
    EXPECT_EQ(r.samples, 4);
    EXPECT_FLOAT_EQ(r.scaleFactor, static_cast<float>(7845.0 / 8223790.0 * 0.01));
    EXPECT_FLOAT_EQ(r.maximumAcceleration, 12.5f);
    EXPECT_FLOAT_EQ(r.epicentreLatitude, 36.0f);
    EXPECT_FLOAT_EQ(r.stationLongitude, 137.3f);
    EXPECT_EQ(r.component, 1);
    EXPECT_EQ(r.componentLabel, "ns");
    EXPECT_EQ(r.headerLines[0], "");  // header lines stay out of the slot
    // Samples: count x scale, less their mean (15 x scale).
    const float scale = r.scaleFactor;
    const std::vector<float>& v = f.Station(0).samples[0].values;
    ASSERT_EQ(v.size(), 4u);
    EXPECT_NEAR(v[0], -5 * scale, 1e-9);
    EXPECT_NEAR(v[1], -35 * scale, 1e-9);
    EXPECT_NE(f.log.Text("DecodedTraceHeader.txt").find("StationCode=HKD020 \n"), std::string::npos);
    EXPECT_EQ(f.set.header.traceCount, 1);
}

TEST(StationFiles, StationDueEastHasAzimuth90AndItsOffset)
{
    SetFixture f;
    fx::StationText s = Text("EAST01", {1, 2});
    s.epicentreLatitude = 36.0;
    s.epicentreLongitude = 137.1667;
    s.stationLatitude = 36.0;
    s.stationLongitude = 137.5;
    ASSERT_EQ(f.Read("EAST01.ew", fx::StationTextFile(s)), 1);
    const CStrongMotionTrace& r = f.Station(0).slots[1];
    EXPECT_NEAR(r.azimuth, 90.0, 0.2);
    EXPECT_GT(r.sourceOffset, 29000.0f);
    EXPECT_NEAR(r.sourceOffset, std::hypot(r.stationX - r.sourceX, r.stationY - r.sourceY), 0.01);
    EXPECT_EQ(r.receiverHundredths, static_cast<int32_t>(r.stationX * 100.0f));
    EXPECT_EQ(r.sourceHundredths, static_cast<int32_t>(r.stationY * 100.0f));
}

TEST(StationFiles, NDataAndBinaryFilesRead)
{
    SetFixture f;
    ASSERT_EQ(f.Read("/x/near.ud", fx::StationNDataFile(3, 0.01, {1.0, 2.0, 6.0})), 1);
    const CStrongMotionTrace& n = f.Station(0).slots[2];
    EXPECT_EQ(f.Station(0).name, "near");  // no code in the file: the file's own station
    EXPECT_FLOAT_EQ(n.intervalUs, 10000.0f);
    EXPECT_EQ(f.Station(0).samples[2].values, (std::vector<float>{-2.0f, -1.0f, 3.0f}));

    ASSERT_EQ(f.Read("/x/53394611.ns1", fx::StationBinaryFile(2, 4.0, 0.005, {400, 1200})), 1);
    const StrongMotionStation& b = f.Station(1);
    EXPECT_EQ(b.name, "53394611");
    const CStrongMotionTrace& r = b.slots[3];
    EXPECT_EQ(r.componentLabel, "ns-d");
    EXPECT_FLOAT_EQ(r.intervalUs, 5000.0f);
    EXPECT_NEAR(r.stationLatitude, 35.675, 1e-5);
    EXPECT_NEAR(r.stationLongitude, 139.7625, 1e-5);
    // value / scale x 0.01: 1 and 3, mean 2 removed.
    EXPECT_EQ(b.samples[3].values, (std::vector<float>{-1.0f, 1.0f}));
}

TEST(StationFiles, MeshCodeAndComponentNames)
{
    double lat = 0, lon = 0;
    MeshCodeToLatLon("53394611", lat, lon);
    EXPECT_NEAR(lat, 35.675, 1e-12);
    EXPECT_NEAR(lon, 139.7625, 1e-12);
    MeshCodeToLatLon("5x", lat, lon);  // non-digits and missing digits count 0
    EXPECT_NEAR(lat, 50 * 2.0 / 3.0, 1e-12);
    EXPECT_NEAR(lon, 100.0, 1e-12);

    std::string label;
    EXPECT_EQ(ComponentFromName("a.ns2", label), 1);
    EXPECT_EQ(label, "ns");
    EXPECT_EQ(ComponentFromName("a.UD1", label), 6);
    EXPECT_EQ(label, "ud-d");
    EXPECT_EQ(ComponentFromName("a.EW", label), 2);
    EXPECT_EQ(ComponentFromName("a.txt", label), 0);
}

TEST(StationFiles, StationsByEqualCodeOneSlotPerComponent)
{
    SetFixture f;
    const std::string ns = fx::StationTextFile(Text("TKY001", {1, 2}));
    ASSERT_EQ(f.Read("TKY001.ns", ns), 1);
    ASSERT_EQ(f.Read("TKY001.ew", fx::StationTextFile(Text("TKY001", {3, 4}))), 1);
    ASSERT_EQ(f.Read("TKY.ns", fx::StationTextFile(Text("TKY", {5, 6}))), 1);  // not a part of TKY001
    ASSERT_EQ(f.set.StationCount(), 2);
    EXPECT_EQ(f.Station(0).traceCount, 2);
    EXPECT_EQ(f.Station(1).name, "TKY");
    EXPECT_EQ(f.set.header.traceCount, 3);

    // The same file again replaces its slot: one slot, and the set file holds it once.
    ASSERT_EQ(f.Read("TKY001.ns", ns), 1);
    EXPECT_EQ(f.Station(0).traceCount, 2);
    EXPECT_EQ(f.set.header.traceCount, 3);
    ByteSink sink;
    ASSERT_TRUE(f.set.WriteSgm(sink).ok);
    CStrongMotionSet back;
    ByteSource source = ByteSource::FromSpan(sink.Bytes());
    EXPECT_EQ(back.ReadSgm(source), 3);
    EXPECT_EQ(back.stations[0]->traceCount, 2);
}

TEST(StationFiles, HeadersThatWouldDivideByZeroAreRefusedAndNamed)
{
    SetFixture f;
    fx::StationText noFrequency = Text("A", {1});
    noFrequency.frequency = 0;
    fx::StationText zeroScale = Text("B", {1});
    zeroScale.denominator = 0;
    fx::StationText negative = Text("C", {1});
    negative.duration = -1;
    EXPECT_EQ(f.Read("a.ns", fx::StationTextFile(noFrequency)), 0);
    EXPECT_EQ(f.Read("b.ns", fx::StationTextFile(zeroScale)), 0);
    EXPECT_EQ(f.Read("c.ns", fx::StationTextFile(negative)), 0);
    EXPECT_EQ(f.Read("d.ns", fx::StationBinaryFile(2, 0.0, 0.01, {1, 2})), 0);
    EXPECT_EQ(f.Read("e.ns", fx::StationBinaryFile(100, 1.0, 0.01, {1, 2})), 0);  // 400 bytes of samples
    EXPECT_EQ(f.set.StationCount(), 0);
    ASSERT_EQ(f.report.refused.size(), 5u);
    EXPECT_EQ(StationLoadMessage(-1, f.report),
              "These strong-motion files have not been read:\n a.ns : no sampling frequency\n b.ns : scale factor 0"
              "\n c.ns : negative duration\n d.ns : scale factor 0\n e.ns : the file is shorter than its samples");

    // A text file that ends early keeps what it holds.
    fx::StationText shortFile = Text("S", {1, 2});
    shortFile.frequency = 10;
    ASSERT_EQ(f.Read("s.ns", fx::StationTextFile(shortFile)), 1);
    EXPECT_EQ(f.Station(0).slots[0].samples, 2);
}

TEST(StationFiles, AtMost1024Stations)
{
    SetFixture f;
    for (int i = 0; i < kMaxStations; ++i) f.Read("s" + std::to_string(i) + ".ns", fx::StationNDataFile(1, 0.01, {1.0}));
    EXPECT_EQ(f.set.StationCount(), kMaxStations);
    EXPECT_EQ(f.Read("extra.ns", fx::StationNDataFile(1, 0.01, {1.0})), 0);
    EXPECT_EQ(f.set.StationCount(), kMaxStations);
    ASSERT_EQ(f.report.refused.size(), 1u);
    EXPECT_EQ(f.report.refused[0].second, StationRefusal::TooManyStations);
}

// --- The set file ---------------------------------------------------------------------------

fx::SgmRecord Record(int component, std::vector<float> samples)
{
    fx::SgmRecord r;
    r.words[4] = component;
    r.words[7] = static_cast<int32_t>(samples.size());
    r.stationCode = "STA";
    r.componentLabel = component == 1 ? "ns" : component == 2 ? "ew" : "ud";
    r.samples = std::move(samples);
    return r;
}

TEST(SetFile, RoundTripIsByteIdenticalAndRestoresEverything)
{
    const fx::Bytes file = fx::SgmFile(3, {2003, 9, 26, 4, 50, 0},
                                       {{"STA", {Record(1, {1.0f, 2.0f}), Record(2, {3.0f})}},
                                        {"STB", {Record(1, {4.0f, 5.0f, 6.0f})}}});
    ASSERT_EQ(file.size(), 1048u + 2 * (4 + 512) + 3 * (2232 + 4) + 6 * 4);
    CStrongMotionSet set;
    ByteSource source = ByteSource::FromSpan(file);
    ASSERT_EQ(set.ReadSgm(source), 3);
    ASSERT_EQ(set.StationCount(), 2);
    EXPECT_EQ(set.header.earthquakeTime, (StationDateTime{2003, 9, 26, 4, 50, 0}));
    EXPECT_EQ(set.stations[0]->samples[1].values, std::vector<float>{3.0f});
    EXPECT_EQ(set.stations[1]->slots[0].componentLabel, "ns");
    EXPECT_EQ(set.stations[1]->slots[0].recordTime, (StationDateTime{2003, 9, 26, 4, 50, 7}));

    ByteSink sink;
    ASSERT_TRUE(set.WriteSgm(sink).ok);
    EXPECT_TRUE(sink.Bytes() == file);
}

TEST(SetFile, BadFilesLeaveTheSetAsItWas)
{
    CStrongMotionSet set;
    const fx::Bytes good = fx::SgmFile(1, {2003, 1, 1, 0, 0, 0}, {{"STA", {Record(1, {1.0f})}}});
    ByteSource g = ByteSource::FromSpan(good);
    ASSERT_EQ(set.ReadSgm(g), 1);

    auto refused = [&](fx::Bytes bytes) {
        ByteSource s = ByteSource::FromSpan(bytes);
        std::string error;
        EXPECT_EQ(set.ReadSgm(s, &error), -1);
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(set.StationCount(), 1);
        EXPECT_EQ(set.header.traceCount, 1);
    };
    fx::Bytes b = good;
    std::memcpy(b.data(), "1025 1", 7);
    refused(b);  // too many stations
    b = good;
    b[1048] = 7;
    refused(b);  // a station of seven traces
    b = good;
    b[1048 + 4 + 512 + 2232] = 200;
    refused(b);  // more samples than the file
    b = good;
    b.resize(b.size() - 1);
    refused(b);  // short
    b = good;
    std::memcpy(b.data(), "x", 2);
    refused(b);  // no counts
}

// --- Filling, time axis, earthquake time ------------------------------------------------------

struct FilledSet : SetFixture {
    // Stations A (ns, ew, ud) and B (ns) and C (ns): 5 traces.
    FilledSet()
    {
        Read("A.ns", fx::StationTextFile(Text("A", {1, 3})));
        Read("A.ew", fx::StationTextFile(Text("A", {1, 5})));
        Read("A.ud", fx::StationTextFile(Text("A", {1, 7})));
        Read("B.ns", fx::StationTextFile(Text("B", {2, 4})));
        Read("C.ns", fx::StationTextFile(Text("C", {2, 6})));
    }
    StrongMotionFill Fill(int start = 0, int maxTraces = 10)
    {
        target = std::make_unique<LoadTarget>(start, maxTraces - start, 16, 8);
        return set.FillTraces(*target);
    }
    std::unique_ptr<LoadTarget> target;
};

TEST(FillTraces, SixOrFewerTracesStayInModeZero)
{
    FilledSet f;
    f.set.viewMode = 2;
    StrongMotionFill fill = f.Fill(2);
    EXPECT_EQ(f.set.viewMode, 0);
    EXPECT_EQ(fill.end, 7);
    ASSERT_EQ(fill.records.size(), 5u);
    EXPECT_EQ(fill.records[1].componentLabel, "ew");
    EXPECT_EQ(f.target->HeaderAt(3).component, 1);
    EXPECT_EQ(f.target->HeaderAt(0).samples, 2);
}

TEST(FillTraces, ComponentAndStationModes)
{
    FilledSet f;
    f.Read("D.ns", fx::StationTextFile(Text("D", {1, 1})));
    f.Read("D.ew", fx::StationTextFile(Text("D", {1, 1})));
    ASSERT_GT(f.set.header.traceCount, 6);
    f.set.viewMode = 1;
    EXPECT_EQ(f.Fill().end, 4);  // A, B, C, D
    f.set.viewMode = 9;
    f.set.currentStation = 0;
    StrongMotionFill station = f.Fill();
    EXPECT_EQ(station.end, 3);
    EXPECT_EQ(station.stationName, "A");
    EXPECT_EQ(f.target->HeaderAt(0).receiverHundredths, 0);
    EXPECT_EQ(f.target->HeaderAt(1).receiverHundredths, 100);
    EXPECT_EQ(f.target->HeaderAt(2).receiverHundredths, 200);
    f.set.viewMode = 7;
    EXPECT_EQ(f.Fill(3).end, 3);
    // The store's capacity ends the fill, and says so.
    f.set.viewMode = 0;
    StrongMotionFill cut = f.Fill(8);
    EXPECT_EQ(cut.end, 10);
    EXPECT_TRUE(cut.tracesCut);
}

TEST(FillTraces, SamplesBeyondMaxSampleAreCutAndReported)
{
    SetFixture f;
    f.Read("L.ns", fx::StationTextFile(Text("L", std::vector<int>(12, 3))));
    LoadTarget target(0, 4, 16, 8);
    StrongMotionFill fill = f.set.FillTraces(target);
    EXPECT_TRUE(fill.samplesCut);
    EXPECT_EQ(target.HeaderAt(0).samples, 8);
}

void SetRecordTimes(CStrongMotionSet& set, std::vector<StationDateTime> times)
{
    set.shownRecords.resize(times.size());
    for (size_t i = 0; i < times.size(); ++i) set.shownRecords[i].recordTime = times[i];
}

TEST(TimeAxis, FourteenSecondsAlignOnTheEarthquakeFifteenOnTheEarliestRecord)
{
    CStrongMotionSet set;
    MemoryLogSink log;
    SetRecordTimes(set, {{2003, 9, 26, 4, 50, 20}, {2003, 9, 26, 4, 50, 25}});
    set.header.earthquakeTime = {2003, 9, 26, 4, 50, 6};  // 14 s before the earliest
    set.CorrectTimeAxis(2, log);
    EXPECT_FLOAT_EQ(set.shownRecords[0].timeOffset, -1.0f);
    EXPECT_FLOAT_EQ(set.shownRecords[1].timeOffset, 4.0f);
    set.header.earthquakeTime = {2003, 9, 26, 4, 50, 5};  // 15 s
    set.CorrectTimeAxis(2, log);
    EXPECT_FLOAT_EQ(set.shownRecords[0].timeOffset, 0.0f);
    EXPECT_FLOAT_EQ(set.shownRecords[1].timeOffset, 5.0f);
    EXPECT_EQ(log.Text("CorrectTime.txt").substr(0, 4), "15 \n");
}

TEST(TimeAxis, CalendarSecondsIgnoreTheTimeZone)
{
    const StationDateTime a{2003, 3, 30, 1, 59, 0}, b{2003, 3, 30, 3, 1, 0};  // across a DST change
    const int64_t before = CalendarSeconds(b) - CalendarSeconds(a);
    const char* old = std::getenv("TZ");
    const std::string saved = old ? old : "";
    setenv("TZ", "Europe/Berlin", 1);
    tzset();
    EXPECT_EQ(CalendarSeconds(b) - CalendarSeconds(a), before);
    EXPECT_EQ(before, 62 * 60);
    if (old) setenv("TZ", saved.c_str(), 1); else unsetenv("TZ");
    tzset();
    EXPECT_EQ(CalendarSeconds({1900, 1, 1, 0, 0, 0}), -2208988800LL);
    EXPECT_EQ(CalendarSeconds({1970, 13, 1, 0, 0, 0}), CalendarSeconds({1971, 1, 1, 0, 0, 0}));
}

TEST(EarthquakeTime, ShiftAddsOrDropsLeadingSamples)
{
    CStrongMotionSet set;
    MemoryLogSink log;
    ScriptedUiHost ui;
    // Record times 18 s and 12 s after the earthquake: n = (18 - 15) / 1 = +3 and -3.
    SetRecordTimes(set, {{2003, 1, 1, 0, 0, 18}, {2003, 1, 1, 0, 0, 12}});
    set.header.earthquakeTime = {2003, 1, 1, 0, 0, 0};
    Matrix2D<float> rows(0, 1, 0, 15);
    std::vector<CTraceHeader> headers(2);
    for (int i = 0; i < 2; ++i) {
        headers[static_cast<size_t>(i)].intervalUs = 1000000.0f;
        headers[static_cast<size_t>(i)].samples = 6;
        for (int k = 0; k < 6; ++k) rows[i][k] = static_cast<float>(k + 1);
    }
    // The earliest record (12 s) is within 15 s of the earthquake time.
    ASSERT_TRUE(set.StartAtEarthquakeTime(rows, headers, 2, 10, ui, -1, log));
    EXPECT_EQ(headers[0].samples, 9);
    EXPECT_EQ((std::vector<float>(rows.Row(0).begin(), rows.Row(0).begin() + 10)),
              (std::vector<float>{0, 0, 0, 1, 2, 3, 4, 5, 6, 0}));
    EXPECT_EQ(headers[1].samples, 3);
    EXPECT_EQ((std::vector<float>(rows.Row(1).begin(), rows.Row(1).begin() + 7)),
              (std::vector<float>{4, 5, 6, 0, 0, 0, 0}));

    // 15 s or more away: refused, nothing changes.
    set.header.earthquakeTime = {2002, 1, 1, 0, 0, 0};
    ui.ExpectMessage(kEarthquakeTimeNotCorrect);
    EXPECT_FALSE(set.StartAtEarthquakeTime(rows, headers, 2, 10, ui, -1, log));
    EXPECT_EQ(headers[0].samples, 9);
    // An interval of 0 refuses the shift.
    set.header.earthquakeTime = {2003, 1, 1, 0, 0, 0};
    headers[1].intervalUs = 0.0f;
    ui.ExpectAnyMessage();
    EXPECT_FALSE(set.StartAtEarthquakeTime(rows, headers, 2, 10, ui, -1, log));
    EXPECT_EQ(headers[0].samples, 9);
}

TEST(Summary, TextAndDisplayRange)
{
    FilledSet f;
    f.set.WriteSummaryText(f.log, 8);
    const std::string text = f.log.Text("StrongGroudMotionData.txt");
    EXPECT_EQ(text.rfind("Number of stations = 3\nNumber of traces = 5\nA \n", 0), 0u) << text;
    const CTraceHeader h = ToTraceHeader(f.Station(1).slots[0], 0, 8);
    EXPECT_NE(text.find(FormatC("B \n%d %d %d %d %d %f %f %d \n\n", h.traceNumber, h.receiverHundredths,
                                h.sourceHundredths, h.gain, h.component, static_cast<double>(h.delayUs),
                                static_cast<double>(h.intervalUs), h.samples)),
              std::string::npos)
        << text;

    f.set.shownRecords.resize(2);
    f.set.shownRecords[0].azimuth = 10.0f;
    f.set.shownRecords[1].azimuth = 200.0f;
    f.set.maximumAngle = 180.0f;
    EXPECT_EQ(f.set.IsInDisplayRange(0), 1);
    EXPECT_EQ(f.set.IsInDisplayRange(1), 0);
    EXPECT_EQ(f.set.IsInDisplayRange(5), 0);
}

TEST(EarthquakeDialogs, StationChoiceTimeAndZone)
{
    FilledSet f;
    ScriptedUiHost ui;
    ui.AnswerDialog(CStationSelectDlg::kClass, {{"Station", "C"}});
    EXPECT_EQ(SelectStations(f.set, ui, -1), 1);
    EXPECT_EQ(f.set.currentStation, 2);

    ui.AnswerDialog(CTimeDlg::kClass, {{"Year", "2011"}, {"Second", "18"}});
    EXPECT_EQ(EditEarthquakeTime(f.set, ui, -1), 1);
    EXPECT_EQ(f.set.header.earthquakeTime, (StationDateTime{2011, 1, 1, 0, 0, 18}));
    ui.CancelDialog(CTimeDlg::kClass);
    EXPECT_EQ(EditEarthquakeTime(f.set, ui, -1), 0);

    ui.AnswerDialog(CXyCoordinateDlg::kClass, {{"Corollary", "9"}, {"Manual origin", "1"}});
    ASSERT_EQ(ConvertStationsToXY(f.set, f.origin, ui, -1, f.log), 1);
    EXPECT_EQ(f.origin.zone, 9);
    const CStrongMotionTrace& r = f.Station(0).slots[0];
    double x = 0, y = 0, ox = 0, oy = 0;
    LatLonToPlaneXY(r.stationLatitude * kDeg, r.stationLongitude * kDeg, 9, x, y);
    LatLonToPlaneXY(f.origin.originLatitude * kDeg, f.origin.originLongitude * kDeg, 9, ox, oy);
    EXPECT_NEAR(r.stationX, x - ox, 0.01);
    EXPECT_EQ(r.sourceHundredths, static_cast<int32_t>(r.stationY * 100.0f));
    // Zones 18 and 19 are offered, 20 is not.
    ui.AnswerDialogWith(CXyCoordinateDlg::kClass, [](DialogRequest& request) {
        EXPECT_TRUE(request.SetFromText("Corollary", "19").empty());
        EXPECT_FALSE(request.SetFromText("Corollary", "20").empty());
        return false;
    });
    EXPECT_EQ(ConvertStationsToXY(f.set, f.origin, ui, -1, f.log), 0);
}

}  // namespace
}  // namespace velk
