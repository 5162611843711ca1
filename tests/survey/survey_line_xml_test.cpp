// The survey-line XML document: the writer's exact bytes, the reader's tolerance and its
// all-or-nothing rule, the limits and a round trip.

#include "survey/survey_line_xml.h"

#include <gtest/gtest.h>

#include <array>

#include "platform/atomic_file.h"
#include "survey/file_group.h"
#include "tools/scripted_uihost.h"
#include "tools/test_support.h"

namespace velk {
namespace {

using testing::ReadFileText;
using testing::TempFolder;
using testing::WriteFileText;

FileListEntry Entry(int inUse, const char* name, int id, float shot, float first, float interval, int aux)
{
    FileListEntry e;
    e.inUse = inUse;
    e.fileName = name;
    e.hasType = inUse;
    e.id = id;
    e.shotDistance = shot;
    e.firstReceiver = first;
    e.receiverInterval = interval;
    e.numberOfAuxiliary = aux;
    return e;
}

std::string Doc(const std::string& body) { return "<?xml version='1.0'?><line>" + body + "</line>"; }

TEST(SurveyLineXml, WritesTheDocumentByteExactInAnyLocale)
{
    testing::ScopedGlobalLocale german("de_DE.UTF-8");
    VELK_SKIP_WITHOUT_LOCALE(german);
    TempFolder folder;
    SurveyLine line;
    line.lineName = "Line 1";
    line.lineId = 3;
    CFileGroup g;
    g.entries[0] = Entry(1, "shot 1.sg2", 1, -0.5f, 0.0f, 1.0f, 0);
    g.entries[1] = Entry(0, "", 2, 1.5f, 0.0f, 1.0f, 2);
    g.entryCount = 2;
    MamGeometrySlot slot;
    ASSERT_EQ(WriteLineXml(line, g, slot, folder.File("a.xml")), 1);
    EXPECT_EQ(ReadFileText(folder.File("a.xml")),
              "<?xml version='1.0' encoding='Shift_JIS'?><line><line_name>Line 1</line_name><line_id>3</line_id>"
              "<qkw_menu>0</qkw_menu><file_type>0</file_type><apply_source_position>0</apply_source_position>"
              "<apply_receiver_position>0</apply_receiver_position><file_list><file><file_name>shot 1.sg2</file_name>"
              "<id>1</id><file_type>0</file_type><shot_distance>-0.500000</shot_distance><first_receiver>0.000000"
              "</first_receiver><receiver_interval>1.000000</receiver_interval><number_of_auxiliary>0"
              "</number_of_auxiliary></file><file><file_name>file0002.dat</file_name><id>2</id><file_type>0"
              "</file_type><shot_distance>1.500000</shot_distance><first_receiver>0.000000</first_receiver>"
              "<receiver_interval>1.000000</receiver_interval><number_of_auxiliary>2</number_of_auxiliary></file>"
              "</file_list></line>");
    EXPECT_EQ(g.entries[1].inUse, 1);
    EXPECT_EQ(g.entries[1].fileName, "file0002.dat");
}

TEST(SurveyLineXml, OptionalElementsAndEncodings)
{
    TempFolder folder;
    SurveyLine line;
    line.lineName = "L";
    line.qkwMenu = 3;
    line.qkwMenuName = "測線A";
    line.procedureStep = 2;
    line.hasDataFile = line.hasResultFile = line.hasPlottingFile = 1;
    line.dataFile = "d.txt";
    line.resultFile = "r.pvs";
    line.plottingFile = "m.dat";
    CFileGroup g;
    MamGeometrySlot slot;
    slot.present = 1;
    const std::string path = folder.File("b.xml");
    ASSERT_EQ(WriteLineXml(line, g, slot, path), 1);
    const std::string bytes = ReadFileText(path);
    // "測線A" as iconv -t CP932 gives it.
    EXPECT_NE(bytes.find("<qkw_menu>3</qkw_menu><qkw_menu_name>\x91\xaa\x90\xfc" "A</qkw_menu_name>"
                         "<procedure_step>2</procedure_step><file_type>"), std::string::npos);
    EXPECT_NE(bytes.find("</apply_receiver_position><datafile>d.txt</datafile><resultfile>r.pvs</resultfile>"
                         "<mandrove>m.dat</mandrove><file_list/><mam_geometry><iGeometry>2</iGeometry>"
                         "<ArraySize>20.000000</ArraySize><Angle>90.000000</Angle><nReceiver>12</nReceiver>"
                         "<iStartChannel>0</iStartChannel><Reverse>0</Reverse><SpacingForLinearArray>10.000000"
                         "</SpacingForLinearArray></mam_geometry></line>"), std::string::npos);
    SurveyLine back;
    MamGeometrySlot none;
    EXPECT_EQ(ReadLineXml(back, g, none, path, 0), 0);
    line.hasArrayGeometry = 1;
    EXPECT_EQ(back, line);

    // A name with no CP932 form: the document goes out in UTF-8 and comes back whole.
    g.entries[0] = Entry(1, "café 1.sg2", 1, 0, 0, 1, 0);
    g.entryCount = 1;
    ASSERT_EQ(WriteLineXml(line, g, slot, path), 1);
    EXPECT_EQ(ReadFileText(path).rfind("<?xml version='1.0' encoding='UTF-8'?><line>", 0), 0u);
    CFileGroup h;
    EXPECT_EQ(ReadLineXml(back, h, none, path, 0), 1);
    EXPECT_EQ(h.entries[0].fileName, "café 1.sg2");
}

TEST(SurveyLineXml, ReaderOnHandMadeDocuments)
{
    TempFolder folder;
    const std::string path = folder.File("h.xml");
    CFileGroup g;
    g.fileType = 1;
    g.entries[5].fileType = 4;
    SurveyLine line;
    line.lineId = 9;
    int made = 0;
    MamGeometrySlot slot;
    slot.make = [&made](MamGeometryValues& v) { ++made, v.nReceiver = 24; };
    WriteFileText(path, Doc("<apply_source_position>1</apply_source_position><other>x</other>"
                            "<line_name> North line\r\n</line_name><line_name>\tNorth line </line_name>"
                            "<line_id>abc</line_id><file_type>7</file_type><file_type>2</file_type>"
                            "<apply_receiver_position>0</apply_receiver_position>"
                            "<file_list><file><number_of_auxiliary>2</number_of_auxiliary></file>"
                            "<skip/><file><shot_distance> 12.5 m </shot_distance><first_receiver>abc</first_receiver>"
                            "<file_name></file_name></file></file_list>"
                            "<file_list><file><id>+7x</id><file_type>6</file_type></file></file_list>"
                            "<mam_geometry><Angle>45</Angle></mam_geometry>"));
    g.entries[6].firstReceiver = 4.0f;
    g.entries[7].firstReceiver = 3.0f;
    ASSERT_EQ(ReadLineXml(line, g, slot, path, 5), 8);
    EXPECT_EQ(g.entryCount, 8);
    EXPECT_EQ(g.sourceFromFile[1], 1);  // the type current before file_type
    EXPECT_EQ(g.receiversFromFile[2], 0);
    EXPECT_EQ(g.fileType, 2);          // 7 ignored
    EXPECT_EQ(line.lineName, "North line");
    EXPECT_EQ(line.lineId, 9);
    EXPECT_EQ((std::array{g.entries[5].hasType, g.entries[5].fileType, g.entries[5].numberOfAuxiliary}),
              (std::array{1, 4, 2}));
    EXPECT_EQ(g.entries[6].shotDistance, 12.5f);
    EXPECT_EQ(g.entries[6].inUse, 0);  // empty file_name ignored
    EXPECT_EQ(g.entries[6].firstReceiver, 4.0f);  // "abc"
    EXPECT_EQ(g.entries[7].firstReceiver, 3.0f);  // absent
    EXPECT_EQ(g.entries[7].id, 7);
    EXPECT_EQ(g.entries[7].fileType, 6);
    EXPECT_EQ(slot.present, 1);
    EXPECT_EQ(slot.values.nReceiver, 24);
    EXPECT_EQ(slot.values.Angle, 45.0f);
    // A second geometry goes into the one that exists; an empty line name is empty text.
    WriteFileText(path, Doc("<line_name></line_name><mam_geometry><Reverse>1</Reverse></mam_geometry>"));
    EXPECT_EQ(ReadLineXml(line, g, slot, path, 0), 0);
    EXPECT_EQ(made, 1);
    EXPECT_EQ(slot.values.Angle, 45.0f);
    EXPECT_EQ(line.lineName, "");
}

TEST(SurveyLineXml, UnreadableDocumentsChangeNothing)
{
    TempFolder folder;
    const std::string path = folder.File("u.xml");
    const std::vector<std::pair<std::string, int>> cases = {
        {Doc("<line_name>x</line_name>").substr(0, 40), 0},
        {"<?xml version='1.0'?><survey><line_name>x</line_name></survey>", 0},
        {"<?xml version='1.0' encoding='Shift_JIS'?><line><line_name>\x81</line_name></line>", 0},
        {"<?xml version='1.0' encoding='ISO-2022-JP'?><line><line_name>x</line_name></line>", 0},
        {Doc("<line_name>x</line_name>"), 1001},
    };
    for (const auto& [text, first] : cases) {
        WriteFileText(path, text);
        CFileGroup g;
        g.entries[0].id = 5;
        const CFileGroup before = g;
        SurveyLine line;
        MamGeometrySlot slot;
        slot.make = [](MamGeometryValues& v) { v.nReceiver = 1; };
        EXPECT_EQ(ReadLineXml(line, g, slot, path, first), -1) << text;
        EXPECT_EQ(line, SurveyLine{});
        EXPECT_EQ(g.entries, before.entries);
        EXPECT_EQ(slot.values, MamGeometryValues{});
    }
    SurveyLine line;
    CFileGroup g;
    MamGeometrySlot slot;
    EXPECT_EQ(ReadLineXml(line, g, slot, folder.File("missing.xml"), 0), -1);
}

TEST(SurveyLineXml, LimitsOfTheListAndTheMenuName)
{
    TempFolder folder;
    const std::string path = folder.File("l.xml");
    std::string files;
    for (int i = 0; i < 1005; ++i) files += "<file><id>" + std::to_string(i) + "</id></file>";
    std::string name = "A";
    for (int i = 0; i < 66; ++i) name += "測";
    name += "B";  // 200 bytes of UTF-8, 134 of CP932
    WriteFileText(path, Doc("<qkw_menu_name>" + name + "</qkw_menu_name><file_list>" + files + "</file_list>"));
    ScriptedUiHost ui;
    ui.ExpectMessage("The file list is full: at most 1000 files can be listed.");
    SurveyLine line;
    CFileGroup g;
    MamGeometrySlot slot;
    EXPECT_EQ(ReadLineXml(line, g, slot, path, 0, &ui, -1), 1000);
    EXPECT_EQ(g.entries[999].id, 999);
    EXPECT_EQ(line.qkwMenuName, name.substr(0, 1 + 39 * 3));  // 79 CP932 bytes
    EXPECT_TRUE(ui.VerifyAndClear());
}

// What a document read says survives a save and a new read: the reader of an entry without a
// type of its own, a menu name cut at a space; text no document can hold is refused on reading.
TEST(SurveyLineXml, SavedDocumentsReadBackAsRead)
{
    const std::string menu = std::string(78, 'm') + "  tail";  // the cut at 79 bytes ends in a space
    const std::string doc = Doc("<line_name>a&#13;b</line_name><qkw_menu>2</qkw_menu><qkw_menu_name>" + menu +
                                "</qkw_menu_name><file_type>2</file_type><file_list>"
                                "<file><file_name>1.8hd</file_name><id>1</id></file>"
                                "<file><file_name>2.8hd</file_name><id>2</id></file>"
                                "<file><id>3</id><file_type>0</file_type></file></file_list>");
    SurveyLine line;
    CFileGroup g;
    MamGeometrySlot slot;
    ASSERT_EQ(ReadLineXmlBytes(line, g, slot, doc, 0), 3);
    EXPECT_EQ(line.qkwMenuName, std::string(78, 'm'));
    EXPECT_EQ(line.lineName, "a\rb");
    g.entries[1].numberOfAuxiliary = 3;
    const std::optional<std::string> saved = LineXmlBytes(line, g, slot);
    ASSERT_TRUE(saved);
    SurveyLine line2;
    CFileGroup g2;
    ASSERT_EQ(ReadLineXmlBytes(line2, g2, slot, *saved, 0), 3);
    EXPECT_EQ(line2, line);
    EXPECT_EQ(g2.entries[2].fileType, 0);  // a member named by the pattern keeps its own reader
    EXPECT_EQ((std::array{g2.entries[0].hasType, g2.CurrentType()}), (std::array{0, 2}));  // still the line's type
    EXPECT_EQ((std::array{g2.entries[1].hasType, g2.entries[1].fileType, g2.entries[1].numberOfAuxiliary}),
              (std::array{1, 2, 3}));
    EXPECT_EQ(LineXmlBytes(line2, g2, slot), saved);

    for (const char* bad : {"&#xDDDD;", "&#xD800;x", "&#55296;"}) {
        SurveyLine l;
        CFileGroup h;
        EXPECT_EQ(ReadLineXmlBytes(l, h, slot, Doc(std::string("<line_name>") + bad + "</line_name>"), 0), -1) << bad;
        EXPECT_EQ(l, SurveyLine{});
    }
}

TEST(SurveyLineXml, RoundTripAndFailedWrite)
{
    TempFolder folder;
    const std::string path = folder.File("r.xml");
    CFileGroup g;
    g.fileType = 2;
    g.sourceFromFile[2] = 1;
    g.receiversFromFile[2] = 0;
    for (int i = 0; i < 30; ++i) {
        FileListEntry e = Entry(i % 3 != 0, ("s" + std::to_string(i) + ".sg2").c_str(), i + 1, 0.25f * i, -1.5f,
                                0.5f, i % 4);
        e.fileType = i % 7;
        g.entries[static_cast<size_t>(i)] = e;
    }
    g.entryCount = 30;
    MamGeometrySlot slot;
    slot.present = 1;
    slot.values = {3, 12.5f, 60.0f, 9, 2, 1, 2.5f};
    ASSERT_EQ(WriteLineXml(SurveyLine{}, g, slot, path), 1);
    CFileGroup fresh;
    SurveyLine line;
    MamGeometrySlot back;
    ASSERT_EQ(ReadLineXml(line, fresh, back, path, 0), 30);
    EXPECT_EQ(fresh.entries, g.entries);
    EXPECT_EQ((std::array{fresh.fileType, fresh.sourceFromFile[2], fresh.receiversFromFile[2]}), (std::array{2, 1, 0}));
    EXPECT_EQ(back.values, slot.values);

    const std::string old = ReadFileText(path);
    AtomicFileWriter::SetFaultInjector([](size_t) { return false; });
    EXPECT_EQ(WriteLineXml(line, g, slot, path), 0);
    AtomicFileWriter::SetFaultInjector({});
    EXPECT_EQ(ReadFileText(path), old);
}

}  // namespace
}  // namespace velk
