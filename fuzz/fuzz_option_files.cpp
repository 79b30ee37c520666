// The option file and the print-layout file. Whatever they hold, the values
// taken stay within the ranges the program relies on, nothing outside the
// options (or the layout) changes, and a file without a usable line changes
// nothing at all. Every input is read as both kinds of file.
#include <cmath>
#include <sstream>

#include "FuzzSupport.h"
#include "core/OptionFiles.h"
#include "core/TextHelpers.h"

using namespace pellucor;
using namespace pellucor::fuzz;

namespace {

// True when some line (split as the readers split them) begins, after
// blanks, like a number; a decimal comma counts as a point.
bool AnyLineBeginsWithANumber(const std::string& text) {
    bool first = true;
    for (const std::string& line : SplitTextLines(text)) {
        // The readers pass over a byte-order mark at the start of the file.
        const std::string l = first && StartsWithUtf8Mark(line) ? line.substr(3) : line;
        first = false;
        const size_t i = l.find_first_not_of(" \t\r\v\f");
        if (i == std::string::npos) continue;
        const char c = l[i];
        if (c == '+' || c == '-' || c == '.' || c == ',' || (c >= '0' && c <= '9')) return true;
    }
    return false;
}

void CheckOptionRanges() {
    const ProgramOptions& o = State().Options;
    PELLUCOR_FUZZ_CHECK(o.SignModeCode >= 1 && o.SignModeCode <= 3, "sign mode");
    PELLUCOR_FUZZ_CHECK(o.Weighting >= 0 && o.Weighting <= 2, "weighting");
    PELLUCOR_FUZZ_CHECK(o.MaxIterations >= 5 && o.MaxIterations <= 20, "iteration limit");
    PELLUCOR_FUZZ_CHECK(o.MinFreqExponent <= o.MaxFreqExponent, "frequency exponents");
    PELLUCOR_FUZZ_CHECK(o.SavePlotFormat >= 1 && o.SavePlotFormat <= 4, "picture format");
    PELLUCOR_FUZZ_CHECK(o.NoiseType >= -1 && o.NoiseType <= 1, "noise type");
    PELLUCOR_FUZZ_CHECK(std::isfinite(o.NoiseLevelUnity) && o.NoiseLevelUnity >= 0, "noise level");
    PELLUCOR_FUZZ_CHECK(std::isfinite(o.NoiseLevelModulus) && o.NoiseLevelModulus >= 0, "noise fraction");
}

void CheckLayoutRanges() {
    const PrintLayout& p = State().Print;
    for (int q = 1; q <= 4; ++q)
        PELLUCOR_FUZZ_CHECK(p.QuadrantItem[q] >= 0 && p.QuadrantItem[q] <= 8, "quadrant item");
    PELLUCOR_FUZZ_CHECK(p.LayoutCode >= 1 && p.LayoutCode <= 3, "layout code");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InstallQuietServices();
    const std::string text(reinterpret_cast<const char*>(data), size);
    const bool anyNumber = AnyLineBeginsWithANumber(text);
    for (bool layout : {false, true}) {
        ResetProgramState();
        const std::string others = StateImageWithoutOptions();
        const std::string options = OptionsImage(), print = PrintImage();
        std::istringstream file(text);
        if (layout)
            ParsePrintOptionFile(file);
        else
            ParseOptionFile(file);
        PELLUCOR_FUZZ_CHECK(StateImageWithoutOptions() == others, "only options or layout change");
        if (layout) {
            PELLUCOR_FUZZ_CHECK(OptionsImage() == options, "a layout file leaves the options");
            CheckLayoutRanges();
        } else {
            PELLUCOR_FUZZ_CHECK(PrintImage() == print, "an option file leaves the layout");
            CheckOptionRanges();
        }
        if (!anyNumber)
            PELLUCOR_FUZZ_CHECK(OptionsImage() == options && PrintImage() == print,
                                "a file without numbers changes nothing");
    }
    return 0;
}
