#include "platform/qt/ModalDialogs.h"

#include <QApplication>
#include <QDialog>
#include <QWindow>

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

void KeepUsableBesideModal(QWidget& window) {
    QWindow* handle = window.windowHandle();
    if (!handle) return;
    QWidget* modal = QApplication::activeModalWidget();
    QWidget* anchor = nullptr;
    if (modal && modal != &window && !window.isAncestorOf(modal))
        anchor = modal;
    else if (QWidget* owner = window.parentWidget())
        anchor = owner->window();
    handle->setTransientParent(anchor ? anchor->windowHandle() : nullptr);
}

}  // namespace pellucor::platform::qt
