#include "core/Messages.h"

#include "platform/Services.h"

namespace pellucor {
namespace {

// Texts are kept exactly, trailing blanks included; several captions carry
// the first half of a sentence and the text its second half.
constexpr NumberedMessage kMessages[] = {
    {1, "No file is opened.", "Error message"},
    {2, "Invalid data format.", "Error message"},
    {3, "No model specified.", "Error message"},
    {4, "Invalid initial parameters.", "Error message"},
    {5, "No simulated data.", "Error message"},
    {6, "No work requested.", "Error message"},
    {7, "No data points to add.", "Error message"},
    {9, "No data to plot.", "Error message"},
    {12, "Apply Kramers-Kronig.", "Instruction"},
    {14, "Add extrapolated points.", "Instruction"},
    {25, "Copied plot to clipboard.", "Ready to paste!!!"},
    {27, "Save model list", "Model list not available"},
    {28, "Save file list", "File list not available"},
    {30, "No data points.", "Cannot save."},
    {31, "Not computed.", "Cannot save results."},
    {32, "No data points read.", "No effect ...."},
    {34, "Locate batch run results first!", "No batch specified..."},
    {35, "Nothing to print!", "Cannot print..."},
    {37, "No valid parameter data", "Cannot find results..."},
    {39, "No results yet...", "Cannot show."},
    {43, "batch processing mode", "Not applicable to"},
    {46, "Results for all the datasets", "Cannot copy"},
    {47, "No CDC specified", "Cannot save"},
    {50, "Not extrapolated...", "Cannot show."},
    {51, "Please try other options...", "Could not get results"},
    {53, "Save these results first.", "Computed in simulate mode"},
    {61, "No picture to copy.", "Cannot do..."},
    {62, "No picture to save.", "Cannot do..."},
    {81, "No results to retrieve", "Cannot do..."},
    {83, "Nothing to edit.", "Cannot do..."},
    {84, "No results to show.", "Cannot do..."},
    {95, "Not in iterate mode.", "Cannot do..."},
    {96, "Not computed.", "Cannot do..."},
};

}  // namespace

const NumberedMessage* FindMessage(int code) {
    for (const auto& m : kMessages)
        if (m.code == code) return &m;
    return nullptr;
}

void ShowMessageCode(int code) {
    if (const NumberedMessage* m = FindMessage(code))
        platform::ShowMessage(m->text, m->caption, platform::MsgButtons::Ok, platform::MsgIcon::None);
}

}  // namespace pellucor
