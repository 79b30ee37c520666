// Both programs' main windows under commands in any order: after a sample
// spectrum is opened, a long seeded sequence of the window's enabled menu
// entries, tool-bar buttons, check boxes and the sample-area panel is fired,
// with every message box, file dialog, modal window, help viewer and started
// program answered at random, and further commands fired in the middle of
// fits. After every command the window must be usable again: no exception,
// no run left in progress, no modal window left open, the point count
// within its limits and computed rows finite.
//
// PELLUCOR_MONKEY_SEEDS, PELLUCOR_MONKEY_FIRST_SEED and PELLUCOR_MONKEY_STEPS
// run more or other sequences than the few committed here; a failure names
// the seed, the step and the commands just before it. PELLUCOR_MONKEY_VERBOSE
// prints each seed and a summary, PELLUCOR_MONKEY_TRACE every command;
// PELLUCOR_MONKEY_MIDFIT sets how many commands a sequence fires mid-fit.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFrame>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QWheelEvent>
#include <QRadioButton>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <exception>
#include <filesystem>
#include <iostream>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "core/ProgramState.h"
#include "dialogs/fit/TCDCForm.h"
#include "dialogs/fit/TParForm.h"
#include "mainwindow/MainRoadFixture.h"
#include "platform/Clipboard.h"
#include "platform/Desktop.h"
#include "platform/Services.h"
#include "platform/qt/ModalDialogs.h"

using namespace pellucor;
using namespace pellucor::mainwindow;
using pellucor::testing_support::MainRoadTest;
namespace fs = std::filesystem;

namespace {

int EnvInt(const char* name, int fallback) {
    const char* v = std::getenv(name);
    return v && *v ? std::atoi(v) : fallback;
}

// One generator for every random choice of a sequence; the choices are made
// here rather than by the standard distributions, whose results differ
// between libraries.
class Dice {
public:
    explicit Dice(std::uint32_t seed) : gen_(seed) {}
    int Below(int n) { return n <= 1 ? 0 : static_cast<int>(gen_() % static_cast<std::uint32_t>(n)); }
    bool Chance(int percent) { return Below(100) < percent; }
    template <class T>
    const T& Pick(const std::vector<T>& v) { return v[static_cast<size_t>(Below(static_cast<int>(v.size())))]; }

private:
    std::mt19937 gen_;
};

class RandomMessages final : public platform::MessageBoxService {
public:
    explicit RandomMessages(Dice& d) : dice(d) {}
    platform::MsgResult Show(const std::string& text, const std::string& caption, platform::MsgButtons buttons,
                             platform::MsgIcon) override {
        using platform::MsgButtons;
        using platform::MsgResult;
        ++shown;
        last = "[" + caption + "] " + text;
        switch (buttons) {
            case MsgButtons::Ok: return MsgResult::Ok;
            case MsgButtons::OkCancel: return dice.Chance(50) ? MsgResult::Ok : MsgResult::Cancel;
            case MsgButtons::YesNo: return dice.Chance(50) ? MsgResult::Yes : MsgResult::No;
            case MsgButtons::YesNoCancel: {
                const int k = dice.Below(3);
                return k == 0 ? MsgResult::Yes : k == 1 ? MsgResult::No : MsgResult::Cancel;
            }
        }
        return MsgResult::Cancel;
    }
    Dice& dice;
    int shown = 0;
    std::string last;
};

// Open: a sample spectrum, a file the sequence saved, a missing file, the
// folder itself, or Cancel. Save: a name in the sequence's own folder (now
// and then one in a folder that is not there), or Cancel.
class RandomFileDialogs final : public platform::FileDialogService {
public:
    RandomFileDialogs(Dice& d, fs::path folder, std::vector<std::string> samples)
        : dice(d), root(std::move(folder)), samples_(std::move(samples)) {}

    std::optional<std::string> OpenFile(const platform::FileDialogRequest&) override {
        if (!forced.empty()) {
            auto r = forced.front();
            forced.pop_front();
            return r;
        }
        if (dice.Chance(20)) return std::nullopt;
        switch (dice.Below(8)) {
            case 0: return (root / "missing.txt").string();
            case 1: return root.string();
            case 2:
            case 3: {
                std::vector<std::string> saved;
                std::error_code ec;
                for (const auto& e : fs::directory_iterator(root / "saved", ec))
                    if (e.is_regular_file()) saved.push_back(e.path().string());
                std::sort(saved.begin(), saved.end());
                if (!saved.empty()) return dice.Pick(saved);
                return dice.Pick(samples_);
            }
            default: return dice.Pick(samples_);
        }
    }
    std::optional<std::string> SaveFile(const platform::FileDialogRequest& req) override {
        if (dice.Chance(25)) return std::nullopt;
        static const std::vector<std::string> names = {"a", "b", "c", "d e"};
        std::string suffix = req.defaultSuffix;
        if (suffix.empty() || dice.Chance(20)) suffix = dice.Pick(std::vector<std::string>{"txt", "par", "dat", ""});
        const std::string name = dice.Pick(names) + (suffix.empty() ? "" : "." + suffix);
        if (dice.Chance(5)) return (root / "no such folder" / name).string();
        return (root / "saved" / name).string();
    }

    Dice& dice;
    fs::path root;
    std::vector<std::string> samples_;
    std::deque<std::optional<std::string>> forced;
};

class RandomDesktop final : public platform::HelpViewer, public platform::ProgramRunner {
public:
    explicit RandomDesktop(Dice& d) : dice(d) {}
    bool ShowContents(const std::string&) override { return dice.Chance(50); }
    bool ShowContext(const std::string&, int) override { return dice.Chance(50); }
    int RunAndWait(const std::string&) override { return dice.Chance(30) ? -1 : dice.Below(3); }
    Dice& dice;
};

// Codes for the model dialog: usable ones, ones the program refuses, and
// one longer than it holds.
const std::vector<std::string> kCodes = {"R(CR)",     "R(CR)(QR)", "R(C(RW))", "R",         "RC",  "(CR)",
                                         "R(Q(R(CR)))", "R(CR",      "",         "XYZ",       "R(LR)",
                                         "R(CR)(CR)(CR)(CR)(CR)(CR)(CR)(CR)(CR)", "R(C(R(QR)))"};

const std::vector<std::string> kNumbers = {"1", "1E-4", "100", "0", "-5", "abc", "1E300", "1E-300", "", "0.8"};

}  // namespace

class MonkeyTest : public MainRoadTest {
protected:
    // A dialog "runs": it is shown as exec would show it (so it acts as it
    // does on being shown), a few of its controls are worked, and it ends
    // through the button pressed or, when none ended it, OK or Cancel at random.
    class Runner final : public platform::qt::ModalRunner {
    public:
        explicit Runner(MonkeyTest& t) : test(t) {}
        bool Run(QDialog& dialog) override {
            ++depth;
            ++ran;
            const bool hadModal = dialog.testAttribute(Qt::WA_ShowModal);
            dialog.setAttribute(Qt::WA_ShowModal, true);
            dialog.setResult(kNoResult);
            dialog.show();
            if (depth <= 2) test.WorkDialog(dialog);
            const int result = dialog.result();
            if (dialog.isVisible()) dialog.hide();
            dialog.setAttribute(Qt::WA_ShowModal, hadModal);
            --depth;
            if (result == QDialog::Accepted) return true;
            if (result == QDialog::Rejected) return false;
            return test.dice.Chance(50);
        }
        static constexpr int kNoResult = -7;
        MonkeyTest& test;
        int depth = 0;
        int ran = 0;
    };

    void WorkDialog(QDialog& d) {
        if (auto* cdc = dynamic_cast<fitwin::TCDCForm*>(&d)) {
            if (dice.Chance(70)) cdc->SetCodeText(dice.Pick(kCodes));
            QRadioButton* modes[] = {cdc->RadioButton1, cdc->RadioButton2, cdc->RadioButton3, cdc->RadioButton4};
            if (dice.Chance(70)) modes[dice.Below(4)]->setChecked(true);
            if (dice.Chance(50)) (dice.Chance(50) ? cdc->UserBtn : cdc->AutoStartBtn)->setChecked(true);
            if (dice.Chance(60)) {
                Note("  in CDCForm: OK with \"" + cdc->CodeText() + "\"");
                cdc->OkBitBtn1Click();
                return;
            }
        }
        if (auto* par = dynamic_cast<fitwin::TParForm*>(&d)) {
            if (dice.Chance(40)) {
                const int rows = std::max(1, State().Params.ParamCount);
                par->SetStartText(1 + dice.Below(rows), dice.Pick(kNumbers));
            }
            QRadioButton* modes[] = {par->IternRadioBtn, par->ReviewRadioBtn, par->SimnRadioBtn};
            if (dice.Chance(40)) modes[dice.Below(3)]->setChecked(true);
            if (dice.Chance(50)) {
                Note("  in ParForm: OK");
                par->OKBitBtnClick();
                return;
            }
        }
        WorkWindow(d, [&d] { return d.result() == Runner::kNoResult; });
    }

    // Typing into a field or two, then a few clicks on the window's own
    // buttons while `goOn` says the window is still there to be worked.
    void WorkWindow(QWidget& d, const std::function<bool()>& goOn) {
        if (dice.Chance(40)) {
            std::vector<QLineEdit*> edits;
            for (QLineEdit* e : d.findChildren<QLineEdit*>())
                if (e->window() == &d && e->isEnabled() && !e->isReadOnly()) edits.push_back(e);
            for (int k = dice.Below(3); k > 0 && !edits.empty(); --k) {
                QLineEdit* e = dice.Pick(edits);
                const std::string text = dice.Pick(kNumbers);
                Note("  in " + d.objectName().toStdString() + ": " + e->objectName().toStdString() + " = \"" + text +
                     "\"");
                e->setText(QString::fromStdString(text));
            }
        }
        const int clicks = dice.Below(3);
        for (int k = 0; k < clicks && goOn(); ++k) {
            std::vector<QAbstractButton*> buttons;
            for (QAbstractButton* b : d.findChildren<QAbstractButton*>())
                if (b->window() == &d && b->isEnabled() && !b->objectName().startsWith("qt_")) buttons.push_back(b);
            if (buttons.empty()) break;
            QAbstractButton* b = dice.Pick(buttons);
            Note("  in " + d.objectName().toStdString() + ": " + b->objectName().toStdString());
            b->click();
        }
    }

    // One command of the window: an enabled entry, button or check box, or a
    // press on the sample-area panel or the empty tool bar.
    struct Command {
        std::string name;
        std::function<void()> fire;
    };
    std::vector<Command> Commands(TMainForm& f) {
        std::vector<Command> out;
        for (QAction* a : f.findChildren<QAction*>()) {
            // Qt's own actions (tool-bar toggles, widget holders) have no name of ours.
            if (a->isSeparator() || a->menu() || a->objectName().isEmpty() || !a->isEnabled()) continue;
            if (a->parent() == &f) out.push_back({a->objectName().toStdString(), [a] { a->trigger(); }});
        }
        for (QAbstractButton* b : f.findChildren<QAbstractButton*>()) {
            if (b->window() != &f || !b->isEnabled() || b->objectName().isEmpty() ||
                b->objectName().startsWith("qt_"))
                continue;
            out.push_back({b->objectName().toStdString(), [b] { b->click(); }});
        }
        auto press = [](QWidget* w) {
            QMouseEvent e(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
            QCoreApplication::sendEvent(w, &e);
        };
        // The window's size (the plots lay themselves out on what is left),
        // the mouse on the chart (zoom, pan, clicks on points) and the
        // windows it shows beside itself (the quick simulator, help).
        out.push_back({"resize", [this, &f] {
                           static const std::vector<QSize> sizes = {
                               {1, 1}, {60, 40}, {300, 200}, {800, 600}, {1600, 1000}};
                           f.resize(dice.Pick(sizes));
                       }});
        out.push_back({"chart mouse", [this, &f] { ChartGesture(f); }});
        // The application keeps its windows in a set ordered by address: in
        // the order of their names, the sequence is the same from run to run.
        QWidgetList windows = QApplication::topLevelWidgets();
        std::stable_sort(windows.begin(), windows.end(),
                         [](QWidget* a, QWidget* b) { return a->objectName() < b->objectName(); });
        for (QWidget* w : windows) {
            if (w == &f || !w->isVisible() || w->objectName().isEmpty() || qobject_cast<QMenu*>(w)) continue;
            auto* d = qobject_cast<QDialog*>(w);
            if (d && d->isModal()) continue;
            QPointer<QWidget> guard(w);
            out.push_back({"work " + w->objectName().toStdString(), [this, guard] {
                               if (guard) WorkWindow(*guard, [guard] { return guard && guard->isVisible(); });
                           }});
        }
        if (f.Panel1->isEnabled()) out.push_back({"Panel1 press", [&f, press] { press(f.Panel1); }});
        if (f.Toolbar->isEnabled()) out.push_back({"Toolbar press", [&f, press] { press(f.Toolbar); }});
        return out;
    }

    // A press, a move and a release on the chart with a random button (a
    // click, a zoom or undo rectangle, a pan), or a wheel turn.
    void ChartGesture(TMainForm& f) {
        QWidget* chart = dynamic_cast<QWidget*>(&f.Chart());
        if (!chart) return;
        const int w = std::max(1, chart->width()), h = std::max(1, chart->height());
        auto at = [&] { return QPointF(dice.Below(w + 40) - 20, dice.Below(h + 40) - 20); };
        if (dice.Chance(20)) {
            const QPointF p = at();
            QWheelEvent wheel(p, chart->mapToGlobal(p), QPoint(), QPoint(0, dice.Chance(50) ? 120 : -120), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(chart, &wheel);
            return;
        }
        const Qt::MouseButton button = dice.Chance(70) ? Qt::LeftButton : Qt::RightButton;
        const QPointF from = at(), to = dice.Chance(30) ? from : at();
        QMouseEvent press(QEvent::MouseButtonPress, from, chart->mapToGlobal(from), button, button, Qt::NoModifier);
        QCoreApplication::sendEvent(chart, &press);
        QMouseEvent move(QEvent::MouseMove, to, chart->mapToGlobal(to), Qt::NoButton, button, Qt::NoModifier);
        QCoreApplication::sendEvent(chart, &move);
        QMouseEvent release(QEvent::MouseButtonRelease, to, chart->mapToGlobal(to), button, Qt::NoButton,
                            Qt::NoModifier);
        QCoreApplication::sendEvent(chart, &release);
    }

    void Note(const std::string& what) {
        static const bool trace = std::getenv("PELLUCOR_MONKEY_TRACE") != nullptr;
        if (trace) std::cout << what << std::endl;
        recent.push_back(what);
        if (recent.size() > 40) recent.pop_front();
    }
    std::string Recent() const {
        std::string s;
        for (const auto& r : recent) s += "\n    " + r;
        return s;
    }

    // Fires one random command, catching what escapes it.
    void FireOne(TMainForm& f, const std::string& tag) {
        const auto commands = Commands(f);
        if (commands.empty()) return;
        // The commands of the main road come up more often than the views
        // and the entries that only say they are not available yet; Exit
        // less often, so that sequences grow long.
        static const std::vector<std::string> road = {
            "Open1",        "OpenBtn",  "Paste1",      "RetrievePars",      "SavePars",          "SaveImpedaneData1",
            "Model1",       "ModelBtn", "ParamList",   "ParamBtn",          "Option1",           "SurfaceBtn1",
            "Panel1 press", "resize",   "chart mouse", "SaveasDielectric1", "Dielectricsystem1", "System1",
            "PopSaveImpedance", "Simulator1"};
        std::vector<int> weights;
        int total = 0;
        for (const Command& c : commands) {
            int w = 2;
            if (std::find(road.begin(), road.end(), c.name) != road.end()) w = 12;
            if (c.name == "Exit1") w = 1;
            weights.push_back(w);
            total += w;
        }
        int roll = dice.Below(total);
        size_t pick = 0;
        while (roll >= weights[pick]) roll -= weights[pick++];
        const Command& c = commands[pick];
        Note(tag + c.name);
        clipboard.text = dice.Pick(clipTexts);
        try {
            c.fire();
        } catch (const std::exception& e) {
            ADD_FAILURE() << where << ": exception escaped " << c.name << ": " << e.what() << Recent();
        } catch (...) {
            ADD_FAILURE() << where << ": exception escaped " << c.name << Recent();
        }
    }

    // The fit pumps messages: now and then a person clicks meanwhile, or
    // closes the "Please wait" window.
    void OnPump() {
        services.pump.stopAfter = services.pump.calls + 1 + dice.Below(30);
        if (!form || pumpDepth > 0 || midFitBudget <= 0) return;
        ++pumpDepth;
        --midFitBudget;
        ++midFitCommands;
        if (dice.Chance(15)) {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->objectName() == "ProgressForm" && w->isVisible()) {
                    Note("  mid-fit: close Please wait");
                    w->close();
                }
        } else {
            // What a fit works on must not change under it.
            const bool running = form->RunInProgress;
            const std::string before = DataDigest();
            FireOne(*form, "  mid-fit: ");
            if (running) {
                EXPECT_EQ(DataDigest(), before) << where << ": data changed under a running fit" << Recent();
            }
        }
        --pumpDepth;
    }

    static std::string DataDigest() {
        const ProgramState& s = State();
        std::ostringstream d;
        d.precision(17);
        d << s.Spectrum.PointCount << ' ' << s.Circuit.Code << ' ' << s.Params.ParamCount << ' '
          << s.Files.DataFileName << ' ' << s.Fit.SampleArea;
        for (int i = 1; i <= s.Spectrum.PointCount && i <= 199; ++i)
            d << ' ' << s.Spectrum.Frequency[i] << ' ' << s.Spectrum.ZReal[i] << ' ' << s.Spectrum.ZImag[i];
        return d.str();
    }

    void Check(TMainForm& f) {
        EXPECT_TRUE(f.isEnabled() && f.Open1->isEnabled() && f.Model1->isEnabled())
            << where << ": the window or its commands stayed disabled" << Recent();
        const ProgramState& s = State();
        EXPECT_FALSE(f.RunInProgress) << where << Recent();
        const int n = s.Spectrum.PointCount;
        EXPECT_TRUE(n >= 0 && n <= 199) << where << ": PointCount " << n << Recent();
        // A simulation adds noise of the level typed in the options window,
        // whatever it is: a level such as 1E300 overflows as the arithmetic
        // says it must, and the rows of such a simulation, kept or saved
        // and opened as data, are left out here.
        const ProgramOptions& o = s.Options;
        const bool absurdNoise = std::fabs(o.NoiseLevelUnity) > 1e6 || std::fabs(o.NoiseLevelModulus) > 1e6;
        if (s.Run.ResultsComputed && !absurdNoise && n > 0 && n <= 199) {
            for (int i = 1; i <= n; ++i)
                if (!std::isfinite(s.Spectrum.ZRealCalc[i]) || !std::isfinite(s.Spectrum.ZImagCalc[i])) {
                    std::ostringstream values;
                    for (int k = 1; k <= s.Params.ParamCount && k <= MaxParams; ++k)
                        values << ' ' << s.Params.Value[k];
                    ADD_FAILURE() << where << ": calculated row " << i << " not finite (" << s.Spectrum.ZRealCalc[i]
                                  << ", " << s.Spectrum.ZImagCalc[i] << " at " << s.Spectrum.Frequency[i]
                                  << " Hz), code " << s.Circuit.Code << ", values" << values.str()
                                  << ", flags " << testing_support::Flags() << Recent();
                    break;
                }
        }
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << where << Recent();
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* d = qobject_cast<QDialog*>(w);
            EXPECT_FALSE(d && d->isVisible() && d->isModal())
                << where << ": left open " << w->objectName().toStdString() << Recent();
        }
        for (QWidget* w : QApplication::topLevelWidgets())
            EXPECT_FALSE(w->objectName() == "ProgressForm") << where << ": progress window left" << Recent();
    }

    // The program as it starts, with a sample spectrum opened through the
    // open command.
    TMainForm& StartProgram(const ProgramProfile& p, const std::string& sample) {
        ResetProgramState();
        ResetWindows();
        TMainForm& f = Start(p);
        f.show();
        files.forced.push_back(sample);
        f.Open1Click();
        EXPECT_TRUE(State().Run.DataLoaded) << "sample " << sample << " not opened";
        return f;
    }

    // Each sequence starts on a program folder and settings of its own, so
    // that a seed run alone does what it does among the others.
    std::vector<std::string> FreshProgramFolder(const std::string& folder) {
        services.settings.values.clear();
        MakeProgramFolder(folder);
        fs::create_directories(root / "saved");
        std::vector<std::string> samples;
        for (const char* name : {"rcr_plain.txt", "rcrqr_curve.txt", "rcrqr_zview.txt"}) {
            fs::copy_file(fs::path(PELLUCOR_SAMPLE_DATA_DIR) / name, root / "data" / name,
                          fs::copy_options::overwrite_existing);
            samples.push_back((root / "data" / name).string());
        }
        files.samples_ = samples;
        files.root = root;
        return samples;
    }

    void RunSequences(const ProgramProfile& p, const std::string& folder, int seeds, int steps) {
        platform::InstallServices(platform::Services{&messages, &files, &services.settings, &services.clock,
                                                     &services.pump, &services.errors});
        platform::InstallClipboard(&clipboard);
        platform::InstallDesktopServices(platform::DesktopServices{&desktopDouble, &desktopDouble});
        platform::qt::InstallModalRunner(&runner);
        double monotonic = 0;
        services.clock.monotonicSource = [&monotonic] { return monotonic += 0.02; };
        services.pump.onStop = [this] { OnPump(); };

        const int firstSeed = EnvInt("PELLUCOR_MONKEY_FIRST_SEED", 1);
        for (int seed = firstSeed; seed < firstSeed + seeds; ++seed) {
            dice = Dice(static_cast<std::uint32_t>(seed) * 7919u + 13u);
            if (std::getenv("PELLUCOR_MONKEY_VERBOSE")) std::cout << folder << " seed " << seed << std::endl;
            recent.clear();
            midFitBudget = EnvInt("PELLUCOR_MONKEY_MIDFIT", 12);
            const std::vector<std::string> samples = FreshProgramFolder(folder);
            TMainForm* f = &StartProgram(p, dice.Pick(samples));
            services.pump.calls = 0;
            services.pump.stopAfter = 1 + dice.Below(20);
            for (int step = 1; step <= steps; ++step) {
                where = folder + " seed " + std::to_string(seed) + " step " + std::to_string(step);
                FireOne(*f, std::to_string(step) + ": ");
                Check(*f);
                if (::testing::Test::HasFailure()) return;
                if (!f->isVisible()) {
                    // Exit ends the program: the next session starts anew,
                    // with the settings the last one left.
                    Note("  (program ended; started again)");
                    ++restarts;
                    form.reset();
                    f = &StartProgram(p, dice.Pick(samples));
                }
            }
            form.reset();
        }
        std::ostringstream summary;
        summary << folder << ": " << seeds << " seeds x " << steps << " steps, " << runner.ran << " dialogs, "
                << messages.shown << " message boxes, " << services.pump.calls << " pumps in the last sequence, "
                << midFitCommands << " mid-fit actions, " << restarts << " restarts";
        RecordProperty("summary", summary.str());
        if (std::getenv("PELLUCOR_MONKEY_VERBOSE"))
            std::cout << summary.str() << "\nerror sink: " << services.errors.captured.substr(0, 2000) << "\n";
    }

    void TearDown() override {
        form.reset();
        platform::InstallClipboard(nullptr);
        platform::qt::InstallModalRunner(&modal.runner);
        platform::InstallDesktopServices(platform::DesktopServices{&desktop.help, &desktop.programs});
        services.pump.onStop = nullptr;
        services.clock.monotonicSource = nullptr;
    }

    Dice dice{1};
    RandomMessages messages{dice};
    RandomFileDialogs files{dice, {}, {}};
    RandomDesktop desktopDouble{dice};
    Runner runner{*this};
    platform::MemoryClipboard clipboard;
    std::vector<std::string> clipTexts;
    std::deque<std::string> recent;
    std::string where;
    int midFitBudget = 0, midFitCommands = 0, pumpDepth = 0, restarts = 0;

    void SetUp() override {
        MainRoadTest::SetUp();
        std::string many;
        for (int k = 0; k < 230; ++k) many += std::to_string(1e5 / (k + 1)) + " 10 -" + std::to_string(k) + "\n";
        clipTexts = {ClipboardRcrText(testing_support::Rcr{10.0, 1e-5, 100.0}), "", "not numbers at all\n1 2\n", many,
                     "1e5 nan 3\n1e4 inf -inf\n1e3 1 1\n", "0 0 0\n-1 -1 -1\n"};
    }
};

TEST_F(MonkeyTest, TambericWindowSurvivesCommandsInAnyOrder) {
    RunSequences(tamberic, "monkey-tamberic", EnvInt("PELLUCOR_MONKEY_SEEDS", 4), EnvInt("PELLUCOR_MONKEY_STEPS", 500));
}

TEST_F(MonkeyTest, LumarestWindowSurvivesCommandsInAnyOrder) {
    RunSequences(lumarest, "monkey-lumarest", EnvInt("PELLUCOR_MONKEY_SEEDS", 4), EnvInt("PELLUCOR_MONKEY_STEPS", 500));
}
