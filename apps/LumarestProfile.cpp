#include "apps/LumarestProfile.h"

#include <QMenu>

#include "circuitapp/InstructionWindows.h"
#include "core/ProgramState.h"
#include "dialogs/fit/TCDCForm.h"
#include "dialogs/fit/TOptForm.h"
#include "dialogs/fit/TParForm.h"
#include "dialogs/fit/TProsimForm.h"
#include "dialogs/help/HelpWindows.h"
#include "dialogs/input/SmallInputForms.h"
#include "dialogs/paste/TPasteForm.h"
#include "mainwindow/MainForm.h"

namespace pellucor::apps {

using mainwindow::Make;
using mainwindow::TMainForm;
using mainwindow::WindowList;

QString LumarestProfile::ApplicationTitle() const { return "Impedance Data Analysis - Pellucor V 3.20"; }

QString LumarestProfile::Caption() const { return "Pellucor"; }

WindowList LumarestProfile::OwnedWindows() const {
    return {
        {"ClpForm", {}},
        {"CDCForm", Make<fitwin::TCDCForm>},
        {"ParForm", Make<fitwin::TParForm>},
        {"OptForm", Make<fitwin::TOptForm>},
        {"ZrvalueForm", {}},
        {"PolyForm", {}},
        {"PasteForm", Make<dialogs::TPasteForm>},
        {"JobReqForm", {}},
        {"ManagerForm", {}},
        {"FolderForm", Make<dialogs::TFolderForm>},
        {"PlotOptForm", {}},
        {"ProsimForm", Make<fitwin::TProsimForm>},
        {"SimulatorForm", {}},
        {"OneAdsForm", {}},
        {"CovarForm", {}},
    };
}

WindowList LumarestProfile::EntryWindows() const {
    return {
        {"TechForm1", Make<dialogs::TTechForm1>},
        {"TechForm2", Make<dialogs::TTechForm2>},
        {"InstForm", Make<circuitapp::TInstForm>},
        {"InstEditForm", Make<dialogs::TInstEditForm>},
        {"HelpPasteForm", Make<dialogs::THelpPasteForm>},
        {"HeaderForm", {}},
        {"InstHdrForm", Make<dialogs::TInstHdrForm>},
        {"BatchForm", {}},
        {"InstModelForm", Make<dialogs::TInstModelForm>},
        {"SAreaForm", Make<dialogs::TSAreaForm>},
        {"InstPHForm", Make<dialogs::TInstPHForm>},
        {"InstMonitorForm", Make<circuitapp::TInstMonitorForm>},
        {"InstManagerForm", Make<circuitapp::TInstManagerForm>},
        {"InstOptionForm", Make<dialogs::TInstOptionForm>},
        {"GraphForm", {}},
        {"HelpKKForm", Make<circuitapp::THelpKKForm>},
        {"WordForm1", {}},
        {"InstWordForm", Make<circuitapp::TInstWordForm>},
        {"SelectNdxForm", {}},
        {"CPEForm", {}},
        {"InstCovarForm", Make<dialogs::TInstCovarForm>},
        {"InstGlobalForm", Make<dialogs::TInstGlobalForm>},
    };
}

void LumarestProfile::BuildMechanisticMenu(TMainForm& f, QMenu& m) const {
    f.AddCommand(&m, "SimulateModeRunExamples1", "Simulate Mode Run Examples",
                 &TMainForm::SimulationModeRunExamples1Click);
    f.AddCommand(&m, "EqualImpedancewithdifferentcircuits1", "Equal Impedance with Different Circuits",
                 &TMainForm::EqualImpedancewithdifferentcircuits1Click);
    m.addSeparator();
    f.AddCommand(&m, "RunOtherExamples1", "Mechanistic and Kinetic Analysis ......",
                 &TMainForm::RunOtherExamples1Click);
}

void LumarestProfile::AfterDefaultSettings() const { State().Fit.ParamTolerance = 0.02; }

}  // namespace pellucor::apps
