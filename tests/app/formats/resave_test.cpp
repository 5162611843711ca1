// A record opened and saved again keeps its bytes: every writer that stores integers from
// samples its reader scaled, through the program's own open and save roads.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "app/formats/file_road_fixture.h"
#include "app/formats/instrument_commands.h"
#include "app/formats/seg2_commands.h"
#include "formats/seg2.h"

namespace velk {
namespace {

using testing::FileRoad;

struct Road {
    const char* extension;
    std::function<void(FileRoad&, const std::string&)> open, save;
};

TEST(Resave, OpenSaveOpenSaveWritesTheSameBytesTwice)
{
    testing::TempFolder start;
    const std::string org = std::string(VELK_TEST_DATA) + "/org-3tr.ORG";
    // Float samples with fractions, as processing leaves them.
    const std::string floats = start.File("float.sg2");
    Matrix2D<float> rows(0, 3, 0, 63);
    std::vector<CTraceHeader> headers(4);
    for (int i = 0; i < 4; ++i) {
        headers[static_cast<size_t>(i)].Set(i + 1, i * 100, 0, 0, 1, 0.0f, 250.0f, 64);
        for (int k = 0; k < 64; ++k) rows[i][k] = static_cast<float>(std::pow(10.0, i) * 1234.567 * std::sin(0.7 * k + i));
    }
    ASSERT_TRUE(WriteSeg2File(floats, rows, headers, 4, 4, 1.0f).ok);

    auto open = [](FileRoad& f, const std::string& path) { ASSERT_TRUE(f.doc.LoadRecord(f.ws, path, f.ui)); };
    auto save = [](FileRoad& f, const std::string& path) { ASSERT_TRUE(f.doc.SaveRecord(f.ws, path, f.ui)); };
    const std::vector<std::pair<std::string, Road>> roads = {
        {org, {".ORG", open, save}},
        {floats, {".dat", open, [](FileRoad& f, const std::string& path) {
                      f.ui.AnswerFileSave(path);
                      f.Run(SaveSeg2Int32Record);
                  }}},
        {floats, {".8hd", open, save}},
        {org, {"_QK.ORG",
               [](FileRoad& f, const std::string& path) {
                   f.ui.AnswerFileOpen(path);
                   f.Run(OpenQkFile);
               },
               [](FileRoad& f, const std::string& path) {
                   f.ui.AnswerDialog("CSave470fFileDlg");
                   f.ui.AnswerFileSave(path);
                   f.Run(SaveQkFile);
               }}},
    };
    for (const auto& [first, road] : roads) {
        SCOPED_TRACE(road.extension);
        std::vector<std::vector<uint8_t>> saved;
        std::string from = first;
        for (int round = 0; round < 3; ++round) {  // the first save is a file this writer wrote
            FileRoad f;
            f.ui.SetStrict(false);
            road.open(f, from);
            from = start.File("saved" + std::to_string(round) + road.extension);
            road.save(f, from);
            saved.push_back(testing::ReadFileBytes(from));
        }
        ASSERT_FALSE(saved[1].empty());
        EXPECT_EQ(saved[1], saved[2]);
    }
    // The instrument's own file keeps its integers on the first save already.
    const std::vector<uint8_t> original = testing::ReadFileBytes(org);
    const std::vector<uint8_t> first = testing::ReadFileBytes(start.File("saved0.ORG"));
    ASSERT_EQ(first.size(), original.size());
    EXPECT_TRUE(std::equal(original.begin() + 6144, original.end(), first.begin() + 6144));
}

}  // namespace
}  // namespace velk
