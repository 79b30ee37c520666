#pragma once
// The splash window: the about box's layout with a timer. The timer starts
// when the window is created and, after its interval (2000 ms), clears
// SplashShowing; the main window's start-up waits for that and then frees the
// window. Closing it earlier only hides it: only the timer ends the wait.
#include <QDialog>

class QPushButton;
class QTimer;

namespace pellucor::dialogs {

class TAbtFlashForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int DefaultInterval = 2000;
    explicit TAbtFlashForm(QWidget* owner = nullptr, int intervalMs = DefaultInterval);

    QPushButton* OKButton = nullptr;
    QTimer* Timer1 = nullptr;

public slots:
    void Timer1Timer();
};

}  // namespace pellucor::dialogs
