#pragma once
// Everything that waits on a person goes through these seams, so a test can
// script the answer and nothing blocks.
#include <optional>
#include <string>
#include <vector>

namespace pellucor::platform {

enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgResult { Ok, Cancel, Yes, No };
enum class MsgIcon { None, Information, Warning, Error, Question };

class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    // Shows a modal box and returns the button pressed.
    virtual MsgResult Show(const std::string& text, const std::string& caption,
                           MsgButtons buttons = MsgButtons::Ok,
                           MsgIcon icon = MsgIcon::None) = 0;
};

struct FileDialogRequest {
    std::string title;
    std::string initialDir;
    std::string fileName;      // proposed name
    std::string filter;        // e.g. "Data files (*.txt);;All files (*)"
    std::string defaultSuffix;
    // A save dialog that only picks a file and writes nothing (a program to
    // run) must not ask whether to replace the file picked.
    bool confirmOverwrite = true;
};

class FileDialogService {
public:
    virtual ~FileDialogService() = default;
    // Empty optional: the person cancelled.
    virtual std::optional<std::string> OpenFile(const FileDialogRequest& req) = 0;
    virtual std::optional<std::string> SaveFile(const FileDialogRequest& req) = 0;
};

}  // namespace pellucor::platform
