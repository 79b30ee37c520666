// Start and exit of the main window: splash window, start state, the four
// folders written at exit and read back at the next start, the creation
// lists, the Lumarest profile and a screenshot for a reviewer.
#include <QDialog>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <complex>
#include <filesystem>
#include <vector>

#include "apps/LumarestProfile.h"
#include "core/StartUp.h"
#include "dialogs/fit/TCDCForm.h"
#include "dialogs/fit/TOptForm.h"
#include "dialogs/fit/TParForm.h"
#include "dialogs/paste/TPasteForm.h"
#include "mainwindow/MainWindowFixture.h"
#include "platform/Services.h"

using namespace pellucor;
using namespace pellucor::mainwindow;
using pellucor::testing_support::MainWindowTest;

namespace {

// Passes every call on to the memory store and logs each value written.
class LoggingSettings final : public platform::SettingsStore {
public:
    explicit LoggingSettings(platform::SettingsStore& inner) : inner_(inner) {}
    bool KeyExists(platform::SettingsScope s, const std::string& k) override { return inner_.KeyExists(s, k); }
    std::optional<std::string> ReadString(platform::SettingsScope s, const std::string& k,
                                          const std::string& n) override {
        return inner_.ReadString(s, k, n);
    }
    bool WriteString(platform::SettingsScope s, const std::string& k, const std::string& n,
                     const std::string& v) override {
        written.push_back(platform::MemorySettingsStore::Slot(s, k, n) + "=" + v);
        return inner_.WriteString(s, k, n, v);
    }
    std::vector<std::string> written;

private:
    platform::SettingsStore& inner_;
};

}  // namespace

TEST_F(MainWindowTest, StartsHeadlessAndTheSplashEndsOnItsTimer) {
    bool splashSeen = false;
    // While the start-up waits, the pump runs: this timer fires inside that wait.
    QTimer::singleShot(40, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "AbtFlashForm" && w->isVisible()) splashSeen = true;
    });
    QElapsedTimer clock;
    clock.start();
    TMainForm& f = Start(tamberic, 250);
    EXPECT_GE(clock.elapsed(), 250);
    EXPECT_TRUE(splashSeen);
    EXPECT_FALSE(State().Run.SplashShowing);
    // The splash window was freed once the wait ended.
    EXPECT_EQ(f.findChild<QDialog*>("AbtFlashForm"), nullptr);

    EXPECT_EQ(f.windowTitle(), " Mechanistic and Kinetic Analysis");
    // Exactly "Msd." and "Calc." of the 28 series are shown, under the start title.
    for (int i = 1; i <= 28; ++i) EXPECT_EQ(Chart().Plots().Series(i).Active, i <= 2) << "Series" << i;
    EXPECT_EQ(Chart().Title->Text, std::vector<std::string>{"Let's start with opening a file ..."});
    EXPECT_TRUE(Chart().LabelFontSet());
    EXPECT_EQ(State().Group.GroupCount, 1);
    EXPECT_TRUE(f.FrequencyLabelsOn);
    EXPECT_FALSE(State().Run.DataLoaded);
    EXPECT_EQ(State().Circuit.Code, "R(CR)");
    EXPECT_EQ(f.Label1->text(), "1");
    EXPECT_EQ(f.LabelRects.size(), 100u);
    EXPECT_EQ(f.GroupLabelRects.size(), 700u);
    EXPECT_EQ(f.Chart().Widget()->objectName(), "Chart1");
    // Usable afterwards: a command runs.
    f.Bode1->trigger();
    EXPECT_EQ(State().Run.PlotKind, 2);
}

TEST_F(MainWindowTest, ExitWritesExactlyTheFourFoldersAndTheNextStartReadsThem) {
    LoggingSettings log(services.settings);
    platform::Services s = platform::services();
    s.settings = &log;
    platform::InstallServices(s);

    TMainForm& f = Start();
    f.show();
    AppFolders& folders = State().Folders;
    folders.DataFolder = "/srv/eis/data2/";
    folders.ParFolder = "/srv/eis/par2/";
    folders.PicsFolder = "/srv/eis/pics2/";
    folders.DocFolder = "/srv/eis/doc2/";
    folders.KineticsFolder = "/srv/eis/kin2/";  // not one of the four: never written
    log.written.clear();

    bool closed = false;
    QObject::connect(&f, &TMainForm::Closed, [&] { closed = true; });
    f.Exit1->trigger();
    EXPECT_TRUE(closed);
    EXPECT_FALSE(f.isVisible());
    EXPECT_TRUE(services.messages.transcript().empty());  // no question
    form.reset();

    const std::string key = "U|" + UserSettingsKey() + "|";
    EXPECT_EQ(log.written, (std::vector<std::string>{key + "DataPath=/srv/eis/data2/",
                                                     key + "ParPath=/srv/eis/par2/",
                                                     key + "PicsPath=/srv/eis/pics2/",
                                                     key + "DocPath=/srv/eis/doc2/"}));

    // Second start: the stored folders come back, nothing of the first run else.
    ResetProgramState();
    ResetWindows();
    log.written.clear();
    Start();
    EXPECT_EQ(State().Folders.DataFolder, "/srv/eis/data2/");
    EXPECT_EQ(State().Folders.ParFolder, "/srv/eis/par2/");
    EXPECT_EQ(State().Folders.PicsFolder, "/srv/eis/pics2/");
    EXPECT_EQ(State().Folders.DocFolder, "/srv/eis/doc2/");
    EXPECT_NE(State().Folders.KineticsFolder, "/srv/eis/kin2/");
    EXPECT_TRUE(log.written.empty());  // the values exist: a start only reads
    EXPECT_EQ(form->Dialogs.OpenDialog1.initialDir, "/srv/eis/data2/");
    form.reset();  // its exit writes to the logging store, which ends with this test
}

namespace {

// Tamberic's lists with two windows filled in, each reporting when it is freed.
class ProfileWithWindows final : public ProgramProfile {
public:
    QString ApplicationTitle() const override { return base.ApplicationTitle(); }
    QString Caption() const override { return base.Caption(); }
    WindowList OwnedWindows() const override {
        WindowList list = base.OwnedWindows();
        for (WindowSlot& slot : list) {
            if (slot.name == "OptForm" || slot.name == "PrimitForm" || slot.name == "CovarForm")
                slot.create = [this, name = slot.name](QWidget* owner) {
                    auto* d = new QDialog(owner);
                    QObject::connect(d, &QObject::destroyed, [this, name] { freed->push_back(name); });
                    return d;
                };
        }
        return list;
    }
    WindowList EntryWindows() const override { return base.EntryWindows(); }
    void BuildMechanisticMenu(TMainForm& f, QMenu& m) const override { base.BuildMechanisticMenu(f, m); }

    apps::TambericProfile base;
    std::vector<std::string>* freed = nullptr;
};

}  // namespace

TEST_F(MainWindowTest, CreationListsMakeTheWindowsInOrderAndFreeThemInReverse) {
    std::vector<std::string> freed;
    ProfileWithWindows profile;
    profile.freed = &freed;
    TMainForm& f = Start(profile);
    EXPECT_EQ(f.CreatedWindowNames(),
              (std::vector<std::string>{"CDCForm", "ParForm", "OptForm", "PasteForm", "FolderForm", "ProsimForm",
                                        "PrimitForm", "CovarForm", "TechForm1", "TechForm2", "InstEditForm",
                                        "HelpPasteForm", "InstHdrForm", "InstModelForm", "SAreaForm", "InstPHForm",
                                        "InstOptionForm", "InstCovarForm", "InstGlobalForm"}));
    QWidget* primit = f.FindWindow("PrimitForm");
    ASSERT_NE(primit, nullptr);
    EXPECT_EQ(primit->parent(), &f);
    EXPECT_TRUE(primit->isWindow());
    EXPECT_FALSE(primit->isVisible());

    // A window that exists is shown without a modal loop, twice the same one.
    f.PrimitivePassivation1Click();
    f.PrimitivePassivation1Click();
    EXPECT_TRUE(primit->isVisible());
    EXPECT_TRUE(services.messages.transcript().empty());

    // The options dialog runs through the modal seam; Cancel changes nothing.
    const int replots = Chart().ReplotCount();
    f.Option1->trigger();
    ASSERT_EQ(modal.runner.shown.size(), 1u);
    EXPECT_EQ(Chart().ReplotCount(), replots);

    form.reset();
    EXPECT_EQ(freed, (std::vector<std::string>{"CovarForm", "PrimitForm", "OptForm"}));
}

namespace {

// The options dialog's reading of its controls, scripted.
class ScriptedOptions final : public OptionsWindow {
public:
    void ReadOptions() override {
        State().Options.Weighting = weighting;
        State().Options.WhiteBackground = white;
    }
    int weighting = 1;
    bool white = false;
};

}  // namespace

// The Help buttons of the shared dialogs show their help windows (created at
// start, shown without waiting); "Show Tips" runs the tips window modally.
TEST_F(MainWindowTest, HelpButtonsOfTheDialogsShowTheirHelpWindows) {
    apps::LumarestProfile lumarest;
    for (const mainwindow::ProgramProfile* p :
         {static_cast<const mainwindow::ProgramProfile*>(&tamberic),
          static_cast<const mainwindow::ProgramProfile*>(&lumarest)}) {
        mainwindow::TMainForm& f = Start(*p);
        auto* paste = dynamic_cast<dialogs::TPasteForm*>(f.FindWindow("PasteForm"));
        auto* par = dynamic_cast<fitwin::TParForm*>(f.FindWindow("ParForm"));
        auto* cdc = dynamic_cast<fitwin::TCDCForm*>(f.FindWindow("CDCForm"));
        auto* opt = dynamic_cast<fitwin::TOptForm*>(f.FindWindow("OptForm"));
        ASSERT_TRUE(paste && par && cdc && opt);
        const std::pair<QPushButton*, const char*> cases[] = {
            {paste->HelpBtn, "HelpPasteForm"},
            {par->HelpBtn1, "InstEditForm"},
            {cdc->HelpBitBtn1, "InstModelForm"},
            {opt->HelpBitBtn, "InstOptionForm"},
        };
        for (const auto& [button, window] : cases) {
            QWidget* help = f.FindWindow(window);
            ASSERT_NE(help, nullptr) << window;
            EXPECT_FALSE(help->isVisible()) << window;
            button->click();
            EXPECT_TRUE(help->isVisible()) << window;
            EXPECT_TRUE(services.messages.transcript().empty()) << window;
        }
        modal.runner.shown.clear();
        cdc->TipsButton1->click();
        ASSERT_EQ(modal.runner.shown.size(), 1u);
        EXPECT_EQ(modal.runner.shown[0].name, "TechForm1");
        EXPECT_EQ(modal.runner.shown[0].caption, "Symbols besides R, C and L. ");
        // The results viewer is not built yet: its button says so rather than
        // doing nothing.
        if (!f.FindWindow("ClpForm")) {
            par->PrintButton1->click();
            ASSERT_EQ(services.messages.transcript().size(), 1u);
            EXPECT_EQ(services.messages.transcript()[0].text, "\"Print/Copy\" is not available yet.");
        }
        form.reset();
    }
}

// A help window left open from one modal dialog and asked for again by the
// Help button of the next must be usable beside that one too. The dialogs
// run for real here, and the click goes through the window system.
TEST_F(MainWindowTest, AHelpWindowLeftOpenIsUsableBesideTheNextModalDialog) {
    mainwindow::TMainForm& f = Start();
    f.show();
    auto* paste = dynamic_cast<dialogs::TPasteForm*>(f.FindWindow("PasteForm"));
    QWidget* help = f.FindWindow("HelpPasteForm");
    ASSERT_TRUE(paste && help);
    platform::qt::InstallModalRunner(nullptr);
    QDialog first(&f);
    QTimer::singleShot(0, &first, [&] {
        paste->HelpBtn->click();
        first.reject();
    });
    platform::qt::RunModal(first);
    ASSERT_TRUE(help->isVisible());
    QTimer::singleShot(0, paste, [&] {
        paste->HelpBtn->click();
        auto* ok = help->findChild<QPushButton*>("BitBtn1");
        if (ok && QTest::qWaitForWindowExposed(help, 2000)) {
            QTest::mouseClick(help->windowHandle(), Qt::LeftButton, {}, ok->mapTo(help, ok->rect().center()));
            QTest::qWait(20);
        }
        paste->reject();
    });
    platform::qt::RunModal(*paste);
    platform::qt::InstallModalRunner(&modal.runner);
    EXPECT_FALSE(help->isVisible());
}

TEST_F(MainWindowTest, OptionsRedrawOnlyWhenAComputationOptionChanged) {
    std::vector<std::string> freed;
    ProfileWithWindows profile;
    profile.freed = &freed;
    TMainForm& f = Start(profile);
    ScriptedOptions options;
    WindowSet set = Windows();
    set.Opt = &options;
    InstallWindows(set);

    // OK without a change: no redraw, but the chart colour follows the option again.
    options.white = true;
    modal.runner.answers.push_back(true);
    int replots = Chart().ReplotCount();
    f.Option1->trigger();
    EXPECT_EQ(Chart().ReplotCount(), replots);
    EXPECT_EQ(Chart().Color, chart::clWhite);

    // A new weighting changes the computation: redrawn (no data, so nothing recomputed).
    options.weighting = 0;
    modal.runner.answers.push_back(true);
    f.Option1->trigger();
    EXPECT_EQ(Chart().ReplotCount(), replots + 1);
    EXPECT_FALSE(State().Run.ReadyToRun);
    EXPECT_EQ(modal.runner.shown.size(), 2u);
    form.reset();
}

TEST_F(MainWindowTest, LumarestRunsTheSameWindowUnderItsOwnTitle) {
    apps::LumarestProfile lumarest;
    TMainForm& f = Start(lumarest);
    EXPECT_EQ(f.windowTitle(), "Pellucor");
    EXPECT_EQ(lumarest.ApplicationTitle(), "Impedance Data Analysis - Pellucor V 3.20");
    EXPECT_DOUBLE_EQ(State().Fit.ParamTolerance, 0.02);
    QStringList entries;
    for (QAction* a : f.MechanisticMenu->actions())
        if (!a->isSeparator()) entries << a->text();
    EXPECT_EQ(entries, (QStringList{"Simulate Mode Run Examples", "Equal Impedance with Different Circuits",
                                    "Mechanistic and Kinetic Analysis ......"}));

    // The reaction-mechanism program is started from the program folder and waited for.
    MenuEntry("Mechanistic", "Mechanistic and Kinetic Analysis ......")->trigger();
    ASSERT_EQ(desktop.programs.started.size(), 1u);
    EXPECT_EQ(desktop.programs.started[0], State().Folders.AppFolder + "/Tamberic");
    EXPECT_TRUE(services.messages.transcript().empty());
    desktop.programs.results.push_back(-1);
    f.RunOtherExamples1Click();
    ASSERT_EQ(services.messages.transcript().size(), 1u);
    EXPECT_EQ(services.messages.transcript()[0].text, "does not exist");
    EXPECT_EQ(services.messages.transcript()[0].caption, State().Folders.AppFolder + "/Tamberic");
}

TEST_F(MainWindowTest, TambericKeepsTheSharedParameterTolerance) {
    Start();
    EXPECT_DOUBLE_EQ(State().Fit.ParamTolerance, 0.1);
}

TEST_F(MainWindowTest, ScreenshotWithASpectrumPlotted) {
    TMainForm& f = Start();
    f.resize(820, 600);
    f.show();
    // R(CR) with R1 = 10, C = 1e-5, R2 = 100 from 100 kHz to 0.1 Hz, worked out here.
    SpectrumBlock& sp = State().Spectrum;
    const int n = 31;
    for (int i = 1; i <= n; ++i) {
        const double freq = std::pow(10.0, 5.0 - 6.0 * (i - 1) / (n - 1));
        const double w = 2 * M_PI * freq;
        const std::complex<double> z = 10.0 + 100.0 / std::complex<double>(1.0, w * 1e-5 * 100.0);
        sp.Frequency[i] = freq;
        sp.Omega[i] = w;
        sp.ZReal[i] = z.real();
        sp.ZImag[i] = -z.imag();
    }
    sp.PointCount = n;
    State().Run.DataLoaded = true;
    State().Files.DataFileName = State().Folders.DataFolder + "randles.txt";
    f.Nyquist1->trigger();
    QCoreApplication::processEvents();
    const QImage shot = f.grab().toImage();
    ASSERT_FALSE(shot.isNull());
    std::filesystem::create_directories(PELLUCOR_TEST_OUTPUT_DIR);
    ASSERT_TRUE(shot.save(PELLUCOR_TEST_OUTPUT_DIR "/main_window_tamberic.png"));

    // The Nyquist plot of a fixed window has the same units per pixel on
    // both axes: read back the axis ranges and the plot area of the chart as
    // drawn. The equal scales are worked out from the last draw's plot area,
    // so plotting the same data again settles them.
    mainwindow::TMainChart& chart = Chart();
    for (int k = 0; k < 2; ++k) {
        f.Nyquist1->trigger();
        (void)f.Chart().Widget()->grab();
    }
    EXPECT_EQ(chart.Plots().Series(1).Count(), n);
    const double ux = (chart.BottomAxis->Maximum() - chart.BottomAxis->Minimum()) /
                      (chart.ChartRect.Right - chart.ChartRect.Left);
    const double uy = (chart.LeftAxis->Maximum() - chart.LeftAxis->Minimum()) /
                      (chart.ChartRect.Bottom - chart.ChartRect.Top);
    EXPECT_NEAR(ux / uy, 1.0, 0.01);
    // Margins: the data lie inside both ranges.
    EXPECT_LE(chart.BottomAxis->Minimum(), 0.0);
    EXPECT_GT(chart.LeftAxis->Maximum(), 0.0);
}
