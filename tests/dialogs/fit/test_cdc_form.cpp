// The model-library window: the built-in list, Add, Delete and Save with
// scripted answers, the user library file, the run mode at OK, pictures, and
// codes that must never reach the list or the engine.
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/CircuitCode.h"
#include "core/ModelLibrary.h"
#include "dialogs/fit/FitWindowTest.h"
#include "dialogs/fit/TCDCForm.h"
#include "tools/circuitpics/CircuitPicture.h"

namespace pellucor::fitwin {
namespace {

using platform::MsgResult;
using testing::FitWindowTest;
using testing::SaveScreenshot;

class CDCForm : public FitWindowTest {
protected:
    std::string ReadFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    void WriteUserLibrary(const std::string& text) {
        std::ofstream(UserLibraryPath(), std::ios::binary) << text;
    }
};

TEST_F(CDCForm, BuiltInListInItsOrder) {
    TCDCForm form;
    const std::vector<std::string> items = form.Items();
    ASSERT_EQ(items.size(), 109u);
    EXPECT_EQ(items.front(), "(C(CQ))");
    EXPECT_EQ(items[12], "(HC)");
    EXPECT_EQ(items[58], "R(CR)");
    EXPECT_EQ(items.back(), "RX");
    for (size_t i = 1; i < items.size(); ++i) EXPECT_LT(items[i - 1], items[i]) << i;
    size_t longest = 0;
    for (const std::string& c : items) {
        std::string v = c;
        EXPECT_TRUE(ValidateCdc(v)) << c;
        longest = std::max(longest, c.size());
    }
    EXPECT_EQ(longest, 24u);
}

TEST_F(CDCForm, AddChecksEveryCodeBeforeItEntersTheList) {
    struct Case {
        const char* name;
        std::string typed;
        bool answerYes;
        const char* message;  // nullptr: no message
        const char* added;    // nullptr: list unchanged
    } cases[] = {
        {"already there, other case", "r(cr)", true, "The code already exists!", nullptr},
        {"new code, sorted in", "r(c(rw))", true, nullptr, "R(C(RW))"},
        {"unbalanced", "(CR", true, "Invalid code.", nullptr},
        {"empty", "", true, "Invalid code.", nullptr},
        {"40 characters", "R(CR)(CR)(CR)(CR)(CR)(CR)(CR)(CR)(CR)RR", true, "Invalid code.", nullptr},
        {"declined", "R(CRW)", false, nullptr, nullptr},
    };
    WriteUserLibrary("R(CR)\r\nRQ\r\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        services.messages.clear();
        TCDCForm form;
        form.show();
        const std::vector<std::string> before = form.Items();
        form.SetCodeText(c.typed);
        services.messages.Answer(c.answerYes ? MsgResult::Yes : MsgResult::No);
        form.AddBtn1->click();
        const auto& t = services.messages.transcript();
        ASSERT_GE(t.size(), 1u);
        EXPECT_EQ(t[0].text, "Add the code to list?");
        EXPECT_EQ(t[0].caption, "Confirm...");
        if (c.message) {
            ASSERT_EQ(t.size(), 2u);
            EXPECT_EQ(t[1].text, c.message);
            EXPECT_EQ(t[1].caption, "Cannot add...");
        } else {
            EXPECT_EQ(t.size(), 1u);
        }
        std::vector<std::string> expect = before;
        if (c.added) {
            expect.push_back(c.added);
            std::sort(expect.begin(), expect.end());
        }
        EXPECT_EQ(form.Items(), expect);
        EXPECT_EQ(form.CodeText(), c.typed);  // the text stays as typed
    }
}

TEST_F(CDCForm, UserLibraryIsWrittenAndReadBack) {
    WriteUserLibrary("RQ\r\nR(CR)\r\n\r\n(cr\r\nR(CR)(CR)(CR)(CR)(CR)(CR)(CR)(CR)(CR)RR\r\nlr(qr)\n");
    TCDCForm form;
    form.show();
    EXPECT_EQ(form.Label2->text(), "User");
    // Empty, malformed and over-long lines never enter the list.
    EXPECT_EQ(form.Items(), (std::vector<std::string>{"LR(QR)", "R(CR)", "RQ"}));
    form.SetCodeText("R(QR)");
    services.messages.Answer(MsgResult::Yes);
    form.AddBtn1->click();
    form.SetCodeText("RQ");
    services.messages.Answer(MsgResult::Yes);
    form.DeleteBtn2->click();
    EXPECT_EQ(services.messages.transcript().back().text, "Delete selected code from list?");
    services.messages.Answer(MsgResult::Yes);
    form.SaveBtn3->click();
    EXPECT_EQ(services.messages.transcript().back().text, "Save updated list?");
    EXPECT_EQ(ReadFile(UserLibraryPath()), "LR(QR)\r\nR(CR)\r\nR(QR)\r\n");
    // Read back by a fresh window.
    TCDCForm again;
    again.show();
    EXPECT_EQ(again.Items(), (std::vector<std::string>{"LR(QR)", "R(CR)", "R(QR)"}));
}

TEST_F(CDCForm, SaveAnsweredNoWritesNothing) {
    WriteUserLibrary("RQ\r\n");
    TCDCForm form;
    form.show();
    services.messages.Answer(MsgResult::No);
    form.SaveBtn3->click();
    EXPECT_EQ(ReadFile(UserLibraryPath()), "RQ\r\n");
}

TEST_F(CDCForm, WithoutAUserLibraryTheSystemListStandsInAndCannotBeEdited) {
    TCDCForm form;
    form.show();
    EXPECT_TRUE(State().Options.UseSystemLibrary);
    EXPECT_EQ(form.Label2->text(), "System");
    form.SetCodeText("R(CRW)");
    form.AddBtn1->click();
    form.DeleteBtn2->click();
    const auto& t = services.messages.transcript();
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0].text, "Update is not allowed");
    EXPECT_EQ(t[0].caption, "Cannot add ...");
    EXPECT_EQ(t[1].caption, "Cannot delete ...");
    EXPECT_EQ(form.Items().size(), 109u);
    // Save copies the whole shown list to the user library, sorted.
    services.messages.Answer(MsgResult::Yes);
    form.SaveBtn3->click();
    EXPECT_EQ(t.back().text, "Copy this Library to User Library?");
    const auto written = ReadModelLibraryFile(UserLibraryPath());
    ASSERT_TRUE(written);
    EXPECT_EQ(*written, SystemModelLibrary());
    EXPECT_TRUE(State().Options.UseSystemLibrary);
    SaveScreenshot(form, "CDCForm");
}

TEST_F(CDCForm, OkWritesTheRunModeAndStartValueChoice) {
    struct Case {
        const char* name;
        QRadioButton* TCDCForm::*mode;
        bool userInput;
        bool simulate, monitor, iterate, cdcFlag, freed;
    } cases[] = {
        {"simulate", &TCDCForm::RadioButton4, false, true, false, false, false, false},
        {"monitor with user input", &TCDCForm::RadioButton3, true, false, true, false, true, true},
        {"iterate", &TCDCForm::RadioButton2, false, false, false, true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetProgramState();
        MemoryParamWindow par;
        InstallWindows({&par, nullptr, nullptr, nullptr});
        par.LockAllParameters();
        TCDCForm form;
        form.show();
        (form.*c.mode)->setChecked(true);
        (c.userInput ? form.UserBtn : form.AutoStartBtn)->setChecked(true);
        form.OkBitBtn1->click();
        const RunState& r = State().Run;
        EXPECT_EQ(form.result(), QDialog::Accepted);
        EXPECT_EQ(r.SimulateMode, c.simulate);
        EXPECT_EQ(r.MonitorMode, c.monitor);
        EXPECT_EQ(r.IterateMode, c.iterate);
        EXPECT_EQ(r.CdcFormFlag, c.cdcFlag);
        EXPECT_EQ(r.SimulateChoiceCopy, c.simulate);
        EXPECT_EQ(r.UserStartValues, c.userInput);
        for (int row = 1; row <= MaxParams; ++row) EXPECT_EQ(par.fixed[row], !c.freed) << row;
        ResetWindows();
    }
}

TEST_F(CDCForm, ActivationShowsTheRunModeFlags) {
    State().Run.IterateMode = false;
    State().Run.MonitorMode = true;
    State().Run.UserStartValues = true;
    TCDCForm form;
    form.show();
    EXPECT_TRUE(form.RadioButton3->isChecked());
    EXPECT_TRUE(form.UserBtn->isChecked());
    EXPECT_FALSE(form.RadioButton1->isEnabled());
    form.hide();
    State().Run.BatchMode = true;
    form.show();
    EXPECT_TRUE(form.RadioButton1->isChecked());
    EXPECT_FALSE(form.RadioButton2->isEnabled());
}

TEST_F(CDCForm, TheEngineTakesOnlyUsableCodes) {
    State().Circuit.Code = "R(CR)";
    EXPECT_FALSE(TakeModelCode("R(CR)(CR)(CR)(CR)(CR)(CR)(CR)(CR)(CR)RR"));
    EXPECT_FALSE(TakeModelCode("R(C"));
    ASSERT_EQ(services.messages.transcript().size(), 2u);
    EXPECT_EQ(services.messages.transcript()[0].text, "Invalid code!");
    EXPECT_EQ(services.messages.transcript()[0].caption, "Try again....");
    EXPECT_EQ(State().Circuit.Code, "R(CR)");
    EXPECT_TRUE(TakeModelCode("r(qr)"));
    EXPECT_EQ(State().Circuit.Code, "R(QR)");
}

TEST_F(CDCForm, ListReloadedAfterOkFromTheChosenLibrary) {
    WriteUserLibrary("RQ\r\nR(CR)\r\n");
    std::ofstream(ExtendedLibraryPath(), std::ios::binary) << "RX\r\nRB\r\n";
    TCDCForm form;
    form.SetCodeText("LR(QR)");
    form.ReloadLibraryAfterOk();
    EXPECT_EQ(form.Items(), (std::vector<std::string>{"R(CR)", "RQ"}));
    State().Options.UseSystemLibrary = true;
    form.ReloadLibraryAfterOk();
    EXPECT_EQ(form.Items(), (std::vector<std::string>{"RB", "RX"}));
    EXPECT_EQ(form.CodeText(), "LR(QR)");
}

TEST_F(CDCForm, PictureOfTheCodeOrNone) {
    const std::string bmp = State().Folders.BmpFolder;
    ASSERT_EQ(circuitpics::WriteCircuitPictures(bmp, {"R(CR)"}), 0);
    EXPECT_EQ(TCDCForm::PicturePath("R(CR)"), bmp + "R(CR).BMP");
    EXPECT_EQ(TCDCForm::PicturePath("R(QR)"), bmp + "NONE.BMP");
    TCDCForm form;
    form.SetCodeText("R(CR)");
    form.show();
    EXPECT_FALSE(form.Image1->pixmap().isNull());
    EXPECT_TRUE(services.errors.captured.empty());
    SaveScreenshot(form, "CDCForm_picture");
    // Copy puts the picture on the clipboard and says so.
    form.CopyBitBtn->click();
    ASSERT_EQ(services.messages.transcript().size(), 1u);
    EXPECT_EQ(services.messages.transcript()[0].caption, "Ready to paste!!!");
    // No pictures at all: reported, the window still works.
    std::filesystem::remove_all(bmp);
    form.SetCodeText("RQ");
    EXPECT_TRUE(form.Image1->pixmap().isNull());
    EXPECT_NE(services.errors.captured.find("NONE.BMP"), std::string::npos);
}

TEST_F(CDCForm, ATypedCodeIsTakenAsTyped) {
    // The list holds longer codes that begin with what is typed; the code the
    // main window takes at OK must be the one typed, not a listed one the
    // box proposed, whatever the case of the letters.
    for (const char* typed : {"R(CR)(QR)", "r(cr)(qr)", "R(CR)(CR)T", "LR(QR)(C"}) {
        SCOPED_TRACE(typed);
        TCDCForm form;
        form.show();
        QApplication::setActiveWindow(&form);
        form.ComboBox1->setFocus();
        form.ComboBox1->lineEdit()->clear();
        QTest::keyClicks(form.ComboBox1->lineEdit(), typed);
        EXPECT_EQ(form.CodeText(), typed);
        QTest::keyClick(form.ComboBox1->lineEdit(), Qt::Key_Tab);
        form.OkBitBtn1->click();
        EXPECT_EQ(form.result(), QDialog::Accepted);
        EXPECT_EQ(form.CodeText(), typed);
    }
    // Choosing from the list still sets the text.
    TCDCForm form;
    form.show();
    form.ComboBox1->setCurrentIndex(form.ComboBox1->findText("R(QR)"));
    EXPECT_EQ(form.CodeText(), "R(QR)");
}

}  // namespace
}  // namespace pellucor::fitwin
