// Every menu entry, popup entry, tool-bar button and check box leads to its
// handler; the view commands change the plot kind or the switch and its check
// mark together and redraw when the plot depends on it; the help, image-viewer
// and model-window commands.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QMouseEvent>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>
#include <fstream>

#include "core/StartUp.h"
#include "mainwindow/MainWindowFixture.h"

using namespace pellucor;
using namespace pellucor::mainwindow;
using pellucor::testing_support::MainWindowTest;

namespace {

struct Binding {
    const char* menu;
    const char* caption;
    const char* handler;  // "" for entries without a command in this program
};

// The menus of Tamberic's main window, entry by entry.
const Binding kMenuBindings[] = {
    {"&File", "&Open ....", "Open1Click"},
    {"&File", "Paste &Z Data", "Paste1Click"},
    {"&File", "&Retrive Parameters", "RetrieveParsClick"},
    {"&File", "Save Parameters", "SaveParsClick"},
    {"&File", "Save &Impedance Data", "SaveImpedaneData1Click"},
    {"&File", "Save &Converted (C or Z Data)", "SaveasDielectric1Click"},
    {"&File", "Delete Selected Point", "DeleteSelectedPoint1Click"},
    {"&Run", "Select &Model && Run Mode", "Model1Click"},
    {"&Run", "&Edit Parameters && Run", "ParamListClick"},
    {"&Run", "&View, Print && Copy  Results", "ToClipboardClick"},
    {"&Run", "&Options", "Option1Click"},
    {"&Run", "Run in Simulate Mode", "Simulator1Click"},
    {"&Run", "Convert CPEs to Capacitors", "noCPE1Click"},
    {"&Plot", "&Nyquist", "Nyquist1Click"},
    {"&Plot", "&Bode", "Bode1Click"},
    {"&Plot", "&Real  / Imag", "RealImag1Click"},
    {"&Plot", "&Admittance", "Admittance1Click"},
    {"&Plot", "&Capacitance", "Capacitance2Click"},
    {"&Plot", "&Errors", "Error1Click"},
    {"&Plot", "Bode (Y)", "YBodeClick"},
    {"&Plot", "Real / Imag (Y)", "YReImClick"},
    {"&Plot", "Bode in &Logarithm", "BodelogZ1Click"},
    {"&Plot", "Show &Grid Lines", "Gridlines1Click"},
    {"&Plot", "Use Large &Fonts", "Largefont1Click"},
    {"&Plot", "Fixed &Window", "ScreenSizeFixed1Click"},
    {"&Plot", "Re/Im in Logarithm", "ReImLogClick"},
    {"&Plot", "Freq. labels", "Freqlabels1Click"},
    {"&Output", "Select Items && &Print", "PrintBothBtn1Click"},
    {"&Output", "Print &Project Group", ""},
    {"&Output", "Copy &Results", "CopyparsClick"},
    {"&Output", "&Copy Plot", "CopyPlotClick"},
    {"&Output", "&Save Plot", "SaveToMetafileClick"},
    {"&Tools", "Impedance", "export_ZClick"},
    {"&Tools", "Bode, Absolute", "export_Z1Click"},
    {"&Tools", "Bode, Angle", "export_angleClick"},
    {"&Tools", "Real and  Imag", "export_ZandZ1Click"},
    {"&Tools", "Admittance", "export_AClick"},
    {"&Tools", "Capacitance", "export_CClick"},
    {"&Tools", "Bode (Y), Absolute", "YBodeAbsClick"},
    {"&Tools", "Bode (Y), Angle", "YBodeAngleClick"},
    {"&Tools", "Enter Sample &Area", "SurfaceBtn1Click"},
    {"&Tools", "Create New &Folder", "CreateFolder1Click"},
    {"&Tools", "Append &Header Lines", "Headerlines1Click"},
    {"&Tools", "Get &Pseudocapacitance", "PseudocapacitanceCalculator1Click"},
    {"&Tools", "Change Chart &Title", "ChangeTitle1Click"},
    {"&Tools", "Edit Sample IDs", "SampleIDsClick"},
    {"&Tools", "Specify Image Viewer", "SetupImageViewer1Click"},
    {"&Tools", "View Saved Plots", "RunImageViewer1Click"},
    {"&Dielectric", "Coductive System", "System1Click"},
    {"&Dielectric", "Dielectric System", "Dielectricsystem1Click"},
    {"&Dielectric", "Read Z Data", "ImpedanceData1Click"},
    {"&Dielectric", "Read C Data", "DielectricData1Click"},
    {"Mechanistic", "Simulate Mode Run Examples", "SimulationModeRunExamples1Click"},
    {"Mechanistic", "Equal Impedance with Different Circuits", "EqualImpedancewithdifferentcircuits1Click"},
    {"Mechanistic", "Simple Passivation Model (1 adsorbed)", "PrimitivePassivation1Click"},
    {"Mechanistic", "Electrocrystallization of Nickel (Optimization, 1 adsorbed)", "NickelDepositClick"},
    {"Mechanistic", "Passivation of Chromium (Optimization)", "PassivationofChromium1Click"},
    {"Mechanistic", "Transpassive Dissolution of Ni-Cr Alloys (2 adsorbed, OptimA)",
     "TRanspassivityofNiCrAlloys1Click"},
    {"Mechanistic", "Inhibition of Iron Dissolution by Chlorides (3 adsorbed, OptimB and OptimC)",
     "IronDissolution1Click"},
    {"Mechanistic", "Zinc Deposition in Acidic Sulfate Electrolytes (4 adsorbed, OptimD)",
     "ZincElectrowinning1Click"},
    {"Mechanistic", "Determination of Kinetic Parameters, OptimA (2 adsorbed)", "ExampleA21Click"},
    {"Mechanistic", "Determination of Kinetic Parameters, OptimB and OptimC (3 adsorbed)", "ExampleB21Click"},
    {"Mechanistic", "Determination of Kinetic Parameters, OptimD (4 adsorbed)",
     "DeterminationofKineticParametersOptimD1Click"},
    {"Mechanistic", "Effect of Surface Condition on Zinc Dissolution (3 adsorbed)", "ZincDissolution1Click"},
    {"Mechanistic", "Electrocrystallization of Zinc (3 adsorbed, Multiple steady-states)", "ZincModel1Click"},
    {"Mechanistic", "Reaction Model for Iron Dissolution (4 adsorbed)", "IronModel1Click"},
    {"&Help", "&Contents", "HelpContentClick"},
    {"&Help", "&How to Run", "Howtorun1Click"},
    {"&Help", "&About", "About1Click"},
    {"&File", "E&xit", "Exit1Click"},  // last: it closes the window
};

const Binding kPopupBindings[] = {
    {"", "Open", "Open1Click"},
    {"", "Select Model && Run Mode", "Model1Click"},
    {"", "View, Print && Copy Results", "ToClipboardClick"},
    {"", "Retrieve Parameters", "RetrieveParsClick"},
    {"", "Run in Simulate Mode", "Simulator1Click"},
    {"", "Copy &Results", "CopyparsClick"},
    {"", "&Copy Plot", "CopyPlotClick"},
    {"", "&Save Plot", "SaveToMetafileClick"},
    {"", "View Saved Plots", "RunImageViewer1Click"},
    {"", "MS &Word Document", ""},
    {"", "Save &Impedance Data", "SaveImpedaneData1Click"},
    {"", "&Delete Selected Point", "DeleteSelectedPoint1Click"},
};

// Tool-bar buttons by hint, from the left, the upper bar first.
const Binding kButtonBindings[] = {
    {"Toolbar2", "Retrieve pars", "RetrieveParsClick"},
    {"Toolbar2", "Save pars", "SaveParsClick"},
    {"Toolbar2", "Select items & print", "PrintBothBtn1Click"},
    {"Toolbar2", "Copy results", "CopyparsClick"},
    {"Toolbar2", "Copy plot", "CopyPlotClick"},
    {"Toolbar2", "Save plot", "SaveToMetafileClick"},
    {"Toolbar", "Open", "Open1Click"},
    {"Toolbar", "Paste Z Data", "Paste1Click"},
    {"Toolbar", "Select Model & Run Mode", "Model1Click"},
    {"Toolbar", "Edit parameters & run", "ParamListClick"},
    {"Toolbar", "View results", "ToClipboardClick"},
    {"Toolbar", "Options", "Option1Click"},
    {"Toolbar", "Nyquist", "Nyquist1Click"},
    {"Toolbar", "Bode", "Bode1Click"},
    {"Toolbar", "Real/Imag", "RealImag1Click"},
    {"Toolbar", "Admittance", "Admittance1Click"},
    {"Toolbar", "Capacitance", "Capacitance2Click"},
    {"Toolbar", "Error", "Error1Click"},
    {"Toolbar", "How to run?", "Howtorun1Click"},
};

const Binding kCheckBoxBindings[] = {
    {"Toolbar2", "Large fonts", "Largefont1Click"},  {"Toolbar2", "Fixed window", "ScreenSizeFixed1Click"},
    {"Toolbar2", "Bode in log", "BodelogZ1Click"},   {"Toolbar2", "Grid lines", "Gridlines1Click"},
    {"Toolbar", "Re/Im in log", "ReImLogClick"},     {"Toolbar", "Freq. labels", "Freqlabels1Click"},
};

}  // namespace

class CommandsTest : public MainWindowTest {
protected:
    // Whatever a command asks: Cancel in file dialogs and modal windows, OK in boxes.
    void AnswerEverythingCautiously() {
        for (int i = 0; i < 4; ++i) services.fileDialogs.AnswerSave(std::nullopt);
        for (int i = 0; i < 4; ++i) services.fileDialogs.AnswerOpen(std::nullopt);
    }
};

TEST_F(CommandsTest, EveryMenuEntryRunsItsHandler) {
    Start();
    AnswerEverythingCautiously();
    size_t entries = 0;
    for (const Binding& b : kMenuBindings) {
        QAction* a = MenuEntry(b.menu, b.caption);
        ASSERT_NE(a, nullptr) << b.menu << " / " << b.caption;
        ++entries;
        form->Bode1Click();  // a known handler before each entry
        a->setEnabled(true);
        a->trigger();
        const std::string expected = *b.handler ? b.handler : "Bode1Click";
        EXPECT_EQ(form->LastHandler(), expected) << b.caption;
    }
    // No entry of the menus is left out of the table.
    size_t all = 0;
    std::function<void(QMenu*)> count = [&](QMenu* m) {
        for (QAction* a : m->actions()) {
            if (a->menu())
                count(a->menu());
            else if (!a->isSeparator())
                ++all;
        }
    };
    for (QAction* top : form->menuBar()->actions()) count(top->menu());
    EXPECT_EQ(all, entries);
}

TEST_F(CommandsTest, EveryPopupEntryRunsItsHandler) {
    Start();
    AnswerEverythingCautiously();
    QStringList captions;
    for (QAction* a : form->PopupMenu1->actions())
        if (!a->isSeparator()) captions << a->text();
    QStringList expected;
    for (const Binding& b : kPopupBindings) expected << b.caption;
    EXPECT_EQ(captions, expected);  // in this order
    for (const Binding& b : kPopupBindings) {
        QAction* a = Find(form->PopupMenu1, b.caption);
        ASSERT_NE(a, nullptr) << b.caption;
        form->Bode1Click();
        // The quick simulator computes when it appears; saving its spectrum asks for the name.
        if (State().Run.SimulateMode && State().Run.ResultsComputed && std::string(b.handler) == "SaveImpedaneData1Click")
            services.messages.Answer(platform::MsgResult::No);
        a->trigger();
        EXPECT_EQ(form->LastHandler(), *b.handler ? b.handler : "Bode1Click") << b.caption;
    }
}

TEST_F(CommandsTest, EveryToolBarButtonAndCheckBoxRunsItsHandler) {
    Start();
    AnswerEverythingCautiously();
    ASSERT_EQ(form->ToolButtons.size(), std::size(kButtonBindings));
    for (size_t i = 0; i < std::size(kButtonBindings); ++i) {
        const Binding& b = kButtonBindings[i];
        QToolButton* button = form->ToolButtons[i];
        EXPECT_EQ(button->toolTip().toStdString(), b.caption);
        EXPECT_EQ(button->parentWidget()->objectName().toStdString(), b.menu) << b.caption;
        form->Bode1Click();
        button->click();
        EXPECT_EQ(form->LastHandler(), b.handler) << b.caption;
    }
    for (const Binding& b : kCheckBoxBindings) {
        QCheckBox* box = nullptr;
        for (QCheckBox* c : form->findChildren<QCheckBox*>())
            if (c->text() == b.caption) box = c;
        ASSERT_NE(box, nullptr) << b.caption;
        EXPECT_EQ(box->parentWidget()->objectName().toStdString(), b.menu) << b.caption;
        form->Bode1Click();
        box->click();
        EXPECT_EQ(form->LastHandler(), b.handler) << b.caption;
    }
    // The sample-area panel, a click on the bar itself, the hidden second model button.
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    form->Bode1Click();
    QCoreApplication::sendEvent(form->Panel1, &press);
    EXPECT_EQ(form->LastHandler(), "SurfaceBtn1Click");
    form->Bode1Click();
    QCoreApplication::sendEvent(form->Toolbar, &press);
    EXPECT_EQ(form->LastHandler(), "Model1Click");
    form->Bode1Click();
    form->MasterBtn->click();
    EXPECT_EQ(form->LastHandler(), "Model1Click");
}

TEST_F(CommandsTest, StartStateOfEntriesAndSwitches) {
    Start();
    EXPECT_FALSE(form->SaveasDielectric1->isEnabled());
    EXPECT_FALSE(form->SampleIDs->isEnabled());
    EXPECT_FALSE(form->ImpedanceData1->isEnabled());
    EXPECT_TRUE(form->ImpedanceData1->isChecked());
    EXPECT_TRUE(form->System1->isChecked());
    EXPECT_TRUE(form->BodelogZ1->isChecked());
    EXPECT_TRUE(form->Gridlines1->isChecked());
    EXPECT_FALSE(form->Largefont1->isChecked());
    EXPECT_TRUE(form->ScreenSizeFixed1->isChecked());
    EXPECT_FALSE(form->ReImLog->isChecked());
    EXPECT_TRUE(form->Freqlabels1->isChecked());
    EXPECT_EQ(State().Run.PlotKind, 1);
    EXPECT_TRUE(form->ToolButtons[12]->isChecked());  // "Nyquist" pressed
}

TEST_F(CommandsTest, PlotKindCommandsSetTheKindAndRedraw) {
    Start();
    struct Case {
        QAction* TMainForm::*entry;
        int kind;
    } cases[] = {{&TMainForm::Bode1, 2},        {&TMainForm::Admittance1, 3}, {&TMainForm::Error1, 4},
                 {&TMainForm::Capacitance2, 5}, {&TMainForm::RealImag1, 6},   {&TMainForm::YBode, 7},
                 {&TMainForm::YReIm, 8},        {&TMainForm::Nyquist1, 1}};
    for (const Case& c : cases) {
        const int before = Chart().ReplotCount();
        (form.get()->*c.entry)->trigger();
        EXPECT_EQ(State().Run.PlotKind, c.kind);
        EXPECT_EQ(Chart().ReplotCount(), before + 1) << c.kind;
        EXPECT_EQ(Chart().LastReplotKind(), c.kind);
    }
}

TEST_F(CommandsTest, ViewSwitchesFlipTheirCheckAndRedrawOnlyWhereThePlotDependsOnIt) {
    struct Case {
        const char* name;
        QAction* TMainForm::*entry;
        QCheckBox* TMainForm::*box;
        std::function<bool(const TMainForm&)> state;  // the state the switch sets
        std::vector<int> redrawKinds;                 // empty: every kind
    } cases[] = {
        {"Bode in log", &TMainForm::BodelogZ1, &TMainForm::CheckBox2,
         [](const TMainForm&) { return State().Run.LogBodeZ; }, {2, 7}},
        {"Re/Im in log", &TMainForm::ReImLog, &TMainForm::CheckBox6,
         [](const TMainForm&) { return State().Run.LogReIm; }, {6, 8}},
        {"Freq. labels", &TMainForm::Freqlabels1, &TMainForm::CheckBox5,
         [](const TMainForm& f) { return f.FrequencyLabelsOn; }, {1, 3, 5}},
        {"Grid lines", &TMainForm::Gridlines1, &TMainForm::CheckBox3,
         [](const TMainForm& f) { return f.Gridlines1->isChecked(); }, {}},
        {"Large fonts", &TMainForm::Largefont1, &TMainForm::CheckBox1,
         [](const TMainForm&) { return true; }, {}},
    };
    for (const Case& c : cases) {
        for (int kind = 1; kind <= 8; ++kind) {
            ResetProgramState();
            ResetWindows();
            Start();
            TMainForm& f = *form;
            State().Run.PlotKind = kind;
            QAction* entry = f.*c.entry;
            QCheckBox* box = f.*c.box;
            const bool redraw = c.redrawKinds.empty() ||
                                std::find(c.redrawKinds.begin(), c.redrawKinds.end(), kind) != c.redrawKinds.end();
            // From the menu: check mark and state change together.
            const bool was = entry->isChecked();
            const bool boxWas = box->isChecked();
            int replots = Chart().ReplotCount();
            entry->trigger();
            EXPECT_EQ(entry->isChecked(), !was) << c.name << " kind " << kind;
            EXPECT_EQ(c.state(f), c.name == std::string("Large fonts") ? true : entry->isChecked())
                << c.name << " kind " << kind;
            EXPECT_EQ(Chart().ReplotCount(), replots + (redraw ? 1 : 0)) << c.name << " kind " << kind;
            if (redraw) {
                EXPECT_EQ(Chart().LastReplotKind(), kind);
            }
            // The tool-bar box keeps the tick the person gave it.
            EXPECT_EQ(box->isChecked(), boxWas) << c.name;

            // From the box: the box takes its own tick, the handler flips the menu entry.
            replots = Chart().ReplotCount();
            box->click();
            EXPECT_EQ(box->isChecked(), !boxWas) << c.name;
            EXPECT_EQ(entry->isChecked(), was) << c.name << " kind " << kind;
            if (c.name != std::string("Large fonts")) {
                EXPECT_EQ(c.state(f), was) << c.name;
            }
            EXPECT_EQ(Chart().ReplotCount(), replots + (redraw ? 1 : 0)) << c.name << " kind " << kind;
        }
    }
}

TEST_F(CommandsTest, LargeFontsReachTheChart) {
    Start();
    EXPECT_FALSE(Chart().LargeFonts());
    form->Largefont1->trigger();
    EXPECT_TRUE(Chart().LargeFonts());
    form->CheckBox1->click();  // the box says "on" now, the menu goes back to off
    EXPECT_TRUE(form->CheckBox1->isChecked());
    EXPECT_FALSE(form->Largefont1->isChecked());
    EXPECT_FALSE(Chart().LargeFonts());
}

TEST_F(CommandsTest, FixedWindowKeepsTheSizeItWasLeftWith) {
    Start();
    form->show();
    form->resize(700, 520);
    const QSize left = form->size();
    form->ScreenSizeFixed1->trigger();  // leave the mode: the size is kept
    EXPECT_FALSE(form->ScreenSizeFixed1->isChecked());
    EXPECT_EQ(form->FixedWindowWidth, left.width());
    EXPECT_EQ(form->FixedWindowHeight, left.height());

    // Outside the mode a plot-kind command starts from the kept size.
    form->resize(900, 650);
    form->Bode1->trigger();
    EXPECT_EQ(form->size(), left);

    form->resize(910, 660);
    const int replots = Chart().ReplotCount();
    form->ScreenSizeFixed1->trigger();  // enter again: the kept size comes back
    EXPECT_TRUE(form->ScreenSizeFixed1->isChecked());
    EXPECT_EQ(form->size(), left);
    EXPECT_EQ(Chart().ReplotCount(), replots + 1);

    // In the mode the plot-kind commands keep the window as it is.
    form->resize(880, 640);
    form->Nyquist1->trigger();
    EXPECT_EQ(form->size(), QSize(880, 640));
}

TEST_F(CommandsTest, CommandsOfLaterWindowsSayTheyAreNotAvailableYet) {
    Start();
    struct Case {
        void (TMainForm::*handler)();
        const char* text;
    } cases[] = {
        {&TMainForm::PrimitivePassivation1Click, "\"Simple Passivation Model (1 adsorbed)\" is not available yet."},
        {&TMainForm::PseudocapacitanceCalculator1Click, "\"Get Pseudocapacitance\" is not available yet."},
        {&TMainForm::Headerlines1Click, "\"Append Header Lines\" is not available yet."},
    };
    for (const Case& c : cases) {
        services.messages.clear();
        (form.get()->*c.handler)();
        ASSERT_EQ(services.messages.transcript().size(), 1u) << c.text;
        EXPECT_EQ(services.messages.transcript()[0].text, c.text);
        EXPECT_EQ(services.messages.transcript()[0].caption, "Not available yet");
    }
    EXPECT_TRUE(modal.runner.shown.empty());
}

TEST_F(CommandsTest, HelpAboutAndQuickGuide) {
    Start();
    // Contents: nothing is shown while the help file is not in the program folder.
    const std::string helpFile = State().Folders.AppFolder + "/Tavri320.hlp";
    std::remove(helpFile.c_str());
    form->HelpContent->trigger();
    EXPECT_TRUE(desktop.help.requests.empty());
    EXPECT_TRUE(services.messages.transcript().empty());
    std::ofstream(helpFile) << "help";
    form->HelpContent->trigger();
    ASSERT_EQ(desktop.help.requests.size(), 1u);
    EXPECT_EQ(desktop.help.requests[0].file, helpFile);
    EXPECT_EQ(desktop.help.requests[0].context, 0);
    EXPECT_TRUE(services.messages.transcript().empty());
    // The file is there but no viewer can show it: said, not passed over.
    desktop.help.answer = false;
    form->HelpContent->trigger();
    desktop.help.answer = true;
    std::remove(helpFile.c_str());
    ASSERT_EQ(services.messages.transcript().size(), 1u);
    EXPECT_EQ(services.messages.transcript()[0].text, "Cannot show the help file " + helpFile + ".");
    EXPECT_EQ(services.messages.transcript()[0].caption, "Contents");
    services.messages.clear();

    // About: created, run modally, freed.
    form->About1->trigger();
    ASSERT_EQ(modal.runner.shown.size(), 1u);
    EXPECT_EQ(modal.runner.shown[0].name, "AbtModalForm");
    EXPECT_EQ(modal.runner.shown[0].caption, "About Pellucor");
    EXPECT_EQ(form->findChild<QDialog*>("AbtModalForm"), nullptr);

    // How to run: the same quick guide each time, without a modal loop.
    QWidget* guide = form->FindWindow("TechForm2");
    ASSERT_NE(guide, nullptr);
    form->Howtorun1->trigger();
    form->ToolButtons[18]->click();
    EXPECT_TRUE(guide->isVisible());
    EXPECT_EQ(guide->windowTitle(), "Quick Guide to Run Pellucor");
    int guides = 0;
    for (QWidget* w : form->findChildren<QWidget*>())
        guides += w->objectName() == "TechForm2";
    EXPECT_EQ(guides, 1);
    EXPECT_EQ(modal.runner.shown.size(), 1u);
}

TEST_F(CommandsTest, ImageViewerIsChosenStoredAndStartedAndWaitedFor) {
    Start();
    // Fresh installation: a hint, nothing started.
    form->RunImageViewer1->trigger();
    ASSERT_EQ(services.messages.transcript().size(), 1u);
    EXPECT_EQ(services.messages.transcript()[0].text, "Click [Tools | Select Image Viewer] Menu.");
    EXPECT_EQ(services.messages.transcript()[0].caption, "No Image Viewer is selected.");
    EXPECT_TRUE(desktop.programs.started.empty());

    services.fileDialogs.AnswerSave("/usr/bin/viewer");
    form->SetupImageViewer1->trigger();
    EXPECT_EQ(services.fileDialogs.requests.back().title, "Select Image Viewer");
    // The program picked exists: replacing it is not what is asked.
    EXPECT_FALSE(services.fileDialogs.requests.back().confirmOverwrite);
    EXPECT_EQ(services.settings.ReadString(platform::SettingsScope::User, UserSettingsKey(), "ImageViewer"),
              "/usr/bin/viewer");
    // Cancelled: the earlier choice stays.
    services.fileDialogs.AnswerSave(std::nullopt);
    form->SetupImageViewer1->trigger();
    EXPECT_EQ(services.settings.ReadString(platform::SettingsScope::User, UserSettingsKey(), "ImageViewer"),
              "/usr/bin/viewer");

    services.messages.clear();
    form->PopRunImageViewer->trigger();
    ASSERT_EQ(desktop.programs.started.size(), 1u);
    EXPECT_EQ(desktop.programs.started[0], "/usr/bin/viewer");
    EXPECT_TRUE(services.messages.transcript().empty());

    // A viewer that no longer exists.
    desktop.programs.results.push_back(-1);
    form->RunImageViewer1->trigger();
    ASSERT_EQ(services.messages.transcript().size(), 1u);
    EXPECT_EQ(services.messages.transcript()[0].text, "does not exist");
    EXPECT_EQ(services.messages.transcript()[0].caption, "/usr/bin/viewer");

    // A settings store that refuses the value says so.
    services.settings.failWrites = true;
    services.messages.clear();
    services.fileDialogs.AnswerSave("/usr/bin/other");
    form->SetupImageViewer1->trigger();
    ASSERT_EQ(services.messages.transcript().size(), 1u);
    EXPECT_EQ(services.messages.transcript()[0].caption, "Settings not saved");
}

// The main window does not react while the viewer runs: a click given to it
// meanwhile is dropped, not carried out once the viewer has ended (an "Open"
// or "Exit" nobody wants any more).
TEST_F(CommandsTest, TheImageViewerRunsWithTheMainWindowDisabled) {
    Start();
    form->show();
    QApplication::processEvents();
    QApplication::processEvents();
    services.settings.WriteString(platform::SettingsScope::User, UserSettingsKey(), "ImageViewer", "/usr/bin/viewer");
    services.messages.clear();
    QToolButton* open = form->ToolButtons[6];
    ASSERT_EQ(open->toolTip(), "Open");
    bool enabledMeanwhile = true;
    desktop.programs.whileRunning = [&](const std::string&) {
        enabledMeanwhile = form->isEnabled();
        const QPointF at(5, 5);
        QCoreApplication::postEvent(open, new QMouseEvent(QEvent::MouseButtonPress, at, open->mapToGlobal(at),
                                                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
        QCoreApplication::postEvent(open, new QMouseEvent(QEvent::MouseButtonRelease, at, open->mapToGlobal(at),
                                                          Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
    };
    form->RunImageViewer1->trigger();
    ASSERT_EQ(desktop.programs.started, std::vector<std::string>{"/usr/bin/viewer"});
    EXPECT_FALSE(enabledMeanwhile);
    EXPECT_TRUE(form->isEnabled());
    QApplication::processEvents();
    EXPECT_EQ(form->LastHandler(), "RunImageViewer1Click");
    EXPECT_TRUE(services.messages.transcript().empty());
    EXPECT_TRUE(services.fileDialogs.requests.empty());
}

TEST(FileDialogFilters, ListedFiltersBecomeTheSeamsForm) {
    struct Case {
        const char* listed;
        const char* seam;
    } cases[] = {
        {"Text files (*.txt)|*.txt|All files (*.*)|*.*", "Text files (*.txt);;All files (*)"},
        // A description's own pattern text gives way to the real patterns; empty pairs go.
        {"ZView files (*.z, *.z60)|*.z;*.z60| | ", "ZView files (*.z *.z60)"},
        {"Parameter files (*.par) |*.par", "Parameter files (*.par)"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(SeamFilter(c.listed), c.seam) << c.listed;

    const MainFileDialogs d;
    EXPECT_EQ(d.OpenDialog1.title, "Select impedance data");
    EXPECT_EQ(d.OpenDialog1.defaultSuffix, "txt");
    EXPECT_EQ(d.OpenDialog1.filter,
              "Text files (*.txt);;Data files (*.dat);;Gamry files (*.dta);;ZView files (*.z *.z60);;"
              "Simulated (*.sim);;Extrapolated (*.ext);;All files (*)");
    EXPECT_EQ(d.SavePictureDialog1.filter,
              "Enhanced Metafiles (*.emf);;Metafiles (*.wmf);;Bitmaps (*.bmp);;JPEG Image File (*.jpg);;"
              "All (*.jpg *.jpeg *.bmp *.ico *.emf *.wmf)");
    EXPECT_EQ(d.SaveDialog7.filter, "");
}
