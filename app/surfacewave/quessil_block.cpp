#include "app/surfacewave/quessil_block.h"

#include "app/workspace.h"
#include "platform/language.h"
#include "platform/uihost.h"
#include "traveltime/publish_traveltime_set.h"

namespace velk {

bool PublishCurvesForQuessil(Workspace& ws, UiHost& ui, int requestCode, const std::string& linePath, bool guided)
{
    // The one shared block is the traveltime set's; the curves fill it.
    CTraveltimeSet& set = ws.traveltimeSet;
    if (set.blockOpen == 0) {
        std::string error;
        OpenRostrelData(set, &error);
        if (set.blockOpen == 0) {
            ui.Message(Msg(ws.startup.language, "The shared block for the dispersion program could not be made.",
                           "分散曲線プログラム用の共有メモリを作れませんでした。") +
                           "\n" + error,
                       MsgButtons::Ok, MsgIcon::Error);
            return false;
        }
        if (guided && ws.acquisitionManager) {
            // The dispersion program reads the mode's spread length here, as the manager's own
            // hand-off gives it.
            const auto* mode = ws.acquisitionManager->Mode();
            SetRostrelParameter(set, 0, mode ? mode->spreadLength : 0.0f);
        }
    }
    return CopyToRostrelData(set, ws.curveSet, requestCode, linePath) == 1;
}

}  // namespace velk
