#pragma once
// Running a window of our own as a modal dialog. The windows never call
// exec() themselves but go through this seam, so a test scripts OK or Cancel
// (platform/testing/ModalDoubles.h) and nothing blocks.
class QDialog;

namespace pellucor::platform::qt {

class ModalRunner {
public:
    virtual ~ModalRunner() = default;
    // Shows the dialog modally; true when it was closed with OK (accepted).
    virtual bool Run(QDialog& dialog) = 0;
};

// The real one: QDialog::exec.
class ExecModalRunner final : public ModalRunner {
public:
    bool Run(QDialog& dialog) override;
};

// Never null; the exec runner until another is installed.
ModalRunner& modalRunner();
// nullptr puts the exec runner back.
void InstallModalRunner(ModalRunner* runner);
// The shortcut every window uses.
bool RunModal(QDialog& dialog);

}  // namespace pellucor::platform::qt
