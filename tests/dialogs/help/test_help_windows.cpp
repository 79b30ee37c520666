// The help windows, the about box and the splash window: captions, sizes,
// which float above the others, what OK and the close box do, and the
// splash window's timer.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <memory>

#include "core/ProgramState.h"
#include "dialogs/help/AbtFlashForm.h"
#include "dialogs/help/AbtModalForm.h"
#include "dialogs/help/BesideModal.h"
#include "dialogs/help/HelpWindows.h"
#include "mainwindow/AppEnvironment.h"

using namespace pellucor;
using namespace pellucor::dialogs;

namespace {

struct HelpCase {
    const char* name;
    std::function<HelpWindow*()> make;
    const char* caption;
    int width, height;
    bool onTop;
    bool modal;
};

const HelpCase kHelpCases[] = {
    {"TechForm1", [] { return new TTechForm1; }, "Symbols besides R, C and L. ", 365, 244, false, true},
    {"TechForm2", [] { return new TTechForm2; }, "Quick Guide to Run Pellucor", 574, 405, true, false},
    {"InstEditForm", [] { return new TInstEditForm; },
     "How to edit parameters and run (in iterate, monitor, or simulate mode)", 684, 310, true, false},
    {"HelpPasteForm", [] { return new THelpPasteForm; }, "Copied Z Data to clipboard?", 269, 245, false, false},
    {"InstHdrForm", [] { return new TInstHdrForm; }, "How to append header lines", 260, 206, true, false},
    {"InstModelForm", [] { return new TInstModelForm; }, "How to select model and run", 277, 288, false, false},
    {"InstPHForm", [] { return new TInstPHForm; }, "How to view, print and copy results ", 316, 294, true, false},
    {"InstOptionForm", [] { return new TInstOptionForm; }, "How to change options", 501, 487, true, false},
    {"InstPassvnForm", [] { return new TInstPassvnForm; }, "Simple passivation model", 271, 247, false, true},
    {"InstFeModelForm", [] { return new TInstFeModelForm; }, "Iron Dissolution", 284, 270, false, true},
    {"InstCovarForm", [] { return new TInstCovarForm; }, "How to view confidence regions", 277, 189, false, false},
    {"InstGlobalForm", [] { return new TInstGlobalForm; },
     "How to determine the global minimum of the chi-squard.", 461, 338, false, false},
};

}  // namespace

TEST(HelpWindows, CaptionsSizesAndWhatOkDoes) {
    for (const HelpCase& c : kHelpCases) {
        std::unique_ptr<HelpWindow> w(c.make());
        EXPECT_EQ(w->objectName().toStdString(), c.name);
        EXPECT_EQ(w->windowTitle().toStdString(), c.caption) << c.name;
        EXPECT_EQ(w->width(), c.width) << c.name;
        EXPECT_EQ(w->height(), c.height) << c.name;
        EXPECT_EQ(w->windowFlags().testFlag(Qt::WindowStaysOnTopHint), c.onTop) << c.name;
        EXPECT_EQ(w->IsModalKind(), c.modal) << c.name;
        ASSERT_NE(w->BitBtn1, nullptr) << c.name;

        w->show();
        ASSERT_TRUE(w->isVisible()) << c.name;
        w->BitBtn1->click();
        // OK hides every help window; a modal one also ends with OK.
        EXPECT_FALSE(w->isVisible()) << c.name;
        EXPECT_EQ(w->result(), c.modal ? QDialog::Accepted : QDialog::Rejected) << c.name;
    }
}

TEST(HelpWindows, ClosingOnlyHidesAndAShowBringsTheSameWindowBack) {
    TTechForm2 guide;
    guide.show();
    guide.move(40, 50);
    const QPoint where = guide.pos();
    EXPECT_TRUE(guide.close());
    EXPECT_FALSE(guide.isVisible());
    EXPECT_FALSE(guide.testAttribute(Qt::WA_DeleteOnClose));
    guide.show();
    EXPECT_TRUE(guide.isVisible());
    EXPECT_EQ(guide.pos(), where);
}

// Most help buttons sit on modal dialogs (paste window, parameter grid, model
// library, options); their help windows must be usable while those run.
TEST(HelpWindows, NonModalOnesCanBeUsedBesideARunningModalDialog) {
    QWidget owner;
    owner.show();
    for (const HelpCase& c : kHelpCases) {
        if (c.modal) continue;
        HelpWindow* w = c.make();
        w->setParent(&owner, w->windowFlags());
        QDialog dialog(&owner);
        EXPECT_TRUE(testing_support::OkWorksBesideRunningModal(dialog, *w, *w->BitBtn1)) << c.name;
        // Without a modal dialog it still works, and it stays the same window.
        w->show();
        w->BitBtn1->click();
        EXPECT_FALSE(w->isVisible()) << c.name;
        delete w;
    }
}

// A help window left open when the dialog that asked for it ends goes back to
// its owner (the window system keeps it with the main window again), not to
// the hidden dialog, nor to nothing once that dialog is freed. Ending an inner
// dialog while an outer one still runs ties it to the outer one, where it is
// still usable.
TEST(HelpWindows, GoBackToTheirOwnerWhenTheModalDialogEnds) {
    QWidget owner;
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner, 2000));
    auto* help = new TInstModelForm;
    help->setParent(&owner, help->windowFlags());
    auto* dialog = new QDialog(&owner);
    QTimer::singleShot(0, dialog, [&] {
        help->show();
        EXPECT_EQ(help->windowHandle()->transientParent(), dialog->windowHandle());
        dialog->reject();
    });
    platform::qt::RunModal(*dialog);
    ASSERT_TRUE(help->isVisible());
    EXPECT_EQ(help->windowHandle()->transientParent(), owner.windowHandle());
    delete dialog;
    EXPECT_EQ(help->windowHandle()->transientParent(), owner.windowHandle());
    help->hide();

    QDialog outer(&owner);
    QDialog inner(&outer);
    bool usable = false;
    QTimer::singleShot(0, &outer, [&] {
        QTimer::singleShot(0, &inner, [&] {
            help->show();
            inner.reject();
        });
        platform::qt::RunModal(inner);
        EXPECT_EQ(help->windowHandle()->transientParent(), outer.windowHandle());
        if (QTest::qWaitForWindowExposed(help, 2000)) {
            QPushButton* ok = help->BitBtn1;
            QTest::mouseClick(help->windowHandle(), Qt::LeftButton, {}, ok->mapTo(help, ok->rect().center()));
            QTest::qWait(20);
            usable = !help->isVisible();
        }
        outer.reject();
    });
    platform::qt::RunModal(outer);
    EXPECT_TRUE(usable);
    delete help;
}

TEST(HelpWindows, IronDissolutionHelpCarriesItsTexts) {
    TInstFeModelForm w;
    QStringList texts;
    for (QObject* o : w.findChildren<QObject*>())
        if (auto* label = qobject_cast<QWidget*>(o); label && label->objectName().startsWith("StaticText"))
            texts << label->property("text").toString();
    for (const char* t : {"With the Reac. model checked,", "- Select an item in the chloride group.",
                          "- Select a potential -0.45, -0.40, or enter other value.", "- Click [PlotZ].",
                          "admittance (YF) formula.", "Equivalent circuit --> Z"})
        EXPECT_TRUE(texts.contains(t)) << t;
}

TEST(AboutBox, CaptionSizeAndOk) {
    TAbtModalForm about;
    EXPECT_EQ(about.windowTitle(), "About Pellucor");
    EXPECT_EQ(about.size(), QSize(305, 224));
    EXPECT_TRUE(about.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    about.show();
    about.OKButton->click();
    EXPECT_EQ(about.result(), QDialog::Accepted);
    EXPECT_FALSE(about.isVisible());
}

TEST(SplashWindow, TimerOfTwoSecondsClearsTheFlag) {
    ResetProgramState();
    TAbtFlashForm splash;
    EXPECT_EQ(splash.windowTitle(), "About Pellucor");
    EXPECT_EQ(splash.size(), QSize(306, 222));
    EXPECT_TRUE(splash.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(splash.Timer1->interval(), 2000);
    EXPECT_TRUE(splash.Timer1->isActive());  // counting from creation
    EXPECT_TRUE(State().Run.SplashShowing);
    // Closing it early only hides it; the wait goes on.
    splash.show();
    splash.close();
    EXPECT_TRUE(State().Run.SplashShowing);
    splash.Timer1Timer();
    EXPECT_FALSE(State().Run.SplashShowing);
}

TEST(SplashWindow, TimerFiresWithTheEventLoopRunning) {
    ResetProgramState();
    QElapsedTimer clock;
    clock.start();
    TAbtFlashForm splash(nullptr, 120);
    splash.show();
    while (State().Run.SplashShowing && clock.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_FALSE(State().Run.SplashShowing);
    EXPECT_GE(clock.elapsed(), 120);
}
