#pragma once
// What differs between the two programs that share the main window. The main
// window asks its profile for the captions, the windows to create (in order),
// the entries of the "Mechanistic" menu, any further menus, entries and
// buttons, and the program's variants of shared operations; everything else
// is the shared window. A program hands its profile to TMainForm; nothing is
// copied per program.
#include <QString>
#include <functional>
#include <string>
#include <vector>

class QMenu;
class QWidget;

namespace pellucor::mainwindow {

class TMainForm;
class PlotExtension;

// One window created at start, known by the name of its global instance
// ("ClpForm"). `create` is empty while the window is not built yet; its
// commands then say that they are not available. Adding a window is filling
// in its line: { "OptForm", Make<TOptForm> }.
struct WindowSlot {
    std::string name;
    std::function<QWidget*(QWidget* owner)> create;
};
using WindowList = std::vector<WindowSlot>;

template <class W>
QWidget* Make(QWidget* owner) {
    return new W(owner);
}

class ProgramProfile {
public:
    virtual ~ProgramProfile() = default;

    // The application title (task bar) and the main window's caption before a
    // data file is opened.
    virtual QString ApplicationTitle() const = 0;
    virtual QString Caption() const = 0;

    // Created by the main window with itself as owner, in this order, and
    // freed in the reverse order when it is destroyed.
    virtual WindowList OwnedWindows() const = 0;
    // Created by the program entry right after the main window, in this order.
    virtual WindowList EntryWindows() const = 0;

    // Fills the "Mechanistic" menu with entries bound to the main window's
    // handlers.
    virtual void BuildMechanisticMenu(TMainForm& form, QMenu& menu) const = 0;
    // Menus, entries and tool-bar buttons of this program beyond the shared
    // ones; called once the shared ones exist.
    virtual void ExtendMainWindow(TMainForm& /*form*/) const {}

    // ---- variants of shared operations ----
    // Runs right after the shared default settings of the start-up sequence.
    virtual void AfterDefaultSettings() const {}
    // "Open" keeps StartValuesApplied and UserStartValues as they were
    // (the shared command clears both).
    virtual bool OpenKeepsStartValueChoice() const { return false; }
    // Runs at the end of the state reset that opening a data file begins with.
    virtual void AfterOpenReset() const {}
    // "Retrieve Parameters" leaves BatchMode and SimulateMode as they were
    // (the shared command clears both).
    virtual bool RetrieveKeepsBatchAndSimulate() const { return false; }
    // Loaded parameters also tick the parameter window's Sign boxes.
    virtual bool SignBoxesAfterParametersLoaded() const { return false; }
    // "Edit Parameters & Run" refuses in batch mode (message 43).
    virtual bool EditRefusedInBatchMode() const { return true; }
    // A simulation saved by "Save Impedance Data" is opened as the data and
    // its simulated values count as computed results of them (the circuit
    // program opens it as data alone, with nothing computed).
    virtual bool SavedSimulationKeepsResults() const { return true; }
    // A simulation shows the sum of the squared noise magnitudes it added as
    // its chi-squared (the shared programs show 0).
    virtual bool SimulationChiSqFromNoise() const { return false; }
    // Plot kinds and decoration this program adds to the shared plots (none).
    virtual const PlotExtension* Plots() const { return nullptr; }
};

}  // namespace pellucor::mainwindow
