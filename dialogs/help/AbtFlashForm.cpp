#include "dialogs/help/AbtFlashForm.h"

#include <QPushButton>
#include <QTimer>

#include "core/ProgramState.h"
#include "dialogs/help/AboutPanels.h"

namespace pellucor::dialogs {

TAbtFlashForm::TAbtFlashForm(QWidget* owner, int intervalMs) : QDialog(owner) {
    setObjectName("AbtFlashForm");
    setWindowTitle("About Pellucor");
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::WindowStaysOnTopHint);
    resize(306, 222);
    OKButton = BuildAboutPanels(*this);
    connect(OKButton, &QPushButton::clicked, this, &QWidget::hide);
    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setSingleShot(true);
    // Not before its time: coarse timers may fire a few per cent early.
    Timer1->setTimerType(Qt::PreciseTimer);
    Timer1->setInterval(intervalMs);
    connect(Timer1, &QTimer::timeout, this, &TAbtFlashForm::Timer1Timer);
    Timer1->start();
}

void TAbtFlashForm::Timer1Timer() { State().Run.SplashShowing = false; }

}  // namespace pellucor::dialogs
