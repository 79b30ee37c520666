#include "dialogs/fit/FitWindowLinks.h"

namespace pellucor::fitwin {

FitWindowLinks& FitLinks() {
    static FitWindowLinks links;
    return links;
}

}  // namespace pellucor::fitwin
