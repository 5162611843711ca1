#include "app/command_table.h"

#include <algorithm>
#include <new>
#include <stdexcept>
#include <utility>

#include "app/shell_services.h"
#include "platform/language.h"
#include "platform/uihost.h"

namespace velk {

unsigned MenuBit(int resource)
{
    switch (resource) {
    case kMenuDefault: return kIn128;
    case kMenuShortEnglish: return kIn285;
    case kMenuFullEnglish: return kIn297;
    default: return 0;
    }
}

std::string PickText(int language, const std::string& english, const std::string& japanese)
{
    return IsJapanese(language) && !japanese.empty() ? japanese : english;
}

std::string StripMnemonic(const std::string& label)
{
    std::string text = label.substr(0, label.find('\t'));
    // A Japanese label carries its mnemonic as "(&F)": drop it whole.
    for (size_t pos = text.find("(&"); pos != std::string::npos; pos = text.find("(&", pos)) {
        if (pos + 3 < text.size() && text[pos + 3] == ')' && text[pos + 2] != '&') {
            text.erase(pos, 4);
        } else {
            pos += 2;
        }
    }
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&') {
            if (i + 1 < text.size() && text[i + 1] == '&') {
                out += '&';
                ++i;
            }
            continue;
        }
        out += text[i];
    }
    return out;
}

// ---------------------------------------------------------------------------------------------

void CommandTable::AddMenu(MenuDef menu)
{
    for (const MenuDef& m : menus_) {
        if (m.key == menu.key) throw std::invalid_argument("menu key used twice: " + menu.key);
    }
    menus_.push_back(std::move(menu));
}

void CommandTable::AddMenuIfMissing(MenuDef menu)
{
    for (const MenuDef& m : menus_) {
        if (m.key == menu.key) return;
    }
    menus_.push_back(std::move(menu));
}

CommandRow MakeRow(int id, std::string menu, double order, std::string english, std::string japanese,
                   CommandAction action, int enableRule, ItemKind kind, int checkRule)
{
    CommandRow r;
    r.id = id;
    r.menu = std::move(menu);
    r.order = order;
    r.english = std::move(english);
    r.japanese = std::move(japanese);
    r.action = std::move(action);
    r.enableRule = enableRule;
    r.kind = kind;
    r.checkRule = checkRule;
    return r;
}

CommandRow SeparatorRow(std::string menu, double order, unsigned menus)
{
    CommandRow r;
    r.kind = ItemKind::Separator;
    r.menu = std::move(menu);
    r.order = order;
    r.menus = menus;
    return r;
}

void CommandTable::Add(int id, std::string menu, double order, std::string english, std::string japanese,
                       CommandAction action, int enableRule)
{
    Add(MakeRow(id, std::move(menu), order, std::move(english), std::move(japanese), std::move(action), enableRule));
}

void CommandTable::Add(CommandRow row)
{
    if (row.kind != ItemKind::Separator && row.kind != ItemKind::RecentFiles && Find(row.id)) {
        throw std::invalid_argument("command id used twice: " + std::to_string(row.id));
    }
    rows_.push_back(std::move(row));
}

void CommandTable::SetRule(int ruleId, CommandRule rule)
{
    if (!rules_.emplace(ruleId, std::move(rule)).second) {
        throw std::invalid_argument("rule id used twice: " + std::to_string(ruleId));
    }
}

const CommandRow* CommandTable::Find(int id) const
{
    if (id == 0) return nullptr;
    for (const CommandRow& row : rows_) {
        if (row.id == id && row.kind != ItemKind::Separator) return &row;
    }
    return nullptr;
}

bool CommandTable::IsEnabled(int id, const Workspace& ws, const RecentFileList& recent) const
{
    const CommandRow* row = Find(id);
    if (!row) return true;
    auto it = rules_.find(row->enableRule);
    return it == rules_.end() || !it->second || it->second(ws, recent);
}

bool CommandTable::IsChecked(int id, const Workspace& ws, const RecentFileList& recent) const
{
    const CommandRow* row = Find(id);
    if (!row || row->checkRule == kRuleNone) return false;
    auto it = rules_.find(row->checkRule);
    return it != rules_.end() && it->second && it->second(ws, recent);
}

namespace {

// An item or submenu waiting to be placed in its parent, with its sort key.
struct Placed {
    double order;
    size_t sequence;
    MenuNode node;
};

void Sort(std::vector<Placed>& items)
{
    std::stable_sort(items.begin(), items.end(), [](const Placed& a, const Placed& b) {
        return a.order != b.order ? a.order < b.order : a.sequence < b.sequence;
    });
}

}  // namespace

MenuBarModel CommandTable::BuildMenuBar(int resource, int language) const
{
    const unsigned bit = MenuBit(resource);
    MenuBarModel model;
    model.resource = resource;

    // Children of every menu key, in table order first.
    std::map<std::string, std::vector<Placed>> children;
    size_t sequence = 0;
    for (const CommandRow& row : rows_) {
        if (!(row.menus & bit)) continue;
        MenuNode node;
        node.id = row.id;
        node.itemKind = row.kind;
        switch (row.kind) {
        case ItemKind::Separator: node.kind = MenuNode::Kind::Separator; break;
        case ItemKind::RecentFiles: node.kind = MenuNode::Kind::RecentFiles; break;
        default: node.kind = MenuNode::Kind::Item; break;
        }
        node.text = PickText(language, row.english, row.japanese);
        if (!row.accelerator.empty() && node.kind == MenuNode::Kind::Item) {
            node.text += "\t" + row.accelerator;
        }
        if (!row.promptEnglish.empty() || !row.promptJapanese.empty()) {
            node.help = PickText(language, row.promptEnglish, row.promptJapanese);
        }
        children[row.menu].push_back({row.order, sequence++, std::move(node)});
    }
    for (const MenuDef& menu : menus_) {
        if (!(menu.menus & bit)) continue;
        MenuNode node;
        node.kind = MenuNode::Kind::Submenu;
        node.key = menu.key;
        node.text = PickText(language, menu.english, menu.japanese);
        children[menu.parent].push_back({menu.order, sequence++, std::move(node)});
    }

    // Fill submenus depth first from the top level down.
    std::function<void(MenuNode&)> fill = [&](MenuNode& node) {
        auto it = children.find(node.key);
        if (it == children.end()) return;
        std::vector<Placed> items = std::move(it->second);
        children.erase(it);
        Sort(items);
        for (Placed& p : items) {
            if (p.node.kind == MenuNode::Kind::Submenu) fill(p.node);
            node.children.push_back(std::move(p.node));
        }
    };
    std::vector<Placed> top = std::move(children[""]);
    children.erase("");
    Sort(top);
    for (Placed& p : top) {
        if (p.node.kind != MenuNode::Kind::Submenu) continue;  // items need a menu
        fill(p.node);
        model.menus.push_back(std::move(p.node));
    }
    return model;
}

std::vector<ToolbarButton> CommandTable::BuildToolbar(int resource, int language) const
{
    const unsigned bit = MenuBit(resource);
    std::vector<const CommandRow*> rows;
    for (const CommandRow& row : rows_) {
        if (row.toolbar > 0 && (row.menus & bit) && row.kind != ItemKind::Separator) {
            rows.push_back(&row);
        }
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const CommandRow* a, const CommandRow* b) { return a->toolbar < b->toolbar; });
    std::vector<ToolbarButton> buttons;
    int group = -1;
    for (const CommandRow* row : rows) {
        if (group >= 0 && row->toolbar / 10 != group) buttons.push_back({});
        group = row->toolbar / 10;
        buttons.push_back({row->id, row->icon, StripMnemonic(PickText(language, row->english, row->japanese))});
    }
    return buttons;
}

MenuNode* MenuBarModel::Find(const std::string& key)
{
    for (MenuNode& m : menus) {
        if (m.key == key) return &m;
    }
    return nullptr;
}

const MenuNode* MenuBarModel::Find(const std::string& key) const
{
    return const_cast<MenuBarModel*>(this)->Find(key);
}

std::vector<std::string> MenuBarModel::TopLevelTexts() const
{
    std::vector<std::string> texts;
    for (const MenuNode& m : menus) texts.push_back(m.text);
    return texts;
}

// ---------------------------------------------------------------------------------------------

bool PruneFullMenus(MenuBarModel& model, bool acquisitionMode)
{
    if (model.menus.size() <= 10) return false;
    auto drop = [&](const std::string& key) {
        model.menus.erase(std::remove_if(model.menus.begin(), model.menus.end(),
                                         [&](const MenuNode& m) { return m.key == key; }),
                          model.menus.end());
    };
    if (!acquisitionMode) drop("acquisition");
    drop("refraction");
    return true;
}

void AddModuleItems(MenuBarModel& model, int nModule,
                    const std::array<std::string, cmd::kModuleCount>& names)
{
    MenuNode* menu = model.Find("module");
    if (!menu) return;
    const int n = std::clamp(nModule, 0, cmd::kModuleCount);
    for (int i = 0; i < n; ++i) {
        MenuNode item;
        item.kind = MenuNode::Kind::Item;
        item.id = cmd::kModuleFirst + i;
        item.text = names[static_cast<size_t>(i)];
        menu->children.push_back(std::move(item));
    }
}

// ---------------------------------------------------------------------------------------------

std::string NotEnoughMemoryMessage(int language)
{
    return Msg(language, "Not enough memory for this command.",
               "メモリが不足しているため、このコマンドを実行できません。");
}

}  // namespace velk
