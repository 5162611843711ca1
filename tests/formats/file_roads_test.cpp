// The file-type table: the code of every spelling the table lists, the content rules of the
// load-time classifier, the member rule of file groups, and the small dialogs of the roads.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "formats/file_roads.h"
#include "formats/format_support.h"
#include "formats/load_target.h"
#include "formats/seg2.h"
#include "platform/byte_io.h"
#include "tools/scripted_uihost.h"
#include "tools/test_support.h"

namespace velk {
namespace {

using velk::testing::TempFolder;
using velk::testing::WriteFileBytes;

int Code(const std::string& path) { return FileTypeFromExtension(path, 0); }

// The first bytes of a SEG-1 header whose model text (byte 31 on) says `model`.
std::vector<uint8_t> Seg1Header(const std::string& model, size_t size = 158)
{
    std::vector<uint8_t> bytes(size, 0x20);
    bytes.resize(std::max<size_t>(size, 31 + model.size() + 1));
    std::memcpy(bytes.data() + 31, model.c_str(), model.size() + 1);
    return bytes;
}

// A .ORG header whose model field (bytes 2..11) says `model`.
std::vector<uint8_t> OrgHeader(const std::string& model)
{
    std::vector<uint8_t> bytes(2816, 0);
    std::memcpy(bytes.data() + 2, model.data(), std::min<size_t>(model.size(), 10));
    return bytes;
}

// A SEG-2 file descriptor of n traces with its pointer table (pointers not followed).
std::vector<uint8_t> Seg2Start(uint16_t n)
{
    std::vector<uint8_t> bytes(32 + 4 * n + 16, 0);
    bytes[0] = 0x55;
    bytes[1] = 0x3A;
    bytes[2] = 1;
    bytes[4] = static_cast<uint8_t>((4 * n) & 0xff);
    bytes[5] = static_cast<uint8_t>((4 * n) >> 8);
    bytes[6] = static_cast<uint8_t>(n & 0xff);
    bytes[7] = static_cast<uint8_t>(n >> 8);
    return bytes;
}

int ContentCode(const std::string& path, const std::vector<uint8_t>& bytes, int check = 1, int* kind = nullptr)
{
    ByteSource file = ByteSource::FromSpan(bytes);
    file.Seek(std::min<uint64_t>(5, bytes.size()));
    const int code = FileTypeFromContent(path, check, file, kind);
    EXPECT_EQ(file.Position(), 0u) << path;
    return code;
}

TEST(FileTypeTable, EverySpellingOfTheTable)
{
    for (const char* p : {"a.8hd", "a.8HD"}) EXPECT_EQ(Code(p), kFileEightHeader) << p;
    for (const char* p : {"a.org", "a.ORG"}) EXPECT_EQ(Code(p), kFileTorvaneOrg) << p;
    for (const char* p : {"ew.DAT", "EW.DAT", "ew.dat", "ns.DAT", "NS.DAT", "ns.dat", "ud.DAT", "UD.DAT", "ud.dat",
                          "st01ew.dat"}) {
        EXPECT_EQ(Code(p), kFileThreeComponentDat) << p;
    }
    for (const char* p : {"a.ew", "a.EW", "a.ns", "a.NS", "a.ud", "a.UD", "a.ew1", "b.UD2", "c.ns2"}) {
        EXPECT_EQ(Code(p), kFileStrongMotionText) << p;
    }
    for (const char* p : {"a.sgm", "a.SGM"}) EXPECT_EQ(Code(p), kFileStrongMotionSet) << p;
    for (const char* p : {"a.qz4", "a.QZ4"}) EXPECT_EQ(Code(p), kFileProject) << p;
    for (const char* p : {"a.dzt", "a.DZT"}) EXPECT_EQ(Code(p), kFileGpr) << p;
    for (const char* p : {"a.sgy", "a.SGY", "a.segy", "a.SEGY"}) EXPECT_EQ(Code(p), kFileSegY) << p;
    for (const char* p : {"a.dat", "a.sg2", "a.DAT", "shot", "a.coh", "a.Org", "x.Sgy", "a.Dzt"}) {
        EXPECT_EQ(Code(p), kFileSeg2) << p;
    }
}

TEST(FileTypeTable, FirstRuleWins)
{
    EXPECT_EQ(Code("line.8hd.org"), kFileEightHeader);
    EXPECT_EQ(Code("a.org.sgy"), kFileTorvaneOrg);
    EXPECT_EQ(Code("ew.dat.sgm"), kFileThreeComponentDat);  // 7 before 4
    EXPECT_EQ(Code("a.ew.sgy"), kFileStrongMotionText);
}

TEST(FileTypeTable, NameRulesLookAtTheFileNameOnly)
{
    EXPECT_EQ(Code("/data/x.org/shot1.dat"), kFileSeg2);
    EXPECT_EQ(Code("survey.org\\shot1.dat"), kFileSeg2);
    EXPECT_EQ(Code("/data/line.8hd/ew.DAT"), kFileThreeComponentDat);
    EXPECT_EQ(Code("/data/a.sgy/b"), kFileSeg2);
    EXPECT_EQ(FileNamePart("/a/b\\c.sg2"), "c.sg2");
    EXPECT_EQ(FileNamePart("c.sg2"), "c.sg2");
}

TEST(FileTypeTable, CohNameGivesCoherenceAsSecondValue)
{
    int kind = -1;
    EXPECT_EQ(FileTypeFromExtension("/d/line.coh", 0, &kind), kFileSeg2);
    EXPECT_EQ(kind, kRecordCoherence);
    kind = -1;
    EXPECT_EQ(FileTypeFromExtension("/d/LINE.COH", 0, &kind), kFileSeg2);
    EXPECT_EQ(kind, kRecordCoherence);
    kind = -1;
    EXPECT_EQ(FileTypeFromExtension("/d/line.sg2", 0, &kind), kFileSeg2);
    EXPECT_EQ(kind, -1);  // left as it was
    kind = -1;
    EXPECT_EQ(FileTypeFromExtension("/coh.coh/a.sgy", 0, &kind), kFileSegY);
    EXPECT_EQ(kind, -1);
}

TEST(FileTypeTable, OrgCheckFallsThroughForOtherMakers)
{
    TempFolder folder;
    const std::string ours = folder.File("a.org");
    const std::string theirs = folder.File("b.org");
    const std::string both = folder.File("c.org.sgy");
    WriteFileBytes(ours, OrgHeader("Tq470F"));
    WriteFileBytes(theirs, OrgHeader("XYZ470F"));
    WriteFileBytes(both, OrgHeader("none"));
    EXPECT_EQ(IsTorvaneOrgFile(ours), 1);
    EXPECT_EQ(IsTorvaneOrgFile(theirs), 0);
    EXPECT_EQ(IsTorvaneOrgFile(folder.File("missing.org")), 0);
    EXPECT_EQ(FileTypeFromExtension(ours, 1), kFileTorvaneOrg);
    EXPECT_EQ(FileTypeFromExtension(theirs, 1), kFileSeg2);
    EXPECT_EQ(FileTypeFromExtension(theirs, 0), kFileTorvaneOrg);
    EXPECT_EQ(FileTypeFromExtension(both, 1), kFileSegY);
    // "TQ" counts; the model field ends at byte 11.
    WriteFileBytes(ours, OrgHeader("xxTQ470F"));
    EXPECT_EQ(IsTorvaneOrgFile(ours), 1);
    std::vector<uint8_t> late = OrgHeader("abcdefghij");
    late[12] = 'T';
    late[13] = 'q';
    WriteFileBytes(ours, late);
    EXPECT_EQ(IsTorvaneOrgFile(ours), 0);
    // A short file reads as zero-filled.
    WriteFileBytes(ours, {0, 0, 'T', 'q'});
    EXPECT_EQ(IsTorvaneOrgFile(ours), 1);
}

TEST(FileTypeFromContent, Model560QXWinsOverTheName)
{
    EXPECT_EQ(ContentCode("a.sgy", Seg1Header("Tq560QX")), kFile560QX);
    EXPECT_EQ(ContentCode("a.dat", Seg1Header("xxTQ560QX yy")), kFile560QX);
    EXPECT_EQ(ContentCode("a.dat", Seg1Header("Tq560")), kFileSeg2);
    // The model text stops at the 158th byte even without a terminator.
    std::vector<uint8_t> cut(158, 'x');
    std::memcpy(cut.data() + 152, "Tq560QX", 6);
    EXPECT_EQ(ContentCode("a.dat", cut), kFileSeg2);
    EXPECT_EQ(ContentCode("a.dat", {}), kFileSeg2);
}

TEST(FileTypeFromContent, Seg2DescriptorWinsOverStationNames)
{
    // "new.dat" contains "ew.dat".
    EXPECT_EQ(Code("new.dat"), kFileThreeComponentDat);
    EXPECT_EQ(ContentCode("/d/new.dat", Seg2Start(3)), kFileSeg2);
    EXPECT_EQ(ContentCode("/d/shot.ew", Seg2Start(1)), kFileSeg2);
    EXPECT_EQ(ContentCode("/d/new.dat", std::vector<uint8_t>(64, 0)), kFileThreeComponentDat);
    // Other names keep their code.
    EXPECT_EQ(ContentCode("/d/a.sgy", Seg2Start(3)), kFileSegY);
    // A descriptor that cannot hold its traces is not SEG-2.
    std::vector<uint8_t> bad = Seg2Start(3);
    bad[4] = 4;  // M = 4 < 4N
    EXPECT_EQ(ContentCode("/d/new.dat", bad), kFileThreeComponentDat);
    std::vector<uint8_t> big = Seg2Start(3);
    big[6] = 0xff;  // N = 255: the pointer table runs past the file
    big[4] = 0xfc;
    big[5] = 0x03;
    EXPECT_EQ(ContentCode("/d/new.dat", big), kFileThreeComponentDat);
    std::vector<uint8_t> none = Seg2Start(1);
    none[6] = 0;
    EXPECT_EQ(ContentCode("/d/new.dat", none), kFileThreeComponentDat);
    std::vector<uint8_t> bigEndian = Seg2Start(1);
    std::swap(bigEndian[0], bigEndian[1]);
    EXPECT_EQ(ContentCode("/d/new.dat", bigEndian), kFileThreeComponentDat);
}

TEST(FileTypeFromContent, CohKindAndOrgCheckUseTheOpenFile)
{
    int kind = 0;
    EXPECT_EQ(ContentCode("/d/x.coh", Seg2Start(2), 1, &kind), kFileSeg2);
    EXPECT_EQ(kind, kRecordCoherence);
    EXPECT_EQ(ContentCode("/d/a.org", OrgHeader("Tq470F")), kFileTorvaneOrg);
    EXPECT_EQ(ContentCode("/d/a.org", OrgHeader("Other")), kFileSeg2);
    EXPECT_EQ(ContentCode("/d/a.org", OrgHeader("Other"), 0), kFileTorvaneOrg);
}

TEST(FileTypeOfGroupMember, DatAndSg2AreSeg2Or560QX)
{
    TempFolder folder;
    const std::string seg1 = folder.File("ew.DAT");
    WriteFileBytes(seg1, Seg1Header("Tq560QX"));
    const std::string other = folder.File("EW.dat");
    WriteFileBytes(other, std::vector<uint8_t>(200, 0));
    EXPECT_EQ(FileTypeFromExtension(seg1, 1), kFileThreeComponentDat);
    EXPECT_EQ(FileTypeOfGroupMember(seg1, 1), kFile560QX);
    EXPECT_EQ(FileTypeOfGroupMember(other, 1), kFileSeg2);
    EXPECT_EQ(FileTypeOfGroupMember(folder.File("missing.sg2"), 1), kFileSeg2);
    EXPECT_TRUE(Is560QXFile(seg1));
    EXPECT_FALSE(Is560QXFile(other));
    EXPECT_FALSE(Is560QXFile(folder.File("missing.sg2")));

    EXPECT_EQ(FileTypeOfGroupMember("a.8hd", 0), kFileEightHeader);
    EXPECT_EQ(FileTypeOfGroupMember("a.org", 0), kFileTorvaneOrg);
    EXPECT_EQ(FileTypeOfGroupMember(folder.File("a.org"), 1), kFileUnclaimed);  // no such header
    EXPECT_EQ(FileTypeOfGroupMember("a.UD", 0), kFileStrongMotionText);
    EXPECT_EQ(FileTypeOfGroupMember("a.sgm", 0), kFileStrongMotionSet);
    EXPECT_EQ(FileTypeOfGroupMember("a.QZ4", 0), kFileProject);
    EXPECT_EQ(FileTypeOfGroupMember("a.dzt", 0), kFileGpr);
    EXPECT_EQ(FileTypeOfGroupMember("a.segy", 0), kFileSegY);
    EXPECT_EQ(FileTypeOfGroupMember("a.coh", 0), kFileUnclaimed);
    EXPECT_EQ(FileTypeOfGroupMember("shot", 0), kFileUnclaimed);
    EXPECT_EQ(FileTypeOfGroupMember("/x.sg2/shot", 0), kFileUnclaimed);
}

// ---------------------------------------------------------------------------------------------
// Path-level SEG-2 readers

TEST(Seg2PathReaders, ReadWithSkipHeadersOnlyAndMissingFiles)
{
    TempFolder folder;
    const std::string path = folder.File("two.sg2");
    Matrix2D<float> rows(0, 1, 0, 9);
    std::vector<CTraceHeader> headers(2);
    for (int i = 0; i < 2; ++i) {
        headers[static_cast<size_t>(i)].Set(i, 100 * i, -50, 0, 1, 0.0f, 500.0f, 10);
        for (int k = 0; k < 10; ++k) rows[i][k] = static_cast<float>(10 * i + k);
    }
    ASSERT_TRUE(WriteSeg2File(path, rows, headers, 2, 4, 1.0f).ok);

    ScriptedUiHost ui;
    FormatContext ctx{ui, -1, NullLog()};
    LoadTarget target(0, 8, 16, 12);
    EXPECT_EQ(ReadSeg2File(path, target, 2, ctx), 2);
    EXPECT_EQ(target.HeaderAt(1).samples, 5);
    EXPECT_EQ(target.HeaderAt(1).intervalUs, 1000.0f);
    EXPECT_EQ(target.RowIfAny(1)[2], 14.0f);
    LoadTarget again(3, 5, 16, 12);
    EXPECT_EQ(ReadSeg2FileEx(path, again, 1, ctx), 2);
    EXPECT_EQ(again.HeaderAt(0).traceNumber, 3);

    std::vector<CTraceHeader> only(8);
    std::vector<CTraceHeaderEx> records(8);
    EXPECT_EQ(ReadSeg2HeadersFile(path, only, records, 12, ctx), 2);
    EXPECT_EQ(only[1].receiverHundredths, 100);
    EXPECT_EQ(only[1].sourceHundredths, -50);
    EXPECT_EQ(only[1].samples, 10);

    const std::string missing = folder.File("none.sg2");
    ui.ExpectMessage("Cannot open the file\n\n" + missing);
    EXPECT_EQ(ReadSeg2File(missing, target, 1, ctx), -1);
    ui.ExpectMessage("Cannot open the file\n\n" + missing);
    EXPECT_EQ(ReadSeg2HeadersFile(missing, only, records, 12, ctx), -1);
}

// ---------------------------------------------------------------------------------------------
// Dialogs

TEST(FileRoadDialogs, OpenDataFileIsOkOnlyAndPresetsNewFile)
{
    ScriptedUiHost ui;
    ui.AnswerDialog("COpenDataFileDlg");
    EXPECT_EQ(COpenDataFileDlg::Ask(ui, -1), COpenDataFileDlg::kNewFile);
    EXPECT_EQ(ui.Calls().back().Shown("File"), "New file");
    EXPECT_EQ(ui.Calls().back().dialogTitle, "Open data file");
    ui.AnswerDialog("COpenDataFileDlg", {{"File", "Append to present data"}});
    EXPECT_EQ(COpenDataFileDlg::Ask(ui, -1), COpenDataFileDlg::kAppend);
    COpenDataFileDlg dlg;
    EXPECT_EQ(dlg.value, -1);
    EXPECT_TRUE(dlg.Request(-1).IsOkOnly());
    EXPECT_EQ(dlg.Request(1).Title(), "データファイルを開く");
}

TEST(FileRoadDialogs, SampleSkipAcceptsOneTo1024AndStartsAtOne)
{
    CSampleSkipDlg dlg;
    EXPECT_EQ(dlg.skip, 1);
    DialogRequest request = dlg.Request(-1);
    EXPECT_EQ(request.Find("Skip")->LabelText(), "Skip=");
    EXPECT_EQ(request.Find("Skip")->Text(), "1");
    EXPECT_NE(request.SetFromText("Skip", "0"), "");
    EXPECT_NE(request.SetFromText("Skip", "1025"), "");
    EXPECT_EQ(request.SetFromText("Skip", "1024"), "");
    request.Commit();
    EXPECT_EQ(dlg.skip, 1024);
}

TEST(FileRoadDialogs, SamplingTimeInMsec)
{
    CSamplingTimeDlg dlg;
    EXPECT_EQ(dlg.interval, 0.5f);
    DialogRequest request = dlg.Request(-1);
    EXPECT_EQ(request.Title(), "Set sampling time");
    EXPECT_EQ(request.Find("Sampling time")->LabelText(), "Sampling time =");
    EXPECT_EQ(request.Find("Sampling time")->UnitText(), "msec");
}

TEST(FileRoadDialogs, SourceReceiverLocationChoices)
{
    CSourceReceiverLocationDlg dlg;
    EXPECT_EQ(dlg.choice, -1);
    DialogRequest request = dlg.Request(-1);
    EXPECT_TRUE(request.IsOkOnly());
    EXPECT_EQ(request.Title(), "Source and receiver location");
    const DialogField* choice = request.Find("Location");
    ASSERT_NE(choice, nullptr);
    EXPECT_EQ(choice->Choices(), (std::vector<std::string>{"Neglect receiver locations in trace header",
                                                           "Use locations in trace header"}));
    EXPECT_TRUE(request.Find("Warning")->IsReadOnly());
    EXPECT_EQ(request.Find("Warning")->LabelText(), "Warning") << "unlabelled: shown as a line of text";
    EXPECT_NE(request.Find("Warning")->Text().find("Same source-receiver configuration traces"), std::string::npos);
}

std::vector<CTraceHeader> Headers(int n)
{
    std::vector<CTraceHeader> h(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) h[static_cast<size_t>(i)].Set(i + 1, i * 100, -230, 5, 3, 0.0f, 250.0f, 10);
    return h;
}

TEST(EditSourceLocation, PresetsFromTheFirstTraceAndWritesOnlyTickedValues)
{
    std::vector<CTraceHeader> h = Headers(5);
    ScriptedUiHost ui;
    ui.AnswerDialog("CSourceLocationDlg", {{"Change source location", "1"}, {"Source location", "-2.5"}});
    EXPECT_EQ(EditSourceLocation(h, 2, 4, ui, -1), 1);
    EXPECT_EQ(ui.Calls().back().Shown("Source location"), "-2.3");
    EXPECT_EQ(ui.Calls().back().Shown("Component"), "3");
    EXPECT_EQ(ui.Calls().back().dialogTitle, "Source location etc.");
    EXPECT_EQ(h[1].sourceHundredths, -230);
    EXPECT_EQ(h[2].sourceHundredths, -250);  // nearest, not truncated
    EXPECT_EQ(h[3].sourceHundredths, -250);
    EXPECT_EQ(h[4].sourceHundredths, -230);
    EXPECT_EQ(h[2].component, 3);

    ui.AnswerDialog("CSourceLocationDlg",
                    {{"Change component", "1"}, {"Component", "10"}, {"Shift", "1"}, {"Distance shift", "0.125"}});
    EXPECT_EQ(EditSourceLocation(h, 0, 2, ui, -1), 1);
    EXPECT_EQ(h[0].component, 10);
    EXPECT_EQ(h[1].component, 10);
    EXPECT_EQ(h[2].component, 3);
    EXPECT_EQ(h[0].receiverHundredths, 13);
    EXPECT_EQ(h[1].receiverHundredths, 113);
    EXPECT_EQ(h[0].sourceHundredths, -230);  // source box not ticked

    const std::vector<CTraceHeader> before = h;
    ui.CancelDialog("CSourceLocationDlg");
    EXPECT_EQ(EditSourceLocation(h, 0, 5, ui, -1), 0);
    EXPECT_EQ(h, before);
    EXPECT_EQ(EditSourceLocation(h, 3, 3, ui, -1), 0);  // empty range: no dialog
    ui.CancelDialog("CSourceLocationDlg");  // a range past the headers is clipped, not refused
    EXPECT_EQ(EditSourceLocation(h, 4, 99, ui, -1), 0);
}

TEST(EditSourceLocation, ComponentIndexIsClamped)
{
    EXPECT_EQ(ComponentIndexOf(1), 0);
    EXPECT_EQ(ComponentIndexOf(10), 9);
    EXPECT_EQ(ComponentIndexOf(1000), 9);
    EXPECT_EQ(ComponentIndexOf(0), 0);
    EXPECT_EQ(ComponentIndexOf(INT32_MIN), 0);
}

}  // namespace
}  // namespace velk
