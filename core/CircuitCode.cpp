#include "core/CircuitCode.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace pellucor {
namespace {

struct LetterInfo {
    int count;      // parameters of the element
    int firstKind;  // ElementCode of its first parameter
};

// Indexed by letter - 'A'. A, K and Z name no element.
constexpr LetterInfo kLetters[26] = {
    {0, 0},   // A
    {4, 72},  // B  DX_B
    {1, 2},   // C  capacitance
    {4, 32},  // D  Exp. DAE1
    {4, 36},  // E  Exp. DAE2
    {6, 40},  // F  Gaus. DAE
    {2, 11},  // G  Gerischer
    {4, 13},  // H  H-N element
    {4, 80},  // I  DX_I
    {4, 76},  // J  DX_J
    {0, 0},   // K
    {1, 3},   // L  inductance
    {6, 58},  // M  DX_M
    {5, 64},  // N  DX_N
    {2, 9},   // O  coth diffusion
    {2, 51},  // P  DX Levie
    {2, 5},   // Q  constant phase element
    {1, 1},   // R  resistance
    {3, 69},  // S  DX_S
    {2, 7},   // T  tanh diffusion
    {6, 17},  // U  DX_U
    {5, 53},  // V  DX_V
    {1, 4},   // W  Warburg
    {6, 23},  // X  EXT_X
    {7, 84},  // Y  DX_Y
    {0, 0},   // Z
};

const LetterInfo* Info(char c) {
    if (c < 'A' || c > 'Z') return nullptr;
    const LetterInfo* info = &kLetters[c - 'A'];
    return info->count > 0 ? info : nullptr;
}

// Elements whose first parameter is used inverted at series levels (their
// admittance is the natural form); R and L are inverted at parallel levels.
bool InvertedAtSeries(char c) {
    switch (c) {
        case 'C': case 'W': case 'Q': case 'T': case 'O': case 'G': case 'H':
        case 'D': case 'E': case 'F': case 'S': case 'B': case 'J': case 'I':
            return true;
        default:
            return false;
    }
}

}  // namespace

int ElementParamCount(char letter) {
    const LetterInfo* info = Info(letter);
    return info ? info->count : 0;
}

int ElementFirstKind(char letter) {
    const LetterInfo* info = Info(letter);
    return info ? info->firstKind : 0;
}

int CdcParameterCount(const std::string& code) {
    int p = 0;
    for (char c : code) p += ElementParamCount(c);
    return p;
}

int CdcNestingDepth(const std::string& code) {
    int level = 1, deepest = 1;
    for (char c : code) {
        if (c == '(') {
            ++level;
            if (level > deepest) deepest = level;
        } else if (c == ')') {
            if (--level < 1) return 0;
        }
    }
    return deepest;
}

bool CdcWithinLimits(const std::string& code) {
    if (static_cast<int>(code.size()) > MaxCodeLength) return false;
    if (CdcParameterCount(code) > MaxParams) return false;
    const int depth = CdcNestingDepth(code);
    return depth >= 1 && depth <= MaxCodeLevels;
}

bool ValidateCdc(std::string& code) {
    if (code.empty()) return false;
    int depth = 1;
    for (char& c : code) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (c == '(') {
            ++depth;
        } else if (c == ')') {
            if (--depth < 1) return false;
        } else if (!Info(c)) {
            return false;
        }
    }
    if (depth != 1) return false;
    // The level sums and the 15 parameter slots bound every code that is
    // stored: a longer or deeper code is refused like a malformed one.
    return CdcWithinLimits(code);
}

CircuitCodeLayout AnalyseCircuitCode(const std::string& code) {
    CircuitCodeLayout l;
    l.withinLimits = CdcWithinLimits(code);
    int counter = 1;
    if (l.withinLimits) {
        for (char c : code) {
            const LetterInfo* info = Info(c);
            if (!info) continue;
            for (int j = 0; j < info->count; ++j) l.kind[counter + j] = info->firstKind + j;
            counter += info->count;
        }
    }
    l.paramCount = counter - 1;
    int limit = 2;
    for (int e = 0; e < (l.paramCount + 1) / 2; ++e) limit *= 10;
    // One or two parameters would get 20 evaluations per minimisation: too
    // few for the simplex to get anywhere in the narrow valley of, say, a
    // series RC. The values then hardly changed between iterations, and the
    // run ended as converged near its start values. They get the limit of
    // three or four parameters.
    if (l.paramCount == 1 || l.paramCount == 2) limit = 200;
    l.maxEvaluations = limit;

    // The reciprocal flags follow the levels of any code, within the limits
    // or not; slots past MaxParams are never flagged.
    bool series = true;
    int k = 1;
    for (char c : code) {
        if (c == '(' || c == ')') {
            series = !series;
            continue;
        }
        const LetterInfo* info = Info(c);
        if (!info) continue;
        const bool inverted = series ? InvertedAtSeries(c) : (c == 'R' || c == 'L');
        if (inverted && k <= MaxParams) l.reciprocalMask |= 1u << k;
        if (c == 'D' || c == 'E' || c == 'F') l.distributed = true;
        k += info->count;
    }
    return l;
}

int ApplyCodeParse(const CircuitCodeLayout& l) {
    ProgramState& s = State();
    ParamSet& ps = s.Params;
    for (int i = 0; i <= MaxParams; ++i) ps.Kind[i] = l.kind[i];
    const int p = l.paramCount;
    s.Fit.ChiSqDivisor = s.Spectrum.PointCount - (p + 1);
    s.Fit.MaxEvaluations = l.maxEvaluations;
    ps.ParamCount = p;
    return p;
}

unsigned ApplyReciprocalFlags(const CircuitCodeLayout& l) {
    ProgramState& s = State();
    for (int k = 1; k <= MaxParams; ++k) s.Params.Reciprocal[k] = (l.reciprocalMask & (1u << k)) != 0;
    s.Run.DistributedElement = l.distributed;
    return l.reciprocalMask;
}

int ParseCircuitCode(const std::string& code) { return ApplyCodeParse(AnalyseCircuitCode(code)); }

void PrepareCdcLevels(const std::string& code, int length) {
    std::string& prepared = State().Circuit.PreparedCode;
    prepared = code;
    bool series = true;
    const int n = std::min(length, static_cast<int>(prepared.size()));
    for (int i = 0; i < n; ++i) {
        const char c = prepared[static_cast<size_t>(i)];
        if (c == '(' || c == ')') {
            series = !series;
        } else if (series && c >= 'B' && c <= 'Y' && c != 'K' && c != 'R') {
            prepared[static_cast<size_t>(i)] = static_cast<char>(c - 'A' + 'a');
        }
    }
}

unsigned CdcReciprocalMask(const std::string& code) { return ApplyReciprocalFlags(AnalyseCircuitCode(code)); }

bool IsExponentKind(int kind) {
    switch (kind) {
        case 6: case 15: case 16: case 25: case 34: case 38: case 49: case 50: case 71: case 75:
            return true;
        default:
            return false;
    }
}

bool IsSpecialKind(int kind) {
    switch (kind) {
        case 35: case 39: case 42: case 43: case 44:
            return true;
        default:
            return false;
    }
}

void MarkSmallExponent(int kind, int index) {
    if (!IsExponentKind(kind) || index < 1 || index > MaxParams) return;
    ParamSet& ps = State().Params;
    ps.SearchSelect[index] = ps.LnValue[index] < -6.9;
}

void MarkSpecialOutOfRange(int kind, int index) {
    if (!IsSpecialKind(kind) || index < 1 || index > MaxParams) return;
    ParamSet& ps = State().Params;
    ps.SearchSelect[index] = ps.LnValue[index] > std::log(60.0) || ps.LnValue[index] < 0.0;
}

}  // namespace pellucor
