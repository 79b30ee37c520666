#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "core/CircuitCode.h"
#include "core/ElementKinds.h"
#include "core/ProgramState.h"
#include "core/WindowHooks.h"
#include "platform/testing/Doubles.h"

using namespace pellucor;

namespace {

class CircuitCodeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        ResetWindows();
    }
    platform::testing::ScopedServices services;
};

// The 23 element letters with their parameter short names, in code order.
struct LetterRow {
    char letter;
    std::vector<std::string> names;
};
const std::vector<LetterRow>& Letters() {
    static const std::vector<LetterRow> rows = {
        {'R', {"R "}},
        {'C', {"C "}},
        {'L', {"L "}},
        {'W', {"W "}},
        {'Q', {"Q-Yo", "Q-n"}},
        {'T', {"T-Yo", "T-B"}},
        {'O', {"O-Yo", "O-B"}},
        {'G', {"G-Yo", "G-Ka"}},
        {'H', {"H-C", "H-tau", "H-mu", "H-psi"}},
        {'U', {"U-Xa", "U-Xb", "U-w0", "U-w1", "U-k*a/D", "U-w3"}},
        {'X', {"X-Rp", "X-Cdl", "X-n", "X-Rs", "X-L", "X-Xw"}},
        {'D', {"D-C", "D-tau", "D-psi", "D-xs"}},
        {'E', {"E-C", "E-tau", "E-psi", "E-xs"}},
        {'F', {"F-C", "F-tau", "F-eps", "F-xl", "F-xu", "F-theta"}},
        {'P', {"P-RW", "P-w0"}},
        {'V', {"V-Xa", "V-w0", "V-w1", "V-k*a/D", "V-w3"}},
        {'M', {"M-Xa", "M-Xb", "M-w0", "M-w1", "M-k*a/D", "M-w3"}},
        {'N', {"N-Xa", "N-w0", "N-w1", "N-k*a/D", "N-w3"}},
        {'S', {"S-Yo", "S-B", "S-dtsqr"}},
        {'B', {"B-Yo", "B-w0", "B-K", "B-n"}},
        {'J', {"J-Yo", "J-w0", "J-A", "J-lamda"}},
        {'I', {"I-Yo", "I-w0", "I-A", "I-lamda"}},
        {'Y', {"Y-Xa", "Y-Cf", "Y-Rf", "Y-Cdl", "Y-Rt", "Y-Rd", "Y-w3"}},
    };
    return rows;
}

}  // namespace

// Every letter parses into kinds whose table rows carry that letter's short
// names, in order: the parser's letter table and the kind table agree.
TEST_F(CircuitCodeTest, EveryLetterParsesIntoItsNamedKinds) {
    std::set<int> used;
    for (const LetterRow& row : Letters()) {
        const std::string code(1, row.letter);
        const int p = ParseCircuitCode(code);
        ASSERT_EQ(p, static_cast<int>(row.names.size())) << code;
        EXPECT_EQ(State().Params.ParamCount, p);
        for (int j = 1; j <= p; ++j) {
            const int kind = State().Params.Kind[j];
            EXPECT_STREQ(ElementKindTable(kind).ShortName, row.names[static_cast<size_t>(j - 1)].c_str())
                << code << " parameter " << j;
            used.insert(kind);
        }
        for (int j = p + 1; j <= MaxParams; ++j) EXPECT_EQ(State().Params.Kind[j], 0);
    }
    // Kinds 1..90 except the rows no letter yields (29-31, 46-50).
    EXPECT_EQ(used.size(), 90u - 8u);
    for (int k : {29, 30, 31, 46, 47, 48, 49, 50}) EXPECT_EQ(used.count(k), 0u) << k;
    // Letters that name no element.
    for (char c : {'A', 'K', 'Z', 'r', '(', '1', ' '}) EXPECT_EQ(ElementParamCount(c), 0) << c;
}

TEST_F(CircuitCodeTest, ElementKindTableRows) {
    struct Row {
        int code;
        char symbol;
        const char* shortName;
        double start;
        const char* perArea;
        const char* absolute;
    };
    const Row rows[] = {
        {0, ' ', "  ", 1, "Not used         ", "Not used         "},
        {1, 'R', "R ", 100, "Resistance,    [ohm-cm2]", "Resistance,        [ohm]"},
        {4, 'W', "W ", 1e-5, "Warburg,Yo [S-sec^.5/cm2]", "Warburg,Yo    [S-sec^.5]"},
        {6, 'n', "Q-n", 0.8, "Freq power, n    [0<n<1]", "Freq power, n    [0<n<1]"},
        {23, 'C', "X-Rp", 100000, "EXT_X,     Rp    [ohms]", "EXT_X,     Rp     [ohms]"},
        {31, 's', "Y-s", 0.001, "  sqr(del)/D, [sec^0.5]", "  sqr(del)/D,  [sec^0.5]"},
        {45, 't', "F-theta", 0.1, "  theta , theta [0 - 20]", "  theta , theta   [0-20]"},
        {49, 'u', "J-mu", 0.8, "   power, mu   [0<mu<1]", "   power, psi1  [0<mu<1]"},
        {62, 'f', "M-k*a/D", 1, "           k*a/D     [ ]", "           k*a/D     [ ]"},
        {69, 'S', "S-Yo", 0.01, "DX_S, Yo  [S-sec^.5/cm2]", "DX_S, Yo  [S-sec^.5/cm2]"},
        {75, 'n', "B-n", 0.5, "  Freq. power, n [0<n<1]", "   Freq. power   [0<n<1]"},
        {85, 'c', "Y-Cf", 1e-6, "           Cf        [ ]", "           Cf        [ ]"},
        {90, 'w', "Y-w3", 0.1, "           w3   [sec^-1]", "           w3   [sec^-1]"},
    };
    for (const Row& r : rows) {
        const ElementKind& k = ElementKindTable(r.code);
        EXPECT_EQ(k.Symbol, r.symbol) << r.code;
        EXPECT_STREQ(k.ShortName, r.shortName) << r.code;
        EXPECT_DOUBLE_EQ(k.DefaultStart, r.start) << r.code;
        EXPECT_STREQ(k.LabelPerArea, r.perArea) << r.code;
        EXPECT_STREQ(k.LabelAbsolute, r.absolute) << r.code;
    }
    // Symbols and default start values of all 91 rows.
    const std::string symbols = " RCLWQnTBOBGKHtupArwwfwCRnrLxRksDtpxDtpxDtexxtJttupRwAwwfwArwwfwAwwfwSBfBwKnJwAfIwAfAcrcrrw";
    const double starts[] = {1, 100, 1e-5, 1e-5, 1e-5, 1e-5, 0.8, 0.01, 5, 0.01, 5, 0.01, 1, 1e-5, 0.001, 0.8, 0.8, 1000, 10, 100, 1, 10, 0.1, 100000, 1e-5, 0.9, 10000, 10, 0.01, 10, 10, 0.001, 1e-5, 0.001, 0.8, 5, 1e-5, 0.001, 0.8, 5, 1e-5, 0.001, 1, 0.5, 0.5, 0.1, 1e-5, 0.001, 1, 0.8, 0.8, 10, 10000, 1000, 100, 1, 10, 0.1, 1000, 10, 100, 1, 1, 1, 1000, 100, 1, 10, 0.1, 0.01, 5, 0.5, 0.001, 10, 10, 0.5, 0.001, 100, 0.1, 10, 0.001, 100, 0.1, 10, 1000, 1e-6, 0.1, 0.01, 0.001, 1, 0.1};
    std::string gotSymbols;
    for (int c = 0; c <= MaxElementCode; ++c) {
        gotSymbols += ElementKindTable(c).Symbol;
        EXPECT_DOUBLE_EQ(ElementKindTable(c).DefaultStart, starts[c]) << c;
    }
    EXPECT_EQ(gotSymbols, symbols);
    // Field widths of the stored tables, and a start value for every kind.
    for (int c = 0; c <= MaxElementCode; ++c) {
        const ElementKind& k = ElementKindTable(c);
        EXPECT_LE(std::strlen(k.ShortName), 10u) << c;
        EXPECT_LE(std::strlen(k.LabelPerArea), 30u) << c;
        EXPECT_LE(std::strlen(k.LabelAbsolute), 30u) << c;
        EXPECT_GT(k.DefaultStart, 0.0) << c;
    }
    // Codes outside the table fall back to row 0.
    EXPECT_STREQ(ElementKindTable(91).LabelAbsolute, "Not used         ");
    EXPECT_STREQ(ElementKindTable(-1).ShortName, "  ");
}

TEST_F(CircuitCodeTest, ValidateAcceptsWellFormedCodesAndUpperCasesThem) {
    struct Case {
        const char* in;
        bool valid;
        const char* after;
    };
    const std::string deep15 = std::string(14, '(') + "R" + std::string(14, ')');  // 15 levels
    const std::string deep16 = std::string(15, '(') + "R" + std::string(15, ')');  // 16 levels
    std::string long39;
    for (int i = 0; i < 13; ++i) long39 += "(R)";  // 39 characters, 13 parameters
    const Case cases[] = {
        {"r(cr)", true, "R(CR)"},
        {"R(QR(QR))", true, "R(QR(QR))"},
        {"()", true, "()"},
        {"(())", true, "(())"},
        {"(CR(LR)(LR)(LR))", true, "(CR(LR)(LR)(LR))"},
        {"UUR(CR)", true, "UUR(CR)"},  // exactly 15 parameters
        {"R(CR", false, "R(CR"},
        {"R(CR))", false, "R(CR))"},
        {"AR", false, "AR"},
        {"R1", false, "R1"},
        {"R C", false, "R C"},
        {"", false, ""},
        {")R(", false, ")R("},
        {"rAcr", false, "RAcr"},  // the scan stops at A, the rest keeps its case
        {"rz(c)", false, "RZ(c)"},
        // Beyond the limits the level sums and parameter slots rely on.
        {"NOMODEL", false, "NOMODEL"},      // 24 parameters
        {"UUR(CRR)", false, "UUR(CRR)"},    // 16 parameters
    };
    for (const Case& c : cases) {
        std::string code = c.in;
        EXPECT_EQ(ValidateCdc(code), c.valid) << c.in;
        if (c.after) {
            EXPECT_EQ(code, c.after) << c.in;
        }
    }
    std::string d15 = deep15, d16 = deep16, l39 = long39;
    EXPECT_TRUE(ValidateCdc(d15));
    EXPECT_FALSE(ValidateCdc(d16));
    ASSERT_EQ(l39.size(), 39u);
    EXPECT_TRUE(ValidateCdc(l39));
    std::string l40 = long39 + "R";  // 40 characters, 14 parameters
    EXPECT_FALSE(ValidateCdc(l40));
    EXPECT_EQ(CdcNestingDepth(deep16), 16);
    EXPECT_EQ(CdcNestingDepth(")R("), 0);
}

TEST_F(CircuitCodeTest, ParseTable) {
    struct Case {
        const char* code;
        int p;
        std::vector<int> kinds;
        int maxEvaluations;
        const char* prepared;
        std::vector<int> reciprocal;
        bool distributed;
    };
    const Case cases[] = {
        {"R(CR)", 3, {1, 2, 1}, 200, "R(CR)", {3}, false},
        {"R(C(RW))", 4, {1, 2, 1, 4}, 200, "R(C(Rw))", {4}, false},
        {"R(QR(QR))", 7, {1, 5, 6, 1, 5, 6, 1}, 20000, "R(QR(qR))", {4, 5}, false},
        {"RC", 2, {1, 2}, 200, "Rc", {2}, false},
        {"(RC)", 2, {1, 2}, 200, "(RC)", {1}, false},
        {"()", 0, {}, 2, "()", {}, false},
        {"(())", 0, {}, 2, "(())", {}, false},
        {"R", 1, {1}, 200, "R", {}, false},
        {"LWQ", 4, {3, 4, 5, 6}, 200, "lwq", {2, 3}, false},
        {"(LWQ)", 4, {3, 4, 5, 6}, 200, "(LWQ)", {1}, false},
        {"R(CD)", 6, {1, 2, 32, 33, 34, 35}, 2000, "R(CD)", {}, true},
        {"RE", 5, {1, 36, 37, 38, 39}, 2000, "Re", {2}, true},
        {"(F)", 6, {40, 41, 42, 43, 44, 45}, 2000, "(F)", {}, true},
        {"SBJI", 15, {69, 70, 71, 72, 73, 74, 75, 76, 77, 78, 79, 80, 81, 82, 83}, 200000000, "sbji",
         {1, 4, 8, 12}, false},
        {"(CR(CR)(CR)(CR))", 8, {2, 1, 2, 1, 2, 1, 2, 1}, 20000, "(CR(cR)(cR)(cR))", {2, 3, 5, 7}, false},
        // Deep nesting: the connection alternates at every level.
        {"R(C(R(C(R(C(R(CL)))))))", 9, {1, 2, 1, 2, 1, 2, 1, 2, 3}, 200000, "R(C(R(C(R(C(R(CL)))))))", {9},
         false},
        {"R(W(C(W(C(W(L))))))", 7, {1, 4, 2, 4, 2, 4, 3}, 20000, "R(W(c(W(c(W(l))))))", {3, 5}, false},
        {"((((((((((((((R))))))))))))))", 1, {1}, 200, "((((((((((((((R))))))))))))))", {}, false},
        // What the parser does not know it skips.
        {"r(cR)", 1, {1}, 200, "r(cR)", {1}, false},
    };
    for (const Case& c : cases) {
        ResetProgramState();
        State().Spectrum.PointCount = 50;
        const int p = ParseCircuitCode(c.code);
        EXPECT_EQ(p, c.p) << c.code;
        EXPECT_EQ(State().Params.ParamCount, c.p) << c.code;
        EXPECT_EQ(State().Fit.ChiSqDivisor, 50 - (c.p + 1)) << c.code;
        EXPECT_EQ(State().Fit.MaxEvaluations, c.maxEvaluations) << c.code;
        EXPECT_EQ(State().Params.Kind[0], 0);
        for (int j = 1; j <= MaxParams; ++j) {
            const int want = j <= c.p ? c.kinds[static_cast<size_t>(j - 1)] : 0;
            EXPECT_EQ(State().Params.Kind[j], want) << c.code << " slot " << j;
        }
        PrepareCdcLevels(c.code, static_cast<int>(std::strlen(c.code)));
        EXPECT_EQ(State().Circuit.PreparedCode, c.prepared) << c.code;

        ParamArray<double> values;
        for (int j = 1; j <= MaxParams; ++j) values[j] = 4.0;
        State().Run.DistributedElement = !c.distributed;
        CdcReciprocalFlags(c.code, values);
        std::set<int> want(c.reciprocal.begin(), c.reciprocal.end());
        for (int j = 1; j <= MaxParams; ++j) {
            EXPECT_EQ(State().Params.Reciprocal[j], want.count(j) == 1) << c.code << " flag " << j;
            EXPECT_DOUBLE_EQ(values[j], want.count(j) ? 0.25 : 4.0) << c.code << " value " << j;
        }
        EXPECT_EQ(State().Run.DistributedElement, c.distributed) << c.code;
    }
}

TEST_F(CircuitCodeTest, PrepareMarksOnlyTheGivenLength) {
    PrepareCdcLevels("RCL(QW)", 2);
    EXPECT_EQ(State().Circuit.PreparedCode, "RcL(QW)");
}

// The placeholder code of pasted data and codes beyond the limits never
// reach the 15 parameter slots: they parse as codes without parameters.
TEST_F(CircuitCodeTest, CodesBeyondLimitsParseToNoParameters) {
    State().Spectrum.PointCount = 20;
    for (int j = 1; j <= MaxParams; ++j) State().Params.Kind[j] = 7;
    const std::string tooDeep = std::string(15, '(') + "R" + std::string(15, ')');
    for (const std::string& code : {std::string(NoModelCode), std::string("UUR(CRR)"), tooDeep,
                                   std::string(")R("), std::string(40, 'R')}) {
        EXPECT_FALSE(CdcWithinLimits(code)) << code;
        EXPECT_EQ(ParseCircuitCode(code), 0) << code;
        EXPECT_EQ(State().Params.ParamCount, 0);
        EXPECT_EQ(State().Fit.MaxEvaluations, 2);
        EXPECT_EQ(State().Fit.ChiSqDivisor, 19);
        for (int j = 0; j <= MaxParams; ++j) EXPECT_EQ(State().Params.Kind[j], 0);
    }
    EXPECT_EQ(CdcParameterCount(NoModelCode), 24);
    // The reciprocal walk never flags a slot past the last one.
    EXPECT_EQ(CdcReciprocalMask("UUUC") >> (MaxParams + 1), 0u);
}

TEST_F(CircuitCodeTest, KindClassesAndSearchMarks) {
    const std::set<int> exponent = {6, 15, 16, 25, 34, 38, 49, 50, 71, 75};
    const std::set<int> special = {35, 39, 42, 43, 44};
    for (int k = -1; k <= 91; ++k) {
        EXPECT_EQ(IsExponentKind(k), exponent.count(k) == 1) << k;
        EXPECT_EQ(IsSpecialKind(k), special.count(k) == 1) << k;
    }
    ParamSet& ps = State().Params;
    ps.LnValue[1] = -7.0;
    ps.LnValue[2] = -6.0;
    ps.SearchSelect[2] = true;
    MarkSmallExponent(6, 1);
    MarkSmallExponent(6, 2);
    EXPECT_TRUE(ps.SearchSelect[1]);
    EXPECT_FALSE(ps.SearchSelect[2]);
    ps.SearchSelect[3] = true;
    ps.LnValue[3] = -7.0;
    MarkSmallExponent(1, 3);  // not an exponent kind: untouched
    EXPECT_TRUE(ps.SearchSelect[3]);

    const double ln60 = std::log(60.0);
    const struct {
        double ln;
        bool selected;
    } special_cases[] = {{ln60 + 1e-9, true}, {ln60 - 1e-9, false}, {-1e-9, true}, {0.0, false}, {1.0, false}};
    for (const auto& c : special_cases) {
        ps.LnValue[4] = c.ln;
        ps.SearchSelect[4] = !c.selected;
        MarkSpecialOutOfRange(35, 4);
        EXPECT_EQ(ps.SearchSelect[4], c.selected) << c.ln;
    }
    ps.SearchSelect[5] = false;
    ps.LnValue[5] = 10.0;
    MarkSpecialOutOfRange(34, 5);  // an exponent kind, not a special one
    EXPECT_FALSE(ps.SearchSelect[5]);
}
