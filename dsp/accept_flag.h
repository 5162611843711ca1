#pragma once
// The OK/Cancel flag that some dialogs report through instead of their modal result: OK sets
// it to 1, Cancel to 0, and the command tests it after the dialog has closed. One flag is shared
// by every dialog of a class; the Workspace owns it (no program-wide variable), so each test
// starts from a fresh one.

namespace velk {

class AcceptFlag {
public:
    void SetFromDialogResult(bool ok) { value_ = ok ? 1 : 0; }
    void OnOk() { value_ = 1; }
    void OnCancel() { value_ = 0; }
    int Value() const { return value_; }

private:
    int value_ = 0;
};

}  // namespace velk
