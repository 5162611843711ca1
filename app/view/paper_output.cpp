#include "app/view/paper_output.h"

#include <algorithm>

#include "app/view/record_drawing.h"
#include "app/view/record_paint.h"
#include "app/workspace.h"
#include "platform/language.h"
#include "platform/uihost.h"

namespace velk {

PaperScope::PaperScope(Workspace& ws)
    : ws_(ws), printing_(ws.display.drawing.printing), screen_(ws.display.drawing.screen)
{
    ws_.display.drawing.printing = 1;
    ws_.display.drawing.screen = 0;
}

PaperScope::~PaperScope()
{
    ws_.display.drawing.printing = printing_;
    ws_.display.drawing.screen = screen_;
}

CopyFrame CopyFrameFor(const RecordLayout& layout)
{
    // The extents are logical units of the last paint; a record that was never painted still
    // gets the margins. Large extents are kept within what an int holds.
    auto side = [](int extent, int margin) {
        const long long v = static_cast<long long>(std::max(extent, 0)) * 10 + margin;
        return static_cast<int>(std::min<long long>(v, 2000000000LL));
    };
    return CopyFrame{side(layout.rightExtent, 2500), side(layout.bottomExtent, 2000)};
}

std::string DrawRecordSvg(Workspace& ws, const CopyFrame& frame, const std::string& documentTitle)
{
    SvgCanvas canvas(frame.Svg());
    RecordPaint paint{canvas, nullptr, true, documentTitle, {}};
    DrawRecord(paint, ws);
    return canvas.Document();
}

int CopyToClipboard(Workspace& ws, UiHost& ui, RecordClipboard& clipboard, const std::string& documentTitle)
{
    const CopyFrame frame = CopyFrameFor(ws.display.layout);
    std::string svg;
    {
        PaperScope paper(ws);
        svg = DrawRecordSvg(ws, frame, documentTitle);
        clipboard.DrawBitmap(ws, frame, documentTitle);
    }
    if (!clipboard.Place(svg)) {
        ui.Message(Msg(ws.startup.language, "The clipboard cannot be opened !\n The picture was not copied.",
                       "クリップボードを開けません !\n 図はコピーされませんでした。"),
                   MsgButtons::Ok, MsgIcon::Warning);
    }
    return 0;
}

}  // namespace velk
