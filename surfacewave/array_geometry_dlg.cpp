#include "surfacewave/array_geometry_dlg.h"

#include <vector>

#include "platform/language.h"
#include "surfacewave/mam_geometry.h"

namespace velk {

DialogRequest CArrayGeometryDlg::Request(int language, CMamGeometry& target, UiHost& ui,
                                         const ArrayDialogSource& source)
{
    const char* unit = source.km ? "km" : "m";
    DialogRequest r(kClass, kTitle);
    r.Choice(kArray, geometry,
             std::vector<std::string>(CMamGeometry::kPresetNames.begin(), CMamGeometry::kPresetNames.end()))
        .Label(Msg(language, "Array", "アレイ"));
    r.Float(kArraySize, arraySize, 0.0, source.km ? 1000.0 : 1000000.0)
        .Label(Msg(language, kArraySize, "アレイサイズ =")).Unit(unit);
    r.Float(kAngle, angle, 0.0, 180.0).Label(Msg(language, kAngle, "角度=")).Unit(Msg(language, "degrees", "度"));
    r.Int(kReceivers, receivers).Label(Msg(language, kReceivers, "受振器の数 ="));
    r.Float(kSpacing, spacing, 0.0, source.km ? 100000.0 : 100000000.0)
        .Label(Msg(language, kSpacing, "受振器間隔 =")).Unit(unit);
    r.Bool(kReverse, reverse).Label(Msg(language, kReverse, "ケーブルの向きを反転"));
    r.Int(kStartChannel, startChannel)
        .Label(Msg(language, kStartChannel, "開始チャンネル ="))
        .Unit(Msg(language, "(channel number starts at 0)", "(チャンネル番号は0から)"));
    r.String(kUnused, unused).Label(Msg(language, kUnused, "使用しないチャンネル (空白またはカンマ区切り) ="));
    r.String(kFileName, fileName).Label(Msg(language, "Data storage", "データの保存先")).ReadOnly();
    r.String(kFolder, folder).Label(" ").ReadOnly();

    const int traces = source.traceCount;
    const std::span<const CTraceHeader> headers = source.headers;
    r.AddButton(
        kOpenArrayFile,
        [&target, &ui, language, traces, headers](DialogRequest& req) {
            FileRequest f;
            f.filters = {{"Array file(*.*)", "*.*"}};
            const std::optional<std::string> path = ui.OpenFile(f);
            if (!path) return;
            if (target.ReadReceiverLocations(traces, headers, *path, ui, language) > 1) {
                if (DialogField* field = req.Find(kArray)) field->SetInt(CMamGeometry::kManualArray);
            }
        },
        Msg(language, kOpenArrayFile, "アレイファイルを開く"));
    r.AddButton(
        kSaveArrayFile,
        [&target, &ui, language, traces](DialogRequest&) {
            FileRequest f;
            f.filters = {{"Array file(*.*)", "*.*"}};
            const std::optional<std::string> path = ui.SaveFile(f);
            if (!path) return;
            if (!CMamGeometry::WriteReceiverLocations(traces, target.receivers, *path)) {
                ui.Message(Msg(language, "Cannot open the file", "ファイルを開けません") + "\n\n" + *path,
                           MsgButtons::Ok, MsgIcon::Error);
            }
        },
        Msg(language, kSaveArrayFile, "アレイファイルを保存"));
    return r;
}

bool CArrayGeometryDlg::Edit(CMamGeometry& target, UiHost& ui, int language, const ArrayDialogSource& source)
{
    const float k = source.km ? 0.001f : 1.0f;
    CArrayGeometryDlg dlg;
    dlg.geometry = target.iGeometry;
    dlg.arraySize = target.ArraySize * k;
    dlg.angle = target.Angle;
    dlg.receivers = target.nReceiver;
    dlg.spacing = target.SpacingForLinearArray * k;
    dlg.reverse = target.reverse;
    dlg.startChannel = target.startChannel;
    dlg.fileName = source.fileName;
    dlg.folder = source.folder;
    DialogRequest request = dlg.Request(language, target, ui, source);
    if (!ui.RunDialog(request)) return false;
    const float back = source.km ? 1000.0f : 1.0f;
    target.iGeometry = dlg.geometry;
    target.ArraySize = dlg.arraySize * back;
    target.Angle = dlg.angle;
    target.nReceiver = dlg.receivers;
    target.SpacingForLinearArray = dlg.spacing * back;
    target.reverse = dlg.reverse;
    target.startChannel = dlg.startChannel;
    target.ParseUnusedChannels(dlg.unused, &ui, language);
    return true;
}

DialogRequest CMicrotremorArrayDlg::Request(int language)
{
    DialogRequest r(kClass, kTitle);
    r.Float("Angle", angle, 0.0, 360.0).Label(Msg(language, "Angle = ", "角度 = ")).Unit(Msg(language, "degree", "度"));
    r.Choice("Source", source,
             {Msg(language, "Delta function", "デルタ関数"),
              Msg(language, "Waveform", "波形") + " (MicrotremorArrayData.dat)"})
        .Label(Msg(language, "Source", "震源"));
    r.Int("# of direction", directions, 1, 25).Label(Msg(language, "# of direction", "方向の数"));
    return r;
}

}  // namespace velk
