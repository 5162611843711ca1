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

}  // namespace velk
