#include "traveltime/modelling_dialogs.h"

#include "platform/language.h"
#include "platform/uihost.h"

namespace velk {

namespace {

constexpr const char* kKmPerS = "km/sec";

void RecordSize(DialogRequest& r, int language, float& frequency, int& dataLength, int& traces, float& samplingTime,
                float& traceInterval)
{
    r.Float("Frequency", frequency).Label(Msg(language, "Frequency", "周波数")).Unit("Hz");
    r.Int("Data length", dataLength).Label(Msg(language, "Data length", "データ長"));
    r.Int("# of traces", traces).Label(Msg(language, "# of traces", "トレース数"));
    r.Float("Sampling time", samplingTime).Label(Msg(language, "Sampling time", "サンプリング時間")).Unit("msec");
    r.Float("Trace intervals", traceInterval).Label(Msg(language, "Trace intervals", "トレース間隔")).Unit("m");
}

}  // namespace

DialogRequest CTwoLayerModelDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, "Horizontal 2-layer model", "水平2層モデル"));
    r.Float("Depth(y)", depth).Label(Msg(language, "Depth(y)", "深度(y)")).Unit("m");
    r.Float("Velocity(v1)", v1).Label(Msg(language, "Velocity(v1)", "速度(v1)")).Unit(kKmPerS);
    r.Float("Velocity(v2)", v2).Label(Msg(language, "Velocity(v2)", "速度(v2)")).Unit(kKmPerS);
    return r;
}

DialogRequest CVspCurveDlg::Request(int language)
{
    DialogRequest r(kClass, "VSP");
    r.Float("Angle(a)", angle).Label(Msg(language, "Angle(a)", "角度(a)")).Unit("degree (a != 0)");
    r.Float("Distance(x)", distance).Label(Msg(language, "Distance(x)", "距離(x)")).Unit("m");
    r.Float("Velocity", velocity).Label(Msg(language, "Velocity", "速度")).Unit(kKmPerS);
    return r;
}

DialogRequest CSetVelocityDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, "Set velocity", "速度の設定"));
    r.Float("Velocity", velocity, 0.00001, 10000.0).Label(Msg(language, "Velocity", "速度")).Unit(kKmPerS);
    return r;
}

DialogRequest CMigrationVelocityDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, "Migration velocity", "マイグレーション速度"));
    // A velocity of 0 or below would divide by zero in the moveout.
    r.Float("Velocity", velocity, 0.00001, 100000.0).Label(Msg(language, "Velocity", "速度")).Unit(kKmPerS);
    return r;
}

DialogRequest CZeroOffsetSectionDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, "0 Offset profile(Diffraction)", "ゼロオフセット断面(回折)"));
    r.Float("Diffractor 1 Distance(x)", x1).Label(Msg(language, "Diffractor 1  Distance(x)", "回折点 1  距離(x)")).Unit("m");
    r.Float("Diffractor 1 Depth(y)", y1).Label(Msg(language, "Depth(y)", "深度(y)")).Unit("m");
    RecordSize(r, language, frequency, dataLength, traces, samplingTime, traceInterval);
    r.Float("Velocity", velocity).Label(Msg(language, "Velocity", "速度")).Unit(kKmPerS);
    r.Float("Diffractor 2 Distance(x)", x2).Label(Msg(language, "Diffractor 2  Distance(x)", "回折点 2  距離(x)")).Unit("m");
    r.Float("Diffractor 2 Depth(y)", y2).Label(Msg(language, "Depth(y)", "深度(y)")).Unit("m");
    return r;
}

DialogRequest CImpulseDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, "Impulse", "インパルス"));
    RecordSize(r, language, frequency, dataLength, traces, samplingTime, traceInterval);
    return r;
}

DialogRequest CTwoLayerRecordDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, "2-layer model", "2層モデル"));
    r.Bool("Include direct wave", includeDirect).Label(Msg(language, "Include direct wave", "直接波を含める"));
    r.Float("Depth(y)", depth).Label(Msg(language, "Depth(y)", "深度(y)")).Unit("m");
    r.Float("Frequency", frequency).Label(Msg(language, "Frequency", "周波数")).Unit("Hz");
    r.Int("Data length", dataLength).Label(Msg(language, "Data length", "データ長"));
    r.Int("# of traces", traces).Label(Msg(language, "# of traces", "トレース数"));
    r.Float("Source location", source).Label(Msg(language, "Source location", "震源位置")).Unit("m");
    r.Float("Sampling time", samplingTime).Label(Msg(language, "Sampling time", "サンプリング時間")).Unit("msec");
    r.Float("Trace intervals", traceInterval).Label(Msg(language, "Trace intervals", "トレース間隔")).Unit("m");
    r.Float("1st Layer Velocity(v1)", v1).Label(Msg(language, "1st Layer  Velocity(v1)", "第1層  速度(v1)")).Unit(kKmPerS);
    r.Float("2nd Layer Velocity(v2)", v2).Label(Msg(language, "2nd Layer  Velocity(v2)", "第2層  速度(v2)")).Unit(kKmPerS);
    return r;
}

DialogRequest CHumFrequencyDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, "Hum frequency", "ハム周波数"));
    r.Choice("Frequency", mains, {"50Hz", "60Hz"}).Label(Msg(language, "Frequency", "周波数"));
    r.Int("Number of harmonics", harmonics, 1, 100).Label(Msg(language, "Number of harmonics =", "高調波の数 ="));
    r.Float("Amplitude", amplitude, 0.0001, 100000.0).Label(Msg(language, "Amplitude =", "振幅 ="));
    return r;
}

DialogRequest CFdModelingDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, "Finite difference modeling", "差分法モデリング"));
    r.Float("Sampling time", samplingTime, 0.000001, 1000.0).Label(Msg(language, "Sampling time =", "サンプリング時間 =")).Unit("msec");
    r.Int("Number of sample", samples, 1, 100000000).Label(Msg(language, "Number of sample =", "サンプル数 ="));
    r.Choice("Calculatioin method", method, {"2nd order", "4th order", "Pseudo spectral", "Staggered"})
        .Label(Msg(language, "Calculatioin method", "計算方法"));
    r.Float("Source frequency", frequency, 0.000001, 1e9).Label(Msg(language, "Source frequency =", "震源周波数 =")).Unit("Hz");
    r.Float("Source location", sourceX).Label(Msg(language, "Source location =", "震源位置 =")).Unit("m");
    r.Float("Source depth", sourceDepth).Label(Msg(language, "Source depth =", "震源深度 =")).Unit("m");
    r.Bool("Non-reflecting condition", nonReflecting).Label(Msg(language, "Non-reflecting condition", "無反射条件"));
    return r;
}

DialogRequest CReverseTimeMigrationDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, "Reverse time migration", "リバースタイムマイグレーション"));
    r.Int("Samples", samples, 0).Label(Msg(language, "Samples", "サンプル数"));
    r.Int("NX", nx, 0).Label("NX");
    r.Int("NY", ny, 0).Label("NY");
    r.Float("Velocity", velocity).Label(Msg(language, "Velocity", "速度")).Unit(kKmPerS);
    r.Float("Stop time", stopTime).Label(Msg(language, "Stop time", "停止時間")).Unit("msec");
    r.Float("DX", dx).Label("DX").Unit("m");
    r.Int("Time direction by", timeFactor, 1, 10).Label(Msg(language, "Time direction by", "時間方向"));
    r.Int("Space direction by", spaceFactor, 1, 20).Label(Msg(language, "Space direction by", "空間方向"));
    r.Bool("Implicit interpolation", interpolation).Label(Msg(language, "Implicit interpolation", "陰的補間"));
    r.Float("X=", sourceX).Label("X=").Unit("m");
    r.Float("Y=", sourceY).Label("Y=").Unit("m");
    r.Choice("Calculatioin method", method, {"2nd order", "4th order", "Pseudo spectral", "Staggered grid"})
        .Label(Msg(language, "Calculatioin method", "計算方法"));
    r.Bool("Create velocity model", createModel).Label(Msg(language, "Create velocity model", "速度モデルを作成"));
    r.Choice("Pre-stack migration", preStack, {"Traveltime", "Max amplitude"})
        .Label(Msg(language, "Pre-stack migration", "重合前マイグレーション"));
    r.Bool("Traveltime weighting", traveltimeWeighting).Label(Msg(language, "Traveltime weighting", "走時の重み"));
    r.Bool("Non-reflecting condition", nonReflecting).Label(Msg(language, "Non-reflecting condition", "無反射条件"));
    return r;
}

DialogRequest CDiffractionStackingDlg::Request(int language)
{
    DialogRequest r(kClass, Msg(language, "Diffraction Stacking", "回折重合"));
    r.Float("Velocity", velocity).Label(Msg(language, "Velocity", "速度")).Unit(kKmPerS);
    r.Float("X-dir. from", xFrom).Label(Msg(language, "Image area  X-dir. from", "イメージ範囲  X方向 from")).Unit("m");
    r.Float("X-dir. to", xTo).Label("to").Unit("m");
    r.Float("X-dir. interval", xInterval).Label(Msg(language, "interval", "間隔")).Unit("m");
    r.Float("Y-dir. from", yFrom).Label(Msg(language, "Y-dir. from", "Y方向 from")).Unit("m");
    r.Float("Y-dir. to", yTo).Label("to").Unit("m");
    r.Float("Y-dir. interval", yInterval).Label(Msg(language, "interval", "間隔")).Unit("m");
    r.Choice("Stacking method", method, {"Normal", "Semblance", "Semblance weighted stacking"})
        .Label(Msg(language, "Stacking method", "重合方法"));
    r.Float("Source X=", sourceX).Label(Msg(language, "Source  X=", "震源  X=")).Unit("m");
    r.Float("Source Y=", sourceY).Label("Y=").Unit("m");
    r.Bool("Create velocity model", createModel).Label(Msg(language, "Create velocity model", "速度モデルを作成"));
    r.Bool("Traveltime weighting", traveltimeWeighting).Label(Msg(language, "Traveltime weighting", "走時の重み"));
    return r;
}

}  // namespace velk
