#pragma once
// The settings key table: one row per key (and per hook that runs between keys), in the order
// the view reads them. The same rows give the order of the write-back at view destruction
// (writeOrder) and the keys the view object and the end of the program write.

#include <span>
#include <string>

namespace velk {

class Workspace;

enum class SettingType { Int, Float, String, Hook };

// When a row is read by InitForView.
enum class ReadWhen {
    Never,       // written only (read by the shell or nobody)
    Once,        // first view construction of the run
    EveryView,   // every view construction (automatic-picking keys)
    Late,        // first view construction, after the store is allocated
};

// Who writes a row.
enum class WritePhase {
    None,
    ViewSettings,  // SaveViewSettings, in writeOrder
    ViewObject,    // ReleaseView (the view object's destructor)
    ProgramEnd,    // SaveProgramEndSettings (geometry keys)
};

struct SettingBinding {
    const char* key;        // profile key; for hooks a name for diagnostics
    const char* section;    // "General" or "general"
    SettingType type;
    ReadWhen read;
    WritePhase write;
    int writeOrder;         // place in its phase's writing order
    // The variable (one of them, by type).
    int& (*intRef)(Workspace&) = nullptr;
    float& (*floatRef)(Workspace&) = nullptr;
    std::string& (*stringRef)(Workspace&) = nullptr;
    // The default as text ("%d", "%f" or the string); nullptr when computed or "current".
    const char* defaultText = nullptr;
    // Fix-ups from the value before the read and the value read to the value kept.
    int (*intFix)(int before, int read) = nullptr;
    float (*floatFix)(float before, float read) = nullptr;
    // Conditions (nullptr = always).
    bool (*readIf)(const Workspace&) = nullptr;
    bool (*writeIf)(const Workspace&) = nullptr;
    // Value to write instead of the variable (acquisition overrides, clamps).
    int (*intToWrite)(const Workspace&) = nullptr;
    // Hook rows: what runs at this place of the reading or writing order.
    void (*hook)(Workspace&) = nullptr;
};

// The table, in reading order.
std::span<const SettingBinding> SettingsTable();

// Reads every row whose read rule matches (`firstView`: Once rows too), in table order, with
// its condition and fix-up. Hooks with ReadWhen run at their place.
void ReadSettingsTable(Workspace& ws, bool firstView);
// Reads the Late rows (first view construction, after the store is allocated).
void ReadLateSettings(Workspace& ws);
// Writes the rows of one phase in writeOrder (equal orders in table order). Hooks
// with this phase run at their place. The writes are grouped into one file write.
void WriteSettingsTable(Workspace& ws, WritePhase phase);

// The variable of a row as text ("%d", "%f", the string): what a fresh profile must give.
std::string SettingValueText(const SettingBinding& row, Workspace& ws);

}  // namespace velk
