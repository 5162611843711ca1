// The band-pass dialog on the UiHost road: its fields and the accept flag. The window itself
// belongs to the wx shell.

#include "dsp/band_pass.h"
#include "platform/uihost.h"

namespace velk {

DialogRequest BandPassDialogRequest(CBandPassDlg& values)
{
    DialogRequest request("CBandPassDlg", "Band-pass filter");
    request.Float("Low-cut freq.", values.lowCut);
    request.Float("Low-cut slope", values.lowSlope).Label("Cut-off").Unit("db/oct");
    request.Float("High-cut freq.", values.highCut);
    request.Float("High-cut slope", values.highSlope).Label("Cut-off").Unit("db/oct");
    return request;
}

int RunBandPassDialog(UiHost& ui, CBandPassDlg& values, AcceptFlag& accept)
{
    DialogRequest request = BandPassDialogRequest(values);
    accept.SetFromDialogResult(ui.RunDialog(request));
    return accept.Value();
}

}  // namespace velk
