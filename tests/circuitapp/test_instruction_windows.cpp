// The five instruction windows: captions, which float above the others, the
// OK button of each, underlined headings, text that fits the fixed frame,
// and that OK and the close box only hide them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <functional>
#include <memory>

#include "circuitapp/InstructionWindows.h"
#include "dialogs/help/BesideModal.h"
#include "mainwindow/AppEnvironment.h"

using namespace pellucor::circuitapp;

namespace {

struct Case {
    const char* name;
    std::function<InstructionWindow*()> make;
    const char* caption;
    bool onTop;
    const char* ok;          // the OK button's name
    const char* heading;     // one underlined line
    const char* plain;       // one line that is not
    int texts;               // labels in the window
};

const Case kCases[] = {
    {"InstForm", [] { return new TInstForm; }, "How to setup batch process and start execution", true,
     "OkBitBtn1", "Select jobs to process", "Job = (Model) x (Data File)", 25},
    {"InstMonitorForm", [] { return new TInstMonitorForm; }, "How to check the progress of jobs?  ", true,
     "OkBitBtn1", "No steps are required !!!", "Print :   Prepare hard copy.", 9},
    {"InstManagerForm", [] { return new TInstManagerForm; }, "How to print a project group?", true,
     "HelpBitBtn1", "Accessing saved project ", "3.  Click the [Print] button in the toolbar.", 15},
    {"HelpKKForm", [] { return new THelpKKForm; }, "How to extrapolate?", true, "BitBtn1", "Frequency limit",
     "Vew the extrapolated segment for a selected order.", 13},
    {"InstWordForm", [] { return new TInstWordForm; }, "How to prepare a single-page document?", false,
     "BitBtn1", "After data analysis,", "can [Save]", 22},
};

}  // namespace

TEST(InstructionWindows, CaptionsButtonsAndTexts) {
    for (const Case& c : kCases) {
        std::unique_ptr<InstructionWindow> w(c.make());
        EXPECT_EQ(w->objectName().toStdString(), c.name);
        EXPECT_EQ(w->windowTitle().toStdString(), c.caption) << c.name;
        EXPECT_EQ(w->windowFlags().testFlag(Qt::WindowStaysOnTopHint), c.onTop) << c.name;
        EXPECT_FALSE(w->isModal()) << c.name;
        EXPECT_EQ(w->Texts().size(), c.texts) << c.name;
        ASSERT_NE(w->findChild<QPushButton*>(c.ok), nullptr) << c.name;

        QLabel* heading = nullptr;
        QLabel* plain = nullptr;
        for (QLabel* l : w->findChildren<QLabel*>()) {
            if (l->text() == c.heading) heading = l;
            if (l->text() == c.plain) plain = l;
        }
        ASSERT_NE(heading, nullptr) << c.name;
        ASSERT_NE(plain, nullptr) << c.name;
        EXPECT_TRUE(heading->font().underline()) << c.name;
        EXPECT_FALSE(plain->font().underline()) << c.name;
    }
}

// The frame has a fixed size: every line must be shown whole inside it.
TEST(InstructionWindows, EveryLineFitsTheFrame) {
    for (const Case& c : kCases) {
        std::unique_ptr<InstructionWindow> w(c.make());
        w->show();
        QApplication::processEvents();
        EXPECT_EQ(w->minimumSize(), w->maximumSize()) << c.name;
        // For a reviewer.
        w->grab().save(QString(PELLUCOR_TEST_OUTPUT_DIR "/circuitapp_") + c.name + ".png");
        for (QLabel* l : w->findChildren<QLabel*>()) {
            const QRect inWindow(l->mapTo(w.get(), QPoint(0, 0)), l->size());
            EXPECT_GE(l->width(), l->sizeHint().width()) << c.name << ": " << l->text().toStdString();
            EXPECT_GE(l->height(), l->sizeHint().height()) << c.name << ": " << l->text().toStdString();
            EXPECT_TRUE(w->rect().contains(inWindow)) << c.name << ": " << l->text().toStdString();
        }
    }
}

TEST(InstructionWindows, OkAndTheCloseBoxOnlyHide) {
    for (const Case& c : kCases) {
        std::unique_ptr<InstructionWindow> w(c.make());
        w->show();
        w->findChild<QPushButton*>(c.ok)->click();
        EXPECT_FALSE(w->isVisible()) << c.name;

        // Shown twice: still one window. Closed by its title bar and shown
        // again: the same place and text.
        w->show();
        w->show();
        w->move(30, 40);
        const QPoint where = w->pos();
        const QStringList texts = w->Texts();
        EXPECT_TRUE(w->close()) << c.name;
        EXPECT_FALSE(w->isVisible()) << c.name;
        EXPECT_FALSE(w->testAttribute(Qt::WA_DeleteOnClose)) << c.name;
        w->show();
        EXPECT_TRUE(w->isVisible()) << c.name;
        EXPECT_EQ(w->pos(), where) << c.name;
        EXPECT_EQ(w->Texts(), texts) << c.name;
        int shown = 0;
        for (QWidget* top : QApplication::topLevelWidgets())
            shown += top->isVisible() && top->objectName() == c.name;
        EXPECT_EQ(shown, 1) << c.name;
    }
}

// The windows they explain (batch set-up, project groups, extrapolation) are
// dialogs; an instruction window opened from one must be usable beside it.
TEST(InstructionWindows, CanBeUsedBesideARunningModalDialog) {
    QWidget owner;
    owner.show();
    for (const Case& c : kCases) {
        InstructionWindow* w = c.make();
        w->setParent(&owner, w->windowFlags());
        QDialog dialog(&owner);
        EXPECT_TRUE(pellucor::testing_support::OkWorksBesideRunningModal(dialog, *w,
                                                                         *w->findChild<QPushButton*>(c.ok)))
            << c.name;
        delete w;
    }
}

TEST(InstructionWindows, LabelColumnAndContinuedLines) {
    THelpKKForm w;
    const QStringList t = w.Texts();
    // A label comes before its text; a continued line follows the text it continues.
    const auto find = t.indexOf("Find:");
    ASSERT_GE(find, 0);
    EXPECT_EQ(t.value(find + 1), "Compute with polynomials of different order.");
    const auto evaluate = t.indexOf("Evaluate:");
    ASSERT_GE(evaluate, 0);
    EXPECT_EQ(t.value(evaluate + 1), "Compute impedance and");
    EXPECT_EQ(t.value(evaluate + 2), "compare with extrapolated data. ");
}
