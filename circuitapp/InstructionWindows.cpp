#include "circuitapp/InstructionWindows.h"

#include <QPushButton>

namespace pellucor::circuitapp {

namespace {

InstructionLine H(const char* text) { return {text, {}, true, false}; }
InstructionLine T(const char* text) { return {text, {}, false, false}; }
InstructionLine L(const char* label, const char* text) { return {text, label, false, false}; }
InstructionLine I(const char* text) { return {text, {}, false, true}; }

}  // namespace

// ---- batch set-up ----

const InstructionWindowSpec& TInstForm::Spec() {
    static const InstructionWindowSpec s{
        "InstForm", "How to setup batch process and start execution", 720, 440, true, "OkBitBtn1",
        {{0, 0, 2,
          {H("Create a model list"), T("1.  Click [Add] and select a model."), T("Only valid models are accepted."),
           T("2.  Repeat adding models."), H("Create a file list"),
           T("3.  Select drive id., directory, and file filter"),
           T("to display desired files in the file list box."), T("4.  Select files and click [ > ] to add."),
           T("Only valid data files are accepted."), H("Select jobs to process"), T("5.  Click [Select All]."),
           T("Selected jobs are checked."), T("Job = (Model) x (Data File)"),
           T("6.  Uncheck the jobs to skip.")}},
         {0, 1, 1,
          {H("Save setup"), T("7.  Click [Save]."), T("Saved setup can be accessed later."),
           T("You can start from here, if the setup "), T("has been already saved."),
           T("Click [Open] to load an existing setup.")}},
         {1, 1, 1,
          {H("Process jobs"), T("8.  Click [OK] to start processing."), T("If the Save seup step were skipped,"),
           T("another chance to save is offered."), T("9.  Wait until all the jobs are processed. ")}}}};
    return s;
}

TInstForm::TInstForm(QWidget* owner) : InstructionWindow(owner, Spec()) {
    OkBitBtn1 = okButton_;
    connect(OkBitBtn1, &QPushButton::clicked, this, &TInstForm::OkBitBtn1Click);
}

void TInstForm::OkBitBtn1Click() { hide(); }

// ---- job monitor ----

const InstructionWindowSpec& TInstMonitorForm::Spec() {
    static const InstructionWindowSpec s{
        "InstMonitorForm", "How to check the progress of jobs?  ", 440, 330, true, "OkBitBtn1",
        {{0, 0, 1,
          {H("No steps are required !!!"), T("1.  Displays the current status of batch processing."),
           T("2.  Automatic save after completion of requested jobs."), T("3.  Skipped jobs are not checked."),
           T("4.  Records the start and end times of job execution."),
           T("5.  No time displayed for skipped job."), T("Open :  Review previous batch run results."),
           T("Save :  Save displayed results."), T("Print :   Prepare hard copy.")}}}};
    return s;
}

TInstMonitorForm::TInstMonitorForm(QWidget* owner) : InstructionWindow(owner, Spec()) {
    OkBitBtn1 = okButton_;
    connect(OkBitBtn1, &QPushButton::clicked, this, &TInstMonitorForm::OkBitBtn1Click);
}

void TInstMonitorForm::OkBitBtn1Click() { hide(); }

// ---- project groups ----

const InstructionWindowSpec& TInstManagerForm::Spec() {
    static const InstructionWindowSpec s{
        "InstManagerForm", "How to print a project group?", 420, 480, true, "HelpBitBtn1",
        {{0, 0, 1,
          {H("Printing a project group"), T("1.  Select parameter files from a folder,"),
           T("2.  Click [Save]  to save the list."), T("3.  Select a plot style."),
           T("4.  Select the items to print."), T("5.  Click [OK]."), H("Accessing saved project "),
           T("1.  Click [Open]."), T("2.  Select a group."), T("3.  Select a plot style and the items to print."),
           T("4.  Click [OK]."), H("Placing all the group members in a plot"),
           T("1.  Check the checkbox for the Single plot for all."), T("2.  Click [OK]."),
           T("3.  Click the [Print] button in the toolbar.")}}}};
    return s;
}

TInstManagerForm::TInstManagerForm(QWidget* owner) : InstructionWindow(owner, Spec()) {
    HelpBitBtn1 = okButton_;
    connect(HelpBitBtn1, &QPushButton::clicked, this, &TInstManagerForm::HelpBitBtn1Click);
}

void TInstManagerForm::HelpBitBtn1Click() { hide(); }

// ---- extrapolation ----

const InstructionWindowSpec& THelpKKForm::Spec() {
    static const InstructionWindowSpec s{
        "HelpKKForm", "How to extrapolate?", 480, 330, true, "BitBtn1",
        {{0, 0, 1,
          {H("Extrapolate to a low frequency"), L("Find:", "Compute with polynomials of different order."),
           L("View:", "Vew the extrapolated segment for a selected order."),
           L("Evaluate:", "Compute impedance and"), I("compare with extrapolated data. "), H("Frequency limit"),
           T("Set the limit to a frequency 1, 2, or 3 decades"), T("below the lowest measured frequency."),
           T("[Print] :    Print the results and displayed plot. "),
           T("[Copy] :   Copy the results to Windows clipboard")}}}};
    return s;
}

THelpKKForm::THelpKKForm(QWidget* owner) : InstructionWindow(owner, Spec()) {
    BitBtn1 = okButton_;
    connect(BitBtn1, &QPushButton::clicked, this, &THelpKKForm::BitBtn1Click);
}

void THelpKKForm::BitBtn1Click() { hide(); }

// ---- document window ----

const InstructionWindowSpec& TInstWordForm::Spec() {
    static const InstructionWindowSpec s{
        "InstWordForm", "How to prepare a single-page document?", 460, 560, false, "BitBtn1",
        {{0, 0, 1,
          {L("Requirement: ", "Microsoft Word should have been installed. "),
           L("Characteristics:", "Quick and easy.  "), H("After data analysis,"), T("1.  [Copy Plot]."),
           T("2.  [MS Word Document]."), T("3.  [New] to create a new document."),
           T("4.  [Paste] icon in the toolbar to paste."), T("5.  Click the Pellucor Window."),
           T("6.  [Copy Results]."), T("7.  [MS Word Document]."), T("8.  [Paste] icon in the toolbar to paste."),
           T("9.  Adjust the location of the plot."), T("10. [Print] icon in the toolbar to print."),
           T("11.  [Save] to save this page as a document."), T("12.  [Yes] to save with the suggested name."),
           T("Click [Show/Hide] to change the status of the toolbar. "), L("Shown: ", "can [Paste] and [Print]"),
           L("Hidden: ", "can [Save]")}}}};
    return s;
}

TInstWordForm::TInstWordForm(QWidget* owner) : InstructionWindow(owner, Spec()) {
    BitBtn1 = okButton_;
    connect(BitBtn1, &QPushButton::clicked, this, &TInstWordForm::BitBtn1Click);
}

void TInstWordForm::BitBtn1Click() { hide(); }

}  // namespace pellucor::circuitapp
