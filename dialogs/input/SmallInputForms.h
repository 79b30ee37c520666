#pragma once
// Four small modal windows, each editing one or two values of the shared
// state for a command of the main window; values are taken only at OK:
//   TSAreaForm     "Enter sample area "   SampleArea
//   TFolderForm    "Create a new folder"  a folder on disk ("Create" keeps it open)
//   TTitleForm     "Change chart titles"  CustomTitles, ChartTitle1, ChartTitle2
//   TSampleIDForm  "Enter Sample IDs"     SampleId[1..7]
// Each acts when it is shown (FormActivate from showEvent), so a person's
// typing survives re-activation.
#include <QDialog>
#include <QString>

#include <string>

#include "core/Bounded.h"
#include "core/ProgramState.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;
class QFileSystemModel;

namespace pellucor::dialogs {

class TSAreaForm : public QDialog {
    Q_OBJECT
public:
    explicit TSAreaForm(QWidget* owner = nullptr);
    void FormActivate();
    void BitBtn1Click();  // OK

    QLineEdit* Edit1 = nullptr;
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr;
    QPushButton *BitBtn1 = nullptr, *BitBtn2 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The area as it was when the window opened, and the text that showed it.
    double shownArea_ = 1.0;
    QString shownText_;
};

class TFolderForm : public QDialog {
    Q_OBJECT
public:
    explicit TFolderForm(QWidget* owner = nullptr);
    void FormActivate();
    void DirectoryListBox1Change();
    void CreateBitBtnClick();
    void OkBitBtnClick() { accept(); }
    // Selects a folder in the list (what a click in the tree does).
    void SelectFolder(const std::string& path);

    // The folder tree; there are no drive letters here, so the tree starts at
    // the file-system root and stands in for the drive box as well.
    QTreeView* DirectoryListBox1 = nullptr;
    QFileSystemModel* Folders = nullptr;
    QLabel* Label1 = nullptr;  // the selected folder
    QLineEdit* Edit1 = nullptr;
    QPushButton *CreateBitBtn = nullptr, *OkBitBtn = nullptr, *CancelBitBtn = nullptr;
    // The path of the last folder asked for.
    std::string LastPath;

protected:
    void showEvent(QShowEvent* event) override;
};

class TTitleForm : public QDialog {
    Q_OBJECT
public:
    explicit TTitleForm(QWidget* owner = nullptr);
    void FormActivate();
    void OkBitBtnClick();

    QLineEdit *Edit1 = nullptr, *Edit2 = nullptr;
    QPushButton *OkBitBtn = nullptr, *CancelBitBtn = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
};

class TSampleIDForm : public QDialog {
    Q_OBJECT
public:
    explicit TSampleIDForm(QWidget* owner = nullptr);
    void FormActivate();
    void OkBitBtnClick();

    FixedArray<QLineEdit*, 1, MaxGroupSets> Edits{};  // Edit1..Edit7
    QPushButton *OkBitBtn = nullptr, *CancelBitBtn = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
};

}  // namespace pellucor::dialogs
