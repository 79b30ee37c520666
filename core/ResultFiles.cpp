#include "core/ResultFiles.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include "core/CircuitCode.h"
#include "core/ElementKinds.h"
#include "core/FileWriting.h"
#include "core/FitDriver.h"
#include "core/NumericLib.h"
#include "core/ProgramState.h"
#include "core/SafeFile.h"
#include "core/TextHelpers.h"
#include "platform/Services.h"

namespace pellucor {
namespace {

// The iteration-matrix readers take at most these iterations: their notation
// line names iterations 0 to 10.
constexpr int MaxMatrixIterationsRead = 10;

// ---- text lines -----------------------------------------------------------

std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
        size_t j = i;
        while (j < line.size() && !std::isspace(static_cast<unsigned char>(line[j]))) ++j;
        if (j > i) words.push_back(line.substr(i, j - i));
        i = j;
    }
    return words;
}

// A whole word as a number (decimal commas already turned into points).
bool WordToDouble(const std::string& word, double& out) {
    if (word.empty()) return false;
    char* end = nullptr;
    const double v = std::strtod(word.c_str(), &end);
    if (end != word.c_str() + word.size()) return false;
    out = v;
    return true;
}

bool WordToInt(const std::string& word, int& out) {
    if (word.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const long v = std::strtol(word.c_str(), &end, 10);
    if (end != word.c_str() + word.size() || errno == ERANGE || v < -1000000000L || v > 1000000000L)
        return false;
    out = static_cast<int>(v);
    return true;
}

// The leading integer of a line, as "%d" takes it.
bool LeadingInt(const std::string& line, int& out) {
    const std::vector<std::string> w = Words(line);
    if (w.empty()) return false;
    const char* s = w[0].c_str();
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(s, &end, 10);
    if (end == s || errno == ERANGE || v < -1000000000L || v > 1000000000L) return false;
    out = static_cast<int>(v);
    return true;
}

// The leading number of a line, as "%lf" takes it. Only a word that starts
// like a decimal number counts, so a circuit code such as "INF(R)" is never
// taken for infinity.
bool LeadingNumber(const std::string& line, double& out, bool digitsOnly = true) {
    const std::vector<std::string> w = Words(line);
    if (w.empty()) return false;
    const std::string& word = w[0];
    const char c = word[0];
    const bool startsLikeNumber = !digitsOnly || std::isdigit(static_cast<unsigned char>(c)) || c == '.' ||
                                  ((c == '-' || c == '+') && word.size() > 1 &&
                                   (std::isdigit(static_cast<unsigned char>(word[1])) || word[1] == '.'));
    if (!startsLikeNumber) return false;
    char* end = nullptr;
    const double v = std::strtod(word.c_str(), &end);
    if (end == word.c_str()) return false;
    out = v;
    return true;
}

std::string WithDecimalPoints(std::string line) {
    if (!line.empty()) CommaToPointBuf(line.data());
    return line;
}

std::string WithDecimalSeparator(std::string line) {
    if (!line.empty()) PointToCommaBuf(State().Options.PeriodDecimal, line.data());
    return line;
}

// "date, time" as every result file begins.
std::string DateTimeLine() {
    const platform::DateTime t = platform::Now();
    return platform::FormatDate(t, State().Options.PeriodDecimal) + ", " + platform::FormatTime(t) + "\n";
}

const char* ShortNameOf(int kind) { return ElementKindTable(kind).ShortName; }

// ---- reporting ------------------------------------------------------------

void RefuseFile(const std::string& what, const std::string& path, const std::string& reason) {
    platform::ShowMessage("The " + what + "\n" + path + "\ncannot be read: " + reason + ".\nNothing was changed.",
                          ReadRefusedCaption, platform::MsgButtons::Ok, platform::MsgIcon::Error);
}

// A save asked for by the user: every failure is shown.
bool SaveReported(const std::string& path, const std::string& text) {
    std::string reason;
    if (WriteFileAtomically(path, text, &reason)) return true;
    ReportSaveFailure(path, reason);
    return false;
}

// A file the fit writes on its own, possibly many times in a run (replaced
// without forcing it to the disk; during a run only its last text is written,
// see HoldFileWrites): every failure goes to the error sink; a message box
// only outside batch mode and only once until that file is written again.
void NoteFitFileWrite(const std::string& path, bool ok, const std::string& reason) {
    std::string& shown = State().Files.LastReportedWriteFailure;
    if (ok) {
        if (shown == path) shown.clear();
        return;
    }
    platform::ReportError(SaveFailureText(path, reason) + "\n");
    if (!State().Run.BatchMode && shown != path) {
        shown = path;
        ReportSaveFailure(path, reason);
    }
}

bool SaveDuringFit(const std::string& path, const std::string& text) {
    if (HoldFileWrite(path, text, NoteFitFileWrite)) return true;
    std::string reason;
    const bool ok = WriteFileAtomically(path, text, &reason, /*durable=*/false);
    NoteFitFileWrite(path, ok, reason);
    return ok;
}

// ---- parameter file -------------------------------------------------------

const char* SignModeText(int code) {
    switch (code) {
        case 1: return " = detect the sign of Zim        ";
        case 2: return " = change the sign of Zim        ";
        case 3: return " = do not change the sign of Zim ";
        default: return "";
    }
}

const char* WeightingText(int weighting) {
    switch (weighting) {
        case 0: return " = no weighting factor       ";
        case 1: return " = modulus weighting factor  ";
        case 2: return " = statistical weighting     ";
        default: return "";
    }
}

// The sample area with three decimals, as files always held it, unless that
// loses more than the fourth significant digit (micro-electrodes of 1e-6 cm2
// would read "0.000", which no reader takes): then in exponent notation.
std::string SampleAreaText(double area) {
    const std::string fixed = FormatText("%.3lf", area);
    const double back = std::strtod(fixed.c_str(), nullptr);
    if (!std::isfinite(area) || std::fabs(back - area) <= 5e-4 * std::fabs(area)) return fixed;
    return FormatText("%.3le", area);
}

struct ParameterRow {
    int fixed = 0;
    double start = 0, end = 0, error = 0;
};

struct ParameterFileContents {
    int signMode = 1;
    int weighting = 0;
    bool hasArea = false;
    double area = 1.0;
    std::string code;
    int paramCount = 0;
    double chiSq = 0;
    std::vector<ParameterRow> rows;
};

// Checks the whole parameter file; on success fills `out`, otherwise gives the
// reason. Changes nothing in the program state.
bool ParseParameterFile(const std::string& text, ParameterFileContents& out, std::string& reason) {
    const std::vector<std::string> lines = SplitTextLines(text);
    size_t next = 0;
    auto take = [&](std::string& line, const char* what) {
        if (next >= lines.size()) {
            reason = std::string("the file ends before ") + what;
            return false;
        }
        line = WithDecimalPoints(lines[next++]);
        return true;
    };
    std::string line;
    for (int i = 1; i <= 3; ++i)
        if (!take(line, "the sign line")) return false;
    if (!take(line, "the sign line")) return false;
    if (!LeadingInt(line, out.signMode) || out.signMode < 1 || out.signMode > 3) {
        reason = "the sign line holds no sign code 1, 2 or 3";
        return false;
    }
    if (!take(line, "the weighting line")) return false;
    if (!LeadingInt(line, out.weighting) || out.weighting < 0 || out.weighting > 2) {
        reason = "the weighting line holds no weighting code 0, 1 or 2";
        return false;
    }
    if (!take(line, "the circuit code")) return false;
    out.hasArea = LeadingNumber(line, out.area);
    if (out.hasArea) {
        if (!std::isfinite(out.area) || out.area <= 0) {
            reason = "the sample area is not a positive number";
            return false;
        }
        if (!take(line, "the circuit code")) return false;
    } else {
        out.area = 1.0;
    }
    const std::vector<std::string> codeWords = Words(line);
    if (codeWords.empty()) {
        reason = "the circuit code is missing";
        return false;
    }
    std::string code = codeWords[0];
    if (static_cast<int>(code.size()) > MaxCodeLength) {
        reason = "the circuit code is longer than " + std::to_string(MaxCodeLength) + " characters";
        return false;
    }
    // The code is upper-cased before its parameters are counted: a code
    // written in lower case names as many parameters as in upper case.
    std::string upper = code;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const int paramCount = CdcParameterCount(upper);
    if (paramCount > MaxParams) {
        reason = "the circuit code " + code + " names more than " + std::to_string(MaxParams) + " parameters";
        return false;
    }
    if (!ValidateCdc(code)) {
        reason = "the circuit code " + codeWords[0] + " is not valid";
        return false;
    }
    out.code = code;
    out.paramCount = paramCount;
    if (!take(line, "the chi-squared line")) return false;
    // A chi-squared that was no finite number is written as such ("inf").
    if (!LeadingNumber(line, out.chiSq, false)) {
        reason = "the chi-squared line holds no number";
        return false;
    }
    for (int i = 1; i <= 3; ++i)
        if (!take(line, "the parameter table")) return false;
    out.rows.clear();
    for (int i = 1; i <= out.paramCount; ++i) {
        if (!take(line, "the last parameter row")) return false;
        const std::vector<std::string> w = Words(line);
        ParameterRow row;
        int index = 0;
        if (w.size() < 6 || !WordToInt(w[0], index) || !WordToInt(w[1], row.fixed) ||
            !WordToDouble(w[3], row.start) || !WordToDouble(w[4], row.end) ||
            !WordToDouble(w[5], row.error) || !std::isfinite(row.start) || !std::isfinite(row.end)) {
            reason = "parameter row " + std::to_string(i) + " does not scan";
            return false;
        }
        out.rows.push_back(row);
    }
    if (!take(line, "its closing line")) return false;
    if (line.empty() || line[0] != '-') {
        reason = "it holds more parameter rows than the code " + out.code + " has parameters (" +
                 std::to_string(out.paramCount) + ")";
        return false;
    }
    return true;
}

// Reads and checks the parameter file `parFile` into `out`. A damaged file is
// refused with a message box, and so is one that is there but cannot be read
// (no permission, locked, a folder); a missing one only when
// `reportMissing`, since the retrieve command says that itself. Changes
// nothing in the program state.
bool LoadParameterFile(const std::string& parFile, ParameterFileContents& out, bool reportMissing) {
    std::string text, error;
    if (!ReadWholeFile(parFile, &text, &error)) {
        std::error_code ec;
        if (reportMissing || std::filesystem::exists(parFile, ec)) RefuseFile("parameter file", parFile, error);
        return false;
    }
    ScopedCNumericLocale cLocale;
    std::string reason;
    if (!ParseParameterFile(text, out, reason)) {
        RefuseFile("parameter file", parFile, reason);
        return false;
    }
    return true;
}

// ---- iteration matrix files -----------------------------------------------

struct MatrixKind {
    const char* extension;
    const char* countLine;  // printf format with the iteration count
    int topDashes, midDashes, endDashes;
    const char* notation;
};

const MatrixKind kMinima{
    ".mat", "%d   = number of iterations \n", 162, 163, 163,
    "notation             0            1            2            3            4            5"
    "            6            7            8            9             10    \n"};
const MatrixKind kStartPoints{
    ".ma2", "%d    = number of iterations \n", 164, 164, 164,
    "notation            0            1            2            3            4            5"
    "            6            7            8             9             10     \n"};

std::string MatrixPath(const MatrixKind& kind, const std::string& dataFile, const std::string& code) {
    return WithTrailingBackslash(State().Folders.TempFolder) + BaseNameOfPath(dataFile) + ", " + code +
           kind.extension;
}

std::string MatrixValueText(double v) {
    return State().Options.ScientificFormat ? FormatExponentText(v, 4, 3) : FormatGeneralText(v, 4);
}

bool WriteMatrixFile(const MatrixKind& kind, const FixedArray<double, 1, HistoryValueSlots>& values,
                     const std::string& dataFile, const std::string& code) {
    ScopedCNumericLocale cLocale;
    ProgramState& s = State();
    s.Files.PrintTitle = "Change of Start Point";
    s.Folders.TempFolder = WithTrailingBackslash(s.Folders.TempFolder);
    const std::string path = MatrixPath(kind, dataFile, code);
    const IterationHistory& h = s.History;
    // Only the iterations the tables hold are written, whatever the count says.
    const int n = std::clamp(h.IterationCount, 0, MaxHistory - 1);

    std::string text = DateTimeLine();
    text += ShortDisplayPath(s.Folders.AppFolder, path) + "\n";
    text += "\n";
    text += code + "\n";
    const int p = std::clamp(ParseCircuitCode(code), 0, MaxParams);
    text += FormatText(kind.countLine, h.IterationCount);
    text += std::string(static_cast<size_t>(kind.topDashes), '-') + "\n";
    text += kind.notation;
    text += std::string(static_cast<size_t>(kind.midDashes), '-') + "\n";
    for (int j = 1; j <= p; ++j) {
        std::string row = FormatText("%-10s", ShortNameOf(s.Params.Kind[j]));
        for (int i = 0; i <= n; ++i) row += FormatText("%13s", MatrixValueText(values[i * MaxParams + j]).c_str());
        text += WithDecimalSeparator(row + "\n");
    }
    text += "------\n";
    std::string chi = "chisq     ";
    for (int i = 0; i <= n; ++i) chi += FormatText("%13s", FormatExponentText(h.ChiSqPerDof[i], 4, 3).c_str());
    text += WithDecimalSeparator(chi + "\n");
    std::string ndir = "ndir      ";
    for (int i = 0; i <= n; ++i) ndir += FormatText("%13d", h.Ndir[i]);
    text += ndir + "\n";
    text += std::string(static_cast<size_t>(kind.endDashes), '-') + "\n\n";
    return SaveDuringFit(path, text);
}

bool ReadMatrixFile(const char* what, FixedArray<double, 1, HistoryValueSlots>& values,
                    const std::string& file, int paramCount) {
    ProgramState& s = State();
    s.Files.PrintTitle = "Start Point of Each Iteration";
    // A run may hold the newest text of this file, and of a first run the
    // file itself: what is held is written before the file is looked for.
    WriteHeldFiles();
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) return false;
    std::string text, error;
    if (!ReadWholeFile(file, &text, &error)) {
        RefuseFile(what, file, error);
        return false;
    }
    if (paramCount < 0 || paramCount > MaxParams) {
        RefuseFile(what, file, "the circuit has " + std::to_string(paramCount) + " parameters");
        return false;
    }
    ScopedCNumericLocale cLocale;
    const std::vector<std::string> lines = SplitTextLines(text);
    auto fail = [&](const std::string& r) {
        RefuseFile(what, file, r);
        return false;
    };
    if (lines.size() < 8) return fail("the file ends before its table");
    int count = 0;
    if (!LeadingInt(lines[4], count) || count < 0) return fail("line 5 holds no number of iterations");
    const int k = std::min(count, MaxMatrixIterationsRead);

    // Everything is read into local tables first and only taken over when the
    // whole file scanned.
    std::vector<double> matrix(static_cast<size_t>((k + 1) * MaxParams + 1), 0.0);
    std::vector<double> chi(static_cast<size_t>(k + 1), 0.0);
    std::vector<int> ndir(static_cast<size_t>(k + 1), 0);
    if (k >= 1) {
        size_t next = 8;
        for (int j = 1; j <= paramCount; ++j) {
            if (next >= lines.size()) return fail("the file ends before parameter row " + std::to_string(j));
            const std::vector<std::string> w = Words(WithDecimalPoints(lines[next++]));
            if (static_cast<int>(w.size()) < k + 2) return fail("parameter row " + std::to_string(j) + " does not scan");
            for (int m = 0; m <= k; ++m)
                if (!WordToDouble(w[static_cast<size_t>(m) + 1], matrix[static_cast<size_t>(m * MaxParams + j)]))
                    return fail("parameter row " + std::to_string(j) + " does not scan");
        }
        if (next >= lines.size()) return fail("the file ends before the chi-squared row");
        if (lines[next].empty() || lines[next][0] != '-')
            return fail("it holds more parameter rows than the circuit has parameters (" +
                        std::to_string(paramCount) + ")");
        ++next;
        if (next >= lines.size()) return fail("the file ends before the chi-squared row");
        std::vector<std::string> w = Words(WithDecimalPoints(lines[next++]));
        if (static_cast<int>(w.size()) < k + 2) return fail("the chi-squared row does not scan");
        for (int m = 0; m <= k; ++m)
            if (!WordToDouble(w[static_cast<size_t>(m) + 1], chi[static_cast<size_t>(m)]))
                return fail("the chi-squared row does not scan");
        if (next >= lines.size()) return fail("the file ends before the ndir row");
        w = Words(lines[next++]);
        if (static_cast<int>(w.size()) < k + 2) return fail("the ndir row does not scan");
        for (int m = 0; m <= k; ++m)
            if (!WordToInt(w[static_cast<size_t>(m) + 1], ndir[static_cast<size_t>(m)]))
                return fail("the ndir row does not scan");
    }

    IterationHistory& h = s.History;
    h.IterationCount = k;
    h.Iteration = k;
    if (k >= 1) {
        for (int m = 0; m <= k; ++m) {
            for (int j = 1; j <= paramCount; ++j)
                values[m * MaxParams + j] = matrix[static_cast<size_t>(m * MaxParams + j)];
            h.ChiSqPerDof[m] = chi[static_cast<size_t>(m)];
            h.Ndir[m] = ndir[static_cast<size_t>(m)];
        }
    }
    return true;
}

}  // namespace

// ---- parameter and history files ------------------------------------------

bool WriteParameterFile(const std::string& dataFile, const std::string& parFile) {
    ScopedCNumericLocale cLocale;
    ProgramState& s = State();
    s.Files.DataFileName = dataFile;
    s.Files.ResultsFileName = parFile;
    ProgramOptions& o = s.Options;
    o.SignModeCode = o.AutoSignZImag ? 1 : (o.ReverseZImag ? 2 : 3);

    std::string text = DateTimeLine();
    text += ShortDisplayPath(s.Folders.AppFolder, parFile) + "\n";
    text += "\n";
    text += FormatText("%3d             %48s \n", o.SignModeCode, SignModeText(o.SignModeCode));
    text += FormatText("%3d             %44s \n", o.Weighting, WeightingText(o.Weighting));
    text += WithDecimalSeparator(FormatText("%-12s                %27s \n", SampleAreaText(s.Fit.SampleArea).c_str(),
                                            " = sample area in square cm"));
    text += s.Circuit.Code + "\n";
    // The chi-squared of the file is per (points - parameters - 1), the
    // divisor the parse sets, not the fit's degrees of freedom.
    const int p = std::clamp(ParseCircuitCode(s.Circuit.Code), 0, MaxParams);
    text += WithDecimalSeparator(FormatText("%-12.3le           %16s \n",
                                            s.Fit.ChiSq / static_cast<double>(s.Fit.ChiSqDivisor),
                                            " = chi squared"));
    text += "\n";
    text += FormatText("%40s \n", o.ErrorAsStdDev
                                      ? "index   fixed    parameter      start               end             variance "
                                      : "index   fixed    parameter      start               end              % error ");
    text += FormatText("%40s \n", "-------  ------  ----------     --------            -------          ----------- ");
    const ParamSet& ps = s.Params;
    for (int i = 1; i <= p; ++i) {
        const double end = std::exp(ps.LnValue[i]) * ps.Sign[i];
        const double error = ps.Error[i];
        const double start = std::fabs(error) < 1e-32 ? end : ps.Value[i];
        std::string startText, endText, errorText;
        if (o.ScientificFormat) {
            startText = FormatExponentText(start, 4, 3);
            endText = FormatExponentText(end, 4, 3);
            errorText = FormatFixedText(error, 3, 2);
        } else {
            startText = FormatGeneralText(start, 4);
            endText = FormatGeneralText(end, 4);
            errorText = FormatGeneralText(error, 4);
        }
        text += WithDecimalSeparator(FormatText("%5d %7d    %8s %14s %14s %14s \n", i, ps.Fixed[i] ? 1 : 0,
                                                ShortNameOf(ps.Kind[i]), startText.c_str(), endText.c_str(),
                                                errorText.c_str()));
    }
    text += std::string(73, '-') + "\n\n\n";
    return SaveReported(parFile, text);
}

int ReadParameterFile(const std::string& dataFile, const std::string& parFile) {
    ParameterFileContents f;
    if (!LoadParameterFile(parFile, f, /*reportMissing=*/false)) return 0;
    ProgramState& s = State();
    s.Files.DataFileName = dataFile;
    s.Files.ResultsFileName = parFile;
    s.Options.SignModeCode = f.signMode;
    s.Options.AutoSignZImag = f.signMode == 1;
    s.Options.ReverseZImag = f.signMode == 2;
    s.Options.Weighting = f.weighting;
    s.Fit.SampleArea = f.area;
    s.Circuit.Code = f.code;
    s.Params.ParamCount = ParseCircuitCode(f.code);
    s.Fit.ChiSq = f.chiSq * s.Fit.ChiSqDivisor;
    ParamSet& ps = s.Params;
    for (int i = 1; i <= static_cast<int>(f.rows.size()) && i <= MaxParams; ++i) {
        const ParameterRow& r = f.rows[static_cast<size_t>(i - 1)];
        ps.Value[i] = r.start;
        ps.Error[i] = r.error;
        ps.Fixed[i] = r.fixed != 0;
        ps.Sign[i] = r.end < 0 ? -1.0 : 1.0;
        // The evaluator's limit, so that a value saved at the limit reads back unchanged.
        ps.LnValue[i] = ClampedLog(r.end);
    }
    // The free parameters are those of the table read, not those of whatever
    // ran before (nothing, in a new session): the windows and the
    // recomputation take the end values as the result only when some are free.
    ps.FreeCount = 0;
    for (int i = 1; i <= ps.ParamCount && i <= MaxParams; ++i)
        if (!ps.Fixed[i]) ps.FreeIndex[++ps.FreeCount] = i;
    return 1;
}

std::string ReadParameterFileForImport(const std::string& parFile) {
    ParameterFileContents f;
    if (!LoadParameterFile(parFile, f, /*reportMissing=*/true)) return std::string();
    ProgramState& s = State();
    if (!f.hasArea) s.Fit.SampleArea = 1.0;
    s.Params.ParamCount = ParseCircuitCode(f.code);
    s.Fit.ChiSq = f.chiSq * s.Fit.ChiSqDivisor;
    ParamSet& ps = s.Params;
    for (int i = 1; i <= static_cast<int>(f.rows.size()) && i <= MaxParams; ++i) {
        const ParameterRow& r = f.rows[static_cast<size_t>(i - 1)];
        ps.Fixed[i] = r.fixed != 0;
        ps.Sign[i] = r.start < 0 ? -1.0 : 1.0;
        ps.Value[i] = std::fabs(r.end);
        ps.Error[i] = r.error;
    }
    return f.code;
}

std::string HistoryFilePath(const std::string& parFile) {
    return WithTrailingBackslash(State().Folders.HistFolder) + BaseNameOfPath(parFile) + ".hst";
}

bool WriteHistoryFile(const std::string& parFile) {
    ScopedCNumericLocale cLocale;
    const ProgramState& s = State();
    const IterationHistory& h = s.History;
    const std::string path = HistoryFilePath(parFile);
    const std::string dashes(111, '-');
    // Only the iterations the tables hold are written, whatever the count says.
    const int n = std::min(h.IterationCount, MaxHistory - 1);

    std::string text = DateTimeLine();
    text += ShortDisplayPath(s.Folders.AppFolder, path) + "\n";
    text += ShortDisplayPath(s.Folders.AppFolder, s.Files.DataFileName) + "\n";
    text += ShortDisplayPath(s.Folders.AppFolder, parFile) + "\n";
    text += "\n";
    text += s.Circuit.Code + "\n";
    text += " " + dashes + " \n";
    text += " Iteration   ndir       chi_squared           start time               end time       \n";
    text += " " + dashes + "\n";
    for (int i = 0; i <= n; ++i)
        text += WithDecimalSeparator(FormatText("  %5d        %5d   %16.6le %19s %19s\n", i, h.Ndir[i],
                                                h.ChiSqPerDof[i], h.StartTime[i].c_str(), h.EndTime[i].c_str()));
    text += " " + dashes + " \n";
    text += "\n";
    text += FormatText("%35s     %15s\n", "Execution time (mm:ss:zzz)  :    ", h.ElapsedText.c_str());
    return SaveReported(path, text);
}

// ---- covariance file -------------------------------------------------------

std::string CovarianceFilePath() {
    const ProgramState& s = State();
    return WithTrailingBackslash(s.Folders.CovarsFolder) + BaseNameOfPath(s.Files.DataFileName) + ", " +
           s.Circuit.Code + ".var";
}

namespace {

// Appends `value` exactly as "%12.2le" prints it. The covariance file is
// rewritten after every minimisation, many times in a fit, and the library's
// exact decimal conversion dominated its cost. A value whose rounding to
// three significant digits is clear in double arithmetic (all but those
// within a millionth of a tie) is written here; the others, zeros aside, go
// to the library.
void AppendCovarianceNumber(std::string& out, double value) {
    static const double kPow10[23] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                      1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const double a = std::fabs(value);
    if (a == 0.0) {
        out += std::signbit(value) ? "   -0.00e+00" : "    0.00e+00";
        return;
    }
    if (a >= 1e-280 && a <= 1e280) {
        int e = static_cast<int>(std::floor(std::log10(a)));
        for (int attempt = 0; attempt < 2; ++attempt) {
            // a * 10^(2 - e) in [100, 1000), through exact powers of ten.
            int q = 2 - e;
            double scaled = a;
            while (q > 22) {
                scaled *= 1e22;
                q -= 22;
            }
            while (q < -22) {
                scaled /= 1e22;
                q += 22;
            }
            scaled = q >= 0 ? scaled * kPow10[q] : scaled / kPow10[-q];
            if (scaled < 100.0) {
                --e;
                continue;
            }
            if (scaled >= 1000.0) {
                ++e;
                continue;
            }
            const double whole = std::floor(scaled);
            const double frac = scaled - whole;
            if (std::fabs(frac - 0.5) < 1e-6) break;
            int digits = static_cast<int>(whole) + (frac > 0.5 ? 1 : 0);
            int exp10 = e;
            if (digits == 1000) {
                digits = 100;
                ++exp10;
            }
            char buf[16];
            int n = 0;
            if (std::signbit(value)) buf[n++] = '-';
            buf[n++] = static_cast<char>('0' + digits / 100);
            buf[n++] = '.';
            buf[n++] = static_cast<char>('0' + digits / 10 % 10);
            buf[n++] = static_cast<char>('0' + digits % 10);
            buf[n++] = 'e';
            buf[n++] = exp10 < 0 ? '-' : '+';
            const int ae = exp10 < 0 ? -exp10 : exp10;
            if (ae >= 100) buf[n++] = static_cast<char>('0' + ae / 100);
            buf[n++] = static_cast<char>('0' + ae / 10 % 10);
            buf[n++] = static_cast<char>('0' + ae % 10);
            if (n < 12) out.append(static_cast<size_t>(12 - n), ' ');
            out.append(buf, static_cast<size_t>(n));
            return;
        }
    }
    char buf[64];
    std::snprintf(buf, sizeof buf, "%12.2le", value);
    out += buf;
}

void AppendRowIndex(std::string& out, int i) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%5d", i);
    out += buf;
}

// The covariance file's text from a copy of everything it shows.
struct CovarianceText {
    std::string head;  // date, file names
    int p = 0;
    double chi2dof = 0.0;
    double c[MaxParams + 1][MaxParams + 1] = {};
    double v[MaxParams + 1] = {};

    std::string Format() const {
        ScopedCNumericLocale cLocale;
        std::string text = head;
        text.reserve(text.size() + 40 + 2 * static_cast<size_t>(p) * (6 + 12 * static_cast<size_t>(p)));
        text += "With units, Cij \n";
        for (int i = 1; i <= p; ++i) {
            AppendRowIndex(text, i);
            for (int j = 1; j <= p; ++j) AppendCovarianceNumber(text, chi2dof * c[i][j]);
            text += "\n";
        }
        text += "Normalized, Cij \n";
        for (int i = 1; i <= p; ++i) {
            AppendRowIndex(text, i);
            for (int j = 1; j <= p; ++j) AppendCovarianceNumber(text, chi2dof * c[i][j] / (v[i] * v[j]));
            text += "\n";
        }
        return text;
    }
};

}  // namespace

bool WriteCovarianceFile(const Matrix<double>& covariance, double chi2dof) {
    ProgramState& s = State();
    s.Files.ResultsFileName = WithTrailingBackslash(s.Folders.ParFolder) + BaseNameOfPath(s.Files.DataFileName) +
                              ", " + s.Circuit.Code + ".par";
    const std::string path = CovarianceFilePath();
    const ParamSet& ps = s.Params;
    const int p = std::clamp(ps.ParamCount, 0, MaxParams);
    // What the text is made of, taken now: a fit renews the file after every
    // minimisation, and while it holds its files (see HoldFileWrites) only
    // the last of these texts is ever formatted.
    CovarianceText t;
    t.p = p;
    t.chi2dof = chi2dof;
    for (int i = 1; i <= p; ++i)
        for (int j = 1; j <= p; ++j)
            if (!covariance.empty() && i >= covariance.rlo() && i <= covariance.rhi() && j >= covariance.clo() &&
                j <= covariance.chi())
                t.c[i][j] = covariance[i][j];
    // The values as the evaluator uses them: reciprocal where it inverts them.
    for (int k = 1; k <= p; ++k) {
        t.v[k] = std::exp(ps.LnValue[k]) * ps.Sign[k];
        if (ps.Reciprocal[k]) t.v[k] = 1.0 / t.v[k];
    }
    t.head = DateTimeLine();
    t.head += ShortDisplayPath(s.Folders.AppFolder, path) + "\n";
    t.head += ShortDisplayPath(s.Folders.AppFolder, s.Files.DataFileName) + "\n";
    t.head += ShortDisplayPath(s.Folders.AppFolder, s.Files.ResultsFileName) + "\n";
    if (HoldFileWrite(path, HeldText([t] { return t.Format(); }), NoteFitFileWrite)) return true;
    return SaveDuringFit(path, t.Format());
}

// ---- iteration matrix files -------------------------------------------------

std::string MinimaMatrixPath(const std::string& dataFile, const std::string& code) {
    return MatrixPath(kMinima, dataFile, code);
}

std::string StartPointMatrixPath(const std::string& dataFile, const std::string& code) {
    return MatrixPath(kStartPoints, dataFile, code);
}

bool WriteMinimaMatrix(const std::string& dataFile, const std::string& code) {
    return WriteMatrixFile(kMinima, State().History.ValueMatrix, dataFile, code);
}

bool WriteStartPointMatrix(const std::string& dataFile, const std::string& code) {
    return WriteMatrixFile(kStartPoints, State().History.StartMatrix, dataFile, code);
}

bool ReadMinimaMatrix(const std::string& file, int paramCount, const std::string&) {
    return ReadMatrixFile("iteration file", State().History.ValueMatrix, file, paramCount);
}

bool ReadStartPointMatrix(const std::string& file, int paramCount, const std::string&) {
    return ReadMatrixFile("iteration file", State().History.StartMatrix, file, paramCount);
}

}  // namespace pellucor
