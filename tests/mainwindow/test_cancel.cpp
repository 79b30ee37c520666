// Cancel changes nothing. Every command that asks the person something is run
// through the window's own handler, with the question answered the cautious
// way (Cancel button, Escape, the window's close box, No, a file dialog left
// without a name). Before and after, everything the person could notice is
// taken: the program state field by field, the windows' controls, the main
// window's caption, area label and menu marks, the settings store, and the
// program folder's files (names, sizes, contents). The only differences
// allowed are those the command makes before it asks, or a window makes as
// it opens (listed per case).
#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "core/Messages.h"
#include "core/TextHelpers.h"
#include "dialogs/fit/TCDCForm.h"
#include "dialogs/fit/TOptForm.h"
#include "dialogs/fit/TParForm.h"
#include "dialogs/input/SmallInputForms.h"
#include "fuzz/FuzzSupport.h"
#include "mainwindow/MainRoadFixture.h"

namespace pellucor::testing_support {

class CancelTest;

namespace {

using Snapshot = std::map<std::string, std::string>;

template <class T>
std::string Image(const T& v) {
    if constexpr (std::is_same_v<T, std::string>) return "\"" + v + "\"";
    if constexpr (std::is_arithmetic_v<T>) {
        std::ostringstream o;
        o.precision(17);
        o << v;
        return o.str();
    }
    fuzz::StateImage m;
    m.put(v);
    return m.bytes();
}

// The program state, one entry per field, named as in the code.
void TakeState(Snapshot& out) {
    const ProgramState& st = State();
#define PELLUCOR_FIELD(x) out["State()." #x] = Image(st.x)
    PELLUCOR_FIELD(Spectrum.Frequency);
    PELLUCOR_FIELD(Spectrum.ZReal);
    PELLUCOR_FIELD(Spectrum.ZImag);
    PELLUCOR_FIELD(Spectrum.ZRealCalc);
    PELLUCOR_FIELD(Spectrum.ZImagCalc);
    PELLUCOR_FIELD(Spectrum.PointCount);
    PELLUCOR_FIELD(Spectrum.FilePointCount);
    PELLUCOR_FIELD(Spectrum.ExtendedPointCount);
    PELLUCOR_FIELD(Group.GroupCount);
    PELLUCOR_FIELD(Group.GroupMode);
    PELLUCOR_FIELD(Circuit.Code);
    PELLUCOR_FIELD(Params.ParamCount);
    PELLUCOR_FIELD(Params.Kind);
    PELLUCOR_FIELD(Params.Value);
    PELLUCOR_FIELD(Params.Sign);
    PELLUCOR_FIELD(Params.Error);
    PELLUCOR_FIELD(Params.Fixed);
    PELLUCOR_FIELD(Params.SearchSelect);
    PELLUCOR_FIELD(Params.FreeCount);
    PELLUCOR_FIELD(Fit.SampleArea);
    PELLUCOR_FIELD(Fit.ChiSq);
    PELLUCOR_FIELD(Fit.ChiSqDivisor);
    PELLUCOR_FIELD(Fit.PreviousChiSq);
    PELLUCOR_FIELD(Run.IterateMode);
    PELLUCOR_FIELD(Run.MonitorMode);
    PELLUCOR_FIELD(Run.BatchMode);
    PELLUCOR_FIELD(Run.SimulateMode);
    PELLUCOR_FIELD(Run.SearchRequested);
    PELLUCOR_FIELD(Run.UserStartValues);
    PELLUCOR_FIELD(Run.StartValuesApplied);
    PELLUCOR_FIELD(Run.SimulateChoiceCopy);
    PELLUCOR_FIELD(Run.CdcFormFlag);
    PELLUCOR_FIELD(Run.StopRequested);
    PELLUCOR_FIELD(Run.DataLoaded);
    PELLUCOR_FIELD(Run.ModelValid);
    PELLUCOR_FIELD(Run.ParamsValid);
    PELLUCOR_FIELD(Run.ReadyToRun);
    PELLUCOR_FIELD(Run.ResetParamWindow);
    PELLUCOR_FIELD(Run.ResultsComputed);
    PELLUCOR_FIELD(Run.SimulatedResults);
    PELLUCOR_FIELD(Run.KineticData);
    PELLUCOR_FIELD(Run.ResultsFileSet);
    PELLUCOR_FIELD(Run.PerAreaUnits);
    PELLUCOR_FIELD(Run.ExtrapolatedView);
    PELLUCOR_FIELD(Run.KKView);
    PELLUCOR_FIELD(Run.ReadCData);
    PELLUCOR_FIELD(Run.ConductiveSystem);
    PELLUCOR_FIELD(Run.PlotKind);
    PELLUCOR_FIELD(Run.LogBodeZ);
    PELLUCOR_FIELD(Run.LogReIm);
    PELLUCOR_FIELD(History.Iteration);
    PELLUCOR_FIELD(History.IterationCount);
    PELLUCOR_FIELD(Folders.AppFolder);
    PELLUCOR_FIELD(Folders.DataFolder);
    PELLUCOR_FIELD(Folders.ParFolder);
    PELLUCOR_FIELD(Folders.SimDataFolder);
    PELLUCOR_FIELD(Folders.ExportFolder);
    PELLUCOR_FIELD(Folders.SimParFolder);
    PELLUCOR_FIELD(Folders.PicsFolder);
    PELLUCOR_FIELD(Folders.DocFolder);
    PELLUCOR_FIELD(Folders.SampleId);
    PELLUCOR_FIELD(Files.DataFileName);
    PELLUCOR_FIELD(Files.ResultsFileName);
    PELLUCOR_FIELD(Files.LastParFileName);
    PELLUCOR_FIELD(Files.PrintTitle);
    PELLUCOR_FIELD(Files.SelectedSpecName);
    PELLUCOR_FIELD(Files.WrittenAsImpedances);
    PELLUCOR_FIELD(Model.CustomTitles);
    PELLUCOR_FIELD(Model.ChartTitle1);
    PELLUCOR_FIELD(Model.ChartTitle2);
    PELLUCOR_FIELD(Options.SignModeCode);
    PELLUCOR_FIELD(Options.AutoSignZImag);
    PELLUCOR_FIELD(Options.ReverseZImag);
    PELLUCOR_FIELD(Options.Weighting);
    PELLUCOR_FIELD(Options.MaxIterations);
    PELLUCOR_FIELD(Options.MinFreqExponent);
    PELLUCOR_FIELD(Options.MaxFreqExponent);
    PELLUCOR_FIELD(Options.UseSystemLibrary);
    PELLUCOR_FIELD(Options.ScientificFormat);
    PELLUCOR_FIELD(Options.PeriodDecimal);
    PELLUCOR_FIELD(Options.SavePlotFormat);
    PELLUCOR_FIELD(Options.ErrorAsStdDev);
    PELLUCOR_FIELD(Options.NoiseType);
    PELLUCOR_FIELD(Options.NoiseLevelUnity);
    PELLUCOR_FIELD(Options.NoiseLevelModulus);
    PELLUCOR_FIELD(Options.WhiteBackground);
    PELLUCOR_FIELD(Options.AutoSetupMethod);
    out["options"] = fuzz::OptionsImage();
    out["print layout"] = fuzz::PrintImage();
#undef PELLUCOR_FIELD
    // Whatever the list above leaves out.
    out["whole state"] = fuzz::WholeStateImage();
}

// The person-visible controls of a window: edits, ticks, choices.
void TakeControls(const std::string& window, QWidget* w, Snapshot& out) {
    if (!w) return;
    for (auto* e : w->findChildren<QLineEdit*>())
        if (!qobject_cast<QSpinBox*>(e->parentWidget()))
            out[window + "." + e->objectName().toStdString()] = e->text().toStdString();
    for (auto* b : w->findChildren<QAbstractButton*>())
        if (b->isCheckable()) out[window + "." + b->objectName().toStdString()] = b->isChecked() ? "ticked" : "clear";
    for (auto* c : w->findChildren<QComboBox*>()) {
        std::string items;
        for (int i = 0; i < c->count(); ++i) items += c->itemText(i).toStdString() + "|";
        out[window + "." + c->objectName().toStdString()] = c->currentText().toStdString() + " of " + items;
    }
    for (auto* s : w->findChildren<QSpinBox*>())
        out[window + "." + s->objectName().toStdString()] = std::to_string(s->value());
}

std::string FileDigest(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return std::to_string(ss.str().size()) + " bytes, " + std::to_string(std::hash<std::string>{}(ss.str()));
}

Snapshot Take(mainwindow::TMainForm& f, const std::filesystem::path& root,
              const platform::MemorySettingsStore& settings) {
    Snapshot out;
    TakeState(out);
    out["caption"] = f.windowTitle().toStdString();
    out["area label"] = f.Label1->text().toStdString();
    for (QAction* a : f.findChildren<QAction*>()) {
        if (a->objectName().isEmpty()) continue;
        out["menu." + a->objectName().toStdString()] =
            std::string(a->isEnabled() ? "enabled" : "disabled") +
            (a->isCheckable() ? (a->isChecked() ? ", ticked" : ", clear") : "");
    }
    for (QCheckBox* c : {f.CheckBox1, f.CheckBox2, f.CheckBox3, f.CheckBox4, f.CheckBox5, f.CheckBox6})
        out["box." + c->objectName().toStdString()] = c->isChecked() ? "ticked" : "clear";
    out["data read from"] = f.OpenDialog1FileName;
    for (const char* w : {"ParForm", "OptForm", "CDCForm", "SAreaForm", "ProsimForm"})
        TakeControls(w, f.FindWindow(w), out);
    for (const auto& [slot, value] : settings.values) out["settings " + slot] = value;
    for (const auto& e : std::filesystem::recursive_directory_iterator(root)) {
        const std::string name = "file " + std::filesystem::relative(e.path(), root).generic_string();
        out[name] = e.is_directory() ? "folder" : FileDigest(e.path());
    }
    return out;
}

std::string Differences(const Snapshot& before, const Snapshot& after, const std::set<std::string>& allowed) {
    std::string text;
    std::set<std::string> names;
    for (const auto& [k, v] : before) names.insert(k);
    for (const auto& [k, v] : after) names.insert(k);
    for (const std::string& k : names) {
        if (allowed.count(k)) continue;
        // A field allowed to change changes the image of the whole state too.
        if (k == "whole state" &&
            std::any_of(allowed.begin(), allowed.end(),
                        [](const std::string& a) { return a.rfind("State().", 0) == 0; }))
            continue;
        const auto b = before.find(k);
        const auto a = after.find(k);
        const std::string bv = b == before.end() ? "(none)" : b->second;
        const std::string av = a == after.end() ? "(none)" : a->second;
        if (bv != av) text += "  " + k + ": " + bv + " -> " + av + "\n";
    }
    return text;
}

enum class Way { CancelButton, Escape, CloseBox };

const char* WayName(Way w) {
    switch (w) {
        case Way::CancelButton: return "Cancel button";
        case Way::Escape: return "Escape";
        case Way::CloseBox: return "close box";
    }
    return "";
}

// A modal runner that behaves like the person: the dialog is shown (so it
// does what it does when it appears), the person acts in it, and then leaves
// it the chosen cautious way. Whatever closed the dialog decides the answer.
class PersonRunner final : public platform::qt::ModalRunner {
public:
    bool Run(QDialog& d) override {
        shown.push_back(d.objectName().toStdString());
        d.setResult(QDialog::Rejected);
        d.show();
        if (auto it = actions.find(d.objectName().toStdString()); it != actions.end()) it->second(d);
        if (d.isVisible()) {
            switch (way) {
                case Way::CancelButton: {
                    QAbstractButton* cancel = nullptr;
                    for (auto* b : d.findChildren<QAbstractButton*>())
                        if (b->text() == "Cancel") cancel = b;
                    if (!cancel) {
                        ADD_FAILURE() << d.objectName().toStdString() << " has no Cancel button";
                        d.reject();
                    } else {
                        QTest::mouseClick(cancel, Qt::LeftButton);
                    }
                    break;
                }
                case Way::Escape: QTest::keyClick(&d, Qt::Key_Escape); break;
                case Way::CloseBox: d.close(); break;
            }
        }
        EXPECT_FALSE(d.isVisible()) << d.objectName().toStdString() << " still open after " << WayName(way);
        d.hide();
        return d.result() == QDialog::Accepted;
    }
    Way way = Way::CancelButton;
    std::map<std::string, std::function<void(QDialog&)>> actions;
    std::vector<std::string> shown;
};

const std::set<std::string> kNothing;

struct CancelCase {
    std::string name;
    std::function<void(mainwindow::TMainForm&, CancelTest&)> prepare;  // before the snapshot
    std::function<void(mainwindow::TMainForm&, PersonRunner&, platform::testing::ScopedServices&)> run;
    // What the command changes before it asks, or what the window does as it
    // opens, by the program's own rules.
    std::set<std::string> allowed;
    std::vector<std::string> dialogs;  // the windows that must have been shown, in order
};

}  // namespace

class CancelTest : public MainRoadTest {
protected:
    // Data opened and fitted (results not saved): the state a person has
    // most to lose in.
    mainwindow::TMainForm& StartFitted(const apps::LumarestProfile* lumarestProfile, const std::string& folder) {
        MakeProgramFolder(folder);
        const fs::path data = WriteRcrData(Rcr{10.0, 1e-5, 1000.0}, "cell7.txt");
        mainwindow::TMainForm& f = lumarestProfile ? StartLumarest() : Start();
        services.fileDialogs.AnswerOpen(data.string());
        f.Open1Click();
        FitRcr(f, false);
        services.messages.clear();
        modal.runner.shown.clear();
        return f;
    }

    void RunCase(bool lumarestProgram, const CancelCase& c) {
        for (Way way : {Way::CancelButton, Way::Escape, Way::CloseBox}) {
            SCOPED_TRACE(std::string(lumarestProgram ? "Lumarest" : "Tamberic") + ", " + c.name + ", " + WayName(way));
            form.reset();
            ResetProgramState();
            ResetWindows();
            services.settings.values.clear();
            // A folder per program: ctest runs the two programs' tests side by side.
            mainwindow::TMainForm& f = StartFitted(lumarestProgram ? &lumarest : nullptr,
                                                   lumarestProgram ? "cancel lumarest" : "cancel tamberic");
            if (c.prepare) c.prepare(f, *this);
            services.messages.clear();
            const Snapshot before = Take(f, root, services.settings);
            PersonRunner person;
            person.way = way;
            platform::qt::InstallModalRunner(&person);
            c.run(f, person, services);
            platform::qt::InstallModalRunner(&modal.runner);
            EXPECT_EQ(services.messages.pendingAnswers(), 0u) << "a question expected was not asked";
            EXPECT_EQ(person.shown, c.dialogs);
            const Snapshot after = Take(f, root, services.settings);
            const std::string diff = Differences(before, after, c.allowed);
            EXPECT_TRUE(diff.empty()) << "changed by a cancelled command:\n" << diff;
            if (c.dialogs.empty()) break;  // no window of ours: one way is all there is
        }
    }

    static std::vector<CancelCase> Cases();

    // R(CR) fitted to cell7 and saved, then the saved file retrieved with
    // its series resistance turned negative: results in memory whose first
    // value is below zero, as the saved file shows. Returns that value.
    double FittedWithNegativeSeriesResistance(mainwindow::TMainForm& f) {
        const fs::path data = WriteRcrData(Rcr{10.0, 1e-5, 1000.0}, "cell7.txt");
        services.fileDialogs.AnswerOpen(data.string());
        f.Open1Click();
        FitRcr(f, true);
        const fs::path saved = State().Files.ResultsFileName;
        EXPECT_TRUE(fs::exists(saved));
        std::istringstream in(ReadText(saved));
        std::string text, line;
        bool rows = false;
        while (std::getline(in, line)) {
            if (rows && line.rfind("    1 ", 0) == 0) {
                std::istringstream l(line);
                std::string index, fixed, kind, start, end, error;
                l >> index >> fixed >> kind >> start >> end >> error;
                line = "    1 " + fixed + " " + kind + " -" + start + " -" + end + " " + error;
            }
            if (line.find("-------") != std::string::npos) rows = true;
            text += line + "\n";
        }
        const fs::path negative = root / "par" / "negative, R(CR).par";
        std::ofstream(negative) << text;
        services.fileDialogs.AnswerOpen(negative.string());
        f.RetrieveParsClick();
        EXPECT_EQ(State().Params.Sign[1], -1.0);
        // The retrieved results, computed again with the data, saved as they stand.
        services.messages.clear();
        services.messages.Answer(platform::MsgResult::Yes);  // Save results with this filename?
        f.SaveParsClick();
        const std::vector<double> ends = ParEndValues(ReadText(State().Files.ResultsFileName));
        return ends.empty() ? 0.0 : ends[0];
    }

    // Saves the results in memory and gives back the first saved end value.
    double SavedFirstEndValue(mainwindow::TMainForm& f) {
        services.messages.clear();
        services.messages.Answer(platform::MsgResult::Yes);  // Save results with this filename?
        f.SaveParsClick();
        const std::vector<double> ends = ParEndValues(ReadText(State().Files.ResultsFileName));
        EXPECT_EQ(ends.size(), 3u);
        return ends.empty() ? 0.0 : ends[0];
    }
};

std::vector<CancelCase> CancelTest::Cases() {
    using platform::MsgResult;
    std::vector<CancelCase> cases;

    cases.push_back({"Open, dialog left without a file", nullptr,
                     [](auto& f, auto&, auto& s) {
                         s.fileDialogs.AnswerOpen(std::nullopt);
                         f.Open1Click();
                     },
                     kNothing, {}});
    cases.push_back({"Paste window left without a paste", nullptr,
                     [](auto& f, auto&, auto&) { f.Paste1Click(); }, kNothing, {"PasteForm"}});
    cases.push_back({"Save Parameters, No, then the dialog left without a name", nullptr,
                     [](auto& f, auto&, auto& s) {
                         s.messages.Answer(MsgResult::No);
                         s.fileDialogs.AnswerSave(std::nullopt);
                         f.SaveParsClick();
                     },
                     {"State().Files.ResultsFileName"}, {}});
    cases.push_back({"Save Impedance Data, No, then the dialog left without a name", nullptr,
                     [](auto& f, auto&, auto& s) {
                         s.messages.Answer(MsgResult::No);
                         s.fileDialogs.AnswerSave(std::nullopt);
                         f.SaveImpedaneData1Click();
                     },
                     kNothing, {}});
    cases.push_back({"Save Impedance Data of a simulation, No, then the dialog left without a name",
                     [](auto& f, CancelTest& t) { t.SimulateRcrWithReversedSign(f, 1.0); },
                     [](auto& f, auto&, auto& s) {
                         s.messages.Answer(MsgResult::No);
                         s.fileDialogs.AnswerSave(std::nullopt);
                         f.SaveImpedaneData1Click();
                     },
                     kNothing, {}});
    cases.push_back({"Save Converted, the dialog left without a name",
                     [](auto& f, auto&) { f.Dielectricsystem1Click(); },
                     [](auto& f, auto&, auto& s) {
                         s.fileDialogs.AnswerSave(std::nullopt);
                         f.SaveasDielectric1Click();
                     },
                     kNothing, {}});
    cases.push_back({"Specify Image Viewer, the dialog left without a name", nullptr,
                     [](auto& f, auto&, auto& s) {
                         s.fileDialogs.AnswerSave(std::nullopt);
                         f.SetupImageViewer1Click();
                     },
                     kNothing, {}});
    cases.push_back({"Sample area typed, then left", nullptr,
                     [](auto& f, auto& p, auto&) {
                         p.actions["SAreaForm"] = [](QDialog& d) {
                             dynamic_cast<dialogs::TSAreaForm&>(d).Edit1->setText("2.5");
                         };
                         f.SurfaceBtn1Click();
                     },
                     // The typed text stays in the hidden window, which shows the area anew when it opens.
                     {"SAreaForm.Edit1"}, {"SAreaForm"}});
    cases.push_back({"Sample area 0 refused at OK, then left", nullptr,
                     [](auto& f, auto& p, auto&) {
                         p.actions["SAreaForm"] = [](QDialog& d) {
                             auto& area = dynamic_cast<dialogs::TSAreaForm&>(d);
                             area.Edit1->setText("0");
                             area.BitBtn1Click();  // says the area must be above 0; the window stays
                         };
                         f.SurfaceBtn1Click();
                     },
                     {"SAreaForm.Edit1"}, {"SAreaForm"}});
    cases.push_back({"New folder named, then left without Create", nullptr,
                     [](auto& f, auto& p, auto&) {
                         p.actions["FolderForm"] = [](QDialog& d) {
                             dynamic_cast<dialogs::TFolderForm&>(d).Edit1->setText("run1");
                         };
                         f.CreateFolder1Click();
                     },
                     kNothing, {"FolderForm"}});
    cases.push_back({"Chart titles typed, then left", nullptr,
                     [](auto& f, auto& p, auto&) {
                         p.actions["TitleForm"] = [](QDialog& d) {
                             auto& t = dynamic_cast<dialogs::TTitleForm&>(d);
                             t.Edit1->setText("first");
                             t.Edit2->setText("second");
                         };
                         f.ChangeTitle1Click();
                     },
                     kNothing, {"TitleForm"}});
    cases.push_back({"Sample IDs typed, then left", nullptr,
                     [](auto& f, auto& p, auto&) {
                         p.actions["SampleIDForm"] = [](QDialog& d) {
                             for (auto* e : d.findChildren<QLineEdit*>()) e->setText("typed");
                         };
                         f.SampleIDsClick();
                     },
                     kNothing, {"SampleIDForm"}});
    cases.push_back({"Options changed, Save answered No, then left", nullptr,
                     [](auto& f, auto& p, auto& s) {
                         p.actions["OptForm"] = [&s](QDialog& d) {
                             for (auto* b : d.findChildren<QRadioButton*>())
                                 if (!b->isChecked()) b->setChecked(true);
                             for (auto* c : d.findChildren<QCheckBox*>()) c->setChecked(!c->isChecked());
                             s.messages.Answer(MsgResult::No);
                             dynamic_cast<fitwin::TOptForm&>(d).Button1Click();
                         };
                         f.Option1Click();
                     },
                     kNothing, {"OptForm"}});
    // "Select Model & Run Mode" starts a new run before it asks: the
    // iteration count and the choice of start values are reset.
    // The model window, as it opens, falls back to the system library when
    // the user library file is missing.
    const std::set<std::string> modelResets = {"State().History.Iteration", "State().Run.StartValuesApplied",
                                               "State().Options.UseSystemLibrary", "options"};
    // What the person typed stays in the hidden model window; the list is
    // the user library file as it was read when the window opened.
    std::set<std::string> modelTyped = modelResets;
    modelTyped.insert({"CDCForm.", "CDCForm.ComboBox1"});
    cases.push_back({"Select Model, the model dialog left", nullptr,
                     [](auto& f, auto&, auto&) { f.Model1Click(); }, modelResets, {"CDCForm"}});
    cases.push_back({"Select Model, user library: Add, Delete and Save answered No, then left",
                     [](auto&, auto&) {
                         const std::string lib = WithTrailingBackslash(State().Folders.AppFolder) + "cdclist.cdc";
                         std::ofstream(lib) << "R(CR)\nR(QR)\n";
                         State().Options.UseSystemLibrary = false;
                         Windows().Opt->ShowOptions();
                     },
                     [](auto& f, auto& p, auto& s) {
                         p.actions["CDCForm"] = [&s](QDialog& d) {
                             auto& cdc = dynamic_cast<fitwin::TCDCForm&>(d);
                             cdc.SetCodeText("R(CR(LR))");
                             s.messages.Answer(MsgResult::No);
                             cdc.AddBtn1Click();
                             cdc.SetCodeText("R(QR)");
                             s.messages.Answer(MsgResult::No);
                             cdc.DeleteBtn2Click();
                             s.messages.Answer(MsgResult::No);
                             cdc.SaveBtn3Click();
                         };
                         f.Model1Click();
                     },
                     modelTyped, {"CDCForm"}});
    cases.push_back({"Select Model, system library: Save answered No, then left", nullptr,
                     [](auto& f, auto& p, auto& s) {
                         p.actions["CDCForm"] = [&s](QDialog& d) {
                             s.messages.Answer(MsgResult::No);
                             dynamic_cast<fitwin::TCDCForm&>(d).SaveBtn3Click();
                         };
                         f.Model1Click();
                     },
                     modelResets, {"CDCForm"}});
    cases.push_back({"Select Model during a mechanism: Want to quit? answered No",
                     [](auto&, auto&) { State().Run.KineticData = true; },
                     [](auto& f, auto&, auto& s) {
                         s.messages.Answer(MsgResult::No);
                         f.Model1Click();
                     },
                     kNothing, {}});
    cases.push_back({"Retrieve Parameters, the dialog left without a file", nullptr,
                     [](auto& f, auto&, auto& s) {
                         s.fileDialogs.AnswerOpen(std::nullopt);
                         f.RetrieveParsClick();
                     },
                     // The current parameters are computed again as a new run's first
                     // iteration, by a fit of its own with its own degrees of freedom.
                     {"State().History.Iteration", "State().Fit.ChiSqDivisor"}, {}});
    // "Edit Parameters & Run" opens its window in monitor mode.
    const std::set<std::string> editResets = {"State().Run.MonitorMode", "State().Run.IterateMode",
                                              "State().Run.StartValuesApplied", "State().Run.ParamsValid",
                                              "ParForm.IternRadioBtn", "ParForm.ReviewRadioBtn",
                                              "ParForm.SignCheckBox"};
    cases.push_back({"Edit Parameters, the parameter window left", nullptr,
                     [](auto& f, auto&, auto&) { f.ParamListClick(); }, editResets, {"ParForm"}});
    cases.push_back({"Edit Parameters, Import left without a file, then the window left", nullptr,
                     [](auto& f, auto& p, auto& s) {
                         p.actions["ParForm"] = [&s](QDialog& d) {
                             s.fileDialogs.AnswerOpen(std::nullopt);
                             dynamic_cast<fitwin::TParForm&>(d).ImportClick();
                         };
                         f.ParamListClick();
                     },
                     editResets, {"ParForm"}});
    cases.push_back({"Edit Parameters, values typed and boxes ticked, then the window left", nullptr,
                     [](auto& f, auto& p, auto&) {
                         p.actions["ParForm"] = [](QDialog& d) {
                             auto& par = dynamic_cast<fitwin::TParForm&>(d);
                             par.SetStartText(1, "500");
                             par.SetFixedBox(2, !par.FixedBox(2));
                             par.SetSignBox(3, !par.SignBox(3));
                             par.SimnRadioBtn->setChecked(true);
                             par.LockButtonClick();
                         };
                         f.ParamListClick();
                     },
                     editResets, {"ParForm"}});
    cases.push_back({"Edit Parameters, another file's parameters imported, then the window left",
                     [](auto& f, CancelTest& t) {
                         // The results of another cell, saved for the same circuit.
                         t.services.messages.Answer(MsgResult::Yes);
                         f.SaveParsClick();
                         std::istringstream in(ReadText(State().Files.ResultsFileName));
                         std::string text, line;
                         while (std::getline(in, line)) {
                             if (line.find("= chi squared") != std::string::npos) line = "1.234e-02 = chi squared";
                             if (line.rfind("    2 ", 0) == 0) line = "    2 0 C -2.5E-005 -2.5E-005 12.34";
                             text += line + "\n";
                         }
                         std::ofstream(fs::path(State().Folders.ParFolder) / "other cell, R(CR).par") << text;
                     },
                     [](auto& f, auto& p, auto& s) {
                         p.actions["ParForm"] = [&s](QDialog& d) {
                             s.fileDialogs.AnswerOpen(State().Folders.ParFolder + "other cell, R(CR).par");
                             dynamic_cast<fitwin::TParForm&>(d).ImportClick();
                         };
                         f.ParamListClick();
                     },
                     editResets, {"ParForm"}});
    return cases;
}

// A fitted value below zero (an inductive loop, a negative resistance) is
// kept as its magnitude and its sign. The run dialogs make every sign
// positive for the run they prepare; when the person cancels, no run comes,
// and the results shown and saved must still carry their signs.
TEST_F(CancelTest, CancelledRunDialogsKeepTheSignsOfTheResults) {
    const std::vector<std::pair<std::string, void (mainwindow::TMainForm::*)()>> commands = {
        {"Select Model & Run Mode", &mainwindow::TMainForm::Model1Click},
        {"Edit Parameters & Run", &mainwindow::TMainForm::ParamListClick}};
    for (const auto& [name, command] : commands) {
        SCOPED_TRACE(name);
        form.reset();
        ResetProgramState();
        ResetWindows();
        MakeProgramFolder("cancel signs");
        mainwindow::TMainForm& f = StartLumarest();
        const double rs = FittedWithNegativeSeriesResistance(f);
        ASSERT_LT(rs, 0.0);

        services.messages.clear();
        (f.*command)();  // the scripted runner answers Cancel
        EXPECT_EQ(State().Params.Sign[1], -1.0);
        EXPECT_NEAR(SavedFirstEndValue(f), rs, 1e-3 * std::fabs(rs)) << "the saved series resistance lost its sign";
    }
}

// A code the program refuses at the model window's OK runs nothing: the
// results in memory keep their signs, and so does a later "Edit Parameters
// & Run" that stops because there is no model.
TEST_F(CancelTest, ACodeRefusedAtOkKeepsTheSignsOfTheResults) {
    for (bool lumarestProgram : {false, true}) {
        const std::string program = lumarestProgram ? "Lumarest" : "Tamberic";
        SCOPED_TRACE(program);
        form.reset();
        ResetProgramState();
        ResetWindows();
        MakeProgramFolder("refused code signs " + program);
        mainwindow::TMainForm& f = lumarestProgram ? StartLumarest() : Start();
        const double rs = FittedWithNegativeSeriesResistance(f);
        ASSERT_LT(rs, 0.0);

        services.messages.clear();
        ChooseModel("R(CK)", &fitwin::TCDCForm::RadioButton2);
        f.Model1Click();
        modal.runner.whileOpen = nullptr;
        ASSERT_FALSE(State().Run.ModelValid);
        EXPECT_EQ(State().Params.Sign[1], -1.0);
        EXPECT_NEAR(SavedFirstEndValue(f), rs, 1e-3 * std::fabs(rs)) << "the saved series resistance lost its sign";

        // In simulate mode the command reaches the model check only after it
        // has prepared the signs for its window.
        State().Run.SimulateMode = true;
        services.messages.clear();
        f.ParamListClick();
        ASSERT_EQ(services.messages.transcript().size(), 1u);
        EXPECT_EQ(services.messages.transcript()[0].text, FindMessage(3)->text);
        EXPECT_EQ(State().Params.Sign[1], -1.0);
    }
}

TEST_F(CancelTest, TambericCommandsLeftTheCautiousWayChangeNothing) {
    for (const CancelCase& c : Cases()) RunCase(false, c);
}

TEST_F(CancelTest, LumarestCommandsLeftTheCautiousWayChangeNothing) {
    for (const CancelCase& c : Cases()) RunCase(true, c);
}

}  // namespace pellucor::testing_support
