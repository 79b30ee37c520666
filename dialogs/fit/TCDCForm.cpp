#include "dialogs/fit/TCDCForm.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>

#include <algorithm>
#include <filesystem>

#include "core/CircuitCode.h"
#include "core/ModelLibrary.h"
#include "core/ProgramState.h"
#include "core/TextHelpers.h"
#include "core/WindowHooks.h"
#include "dialogs/fit/FitWindowLinks.h"
#include "platform/Services.h"

namespace pellucor::fitwin {
namespace {

using platform::MsgButtons;
using platform::MsgResult;

QString Q(const std::string& s) { return QString::fromStdString(s); }

template <class W>
W* Named(W* w, const char* name) {
    w->setObjectName(name);
    return w;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, int x, int y, int w = 75) {
    auto* b = Named(new QPushButton(text, parent), name);
    b->setGeometry(x, y, w, 25);
    b->setAutoDefault(false);
    return b;
}

bool Ask(const char* text) {
    return platform::ShowMessage(text, "Confirm...", MsgButtons::YesNo) == MsgResult::Yes;
}

}  // namespace

TCDCForm::TCDCForm(QWidget* owner) : QDialog(owner) {
    setObjectName("CDCForm");
    setWindowTitle("Select model and run mode");
    setFixedSize(440, 300);

    Panel1 = Named(new QFrame(this), "Panel1");
    Panel1->setFrameShape(QFrame::Panel);
    Panel1->setGeometry(8, 8, 200, 26);
    Label1 = Named(new QLabel("Model Library : ", Panel1), "Label1");
    Label1->setGeometry(6, 5, 100, 16);
    Label2 = Named(new QLabel("", Panel1), "Label2");
    Label2->setGeometry(110, 5, 80, 16);

    Label3 = Named(new QLabel("Model", this), "Label3");
    Label3->setGeometry(8, 42, 60, 16);
    ComboBox1 = Named(new QComboBox(this), "ComboBox1");
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->setMaxVisibleItems(14);
    // The box's own completion would fill in the first listed code that
    // begins with what was typed ("R(CR)(QR)" became "R(CR)(QR)(CR)"), and
    // OK would then take another circuit than the one typed.
    ComboBox1->setCompleter(nullptr);
    ComboBox1->setGeometry(8, 60, 200, 24);
    SetItems(SystemModelLibrary());
    ComboBox1->setEditText(QString());

    Label4 = Named(new QLabel("Picture", this), "Label4");
    Label4->setGeometry(240, 42, 60, 16);
    Image1 = Named(new QLabel(this), "Image1");
    Image1->setGeometry(240, 60, 177, 97);
    Image1->setScaledContents(true);
    Image1->setFrameShape(QFrame::Box);

    GroupBox2 = Named(new QGroupBox("Initial values of parameters :", this), "GroupBox2");
    GroupBox2->setGeometry(8, 96, 200, 70);
    AutoStartBtn = Named(new QRadioButton("Auto Setup", GroupBox2), "AutoStartBtn");
    AutoStartBtn->setGeometry(10, 22, 180, 18);
    AutoStartBtn->setChecked(true);
    UserBtn = Named(new QRadioButton("User Input", GroupBox2), "UserBtn");
    UserBtn->setGeometry(10, 44, 180, 18);

    GroupBox1 = Named(new QGroupBox("Run mode", this), "GroupBox1");
    GroupBox1->setGeometry(8, 172, 200, 82);
    RadioButton1 = Named(new QRadioButton("Batch", GroupBox1), "RadioButton1");
    RadioButton1->setGeometry(10, 22, 80, 18);
    RadioButton1->setEnabled(false);
    RadioButton2 = Named(new QRadioButton("Iterate", GroupBox1), "RadioButton2");
    RadioButton2->setGeometry(100, 22, 90, 18);
    RadioButton2->setChecked(true);
    RadioButton3 = Named(new QRadioButton("Monitor", GroupBox1), "RadioButton3");
    RadioButton3->setGeometry(10, 50, 80, 18);
    RadioButton4 = Named(new QRadioButton("Simulate", GroupBox1), "RadioButton4");
    RadioButton4->setGeometry(100, 50, 90, 18);

    AddBtn1 = MakeButton(this, "AddBtn1", "Add", 240, 170);
    DeleteBtn2 = MakeButton(this, "DeleteBtn2", "Delete", 320, 170);
    SaveBtn3 = MakeButton(this, "SaveBtn3", "Save", 240, 200);
    CopyBitBtn = MakeButton(this, "CopyBitBtn", "Copy", 320, 200);
    TipsButton1 = MakeButton(this, "TipsButton1", "Show Tips", 240, 230);
    HelpBitBtn1 = MakeButton(this, "HelpBitBtn1", "Help", 320, 230);
    OkBitBtn1 = MakeButton(this, "OkBitBtn1", "OK", 240, 266);
    CancelBitBtn2 = MakeButton(this, "CancelBitBtn2", "Cancel", 320, 266);

    connect(ComboBox1, &QComboBox::editTextChanged, this, [this] { ComboBox1Change(); });
    connect(AddBtn1, &QPushButton::clicked, this, [this] { AddBtn1Click(); });
    connect(DeleteBtn2, &QPushButton::clicked, this, [this] { DeleteBtn2Click(); });
    connect(SaveBtn3, &QPushButton::clicked, this, [this] { SaveBtn3Click(); });
    connect(CopyBitBtn, &QPushButton::clicked, this, [this] { CopyBitBtnClick(); });
    connect(OkBitBtn1, &QPushButton::clicked, this, [this] { OkBitBtn1Click(); });
    connect(CancelBitBtn2, &QPushButton::clicked, this, [this] { reject(); });
    connect(TipsButton1, &QPushButton::clicked, this, [this] { TipsButton1Click(); });
    connect(HelpBitBtn1, &QPushButton::clicked, this, [this] { HelpBitBtn1Click(); });
}

std::string TCDCForm::CodeText() const { return ComboBox1->currentText().toStdString(); }

void TCDCForm::SetCodeText(const std::string& code) { ComboBox1->setEditText(Q(code)); }

std::vector<std::string> TCDCForm::Items() const {
    std::vector<std::string> out;
    for (int i = 0; i < ComboBox1->count(); ++i) out.push_back(ComboBox1->itemText(i).toStdString());
    return out;
}

void TCDCForm::SetItems(std::vector<std::string> codes) {
    // The list keeps its items sorted; replacing them leaves the text alone.
    std::stable_sort(codes.begin(), codes.end(), ModelCodeLess);
    const QString text = ComboBox1->currentText();
    QSignalBlocker block(ComboBox1);
    ComboBox1->clear();
    for (const std::string& c : codes) ComboBox1->addItem(Q(c));
    ComboBox1->setEditText(text);
}

void TCDCForm::ReloadLibraryAfterOk() {
    const std::string path = State().Options.UseSystemLibrary ? ExtendedLibraryPath() : UserLibraryPath();
    if (auto codes = ReadModelLibraryFile(path)) SetItems(*codes);
}

std::string TCDCForm::PicturePath(const std::string& code) {
    const std::string folder = WithTrailingBackslash(State().Folders.BmpFolder);
    const std::string own = folder + code + ".BMP";
    std::error_code ec;
    if (!code.empty() && std::filesystem::is_regular_file(own, ec)) return own;
    return folder + "NONE.BMP";
}

void TCDCForm::ShowPicture() {
    const std::string path = PicturePath(CodeText());
    QPixmap pic;
    if (!pic.load(Q(path))) {
        // Without the program's pictures the window still works; say so once
        // per missing file rather than at every keystroke.
        static std::string lastMissing;
        if (lastMissing != path) platform::ReportError("Circuit picture not found: " + path);
        lastMissing = path;
    }
    Image1->setPixmap(pic);
}

void TCDCForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormActivate();
}

void TCDCForm::FormActivate() {
    ProgramState& s = State();
    userLibraryPath = UserLibraryPath();
    if (!s.Options.UseSystemLibrary) {
        if (auto codes = ReadModelLibraryFile(userLibraryPath)) {
            Label2->setText("User");
            SetItems(*codes);
        } else {
            // No user library: the system library stands in until the
            // options change it again (the option file is not written).
            s.Options.UseSystemLibrary = true;
        }
    }
    if (s.Options.UseSystemLibrary) Label2->setText("System");
    (s.Run.UserStartValues ? UserBtn : AutoStartBtn)->setChecked(true);
    ShowPicture();
    if (!s.Run.BatchMode) {
        RadioButton1->setEnabled(false);
        RadioButton2->setEnabled(true);
        RadioButton3->setEnabled(true);
        RadioButton4->setEnabled(true);
        if (s.Run.SimulateMode) RadioButton4->setChecked(true);
        if (s.Run.MonitorMode) RadioButton3->setChecked(true);
        if (s.Run.IterateMode) RadioButton2->setChecked(true);
    } else {
        RadioButton1->setEnabled(true);
        RadioButton1->setChecked(true);
        RadioButton2->setEnabled(false);
        RadioButton3->setEnabled(false);
        RadioButton4->setEnabled(false);
    }
}

void TCDCForm::ComboBox1Change() { ShowPicture(); }

void TCDCForm::AddBtn1Click() {
    if (State().Options.UseSystemLibrary) {
        platform::ShowMessage("Update is not allowed", "Cannot add ...");
        return;
    }
    if (!Ask("Add the code to list?")) return;
    // ValidateCdc upper-cases the code and refuses it beyond the limits a
    // code may have (more than 39 characters among them), so nothing the
    // engine could not take ever enters the list.
    std::string code = CodeText();
    if (!ValidateCdc(code)) {
        platform::ShowMessage("Invalid code.", "Cannot add...");
        return;
    }
    std::vector<std::string> items = Items();
    if (std::find(items.begin(), items.end(), code) != items.end()) {
        platform::ShowMessage("The code already exists!", "Cannot add...");
        return;
    }
    const auto at = std::upper_bound(items.begin(), items.end(), code, ModelCodeLess);
    QSignalBlocker block(ComboBox1);
    const QString text = ComboBox1->currentText();
    ComboBox1->insertItem(static_cast<int>(at - items.begin()), Q(code));
    ComboBox1->setEditText(text);
}

void TCDCForm::DeleteBtn2Click() {
    if (State().Options.UseSystemLibrary) {
        platform::ShowMessage("Update is not allowed", "Cannot delete ...");
        return;
    }
    if (!Ask("Delete selected code from list?")) return;
    const int index = ComboBox1->findText(ComboBox1->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0) return;
    const QString text = ComboBox1->currentText();
    QSignalBlocker block(ComboBox1);
    ComboBox1->removeItem(index);
    ComboBox1->setEditText(text);
}

void TCDCForm::SaveBtn3Click() {
    if (State().Options.UseSystemLibrary) {
        if (Ask("Copy this Library to User Library?")) WriteModelLibraryFile(UserLibraryPath(), Items());
        return;
    }
    if (Ask("Save updated list?"))
        WriteModelLibraryFile(userLibraryPath.empty() ? UserLibraryPath() : userLibraryPath, Items());
}

void TCDCForm::CopyBitBtnClick() {
    QImage pic;
    if (!pic.load(Q(PicturePath(CodeText())))) {
        platform::ReportError("Circuit picture not found: " + PicturePath(CodeText()));
        return;
    }
    QApplication::clipboard()->setImage(pic);
    platform::ShowMessage("Copied picture to clipboard.", "Ready to paste!!!");
}

void TCDCForm::OkBitBtn1Click() {
    RunState& run = State().Run;
    run.UserStartValues = UserBtn->isChecked();
    run.SimulateMode = RadioButton4->isChecked();
    run.MonitorMode = RadioButton3->isChecked();
    run.IterateMode = RadioButton2->isChecked();
    run.BatchMode = RadioButton1->isChecked();
    run.CdcFormFlag = run.IterateMode || run.MonitorMode;
    if (run.CdcFormFlag) Windows().Par->FreeAllParameters();
    run.SimulateChoiceCopy = run.SimulateMode;
    accept();
}

void TCDCForm::TipsButton1Click() {
    if (FitLinks().ShowTips) FitLinks().ShowTips();
}

void TCDCForm::HelpBitBtn1Click() {
    if (FitLinks().ShowHelpWindow) FitLinks().ShowHelpWindow("TInstModelForm");
}

}  // namespace pellucor::fitwin
