#pragma once
// The quick simulator "Edit simulation parameters": the circuit picture and
// code, one value edit per parameter and "Update", which writes the edits
// into the parameter window's Start column and has the main window simulate
// and replot (MainWindowHooks::SimulateCurrentModel).
//
// The main window creates one (owner: itself) and, before showing it with
// show(), calls LoadFromParameterForm and ShowParameterNames; it hides it
// when a fit starts. FormActivate runs when the window appears, not each
// time it regains the focus, so values typed into it are kept.
#include <QDialog>

#include "core/Bounded.h"
#include "core/ProgramState.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace pellucor::fitwin {

class TProsimForm : public QDialog {
    Q_OBJECT
public:
    explicit TProsimForm(QWidget* owner = nullptr);

    void ShowParameterNames(int count);
    void ShowSimulatorValues(bool reset);
    void UpdateSimulation();
    void LoadFromParameterForm();

    // ---- handlers ----
    void FormActivate();
    void RefreshBitBtnClick();

    QLabel* Label1 = nullptr;  // the circuit code
    FixedArray<QLabel*, 1, MaxParams> RowLabels{};  // Label2..Label16
    FixedArray<QLineEdit*, 1, MaxParams> Edits{};   // Edit1..Edit15
    QLabel* Image1 = nullptr;
    QPushButton* RefreshBitBtn = nullptr;
    QPushButton* BitBtn2 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
};

}  // namespace pellucor::fitwin
