#include "apps/TambericProfile.h"

#include <QMenu>

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

QString TambericProfile::ApplicationTitle() const { return "Reaction Model Analysis - Pellucor V 3.20"; }

QString TambericProfile::Caption() const { return " Mechanistic and Kinetic Analysis"; }

// Created by the main window with itself as owner, freed in reverse order.
WindowList TambericProfile::OwnedWindows() const {
    return {
        {"ClpForm", {}},
        {"CDCForm", Make<fitwin::TCDCForm>},
        {"ParForm", Make<fitwin::TParForm>},
        {"OptForm", Make<fitwin::TOptForm>},
        {"ZrvalueForm", {}},
        {"PasteForm", Make<dialogs::TPasteForm>},
        {"FolderForm", Make<dialogs::TFolderForm>},
        {"PlotOptForm", {}},
        {"ProsimForm", Make<fitwin::TProsimForm>},
        {"SimulatorForm", {}},
        {"OneAdsForm", {}},
        {"PrimitForm", {}},
        {"NickelForm", {}},
        {"CrModelForm", {}},
        {"NiCrForm", {}},
        {"FeModelForm", {}},
        {"ZnWinForm", {}},
        {"OptimA2Form", {}},
        {"OptB2Form", {}},
        {"OptimDForm", {}},
        {"ZnModelForm", {}},
        {"IronModelForm", {}},
        {"ZnDisolveForm", {}},
        {"CovarForm", {}},
    };
}

// Created by the program entry after the main window.
WindowList TambericProfile::EntryWindows() const {
    return {
        {"TechForm1", Make<dialogs::TTechForm1>},
        {"TechForm2", Make<dialogs::TTechForm2>},
        {"InstEditForm", Make<dialogs::TInstEditForm>},
        {"HelpPasteForm", Make<dialogs::THelpPasteForm>},
        {"HeaderForm", {}},
        {"InstHdrForm", Make<dialogs::TInstHdrForm>},
        {"InstModelForm", Make<dialogs::TInstModelForm>},
        {"SAreaForm", Make<dialogs::TSAreaForm>},
        {"InstPHForm", Make<dialogs::TInstPHForm>},
        {"InstOptionForm", Make<dialogs::TInstOptionForm>},
        {"GraphForm", {}},
        {"SelectNdxForm", {}},
        {"InstCovarForm", Make<dialogs::TInstCovarForm>},
        {"InstGlobalForm", Make<dialogs::TInstGlobalForm>},
    };
}

void TambericProfile::BuildMechanisticMenu(TMainForm& f, QMenu& m) const {
    f.AddCommand(&m, "SimulationModeRunExamples1", "Simulate Mode Run Examples",
                 &TMainForm::SimulationModeRunExamples1Click);
    f.AddCommand(&m, "EqualImpedancewithdifferentcircuits1", "Equal Impedance with Different Circuits",
                 &TMainForm::EqualImpedancewithdifferentcircuits1Click);
    m.addSeparator();
    f.AddCommand(&m, "PrimitivePassivation1", "Simple Passivation Model (1 adsorbed)",
                 &TMainForm::PrimitivePassivation1Click);
    f.AddCommand(&m, "NickelDeposit", "Electrocrystallization of Nickel (Optimization, 1 adsorbed)",
                 &TMainForm::NickelDepositClick);
    f.AddCommand(&m, "PassivationofChromium1", "Passivation of Chromium (Optimization)",
                 &TMainForm::PassivationofChromium1Click);
    m.addSeparator();
    f.AddCommand(&m, "TRanspassivityofNiCrAlloys1",
                 "Transpassive Dissolution of Ni-Cr Alloys (2 adsorbed, OptimA)",
                 &TMainForm::TRanspassivityofNiCrAlloys1Click);
    f.AddCommand(&m, "IronDissolution1",
                 "Inhibition of Iron Dissolution by Chlorides (3 adsorbed, OptimB and OptimC)",
                 &TMainForm::IronDissolution1Click);
    f.AddCommand(&m, "ZincElectrowinning1",
                 "Zinc Deposition in Acidic Sulfate Electrolytes (4 adsorbed, OptimD)",
                 &TMainForm::ZincElectrowinning1Click);
    m.addSeparator();
    f.AddCommand(&m, "ExampleA21", "Determination of Kinetic Parameters, OptimA (2 adsorbed)",
                 &TMainForm::ExampleA21Click);
    f.AddCommand(&m, "ExampleB21", "Determination of Kinetic Parameters, OptimB and OptimC (3 adsorbed)",
                 &TMainForm::ExampleB21Click);
    f.AddCommand(&m, "DeterminationofKineticParametersOptimD1",
                 "Determination of Kinetic Parameters, OptimD (4 adsorbed)",
                 &TMainForm::DeterminationofKineticParametersOptimD1Click);
    m.addSeparator();
    f.AddCommand(&m, "ZincDissolution1", "Effect of Surface Condition on Zinc Dissolution (3 adsorbed)",
                 &TMainForm::ZincDissolution1Click);
    f.AddCommand(&m, "ZincModel1", "Electrocrystallization of Zinc (3 adsorbed, Multiple steady-states)",
                 &TMainForm::ZincModel1Click);
    f.AddCommand(&m, "IronModel1", "Reaction Model for Iron Dissolution (4 adsorbed)",
                 &TMainForm::IronModel1Click);
}

}  // namespace pellucor::apps
