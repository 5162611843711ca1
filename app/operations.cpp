#include "app/operations.h"

#include "app/shell_services.h"

namespace velk {

namespace {

class NoProgress : public ProgressSink {
public:
    void SetRange(int) override {}
    void StepIt() override {}
    void SetText(const std::string&) override {}
};

}  // namespace

void ViewProgressText::SetText(const std::string& text)
{
    if (view_) view_->ShowTransientText(text);
}

CWaveOperations::CWaveOperations(Workspace& ws_, UiHost& ui_, ViewSurface& owner_)
    : ownProgress_(std::make_unique<ViewProgressText>(&owner_)),
      ws(ws_),
      ui(ui_),
      progress(*ownProgress_),
      owner(&owner_)
{
}

CWaveOperations::CWaveOperations(Workspace& ws_, UiHost& ui_, ProgressSink& progress_, ViewSurface* owner_)
    : ws(ws_), ui(ui_), progress(progress_), owner(owner_)
{
}

CWaveOperations::CWaveOperations(Workspace& ws_, UiHost& ui_)
    : ownProgress_(std::make_unique<NoProgress>()), ws(ws_), ui(ui_), progress(*ownProgress_), owner(nullptr)
{
}

int CWaveOperations::Run(const Operation& operation)
{
    const int result = operation ? operation(*this) : 0;
    if (result == 1 && owner) owner->Repaint();
    return result;
}

int CWaveOperations::OnTest() { return Run([](CWaveOperations&) { return 1; }); }

}  // namespace velk
