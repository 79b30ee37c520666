#pragma once
// The "Please wait" window that stands over a running fit: a cycling bar and
// the hint "Click x to stop."; closing it requests the stop that the engine
// honours after its current step.
//
// The run commands of the main window wrap a fit in RunInsideProgressWindow,
// which clears the stop request, shows a new window, lets one message
// through, runs the fit (unless a stop was already requested), lets one more
// message through and frees the window.
#include <QDialog>

#include <functional>

class QLabel;
class QProgressBar;
class QTimer;

namespace pellucor::fitwin {

class TProgressForm : public QDialog {
    Q_OBJECT
public:
    explicit TProgressForm(QWidget* owner = nullptr);

    void Timer1Timer();
    // The Escape key does not close the window; only its close box does.
    void reject() override {}

    QProgressBar* ProgressBar1 = nullptr;
    QLabel* Label1 = nullptr;
    QTimer* Timer1 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;  // FormCloseQuery
};

// Runs `run` with a progress window over it (see above). Returns true when
// the run ended without a stop request, false when the window was closed
// (the caller then ends without further questions).
bool RunInsideProgressWindow(QWidget* owner, const std::function<void()>& run);

}  // namespace pellucor::fitwin
