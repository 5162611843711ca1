// Registered modules: the exchange of the record through two text files and the three
// commands of the "Module" menu besides the module items.

#include <algorithm>
#include <cstdio>
#include <thread>

#include "app/formats/load_setup.h"
#include "app/record_arrival.h"
#include "app/shell_services.h"
#include "app/survey/exchange_commands.h"
#include "app/workspace.h"
#include "platform/atomic_file.h"
#include "platform/byte_io.h"
#include "platform/language.h"
#include "platform/numtext.h"
#include "platform/paths.h"
#include "platform/uihost.h"
#include "survey/module_exchange.h"

namespace velk {

namespace {

bool WriteTextFile(const std::string& path, const std::string& text)
{
    AtomicFileWriter file(path);
    return file.Write(text) && file.Commit();
}

bool ReadTextFile(const std::string& path, std::string& text)
{
    ByteSource file = ByteSource::FromFile(path);
    if (!file.Ok()) return false;
    text.resize(static_cast<size_t>(file.Size()));
    return file.ReadBytes(text.data(), text.size()) == text.size();
}

FileRequest ExecutablePicker()
{
    FileRequest request;
    request.filters = {{"All files(*)", "*"}};
    return request;
}

// The module's output is the record now: the store after the snapshot, then the values the
// display recomputes.
void TakeModuleOutput(Workspace& ws, UiHost& ui, const ModuleOutput& out)
{
    WaveformStore& store = ws.store;
    CParameterSet& p = store.Params();
    BeforeRecordReplaced(ws);
    store.PushUndo();
    const int traces = std::min(out.traces, store.MaxTraces());
    for (int i = 0; i < traces; ++i) {
        store.current.headers[static_cast<size_t>(i)] = out.headers[static_cast<size_t>(i)];
        const std::span<float> row = store.current.rows.Row(i);
        const size_t n = std::min(static_cast<size_t>(out.samples), row.size());
        std::copy_n(out.values.begin() + static_cast<std::ptrdiff_t>(static_cast<size_t>(i) * out.samples), n, row.begin());
        std::fill(row.begin() + static_cast<std::ptrdiff_t>(n), row.end(), 0.0f);
    }
    p.traceCount = traces;
    p.samplesPerTrace = out.samples;
    p.sampleInterval = out.intervalMs;

    WidenReceiverRange(ws, traces, 100000.0f, -100000.0f);
    store.ComputeTraceMaxima();
    std::fill(store.displayFactor.begin(), store.displayFactor.end(), 1.0f);
    store.dataKind() = kTimeDomain;
    p.shownTime = static_cast<float>(store.TraceSamples(0)) * p.sampleInterval;
    ui.Message(FormatC("%f %f", 0.0, static_cast<double>(p.shownTime)));
    p.samplesShown = p.samplesPerTrace;
    p.tracesShown = traces;
    if (p.sampleInterval < 0.02f) {
        p.plotscale = 100.0f;
        p.hscale = 50.0f;
    }
}

}  // namespace

LaunchServices LaunchServicesOf(Workspace& ws, UiHost& ui)
{
    return LaunchServices{ui, *ws.launcher, ws.workingFolder.empty() ? WorkingFolder() : ws.workingFolder,
                          ws.startup.language};
}

void SleepFor(Workspace& ws, int milliseconds)
{
    if (ws.sleep) {
        ws.sleep(milliseconds);
    } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
}

int RunModule(Workspace& ws, UiHost& ui, const std::string& path)
{
    WaveformStore& store = ws.store;
    if (!store.IsAllocated()) return 0;
    const int language = ws.startup.language;
    const CParameterSet& p = store.Params();
    const int traces = store.TraceCount();
    const int samples = std::clamp(p.samplesPerTrace, 0, store.RowLength());
    const std::string folder = ws.workingFolder.empty() ? WorkingFolder() : ws.workingFolder;
    const std::string headerPath = folder + "/" + kModuleHeaderFile;
    const std::string dataPath = folder + "/" + kModuleDataFile;
    auto removeFiles = [&] {
        std::remove(headerPath.c_str());
        std::remove(dataPath.c_str());
    };
    const std::span<const CTraceHeader> headers(store.current.headers);
    if (!WriteTextFile(headerPath, ModuleHeaderText(traces, samples, p.sampleInterval, headers)) ||
        !WriteTextFile(dataPath, ModuleDataText(store.current.rows, traces, samples))) {
        removeFiles();
        ui.Message(Msg(language, "Cannot write the exchange files of the module.",
                       "モジュールとの交換ファイルを書けません。"),
                   MsgButtons::Ok, MsgIcon::Error);
        return 0;
    }
    const SpawnResult started = ws.launcher->Spawn(path, ModuleCommandLine(traces, samples, p.sampleInterval).args, folder);
    if (!started.Ok()) {
        removeFiles();
        ui.Message(started.error, MsgButtons::Ok, MsgIcon::Error);
        return 0;
    }
    ui.Message(Msg(language, "Wait till the module is completed ! ", "モジュールが終了するまで待ってください ! "));

    std::string headerText, dataText;
    ModuleOutput out;
    const bool read = ReadTextFile(headerPath, headerText) && ReadTextFile(dataPath, dataText) &&
                      ReadModuleOutput(headerText, dataText, store.MaxTraces(), store.MaxSample(), out);
    removeFiles();
    if (!read) {
        ui.Message(Msg(language, "The output of the module could not be read.", "モジュールの出力を読めませんでした。"),
                   MsgButtons::Ok, MsgIcon::Error);
        return 0;
    }
    TakeModuleOutput(ws, ui, out);
    return 1;
}

int RunModuleCommand(CommandContext& ctx, const std::string& path)
{
    const int done = RunModule(ctx.ws, ctx.ui, path);
    if (done == 1) AfterRecordReplaced(ctx, ShotArrival());
    return done;
}

int OnExecutableModule(CommandContext& ctx)
{
    const std::optional<std::string> path = ctx.ui.OpenFile(ExecutablePicker());
    if (!path) return 0;
    return RunModuleCommand(ctx, *path);
}

int OnModuleRegistration(CommandContext& ctx)
{
    RegisteredModules& modules = ctx.ws.modules;
    if (modules.Count() >= RegisteredModules::kMax) {
        ctx.ui.Message(Msg(ctx.ws.startup.language, "No more module can be registered !",
                           "これ以上モジュールを登録できません !"));
        return 0;
    }
    const std::optional<std::string> path = ctx.ui.OpenFile(ExecutablePicker());
    if (!path) return 0;
    modules.Register(*path);
    if (ctx.frame) ctx.frame->ModulesChanged();
    return 0;
}

int OnDeleteModule(CommandContext& ctx)
{
    if (ctx.ws.modules.DeleteLast() && ctx.frame) ctx.frame->ModulesChanged();
    return 0;
}

}  // namespace velk
