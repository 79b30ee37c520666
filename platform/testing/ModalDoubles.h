#pragma once
// A modal runner for tests: records which dialog was run (its objectName) and
// what it looked like, and answers OK or Cancel from a queue (Cancel when
// nothing is queued). An optional action runs while the dialog "is open",
// so a test can press its buttons as a person would.
#include <QDialog>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/qt/ModalDialogs.h"

namespace pellucor::platform::testing {

class ScriptedModalRunner final : public qt::ModalRunner {
public:
    struct Shown {
        std::string name;
        std::string caption;
    };
    bool Run(QDialog& dialog) override {
        shown.push_back({dialog.objectName().toStdString(), dialog.windowTitle().toStdString()});
        if (whileOpen) whileOpen(dialog);
        if (answers.empty()) return false;
        const bool ok = answers.front();
        answers.pop_front();
        return ok;
    }
    std::vector<Shown> shown;
    std::deque<bool> answers;
    std::function<void(QDialog&)> whileOpen;
};

// Installs a scripted runner for the lifetime of the object.
class ScopedModalRunner {
public:
    ScopedModalRunner() { qt::InstallModalRunner(&runner); }
    ~ScopedModalRunner() { qt::InstallModalRunner(nullptr); }
    ScopedModalRunner(const ScopedModalRunner&) = delete;
    ScopedModalRunner& operator=(const ScopedModalRunner&) = delete;
    ScriptedModalRunner runner;
};

}  // namespace pellucor::platform::testing
