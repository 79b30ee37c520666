#include "dialogs/fit/TOptForm.h"

#include <QCheckBox>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSpinBox>

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "core/NumberText.h"
#include "core/OptionFiles.h"
#include "core/ProgramState.h"
#include "core/TextHelpers.h"
#include "dialogs/fit/FitWindowLinks.h"
#include "platform/Services.h"

namespace pellucor::fitwin {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

template <class W>
W* Named(W* w, const char* name) {
    w->setObjectName(name);
    return w;
}

QRadioButton* Radio(QWidget* parent, const char* name, const char* text, int x, int y, int w = 90) {
    auto* b = Named(new QRadioButton(text, parent), name);
    b->setGeometry(x, y, w, 18);
    return b;
}

QGroupBox* Group(QWidget* parent, const char* name, const QString& title, int x, int y, int w, int h) {
    auto* g = Named(new QGroupBox(title, parent), name);
    g->setGeometry(x, y, w, h);
    return g;
}

QLabel* Caption(QWidget* parent, const QString& text, int x, int y, int w) {
    auto* l = new QLabel(text, parent);
    l->setGeometry(x, y, w, 16);
    return l;
}

// Typed text as the box's value: held inside the range, and text that is no
// integer reads as the minimum.
int HeldSpinValue(const QString& text, int lo, int hi) {
    bool isInteger = false;
    const int typed = text.trimmed().toInt(&isInteger);
    return isInteger ? std::clamp(typed, lo, hi) : lo;
}

// A spin box that settles typed text the same way when the edit is left (a
// click on OK moves the focus first) as when OK reads it. Left to itself the
// box settles text it cannot take on the end of the range nearer to zero: an
// emptied -6..-1 box became -1, not its minimum.
class HeldSpinBox : public QSpinBox {
public:
    using QSpinBox::QSpinBox;

protected:
    void fixup(QString& input) const override {
        input = QString::number(HeldSpinValue(input, minimum(), maximum()));
    }
};

QSpinBox* Spin(QWidget* parent, const char* name, int lo, int hi, int start, int x, int y) {
    auto* s = Named(new HeldSpinBox(parent), name);
    s->setRange(lo, hi);
    s->setValue(start);
    s->setGeometry(x, y, 48, 22);
    return s;
}

// Checks exactly `which` among `buttons` (none when null). The buttons of a
// group exclude each other, which would refuse to clear the checked one.
void CheckOnly(std::initializer_list<QRadioButton*> buttons, QRadioButton* which) {
    for (QRadioButton* b : buttons) b->setAutoExclusive(false);
    for (QRadioButton* b : buttons) b->setChecked(b == which);
    for (QRadioButton* b : buttons) b->setAutoExclusive(true);
}

double ReadNumber(const QString& text) { return ReadTypedNumber(text.toStdString()); }

// The box itself keeps its last valid value while the text typed lies
// outside its range ("3" in 5..20) or is no number, so OK would silently drop
// what was typed. The typed text is read instead: held inside the range, and
// text that is no integer reads as the minimum.
int SpinValue(QSpinBox* s) {
    const int value = HeldSpinValue(s->cleanText(), s->minimum(), s->maximum());
    s->setValue(value);
    return value;
}

}  // namespace

TOptForm::TOptForm(QWidget* owner) : QDialog(owner) {
    setObjectName("OptForm");
    setWindowTitle("Options ");
    setFixedSize(480, 380);
    QFont small = font();  // the dense layout is made for a small dialog font
    small.setPointSize(8);
    setFont(small);

    Variance = Group(this, "Variance", "Uncertainties of pars", 8, 8, 150, 64);
    PctButton1 = Radio(Variance, "PctButton1", "Pct. error", 10, 20);
    VarButton2 = Radio(Variance, "VarButton2", "Std. error,", 10, 40, 80);
    Caption(Variance, QString::fromUtf8("\u03c3"), 94, 41, 20);

    RadioGroup1 = Group(this, "RadioGroup1", "Weighting factor", 8, 80, 150, 64);
    UnityRadioButton1 = Radio(RadioGroup1, "UnityRadioButton1", "Unity", 10, 20);
    ModRadioButton2 = Radio(RadioGroup1, "ModRadioButton2", "Modulus", 10, 40);

    GroupBox2 = Group(this, "GroupBox2", "Sign of Z\"", 8, 152, 150, 84);
    AutoDetectBtn = Radio(GroupBox2, "AutoDetectBtn", "Auto detect", 10, 20, 120);
    ReverseBtn = Radio(GroupBox2, "ReverseBtn", "Reverse", 10, 40, 120);
    NoChangeBtn = Radio(GroupBox2, "NoChangeBtn", "No change", 10, 60, 120);

    GroupBox1 = Group(this, "GroupBox1", "Model library", 166, 8, 140, 64);
    UserBtn1 = Radio(GroupBox1, "UserBtn1", "User", 10, 20);
    ExtensiveBtn2 = Radio(GroupBox1, "ExtensiveBtn2", "System", 10, 40);

    GroupBox3 = Group(this, "GroupBox3", "Print format", 166, 80, 140, 64);
    ScientificBtn = Radio(GroupBox3, "ScientificBtn", "Scientific", 10, 20);
    GeneralBtn = Radio(GroupBox3, "GeneralBtn", "General", 10, 40);

    GroupBox4 = Group(this, "GroupBox4", "Save plot", 166, 152, 140, 84);
    RadioButton1 = Radio(GroupBox4, "RadioButton1", "emf", 10, 20, 60);
    RadioButton2 = Radio(GroupBox4, "RadioButton2", "wmf", 70, 20, 60);
    RadioButton3 = Radio(GroupBox4, "RadioButton3", "bmp", 10, 44, 60);
    RadioButton4 = Radio(GroupBox4, "RadioButton4", "jpeg", 70, 44, 60);

    Caption(this, "Decimal separator", 314, 12, 150);
    CheckBox1 = Named(new QCheckBox("Comma (European)", this), "CheckBox1");
    CheckBox1->setGeometry(314, 30, 160, 18);
    Caption(this, "Background color", 314, 56, 150);
    CheckBox2 = Named(new QCheckBox("White", this), "CheckBox2");
    CheckBox2->setGeometry(314, 74, 150, 18);

    Caption(this, "Max. # of iterations", 314, 102, 120);
    CSpinEdit1 = Spin(this, "CSpinEdit1", 5, 20, 10, 420, 99);
    Caption(this, "Simulation freq. range", 314, 130, 160);
    Caption(this, "m:", 314, 152, 20);
    Caption(this, "From 10<sup>m</sup>", 334, 152, 60)->setTextFormat(Qt::RichText);
    CSpinEdit2 = Spin(this, "CSpinEdit2", -6, -1, -3, 392, 149);
    Caption(this, "n:", 314, 180, 20);
    Caption(this, "to 10<sup>n</sup>", 334, 180, 60)->setTextFormat(Qt::RichText);
    CSpinEdit3 = Spin(this, "CSpinEdit3", 3, 8, 6, 392, 177);
    Caption(this, "Hz", 444, 180, 20);

    GroupBox5 = Group(this, "GroupBox5", "Auto Setup ", 314, 204, 158, 62);
    RadioButton5 = Radio(GroupBox5, "RadioButton5", "Method A", 8, 20, 120);
    RadioButton6 = Radio(GroupBox5, "RadioButton6", "Method B", 8, 40, 120);

    GroupBox6 = Group(this, "GroupBox6", "Errors added to simulated data", 8, 244, 298, 96);
    RadioButton7 = Radio(GroupBox6, "RadioButton7", "None", 8, 20, 60);
    RadioButton8 = Radio(GroupBox6, "RadioButton8", "Modulus ", 8, 44, 72);
    RadioButton9 = Radio(GroupBox6, "RadioButton9", "Unity", 8, 68, 72);
    Caption(GroupBox6, "Std. dev. for each data point", 90, 20, 200);
    Caption(GroupBox6, QString::fromUtf8("\u03c3 ="), 90, 45, 24);
    Edit1 = Named(new QLineEdit(GroupBox6), "Edit1");
    Edit1->setGeometry(116, 42, 60, 21);
    Caption(GroupBox6, "x | Z |", 182, 45, 50);
    Caption(GroupBox6, QString::fromUtf8("\u03c3 ="), 90, 69, 24);
    Edit2 = Named(new QLineEdit(GroupBox6), "Edit2");
    Edit2->setGeometry(116, 66, 60, 21);
    Caption(GroupBox6, "ohms", 182, 69, 50);
    Caption(this, "Normal distribution", 314, 270, 150);
    Caption(this, "of errors.", 314, 286, 150);

    OKBitBtn1 = Named(new QPushButton("OK", this), "OKBitBtn1");
    OKBitBtn1->setGeometry(150, 348, 75, 25);
    CancelBitBtn2 = Named(new QPushButton("Cancel", this), "CancelBitBtn2");
    CancelBitBtn2->setGeometry(232, 348, 75, 25);
    Button1 = Named(new QPushButton("Save", this), "Button1");
    Button1->setGeometry(314, 348, 75, 25);
    HelpBitBtn = Named(new QPushButton("Help", this), "HelpBitBtn");
    HelpBitBtn->setGeometry(396, 348, 75, 25);
    for (QPushButton* b : {OKBitBtn1, CancelBitBtn2, Button1, HelpBitBtn}) b->setAutoDefault(false);

    connect(OKBitBtn1, &QPushButton::clicked, this, [this] { OKBitBtn1Click(); });
    connect(CancelBitBtn2, &QPushButton::clicked, this, [this] { reject(); });
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(HelpBitBtn, &QPushButton::clicked, this, [this] { HelpBitBtnClick(); });
    // The controls are a live copy of the options from the start: a read
    // before the first showing must not bring in the form's own values.
    ShowOptions();
}

void TOptForm::ShowSignAndWeighting() {
    const ProgramOptions& o = State().Options;
    CheckOnly({AutoDetectBtn, ReverseBtn, NoChangeBtn},
              o.AutoSignZImag ? AutoDetectBtn : o.ReverseZImag ? ReverseBtn : NoChangeBtn);
    // The dialog offers unity and modulus only: a statistical weighting read
    // from a file is shown with neither checked, and a read keeps it.
    CheckOnly({UnityRadioButton1, ModRadioButton2},
              o.Weighting == 0 ? UnityRadioButton1 : o.Weighting == 1 ? ModRadioButton2 : nullptr);
    CheckOnly({RadioButton7, RadioButton8, RadioButton9},
              o.NoiseType == -1 ? RadioButton7 : o.NoiseType == 1 ? RadioButton8 : o.NoiseType == 0 ? RadioButton9
                                                                                                   : nullptr);
}

void TOptForm::ShowOptions() {
    ShowSignAndWeighting();
    const ProgramOptions& o = State().Options;
    CheckOnly({PctButton1, VarButton2}, o.ErrorAsStdDev ? VarButton2 : PctButton1);
    CheckOnly({UserBtn1, ExtensiveBtn2}, o.UseSystemLibrary ? ExtensiveBtn2 : UserBtn1);
    CheckOnly({ScientificBtn, GeneralBtn}, o.ScientificFormat ? ScientificBtn : GeneralBtn);
    QRadioButton* plot[] = {RadioButton1, RadioButton2, RadioButton3, RadioButton4};
    CheckOnly({RadioButton1, RadioButton2, RadioButton3, RadioButton4},
              o.SavePlotFormat >= 1 && o.SavePlotFormat <= 4 ? plot[o.SavePlotFormat - 1] : nullptr);
    CheckBox1->setChecked(!o.PeriodDecimal);
    CheckBox2->setChecked(o.WhiteBackground);
    CSpinEdit1->setValue(o.MaxIterations);
    CSpinEdit2->setValue(o.MinFreqExponent);
    CSpinEdit3->setValue(o.MaxFreqExponent);
    CheckOnly({RadioButton5, RadioButton6},
              o.AutoSetupMethod == 1 ? RadioButton5 : o.AutoSetupMethod == 2 ? RadioButton6 : nullptr);
    shownEdit1_ = FormatGeneral(o.NoiseLevelModulus, 4);
    shownEdit2_ = FormatGeneral(o.NoiseLevelUnity, 4);
    Edit1->setText(Q(shownEdit1_));
    Edit2->setText(Q(shownEdit2_));
}

void TOptForm::ReadOptions() {
    ProgramOptions& o = State().Options;
    // A radio option changes only when one of its buttons is checked.
    if (UserBtn1->isChecked()) o.UseSystemLibrary = false;
    if (ExtensiveBtn2->isChecked()) o.UseSystemLibrary = true;
    o.MaxIterations = SpinValue(CSpinEdit1);
    o.MinFreqExponent = SpinValue(CSpinEdit2);
    o.MaxFreqExponent = SpinValue(CSpinEdit3);
    if (UnityRadioButton1->isChecked()) o.Weighting = 0;
    if (ModRadioButton2->isChecked()) o.Weighting = 1;
    if (RadioButton7->isChecked()) o.NoiseType = -1;
    if (RadioButton8->isChecked()) o.NoiseType = 1;
    if (RadioButton9->isChecked()) o.NoiseType = 0;
    // A level is a standard deviation. The noise added is the same for a
    // typed -0.05 as for 0.05, but the option file keeps no negative level,
    // so a negative one would be shown until the next start and then be gone.
    if (Edit1->text().toStdString() != shownEdit1_) o.NoiseLevelModulus = std::fabs(ReadNumber(Edit1->text()));
    if (Edit2->text().toStdString() != shownEdit2_) o.NoiseLevelUnity = std::fabs(ReadNumber(Edit2->text()));
    if (PctButton1->isChecked() || VarButton2->isChecked()) o.ErrorAsStdDev = !PctButton1->isChecked();
    if (ScientificBtn->isChecked() || GeneralBtn->isChecked()) o.ScientificFormat = ScientificBtn->isChecked();
    QRadioButton* plot[] = {RadioButton1, RadioButton2, RadioButton3, RadioButton4};
    for (int k = 1; k <= 4; ++k)
        if (plot[k - 1]->isChecked()) o.SavePlotFormat = k;
    if (RadioButton5->isChecked()) o.AutoSetupMethod = 1;
    if (RadioButton6->isChecked()) o.AutoSetupMethod = 2;
    o.PeriodDecimal = !CheckBox1->isChecked();
    o.WhiteBackground = CheckBox2->isChecked();
    if (AutoDetectBtn->isChecked()) {
        o.AutoSignZImag = true;  // the reverse flag stays as it was
    } else if (ReverseBtn->isChecked() || NoChangeBtn->isChecked()) {
        o.AutoSignZImag = false;
        o.ReverseZImag = ReverseBtn->isChecked();
    }
    // The texts now stand for the values just read.
    shownEdit1_ = Edit1->text().toStdString();
    shownEdit2_ = Edit2->text().toStdString();
}

void TOptForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormActivate();
}

void TOptForm::FormActivate() { ShowOptions(); }

void TOptForm::OKBitBtn1Click() {
    ReadOptions();
    accept();
}

void TOptForm::reject() {
    // What was not confirmed goes back to the options in effect, so no later
    // read of the controls can pick it up.
    ShowOptions();
    QDialog::reject();
}

void TOptForm::Button1Click() {
    if (platform::ShowMessage("Save current options?", "Confirm...", platform::MsgButtons::YesNo) ==
        platform::MsgResult::Yes)
        WriteOptionFile();
}

void TOptForm::HelpBitBtnClick() {
    if (FitLinks().ShowHelpWindow) FitLinks().ShowHelpWindow("TInstOptionForm");
}

}  // namespace pellucor::fitwin
