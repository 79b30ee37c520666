#include "dialogs/fit/TProgressForm.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QShowEvent>
#include <QTimer>

#include <memory>

#include "core/ProgramState.h"
#include "platform/Services.h"

namespace pellucor::fitwin {

TProgressForm::TProgressForm(QWidget* owner) : QDialog(owner) {
    setObjectName("ProgressForm");
    setWindowTitle("Please wait");
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setFixedSize(167, 50);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName("ProgressBar1");
    ProgressBar1->setGeometry(7, 6, 153, 16);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    Label1 = new QLabel("Click x to stop.", this);
    Label1->setObjectName("Label1");
    Label1->setGeometry(7, 28, 153, 16);
    Label1->setStyleSheet("color: red;");
    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(10);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    Timer1->start();
    ProgressBar1->setFocus();
}

void TProgressForm::Timer1Timer() {
    // It shows only that the program is alive: 10, 20, ..., 100, then 10.
    int pos = ProgressBar1->value();
    if (pos >= 100) pos = 0;
    ProgressBar1->setValue(pos + 10);
}

void TProgressForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) Timer1Timer();
}

void TProgressForm::closeEvent(QCloseEvent* event) {
    State().Run.StopRequested = true;
    event->accept();
}

bool RunInsideProgressWindow(QWidget* owner, const std::function<void()>& run) {
    RunState& r = State().Run;
    r.StopRequested = false;
    {
        auto window = std::make_unique<TProgressForm>(owner);
        window->show();
        platform::PumpOneMessage();
        if (!r.StopRequested) run();
        platform::PumpOneMessage();
    }
    return !r.StopRequested;
}

}  // namespace pellucor::fitwin
