#include "platform/choose_folder.h"

#include <gtest/gtest.h>

#include "tools/scripted_uihost.h"

namespace velk {
namespace {

TEST(ChooseFolder, OkGivesOneAndThePath) {
    ScriptedUiHost ui;
    ui.AnswerFolder("/data/survey/line1");
    std::string path = "old";
    EXPECT_EQ(ChooseFolder(ui, path), 1);
    EXPECT_EQ(path, "/data/survey/line1");
    ASSERT_EQ(ui.Calls().size(), 1u);
    EXPECT_EQ(ui.Calls()[0].kind, UiCallKind::Folder);
    EXPECT_EQ(ui.Calls()[0].text, "フォルダの選択");
}

TEST(ChooseFolder, CancelGivesTwoAndLeavesThePath) {
    ScriptedUiHost ui;
    ui.CancelFolder();
    std::string path = "/previous/folder";
    EXPECT_EQ(ChooseFolder(ui, path), 2);
    EXPECT_EQ(path, "/previous/folder");
}

TEST(ChooseFolder, AnyPathLength) {
    ScriptedUiHost ui;
    std::string longPath = "/" + std::string(5000, 'x');
    ui.AnswerFolder(longPath);
    std::string path;
    EXPECT_EQ(ChooseFolder(ui, path), 1);
    EXPECT_EQ(path, longPath);
}

TEST(ChooseFolder, HeadlessIsCancel) {
    NullUiHost ui;
    std::string path = "kept";
    EXPECT_EQ(ChooseFolder(ui, path), 2);
    EXPECT_EQ(path, "kept");
}

}  // namespace
}  // namespace velk
