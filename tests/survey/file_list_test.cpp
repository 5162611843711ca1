// The file group against files on disk: the geometry and the waveform read of a line, the
// project file, the list makers and readers, naming, and the file-list dialog's model.

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "formats/eight_header.h"
#include "formats/format_support.h"
#include "formats/org_file.h"
#include "platform/byte_io.h"
#include "survey/file_group.h"
#include "survey/file_list_dialogs.h"
#include "tools/scripted_uihost.h"
#include "tools/test_support.h"

namespace velk {
namespace {

using testing::TempFolder;

// A trace of a test record: receiver and source (cm), samples and their value.
struct Trace {
    int receiver = 0;
    int source = 0;
    int samples = 8;
    float value = 1.0f;
};

void WriteShot(const std::string& path, const std::vector<Trace>& traces)
{
    const int n = static_cast<int>(traces.size());
    int longest = 1;
    for (const Trace& t : traces) longest = std::max(longest, t.samples);
    Matrix2D<float> rows(0, n - 1, 0, longest - 1);
    std::vector<CTraceHeader> headers(traces.size());
    for (int k = 0; k < n; ++k) {
        const Trace& t = traces[static_cast<size_t>(k)];
        headers[static_cast<size_t>(k)].Set(k + 1, t.receiver, t.source, 1, 1, 0.0f, 250.0f, t.samples);
        for (int j = 0; j < t.samples; ++j) rows[k][j] = t.value + static_cast<float>(j);
    }
    ASSERT_TRUE(WriteEightHeaderFile(path, rows, headers, n));
}

// 24 receivers from `first` cm, 100 cm apart, at one source.
std::vector<Trace> Spread(int source, int first, float value, int samples = 8)
{
    std::vector<Trace> t;
    for (int k = 0; k < 24; ++k) t.push_back({first + 100 * k, source, samples, value + static_cast<float>(k)});
    return t;
}

class FileListTest : public ::testing::Test {
protected:
    void SetUp() override { group.listFolder = dir.Path(); }
    GroupReadContext Context() { return GroupReadContext{ui, -1, log}; }

    TempFolder dir;
    ScriptedUiHost ui;
    MemoryLogSink log;
    CFileGroup group;
};

TEST_F(FileListTest, GeometryAndWaveformsOfALine)
{
    // Two files at one source with overlapping receivers, one at another source.
    WriteShot(dir.File("shot1.8hd"), Spread(101, 200, 100.0f));
    WriteShot(dir.File("shot2.8hd"), Spread(101, 1500, 200.0f));
    WriteShot(dir.File("shot3.8hd"), Spread(5000, 200, 300.0f));
    for (const char* name : {"shot1.8hd", "shot2.8hd", "shot3.8hd"}) group.AddFile(name, 0.0f, 0.0f, 1.0f);
    ASSERT_EQ(group.entryCount, 3);
    EXPECT_EQ(group.entries[0].fileType, 2);

    ui.ExpectMessage("# of sources = 2 # of receivers = 37 # of positisons = 78 # of CDP = 61 ");
    ui.ExpectMessage("Total traces in Geometry = 61 from 101 cm to 5000 cm");
    std::vector<std::string> progress;
    ASSERT_EQ(group.BuildGeometry(Context(), true, [&](const std::string& t) { progress.push_back(t); }), 61);
    EXPECT_EQ(progress, (std::vector<std::string>{"file=1/3 # of traces=24", "file=2/3 # of traces=24",
                                                  "file=3/3 # of traces=24"}));
    EXPECT_EQ(group.cdpPositions[0], 150);  // (101 + 200) / 2
    EXPECT_EQ(group.positions, 78);
    const CTraceEntry& shared = group.table[0][13];  // 101 cm / 1500 cm: in both files
    EXPECT_EQ(shared.fileIndex, 0);
    EXPECT_EQ(shared.traceIndex, 13);

    const std::string geometry = log.Text("geometry.txt");
    EXPECT_EQ(geometry.substr(0, geometry.find("file number")),
              "File header : # of files = 3\n 0 24 0 file type=2 " + dir.File("shot1.8hd") + " \n");
    EXPECT_NE(geometry.find("file number=2 trace number=23 source=5000cm receiver=2500 \n"), std::string::npos);
    EXPECT_NE(geometry.find("Receiver location\n0 200 \n1 300 \n"), std::string::npos);
    EXPECT_NE(geometry.find("Source location\n0 101 \n1 5000 \nCDP location\n0 150 \n"), std::string::npos);

    ui.ExpectMessage("61 waveform trace data are read for 61 traces");
    EXPECT_EQ(group.ReadWaveformData(Context(), true), 1);
    EXPECT_EQ(group.tracesRead, 61);  // of 72 traces in the files
    EXPECT_EQ(shared.samples[0], 113.0f);  // the earlier file's trace
    EXPECT_EQ(group.table[1][0].samples[3], 303.0f);
}

TEST_F(FileListTest, ShorterRecordsArePaddedToTheLongestOnOk)
{
    WriteShot(dir.File("a1.8hd"), Spread(0, 100, 1.0f, 1000));
    WriteShot(dir.File("a2.8hd"), Spread(500, 100, 1.0f, 1200));
    group.AddFile("a1.8hd", 0.0f, 0.0f, 1.0f);
    group.AddFile("a2.8hd", 0.0f, 0.0f, 1.0f);
    ASSERT_EQ(group.BuildGeometry(Context(), false), 48);
    ui.ExpectMessage("Set data length to 1200", MsgButtons::OkCancel, MsgResult::Ok);
    EXPECT_EQ(group.ReadWaveformData(Context(), false), 1);
    const CTraceEntry& shortOne = group.table[0][0];
    EXPECT_EQ(shortOne.header.samples, 1200);
    ASSERT_EQ(shortOne.samples.size(), 1200u);
    EXPECT_EQ(shortOne.samples[999], 1000.0f);
    EXPECT_EQ(shortOne.samples[1000], 0.0f);
}

// A loaded two-source line of a few traces, in memory.
void LoadSmallTable(CFileGroup& g)
{
    g.AllocateTable(2, 3);
    g.sourceCount = 2;
    g.receiverCount = 3;
    g.sourcePositions[0] = -50;
    g.sourcePositions[1] = 150;
    for (int r = 0; r < 3; ++r) g.receiverPositions[static_cast<size_t>(r)] = 100 * r;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::vector<float> row = {1.5f, -0.0f, nan, 3.0f};
    CTraceHeader h;
    h.Set(1, 0, -50, 1, 1, 0.0f, 500.0f, 4);
    g.table[0][0].SetTrace(row, h);
    h.Set(2, 200, -50, 1, 1, 0.0f, 500.0f, 3);
    g.table[0][2].SetTrace(row, h);
    h.Set(3, 100, 150, 1, 1, 0.0f, 500.0f, 2);
    g.table[1][1].SetTrace(row, h);
    g.table[1][2].use = 1;  // in the geometry, without samples
    g.dataLoaded = 1;
}

TEST(ProjectFile, LayoutAndBitIdenticalRoundTrip)
{
    CFileGroup g;
    LoadSmallTable(g);
    ByteSink sink;
    ASSERT_EQ(g.Save(sink), 1);
    const std::vector<uint8_t>& b = sink.Bytes();
    auto word = [&](size_t at) {
        int32_t v;
        std::memcpy(&v, b.data() + at, 4);
        return v;
    };
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(b.data()), 10), std::string("VELKARINE\0", 10));
    EXPECT_EQ(word(10), 0);
    EXPECT_EQ(word(14), 2);
    EXPECT_EQ(word(18), 3);
    EXPECT_EQ(word(22), -50);
    EXPECT_EQ(word(30), 0);  // receivers after the two sources
    // Cells of 40 bytes, plus the samples of those that hold them: 4 + 3 + 2 samples.
    EXPECT_EQ(b.size(), 22u + 4 * 5 + 6 * 40 + 4 * 9);
    EXPECT_EQ(word(42 + 32), 1);  // cell (0, 0): use, has samples
    EXPECT_EQ(word(42 + 36), 1);

    CFileGroup back;
    ByteSource src = ByteSource::FromSpan(b);
    int traces = 0;
    ASSERT_EQ(back.Load(src, 4100, &traces), ProjectLoadStatus::Loaded);
    EXPECT_EQ(traces, 3);
    EXPECT_EQ(back.dataLoaded, 1);
    Matrix2D<float> r1(0, 7, 0, 7), r2(0, 7, 0, 7);
    std::vector<CTraceHeader> h1(8), h2(8);
    for (int s = 0; s < 2; ++s) {
        ASSERT_EQ(g.BuildGather(r1, h1, s), back.BuildGather(r2, h2, s));
        EXPECT_EQ(h1, h2);
        EXPECT_EQ(std::memcmp(r1.Elements().data(), r2.Elements().data(), r1.Elements().size_bytes()), 0);
    }
    EXPECT_EQ(back.table[1][2].use, 1);
    EXPECT_EQ(back.table[1][2].hasSamples, 0);
}

TEST(ProjectFile, BadFilesChangeNothing)
{
    CFileGroup good;
    LoadSmallTable(good);
    ByteSink sink;
    ASSERT_EQ(good.Save(sink), 1);
    const std::vector<uint8_t> bytes = sink.Bytes();
    auto with = [&](size_t at, int32_t v) {
        std::vector<uint8_t> b = bytes;
        std::memcpy(b.data() + at, &v, 4);
        return b;
    };
    std::vector<uint8_t> cut(bytes.begin(), bytes.end() - 2);
    std::vector<uint8_t> sig = bytes;
    sig[0] = 'X';
    const struct {
        std::vector<uint8_t> file;
        ProjectLoadStatus status;
    } cases[] = {
        {with(14, 5000), ProjectLoadStatus::Bad},
        {with(18, -1), ProjectLoadStatus::Bad},
        {with(42 + 28, 1000000000), ProjectLoadStatus::Bad},  // sample count of cell (0, 0)
        {with(42 + 28, -3), ProjectLoadStatus::Bad},
        {cut, ProjectLoadStatus::Bad},
        {sig, ProjectLoadStatus::WrongSignature},
    };
    for (const auto& c : cases) {
        CFileGroup g;
        g.AddFile("f7.dat", 1.0f, 2.0f, 3.0f);
        const CFileGroup before = g;
        ByteSource src = ByteSource::FromSpan(c.file);
        EXPECT_EQ(g.Load(src, 4100), c.status);
        EXPECT_EQ(g.entries, before.entries);
        EXPECT_EQ(g.tableAllocated, 0);
        EXPECT_EQ(g.sourceCount, 0);
    }
    CFileGroup g;
    ByteSource src = ByteSource::FromSpan(bytes);
    EXPECT_EQ(g.Load(src, 3), ProjectLoadStatus::TooLarge);  // 4 samples, MAX_SAMPLE 3
    EXPECT_EQ(g.tableAllocated, 0);
}

TEST(FileGroupList, NumbersNamesAndKills)
{
    CFileGroup g;
    EXPECT_EQ(g.AddFile("abc.dat", 0, 0, 1), 0);
    EXPECT_EQ(g.AddFile("202403151230.sg2", 0, 0, 1), 0);  // beyond int32: no number
    EXPECT_EQ(g.AddFile("x-.dat", 0, 0, 1), 1);             // a lone "-" is 0
    EXPECT_EQ(g.entries[0].id, 0);
    EXPECT_EQ(g.AddFile("file0012.dat", 0, 0, 1), 2);
    EXPECT_EQ(g.entries[1].id, 12);
    g.entries[0].id = 1;
    EXPECT_EQ(g.PatternFileName(0), "file0001.dat");
    g.fileType = 1;
    EXPECT_EQ(g.PatternFileName(0), "Tq001_qk.org");
    g.fileType = 0;
    g.digits[0] = 2;
    EXPECT_EQ(g.PatternFileName(0), "file001.dat");

    LoadSmallTable(g);
    const int32_t receivers[] = {200};
    EXPECT_EQ(g.KillTraces(receivers), 1);
    EXPECT_EQ(g.table[0][2].alive, 0);
    EXPECT_EQ(g.table[0][2].samples[0], 0.0f);
    EXPECT_EQ(g.table[0][0].alive, 1);
}

TEST(FileGroupList, ListedPathsResolveAgainstTheirFolder)
{
    NullUiHost ui;
    CFileGroup g;
    g.AddFile("a1.dat", 0, 0, 1);
    g.AddFile("/abs/b2.dat", 0, 0, 1);
    GroupReadContext ctx{ui, -1, NullLog()};
    ctx.workingFolder = "/work";
    auto path = [&](int n) {
        std::string p = "unchanged";
        g.GetListedPath(n, p, ctx);
        return p;
    };
    EXPECT_EQ(path(0), "/work/a1.dat");
    EXPECT_EQ(path(1), "/abs/b2.dat");
    EXPECT_EQ(path(2), "unchanged");  // not in use
    g.listFolder = "/lists";
    EXPECT_EQ(path(0), "/lists/a1.dat");
    ctx.instrumentMenu = 1;
    ctx.dataFolder = "/qk";
    EXPECT_EQ(path(0), "/qk/a1.dat");
}

TEST_F(FileListTest, FolderListSkipsUnnumberedNamesAndTheProgramsResultsAndSortsById)
{
    for (const char* name : {"a.dat", "b12.dat", "x-3.sg2"}) testing::WriteFileText(dir.File(name), "x");
    // What the program writes into a line's folder is never listed, numbered or not.
    for (const char* name : {"line1.vs", "line1.PVS", "line2.xml", "project3.QZ4", "SPAC2DAll.txt", "Spac2D.txt",
                             "seg2.txt", "read470.txt", "torvane9.txt", "multi_select.txt"}) {
        testing::WriteFileText(dir.File(name), "x");
    }
    group.entries[5].numberOfAuxiliary = 9;  // an entry of an earlier list
    ASSERT_EQ(group.ListFolder(dir.Path(), Context()), 2);
    EXPECT_EQ(group.entries[0].fileName, "x-3.sg2");
    EXPECT_EQ(group.entries[0].id, -3);
    EXPECT_EQ(group.entries[1].fileName, "b12.dat");
    EXPECT_EQ(group.entries[1].receiverInterval, 1.0f);
    EXPECT_EQ(group.entries[1].numberOfAuxiliary, 0);
    const std::string search = dir.File("*.*");
    EXPECT_EQ(log.Text("multi_select.txt"),
              search + "\n" + search + " b12.dat 12 0 \n" + search + " x-3.sg2 -3 1 \n");
}

TEST_F(FileListTest, ReadNthFilePutsTheListsPositionsOnTheTraces)
{
    WriteShot(dir.File("r5.8hd"), {{7, 7}, {8, 7}, {9, 7}, {10, 7}});
    group.AddFile("r5.8hd", -0.5f, 1.0f, 2.5f);
    group.entries[0].numberOfAuxiliary = 1;
    group.sourceFromFile[2] = 0;
    group.receiversFromFile[2] = 0;
    Matrix2D<float> rows(0, 7, 0, 15);
    std::vector<CTraceHeader> h(8);
    std::vector<CTraceHeaderEx> ex(8);
    std::string path;
    ASSERT_EQ(group.ReadNthFile(0, rows, h, ex, &path, Context()), 3);
    EXPECT_EQ(path, dir.File("r5.8hd"));
    EXPECT_EQ(h[0].sourceHundredths, -50);
    EXPECT_EQ(h[0].receiverHundredths, 100);
    EXPECT_EQ(h[1].receiverHundredths, 350);
    EXPECT_EQ(h[2].receiverHundredths, 600);
    EXPECT_EQ(group.cmpList, 0);

    group.receiversFromFile[2] = 1;  // the file's own receivers
    ASSERT_EQ(group.ReadNthFile(0, rows, h, ex, nullptr, Context()), 3);
    EXPECT_EQ(h[1].receiverHundredths, 8);

    // Unreadable files and types without a reader: nothing read, the path shown with the reason.
    group.AddFile("cmp9.8hd", 0, 0, 1);
    group.entries[1].fileType = -1;
    group.AddFile("q6.dat", 0, 0, 1);
    group.entries[2].fileType = 6;  // read with the current type's flags, the type unchanged
    rows.Fill(5.0f);
    ui.ExpectMessage(dir.File("cmp9.8hd") + "\nThe file does not exist.");
    EXPECT_EQ(group.ReadNthFile(1, rows, h, ex, nullptr, Context()), 0);
    testing::WriteFileText(dir.File("q6.dat"), "");
    ui.ExpectMessage(dir.File("q6.dat") + "\n The 560QX file gives no number of channels.\n\n The data was not changed.");
    EXPECT_EQ(group.ReadNthFile(2, rows, h, ex, nullptr, Context()), 0);
    EXPECT_EQ(group.fileType, 2);
    EXPECT_EQ(rows[0][0], 5.0f);  // the caller's rows untouched
    EXPECT_EQ(group.ReadNthFile(3, rows, h, ex, nullptr, Context()), 0);  // no such entry

    // A damaged SEG-2 file: its reader's message headed by the file, as above, and no second box.
    testing::WriteFileText(dir.File("file0004.dat"), std::string("\x55\x3a\x01\x00", 4));
    group.AddFile("file0004.dat", 0, 0, 1);
    group.entries[3].fileType = 0;
    ui.ExpectMessage(dir.File("file0004.dat") +
                     "\n The SEG-2 file is too short: its file descriptor is cut.\n\n The data was not changed.");
    EXPECT_EQ(group.ReadNthFile(3, rows, h, ex, nullptr, Context()), 0);
}

TEST_F(FileListTest, UnknownTypeFallsBackToTheOrgName)
{
    Matrix2D<float> rows(0, 1, 0, 9);
    std::vector<CTraceHeader> h(2);
    for (auto& x : h) x.Set(1, 0, 0, 0, 1, 0.0f, 250.0f, 10);
    ASSERT_TRUE(WriteTorvaneOrgFile(dir.File("Tq007_qk.org"), rows, h, 2));
    group.entryCount = 1;
    group.entries[0].id = 7;  // not in use, no type of its own
    group.fileType = 3;
    std::string path;
    Matrix2D<float> out(0, 7, 0, 15);
    std::vector<CTraceHeader> oh(8);
    std::vector<CTraceHeaderEx> ex(8);
    EXPECT_GT(group.ReadNthFile(0, out, oh, ex, &path, Context()), 0);
    EXPECT_EQ(path, dir.File("Tq007_qk.org"));
}

TEST_F(FileListTest, CellSpectraOfAUnitImpulse)
{
    LoadSmallTable(group);
    group.table[0][0].samples = {1.0f, 0.0f, 0.0f, 0.0f};
    const int cells = group.ComputeCellSpectra(9);  // factor clamped to 4
    EXPECT_EQ(cells, 3);
    const CTraceEntry& e = group.table[0][0];
    ASSERT_EQ(e.spectrumLength, 32);  // PowerOfTwoLength(4, 4)
    for (int i = 0; i < 32; ++i) EXPECT_FLOAT_EQ(e.spectrumRe[static_cast<size_t>(i)], 1.0f / 32);
}

TEST_F(FileListTest, TextListsInBothForms)
{
    const struct {
        const char* text;
        bool asks;
        int count;
        int aux;
    } cases[] = {
        {"1 0.0 1.0 2.0 3\n2 5.0 6.0 2.0 4\n", false, 3, 4},
        {"1 0.0 1.0 2.0\n2 5.0 6.0 2.0\n", true, 3, 2},
        {"", false, 1, 0},
    };
    for (const auto& c : cases) {
        CFileGroup g;
        if (c.asks) ui.AnswerDialog("CAuxChannelCountDlg", {{"Number of auxiliary channels", "2"}});
        EXPECT_EQ(g.ReadTextListText(c.text, 1, ui, -1), c.count);
        EXPECT_EQ(g.entries[static_cast<size_t>(c.count - 1)].numberOfAuxiliary, c.aux);
    }
    CFileGroup g;
    ui.CancelDialog("CAuxChannelCountDlg");
    EXPECT_EQ(g.ReadTextListText("1 0 0 1\n", 2, ui, -1), 2);

    std::string many;
    for (int i = 0; i < 1005; ++i) many += std::to_string(i) + " 1.5 0.5 1.0 0\n";
    ui.ExpectMessage("The file list is full: at most 1000 files can be listed.");
    EXPECT_EQ(g.ReadTextListText(many, 0, ui, -1), 1000);
    EXPECT_EQ(g.entries[999].id, 999);
    EXPECT_EQ(g.entries[999].inUse, 0);
}

TEST_F(FileListTest, TextListRoundTripsInAnyLocale)
{
    testing::ScopedGlobalLocale german("de_DE.UTF-8");
    group.ReadTextListText("3 -0.5 0.25 2.5 1\n9 12.75 1.0 0.5 0\n", 0, ui, -1);
    ASSERT_EQ(group.WriteTextList(dir.File("list.txt")), 1);
    EXPECT_EQ(testing::ReadFileText(dir.File("list.txt")),
              " 3 -0.500000 0.250000 2.500000 1\n 9 12.750000 1.000000 0.500000 0\n");
    CFileGroup back;
    EXPECT_EQ(back.ReadTextList(dir.File("list.txt"), 0, ui, -1), 2);
    EXPECT_EQ(std::vector<FileListEntry>(back.entries.begin(), back.entries.begin() + 2),
              std::vector<FileListEntry>(group.entries.begin(), group.entries.begin() + 2));
}

TEST_F(FileListTest, TabularListFollowsTheFromFileFlags)
{
    WriteShot(dir.File("t1.8hd"), {{100, 300}, {250, 300}, {400, 300}});
    WriteShot(dir.File("t2.8hd"), {{700, 900}});
    group.AddFile("t1.8hd", 1.0f, 2.0f, 3.0f);
    group.AddFile("t2.8hd", 4.0f, 5.0f, 6.0f);
    ASSERT_EQ(group.WriteTabularList(dir.File("tab.txt"), Context()), 1);
    EXPECT_EQ(testing::ReadFileText(dir.File("tab.txt")),
              "FileName\tSourceLocation(m)\tFirstReceiverLocation(m)\tLastReceiverLocation(m)\tReceiverSpacing(m)\t"
              "NumberOfReceivers\n"
              "t1.8hd\t3.000000\t1.000000\t4.000000\t1.500000\t3\n"
              "t2.8hd\t9.000000\t7.000000\t7.000000\t6.000000\t1\n");
}

TEST_F(FileListTest, DetectionComparesTheFilesOwnSources)
{
    WriteShot(dir.File("d1.8hd"), {{100, 0}, {200, 0}});
    WriteShot(dir.File("d2.8hd"), {{100, 500}, {200, 500}});
    group.AddFile("d1.8hd", 0, 0, 1);
    group.AddFile("d2.8hd", 0, 0, 1);
    group.fileType = 2;
    group.sourceFromFile[2] = 0;
    group.receiversFromFile[2] = 0;
    group.DetectFilePositions(Context());
    EXPECT_EQ(group.sourceFromFile[2], 1);
    EXPECT_EQ(group.receiversFromFile[2], 1);
}

TEST(FileListDialog, PagesSetUpCountAndDelete)
{
    ScriptedUiHost ui;
    CFileGroup g;
    for (int i = 0; i < 3; ++i) g.AddFile("f" + std::to_string(i + 1) + ".dat", 0, 0, 1);
    FileListEditModel dlg;
    dlg.LoadList(g);
    DialogRequest r = dlg.Request(-1, ui);
    EXPECT_EQ(r.Find("ID 4")->Text(), "-1");
    EXPECT_EQ(r.Find("Index 10")->Text(), "9");
    r.Press(FileListEditModel::kNext);
    EXPECT_EQ(dlg.FirstRow(), 0);

    // "Property" with its defaults on a short list: fixed receivers.
    ui.AnswerDialogWith("CPropertyDlg", [](DialogRequest& p) { return p.Find("Layout")->IntValue() == 1; });
    r.Press(FileListEditModel::kSetUp);
    EXPECT_EQ(r.Find("Source(m) 2")->Text(), "1.5");
    EXPECT_EQ(r.Find("1st receiver(m) 2")->Text(), "0");
    EXPECT_EQ(dlg.SetUpRuns(), 1);

    ASSERT_TRUE(r.SetFromText("Edit 1", "1").empty());
    ASSERT_TRUE(r.SetFromText("Edit 3", "1").empty());
    r.Press(FileListEditModel::kDelete);
    EXPECT_EQ(dlg.Count(), 1);
    EXPECT_EQ(r.Find("ID 1")->Text(), "2");

    ASSERT_TRUE(r.SetFromText("Number of files", "12").empty());
    r.Commit();
    dlg.Finish(true);
    g.entryCount = dlg.StoreList(g);
    EXPECT_EQ(g.entryCount, 12);
    EXPECT_EQ(g.entries[0].shotDistance, 1.5f);
}

}  // namespace
}  // namespace velk
