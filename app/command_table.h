#pragma once
// The one table of commands from which both menu bars (English and Japanese), the three menu
// resources and the toolbar are built, and through which the shell runs a command.
//
// A row says where a command sits (its menu and its place there), its two texts, the menu
// resources it belongs to, whether it has a toolbar button, which rule enables it and which
// rule checks it, and what it does. Menus and submenus are rows of their own (MenuDef). Every
// later feature adds its rows with both texts; nothing here knows the window toolkit.
//
// Command ids: the ids a stored resource or a registered module relies on keep their values
// (module items 61446..61451; such ids lie in 32768..65535); every other id comes from the
// free range 20000..29999, allocated here by feature.
//
// Ranges of the features that keep their ids beside their commands:
//   24000..24199  view core, store commands (app/view/view_commands.h); rules 1000..1199
//   25600..25799  F-K, median and tau-p velocity filters, old FFT
//                 (app/dsp/velocity_filter_commands.h); rules 2560..2579
//   21400..21419  memory-recorder files and key files (app/formats/memory_recorder_commands.h)
//   21420..21459  text and binary imports and exports (app/formats/text_import_commands.h); rule 2140
//   26000..26199  deconvolution, re-sampling and interpolation (app/dsp/deconvolution_commands.h,
//                 app/dsp/resampling_commands.h)
//   25000..25199  correlation, convolution and stacking (app/dsp/correlation_commands.h); rules
//                 2500..2519
//   25200..25399  gain, notch and wavelet commands (app/dsp/gain_commands.h)
//   25800..25999  trace editing, NMO and the waveform generators (app/dsp/trace_edit_menu.h);
//                 rules 2580..2599
//   27100..27199  edit modes of the mouse (app/view/edit_mode_commands.h); rules 2720..2739
//   27000..27099  first-arrival and amplitude picking, pick files (app/picking/pick_commands.h);
//                 rules 2700..2719
//   27400..27499  printing, the clipboard copy, the component choice and the earthquake view
//                 (app/view/print_view_commands.h); rules 2780..2799
//   27520..27599  theoretical traveltimes, their fits and the synthetic models
//                 (app/traveltime/theoretical_commands.h, app/traveltime/model_commands.h);
//                 rules 2810..2829
//   27500..27519  automatic first-break picking (app/picking/auto_picking.h); rules 2800..2809
//   28500..28599  synthetic records, the velocity model and ray tracing, earthquake simulation
//                 files (app/traveltime/modelling_commands.h); rules 2830..2849
//   28600..28699  acoustic finite differences and the migrations
//                 (app/traveltime/migration_commands.h; the resource id 33006 kept); rules 2850..2869
//   27200..27299  interactive trace editing: shifts, selection, display factors, the
//                 header, source and geometry editors (app/view/interactive_edit.h); rules 2740..2759
//   29000..29099  the instrument and its record operations (app/acquisition/); rules 3100..3119
//   29100..29199  the record cycle and the acquisition screen (app/acquisition/acquisition_menu.h;
//                 the menu's ids 33170, 33171, 33174 and 33175 kept); rules 3120..3139
//   29400..29599  the rest of the acquisition menu: settings, geometry, a new line, continuous
//                 measurement, the noise log, the MO drive (app/acquisition/acquisition_menu_commands.h;
//                 the menu's ids 33193, 33199..33203, 33211, 33213, 33247, 33306..33308 kept);
//                 rules 3170..3189
//   29600..29799  disk and archiving (app/acquisition/disk_commands.h; reached through the
//                 acquisition menu's "Disk" and the F4 key, none of its own); rules 3190..3209
//   28100..28199  modules, the time-frequency export and the old 8-header conversion
//                 (app/survey/exchange_commands.h; the resource ids 33096, 33097, 33099, 33112
//                 and 33135 kept); rules 3020..3039
//   28400..28499  batch processing, the appends and automatic processing on the timer
//                 (app/survey/batch_commands.h, app/survey/automatic_processing.h); rules 3080..3099
//   28000..28099  file lists of the "Group (File list)" menu (app/survey/file_list_commands.h);
//                 rules 3000..3019
//   28200..28249  the survey-line XML document (read and written through the file-list
//                 commands; none of its own yet); rules 3040..3049
//   28250..28399  gathers and group commands of the "Group (File list)" menu
//                 (app/survey/group_commands.h), the key-file writers
//                 (app/formats/key_file_commands.h); rules 3050..3079
//   28700..28799  phase velocity-frequency images, phase-velocity picking and curves
//                 (app/surfacewave/phase_velocity_commands.h); rules 2870..2889
//   28800..28899  tau-p velocity analysis (app/surfacewave/taup_commands.h), dispersion along a line
//                 (app/surfacewave/cmp_commands.h), trace-pair phase velocities
//                 (app/surfacewave/trace_pair_commands.h, 28850..); rules 2890..2909
//   28900..28999  SPAC, coherence, trace pairs, microtremor-array geometry and synthetic array
//                 data (app/surfacewave/spac_commands.h); rules 2910..2929

#include <array>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace velk {

class Workspace;
class UiHost;
class CVelkarineDoc;
class RecentFileList;
class ViewSurface;
class FrameServices;

// ---------------------------------------------------------------------------------------------
// Menu resources

enum MenuResource : int {
    kMenuDefault = 128,       // Japanese, or English without the two flags below
    kMenuShortEnglish = 285,  // English with feet units and the short menu
    kMenuFullEnglish = 297,   // English in acquisition mode or with COMPLETEMENU
};

// Which menu resources a row belongs to.
enum MenuSet : unsigned {
    kIn128 = 1u,
    kIn285 = 2u,
    kIn297 = 4u,
    kInFullMenus = kIn128 | kIn297,
    kInAllMenus = kIn128 | kIn285 | kIn297,
};
unsigned MenuBit(int resource);  // 0 for an unknown resource

// ---------------------------------------------------------------------------------------------
// Command ids

namespace cmd {
constexpr int kFreeRangeFirst = 20000;
constexpr int kFreeRangeLast = 29999;

// File, Help and the operations holder's test command.
constexpr int kFileNew = 20001;
constexpr int kFileOpen = 20002;
constexpr int kFileSave = 20003;
constexpr int kFileSaveAs = 20004;
constexpr int kFileRecentPlaceholder = 20010;  // the disabled "Recent file" item
constexpr int kFileRecent1 = 20011;  // .. kFileRecent1 + kRecentFileCount - 1
constexpr int kAppExit = 20020;
constexpr int kAppAbout = 20030;
constexpr int kOperationsTest = 20040;

// Module items: fixed, RunModule looks them up by id.
constexpr int kModuleFirst = 61446;
constexpr int kModuleCount = 6;
}  // namespace cmd

constexpr int kRecentFileCount = 4;

// ---------------------------------------------------------------------------------------------
// Rules: enable and check predicates by id. Ids are fixed so that rows can name them before
// the rule itself is registered.

enum RuleId : int {
    kRuleNone = -1,         // as a check rule: the item is not checkable
    kRuleAlways = 0,        // always enabled
    kRuleTracesLoaded = 1,  // traces are loaded
    kRuleTimeDomain = 2,    // traces are loaded and hold time-domain data
    kRuleRecentFiles = 3,   // the recent-file list is not empty
    // Later features add their ids after these.
};

// ---------------------------------------------------------------------------------------------
// What a command gets to work with. view and frame may be null (headless runs, tests).

struct CommandContext {
    Workspace& ws;
    UiHost& ui;
    CVelkarineDoc& doc;
    RecentFileList& recent;
    ViewSurface* view = nullptr;
    FrameServices* frame = nullptr;
};

// A command's result: 1 repaints the view once, anything else leaves it alone.
using CommandAction = std::function<int(CommandContext&)>;
using CommandRule = std::function<bool(const Workspace&, const RecentFileList&)>;

enum class ItemKind {
    Command,      // an ordinary item
    Check,        // a check item (its check rule decides)
    Radio,        // one of a radio group (its check rule decides)
    Separator,    // a line; id 0
    RecentFiles,  // where the recent-file items go (a disabled "Recent file" while empty)
};

struct MenuDef {
    std::string key;     // "file", "option.construction"
    std::string parent;  // "" for a top-level menu
    std::string english;
    std::string japanese;
    unsigned menus = kInAllMenus;
    double order = 0;  // place among the parent's items and submenus
};

struct CommandRow {
    int id = 0;
    std::string menu;  // key of the menu it sits in
    std::string english;
    std::string japanese;
    unsigned menus = kInAllMenus;
    double order = 0;
    ItemKind kind = ItemKind::Command;
    int enableRule = kRuleAlways;
    int checkRule = kRuleNone;
    std::string accelerator;  // "Ctrl+O"; shown after a tab
    int toolbar = 0;          // 0: no button; else its place (tens group buttons)
    std::string icon;         // toolbar art key ("new", "open", ...)
    CommandAction action;     // empty: the shell handles the id itself
    // The status-bar prompt while the item is highlighted (optional), in both languages.
    std::string promptEnglish;
    std::string promptJapanese;
};

// ---------------------------------------------------------------------------------------------
// The menu model built from the table: plain structs the shell turns into its menus.

struct MenuNode {
    enum class Kind { Item, Separator, Submenu, RecentFiles };
    Kind kind = Kind::Item;
    int id = 0;
    ItemKind itemKind = ItemKind::Command;
    std::string key;   // submenus: the menu key
    std::string text;  // label in the chosen language, accelerator after a tab
    std::string help;  // items: the status-bar prompt in the chosen language, or empty
    std::vector<MenuNode> children;
};

struct MenuBarModel {
    int resource = kMenuDefault;
    std::vector<MenuNode> menus;  // top-level menus (Kind::Submenu)

    MenuNode* Find(const std::string& key);
    const MenuNode* Find(const std::string& key) const;
    std::vector<std::string> TopLevelTexts() const;
};

struct ToolbarButton {
    int id = 0;  // 0 for a separator
    std::string icon;
    std::string tip;  // the label without '&' and accelerator
};

// A row with its place, both texts, the action, the enable rule and, for check and radio items,
// the kind and the check rule; callers set any further field (menus, accelerator, toolbar) on the
// result.
CommandRow MakeRow(int id, std::string menu, double order, std::string english, std::string japanese,
                   CommandAction action, int enableRule = kRuleAlways, ItemKind kind = ItemKind::Command,
                   int checkRule = kRuleNone);
// A separator line at a place of a menu.
CommandRow SeparatorRow(std::string menu, double order, unsigned menus = kInAllMenus);

class CommandTable {
public:
    void AddMenu(MenuDef menu);
    // AddMenu unless a menu with the key exists (a submenu several features put items in).
    void AddMenuIfMissing(MenuDef menu);
    // Both refuse an id given twice (std::invalid_argument).
    void Add(CommandRow row);
    // A plain command row: its menu and place, both texts, the action and the enable rule.
    void Add(int id, std::string menu, double order, std::string english, std::string japanese,
             CommandAction action, int enableRule);
    void SetRule(int ruleId, CommandRule rule);

    const CommandRow* Find(int id) const;
    const std::vector<CommandRow>& Rows() const { return rows_; }
    const std::vector<MenuDef>& Menus() const { return menus_; }
    bool HasRule(int ruleId) const { return rules_.count(ruleId) != 0; }

    // Rules: an id without a registered rule counts as true, so a row never locks itself out
    // by naming a rule that a later feature has not registered yet.
    bool IsEnabled(int id, const Workspace& ws, const RecentFileList& recent) const;
    bool IsChecked(int id, const Workspace& ws, const RecentFileList& recent) const;

    // The menu bar of a resource, its texts Japanese when the language is Japanese (1) and
    // English otherwise. Menus and items are in `order`; an item keeps the order of adding
    // among equals.
    MenuBarModel BuildMenuBar(int resource, int language) const;
    // The buttons of a toolbar resource in place order, separators between the tens groups.
    std::vector<ToolbarButton> BuildToolbar(int resource, int language) const;

private:
    std::vector<MenuDef> menus_;
    std::vector<CommandRow> rows_;
    std::map<int, CommandRule> rules_;
};

// Text helpers.
std::string PickText(int language, const std::string& english, const std::string& japanese);
std::string StripMnemonic(const std::string& label);  // "&Open...\tCtrl+O" -> "Open..."

// ---------------------------------------------------------------------------------------------
// Frame-creation steps on the model.

// The full menus (more than ten top-level menus) lose the acquisition shortcut menus: in
// normal mode both "Refraction analysis" and "Data acquisition", in acquisition mode only
// "Refraction analysis". Returns whether the model was a full menu.
bool PruneFullMenus(MenuBarModel& model, bool acquisitionMode);
// Appends one item per registered module to the "Module" menu (found by its key), nModule
// clamped to 0..6, ids 61446.. in order, labels from `names`. No Module menu: nothing.
void AddModuleItems(MenuBarModel& model, int nModule,
                    const std::array<std::string, cmd::kModuleCount>& names);

// ---------------------------------------------------------------------------------------------
// Running a command from the shell: the enable rule is asked first; allocation failure becomes
// "Not enough memory for this command." (the data stays as the command found it); a result of
// 1 repaints the view once. Returns the command's result, or 0 when it did not run.

int RunCommand(const CommandTable& table, int id, CommandContext& ctx);

// The message a command that ran out of memory shows.
std::string NotEnoughMemoryMessage(int language);

// ---------------------------------------------------------------------------------------------
// The table of the whole program: menus, the rows of every feature, the rules.

CommandTable BuildCommandTable();

// The shell's own rows and menus (File, Help, Option > Under construction > test, the
// top-level menus). Part of BuildCommandTable.
void AddShellCommands(CommandTable& table);

}  // namespace velk
