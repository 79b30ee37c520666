#pragma once
// The twelve help windows. Each is a HelpWindow with its own caption, size
// and text; the ones created at start live until the end and are only hidden
// when closed, TTechForm1, TInstPassvnForm and TInstFeModelForm are modal
// and freed by their caller.
#include "dialogs/help/HelpWindow.h"

namespace pellucor::dialogs {

#define PELLUCOR_HELP_WINDOW(Class)                 \
    class Class : public HelpWindow {               \
    public:                                         \
        explicit Class(QWidget* owner = nullptr);   \
        static const HelpWindowSpec& Spec();        \
    };

PELLUCOR_HELP_WINDOW(TTechForm1)        // element letters beyond R, C and L (modal)
PELLUCOR_HELP_WINDOW(TTechForm2)        // quick guide
PELLUCOR_HELP_WINDOW(TInstEditForm)     // editing parameters and running
PELLUCOR_HELP_WINDOW(THelpPasteForm)    // pasting data from the clipboard
PELLUCOR_HELP_WINDOW(TInstHdrForm)      // appending header lines
PELLUCOR_HELP_WINDOW(TInstModelForm)    // selecting a model and running
PELLUCOR_HELP_WINDOW(TInstPHForm)       // viewing, printing and copying results
PELLUCOR_HELP_WINDOW(TInstOptionForm)   // the options
PELLUCOR_HELP_WINDOW(TInstPassvnForm)   // simple passivation model window (modal)
PELLUCOR_HELP_WINDOW(TInstFeModelForm)  // iron dissolution model window (modal)
PELLUCOR_HELP_WINDOW(TInstCovarForm)    // confidence regions
PELLUCOR_HELP_WINDOW(TInstGlobalForm)   // the global minimum of chi-squared

#undef PELLUCOR_HELP_WINDOW

}  // namespace pellucor::dialogs
