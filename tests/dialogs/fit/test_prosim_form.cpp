// The quick simulator: defaults when shown, Update through the main window's
// simulate step, the parameter window's Start column, and no reset when the
// window merely gets the focus back.
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

#include "core/CircuitCode.h"
#include <filesystem>
#include "dialogs/fit/FitWindowTest.h"
#include "dialogs/fit/TParForm.h"
#include "dialogs/fit/TProsimForm.h"
#include "tools/circuitpics/CircuitPicture.h"

namespace pellucor::fitwin {
namespace {

using testing::CountingMainHooks;
using testing::FitWindowTest;
using testing::SaveScreenshot;

class ProsimForm : public FitWindowTest {
protected:
    void SetUp() override {
        FitWindowTest::SetUp();
        InstallWindows({&par, nullptr, nullptr, &main});
        ProgramState& s = State();
        s.Circuit.Code = "R(CR)";
        s.Params.ParamCount = ParseCircuitCode(s.Circuit.Code);
        ASSERT_EQ(circuitpics::WriteCircuitPictures(s.Folders.BmpFolder, {"R(CR)"}), 0);
    }
    TParForm par;
    CountingMainHooks main;
};

TEST_F(ProsimForm, ShowingFillsTheDefaultsAndSimulates) {
    TProsimForm form;
    form.show();
    EXPECT_EQ(form.Label1->text(), "R(CR)");
    EXPECT_EQ(form.RowLabels[1]->text(), "R ");
    EXPECT_EQ(form.RowLabels[2]->text(), "C ");
    EXPECT_EQ(form.RowLabels[3]->text(), "R ");
    EXPECT_EQ(form.RowLabels[1]->objectName(), "Label2");
    EXPECT_EQ(form.Edits[1]->text(), "100");
    EXPECT_EQ(form.Edits[2]->text(), "1E-5");
    EXPECT_EQ(form.Edits[3]->text(), "100");
    for (int r = 4; r <= MaxParams; ++r) EXPECT_EQ(form.Edits[r]->text(), "1") << r;
    EXPECT_EQ(main.simulateCalls, 1);
    EXPECT_TRUE(main.lastNameFlag);
    EXPECT_TRUE(State().Run.SimulateMode);
    EXPECT_TRUE(State().Run.ModelValid);
    EXPECT_TRUE(State().Run.ParamsValid);
    for (int r = 1; r <= MaxParams; ++r) EXPECT_EQ(par.StartEdits[r]->text(), form.Edits[r]->text()) << r;
    EXPECT_FALSE(form.Image1->pixmap().isNull());
    SaveScreenshot(form, "ProsimForm");
}

TEST_F(ProsimForm, UpdateSimulatesWhatWasTypedAndFocusKeepsIt) {
    TProsimForm form;
    form.show();
    form.Edits[1]->setText("200");
    form.RefreshBitBtn->click();
    EXPECT_EQ(main.simulateCalls, 2);
    EXPECT_EQ(par.StartEdits[1]->text(), "200");
    // Clicking on the main window and back: nothing is reset or simulated.
    QEvent deactivate(QEvent::WindowDeactivate), activate(QEvent::WindowActivate);
    QApplication::sendEvent(&form, &deactivate);
    QApplication::sendEvent(&form, &activate);
    EXPECT_EQ(form.Edits[1]->text(), "200");
    EXPECT_EQ(main.simulateCalls, 2);
    // Shown again after being closed: the defaults come back.
    form.BitBtn2->click();
    EXPECT_FALSE(form.isVisible());
    form.show();
    EXPECT_EQ(form.Edits[1]->text(), "100");
    EXPECT_EQ(main.simulateCalls, 3);
}

TEST_F(ProsimForm, LoadFromParameterFormCopiesTheTexts) {
    TProsimForm form;
    par.StartEdits[1]->setText("3,5");
    par.StartEdits[15]->setText("x");
    form.LoadFromParameterForm();
    EXPECT_EQ(form.Edits[1]->text(), "3,5");
    EXPECT_EQ(form.Edits[15]->text(), "x");
    EXPECT_EQ(main.simulateCalls, 0);
}

TEST_F(ProsimForm, MissingPictureIsReportedNotFatal) {
    State().Circuit.Code = "RQ";
    State().Params.ParamCount = ParseCircuitCode("RQ");
    std::filesystem::remove(State().Folders.BmpFolder + "NONE.BMP");
    TProsimForm form;
    form.show();
    EXPECT_EQ(main.simulateCalls, 1);
    EXPECT_TRUE(form.Image1->pixmap().isNull());
    EXPECT_NE(services.errors.captured.find("NONE.BMP"), std::string::npos);
}

}  // namespace
}  // namespace pellucor::fitwin
