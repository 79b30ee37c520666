#pragma once
// "Paste Z Data": takes impedance data another program put on the clipboard
// as text, shows it, writes it to "unknown.txt" in the data folder and reads
// that file as a data file, so pasted data become the current data set as an
// opened file would. "Save As" keeps the pasted data under a chosen name.
//
// The data are loaded by "Paste", not by OK: after an accepted paste the data
// set is the pasted one whichever button closes the window. "Save As" writes
// exactly the text that was read into memory, so the saved file and the data
// in memory never differ (edits in the memo after the paste are not data).
// A refused paste leaves the data, their name and, when they came from an
// earlier paste, the text of "unknown.txt" as they were.
// The main window creates one (owner: itself) and runs it modally.
#include <QDialog>

#include <string>

#include "platform/Dialogs.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace pellucor::dialogs {

class TPasteForm : public QDialog {
    Q_OBJECT
public:
    explicit TPasteForm(QWidget* owner = nullptr);

    void FormActivate();
    void MemoryBtnClick();
    void SaveBtnClick();
    void HelpBtnClick();

    QPlainTextEdit* Memo1 = nullptr;
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr;
    QPushButton *MemoryBtn = nullptr, *SaveBtn = nullptr, *OkBitBtn = nullptr, *CanvelBitBtn = nullptr,
                *HelpBtn = nullptr;
    platform::FileDialogRequest SaveDialog1;
    // True from activation until a paste is accepted, and after a rejected one.
    bool NoValidData = true;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The text of the last accepted paste, as written and read.
    std::string acceptedText_;
};

}  // namespace pellucor::dialogs
