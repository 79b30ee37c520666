#include "platform/qt/ModalDialogs.h"

#include <QDialog>

namespace pellucor::platform::qt {
namespace {

ExecModalRunner& execRunner() {
    static ExecModalRunner r;
    return r;
}

ModalRunner*& current() {
    static ModalRunner* r = &execRunner();
    return r;
}

}  // namespace

bool ExecModalRunner::Run(QDialog& dialog) { return dialog.exec() == QDialog::Accepted; }

ModalRunner& modalRunner() { return *current(); }

void InstallModalRunner(ModalRunner* runner) { current() = runner ? runner : &execRunner(); }

bool RunModal(QDialog& dialog) { return modalRunner().Run(dialog); }

}  // namespace pellucor::platform::qt
