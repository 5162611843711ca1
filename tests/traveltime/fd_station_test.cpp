// The station file, the snapping of stations to grid nodes, the station output text, and the
// traveltime file of the spike record.

#include "traveltime/fd_station.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "traveltime/spike_file.h"

namespace velk {
namespace {

TEST(FdStation, StationFileIsEchoedAndLimited)
{
    CFdStationList list;
    EXPECT_EQ(list.ReadStationText("2\nA 34.5 139.0 1.5\nB 35 140 0\n"),
              "A 34.500000 139.000000 1.500000 \nB 35.000000 140.000000 0.000000 \n");
    EXPECT_EQ(list.count, 2);
    std::string many = "250\n";
    for (int i = 0; i < 250; ++i) many += "S" + std::to_string(i) + " 1 2 3\n";
    list.ReadStationText(many);
    EXPECT_EQ(list.count, CFdStationList::kMaxStations);
    list.ReadStationText("3\nA 1 2 3\nB 1 x 3\n");  // cut at the bad number
    EXPECT_EQ(list.count, 1);
}

TEST(FdStation, OutputTextPadsTheLastLineWithZeros)
{
    std::vector<float> samples(1001, 0.5f);
    const std::string text = FdStationText(samples, 10000.0f, 100.0f, 0);
    const std::string header = "NDATA= 1001 dT= 0.010 Finite-difference waveform NS\n";
    ASSERT_EQ(text.substr(0, header.size()), header);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 127);
    const size_t last = text.rfind('\n', text.size() - 2) + 1;
    EXPECT_EQ(text.substr(last), "    50.000     0.000     0.000     0.000     0.000     0.000     0.000     0.000\n");
    EXPECT_EQ(FdStationText(std::vector<float>{1.25f, -2.0f}, 500.0f, 2.0f, 2),
              "NDATA=    2 dT= 0.001 Finite-difference waveform UD\n"
              "     2.500    -4.000     0.000     0.000     0.000     0.000     0.000     0.000\n");
}

TEST(FdStation, StationsSnapToTheNearestNode)
{
    CFdStationList list;
    // Origin; half a cell (200 m) north; 300 m south; a name that would leave the folder.
    const double north = 200.0 / 110952.0, south = -300.0 / 110952.0;
    list.ReadStationText("4\nO 34.5 139 0\nN " + std::to_string(34.5 + north) + " 139 0\nS " +
                         std::to_string(34.5 + south) + " 139 0\n../x 34.5 139 0\n");
    ASSERT_EQ(list.count, 4);
    EXPECT_EQ(FdNodeIndex(0.0, 400.0), 0);
    EXPECT_EQ(FdNodeIndex(200.0, 400.0), 1);
    EXPECT_EQ(FdNodeIndex(-300.0, 400.0), -1);
    // Traces at nodes (0, 0) and (1, 0): receiver = north x 100, source = east x 100.
    Matrix2D<float> rows(0, 1, 0, 7);
    rows[0][0] = 1.0f;
    rows[1][0] = 2.0f;
    std::vector<CTraceHeader> headers(2);
    headers[0].Set(1, 0, 0, 1, 1, 0.0f, 1000.0f, 8);
    headers[1].Set(2, 40000, 0, 1, 1, 0.0f, 1000.0f, 8);
    const CObservationStationDlg dlg = list.Dialog();
    const std::vector<FdStationFile> files = list.StationFiles(dlg, 1, 2, rows, headers);
    ASSERT_EQ(files.size(), 2u);  // S finds no trace at node -1, "../x" is not written
    EXPECT_EQ(files[0].name, "O_FD3D.ew");
    EXPECT_EQ(files[1].name, "N_FD3D.ew");
    EXPECT_NE(files[1].text.find("   200.000"), std::string::npos);
}

TEST(SpikeFile, BlocksTimesAndLimits)
{
    std::string text = "10.5 2 1.0 2.5\n";
    text += "20 25";
    for (int i = 0; i < 25; ++i) text += " " + std::to_string(i);
    text += "\n30 1 7.5\n";
    const SpikeFile file = ReadSpikeFile(text);
    ASSERT_EQ(file.blocks.size(), 3u);
    EXPECT_EQ(file.blocks[0].times, (std::vector<float>{1.0f, 2.5f}));
    EXPECT_EQ(file.blocks[1].times.size(), 20u);
    EXPECT_TRUE(file.timesDropped);
    EXPECT_FLOAT_EQ(file.blocks[2].position, 30.0f);  // read after the dropped times
    EXPECT_EQ(file.blocks[2].times, std::vector<float>{7.5f});
    EXPECT_EQ(ReadSpikeFile("5 3 1 2").blocks.back().times.size(), 2u);  // a short block keeps what it has
    EXPECT_TRUE(ReadSpikeFile("abc").blocks.empty());
}

}  // namespace
}  // namespace velk
