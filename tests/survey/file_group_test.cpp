#include "survey/file_group.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "formats/format_support.h"
#include "platform/byte_io.h"
#include "platform/uihost.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "survey/olvenar_link.h"
#include "survey/survey_services.h"

namespace velk {
namespace {

TEST(FileGroup, Defaults)
{
    CFileGroup g;
    EXPECT_EQ(g.entries.size(), 1000u);
    EXPECT_EQ(g.entryCount, 0);
    EXPECT_EQ(g.currentIndex, 0);
    EXPECT_EQ(g.active, 0);
    EXPECT_EQ(g.gatherKind, 0);
    EXPECT_EQ(g.gatherIndex, 1);
    EXPECT_EQ(g.spacing, 10.0f);
    EXPECT_EQ(g.fileType, 0);
    EXPECT_EQ(g.prefix[0], "file");
    EXPECT_EQ(g.prefix[1], "Tq");
    EXPECT_EQ(g.extension[1], "_qk.org");
    EXPECT_EQ(g.digits[0], 4);
    EXPECT_EQ(g.digits[1], 3);
    EXPECT_TRUE(g.Empty());
    CTraceEntry e;
    EXPECT_EQ(e.fileIndex, -1);
    EXPECT_EQ(e.alive, 1);
    EXPECT_EQ(e.GetHeader().component, 1);
}

TEST(FileGroup, GathersOnAnEmptyGroupReturnZeroAndTouchNothing)
{
    CFileGroup g;
    Matrix2D<float> rows(0, 4, 0, 15);
    rows.Fill(3.5f);
    std::vector<CTraceHeader> headers(4);
    headers[2].gain = 9;
    std::vector<CTraceHeaderEx> ex(4);
    const Matrix2D<float> rowsBefore = rows;
    const std::vector<CTraceHeader> headersBefore = headers;
    EXPECT_EQ(g.BuildGather(rows, headers, 0), 0);
    EXPECT_EQ(g.BuildGather(rows, headers, -1), 0);
    EXPECT_EQ(g.CommonReceiverGather(rows, headers, 3), 0);
    EXPECT_EQ(g.CdpGather(rows, headers, 100000), 0);
    NullUiHost ui;
    const GroupReadContext ctx{ui, -1, NullLog()};
    EXPECT_EQ(g.ReadNthFile(0, rows, headers, ex, nullptr, ctx), 0);
    EXPECT_EQ(g.ReadListedFile(0, rows, headers, ctx), 0);
    EXPECT_EQ(g.StoreRow(rows, headers, 0, 4), 0);
    EXPECT_EQ(g.ClearMarks(), 0);
    const int32_t receivers[] = {100, 200};
    EXPECT_EQ(g.KillTraces(receivers), 0);
    EXPECT_EQ(std::memcmp(rows.Elements().data(), rowsBefore.Elements().data(),
                          rows.Elements().size_bytes()),
              0);
    EXPECT_EQ(headers, headersBefore);
    EXPECT_EQ(g.GatherCapacity(rows, headers), 0);
}

TEST(FileGroup, GatherCapacityIsBoundedByTheCallersArrays)
{
    CFileGroup g;
    g.entryCount = 3;
    g.table.resize(1);
    Matrix2D<float> rows(0, 10, 0, 15);
    std::vector<CTraceHeader> headers(4);
    EXPECT_EQ(g.GatherCapacity(rows, headers), 4);
    std::vector<CTraceHeader> many(50);
    EXPECT_EQ(g.GatherCapacity(rows, many), 11);
}

TEST(FileGroup, ProjectFileRefusesAShortFileAndSavesOnlyALoadedGroup)
{
    CFileGroup g;
    const uint8_t bytes[] = {1, 2, 3};
    ByteSource src = ByteSource::FromSpan(bytes);
    EXPECT_EQ(g.Load(src, 4100), ProjectLoadStatus::Bad);
    ByteSink sink;
    EXPECT_EQ(g.Save(sink), 0);
    EXPECT_EQ(sink.Written(), 0u);
}

TEST(OlvenarLink, PathReadWhenMadeAndWrittenWhenReleased)
{
    Profile empty = Profile::FromText("");
    COlvenarLink a(empty);
    EXPECT_EQ(a.path, SiblingProgramPath("Olvenar"));
    Profile p = Profile::FromText("[General]\nOlvenar=/opt/olvenar\n");
    COlvenarLink b(p);
    EXPECT_EQ(b.path, "/opt/olvenar");
    b.path = "/usr/bin/olvenar";
    EXPECT_TRUE(b.Release(p));
    EXPECT_EQ(p.GetString("general", "Olvenar"), "/usr/bin/olvenar");
}

TEST(SurveyServices, SiblingPathsAndModules)
{
    SiblingProgramPaths paths;
    EXPECT_EQ(paths.nordalis, SiblingProgramPath("Nordalis"));
    EXPECT_EQ(paths.rostrel, SiblingProgramPath("Rostrel.exe"));
    RegisteredModules m;
    EXPECT_EQ(m.names[5], "module 5");
    Profile p = Profile::FromText("[general]\nNModule=7\nModule0=/bin/a\n");
    m.Load(p);
    EXPECT_EQ(m.count, 6);
    EXPECT_EQ(m.names[0], "/bin/a");
    m.count = 1;
    Profile out = Profile::FromText("");
    m.Save(out);
    EXPECT_EQ(out.Text(), "[general]\nNModule=1\nModule0=/bin/a\n");
    SurveyFlags flags;
    EXPECT_EQ(flags.openLineRequest, 0);
    EXPECT_EQ(flags.appendFiles, 0);
    EXPECT_EQ(flags.applyShift, 0);
}

TEST(SurveyServices, SixModulesRegisterAndTheLastIsDeleted)
{
    RegisteredModules m;
    for (int i = 0; i < 6; ++i) EXPECT_TRUE(m.Register("/bin/m" + std::to_string(i)));
    EXPECT_FALSE(m.Register("/bin/seventh"));
    EXPECT_EQ(m.count, 6);
    EXPECT_TRUE(m.DeleteLast());
    EXPECT_EQ(m.count, 5);
    EXPECT_EQ(m.names[4], "/bin/m4");
    EXPECT_EQ(m.names[5], "module 5");
    EXPECT_TRUE(m.Register("/bin/again"));
    EXPECT_EQ(m.names[5], "/bin/again");
    RegisteredModules none;
    EXPECT_FALSE(none.DeleteLast());
}

TEST(FileGroup, AddFileTakesTheNumberOfTheName)
{
    CFileGroup g;
    EXPECT_EQ(g.AddFile("qkab0012.sg2", 1.5f, -1.0f, 2.0f), 1);
    EXPECT_EQ(g.AddFile("nodigits.dat", 0.0f, 0.0f, 1.0f), 1);  // no number: not added
    const FileListEntry& e = g.entries[0];
    EXPECT_EQ(e.inUse, 1);
    EXPECT_EQ(e.hasType, 1);
    EXPECT_EQ(e.fileType, 0);
    EXPECT_EQ(e.id, 12);
    EXPECT_EQ(e.fileName, "qkab0012.sg2");
    EXPECT_EQ(e.shotDistance, 1.5f);
    EXPECT_EQ(e.firstReceiver, -1.0f);
    EXPECT_EQ(e.receiverInterval, 2.0f);
    g.entryCount = CFileGroup::kMaxFiles;  // a full list takes no more
    EXPECT_EQ(g.AddFile("qk0001.sg2", 0.0f, 0.0f, 1.0f), CFileGroup::kMaxFiles);
}

}  // namespace
}  // namespace velk
