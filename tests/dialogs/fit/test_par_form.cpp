// The parameter window: the grid against the memory double (one table of
// cases for both), activation, the search request, the start options at OK
// and the import of parameter files.
#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <cmath>
#include <vector>

#include "core/CircuitCode.h"
#include "core/ResultFiles.h"
#include "core/RoughSearch.h"
#include "core/SafeFile.h"
#include "dialogs/fit/FitWindowTest.h"
#include "dialogs/fit/TParForm.h"

namespace pellucor::fitwin {
namespace {

using testing::FitWindowTest;
using testing::SaveScreenshot;

class ParForm : public FitWindowTest {};

// What the engine sees after a case ran on one window.
struct EngineView {
    std::vector<double> values, signs;
    std::vector<bool> fixed, search;
    std::vector<std::string> startTexts, endTexts;
    int signCount = 0;
};

struct GridCase {
    const char* name;
    bool periodDecimal;
    std::vector<double> shown;             // Value[1..n] shown with ShowStartValues(false)
    std::vector<std::string> expectTexts;  // the Start texts rows 1..n then show
    std::vector<std::string> typed;        // then typed into Start rows 1..
    std::vector<double> expectRead;        // Value[1..] the engine reads back
    std::vector<int> fixedRows, signRows, searchRows;
};

// Runs one case on `w`, installed as the engine's parameter window.
EngineView RunCase(ParamWindow& w, const GridCase& c) {
    ResetProgramState();
    InstallWindows({&w, nullptr, nullptr, nullptr});
    ProgramState& s = State();
    s.Options.PeriodDecimal = c.periodDecimal;
    s.Params.ParamCount = static_cast<int>(c.shown.size());
    for (size_t i = 0; i < c.shown.size(); ++i) s.Params.Value[static_cast<int>(i) + 1] = c.shown[i];
    w.ShowStartValues(false);
    w.ShowEndValues(true);
    EngineView v;
    for (int r = 1; r <= MaxParams; ++r) {
        w.SetFixedBox(r, false);
        w.SetSignBox(r, false);
        w.SetSearchBox(r, false);
        v.startTexts.push_back(w.StartText(r));
    }
    for (size_t i = 0; i < c.typed.size(); ++i) w.SetStartText(static_cast<int>(i) + 1, c.typed[i]);
    for (int r : c.fixedRows) w.SetFixedBox(r, true);
    for (int r : c.signRows) w.SetSignBox(r, true);
    for (int r : c.searchRows) w.SetSearchBox(r, true);
    s.Run.SimulateMode = true;  // read as typed, no exponent restart
    w.ReadStartValues();
    w.ReadFixedFlags();
    v.signCount = w.ReadSigns();
    ReadSearchFlags();
    for (int r = 1; r <= MaxParams; ++r) {
        v.values.push_back(s.Params.Value[r]);
        v.signs.push_back(s.Params.Sign[r]);
        v.fixed.push_back(s.Params.Fixed[r] != 0);
        v.search.push_back(s.Params.SearchSelect[r] != 0);
        v.endTexts.push_back(w.EndText(r));
    }
    ResetWindows();
    return v;
}

TEST_F(ParForm, GridGivesTheEngineWhatTheMemoryDoubleGives) {
    const GridCase cases[] = {
        {"point: 4-digit texts", true, {100, 1e-5, -2.5, 0.0001, 12345.6, 1.234e-6, 150000},
         {"100", "1E-5", "-2.5", "0.0001", "1.235E4", "1.234E-6", "1.5E5"}, {}, {100, 1e-5, -2.5, 0.0001, 12350,
         1.234e-6, 150000}, {}, {}, {}},
        {"comma: texts with commas", false, {0.0001, -2.5, 1.5e5, 0.01},
         {"0,0001", "-2,5", "1,5E5", "0,01"}, {}, {0.0001, -2.5, 150000, 0.01}, {}, {}, {}},
        {"comma: typed texts", false, {1, 1, 1, 1, 1, 1}, {"1", "1", "1", "1", "1", "1"},
         {"2,5", "abc", "", "3, 5", "-4,25E-3", "7x"}, {2.5, 0, 0, 3, -4.25e-3, 7}, {}, {}, {}},
        {"point: typed texts and flags", true, {1, 2, 3}, {"1", "2", "3"}, {"1.5", "-2", "1e40"},
         {1.5, -2, 1e40}, {1, 3, 15}, {2, 14}, {3, 7}},
        {"spare rows show 1", true, {5}, {"5", "1", "1"}, {}, {5, 1, 1}, {}, {15}, {15}},
    };
    for (const GridCase& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryParamWindow memory;
        TParForm form;
        const EngineView a = RunCase(memory, c);
        const EngineView b = RunCase(form, c);
        EXPECT_EQ(b.values, a.values);
        EXPECT_EQ(b.signs, a.signs);
        EXPECT_EQ(b.fixed, a.fixed);
        EXPECT_EQ(b.search, a.search);
        EXPECT_EQ(b.startTexts, a.startTexts);
        EXPECT_EQ(b.endTexts, a.endTexts);
        EXPECT_EQ(b.signCount, a.signCount);
        for (size_t i = 0; i < c.expectTexts.size(); ++i) EXPECT_EQ(b.startTexts[i], c.expectTexts[i]) << i;
        for (size_t i = 0; i < c.expectRead.size(); ++i) EXPECT_DOUBLE_EQ(b.values[i], c.expectRead[i]) << i;
        for (int r : c.fixedRows) EXPECT_TRUE(b.fixed[static_cast<size_t>(r - 1)]);
        EXPECT_EQ(b.signCount, static_cast<int>(c.signRows.size()));
        for (int r : c.signRows) EXPECT_EQ(b.signs[static_cast<size_t>(r - 1)], -1.0);
        for (int r : c.searchRows) EXPECT_TRUE(b.search[static_cast<size_t>(r - 1)]);
    }
}

TEST_F(ParForm, ControlsCarryTheirComponentNames) {
    TParForm form;
    // Row 9 and row 13 start new blocks of component numbers.
    EXPECT_EQ(form.StartEdits[1]->objectName(), "Edit1");
    EXPECT_EQ(form.StartEdits[9]->objectName(), "Edit26");
    EXPECT_EQ(form.StartEdits[13]->objectName(), "Edit51");
    EXPECT_EQ(form.EndEdits[8]->objectName(), "Edit16");
    EXPECT_EQ(form.EndEdits[15]->objectName(), "Edit56");
    EXPECT_EQ(form.ErrorEdits[1]->objectName(), "Edit18");
    EXPECT_EQ(form.ErrorEdits[12]->objectName(), "Edit37");
    EXPECT_EQ(form.RowLabels[9]->objectName(), "Label17");
    EXPECT_EQ(form.SearchBoxes[15]->objectName(), "CheckBox30");
    EXPECT_EQ(form.SignBoxes[1]->objectName(), "CheckBox31");
    EXPECT_NE(form.findChild<QLineEdit*>("Edit59"), nullptr);
    EXPECT_EQ(form.findChild<QLineEdit*>("Edit17"), nullptr);
}

// A window that has just been shown with R(CR) in simulate mode off.
struct ShownForm {
    TParForm form;
    explicit ShownForm(bool reset) {
        InstallWindows({&form, nullptr, nullptr, nullptr});
        ProgramState& s = State();
        s.Circuit.Code = "R(CR)";
        s.Params.ParamCount = ParseCircuitCode(s.Circuit.Code);
        s.Params.Value[1] = 100;
        s.Params.Value[2] = 1e-5;
        s.Params.Value[3] = -200;
        s.Run.ResetParamWindow = reset;
        s.Run.IterateMode = true;
        s.Run.UserStartValues = true;
        s.Run.SearchRequested = true;
        s.Files.DataFileName = s.Folders.AppFolder + "data/cell.txt";
        form.show();
    }
};

TEST_F(ParForm, ShowingTheWindowActsOnceNotAtEveryFocus) {
    ShownForm w(/*reset=*/false);
    TParForm& f = w.form;
    EXPECT_EQ(f.StartEdits[3]->text(), "-200");
    EXPECT_TRUE(f.SignBoxes[3]->isChecked());
    EXPECT_TRUE(f.InitCheckBox->isChecked());
    EXPECT_TRUE(f.SignCheckBox->isChecked());
    EXPECT_FALSE(State().Run.SearchRequested);
    EXPECT_TRUE(f.IternRadioBtn->isChecked());
    EXPECT_EQ(f.FnameLabel->text(), "...data/cell.txt");
    EXPECT_EQ(f.RowLabels[4]->text().toStdString(), "Not used         ");
    // The user types; the window then loses and regains the focus.
    f.StartEdits[1]->setText("123");
    State().Params.Value[1] = 7;
    QEvent deactivate(QEvent::WindowDeactivate), activate(QEvent::WindowActivate);
    QApplication::sendEvent(&f, &deactivate);
    QApplication::sendEvent(&f, &activate);
    EXPECT_EQ(f.StartEdits[1]->text(), "123");
    SaveScreenshot(f, "ParForm");
}

TEST_F(ParForm, ResetOnShowingClearsSignsAndStartValues) {
    ShownForm w(/*reset=*/true);
    EXPECT_FALSE(w.form.InitCheckBox->isChecked());
    EXPECT_FALSE(w.form.SignBoxes[3]->isChecked());
    for (int r = 1; r <= MaxParams; ++r) EXPECT_EQ(w.form.StartEdits[r]->text(), "1") << r;
}

TEST_F(ParForm, SearchTwiceLeavesNoRequestButKeepsTheCopiedValues) {
    ShownForm w(false);
    TParForm& f = w.form;
    f.EndEdits[1]->setText("42");
    f.AutoSelBtn1Click();
    EXPECT_TRUE(State().Run.SearchRequested);
    EXPECT_EQ(f.Label12->text(), "Requested");
    EXPECT_EQ(f.StartEdits[1]->text(), "42");
    f.AutoSelBtn1Click();
    EXPECT_FALSE(State().Run.SearchRequested);
    EXPECT_EQ(f.Label12->text(), " ");
    EXPECT_TRUE(f.InitCheckBox->isChecked());
    EXPECT_EQ(f.StartEdits[1]->text(), "42");
}

TEST_F(ParForm, OkInIterateModeTakesSignsFromTheBoxesOnly) {
    ShownForm w(false);
    TParForm& f = w.form;
    f.InitCheckBox->setChecked(true);
    f.StartEdits[1]->setText("-50");  // minus typed, Sign box clear
    f.StartEdits[2]->setText("2e-6");
    f.SignBoxes[2]->setChecked(true);
    f.SignBoxes[3]->setChecked(false);
    f.StartEdits[3]->setText("300");
    f.OKBitBtn->click();
    const ParamSet& p = State().Params;
    EXPECT_EQ(f.result(), QDialog::Accepted);
    EXPECT_TRUE(State().Run.IterateMode);
    EXPECT_DOUBLE_EQ(p.Value[1], 50);
    EXPECT_DOUBLE_EQ(p.Value[2], -2e-6);
    EXPECT_DOUBLE_EQ(p.Value[3], 300);
    EXPECT_TRUE(State().Run.StartValuesApplied);
    EXPECT_FALSE(State().Run.UserStartValues);
    EXPECT_TRUE(f.SignCheckBox->isChecked());
}

TEST_F(ParForm, OkWithSimulateChosenReadsNoValues) {
    ShownForm w(false);
    w.form.SimnRadioBtn->setChecked(true);
    w.form.StartEdits[1]->setText("9");
    w.form.OKBitBtn->click();
    EXPECT_TRUE(State().Run.SimulateMode);
    EXPECT_FALSE(State().Run.IterateMode);
    EXPECT_DOUBLE_EQ(State().Params.Value[1], 100);
}

// A parameter file of `code` with end values `ends` (signed), written by the
// engine's own writer.
std::string WriteParFile(const std::string& path, const std::string& code, const std::vector<double>& ends) {
    const ProgramState kept = State();
    ProgramState& s = State();
    s.Circuit.Code = code;
    s.Params.ParamCount = ParseCircuitCode(code);
    for (size_t i = 0; i < ends.size(); ++i) {
        const int r = static_cast<int>(i) + 1;
        s.Params.Value[r] = ends[i];
        s.Params.Sign[r] = ends[i] < 0 ? -1.0 : 1.0;
        s.Params.LnValue[r] = std::log(std::fabs(ends[i]));
        s.Params.Error[r] = 1.5;
    }
    s.Fit.ChiSq = 0.0;
    EXPECT_TRUE(WriteParameterFile(s.Folders.AppFolder + "data/cell.txt", path));
    State() = kept;
    return path;
}

TEST_F(ParForm, ImportJudgesTheCodeInsideTheFile) {
    const std::string par = State().Folders.ParFolder;
    struct Case {
        const char* name;
        std::string fileName;
        std::string fileCode;
        bool imported;
    } cases[] = {
        {"matching name and code", "sample, R(CR).par", "R(CR)", true},
        {"name without blank or point", "params", "R(CR)", true},
        {"renamed file of another model", "sample, R(CR).par", "R(CR)(CR)", false},
        {"other model, as named", "sample, R(QR).par", "R(QR)", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        services.messages.clear();
        ShownForm w(false);
        TParForm& f = w.form;
        f.FixedBoxes[2]->setChecked(true);
        f.InitCheckBox->setChecked(false);
        const std::string path = WriteParFile(par + c.fileName, c.fileCode, {10, 2e-6, -300, 4, 5});
        const ParamSet before = State().Params;
        services.fileDialogs.AnswerOpen(path);
        f.Import->click();
        const ParamSet& p = State().Params;
        if (c.imported) {
            EXPECT_TRUE(services.messages.transcript().empty());
            EXPECT_EQ(f.StartEdits[1]->text(), "10");
            EXPECT_EQ(f.StartEdits[3]->text(), "-300");
            EXPECT_EQ(f.StartEdits[4]->text(), "1");
            EXPECT_TRUE(f.SignBoxes[3]->isChecked());
            EXPECT_TRUE(f.SignCheckBox->isChecked());
            EXPECT_TRUE(f.InitCheckBox->isChecked());
            EXPECT_TRUE(State().Run.UserStartValues);
            EXPECT_TRUE(f.FixedBoxes[2]->isChecked());
        } else {
            ASSERT_EQ(services.messages.transcript().size(), 1u);
            EXPECT_EQ(services.messages.transcript()[0].text, c.fileCode);
            EXPECT_EQ(services.messages.transcript()[0].caption, "Cannot import values for a different model.");
            EXPECT_EQ(f.StartEdits[1]->text(), "100");
            EXPECT_EQ(p.ParamCount, before.ParamCount);
            for (int r = 1; r <= MaxParams; ++r) {
                EXPECT_EQ(p.Value[r], before.Value[r]) << r;
                EXPECT_EQ(p.Kind[r], before.Kind[r]) << r;
            }
            EXPECT_FALSE(f.InitCheckBox->isChecked());
        }
        EXPECT_EQ(services.fileDialogs.requests.back().initialDir, par);
    }
}

TEST_F(ParForm, ImportKeepsTheSampleAreaOfTheLoadedData) {
    // An older parameter file has no area line. The data in memory were
    // scaled by the area the user entered; the import brings start values
    // only, so the area must stay with the data it scaled, or results saved
    // afterwards would name an area their data were not read with.
    const std::string par = State().Folders.ParFolder;
    for (bool withAreaLine : {true, false}) {
        SCOPED_TRACE(withAreaLine ? "file with an area line" : "file without an area line");
        ShownForm w(false);
        const std::string path = WriteParFile(par + "old, R(CR).par", "R(CR)", {10, 2e-6, 300});
        if (!withAreaLine) {
            std::string text;
            ASSERT_TRUE(ReadWholeFile(path, &text));
            // Line 6 is the area line; the code follows it.
            size_t at = 0;
            for (int i = 0; i < 5; ++i) at = text.find('\n', at) + 1;
            text.erase(at, text.find('\n', at) + 1 - at);
            ASSERT_TRUE(WriteFileAtomically(path, text, nullptr));
        }
        State().Fit.SampleArea = 2.5;
        services.fileDialogs.AnswerOpen(path);
        w.form.Import->click();
        EXPECT_EQ(w.form.StartEdits[1]->text(), "10");
        EXPECT_DOUBLE_EQ(State().Fit.SampleArea, 2.5);
    }
}

TEST_F(ParForm, ImportCancelledChangesNothing) {
    ShownForm w(false);
    services.fileDialogs.AnswerOpen(std::nullopt);
    w.form.Import->click();
    EXPECT_EQ(w.form.StartEdits[1]->text(), "100");
    EXPECT_TRUE(services.messages.transcript().empty());
}

TEST_F(ParForm, ButtonsOfTheGrid) {
    ShownForm w(false);
    TParForm& f = w.form;
    f.LockButton->click();
    for (int r = 1; r <= MaxParams; ++r) EXPECT_TRUE(f.FixedBoxes[r]->isChecked());
    f.FreeButton->click();
    for (int r = 1; r <= MaxParams; ++r) EXPECT_FALSE(f.FixedBoxes[r]->isChecked());
    f.EndEdits[2]->setText("3,3E-5");
    f.UpdateButton1->click();
    EXPECT_EQ(f.StartEdits[2]->text(), "3,3E-5");
}

TEST_F(ParForm, WeightingAndErrorCaptionShown) {
    State().Options.Weighting = 2;
    State().Options.ErrorAsStdDev = true;
    ShownForm w(false);
    EXPECT_EQ(w.form.WgtLabel->text(), "Statistical");
    EXPECT_EQ(w.form.ErrorLabel->text(), "Std. error");
}

}  // namespace
}  // namespace pellucor::fitwin
