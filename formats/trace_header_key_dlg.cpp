#include "formats/trace_header_key_dlg.h"

#include <limits>

#include "platform/language.h"

namespace velk {

DialogRequest CTraceHeaderKeyDlg::Request(int language)
{
    DialogRequest request(kClass, Msg(language, "Make trace header key", "トレースヘッダーキーの作成"));
    request.Float("First receiver", firstReceiver).Label(Msg(language, "First receiver =", "最初の受振点 =")).Unit("m");
    request.Int("Data length", dataLength, 0, kMaxDataLength)
        .Label(Msg(language, "Data length =", "データ長 ="))
        .Unit(Msg(language, "samples", "サンプル"));
    request.Float("Receiver interval", receiverInterval)
        .Label(Msg(language, "Receiver interval =", "受振点間隔 ="))
        .Unit("m")
        .Focus();
    request.Float("Source", source).Label(Msg(language, "Source =", "震源 =")).Unit("m");
    request.String("Input file", inputFileName).Label(Msg(language, "Input file", "入力ファイル"));
    request.String("Output file", outputFileName).Label(Msg(language, "Output file", "出力ファイル"));
    request.Int("Number of traces", traceCount, 0, std::numeric_limits<int>::max())
        .Label(Msg(language, "Number of traces =", "トレース数 ="));
    return request;
}

}  // namespace velk
