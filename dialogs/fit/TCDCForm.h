#pragma once
// The model-library window "Select model and run mode": the list of circuit
// codes (built in, or the user's library file "cdclist.cdc"), the picture of
// the chosen circuit, Add, Delete and Save for the user's library, and the
// run mode and start-value choice written at OK.
//
// The main window creates one (owner: itself), sets ComboBox1's text to the
// current code and shows it modally with exec(); after OK it reloads the
// list (ReloadLibraryAfterOk) and takes the code with TakeModelCode
// (core/ModelLibrary.h). Other windows hand codes over through
// SetCodeText / CodeText whether or not the window is shown.
#include <QDialog>

#include <string>
#include <vector>

class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace pellucor::fitwin {

class TCDCForm : public QDialog {
    Q_OBJECT
public:
    explicit TCDCForm(QWidget* owner = nullptr);

    // The combo box's text: the channel through which a code is handed over.
    std::string CodeText() const;
    void SetCodeText(const std::string& code);
    // The codes of the list, in the list's order.
    std::vector<std::string> Items() const;
    void SetItems(std::vector<std::string> codes);
    // What the main window does after OK: the list is loaded again from
    // "extlist.cdc" (system library chosen) or "cdclist.cdc" when that file
    // exists; the text stays.
    void ReloadLibraryAfterOk();
    // BmpFolder + code + ".BMP" when that file exists, else "NONE.BMP".
    static std::string PicturePath(const std::string& code);

    // ---- handlers ----
    void FormActivate();
    void ComboBox1Change();
    void AddBtn1Click();
    void DeleteBtn2Click();
    void SaveBtn3Click();
    void CopyBitBtnClick();
    void OkBitBtn1Click();
    void TipsButton1Click();
    void HelpBitBtn1Click();

    QFrame* Panel1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QRadioButton* AutoStartBtn = nullptr;
    QRadioButton* UserBtn = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QRadioButton* RadioButton1 = nullptr;  // Batch
    QRadioButton* RadioButton2 = nullptr;  // Iterate
    QRadioButton* RadioButton3 = nullptr;  // Monitor
    QRadioButton* RadioButton4 = nullptr;  // Simulate
    QPushButton* AddBtn1 = nullptr;
    QPushButton* DeleteBtn2 = nullptr;
    QPushButton* SaveBtn3 = nullptr;
    QPushButton* OkBitBtn1 = nullptr;
    QPushButton* CancelBitBtn2 = nullptr;
    QPushButton* TipsButton1 = nullptr;
    QPushButton* HelpBitBtn1 = nullptr;
    QPushButton* CopyBitBtn = nullptr;

    // The user library path, made at each activation.
    std::string userLibraryPath;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ShowPicture();
};

}  // namespace pellucor::fitwin
