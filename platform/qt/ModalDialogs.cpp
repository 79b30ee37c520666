#include "platform/qt/ModalDialogs.h"

#include <QApplication>
#include <QDialog>
#include <QWindow>

#include <memory>

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

namespace {

// Ties window to the modal dialog that runs now, or to its owner when none
// does; `ending` is a dialog on its way out, which no longer counts.
void Anchor(QWidget& window, const QWidget* ending) {
    QWindow* handle = window.windowHandle();
    if (!handle) return;
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal == ending) {
        // Still listed while it hides: the dialog it was opened from, when
        // that one runs, is what runs next.
        modal = nullptr;
        for (QWidget* up = ending->parentWidget(); up && !modal; up = up->window()->parentWidget())
            if (up->window()->isModal() && up->window()->isVisible()) modal = up->window();
    }
    if (modal && (modal == &window || window.isAncestorOf(modal) || !modal->windowHandle())) modal = nullptr;
    QWidget* anchor = modal;
    if (!anchor)
        if (QWidget* owner = window.parentWidget()) anchor = owner->window();
    QWindow* target = anchor ? anchor->windowHandle() : nullptr;
    if (handle->transientParent() == target) return;
    handle->setTransientParent(target);
    if (!modal) return;
    // The window usually outlives the dialog: when the dialog ends, the
    // window goes back beside whatever runs then (an outer dialog, or
    // nothing and so its owner) rather than staying tied to a hidden
    // dialog, and to nothing at all once that dialog is freed.
    auto once = std::make_shared<QMetaObject::Connection>();
    *once = QObject::connect(target, &QWindow::visibleChanged, &window, [&window, modal, target, once](bool visible) {
        if (visible) return;
        QObject::disconnect(*once);
        if (window.windowHandle() && window.windowHandle()->transientParent() == target) Anchor(window, modal);
    });
}

}  // namespace

void KeepUsableBesideModal(QWidget& window) { Anchor(window, nullptr); }

}  // namespace pellucor::platform::qt
