// The options dialog: every control shown from and read into the options,
// the dialog's ranges, decimal commas, Cancel and the option file.
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

#include <filesystem>

#include "core/OptionFiles.h"
#include "dialogs/fit/FitWindowTest.h"
#include "dialogs/fit/TOptForm.h"

namespace pellucor::fitwin {
namespace {

using platform::MsgResult;
using testing::FitWindowTest;
using testing::SaveScreenshot;

class OptForm : public FitWindowTest {
protected:
    void SetUp() override {
        FitWindowTest::SetUp();
        InstallWindows({nullptr, &form, nullptr, nullptr});
    }
    TOptForm form;
};

// Every option away from its default, inside the dialog's ranges.
void SetUnusualOptions(ProgramOptions& o) {
    o.AutoSignZImag = false;
    o.ReverseZImag = true;
    o.Weighting = 0;
    o.MaxIterations = 17;
    o.MinFreqExponent = -5;
    o.MaxFreqExponent = 7;
    o.UseSystemLibrary = true;
    o.ScientificFormat = false;
    o.PeriodDecimal = false;
    o.SavePlotFormat = 3;
    o.ErrorAsStdDev = true;
    o.NoiseType = -1;
    o.NoiseLevelUnity = 0.123456789;
    o.NoiseLevelModulus = 0.0234567;
    o.WhiteBackground = true;
    o.AutoSetupMethod = 2;
}

bool SameOptions(const ProgramOptions& a, const ProgramOptions& b) {
    return a.AutoSignZImag == b.AutoSignZImag && a.ReverseZImag == b.ReverseZImag && a.Weighting == b.Weighting &&
           a.MaxIterations == b.MaxIterations && a.MinFreqExponent == b.MinFreqExponent &&
           a.MaxFreqExponent == b.MaxFreqExponent && a.UseSystemLibrary == b.UseSystemLibrary &&
           a.ScientificFormat == b.ScientificFormat && a.PeriodDecimal == b.PeriodDecimal &&
           a.SavePlotFormat == b.SavePlotFormat && a.ErrorAsStdDev == b.ErrorAsStdDev &&
           a.NoiseType == b.NoiseType && a.NoiseLevelUnity == b.NoiseLevelUnity &&
           a.NoiseLevelModulus == b.NoiseLevelModulus && a.WhiteBackground == b.WhiteBackground &&
           a.AutoSetupMethod == b.AutoSetupMethod;
}

TEST_F(OptForm, EveryControlShowsItsOption) {
    ProgramOptions& o = State().Options;
    SetUnusualOptions(o);
    form.show();
    EXPECT_TRUE(form.ReverseBtn->isChecked());
    EXPECT_TRUE(form.UnityRadioButton1->isChecked());
    EXPECT_EQ(form.CSpinEdit1->value(), 17);
    EXPECT_EQ(form.CSpinEdit2->value(), -5);
    EXPECT_EQ(form.CSpinEdit3->value(), 7);
    EXPECT_TRUE(form.ExtensiveBtn2->isChecked());
    EXPECT_TRUE(form.GeneralBtn->isChecked());
    EXPECT_TRUE(form.CheckBox1->isChecked());
    EXPECT_TRUE(form.RadioButton3->isChecked());
    EXPECT_TRUE(form.VarButton2->isChecked());
    EXPECT_TRUE(form.RadioButton7->isChecked());
    EXPECT_EQ(form.Edit1->text(), "0,02346");
    EXPECT_EQ(form.Edit2->text(), "0,1235");
    EXPECT_TRUE(form.CheckBox2->isChecked());
    EXPECT_TRUE(form.RadioButton6->isChecked());
    SaveScreenshot(form, "OptForm");
}

TEST_F(OptForm, ShowThenReadChangesNoOption) {
    // The engine reads the controls at every run: a dialog nobody touched
    // must give back exactly the options it showed, statistical weighting
    // and noise levels of more than four digits included.
    ProgramOptions unusual;
    SetUnusualOptions(unusual);
    ProgramOptions statistical;
    statistical.Weighting = 2;
    statistical.AutoSignZImag = true;
    statistical.ReverseZImag = true;
    for (const ProgramOptions& start : {ProgramOptions(), unusual, statistical}) {
        State().Options = start;
        form.ShowOptions();
        form.ReadOptions();
        EXPECT_TRUE(SameOptions(State().Options, start));
    }
}

TEST_F(OptForm, ControlsReadIntoTheOptions) {
    form.show();
    form.ReverseBtn->setChecked(true);
    form.ModRadioButton2->setChecked(true);
    form.CSpinEdit1->setValue(12);
    form.ExtensiveBtn2->setChecked(true);
    form.GeneralBtn->setChecked(true);
    form.RadioButton4->setChecked(true);
    form.VarButton2->setChecked(true);
    form.RadioButton9->setChecked(true);
    form.Edit1->setText("0,05");
    form.Edit2->setText("abc");
    form.CheckBox1->setChecked(true);
    form.CheckBox2->setChecked(true);
    form.RadioButton6->setChecked(true);
    form.OKBitBtn1->click();
    const ProgramOptions& o = State().Options;
    EXPECT_FALSE(o.AutoSignZImag);
    EXPECT_TRUE(o.ReverseZImag);
    EXPECT_EQ(o.Weighting, 1);
    EXPECT_EQ(o.MaxIterations, 12);
    EXPECT_TRUE(o.UseSystemLibrary);
    EXPECT_FALSE(o.ScientificFormat);
    EXPECT_EQ(o.SavePlotFormat, 4);
    EXPECT_TRUE(o.ErrorAsStdDev);
    EXPECT_EQ(o.NoiseType, 0);
    EXPECT_DOUBLE_EQ(o.NoiseLevelModulus, 0.05);
    EXPECT_DOUBLE_EQ(o.NoiseLevelUnity, 0.0);
    EXPECT_FALSE(o.PeriodDecimal);
    EXPECT_TRUE(o.WhiteBackground);
    EXPECT_EQ(o.AutoSetupMethod, 2);
    // "Auto detect" after "Reverse": the reverse flag stays.
    form.AutoDetectBtn->setChecked(true);
    form.ReadOptions();
    EXPECT_TRUE(o.AutoSignZImag);
    EXPECT_TRUE(o.ReverseZImag);
}

TEST_F(OptForm, AReadBeforeTheFirstShowingKeepsTheOptions) {
    ProgramOptions unusual;
    SetUnusualOptions(unusual);
    State().Options = unusual;
    TOptForm fresh;
    fresh.ReadOptions();
    EXPECT_TRUE(SameOptions(State().Options, unusual));
}

TEST_F(OptForm, ValuesHeldInsideTheDialogsRanges) {
    struct Case {
        int ProgramOptions::*field;
        QSpinBox* TOptForm::*spin;
        int stored, shown;
    } cases[] = {
        {&ProgramOptions::MaxIterations, &TOptForm::CSpinEdit1, 30, 20},
        {&ProgramOptions::MaxIterations, &TOptForm::CSpinEdit1, 2, 5},
        {&ProgramOptions::MinFreqExponent, &TOptForm::CSpinEdit2, 0, -1},
        {&ProgramOptions::MinFreqExponent, &TOptForm::CSpinEdit2, -9, -6},
        {&ProgramOptions::MaxFreqExponent, &TOptForm::CSpinEdit3, 12, 8},
        {&ProgramOptions::MaxFreqExponent, &TOptForm::CSpinEdit3, 1, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        State().Options.*c.field = c.stored;
        form.ShowOptions();
        EXPECT_EQ((form.*c.spin)->value(), c.shown);
        form.ReadOptions();
        EXPECT_EQ(State().Options.*c.field, c.shown);
    }
}

// What is typed and not yet taken by the box (out of range, or no number)
// is read at OK: held inside the range, and no integer reads as the minimum.
// The box alone kept its previous value, so a typed 3 left the limit at 10.
// A text typed into one of the spin edits and the value it must read as.
struct SpinCase {
    int ProgramOptions::*field;
    QSpinBox* TOptForm::*spin;
    const char* typed;
    int read;
};

// The spin edits shown with values inside their ranges (10, -3, 6).
void ShowInRangeSpinOptions(TOptForm& form) {
    State().Options.MaxIterations = 10;
    State().Options.MinFreqExponent = -3;
    State().Options.MaxFreqExponent = 6;
    form.ShowOptions();
}

TEST_F(OptForm, TypedSpinTextIsHeldInsideTheRangeWhenRead) {
    const SpinCase cases[] = {
        {&ProgramOptions::MaxIterations, &TOptForm::CSpinEdit1, "3", 5},
        {&ProgramOptions::MaxIterations, &TOptForm::CSpinEdit1, "99", 20},
        {&ProgramOptions::MaxIterations, &TOptForm::CSpinEdit1, " 12 ", 12},
        {&ProgramOptions::MaxIterations, &TOptForm::CSpinEdit1, "", 5},
        {&ProgramOptions::MaxIterations, &TOptForm::CSpinEdit1, "abc", 5},
        {&ProgramOptions::MinFreqExponent, &TOptForm::CSpinEdit2, "0", -1},
        {&ProgramOptions::MinFreqExponent, &TOptForm::CSpinEdit2, "-9", -6},
        {&ProgramOptions::MinFreqExponent, &TOptForm::CSpinEdit2, "-", -6},
        {&ProgramOptions::MaxFreqExponent, &TOptForm::CSpinEdit3, "1", 3},
        {&ProgramOptions::MaxFreqExponent, &TOptForm::CSpinEdit3, "7", 7},
    };
    for (const SpinCase& c : cases) {
        SCOPED_TRACE(c.typed);
        ShowInRangeSpinOptions(form);
        QLineEdit* edit = (form.*c.spin)->findChild<QLineEdit*>();
        ASSERT_NE(edit, nullptr);
        edit->setText(c.typed);
        form.ReadOptions();
        EXPECT_EQ(State().Options.*c.field, c.read);
        EXPECT_EQ((form.*c.spin)->value(), c.read);
    }
}

// Typed with the keys and confirmed with a click on OK: the click takes the
// focus from the box first, and what the box makes of the text then must be
// what OK would have read (the box alone turned an emptied -6..-1 edit into
// -1, not its minimum).
TEST_F(OptForm, TypedSpinTextConfirmedWithTheMouseIsHeldTheSameWay) {
    const SpinCase cases[] = {
        {&ProgramOptions::MinFreqExponent, &TOptForm::CSpinEdit2, "", -6},
        {&ProgramOptions::MinFreqExponent, &TOptForm::CSpinEdit2, "-", -6},
        {&ProgramOptions::MinFreqExponent, &TOptForm::CSpinEdit2, "-4", -4},
        {&ProgramOptions::MaxIterations, &TOptForm::CSpinEdit1, "", 5},
        {&ProgramOptions::MaxIterations, &TOptForm::CSpinEdit1, "3", 5},
        {&ProgramOptions::MaxFreqExponent, &TOptForm::CSpinEdit3, "1", 3},
        {&ProgramOptions::MaxFreqExponent, &TOptForm::CSpinEdit3, "", 3},
    };
    for (const SpinCase& c : cases) {
        SCOPED_TRACE(c.typed);
        ShowInRangeSpinOptions(form);
        form.show();
        QApplication::setActiveWindow(&form);
        QSpinBox* box = form.*c.spin;
        box->setFocus();
        QLineEdit* edit = box->findChild<QLineEdit*>();
        ASSERT_NE(edit, nullptr);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, c.typed);
        ASSERT_EQ(box->text(), QString(c.typed));
        QTest::mouseClick(form.OKBitBtn1, Qt::LeftButton);
        EXPECT_EQ(State().Options.*c.field, c.read);
        EXPECT_EQ(box->value(), c.read);
    }
}

TEST_F(OptForm, CancelChangesNothingEvenAtTheNextRun) {
    ProgramOptions& o = State().Options;
    o.Weighting = 2;  // statistical, from the option file
    const ProgramOptions before = o;
    form.show();
    form.ExtensiveBtn2->setChecked(true);
    form.ModRadioButton2->setChecked(true);
    form.CSpinEdit1->setValue(19);
    form.Edit1->setText("0,5");
    form.CancelBitBtn2->click();
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_TRUE(SameOptions(o, before));
    // What a fit run does first.
    Windows().Opt->ReadOptions();
    EXPECT_TRUE(SameOptions(o, before));
    EXPECT_EQ(o.Weighting, 2);
    // OK keeps statistical weighting when no weighting button was chosen.
    form.show();
    form.OKBitBtn1->click();
    EXPECT_EQ(o.Weighting, 2);
}

TEST_F(OptForm, SaveWritesTheFileTheCoreReads) {
    SetUnusualOptions(State().Options);
    // Levels the file's four digits hold exactly.
    State().Options.NoiseLevelUnity = 0.1234;
    State().Options.NoiseLevelModulus = 0.02345;
    form.show();
    // Answered No: nothing written, nothing changed.
    form.CSpinEdit1->setValue(8);
    services.messages.Answer(MsgResult::No);
    form.Button1->click();
    EXPECT_FALSE(std::filesystem::exists(OptionFilePath()));
    EXPECT_EQ(State().Options.MaxIterations, 17);
    // Yes: the shown options take effect and go to the file.
    services.messages.Answer(MsgResult::Yes);
    form.Button1->click();
    EXPECT_EQ(services.messages.transcript().back().text, "Save current options?");
    EXPECT_EQ(services.messages.transcript().back().caption, "Confirm...");
    ASSERT_TRUE(std::filesystem::exists(OptionFilePath()));
    EXPECT_EQ(State().Options.MaxIterations, 8);
    ProgramOptions expected = State().Options;
    const std::string app = State().Folders.AppFolder;
    ResetProgramState();
    State().Folders.AppFolder = app;
    ASSERT_TRUE(ReadOptionFile());
    ProgramOptions& read = State().Options;
    // The method of automatic start values is not kept in the file.
    read.AutoSetupMethod = expected.AutoSetupMethod;
    EXPECT_EQ(read.MaxIterations, 8);
    EXPECT_EQ(read.NoiseLevelModulus, expected.NoiseLevelModulus);
    EXPECT_TRUE(SameOptions(read, expected));
    // The reader showed what it read.
    EXPECT_EQ(form.CSpinEdit1->value(), 8);
}

// A noise level is a standard deviation: what OK takes from a typed level
// is what the window shows when opened again, what the option file keeps
// and what the window shows after a restart, never a negative number the
// file reader would not take back.
TEST_F(OptForm, TypedNoiseLevelsSurviveSaveAndRestartAsShown) {
    struct Case {
        const char* typedModulus;
        const char* typedUnity;
        const char* shownModulus;
        const char* shownUnity;
    } cases[] = {
        {"0.05", "2.5", "0.05", "2.5"},
        {"-0.05", "-2.5", "0.05", "2.5"},
        {"-1,25E-3", "-0", "0.00125", "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typedModulus);
        ResetProgramState();
        State().Folders.AppFolder = folder;
        form.show();
        form.Edit1->setText(c.typedModulus);
        form.Edit2->setText(c.typedUnity);
        form.OKBitBtn1->click();
        form.show();  // opened again: the options as they are now
        EXPECT_EQ(form.Edit1->text().toStdString(), c.shownModulus);
        EXPECT_EQ(form.Edit2->text().toStdString(), c.shownUnity);
        services.messages.Answer(MsgResult::Yes);
        form.Button1->click();
        form.reject();
        ResetProgramState();  // a restart: defaults, then the option file
        State().Folders.AppFolder = folder;
        ASSERT_TRUE(ReadOptionFile());
        form.show();
        EXPECT_EQ(form.Edit1->text().toStdString(), c.shownModulus);
        EXPECT_EQ(form.Edit2->text().toStdString(), c.shownUnity);
        form.reject();
    }
}

}  // namespace
}  // namespace pellucor::fitwin
