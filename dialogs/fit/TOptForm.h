#pragma once
// The options dialog "Options ": every program option as a control, shown
// from ProgramOptions (ShowOptions) and read back into it (ReadOptions), and
// "Save" for the option file. It is the Qt face of the core's OptionsWindow,
// so the engine's reads at the start of a run see its controls.
//
// The main window creates one (owner: itself), installs it as Windows().Opt
// and shows it modally with exec(). Cancel (or the close box) shows the
// options again, so edits that were not confirmed never reach the engine.
#include <QDialog>

#include <string>

#include "core/WindowHooks.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace pellucor::fitwin {

class TOptForm : public QDialog, public OptionsWindow {
    Q_OBJECT
public:
    explicit TOptForm(QWidget* owner = nullptr);

    void ReadOptions() override;
    void ShowOptions() override;
    void ShowSignAndWeighting() override;

    // ---- handlers ----
    void FormActivate();
    void OKBitBtn1Click();
    void Button1Click();
    void HelpBitBtnClick();
    void reject() override;

    QGroupBox* Variance = nullptr;
    QRadioButton* PctButton1 = nullptr;
    QRadioButton* VarButton2 = nullptr;
    QGroupBox* RadioGroup1 = nullptr;
    QRadioButton* UnityRadioButton1 = nullptr;
    QRadioButton* ModRadioButton2 = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QRadioButton* AutoDetectBtn = nullptr;
    QRadioButton* ReverseBtn = nullptr;
    QRadioButton* NoChangeBtn = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QRadioButton* UserBtn1 = nullptr;
    QRadioButton* ExtensiveBtn2 = nullptr;
    QGroupBox* GroupBox3 = nullptr;
    QRadioButton* ScientificBtn = nullptr;
    QRadioButton* GeneralBtn = nullptr;
    QGroupBox* GroupBox4 = nullptr;
    QRadioButton* RadioButton1 = nullptr;
    QRadioButton* RadioButton2 = nullptr;
    QRadioButton* RadioButton3 = nullptr;
    QRadioButton* RadioButton4 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QCheckBox* CheckBox2 = nullptr;
    QSpinBox* CSpinEdit1 = nullptr;
    QSpinBox* CSpinEdit2 = nullptr;
    QSpinBox* CSpinEdit3 = nullptr;
    QGroupBox* GroupBox5 = nullptr;
    QRadioButton* RadioButton5 = nullptr;
    QRadioButton* RadioButton6 = nullptr;
    QGroupBox* GroupBox6 = nullptr;
    QRadioButton* RadioButton7 = nullptr;
    QRadioButton* RadioButton8 = nullptr;
    QRadioButton* RadioButton9 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QPushButton* OKBitBtn1 = nullptr;
    QPushButton* CancelBitBtn2 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* HelpBitBtn = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The noise-level texts last shown: an edit the user left alone keeps the
    // stored value exactly instead of its 4-digit text.
    std::string shownEdit1_, shownEdit2_;
};

}  // namespace pellucor::fitwin
