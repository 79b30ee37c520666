#pragma once
// Lumarest, the equivalent-circuit program, on the shared main window: its
// captions, its window lists, its "Mechanistic" menu (the two example windows
// and the start of Tamberic), the menus and buttons it adds (Batch,
// Extrapolate, project-group printing, the document window, technical
// support) and its variants of shared operations.
#include "mainwindow/ProgramProfile.h"

namespace pellucor::apps {

class LumarestProfile final : public mainwindow::ProgramProfile {
public:
    QString ApplicationTitle() const override;
    QString Caption() const override;
    mainwindow::WindowList OwnedWindows() const override;
    mainwindow::WindowList EntryWindows() const override;
    void BuildMechanisticMenu(mainwindow::TMainForm& form, QMenu& menu) const override;
    // LumarestShell.cpp: the Batch and Extrapolate menus, the further Output,
    // Help and popup entries, the second tool bar's buttons.
    void ExtendMainWindow(mainwindow::TMainForm& form) const override;

    // ---- variants ----
    // The circuit program's parameter tolerance.
    void AfterDefaultSettings() const override;
    // LumarestShell.cpp: what Open and Retrieve keep, the Sign boxes after
    // loading parameters, no batch-mode refusal of "Edit Parameters & Run",
    // a saved simulation opened as data without results, the noise of a
    // simulation as its chi-squared.
    bool OpenKeepsStartValueChoice() const override;
    bool RetrieveKeepsBatchAndSimulate() const override;
    bool SignBoxesAfterParametersLoaded() const override;
    bool EditRefusedInBatchMode() const override;
    bool SavedSimulationKeepsResults() const override;
    bool SimulationChiSqFromNoise() const override;
};

}  // namespace pellucor::apps
