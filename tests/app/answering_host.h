#pragma once
// A UiHost for walks through whole roads: it says OK (Yes) to everything, gives the test's files
// where files are asked for, and saves into a folder of its own.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/uihost.h"

namespace velk::testing {

class AnsweringHost : public UiHost {
public:
    std::vector<std::string> files;  // what an open dialog gets: the first, or all
    std::string folder;              // what a folder dialog gets
    std::string saveFolder;
    std::vector<std::string> messages;

protected:
    MsgResult DoMessage(const MessageRequest& r) override
    {
        messages.push_back(r.text);
        switch (r.buttons) {
        case MsgButtons::YesNo:
        case MsgButtons::YesNoCancel: return MsgResult::Yes;
        default: return MsgResult::Ok;
        }
    }
    int DoTwoChoice(const TwoChoiceRequest&) override { return 1; }
    std::optional<std::string> DoOpenFile(const FileRequest&) override { return files.front(); }
    std::vector<std::string> DoOpenFiles(const FileRequest&) override { return files; }
    std::optional<std::string> DoSaveFile(const FileRequest& r) override
    {
        return saveFolder + "/saved" + std::to_string(++saves_) + (r.defaultExtension.empty() ? "" : "." + r.defaultExtension);
    }
    std::optional<std::string> DoBrowseFolder(const FolderRequest&) override { return folder; }
    std::unique_ptr<ProgressSink> DoBeginProgress(const std::string& caption) override
    {
        return std::make_unique<RecordingProgress>(caption);
    }
    bool DoRunDialog(DialogRequest&) override { return true; }

private:
    int saves_ = 0;
};

}  // namespace velk::testing
