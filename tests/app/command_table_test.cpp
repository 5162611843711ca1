// The command table: menus of the three resources in both languages, pruning, toolbar, rules
// and the command road (enable check, memory failure, repaint).

#include <gtest/gtest.h>

#include <new>
#include <set>

#include "app/command_table.h"
#include "app/formats/document.h"
#include "platform/recent_files.h"
#include "app/shell_services.h"
#include "app/workspace.h"
#include "platform/profile.h"
#include "tools/scripted_uihost.h"

namespace velk {
namespace {

using Texts = std::vector<std::string>;

const MenuNode* FindItem(const MenuNode& menu, int id)
{
    for (const MenuNode& n : menu.children) {
        if (n.kind == MenuNode::Kind::Item && n.id == id) return &n;
        if (n.kind == MenuNode::Kind::Submenu) {
            if (const MenuNode* found = FindItem(n, id)) return found;
        }
    }
    return nullptr;
}

TEST(CommandTable, FullMenusBeforeAndAfterPruning)
{
    const CommandTable table = BuildCommandTable();
    MenuBarModel full = table.BuildMenuBar(kMenuFullEnglish, -1);
    ASSERT_EQ(full.menus.size(), 11u);
    EXPECT_EQ(full.menus[0].text, "Refraction analysis");
    EXPECT_EQ(full.menus[1].text, "Data acquisition(&D)");
    EXPECT_EQ(full.menus.back().text, "&Help");

    MenuBarModel normal = full;
    EXPECT_TRUE(PruneFullMenus(normal, false));
    EXPECT_EQ(normal.TopLevelTexts(),
              (Texts{"&File", "&Edit", "&View", "&Pick first arrivals", "&Surface-wave analysis",
                     "&Group (File list)", "&Module", "&Option", "&Help"}));
    // The Module menu is the seventh after the removal, as stored menus expect.
    EXPECT_EQ(normal.menus[6].key, "module");

    MenuBarModel acquisition = full;
    EXPECT_TRUE(PruneFullMenus(acquisition, true));
    ASSERT_EQ(acquisition.menus.size(), 10u);
    EXPECT_EQ(acquisition.menus[0].key, "acquisition");
    EXPECT_NE(acquisition.Find("module"), nullptr);
}

TEST(CommandTable, ShortEnglishMenu)
{
    const CommandTable table = BuildCommandTable();
    MenuBarModel model = table.BuildMenuBar(kMenuShortEnglish, -1);
    EXPECT_FALSE(PruneFullMenus(model, false));
    EXPECT_EQ(model.TopLevelTexts(),
              (Texts{"&File", "&Edit", "&View", "&Pick first arrivals", "&Surface-wave analysis",
                     "&Option", "&Help"}));
}

TEST(CommandTable, Menu128FollowsTheLanguage)
{
    const CommandTable table = BuildCommandTable();
    MenuBarModel ja = table.BuildMenuBar(kMenuDefault, 1);
    MenuBarModel en = table.BuildMenuBar(kMenuDefault, -1);
    MenuBarModel zero = table.BuildMenuBar(kMenuDefault, 0);
    ASSERT_EQ(ja.menus.size(), en.menus.size());
    EXPECT_EQ(ja.Find("file")->text, "ファイル(&F)");
    EXPECT_EQ(en.Find("file")->text, "&File");
    EXPECT_EQ(zero.Find("file")->text, "&File");
    EXPECT_EQ(FindItem(*ja.Find("file"), cmd::kFileOpen)->text, "開く(&O)...\tCtrl+O");
    EXPECT_EQ(FindItem(*en.Find("file"), cmd::kFileOpen)->text, "&Open...\tCtrl+O");
}

TEST(CommandTable, FileMenuOrderAndSubmenus)
{
    const CommandTable table = BuildCommandTable();
    MenuBarModel en = table.BuildMenuBar(kMenuDefault, -1);
    std::vector<std::string> file;
    for (const MenuNode& n : en.Find("file")->children) {
        switch (n.kind) {
        case MenuNode::Kind::Separator: file.push_back("-"); break;
        case MenuNode::Kind::RecentFiles: file.push_back("[recent]"); break;
        default: file.push_back(StripMnemonic(n.text)); break;
        }
    }
    // The shell's rows open and close the menu; the formats' rows sit between them.
    ASSERT_GE(file.size(), 8u);
    EXPECT_EQ(Texts(file.begin(), file.begin() + 5), (Texts{"New", "Open...", "Save", "Save As...", "-"}));
    EXPECT_EQ(Texts(file.end() - 4, file.end()), (Texts{"-", "[recent]", "-", "Exit"}));

    const MenuNode* option = en.Find("option");
    ASSERT_NE(option, nullptr);
    const MenuNode& construction = option->children.back();
    EXPECT_EQ(construction.kind, MenuNode::Kind::Submenu);
    EXPECT_EQ(construction.text, "Under construction");
    ASSERT_GE(construction.children.size(), 1u);  // other features add their submenus after it
    EXPECT_EQ(construction.children[0].id, cmd::kOperationsTest);
    EXPECT_EQ(construction.children[0].text, "test");
}

TEST(CommandTable, EveryRowHasBothTextsAndIdsInTheirRanges)
{
    const CommandTable table = BuildCommandTable();
    std::set<int> ids;
    for (const CommandRow& row : table.Rows()) {
        if (row.kind == ItemKind::Separator || row.kind == ItemKind::RecentFiles) continue;
        EXPECT_TRUE(ids.insert(row.id).second) << row.id;
        const bool free = row.id >= cmd::kFreeRangeFirst && row.id <= cmd::kFreeRangeLast;
        const bool fixed = row.id >= 32768 && row.id <= 65535;
        EXPECT_TRUE(free || fixed) << row.id;
        if (row.menus != 0) {
            EXPECT_FALSE(row.english.empty()) << row.id;
            EXPECT_FALSE(row.japanese.empty()) << row.id;
        }
        EXPECT_TRUE(table.HasRule(row.enableRule)) << row.id;
    }
    for (const MenuDef& menu : table.Menus()) {
        EXPECT_FALSE(menu.japanese.empty()) << menu.key;
    }
}

TEST(CommandTable, Toolbar)
{
    const CommandTable table = BuildCommandTable();
    const std::vector<ToolbarButton> bar = table.BuildToolbar(kMenuDefault, 1);
    ASSERT_EQ(bar.size(), 5u);
    EXPECT_EQ(bar[0].id, cmd::kFileNew);
    EXPECT_EQ(bar[1].id, cmd::kFileOpen);
    EXPECT_EQ(bar[2].id, cmd::kFileSave);
    EXPECT_EQ(bar[3].id, 0);  // separator between groups
    EXPECT_EQ(bar[4].id, cmd::kAppAbout);
    EXPECT_EQ(bar[1].tip, "開く...");
    EXPECT_EQ(table.BuildToolbar(kMenuShortEnglish, -1)[1].tip, "Open...");
}

TEST(CommandTable, StripMnemonic)
{
    EXPECT_EQ(StripMnemonic("&Open...\tCtrl+O"), "Open...");
    EXPECT_EQ(StripMnemonic("ファイル(&F)"), "ファイル");
    EXPECT_EQ(StripMnemonic("Salt && Pepper"), "Salt & Pepper");
}

TEST(CommandTable, DuplicateIdsAndMenuKeysAreRefused)
{
    CommandTable table;
    table.AddMenu({"file", "", "File", "ファイル"});
    EXPECT_THROW(table.AddMenu({"file", "", "File", "ファイル"}), std::invalid_argument);
    CommandRow row;
    row.id = 20500;
    table.Add(row);
    EXPECT_THROW(table.Add(row), std::invalid_argument);
    const CommandRule rule = [](const Workspace&, const RecentFileList&) { return true; };
    table.SetRule(2800, rule);
    EXPECT_THROW(table.SetRule(2800, rule), std::invalid_argument);
}

// ---------------------------------------------------------------------------------------------

class CountingView : public ViewSurface {
public:
    void Repaint() override { ++repaints; }
    void ShowTransientText(const std::string& text, LPoint) override { texts.push_back(text); }
    int repaints = 0;
    std::vector<std::string> texts;
};

struct Road {
    Road() : profile(Profile::FromText("")), ws(profile, ui), doc(ws) {}
    ScriptedUiHost ui;
    Profile profile;
    Workspace ws;
    CVelkarineDoc doc;
    RecentFileList recent;
    CountingView view;
    CommandContext Context() { return CommandContext{ws, ui, doc, recent, &view, nullptr}; }
};

TEST(CommandRoad, ResultOneRepaintsOnceOthersNever)
{
    Road road;
    CommandTable table;
    int result = 0;
    CommandRow row;
    row.id = 20600;
    row.action = [&](CommandContext&) { return result; };
    table.Add(row);
    CommandContext ctx = road.Context();
    result = 0;
    EXPECT_EQ(RunCommand(table, 20600, ctx), 0);
    EXPECT_EQ(road.view.repaints, 0);
    result = 2;
    RunCommand(table, 20600, ctx);
    EXPECT_EQ(road.view.repaints, 0);
    result = 1;
    EXPECT_EQ(RunCommand(table, 20600, ctx), 1);
    EXPECT_EQ(road.view.repaints, 1);
}

TEST(CommandRoad, MemoryFailureIsAMessage)
{
    Road road;
    CommandTable table;
    CommandRow row;
    row.id = 20601;
    row.action = [](CommandContext&) -> int { throw std::bad_alloc(); };
    table.Add(row);
    road.ui.ExpectMessage("Not enough memory for this command.");
    CommandContext ctx = road.Context();
    EXPECT_EQ(RunCommand(table, 20601, ctx), 0);
    EXPECT_EQ(road.view.repaints, 0);

    road.ws.startup.language = 1;
    road.ui.ExpectMessage("メモリが不足しているため、このコマンドを実行できません。");
    RunCommand(table, 20601, ctx);
}

TEST(CommandRoad, DisabledCommandDoesNotRun)
{
    Road road;
    CommandTable table = BuildCommandTable();
    bool ran = false;
    CommandRow row;
    row.id = 20602;
    row.enableRule = kRuleTracesLoaded;
    row.action = [&](CommandContext&) {
        ran = true;
        return 1;
    };
    table.Add(row);
    CommandContext ctx = road.Context();
    road.ws.InitForView();
    EXPECT_FALSE(table.IsEnabled(20602, road.ws, road.recent));
    EXPECT_EQ(RunCommand(table, 20602, ctx), 0);
    EXPECT_FALSE(ran);
    road.ws.store.Params().traceCount = 3;
    EXPECT_TRUE(table.IsEnabled(20602, road.ws, road.recent));
    EXPECT_EQ(RunCommand(table, 20602, ctx), 1);
    EXPECT_TRUE(ran);
}

TEST(CommandRoad, TestCommandRepaintsThroughTheHolder)
{
    Road road;
    const CommandTable table = BuildCommandTable();
    CommandContext ctx = road.Context();
    EXPECT_TRUE(table.IsEnabled(cmd::kOperationsTest, road.ws, road.recent));
    RunCommand(table, cmd::kOperationsTest, ctx);
    EXPECT_EQ(road.view.repaints, 1);
}

}  // namespace
}  // namespace velk
