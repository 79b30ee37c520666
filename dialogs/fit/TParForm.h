#pragma once
// The parameter window "Edit parameters and run": 15 rows of label, Fixed,
// Sign, Start, End, Error and rough-search controls, the run mode, the start
// options and the Import, Reset and Search buttons. It is the Qt face of the
// core's ParamWindow: the engine reads and writes the grid through the
// accessors below, so everything it does to the memory double it does here.
//
// The main window creates one (owner: itself), installs it as Windows().Par
// and shows it modally with exec(); FormActivate runs when the window is
// shown, not each time it regains the focus.
#include <QDialog>

#include <string>

#include "core/Bounded.h"
#include "core/ProgramState.h"
#include "core/WindowHooks.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QFrame;

namespace pellucor::fitwin {

class TParForm : public QDialog, public ParamWindow {
    Q_OBJECT
public:
    explicit TParForm(QWidget* owner = nullptr);

    // ---- ParamWindow controls ----
    std::string StartText(int row) const override;
    void SetStartText(int row, const std::string& text) override;
    std::string EndText(int row) const override;
    void SetEndText(int row, const std::string& text) override;
    void SetErrorText(int row, const std::string& text) override;
    bool FixedBox(int row) const override;
    void SetFixedBox(int row, bool on) override;
    bool SignBox(int row) const override;
    void SetSignBox(int row, bool on) override;
    bool SearchBox(int row) const override;
    void SetSearchBox(int row, bool on) override;
    void SetRowLabel(int row, const std::string& text) override;
    std::string CdcLabel() const override;
    void SetCdcLabel(const std::string& text) override;
    void SetChiSqText(const std::string& text) override;
    void SetErrorEstimateText(const std::string& text) override;
    void SetRunModeRadios(bool iterate, bool monitor, bool simulate, bool batch) override;
    void SetInfoTexts(const std::string& dataFile, const std::string& weighting,
                      const std::string& errorCaption) override;

    // ---- operations of this window ----
    void ApplyStartOptions();
    // Imports a parameter file written for the current code (the code inside
    // the file decides); a file of another model is refused and changes nothing.
    // It brings values only: the sample area stays that of the loaded data.
    void ImportParameterFile(const std::string& path);
    void ReadRunMode();

    // ---- handlers ----
    void FormActivate();
    void OKBitBtnClick();
    void UpdateButton1Click();
    void LockButtonClick();
    void FreeButtonClick();
    void AutoSelBtn1Click();
    void ImportClick();
    void PrintButton1Click();
    void HelpBtn1Click();

    // Grid controls of row r (1..15), named as the table of the window gives.
    FixedArray<QLabel*, 1, MaxParams> RowLabels{};
    FixedArray<QCheckBox*, 1, MaxParams> FixedBoxes{}, SignBoxes{}, SearchBoxes{};
    FixedArray<QLineEdit*, 1, MaxParams> StartEdits{}, EndEdits{}, ErrorEdits{};

    QLabel* StaticText1 = nullptr;
    QLabel* FnameLabel = nullptr;
    QLabel* CDCSText = nullptr;
    QLabel* CDCLabel = nullptr;
    QLabel* WgtSText = nullptr;
    QLabel* WgtLabel = nullptr;
    QLabel* ChiSqrLabel = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label11 = nullptr;
    QLabel* Label13 = nullptr;
    QLabel* Label12 = nullptr;
    QLabel* ErrorLabel = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QRadioButton* BatchRadioBtn = nullptr;
    QRadioButton* IternRadioBtn = nullptr;
    QRadioButton* ReviewRadioBtn = nullptr;
    QRadioButton* SimnRadioBtn = nullptr;
    QLabel* StaticText3 = nullptr;
    QFrame* Panel1 = nullptr;
    QCheckBox* SignCheckBox = nullptr;
    QCheckBox* InitCheckBox = nullptr;
    QPushButton* Import = nullptr;
    QPushButton* UpdateButton1 = nullptr;
    QPushButton* AutoSelBtn1 = nullptr;
    QPushButton* OKBitBtn = nullptr;
    QPushButton* CancelBitBtn = nullptr;
    QPushButton* LockButton = nullptr;
    QPushButton* FreeButton = nullptr;
    QPushButton* PrintButton1 = nullptr;
    QPushButton* HelpBtn1 = nullptr;

    // The folder the Import dialog opens in (ParFolder at activation).
    std::string importFolder;

    // Cancel, Escape and the close box: the grid and the values it changed
    // go back to what the window showed when it opened.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // What the window showed when it opened, and the values its buttons
    // change before OK (Import, Search; an import keeps the sample area).
    struct Opened {
        FixedArray<QString, 1, MaxParams> start{};
        FixedArray<bool, 1, MaxParams> fixed{}, sign{}, search{};
        bool signs = false, values = false;
        bool iterate = false, monitor = false, simulate = false;
        QString requested;
        ParamSet params;
        double chiSq = 0.0;
        bool userStartValues = false, startValuesApplied = false, searchRequested = false;
    };
    void KeepOpened();
    Opened opened_;
};

}  // namespace pellucor::fitwin
