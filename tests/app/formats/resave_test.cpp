// A record that is opened and saved again keeps its bytes: every writer that stores integers
// from samples its reader scaled, through the program's own open and save roads.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "app/formats/file_road_fixture.h"
#include "app/formats/instrument_commands.h"
#include "app/formats/seg2_commands.h"
#include "formats/org_file.h"
#include "formats/seg2.h"

namespace velk {
namespace {

using testing::FileRoad;
using testing::ReadFileBytes;

// Samples with fractions and a wide range of sizes, as processing leaves them.
Matrix2D<float> FractionalRows(int traces, int samples)
{
    Matrix2D<float> rows(0, traces - 1, 0, samples - 1);
    for (int i = 0; i < traces; ++i)
        for (int k = 0; k < samples; ++k)
            rows[i][k] = static_cast<float>(std::pow(10.0, i) * 1234.567 * std::sin(0.7 * k + i) + 0.49 * (k % 3));
    return rows;
}

std::string FloatSeg2(const std::string& path)
{
    const Matrix2D<float> rows = FractionalRows(4, 64);
    std::vector<CTraceHeader> headers(4);
    for (int i = 0; i < 4; ++i) headers[static_cast<size_t>(i)].Set(i + 1, i * 100, 0, 0, 1, 0.0f, 250.0f, 64);
    EXPECT_TRUE(WriteSeg2File(path, rows, headers, 4, 4, 1.0f).ok);
    return path;
}

struct Road {
    const char* name;
    std::string first;                                        // a file to start from
    std::function<void(FileRoad&, const std::string&)> open;  // into a fresh workspace
    std::function<void(FileRoad&, const std::string&)> save;
};

void OpenByDocument(FileRoad& f, const std::string& path) { ASSERT_TRUE(f.doc.LoadRecord(f.ws, path, f.ui)) << path; }
void SaveByDocument(FileRoad& f, const std::string& path) { ASSERT_TRUE(f.doc.SaveRecord(f.ws, path, f.ui)) << path; }

TEST(Resave, OpenSaveOpenSaveWritesTheSameBytesTwice)
{
    testing::TempFolder start;
    const std::string org = std::string(VELK_TEST_DATA) + "/org-3tr.ORG";
    std::vector<Road> roads = {
        {"ORG", org, OpenByDocument, SaveByDocument},
        {"SEG-2 integers", FloatSeg2(start.File("float.sg2")), OpenByDocument,
         [](FileRoad& f, const std::string& path) {
             f.ui.AnswerFileSave(path);
             f.Run(SaveSeg2Int32Record);
         }},
        {"8-header", FloatSeg2(start.File("float8.sg2")), OpenByDocument, SaveByDocument},
        {"QK", org,
         [](FileRoad& f, const std::string& path) {
             f.ui.AnswerFileOpen(path);
             ASSERT_EQ(f.Run(OpenQkFile), 1);
         },
         [](FileRoad& f, const std::string& path) {
             f.ui.AnswerDialog("CSave470fFileDlg");
             f.ui.AnswerFileSave(path);
             f.Run(SaveQkFile);
         }},
    };
    const char* extension[] = {".ORG", ".dat", ".8hd", "_QK.ORG"};
    for (size_t r = 0; r < roads.size(); ++r) {
        SCOPED_TRACE(roads[r].name);
        std::vector<std::vector<uint8_t>> saved;
        std::string from = roads[r].first;
        for (int round = 0; round < 3; ++round) {
            FileRoad f;
            f.ui.SetStrict(false);
            roads[r].open(f, from);
            ASSERT_GT(f.ws.store.TraceCount(), 0);
            const std::string out = f.folder.File("saved" + std::to_string(round) + extension[r]);
            roads[r].save(f, out);
            saved.push_back(ReadFileBytes(out));
            ASSERT_FALSE(saved.back().empty());
            from = start.File(std::string("copy") + std::to_string(r) + std::to_string(round) + extension[r]);
            testing::WriteFileBytes(from, saved.back());
        }
        // A file this writer wrote (the first save; for the .ORG road also the test file) keeps
        // its bytes on every open and save after.
        EXPECT_EQ(saved[1], saved[2]);
        if (r == 0) {
            EXPECT_EQ(saved[0], saved[1]);
            const std::vector<uint8_t> original = ReadFileBytes(org);  // the instrument's integers stay
            ASSERT_EQ(saved[0].size(), original.size());
            EXPECT_TRUE(std::equal(original.begin() + 6144, original.end(), saved[0].begin() + 6144));
        }
    }
}

}  // namespace
}  // namespace velk
