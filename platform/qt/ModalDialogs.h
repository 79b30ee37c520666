#pragma once
// Running a window of our own as a modal dialog. The windows never call
// exec() themselves but go through this seam, so a test scripts OK or Cancel
// (platform/testing/ModalDoubles.h) and nothing blocks.
class QDialog;
class QWidget;

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

// For a window shown without a modal loop (help and instruction windows),
// called as it is shown. A modal dialog that is running blocks every window
// outside its own family, so a help window opened from that dialog's Help
// button could be read but neither used nor closed until the dialog ended.
// The running modal dialog becomes the window's transient parent, which lets
// it be used beside the dialog; with none running it goes back to its owner.
// When that dialog ends, the window follows by itself: to the dialog it was
// opened from when that one still runs, else to its owner.
void KeepUsableBesideModal(QWidget& window);

}  // namespace pellucor::platform::qt
