// The catalogue of Japanese twins. Each issue adds the twins of its own messages here.
// Keep the table sorted by the English text in byte order (the compiler checks it), and copy
// the English text exactly, blanks and "\n" included.

#include "platform/message_catalogue.h"

#include <algorithm>
#include <iterator>

namespace velk {

namespace {

constexpr CatalogueEntry kEntries[] = {
    {" Change maximum traces by 'Option', 'Dimension size' !", " 'Option'、'Dimension size' でトレース数の最大値を変更してください !"},
    {" Number of samples is too large ! \n\n Data will be truncated. \n\n Change maximum samples by 'Option', 'Dimension size' !", " サンプル数が多すぎます ! \n\n データを切り詰めます。 \n\n 'Option'、'Dimension size' でサンプル数の最大値を変更してください !"},
    {" Number of trace = %d \n Sampling time = %f \n Number of sample = %d ", " トレース数 = %d \n サンプリング時間 = %f \n サンプル数 = %d "},
    {" Number of trace = %d \n Sampling time = %f(msec) \n Number of sample = %d ", " トレース数 = %d \n サンプリング時間 = %f(msec) \n サンプル数 = %d "},
    {" cha.", " チャンネル"},
    {"# of headers =", "ヘッダー数 ="},
    {"# of headers = (file size-# of channels*2*# of samples)/512", "ヘッダー数 = (ファイルサイズ-チャンネル数*2*サンプル数)/512"},
    {"# of traces", "トレース数"},
    {"%lld samples were not numbers and have been set to 0 !", "数値でないサンプル %lld 個を 0 にしました !"},
    {"%lld samples were out of range and have been clipped !", "範囲外のサンプル %lld 個を範囲の端の値にしました !"},
    {"0:Gobor wavelet", "0:ガボールウェーブレット"},
    {"1 (NS or Rad)", "1 (NS または Rad)"},
    {"10:Sin waves", "10:正弦波"},
    {"1:Gobor wavelet(Derivative)", "1:ガボールウェーブレット(微分)"},
    {"2 (EW or Tra)", "2 (EW または Tra)"},
    {"2:Kelly source wavelet", "2:Kelly の震源ウェーブレット"},
    {"3:Tsang and Rader source", "3:Tsang と Rader の震源"},
    {"4:Chan and Tsan  source", "4:Chan と Tsan の震源"},
    {"5:Ricker wavelet", "5:リッカーウェーブレット"},
    {"6:Hanning windowed Ricker wavlet", "6:ハニング窓をかけたリッカーウェーブレット"},
    {"7:Ormund wavlet", "7:Ormund ウェーブレット"},
    {"8:Delta function", "8:デルタ関数"},
    {"9:Windowed wavelet", "9:窓をかけたウェーブレット"},
    {"Alpha", "アルファ"},
    {"Amplitude used in plotting", "表示に使う振幅"},
    {"Automatic", "自動"},
    {"Band-pass filter", "バンドパスフィルター"},
    {"Beta", "ベータ"},
    {"Cancel", "キャンセル"},
    {"Cannot open the file", "ファイルを開けません"},
    {"Cannot save the settings file", "設定ファイルを保存できません"},
    {"Cannot write the file", "ファイルを書き込めません"},
    {"Chan and Tsan  source", "Chan と Tsan の震源"},
    {"Change dimension size", "配列の大きさを変更する"},
    {"Channel", "チャンネル"},
    {"Coarse sampling", "粗いサンプリング"},
    {"Common frequency", "共通の周波数"},
    {"Comp.", "成分"},
    {"Conjugate gradient", "共役勾配法"},
    {"Constant=", "定数="},
    {"Corollary(integer)", "系番号(整数)"},
    {"Critical Gain", "臨界ゲイン"},
    {"Critical Gain =", "臨界ゲイン ="},
    {"Cut off", "遮断特性"},
    {"Cut-off", "遮断特性"},
    {"Data -length", "データ長"},
    {"Deconvolution", "デコンボリューション"},
    {"Delay (msec)", "遅延 (msec)"},
    {"Delete harmonic components", "高調波成分も除去する"},
    {"Delta function", "デルタ関数"},
    {"Enter float multiplier !", "掛ける実数を入力してください !"},
    {"Fan", "ファン"},
    {"File", "ファイル"},
    {"First arrival (msec)", "初動 (msec)"},
    {"Fixed frequency", "固定周波数"},
    {"For velocity filter test", "速度フィルターのテスト用"},
    {"Frequency", "周波数"},
    {"Gain", "ゲイン"},
    {"Gauss method", "ガウス法"},
    {"Geophone coordinate", "受振器座標"},
    {"Gobor wavelet", "ガボールウェーブレット"},
    {"Hi-cut freq.", "高域遮断周波数"},
    {"High-cut freq.", "高域遮断周波数"},
    {"Initial frequency =", "初期周波数 ="},
    {"Input float", "実数の入力"},
    {"Input integer", "整数の入力"},
    {"Instantaneous AGC", "瞬時 AGC"},
    {"Interval", "間隔"},
    {"Iteration", "反復回数"},
    {"Levinson's method", "レビンソン法"},
    {"Linear event", "直線状のイベント"},
    {"Location", "位置"},
    {"Low-cut freq.", "低域遮断周波数"},
    {"Maximum samples", "最大サンプル数"},
    {"Maximum traces", "最大トレース数"},
    {"Method", "方法"},
    {"No.", "番号"},
    {"Noise", "ノイズ"},
    {"Noise(for correlation)", "ノイズ(相関用)"},
    {"Normalize trace", "トレースを正規化する"},
    {"Normalize trace ", "トレースを正規化する "},
    {"Notch filter", "ノッチフィルター"},
    {"Number of harmonics =", "高調波の数 ="},
    {"Opelator length = ", "オペレーター長 = "},
    {"Other frequency", "その他の周波数"},
    {"Pre-whitening = ", "プリホワイトニング = "},
    {"Property", "プロパティ"},
    {"Random linear events", "ランダムな直線状のイベント"},
    {"Re-sampling", "リサンプリング"},
    {"Rec. dist.(cm)", "受振点距離(cm)"},
    {"Ricker wavelet", "リッカーウェーブレット"},
    {"Sampling (micro -sec)", "サンプリング (マイクロ秒)"},
    {"Sampling time =", "サンプリング時間 ="},
    {"Set gain for Hioki Memory-recorder", "Hioki メモリーレコーダーのゲインの設定"},
    {"Show Wavelets", "ウェーブレットの表示"},
    {"Sin waves", "正弦波"},
    {"Skip=", "間引き="},
    {"Source dist.(cm)", "震源距離(cm)"},
    {"The number of samples was too large ! \n Maximum sample number is %d ", "サンプル数が多すぎます ! \n サンプル数の最大値は %d です "},
    {"The number of traces was too large ! \n Maximum trace number is  %d", "トレース数が多すぎます ! \n トレース数の最大値は  %d です"},
    {"The number of traces was too large ! \n Maximum trace number is %d", "トレース数が多すぎます ! \n トレース数の最大値は %d です"},
    {"The sampling time of this record is not valid.", "この記録のサンプリング時間が正しくありません。"},
    {"The total number of traces was too large ! \n It has been set to %d", "合計トレース数が多すぎます ! \n %d に設定しました"},
    {"The total number of traces was too large ! \n Only %d traces has been read !", "合計トレース数が多すぎます ! \n %d トレースだけ読み込みました !"},
    {"Time shift (msec)", "時間シフト (msec)"},
    {"Tsang and Rader source", "Tsang と Rader の震源"},
    {"Type", "種類"},
    {"Unit=", "単位="},
    {"Units", "単位"},
    {"Value", "値"},
    {"Wavelet", "ウェーブレット"},
    {"Window length =", "ウィンドウ長 ="},
    {"XY Coordinate", "XY 座標"},
    {"degree", "度"},
    {"sin waves", "正弦波"},
};

constexpr bool LessEnglish(const CatalogueEntry& a, const CatalogueEntry& b) { return a.english < b.english; }

static_assert(std::is_sorted(std::begin(kEntries), std::end(kEntries), LessEnglish),
              "keep the message catalogue sorted by the English text");
static_assert(std::adjacent_find(std::begin(kEntries), std::end(kEntries),
                                 [](const CatalogueEntry& a, const CatalogueEntry& b) {
                                     return a.english == b.english;
                                 }) == std::end(kEntries),
              "an English text appears twice in the message catalogue");

}  // namespace

std::span<const CatalogueEntry> MessageCatalogue() { return kEntries; }

std::string_view CatalogueJapanese(std::string_view english)
{
    const auto it = std::lower_bound(std::begin(kEntries), std::end(kEntries), english,
                                     [](const CatalogueEntry& e, std::string_view key) { return e.english < key; });
    if (it == std::end(kEntries) || it->english != english) return {};
    return it->japanese;
}

}  // namespace velk
