#include "core/OptionFiles.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <istream>
#include <optional>
#include <vector>

#include "core/FileWriting.h"
#include "core/ProgramState.h"
#include "core/TextHelpers.h"
#include "core/WindowHooks.h"

namespace pellucor {

namespace {

// The ranges the options and print-layout dialogs offer; a hand-edited file
// must not carry a value past them into the engine's tables.
// (The iteration limit's range is the program state's MinIterationLimit to
// MaxIterationLimit, which the iteration tables are sized for.)
constexpr int LowestMinFreqExponent = -6, HighestMinFreqExponent = -1;
constexpr int LowestMaxFreqExponent = 3, HighestMaxFreqExponent = 8;

std::optional<int> LeadingInt(const std::string& line) {
    int v = 0;
    if (std::sscanf(line.c_str(), "%d ", &v) == 1) return v;
    return std::nullopt;
}

std::optional<double> LeadingDouble(const std::string& line) {
    double v = 0;
    if (std::sscanf(line.c_str(), "%le ", &v) == 1) return v;
    return std::nullopt;
}

// Lines 1..count of the stream, whatever its line ends; missing lines come
// back empty. Decimal commas of a hand-edited file become points, so
// "5,0e-02" is not read as 5. An editor that saved the file with a UTF-8
// byte-order mark would otherwise cost it its first value.
std::vector<std::string> ReadLines(std::istream& in, int count) {
    std::vector<std::string> lines(static_cast<size_t>(count) + 1);
    TextLines source(in);
    std::string line;
    for (int i = 1; i <= count && source.Next(line); ++i) {
        if (i == 1 && StartsWithUtf8Mark(line)) line.erase(0, 3);
        lines[static_cast<size_t>(i)] = CommaToPoint(line);
    }
    return lines;
}

void SetClamped(int& field, std::optional<int> v, int lo, int hi) {
    if (v) field = std::clamp(*v, lo, hi);
}

void SetLevel(double& field, std::optional<double> v) {
    if (v && std::isfinite(*v) && *v >= 0) field = *v;
}

}  // namespace

std::string OptionFilePath() { return State().Folders.AppFolder + "/" + OptionFileName; }
std::string PrintOptionFilePath() { return State().Folders.AppFolder + "/" + PrintOptionFileName; }

std::string FormatOptionFile() {
    const ProgramOptions& o = State().Options;
    ScopedCNumericLocale cLocale;
    std::string t;
    const char* signText = o.SignModeCode == 1   ? " = auto detect the sign of Zim  "
                           : o.SignModeCode == 2 ? " = reverse the sign of Zim      "
                                                 : " = do not change the sign of Zim";
    t += FormatText("%5d %36s \n", o.SignModeCode, signText);
    t += FormatText("%5d %32s \n", o.Weighting, " = wgt, 0: unity, 1: modulus");
    t += FormatText("%5d %34s \n", o.MaxIterations, " = max. # of iterations (5-20)");
    t += FormatText("%5d %43s \n", o.MinFreqExponent, " = exponent of min. frequency (-6 to 0)");
    t += FormatText("%5d %42s \n", o.MaxFreqExponent, " = exponent of max. frequency (6 to 7)");
    t += FormatText("%5d %43s \n", o.UseSystemLibrary ? 1 : 0,
                    " = System Model Libray,  0: no, 1: yes ");
    t += FormatText("%5d %43s \n", o.ScientificFormat ? 1 : 0,
                    " = scientif data format, 0: no, 1: yes ");
    t += FormatText("%5d %52s \n", o.PeriodDecimal ? 0 : 1,
                    " = decimal point notation, 0: periods, 1: commas");
    t += FormatText("%5d %54s \n", o.SavePlotFormat,
                    " = save plot format, 1: emf, 2: wmf, 3: bmp 4: jpg");
    t += FormatText("%5d %54s \n", o.ErrorAsStdDev ? 1 : 0,
                    " = uncertainties of pars, 0 = % error, 1: variance");
    t += FormatText("%5d %74s \n", o.NoiseType,
                    " = simulation, type of errors added, -1: none, 0: unity, 1: modulus");
    t += FormatText("%12.3le %36s \n", o.NoiseLevelUnity,
                    " = simulation, std error, unity weighting ");
    t += FormatText("%12.3le %36s \n", o.NoiseLevelModulus,
                    " = simulation, std error in fraction, modulus");
    t += FormatText("%5d %46s \n", o.WhiteBackground ? 1 : 0,
                    " = background is white, 0 = no,  1: yes");
    return t;
}

void ParseOptionFile(std::istream& in) {
    ProgramOptions& o = State().Options;
    ScopedCNumericLocale cLocale;
    const std::vector<std::string> line = ReadLines(in, 14);

    SetClamped(o.SignModeCode, LeadingInt(line[1]), 1, 3);
    SetClamped(o.Weighting, LeadingInt(line[2]), 0, 2);
    SetClamped(o.MaxIterations, LeadingInt(line[3]), MinIterationLimit, MaxIterationLimit);
    SetClamped(o.MinFreqExponent, LeadingInt(line[4]), LowestMinFreqExponent,
               HighestMinFreqExponent);
    SetClamped(o.MaxFreqExponent, LeadingInt(line[5]), LowestMaxFreqExponent,
               HighestMaxFreqExponent);
    if (auto a = LeadingInt(line[6])) o.UseSystemLibrary = *a == 1;
    if (auto b = LeadingInt(line[7])) o.ScientificFormat = *b == 1;
    // 1 selects decimal commas; any other number keeps the safe decimal point.
    if (auto c = LeadingInt(line[8])) o.PeriodDecimal = *c != 1;
    SetClamped(o.SavePlotFormat, LeadingInt(line[9]), 1, 4);
    if (auto d = LeadingInt(line[10])) o.ErrorAsStdDev = *d == 1;
    SetClamped(o.NoiseType, LeadingInt(line[11]), -1, 1);
    SetLevel(o.NoiseLevelUnity, LeadingDouble(line[12]));
    SetLevel(o.NoiseLevelModulus, LeadingDouble(line[13]));
    if (auto e = LeadingInt(line[14])) o.WhiteBackground = *e == 1;

    if (LeadingInt(line[1])) {
        o.AutoSignZImag = o.SignModeCode == 1;
        // Code 1 keeps the reverse flag as it was.
        if (o.SignModeCode == 2) o.ReverseZImag = true;
        if (o.SignModeCode == 3) o.ReverseZImag = false;
    }
}

bool WriteOptionFile() {
    Windows().Opt->ReadOptions();
    ProgramOptions& o = State().Options;
    o.SignModeCode = o.AutoSignZImag ? 1 : o.ReverseZImag ? 2 : 3;
    return SaveTextFile(OptionFilePath(), FormatOptionFile());
}

bool ReadOptionFile() {
    std::ifstream in(OptionFilePath(), std::ios::binary);
    if (!in) return false;
    ParseOptionFile(in);
    Windows().Opt->ShowOptions();
    return true;
}

std::string FormatPrintOptionFile() {
    const PrintLayout& p = State().Print;
    std::string t;
    t += FormatText("%5d %20s \n", p.QuadrantItem[1], " = left-top     ");
    t += FormatText("%5d %20s \n", p.QuadrantItem[2], " = left-bottom  ");
    t += FormatText("%5d %20s \n", p.QuadrantItem[3], " = right-top    ");
    t += FormatText("%5d %20s \n", p.QuadrantItem[4], " = right-bottom ");
    t += FormatText("%5d %41s \n", p.LayoutCode, " = 1: pars + current, 2: two, 3: four");
    return t;
}

void ParsePrintOptionFile(std::istream& in) {
    PrintLayout& p = State().Print;
    ScopedCNumericLocale cLocale;
    const std::vector<std::string> line = ReadLines(in, 5);
    // 0 stands for the parameters, 1..8 for a plot kind.
    for (int q = 1; q <= 4; ++q) SetClamped(p.QuadrantItem[q], LeadingInt(line[static_cast<size_t>(q)]), 0, 8);
    SetClamped(p.LayoutCode, LeadingInt(line[5]), 1, 3);
}

bool WritePrintOptionFile() {
    Windows().PlotOpt->ReadPrintItems();
    return SaveTextFile(PrintOptionFilePath(), FormatPrintOptionFile());
}

bool ReadPrintOptionFile() {
    std::ifstream in(PrintOptionFilePath(), std::ios::binary);
    if (!in) return false;
    ParsePrintOptionFile(in);
    Windows().PlotOpt->ShowPrintItems();
    return true;
}

}  // namespace pellucor
