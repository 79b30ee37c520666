#pragma once
// What the fit windows ask of windows built elsewhere (the results viewer,
// the help and tips windows). The main window fills these in when it creates
// the windows; unset links do nothing, so the fit windows work on their own
// and tests can count the calls.
#include <functional>
#include <string>

namespace pellucor::fitwin {

struct FitWindowLinks {
    // The results viewer, shown modally ("Print/Copy" of the parameter window).
    std::function<void()> ShowResultsViewer;
    // A help window by its class name ("TInstEditForm", "TInstModelForm",
    // "TInstOptionForm"), shown without waiting.
    std::function<void(const std::string&)> ShowHelpWindow;
    // The tips window "TTechForm1", shown modally ("Show Tips").
    std::function<void()> ShowTips;
};

FitWindowLinks& FitLinks();

}  // namespace pellucor::fitwin
