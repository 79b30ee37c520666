// Lumarest on the shared main window: both programs start from one code base
// with their own title, menus and windows; Lumarest's menus and tool-bar
// buttons lead to their handlers; starting Tamberic waits with the window
// disabled; the program variants, each as a pair of cases on the same input.
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <stdexcept>

#include "apps/LumarestProfile.h"
#include "apps/TambericProfile.h"
#include "core/FitDriver.h"
#include "mainwindow/MainWindowFixture.h"

using namespace pellucor;
using namespace pellucor::mainwindow;
using pellucor::testing_support::MainWindowTest;

namespace {

// A menu's entries in order, "-" for a separator, "name>" for a submenu.
using Texts = std::vector<std::string>;

Texts Entries(QMenu* m) {
    Texts out;
    for (QAction* a : m->actions())
        out.push_back((a->isSeparator() ? QString("-") : a->menu() ? a->text() + ">" : a->text()).toStdString());
    return out;
}

Texts TopMenus(TMainForm& f) {
    Texts out;
    for (QAction* a : f.menuBar()->actions()) out.push_back(a->text().toStdString());
    return out;
}

Texts Hints(TMainForm& f, QToolBar* bar) {
    Texts out;
    for (QToolButton* b : f.ToolButtons)
        if (b->parentWidget() == bar) out.push_back(b->toolTip().toStdString());
    return out;
}

}  // namespace

class LumarestShellTest : public MainWindowTest {
protected:
    TMainForm& StartLumarest() { return Start(lumarest); }
    apps::LumarestProfile lumarest;
};

TEST_F(LumarestShellTest, BothProgramsStartFromOneCodeBaseEachWithItsOwnTitleMenusAndWindows) {
    struct Case {
        const ProgramProfile* profile;
        const char* title;
        const char* caption;
        Texts menus;
        size_t mechanistic;  // entries of the Mechanistic menu
        std::vector<std::string> created;
    } cases[] = {
        {&tamberic, "Reaction Model Analysis - Pellucor V 3.20", " Mechanistic and Kinetic Analysis",
         {"&File", "&Run", "&Plot", "&Output", "&Tools", "&Dielectric", "Mechanistic", "&Help"}, 14,
         {"TechForm1", "TechForm2", "InstEditForm", "HelpPasteForm", "InstHdrForm", "InstModelForm", "InstPHForm",
          "InstOptionForm", "InstCovarForm", "InstGlobalForm"}},
        {&lumarest, "Impedance Data Analysis - Pellucor V 3.20", "Pellucor",
         {"&File", "&Run", "&Batch", "&Plot", "&Output", "&Extrapolate", "&Tools", "&Dielectric", "Mechanistic",
          "&Help"},
         3,
         {"TechForm1", "TechForm2", "InstForm", "InstEditForm", "HelpPasteForm", "InstHdrForm", "InstModelForm",
          "InstPHForm", "InstMonitorForm", "InstManagerForm", "InstOptionForm", "HelpKKForm", "InstWordForm",
          "InstCovarForm", "InstGlobalForm"}},
    };
    for (const Case& c : cases) {
        TMainForm& f = Start(*c.profile);
        EXPECT_EQ(c.profile->ApplicationTitle(), c.title);
        // For a reviewer: each program's main window as it starts.
        f.resize(900, 560);
        f.show();
        f.grab().save(QString(PELLUCOR_TEST_OUTPUT_DIR "/circuitapp_main_window_") +
                      (c.profile == &lumarest ? "Lumarest" : "Tamberic") + ".png");
        EXPECT_EQ(f.windowTitle(), c.caption);
        EXPECT_EQ(TopMenus(f), c.menus) << c.caption;
        size_t mechanistic = 0;
        for (QAction* a : f.MechanisticMenu->actions()) mechanistic += !a->isSeparator();
        EXPECT_EQ(mechanistic, c.mechanistic) << c.caption;
        // The windows built so far, in creation order (the empty lines are the
        // windows still to come).
        std::vector<std::string> created;
        for (const std::string& n : f.CreatedWindowNames())
            if (std::find(c.created.begin(), c.created.end(), n) != c.created.end()) created.push_back(n);
        EXPECT_EQ(created, c.created) << c.caption;
        for (const std::string& n : c.created) {
            QWidget* w = f.FindWindow(n);
            ASSERT_NE(w, nullptr) << n;
            EXPECT_FALSE(w->isVisible()) << n;
        }
        // The shared creation steps.
        EXPECT_FALSE(State().Group.GroupMode);
        EXPECT_TRUE(State().Group.GroupShowsCalculated);
        EXPECT_FALSE(State().Group.GroupPlotReady);
        EXPECT_EQ(State().Group.GroupCount, 1);
        form.reset();
        ResetProgramState();
    }
}

TEST_F(LumarestShellTest, CreationListsInTheProgramsOrder) {
    std::vector<std::string> owned, entry;
    for (const WindowSlot& s : lumarest.OwnedWindows()) owned.push_back(s.name);
    for (const WindowSlot& s : lumarest.EntryWindows()) entry.push_back(s.name);
    EXPECT_EQ(owned, (std::vector<std::string>{"ClpForm", "CDCForm", "ParForm", "OptForm", "ZrvalueForm", "PolyForm",
                                               "PasteForm", "JobReqForm", "ManagerForm", "FolderForm",
                                               "PlotOptForm", "ProsimForm", "SimulatorForm", "OneAdsForm",
                                               "CovarForm"}));
    // With the main window first, 23 windows made by the entry.
    EXPECT_EQ(entry, (std::vector<std::string>{"TechForm1", "TechForm2", "InstForm", "InstEditForm",
                                               "HelpPasteForm", "HeaderForm", "InstHdrForm", "BatchForm",
                                               "InstModelForm", "SAreaForm", "InstPHForm", "InstMonitorForm",
                                               "InstManagerForm", "InstOptionForm", "GraphForm", "HelpKKForm",
                                               "WordForm1", "InstWordForm", "SelectNdxForm", "CPEForm",
                                               "InstCovarForm", "InstGlobalForm"}));
}

TEST_F(LumarestShellTest, MenusOfTheCircuitProgram) {
    TMainForm& f = StartLumarest();
    auto menu = [&](const char* name) { return f.menuBar()->findChild<QMenu*>(name); };
    EXPECT_EQ(Entries(menu("Run1")),
              (std::vector<std::string>{"Select &Model && Run Mode", "&Edit Parameters && Run", "&View, Print && Copy  Results",
                           "&Options", "-", "Run in Simulate Mode", "Convert CPEs to Capcitors"}));
    EXPECT_EQ(Entries(menu("Batch1")), (std::vector<std::string>{"&Setup && Process", "&Locate Results", "Go &Home",
                                                    "Move to &Next ", "&Check Progress"}));
    EXPECT_EQ(Entries(menu("Plot1")),
              (std::vector<std::string>{"&Nyquist", "&Bode", "&Real  / Imag", "&Admittance", "&Capacitance", "&Errors",
                           "Bode (Y)", "Real / Imag (Y)", "-", "Bode in &Logarithm", "Show &Grid Lines",
                           "Use Large &Fonts", "Fixed &Window", "Freq. labels", "Re/Im in Logarithm"}));
    EXPECT_EQ(Entries(menu("Output1")), (std::vector<std::string>{"Select Items && &Print", "Print &Project Group", "-",
                                                     "Copy &Results", "&Copy Plot", "&Save Plot", "-",
                                                     "MS &Word Document"}));
    EXPECT_EQ(Entries(menu("Extrapolate")), (std::vector<std::string>{"Apply &Kramers-Kronig", "&Add Points", "&Remove Points",
                                                         "&Calculate Impedance", "&Save Extrapolated"}));
    EXPECT_EQ(Entries(menu("Mechanistic1")),
              (std::vector<std::string>{"Simulate Mode Run Examples", "Equal Impedance with Different Circuits", "-",
                           "Mechanistic and Kinetic Analysis ......"}));
    EXPECT_EQ(Entries(menu("Help1")), (std::vector<std::string>{"&Contents", "&How to Run", "&About", "-", "&Technical support"}));
    // Tamberic's menus keep none of these.
    form.reset();
    ResetProgramState();
    TMainForm& t = Start();
    EXPECT_EQ(t.menuBar()->findChild<QMenu*>("Batch1"), nullptr);
    EXPECT_EQ(Entries(t.menuBar()->findChild<QMenu*>("Help1")), (std::vector<std::string>{"&Contents", "&How to Run", "&About"}));
    EXPECT_EQ(t.noCPE1->text(), "Convert CPEs to Capacitors");
}

TEST_F(LumarestShellTest, EveryEntryAndButtonOfItsOwnRunsItsHandler) {
    TMainForm& f = StartLumarest();
    struct Binding {
        const char* menu;
        const char* caption;
        const char* handler;
    } menus[] = {
        {"&Run", "Convert CPEs to Capcitors", "noCPE1Click"},
        {"&Batch", "&Setup && Process", "Batchmode1Click"},
        {"&Batch", "&Locate Results", "Examinebatchresults1Click"},
        {"&Batch", "Go &Home", "BeginBtnClick"},
        {"&Batch", "Move to &Next ", "NextBtnClick"},
        {"&Batch", "&Check Progress", "CheckStatusClick"},
        {"&Output", "Print &Project Group", "PrintMangerClick"},
        {"&Output", "MS &Word Document", "InterfaceswithMSWord1Click"},
        {"&Extrapolate", "Apply &Kramers-Kronig", "Extrapolate1Click"},
        {"&Extrapolate", "&Add Points", "Addpoints1Click"},
        {"&Extrapolate", "&Remove Points", "Removepoints1Click"},
        {"&Extrapolate", "&Calculate Impedance", "Recalc1Click"},
        {"&Extrapolate", "&Save Extrapolated", "Saveasdata1Click"},
        {"Mechanistic", "Simulate Mode Run Examples", "SimulationModeRunExamples1Click"},
        {"Mechanistic", "Equal Impedance with Different Circuits", "EqualImpedancewithdifferentcircuits1Click"},
        {"Mechanistic", "Mechanistic and Kinetic Analysis ......", "RunOtherExamples1Click"},
        {"&Help", "&Technical support", "TechSupportClick"},
    };
    for (const Binding& b : menus) {
        QAction* a = MenuEntry(b.menu, b.caption);
        ASSERT_NE(a, nullptr) << b.caption;
        f.Bode1Click();
        a->trigger();
        EXPECT_EQ(f.LastHandler(), b.handler) << b.caption;
    }
    f.Bode1Click();
    Find(f.PopupMenu1, "MS &Word Document")->trigger();
    EXPECT_EQ(f.LastHandler(), "InterfaceswithMSWord1Click");

    // The second tool bar: the shared buttons, then this program's.
    const Binding buttons[] = {
        {"Toolbar2", "Retrieve pars", "RetrieveParsClick"},
        {"Toolbar2", "Save pars", "SaveParsClick"},
        {"Toolbar2", "Select items & print", "PrintBothBtn1Click"},
        {"Toolbar2", "Copy results", "CopyparsClick"},
        {"Toolbar2", "Copy plot", "CopyPlotClick"},
        {"Toolbar2", "Save plot", "SaveToMetafileClick"},
        {"Toolbar2", "Process batch", "Batchmode1Click"},
        {"Toolbar2", "Locate results", "Examinebatchresults1Click"},
        {"Toolbar2", "Go Home", "BeginBtnClick"},
        {"Toolbar2", "Move to Next", "NextBtnClick"},
        {"Toolbar2", "Check progress", "CheckStatusClick"},
        {"Toolbar2", "Print project group", "PrintMangerClick"},
        {"Toolbar2", "MS Word document ", "InterfaceswithMSWord1Click"},
        {"Toolbar2", "Copy plot", "CopyPlotClick"},
    };
    Texts expected;
    for (const Binding& b : buttons) expected.push_back(b.caption);
    EXPECT_EQ(Hints(f, f.Toolbar2), expected);
    std::vector<QToolButton*> own;
    for (QToolButton* b : f.ToolButtons)
        if (b->parentWidget() == f.Toolbar2) own.push_back(b);
    ASSERT_EQ(own.size(), std::size(buttons));
    for (size_t i = 6; i < own.size(); ++i) {
        f.Bode1Click();
        own[i]->click();
        EXPECT_EQ(f.LastHandler(), buttons[i].handler) << buttons[i].caption;
    }
    QToolButton* progress = f.findChild<QToolButton*>("CheckStatus");
    ASSERT_NE(progress, nullptr);
    EXPECT_TRUE(progress->font().bold());
    EXPECT_TRUE(progress->font().underline());
    EXPECT_EQ(progress->palette().color(QPalette::ButtonText), QColor(Qt::blue));
    // The first toolbar is the shared one.
    form.reset();
    ResetProgramState();
    TMainForm& t = Start();
    EXPECT_EQ(Hints(t, t.Toolbar2), (std::vector<std::string>{"Retrieve pars", "Save pars", "Select items & print",
                                                 "Copy results", "Copy plot", "Save plot"}));
}

// "Print Project Group" and the popup's "MS Word Document" carry a command in
// Lumarest only; in Tamberic they are greyed rather than doing nothing.
TEST_F(LumarestShellTest, SharedEntriesWithoutACommandInTheProgramAreGreyed) {
    struct Case {
        const ProgramProfile* profile;
        bool enabled;
    } cases[] = {{&tamberic, false}, {&lumarest, true}};
    for (const Case& c : cases) {
        TMainForm& f = Start(*c.profile);
        for (QAction* a : {f.PrintProjectGroup, f.PopWord}) {
            EXPECT_EQ(a->isEnabled(), c.enabled) << a->text().toStdString();
            // A fit run takes them neither away nor gives them.
            f.RunLocked([&] { EXPECT_EQ(a->isEnabled(), c.enabled); });
            EXPECT_EQ(a->isEnabled(), c.enabled);
        }
        form.reset();
        ResetProgramState();
    }
}

TEST_F(LumarestShellTest, CommandsOfLaterWindowsSayTheyAreNotAvailableYet) {
    TMainForm& f = StartLumarest();
    struct Case {
        void (TMainForm::*handler)();
        const char* text;
    } cases[] = {
        {&TMainForm::Batchmode1Click, "\"Setup & Process\" is not available yet."},
        {&TMainForm::Examinebatchresults1Click, "\"Locate Results\" is not available yet."},
        {&TMainForm::BeginBtnClick, "\"Go Home\" is not available yet."},
        {&TMainForm::NextBtnClick, "\"Move to Next \" is not available yet."},
        {&TMainForm::CheckStatusClick, "\"Check Progress\" is not available yet."},
        {&TMainForm::PrintMangerClick, "\"Print Project Group\" is not available yet."},
        {&TMainForm::InterfaceswithMSWord1Click, "\"MS Word Document\" is not available yet."},
        {&TMainForm::Extrapolate1Click, "\"Apply Kramers-Kronig\" is not available yet."},
        {&TMainForm::Addpoints1Click, "\"Add Points\" is not available yet."},
        {&TMainForm::Removepoints1Click, "\"Remove Points\" is not available yet."},
        {&TMainForm::Recalc1Click, "\"Calculate Impedance\" is not available yet."},
        {&TMainForm::Saveasdata1Click, "\"Save Extrapolated\" is not available yet."},
    };
    for (const Case& c : cases) {
        services.messages.clear();
        (f.*c.handler)();
        ASSERT_EQ(services.messages.transcript().size(), 1u) << c.text;
        EXPECT_EQ(services.messages.transcript()[0].text, c.text);
        EXPECT_EQ(services.messages.transcript()[0].caption, "Not available yet");
    }
    EXPECT_TRUE(modal.runner.shown.empty());
}

TEST_F(LumarestShellTest, BatchAndExtrapolationCommandsAreLockedWhileAFitRuns) {
    TMainForm& f = StartLumarest();
    const char* locked[] = {"Batchmode1", "Examinebatchresults1", "GoHome1", "MovetoNext1", "Extrapolate1",
                            "Addpoints1", "Removepoints1", "Recalc1", "Saveasdata1"};
    const char* free[] = {"CheckProgress1", "InterfaceswithMSWord1", "TechSupport"};
    f.RunLocked([&] {
        for (const char* n : locked) EXPECT_FALSE(f.findChild<QAction*>(n)->isEnabled()) << n;
        for (const char* n : free) EXPECT_TRUE(f.findChild<QAction*>(n)->isEnabled()) << n;
        EXPECT_FALSE(f.findChild<QToolButton*>("BatchBtn")->isEnabled());
        EXPECT_TRUE(f.findChild<QToolButton*>("CheckStatus")->isEnabled());
        // Reached anyway (a shortcut queued before the lock): refused.
        services.messages.clear();
        f.Addpoints1Click();
        ASSERT_EQ(services.messages.transcript().size(), 1u);
        EXPECT_EQ(services.messages.transcript()[0].caption, "Add Points");
    });
    for (const char* n : locked) EXPECT_TRUE(f.findChild<QAction*>(n)->isEnabled()) << n;
}

TEST_F(LumarestShellTest, TechnicalSupportOpensItsTopicOfTheProgramsHelpFile) {
    TMainForm& f = StartLumarest();
    const std::string helpFile = State().Folders.AppFolder + "/Tavri320.hlp";
    // Before "Contents" was ever used, and after it: the same file, topic 2870,
    // whether or not the file is there (the viewer says so itself).
    MenuEntry("&Help", "&Technical support")->trigger();
    std::ofstream(helpFile) << "help";
    f.HelpContent->trigger();
    std::remove(helpFile.c_str());
    MenuEntry("&Help", "&Technical support")->trigger();
    ASSERT_EQ(desktop.help.requests.size(), 3u);
    EXPECT_EQ(desktop.help.requests[0].file, helpFile);
    EXPECT_EQ(desktop.help.requests[0].context, 2870);
    EXPECT_EQ(desktop.help.requests[1].context, 0);
    EXPECT_EQ(desktop.help.requests[2].file, helpFile);
    EXPECT_EQ(desktop.help.requests[2].context, 2870);
    EXPECT_TRUE(services.messages.transcript().empty());

    // A help file the viewer cannot show is said, not passed over in silence.
    desktop.help.answer = false;
    MenuEntry("&Help", "&Technical support")->trigger();
    ASSERT_EQ(services.messages.transcript().size(), 1u);
    EXPECT_NE(services.messages.transcript()[0].text.find(helpFile), std::string::npos);
}

TEST_F(LumarestShellTest, StartingTambericWaitsWithTheMainWindowDisabled) {
    TMainForm& f = StartLumarest();
    f.show();
    // The first paint reports the circuit picture this test folder lacks; only
    // what starting Tamberic says counts here. The report is posted after the
    // paint, so two rounds of events deliver both.
    QApplication::processEvents();
    QApplication::processEvents();
    services.messages.clear();
    const std::string tamberic = State().Folders.AppFolder + "/Tamberic";
    QToolButton* home = f.findChild<QToolButton*>("BeginBtn");
    ASSERT_NE(home, nullptr);
    bool enabledMeanwhile = true, menusMeanwhile = true;
    desktop.programs.whileRunning = [&](const std::string&) {
        enabledMeanwhile = f.isEnabled();
        menusMeanwhile = f.menuBar()->isEnabled() && f.Toolbar2->isEnabled();
        // A click given while Tamberic runs: dropped, not carried out later.
        const QPointF at(5, 5);
        QCoreApplication::postEvent(home, new QMouseEvent(QEvent::MouseButtonPress, at, home->mapToGlobal(at),
                                                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
        QCoreApplication::postEvent(home, new QMouseEvent(QEvent::MouseButtonRelease, at, home->mapToGlobal(at),
                                                          Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
    };
    MenuEntry("Mechanistic", "Mechanistic and Kinetic Analysis ......")->trigger();
    ASSERT_EQ(desktop.programs.started, std::vector<std::string>{tamberic});
    EXPECT_FALSE(enabledMeanwhile);
    EXPECT_FALSE(menusMeanwhile);
    EXPECT_TRUE(f.isEnabled());
    QApplication::processEvents();
    EXPECT_EQ(f.LastHandler(), "RunOtherExamples1Click");
    EXPECT_TRUE(services.messages.transcript().empty());

    // It cannot be started: the message names the path, the window comes back.
    desktop.programs.whileRunning = {};
    desktop.programs.results.push_back(-1);
    f.RunOtherExamples1Click();
    ASSERT_EQ(services.messages.transcript().size(), 1u);
    EXPECT_EQ(services.messages.transcript()[0].text, "does not exist");
    EXPECT_EQ(services.messages.transcript()[0].caption, tamberic);
    EXPECT_TRUE(f.isEnabled());

    // A failure inside the wait also gives the window back.
    desktop.programs.whileRunning = [](const std::string&) { throw std::runtime_error("lost"); };
    EXPECT_THROW(f.RunOtherExamples1Click(), std::runtime_error);
    EXPECT_TRUE(f.isEnabled());
}

// ---- the program variants: each on the same input, once per program ----

TEST_F(LumarestShellTest, ParameterToleranceOfTheConvergenceTest) {
    struct Case {
        const ProgramProfile* profile;
        double tolerance;
        bool converged;
    } cases[] = {{&tamberic, 0.1, true}, {&lumarest, 0.02, false}};
    for (const Case& c : cases) {
        Start(*c.profile);
        EXPECT_DOUBLE_EQ(State().Fit.ParamTolerance, c.tolerance);
        // One resistor moved from 100 to 100.05 ohms without an error
        // estimate: a change of 0.05 %, between the two tolerances.
        ParamSet& p = State().Params;
        p.ParamCount = 1;
        p.Kind[1] = 1;
        p.Error[1] = 0;
        ParamArray<double> before = p.LnValue;
        before[1] = std::log(100.0);
        p.LnValue[1] = std::log(100.05);
        EXPECT_EQ(ParametersConverged(before), c.converged) << c.tolerance;
        form.reset();
        ResetProgramState();
    }
}

TEST_F(LumarestShellTest, VariantsOfTheSharedOperations) {
    struct Case {
        const char* variant;
        std::function<bool(const ProgramProfile&)> ask;
        bool tamberic, lumarest;
    } cases[] = {
        {"Open keeps StartValuesApplied and UserStartValues",
         [](const ProgramProfile& p) { return p.OpenKeepsStartValueChoice(); }, false, true},
        {"Retrieve keeps BatchMode and SimulateMode",
         [](const ProgramProfile& p) { return p.RetrieveKeepsBatchAndSimulate(); }, false, true},
        {"Sign boxes after parameters are loaded",
         [](const ProgramProfile& p) { return p.SignBoxesAfterParametersLoaded(); }, false, true},
        {"Edit Parameters & Run refused in batch mode",
         [](const ProgramProfile& p) { return p.EditRefusedInBatchMode(); }, true, false},
        {"simulation chi-squared from the added noise",
         [](const ProgramProfile& p) { return p.SimulationChiSqFromNoise(); }, false, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.ask(tamberic), c.tamberic) << c.variant;
        EXPECT_EQ(c.ask(lumarest), c.lumarest) << c.variant;
    }
}
