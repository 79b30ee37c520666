#include "dialogs/help/HelpWindows.h"

namespace pellucor::dialogs {

#define PELLUCOR_HELP_WINDOW_BODY(Class) \
    Class::Class(QWidget* owner) : HelpWindow(owner, Spec()) {}

PELLUCOR_HELP_WINDOW_BODY(TTechForm1)
PELLUCOR_HELP_WINDOW_BODY(TTechForm2)
PELLUCOR_HELP_WINDOW_BODY(TInstEditForm)
PELLUCOR_HELP_WINDOW_BODY(THelpPasteForm)
PELLUCOR_HELP_WINDOW_BODY(TInstHdrForm)
PELLUCOR_HELP_WINDOW_BODY(TInstModelForm)
PELLUCOR_HELP_WINDOW_BODY(TInstPHForm)
PELLUCOR_HELP_WINDOW_BODY(TInstOptionForm)
PELLUCOR_HELP_WINDOW_BODY(TInstPassvnForm)
PELLUCOR_HELP_WINDOW_BODY(TInstFeModelForm)
PELLUCOR_HELP_WINDOW_BODY(TInstCovarForm)
PELLUCOR_HELP_WINDOW_BODY(TInstGlobalForm)

#undef PELLUCOR_HELP_WINDOW_BODY

const HelpWindowSpec& TTechForm1::Spec() {
    static const HelpWindowSpec s{
        "TechForm1", "Symbols besides R, C and L. ", 365, 244, false, true,
        {"Q : semi-infinite and general diffusion; an imperfect, leaking capacitor. Q equals C when n = 1.",
         "W : Warburg component, the special case of Q with n = 0.5.",
         "T : finite-length diffusion, blocking at the surface.",
         "O : finite-length diffusion, fixed concentration at the surface.",
         "G : Gerischer element; approaches W at high frequency and a dc resistance at low frequency.",
         "H : Havriliak-Negami model for dielectric materials."}};
    return s;
}

const HelpWindowSpec& TTechForm2::Spec() {
    static const HelpWindowSpec s{
        "TechForm2", "Quick Guide to Run Pellucor", 574, 405, true, false,
        {"Iterate mode: 1. Open a data file.  2. Pick a model.  3. Choose Iterate.  4. Click OK.",
         "Simulate mode: 1. Pick a model.  2. Choose Simulate.  3. Edit the values.  4. Click Update.",
         "Monitor mode and Search option: watch the parameters after each iteration; use Reset & Edit "
         "or Edit Par to change them, Search to look for better start values.",
         "Focusing on a chart area: drag a rectangle over it with the mouse; drag to the upper left "
         "to restore the whole view.",
         "Batch processing: set up the jobs, save the set-up, then process, locate the results and "
         "move through them with Go Home and Move to Next.",
         "Printing: choose among the report styles Estimated Parameters, Iteration History, Batch "
         "Process Setup, Batch Process Job and Execution Statistics."}};
    return s;
}

const HelpWindowSpec& TInstEditForm::Spec() {
    static const HelpWindowSpec s{
        "InstEditForm",
        "How to edit parameters and run (in iterate, monitor, or simulate mode)", 684, 310, true, false,
        {"Iterate mode with user input: import another result file with [Import], or enter start "
         "values and the Fixed status; tick [Values] in the [Apply to Start?] box. Make a parameter "
         "negative with the [Sign] column.",
         "Monitor mode: EditPar, Reset & Edit or Search, to watch the parameters, their uncertainties "
         "and chi-squared after each iteration.",
         "Simulate mode: edit the values and compute the spectrum of the circuit."}};
    return s;
}

const HelpWindowSpec& THelpPasteForm::Spec() {
    static const HelpWindowSpec s{
        "HelpPasteForm", "Copied Z Data to clipboard?", 269, 245, false, false,
        {"The data must have been copied to the clipboard by another program, for example with "
         "the Copy command of its Edit menu.",
         "Then [Paste] imports them and [SaveAs] saves them."}};
    return s;
}

const HelpWindowSpec& TInstHdrForm::Spec() {
    static const HelpWindowSpec s{
        "InstHdrForm", "How to append header lines", 260, 206, true, false,
        {"1. Prepare the header lines.", "2. [View] a file.", "3. Place the cursor.", "4. [Append].",
         "5. [SaveAs].", "Copy and paste are reached with the right mouse button."}};
    return s;
}

const HelpWindowSpec& TInstModelForm::Spec() {
    static const HelpWindowSpec s{
        "InstModelForm", "How to select model and run", 277, 288, false, false,
        {"Iterate mode: pick a model from the drop-down list, choose [Iterate], click [OK] and wait.",
         "Model libraries are lists of circuit description codes: the user library (changed with "
         "[Add], [Delete] and [Save]) or the system library (cannot be changed), chosen under "
         "Run / Options."}};
    return s;
}

const HelpWindowSpec& TInstPHForm::Spec() {
    static const HelpWindowSpec s{
        "InstPHForm", "How to view, print and copy results ", 316, 294, true, false,
        {"Current: the results of the current data.", "Current +: with the iteration history.",
         "Others: results of another file.", "SaveAs: save the text shown.", "Print: print it.",
         "Copy: copy it to the clipboard.", "Recent, Ancient: newer and older result files.",
         "Print history: print the iteration history.", "Review: the iteration values.",
         "Covariance: the covariance matrix.", "Confidence: the confidence regions."}};
    return s;
}

const HelpWindowSpec& TInstOptionForm::Spec() {
    static const HelpWindowSpec s{
        "InstOptionForm", "How to change options", 501, 487, true, false,
        {"Sign of Z'': auto detection assumes that most points lie in the first and second quadrant "
         "of the Nyquist plot.",
         "Uncertainties: % error = 100 * std. error / est. value",
         "Maximum iterations: default 10, at most 20.",
         "Weighting: modulus, std. dev. = f * (abs. of Z); unity, std. dev. = f",
         "Model library: the user or the system library.",
         "Simulation: frequency range and simulated errors.", "Print format.",
         "Saved plot format: emf, wmf, bmp or jpg.", "Decimal comma.",
         "Auto Setup: method A by default; not saved."}};
    return s;
}

const HelpWindowSpec& TInstPassvnForm::Spec() {
    static const HelpWindowSpec s{
        "InstPassvnForm", "Simple passivation model", 271, 247, false, true,
        {"Kinetic pars. + E --> Equiv. circuit and YF --> Z",
         "With the Reac. model box checked: change the parameters and the potential, click [PlotZ]; "
         "[Reset] gives the initial values back.",
         "Equivalent circuit --> Z",
         "With the box unchecked: change the element values, click [PlotZ]."}};
    return s;
}

const HelpWindowSpec& TInstFeModelForm::Spec() {
    static const HelpWindowSpec s{
        "InstFeModelForm", "Iron Dissolution", 284, 270, false, true,
        {"Kinetic pars. + E --> Equiv. circuit and YF --> Z", "With the Reac. model checked,",
         "- Select an item in the chloride group.",
         "- Select a potential -0.45, -0.40, or enter other value.", "- Click [PlotZ].",
         "Equivalent circuit --> Z", "With the Reac. model checkbox unchecked,",
         "- Edit the element values.", "- Click [PlotZ].",
         "No difference in selecting (LR) or (CR) based circuit,  ",
         "i.e., the same electrochemical parameters in the  ", "admittance (YF) formula."}};
    return s;
}

const HelpWindowSpec& TInstCovarForm::Spec() {
    static const HelpWindowSpec s{
        "InstCovarForm", "How to view confidence regions", 277, 189, false, false,
        {"Select two parameters to get the confidence ellipses of the chosen levels.",
         "Options: grid lines, one-dimensional confidence intervals, one to five confidence levels, "
         "equal aspect ratio of the axes."}};
    return s;
}

const HelpWindowSpec& TInstGlobalForm::Spec() {
    static const HelpWindowSpec s{
        "InstGlobalForm", "How to determine the global minimum of the chi-squard.", 461, 338, false,
        false,
        {"Chi-squared is a function of the parameters p1 .. pm; a starting point and a local minimum "
         "are m-dimensional vectors, counted by the iteration index.",
         "1. Rough initial guess.", "2. Local minimum.", "3. New starting point.", "4. Local minimum.",
         "5. Compare with the previous minimum: different, back to step 3; the same, stop.",
         "A downhill simplex finds each local minimum; a multi-dimensional search finds the new "
         "starting point."}};
    return s;
}

}  // namespace pellucor::dialogs
