#pragma once
// The commands that hand the record to programs outside ours: registered modules, the
// time-frequency export for the viewer Nordalis, and the old 8-header files that the
// converter Kelvarn turns into the current layout; and how every command starts a sibling.

#include <string>

#include "app/command_table.h"
#include "app/record_arrival.h"
#include "survey/sibling_launch.h"

namespace velk {

namespace cmd {
// Ids the menu resources gave these commands keep their values.
constexpr int kExecutableModule = 33096;
constexpr int kModuleRegistration = 33097;
constexpr int kDeleteModule = 33099;
constexpr int kOpenOld8HeaderFile = 33112;
constexpr int kConvertOld8HeaderFiles = 33135;
// Ids 28100..28199.
constexpr int kOptionWfft = 28100;
}  // namespace cmd

// Rules 3020..3039.
enum ExchangeRuleId : int {
    kRuleModuleRegistered = 3020,  // at least one module is registered
};

// What a sibling's start needs of the workspace: the user, the launcher, the working folder
// (where the child runs) and the language.
LaunchServices LaunchServicesOf(Workspace& ws, UiHost& ui);

// The sleep of a command that paces or polls a child (the workspace's, else the thread's).
void SleepFor(Workspace& ws, int milliseconds);

// ---- Registered modules

// Runs the executable at `path` as a module on the current record: the record goes out as
// tmp_header.txt and tmp.txt in the working folder, the module starts there with
// " %d %d %f ", "Wait till the module is completed ! " waits for the user, and the files
// come back as the new record (after an undo snapshot). A failed start or output that cannot
// be read leaves the store and the undo levels as they were. Both files are deleted in every
// case. Returns 1 when the record was replaced.
int RunModule(Workspace& ws, UiHost& ui, const std::string& path);
// RunModule from a command: the module's output goes through AfterRecordReplaced.
int RunModuleCommand(CommandContext& ctx, const std::string& path);

// "Executable module": picks an executable and runs it once.
int OnExecutableModule(CommandContext& ctx);
// "Module registration": picks an executable and registers it as the next module item;
// "No more module can be registered !" when six are.
int OnModuleRegistration(CommandContext& ctx);
// "Delete module": removes the last registered module.
int OnDeleteModule(CommandContext& ctx);

// ---- Time-frequency export

// "WFFT": the selected traces' panels into the exchange file, then Nordalis.
int OnOptionWfft(Workspace& ws, UiHost& ui);

// ---- Old 8-header files

// "Open old 8header file": converts the chosen file and reads the converter's output as the
// new record. Returns 1 when the record was replaced.
int OnOpenOld8HeaderFile(CommandContext& ctx);
// "Convert old 8hd files to new one": converts the chosen files into "_new.8hd" files.
int OnConvertOld8HeaderFiles(CommandContext& ctx);

// The rows of the commands above.
void AddExchangeCommands(CommandTable& table);

}  // namespace velk
