#pragma once
// Whether a window shown without a modal loop can be used while a modal
// dialog runs: the dialog is run for real (exec, as the program runs it), the
// window is shown from inside it as a Help button would, and its OK button is
// clicked through the window system, where a blocked window ignores clicks.
#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "platform/qt/ModalDialogs.h"

namespace pellucor::testing_support {

// True when the click on `ok` reached `window` (it hid itself) while `modal` ran.
inline bool OkWorksBesideRunningModal(QDialog& modal, QWidget& window, QPushButton& ok) {
    bool hidden = false;
    QTimer::singleShot(0, &modal, [&] {
        window.show();
        if (QTest::qWaitForWindowExposed(&window, 2000)) {
            const QPoint at = ok.mapTo(&window, ok.rect().center());
            QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, at);
            QTest::qWait(20);
            hidden = !window.isVisible();
        }
        modal.reject();
    });
    platform::qt::RunModal(modal);
    return hidden;
}

}  // namespace pellucor::testing_support
