#include "platform/testing/Doubles.h"

#include <gtest/gtest.h>

namespace pellucor::platform::testing {

MsgResult ScriptedMessageBox::Show(const std::string& text, const std::string& caption,
                                   MsgButtons buttons, MsgIcon) {
    transcript_.push_back({text, caption, buttons});
    if (!answers_.empty()) {
        MsgResult r = answers_.front();
        answers_.pop_front();
        return r;
    }
    if (buttons == MsgButtons::Ok && autoOk) return MsgResult::Ok;
    const std::string what = "unexpected message box: [" + caption + "] " + text;
    if (onUnexpected)
        onUnexpected(what);
    else
        ADD_FAILURE() << what;
    return buttons == MsgButtons::YesNo ? MsgResult::No : MsgResult::Cancel;
}

std::optional<std::string> ScriptedFileDialogs::OpenFile(const FileDialogRequest& req) {
    requests.push_back(req);
    if (opens_.empty()) {
        ADD_FAILURE() << "unexpected open dialog: " << req.title;
        return std::nullopt;
    }
    auto r = opens_.front();
    opens_.pop_front();
    return r;
}

std::optional<std::string> ScriptedFileDialogs::SaveFile(const FileDialogRequest& req) {
    requests.push_back(req);
    if (saves_.empty()) {
        ADD_FAILURE() << "unexpected save dialog: " << req.title;
        return std::nullopt;
    }
    auto r = saves_.front();
    saves_.pop_front();
    return r;
}

void CountingPump::ProcessOneMessage() {
    ++calls;
    if (stopAfter >= 0 && calls == stopAfter && onStop) onStop();
}

ScopedServices::ScopedServices() {
    clock.now = DateTime{2026, 12, 10, 14, 5, 9, 250};
    InstallServices(Services{&messages, &fileDialogs, &settings, &clock, &pump, &errors});
}

ScopedServices::~ScopedServices() { ResetServices(); }

}  // namespace pellucor::platform::testing
