#include "recorddump/import_file_fixtures.h"

#include "tests/formats/import_fixtures.h"

namespace velk::tools {

namespace {

namespace fx = velk::testing::importfixture;

fx::SgmRecord Record(int component, const char* label, std::vector<float> samples, float azimuth)
{
    fx::SgmRecord r;
    r.words[1] = 1234500;  // receiver x 100
    r.words[4] = component;
    r.words[7] = static_cast<int32_t>(samples.size());
    r.stationCode = "SGM001";
    r.componentLabel = label;
    r.azimuth = azimuth;
    r.samples = std::move(samples);
    return r;
}

}  // namespace

std::vector<WriterFixture> ImportFileFixtures()
{
    std::vector<WriterFixture> all;
    auto add = [&](const char* name, const char* args, const char* description, fx::Bytes bytes) {
        all.push_back({name, args, std::string(description) + " (import generator)", std::move(bytes)});
    };

    // Strong-motion station files, one per kind, and the set file.
    fx::StationText text;
    text.code = "TST001";
    text.frequency = 8;
    text.duration = 1;
    text.counts = {120, -80, 40, 0, 10, -30, 60, -120};
    add("sm-station.ns", "", "17-line station text file TST001, 8 Hz for 1 s, scale 7845/8223790 x 0.01: one trace, mean removed",
        fx::ToBytes(fx::StationTextFile(text)));
    add("sm-ndata.UD", "", "\"NDATA=\" station file of 5 values at 0.01 s, no code: a station of its own name, component 3",
        fx::ToBytes(fx::StationNDataFile(5, 0.01, {1.5, -2.5, 3.5, 0.5, -1.0})));
    add("53394611.EW1", "", "binary station file of 4 int32 counts, scale 2, 0.005 s; station from the grid-square code, component 5 \"ew-d\"",
        fx::StationBinaryFile(4, 2.0, 0.005, {200, -400, 600, 0}));
    fx::StationText noFrequency = text;
    noFrequency.frequency = 0;
    add("sm-no-frequency.ns", "", "station text file whose sampling frequency is 0: refused with a message, nothing loaded",
        fx::ToBytes(fx::StationTextFile(noFrequency)));
    add("sm-set.sgm", "",
        ".sgm set file of 2 stations (ns and ud, then ew) and earthquake time 2003-09-26 04:50:00: 3 traces",
        fx::SgmFile(3, {2003, 9, 26, 4, 50, 0},
                    {{"SGM001", {Record(1, "ns", {1.0f, 2.0f, 3.0f}, 45.0f), Record(3, "ud", {-1.0f, 0.5f}, 45.0f)}},
                     {"SGM002", {Record(2, "ew", {4.0f, 5.0f, 6.0f, 7.0f}, 200.0f)}}}));

    // Memory recorders and their key files.
    fx::Hioki8840 h8840;
    h8840.codes = {{2048, 4095, 0, 2049}, {2048, 2050, 2046, 2048}};
    add("hioki-8840.mem", "--reader hioki-8840", "8840 file, 2 channels of 4 codes (5 mV and 2 V ranges): 2048 -> 0, 4095 and 0 the range's ends",
        fx::Hioki8840File(h8840));
    fx::Hioki8826 h8826;
    h8826.samples = {{1, -2, 3}, {100, 200, -300}};
    add("hioki-8826.mem", "--reader hioki-8826", "8826 file, 2 interleaved big-endian channels of 3 samples (5 V and 500 mV) after 3 header blocks, the count confirmed",
        fx::Hioki8826File(h8826));
    fx::Hioki8826 shortData = h8826;
    shortData.headerBlocks = 2;  // the second channel's header is cut off
    shortData.samples = {};
    add("hioki-8826-short.mem", "--reader hioki-8826", "8826 file that ends inside its second channel header: the reading error, nothing loaded",
        fx::Hioki8826File(shortData));
    add("hioki-key.txt", "--first hioki-8840=hioki-8840.mem --reader hioki-key",
        "memory-recorder key file on hioki-8840.mem: channel 2 twice (gains 2 and -1), channel 1 once: 3 traces by receiver",
        fx::ToBytes("2 300 50 0 0 2.0\n1 100 50 0 0 1.0\n2 200 50 0 0 -1.0\n"));
    add("plain-key.txt", "--first hioki-8840=hioki-8840.mem --reader key",
        "key file on hioki-8840.mem: channel 1 as component 3 at 5 m, channel 2 unnamed and dropped",
        fx::ToBytes("1 500 0 3 0 0\n"));

    // Text and binary imports.
    add("text-columns.txt", "--reader text --dialog CReadTextFormatDlg:Samples=4,SamplingTime=0.5",
        "10 numbers read 4 to a trace at 0.5 ms: 2 complete traces", fx::ToBytes(fx::Numbers({1, 2, 3, 4, 5, 6, 7, 8, 9, 10})));
    add("text-columns-large.txt",
        "--reader text --max-traces 2 --max-sample 4 --dialog CReadTextFormatDlg:Samples=6,SamplingTime=1",
        "4 traces of 6 numbers into MAXTRACES 2, MAX_SAMPLE 4: both capacity messages, 2 traces of 4",
        fx::ToBytes(fx::Numbers(std::vector<double>(24, 2.5))));
    add("text-rows.txt", "--reader text-rows", "\"2 3\" then 3 rows of a time (s) and 2 values: 2 traces at 0.25 ms",
        fx::ToBytes("2 3\n 0.000000e+00  1.5 -1.5\n 2.500000e-04  2.5 -2.5\n 5.000000e-04  3.5 -3.5\n"));
    add("oskerby.txt", "--reader oskerby", "5 time/value pairs 2 ms apart: one trace of 5 samples", fx::ToBytes(fx::PairsFile(5, 0.002)));
    add("morvath.txt", "--reader morvath", "Morvath text with 3 \"V\" in line 6 and 3 rows 1 ms apart: 3 traces, gain 10",
        fx::ToBytes(fx::MorvathFile(3, {{0.0, 1, 2, 3}, {0.001, 4, 5, 6}, {0.002, 7, 8, 9}})));
    add("laser-doppler.txt", "--reader laser-doppler",
        "laser doppler export of 2 traces: per-trace intervals 0.5 and 0.25 ms, delays, counts 3 and 2, samples negated",
        fx::ToBytes(fx::LaserDopplerFile({0.5, 0.25}, {3.0, 4.0}, {3, 2}, {{1, 10}, {2, 20}, {3, 30}})));
    add("binary.bin", "--reader binary --dialog CReadTextFormatDlg:Samples=4",
        "14 little-endian int32 words read 4 to a trace: 3 traces (the half trace left out)",
        fx::Int32Words({1, -2, 16843009, 2147483647, 5, 6, 7, 8, -9, 10, 11, 12, 13, 14}));
    add("brevik.txt", "--reader brevik --max-sample 4 --dialog CReceiverLocationDlg:Location=2.5",
        "9 time/value pairs at MAX_SAMPLE 4: 2 complete traces of 4 (their 8-header side files go to the log)",
        fx::ToBytes(fx::PairsFile(9, 0.001)));
    add("dwm.txt", "--reader dwm", "DWM lines of groups 1, 1, 2, 2, 2: traces of 2 and 3 samples, negated",
        fx::ToBytes(fx::DwmFile({1, 1, 2, 2, 2}, 0.5)));
    add("varnel.txt", "--reader varnel --dialog CReadTextFormatDlg:SamplingTime=2",
        "Varnel text \" 2 3 0 \" and 6 samples, 2 ms from the dialog: 2 traces of 3",
        fx::ToBytes(" 2 3 0 \n 1.000000 \n 2.000000 \n 3.000000 \n -1.000000 \n -2.000000 \n -3.000000 \n"));
    return all;
}

}  // namespace velk::tools
