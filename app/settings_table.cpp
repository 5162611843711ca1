#include "app/settings_table.h"

#include <algorithm>
#include <array>
#include <vector>

#include "base/settings_io.h"
#include "app/workspace.h"
#include "platform/numtext.h"
#include "platform/profile.h"

namespace velk {

namespace {

constexpr const char* G = "General";
constexpr const char* g = "general";

// Fix-ups.
float ZeroBecomes20(float, float r) { return r == 0.0f ? 20.0f : r; }
float ZeroBecomes1(float, float r) { return r == 0.0f ? 1.0f : r; }
int AxisKindFix(int, int r) { return r == 0 ? 1 : r; }
// "%f" stores a tiny vscale as 0.000000: a stored value <= 0 keeps the current one.
float PositiveOrKeep(float before, float r) { return r > 0.0f ? r : before; }
int CapacityFix(int before, int r) { return r >= 1 ? r : before; }
int ModuleCountFix(int, int r) { return std::clamp(r, 0, RegisteredModules::kMax); }

// Conditions.
bool KeptAxes(const Workspace& w)
{
    return w.settings.applyCurrentConfiguration == 1 && w.startup.acquisitionMode == 0;
}
bool InAcquisition(const Workspace& w) { return w.startup.acquisitionMode != 0; }
template <int I>
bool ModuleWritten(const Workspace& w)
{
    return I < w.modules.Count();
}

// Values written in place of the run's values.
int PlotDirectionToWrite(const Workspace& w)
{
    return w.acquisitionOverrides.margins ? w.acquisitionOverrides.plotDirection
                                          : w.settings.plotDirection;
}
int XOrgToWrite(const Workspace& w)
{
    return w.acquisitionOverrides.margins ? w.acquisitionOverrides.xOrg0 : w.settings.xOrg0;
}
int YOrgToWrite(const Workspace& w)
{
    return w.acquisitionOverrides.margins ? w.acquisitionOverrides.yOrg0 : w.settings.yOrg0;
}
int ModuleCountToWrite(const Workspace& w) { return w.modules.Count(); }

// Hooks.
void RecordLimitsHook(Workspace& w)
{
    int traces = w.settings.maxTraces;
    int samples = w.settings.maxSample;
    if (w.startup.acquisitionMode != 0) {
        CAcquisitionDevice::GetRecordLimits(samples, traces);
    }
    w.store.SetCapacity(traces, samples);
}
void UnitDefaultHook(Workspace& w)
{
    const bool km = w.settings.kmDisplay == 1;
    if (w.startup.feetShortMenu == 1) {
        w.settings.unitText = km ? "kft" : "ft";
    } else {
        w.settings.unitText = km ? "km" : "m";
    }
}
void AcquisitionMarginsHook(Workspace& w)
{
    if (w.startup.acquisitionMode != 0 && w.startup.instrumentMenu != 0) {
        w.acquisitionOverrides.margins = true;
        w.acquisitionOverrides.xOrg0 = w.settings.xOrg0;
        w.acquisitionOverrides.yOrg0 = w.settings.yOrg0;
        w.acquisitionOverrides.plotDirection = w.settings.plotDirection;
        w.settings.xOrg0 = 300;
        w.settings.yOrg0 = 200;
        w.settings.plotDirection = 0;
    }
}
void ResetInstrumentHook(Workspace& w)
{
    CAcquisitionDevice& d = w.acquisitionDevice;
    if (d.monitorRunning != 0 || d.armed != 0) {
        d.Disarm();
        d.RequestStop();
    }
}
void InstrumentSettingsHook(Workspace& w)
{
    if (w.startup.acquisitionMode != 0) {
        w.acquisitionDevice.SaveSettings(w.profile(), w.acquisitionManager ? w.acquisitionManager->lineIndex : -1);
    }
}

// Row builders.
SettingBinding IntRow(const char* key, const char* section, ReadWhen read, WritePhase write,
                      int order, int& (*ref)(Workspace&), const char* def)
{
    SettingBinding b{key, section, SettingType::Int, read, write, order};
    b.intRef = ref;
    b.defaultText = def;
    return b;
}
SettingBinding FloatRow(const char* key, const char* section, ReadWhen read, WritePhase write,
                        int order, float& (*ref)(Workspace&), const char* def)
{
    SettingBinding b{key, section, SettingType::Float, read, write, order};
    b.floatRef = ref;
    b.defaultText = def;
    return b;
}
SettingBinding StringRow(const char* key, const char* section, ReadWhen read, WritePhase write,
                         int order, std::string& (*ref)(Workspace&), const char* def)
{
    SettingBinding b{key, section, SettingType::String, read, write, order};
    b.stringRef = ref;
    b.defaultText = def;
    return b;
}
SettingBinding HookRow(const char* name, ReadWhen read, WritePhase write, int order,
                       void (*hook)(Workspace&))
{
    SettingBinding b{name, G, SettingType::Hook, read, write, order};
    b.hook = hook;
    return b;
}

SettingBinding With(SettingBinding b, int (*fix)(int, int))
{
    b.intFix = fix;
    return b;
}
SettingBinding With(SettingBinding b, float (*fix)(float, float))
{
    b.floatFix = fix;
    return b;
}
SettingBinding ReadIf(SettingBinding b, bool (*cond)(const Workspace&))
{
    b.readIf = cond;
    return b;
}
SettingBinding WriteIf(SettingBinding b, bool (*cond)(const Workspace&))
{
    b.writeIf = cond;
    return b;
}
SettingBinding WriteValue(SettingBinding b, int (*value)(const Workspace&))
{
    b.intToWrite = value;
    return b;
}

using RW = ReadWhen;
using WP = WritePhase;

#define REF_I(expr) [](Workspace& w) -> int& { return expr; }
#define REF_F(expr) [](Workspace& w) -> float& { return expr; }
#define REF_S(expr) [](Workspace& w) -> std::string& { return expr; }

std::vector<SettingBinding> BuildTable()
{
    std::vector<SettingBinding> t;
    // Automatic picking: every view construction; written by the view object.
    t.push_back(IntRow("PICKNCHECK", G, RW::EveryView, WP::ViewObject, 2, REF_I(w.autoPick.numberOfChecking), "1"));
    t.push_back(IntRow("PICKPORTION", G, RW::EveryView, WP::ViewObject, 3, REF_I(w.autoPick.portion), "8"));
    t.push_back(FloatRow("PICKFREQENCY", G, RW::EveryView, WP::ViewObject, 1, REF_F(w.autoPick.centreFrequency), "100.000000"));
    t.push_back(FloatRow("PICKNEAROFFSETLIMIT", G, RW::EveryView, WP::ViewObject, 4, REF_F(w.autoPick.nearOffsetLimit), "15.000000"));
    t.push_back(IntRow("PICKBPF", G, RW::EveryView, WP::ViewObject, 5, REF_I(w.autoPick.bandPass), "1"));
    // The geometry viewer's scales: read when the view is built, written when it goes.
    t.push_back(FloatRow("GEOMETRY_XSCALE", G, RW::Once, WP::ViewObject, 6, REF_F(w.display.geometryXScale), "20.000000"));
    t.push_back(FloatRow("GEOMETRY_YSCALE", G, RW::Once, WP::ViewObject, 7, REF_F(w.display.geometryYScale), "20.000000"));
    // Band-pass corners.
    t.push_back(FloatRow("BPFFL", G, RW::Once, WP::ViewSettings, 61, REF_F(w.settings.bpfLowCut), "1.000000"));
    t.push_back(FloatRow("BPFFH", G, RW::Once, WP::ViewSettings, 62, REF_F(w.settings.bpfHighCut), "5000.000000"));
    t.push_back(FloatRow("BPFSL", G, RW::Once, WP::ViewSettings, 63, REF_F(w.settings.bpfLowSlope), "20.000000"));
    t.push_back(FloatRow("BPFSH", G, RW::Once, WP::ViewSettings, 64, REF_F(w.settings.bpfHighSlope), "20.000000"));
    t.push_back(IntRow("MAX_X_SIZE", G, RW::Once, WP::ViewSettings, 70, REF_I(w.settings.maxXSize), "128000"));
    t.push_back(WriteValue(IntRow("PLOT_DIRECTION", G, RW::Once, WP::ViewSettings, 1, REF_I(w.settings.plotDirection), "0"), PlotDirectionToWrite));
    t.push_back(WriteValue(IntRow("XORG_0", G, RW::Once, WP::ViewSettings, 7, REF_I(w.settings.xOrg0), "300"), XOrgToWrite));
    t.push_back(WriteValue(IntRow("YORG_0", G, RW::Once, WP::ViewSettings, 8, REF_I(w.settings.yOrg0), "300"), YOrgToWrite));
    t.push_back(StringRow("csUnit", G, RW::Once, WP::ViewSettings, 9, REF_S(w.settings.amplitudeUnit), "V"));
    t.push_back(FloatRow("fAmplitudeConstant", G, RW::Once, WP::ViewSettings, 10, REF_F(w.settings.amplitudeConstant), "1.000000"));
    t.push_back(IntRow("ShowAmplitude", G, RW::Once, WP::ViewSettings, 11, REF_I(w.settings.showAmplitude), "0"));
    t.push_back(With(FloatRow("plotscale", G, RW::Once, WP::ViewSettings, 12, REF_F(w.store.Params().plotscale), "20.000000"), ZeroBecomes20));
    t.push_back(With(FloatRow("hscale", G, RW::Once, WP::ViewSettings, 13, REF_F(w.store.Params().hscale), "1.000000"), ZeroBecomes1));
    t.push_back(FloatRow("F_END", G, RW::Once, WP::ViewSettings, 15, REF_F(w.contour.endFrequency), "40.000000"));
    t.push_back(FloatRow("PV_END", G, RW::Once, WP::ViewSettings, 16, REF_F(w.contour.endVelocity), "0.500000"));
    t.push_back(FloatRow("PV_INTERVAL", G, RW::Once, WP::ViewSettings, 17, REF_F(w.contour.velocityInterval), "0.002500"));
    t.push_back(IntRow("PV_DIRECTION", G, RW::Once, WP::ViewSettings, 18, REF_I(w.contour.direction), "0"));
    t.push_back(FloatRow("MIGRATION_VELOCITY", G, RW::Once, WP::ViewSettings, 19, REF_F(w.modelling.migrationVelocity), "3.000000"));
    t.push_back(With(IntRow("MAXTRACES", G, RW::Once, WP::ViewSettings, 20, REF_I(w.settings.maxTraces), "128"), CapacityFix));
    t.push_back(With(IntRow("MAX_SAMPLE", G, RW::Once, WP::ViewSettings, 21, REF_I(w.settings.maxSample), "4100"), CapacityFix));
    t.push_back(HookRow("record limits", RW::Once, WP::None, -1, RecordLimitsHook));
    t.push_back(IntRow("MAX_WORK_GROUP_FILE", G, RW::Once, WP::ViewSettings, 22, REF_I(w.settings.maxWorkGroupFile), "1000"));
    t.push_back(StringRow("NordalisString", g, RW::Once, WP::ViewSettings, 27, REF_S(w.programPaths.nordalis), nullptr));
    t.push_back(StringRow("Quessil", g, RW::Once, WP::ViewSettings, 28, REF_S(w.programPaths.quessil), nullptr));
    t.push_back(StringRow("MandroveString", G, RW::Once, WP::ViewSettings, 29, REF_S(w.programPaths.mandrove), nullptr));
    t.push_back(StringRow("RostrelLocation", g, RW::Once, WP::ViewSettings, 30, REF_S(w.programPaths.rostrel), nullptr));
    t.push_back(IntRow("I_SENSE", G, RW::Once, WP::ViewSettings, 23, REF_I(w.settings.polarity), "1"));
    t.push_back(With(IntRow("parameter.i_vertical_axis", G, RW::Once, WP::ViewSettings, 24, REF_I(w.store.Params().verticalAxisKind), "1"), AxisKindFix));
    t.push_back(With(IntRow("parameter.i_horizontal_axis", G, RW::Once, WP::ViewSettings, 25, REF_I(w.store.Params().horizontalAxisKind), "1"), AxisKindFix));
    t.push_back(IntRow("I_FILE", G, RW::Once, WP::ViewSettings, 37, REF_I(w.fileGroup.fileType), "0"));
    t.push_back(StringRow("PREFIX0", G, RW::Once, WP::ViewSettings, 38, REF_S(w.fileGroup.prefix[0]), "file"));
    t.push_back(StringRow("PREFIX1", G, RW::Once, WP::ViewSettings, 39, REF_S(w.fileGroup.prefix[1]), "Tq"));
    t.push_back(StringRow("PREFIX2", G, RW::Once, WP::ViewSettings, 40, REF_S(w.fileGroup.prefix[2]), ""));
    t.push_back(StringRow("PREFIX3", G, RW::Once, WP::ViewSettings, 41, REF_S(w.fileGroup.prefix[3]), ""));
    t.push_back(StringRow("EXTENTION0", G, RW::Once, WP::ViewSettings, 42, REF_S(w.fileGroup.extension[0]), ".dat"));
    t.push_back(StringRow("EXTENTION1", G, RW::Once, WP::ViewSettings, 43, REF_S(w.fileGroup.extension[1]), "_qk.org"));
    t.push_back(StringRow("EXTENTION2", G, RW::Once, WP::ViewSettings, 44, REF_S(w.fileGroup.extension[2]), ".8hd"));
    t.push_back(StringRow("EXTENTION3", G, RW::Once, WP::ViewSettings, 45, REF_S(w.fileGroup.extension[3]), ".dat"));
    t.push_back(IntRow("NDIGITS0", G, RW::Once, WP::ViewSettings, 46, REF_I(w.fileGroup.digits[0]), "4"));
    t.push_back(IntRow("NDIGITS1", G, RW::Once, WP::ViewSettings, 47, REF_I(w.fileGroup.digits[1]), "3"));
    t.push_back(IntRow("NDIGITS2", G, RW::Once, WP::ViewSettings, 48, REF_I(w.fileGroup.digits[2]), "0"));
    t.push_back(IntRow("NDIGITS3", G, RW::Once, WP::ViewSettings, 49, REF_I(w.fileGroup.digits[3]), "0"));
    t.push_back(IntRow("i_km", G, RW::Once, WP::ViewSettings, 69, REF_I(w.settings.kmDisplay), "0"));
    t.push_back(HookRow("unit default", RW::Once, WP::None, -1, UnitDefaultHook));
    t.push_back(StringRow("UNIT", G, RW::Once, WP::ViewSettings, 50, REF_S(w.settings.unitText), nullptr));
    t.push_back(IntRow("ITriggerPlot", G, RW::Once, WP::ViewSettings, 52, REF_I(w.settings.triggerPlot), "1"));
    t.push_back(IntRow("i_plot_mode", G, RW::Once, WP::ViewSettings, 53, REF_I(w.settings.shading), "0"));
    t.push_back(IntRow("bApplyCurrentConfiguration", G, RW::Once, WP::ViewSettings, 55, REF_I(w.settings.applyCurrentConfiguration), "0"));
    t.push_back(IntRow("bApplyCurrentConfigurationDistance", G, RW::Once, WP::ViewSettings, 56, REF_I(w.settings.applyCurrentConfigurationDistance), "0"));
    t.push_back(ReadIf(FloatRow("xst", G, RW::Once, WP::ViewSettings, 57, REF_F(w.settings.xst), "0.000000"), KeptAxes));
    t.push_back(ReadIf(FloatRow("xe", G, RW::Once, WP::ViewSettings, 58, REF_F(w.settings.xe), "0.000000"), KeptAxes));
    t.push_back(ReadIf(FloatRow("xi", G, RW::Once, WP::ViewSettings, 59, REF_F(w.settings.xi), "0.000000"), KeptAxes));
    t.push_back(ReadIf(FloatRow("yi", G, RW::Once, WP::ViewSettings, 60, REF_F(w.settings.yi), "0.000000"), KeptAxes));
    t.push_back(With(ReadIf(FloatRow("vscale", G, RW::Once, WP::ViewSettings, 14, REF_F(w.store.Params().vscale), "0.010000"), KeptAxes), PositiveOrKeep));
    t.push_back(With(ReadIf(FloatRow("plotscale", G, RW::Once, WP::None, -1, REF_F(w.store.Params().plotscale), "20.000000"), KeptAxes), ZeroBecomes20));
    t.push_back(IntRow("NSkip", G, RW::Once, WP::ViewSettings, 51, REF_I(w.settings.nSkip), "1"));
    t.push_back(IntRow("ThreeComponentLabel", G, RW::Once, WP::ViewSettings, 67, REF_I(w.settings.threeComponentLabel), "0"));
    t.push_back(IntRow("bChangeDataLength", G, RW::Once, WP::ViewSettings, 68, REF_I(w.settings.changeDataLength), "0"));
    t.push_back(IntRow("iCoordinate", G, RW::Once, WP::None, -1, REF_I(w.settings.coordinateMode), "-1"));
    t.push_back(FloatRow("DepthMaxForDepthTravsformation", G, RW::Once, WP::ProgramEnd, 4, REF_F(w.modelling.depthMaxForDepthTransformation), "15.000000"));
    t.push_back(FloatRow("ReceiverInterval", G, RW::Once, WP::ProgramEnd, 1, REF_F(w.geometry.receiverInterval), "1.000000"));
    t.push_back(IntRow("bMoveReceivers", G, RW::Once, WP::ProgramEnd, 2, REF_I(w.geometry.moveReceivers), "1"));
    t.push_back(FloatRow("SourceInterval", G, RW::Once, WP::ProgramEnd, 3, REF_F(w.geometry.sourceInterval), "1.000000"));
    t.push_back(IntRow("bMedianFilter", G, RW::Once, WP::None, -1, REF_I(w.contour.medianFilter), "1"));
    t.push_back(IntRow("MinMaxPlot", G, RW::Once, WP::None, -1, REF_I(w.contour.minMaxPlot), "1"));
    t.push_back(HookRow("acquisition margins", RW::Once, WP::None, -1, AcquisitionMarginsHook));
    // Registered modules: read by the frame and by the view; written back here.
    t.push_back(WriteValue(With(IntRow("NModule", g, RW::Once, WP::ViewSettings, 26, REF_I(w.modules.count), "0"), ModuleCountFix), ModuleCountToWrite));
    t.push_back(WriteIf(StringRow("Module0", g, RW::Once, WP::ViewSettings, 31, REF_S(w.modules.names[0]), "module 0"), ModuleWritten<0>));
    t.push_back(WriteIf(StringRow("Module1", g, RW::Once, WP::ViewSettings, 32, REF_S(w.modules.names[1]), "module 1"), ModuleWritten<1>));
    t.push_back(WriteIf(StringRow("Module2", g, RW::Once, WP::ViewSettings, 33, REF_S(w.modules.names[2]), "module 2"), ModuleWritten<2>));
    t.push_back(WriteIf(StringRow("Module3", g, RW::Once, WP::ViewSettings, 34, REF_S(w.modules.names[3]), "module 3"), ModuleWritten<3>));
    t.push_back(WriteIf(StringRow("Module4", g, RW::Once, WP::ViewSettings, 35, REF_S(w.modules.names[4]), "module 4"), ModuleWritten<4>));
    t.push_back(WriteIf(StringRow("Module5", g, RW::Once, WP::ViewSettings, 36, REF_S(w.modules.names[5]), "module 5"), ModuleWritten<5>));
    // The keep-axes flags are read once more, last, after the store is allocated.
    t.push_back(IntRow("bApplyCurrentConfiguration", G, RW::Late, WP::None, -1, REF_I(w.settings.applyCurrentConfiguration), "0"));
    t.push_back(IntRow("bApplyCurrentConfigurationDistance", G, RW::Late, WP::None, -1, REF_I(w.settings.applyCurrentConfigurationDistance), "0"));
    // Written only: read by the shell (language, menus, frame) or the acquisition start-up.
    t.push_back(HookRow("reset instrument", RW::Never, WP::ViewSettings, 0, ResetInstrumentHook));
    t.push_back(IntRow("WindowX", g, RW::Never, WP::ViewSettings, 2, REF_I(w.frame.x), "110"));
    t.push_back(IntRow("WindowY", g, RW::Never, WP::ViewSettings, 3, REF_I(w.frame.y), "138"));
    t.push_back(IntRow("WindowW", g, RW::Never, WP::ViewSettings, 4, REF_I(w.frame.width), "768"));
    t.push_back(IntRow("WindowH", g, RW::Never, WP::ViewSettings, 5, REF_I(w.frame.height), "537"));
    t.push_back(IntRow("Language", G, RW::Never, WP::ViewSettings, 6, REF_I(w.startup.language), nullptr));
    t.push_back(IntRow("COMPLETEMENU", G, RW::Never, WP::ViewSettings, 54, REF_I(w.startup.fullMenu), nullptr));
    t.push_back(HookRow("instrument settings", RW::Never, WP::ViewSettings, 65, InstrumentSettingsHook));
    t.push_back(WriteIf(IntRow("QKWMenu", G, RW::Never, WP::ViewSettings, 66, REF_I(w.startup.qkwMenu), nullptr), InAcquisition));
    return t;
}

#undef REF_I
#undef REF_F
#undef REF_S

}  // namespace

std::span<const SettingBinding> SettingsTable()
{
    static const std::vector<SettingBinding> table = BuildTable();
    return table;
}

namespace {

void ReadRow(const SettingBinding& row, Workspace& ws)
{
    if (row.readIf && !row.readIf(ws)) {
        return;
    }
    const Profile& p = ws.profile();
    switch (row.type) {
    case SettingType::Hook:
        row.hook(ws);
        break;
    case SettingType::Int: {
        int& v = row.intRef(ws);
        int read = v;
        if (ReadSettingInt(p, row.section, row.key, read)) {
            v = row.intFix ? row.intFix(v, read) : read;
        }
        break;
    }
    case SettingType::Float: {
        float& v = row.floatRef(ws);
        float read = v;
        if (ReadSettingFloat(p, row.section, row.key, read)) {
            v = row.floatFix ? row.floatFix(v, read) : read;
        }
        break;
    }
    case SettingType::String:
        ReadSettingString(p, row.section, row.key, row.stringRef(ws));
        break;
    }
}

void WriteRow(const SettingBinding& row, Workspace& ws)
{
    if (row.writeIf && !row.writeIf(ws)) {
        return;
    }
    Profile& p = ws.profile();
    switch (row.type) {
    case SettingType::Hook:
        row.hook(ws);
        break;
    case SettingType::Int:
        WriteSettingInt(p, row.section, row.key,
                        row.intToWrite ? row.intToWrite(ws) : row.intRef(ws));
        break;
    case SettingType::Float:
        WriteSettingFloat(p, row.section, row.key, row.floatRef(ws));
        break;
    case SettingType::String:
        WriteSettingString(p, row.section, row.key, row.stringRef(ws));
        break;
    }
}

}  // namespace

void ReadSettingsTable(Workspace& ws, bool firstView)
{
    for (const SettingBinding& row : SettingsTable()) {
        if (row.read == ReadWhen::EveryView || (firstView && row.read == ReadWhen::Once)) {
            ReadRow(row, ws);
        }
    }
}

void ReadLateSettings(Workspace& ws)
{
    for (const SettingBinding& row : SettingsTable()) {
        if (row.read == ReadWhen::Late) {
            ReadRow(row, ws);
        }
    }
}

void WriteSettingsTable(Workspace& ws, WritePhase phase)
{
    std::vector<const SettingBinding*> rows;
    for (const SettingBinding& row : SettingsTable()) {
        if (row.write == phase) {
            rows.push_back(&row);
        }
    }
    std::stable_sort(rows.begin(), rows.end(), [](const SettingBinding* a, const SettingBinding* b) {
        return a->writeOrder < b->writeOrder;
    });
    Profile::Batch batch(ws.profile());
    for (const SettingBinding* row : rows) {
        WriteRow(*row, ws);
    }
}

std::string SettingValueText(const SettingBinding& row, Workspace& ws)
{
    switch (row.type) {
    case SettingType::Int:
        return FormatC("%d", row.intRef(ws));
    case SettingType::Float:
        return FormatC("%f", static_cast<double>(row.floatRef(ws)));
    case SettingType::String:
        return row.stringRef(ws);
    case SettingType::Hook:
        break;
    }
    return {};
}

}  // namespace velk
