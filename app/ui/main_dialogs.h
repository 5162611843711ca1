#pragma once
// The main program's own dialog windows, registered with the shared UiHost at start-up.

namespace velk {

class WxUiHost;

void RegisterMainDialogs(WxUiHost& ui);

}  // namespace velk
