// The main-window commands that only Lumarest binds (its profile puts them
// into the Batch, Output, Extrapolate and Help menus, the popup menu and the
// second tool bar). The batch, job-monitor, project-group, extrapolation and
// document windows are built apart; until a window exists its commands say
// so plainly. The commands that change the data a fit works on refuse while
// one runs.
#include <QDialog>

#include "core/ProgramState.h"
#include "core/TextHelpers.h"
#include "mainwindow/MainForm.h"
#include "platform/Desktop.h"
#include "platform/Services.h"
#include "platform/qt/ModalDialogs.h"

namespace pellucor::mainwindow {

namespace {

// Help topic of technical support in the program's help file.
constexpr int kTechSupportContext = 2870;

}  // namespace

// ---- Batch ----

void TMainForm::Batchmode1Click() {
    Trace("Batchmode1Click");
    if (!RefusedWhileRunning("Setup & Process")) NotAvailable("&Setup && Process");
}
void TMainForm::Examinebatchresults1Click() {
    Trace("Examinebatchresults1Click");
    if (!RefusedWhileRunning("Locate Results")) NotAvailable("&Locate Results");
}
void TMainForm::BeginBtnClick() {
    Trace("BeginBtnClick");
    if (!RefusedWhileRunning("Go Home")) NotAvailable("Go &Home");
}
void TMainForm::NextBtnClick() {
    Trace("NextBtnClick");
    if (!RefusedWhileRunning("Move to Next")) NotAvailable("Move to &Next ");
}
// The job monitor, modally; what it returns does not matter.
void TMainForm::CheckStatusClick() {
    Trace("CheckStatusClick");
    if (auto* monitor = qobject_cast<QDialog*>(FindWindow("JobReqForm")))
        platform::qt::RunModal(*monitor);
    else
        NotAvailable("&Check Progress");
}

// ---- Output ----

void TMainForm::PrintMangerClick() {
    Trace("PrintMangerClick");
    NotAvailable("Print &Project Group");
}
// The document window keeps its document between showings: it is shown, not
// made anew.
void TMainForm::InterfaceswithMSWord1Click() {
    Trace("InterfaceswithMSWord1Click");
    ShowModeless("WordForm1", "MS &Word Document");
}

// ---- Extrapolate ----

void TMainForm::Extrapolate1Click() {
    Trace("Extrapolate1Click");
    if (!RefusedWhileRunning("Apply Kramers-Kronig")) NotAvailable("Apply &Kramers-Kronig");
}
void TMainForm::Addpoints1Click() {
    Trace("Addpoints1Click");
    if (!RefusedWhileRunning("Add Points")) NotAvailable("&Add Points");
}
void TMainForm::Removepoints1Click() {
    Trace("Removepoints1Click");
    if (!RefusedWhileRunning("Remove Points")) NotAvailable("&Remove Points");
}
void TMainForm::Recalc1Click() {
    Trace("Recalc1Click");
    if (!RefusedWhileRunning("Calculate Impedance")) NotAvailable("&Calculate Impedance");
}
void TMainForm::Saveasdata1Click() {
    Trace("Saveasdata1Click");
    if (!RefusedWhileRunning("Save Extrapolated")) NotAvailable("&Save Extrapolated");
}

// ---- Help ----

// The help file of the program folder, the one "Contents" opens. The viewer
// is asked whether or not the file is there; when it can show nothing (no
// such file, no viewer) the person is told, since no viewer window appears.
void TMainForm::TechSupportClick() {
    Trace("TechSupportClick");
    const AppFolders& f = State().Folders;
    const std::string file = WithTrailingBackslash(f.AppFolder) + f.HelpFileName;
    if (!platform::desktop().help->ShowContext(file, kTechSupportContext))
        platform::ShowMessage("Cannot show the help file " + file + ".", "Technical support",
                              platform::MsgButtons::Ok, platform::MsgIcon::Warning);
}

}  // namespace pellucor::mainwindow
