#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "kinetics/fitting/KineticFitData.h"
#include "kinetics/fitting/RateConstantFile.h"

using namespace pellucor::kinfit;

namespace {

std::string WriteTemp(const std::string& name, const std::string& text) {
    const std::string path = std::string(PELLUCOR_TEST_OUTPUT_DIR) + "/kinfit_" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

// Two parameters, two potentials, three elements, with flags.
const char* kFlagged =
    "2\n"
    "1.5e-3 1 k01\n"
    "-20 2 b1\n"
    "2 0.1 -0.25\n"
    "3\n"
    "1e-5 20.5 3\n"
    "2e-5 40 -6\n"
    "1 0 1\n"
    "0 1 1\n";

KineticFitData Sentinel() {
    KineticFitData d;
    d.params.push_back({7.0, 9, "keep"});
    d.potentials = {42.0};
    return d;
}

void ExpectUntouched(const KineticFitData& d) {
    ASSERT_EQ(d.params.size(), 1u);
    EXPECT_EQ(d.params[0].name, "keep");
    ASSERT_EQ(d.potentials.size(), 1u);
    EXPECT_EQ(d.potentials[0], 42.0);
}

}  // namespace

TEST(KineticFitData, ReadsEveryTokenInOrderWhateverTheLineBreaks) {
    std::string oneLine = kFlagged, oneToken = kFlagged;
    for (char& c : oneLine)
        if (c == '\n') c = ' ';
    for (char& c : oneToken)
        if (c == ' ') c = '\n';
    for (const std::string& text : {std::string(kFlagged), oneLine, oneToken}) {
        KineticFitData d;
        std::string err;
        ASSERT_TRUE(ParseKineticFitData(text, "cr_passn2.dat", FitDataLayout::WithFitFlags, d, err)) << err;
        ASSERT_EQ(d.paramCount(), 2);
        EXPECT_EQ(d.params[0].value, 1.5e-3);
        EXPECT_EQ(d.params[0].type, 1);
        EXPECT_EQ(d.params[0].name, "k01");
        EXPECT_EQ(d.params[1].value, -20.0);
        EXPECT_EQ(d.params[1].type, 2);
        ASSERT_EQ(d.potentialCount(), 2);
        EXPECT_EQ(d.potentials[1], -0.25);
        EXPECT_EQ(d.elementCount, 3);
        EXPECT_EQ(d.measured[0][1], 20.5);
        EXPECT_EQ(d.measured[1][2], -6.0);
        EXPECT_EQ(d.flags[0][1], 0);
        EXPECT_EQ(d.flags[1][0], 0);
        EXPECT_EQ(d.flags[1][2], 1);
    }
}

TEST(KineticFitData, NameFirstRecordsAndSecondCount) {
    KineticFitData d;
    std::string err;
    ASSERT_TRUE(ParseKineticFitData("2 12  k01 1 3.5e-8  b1 0 22.5  1 -1.5  2 1e-5 3.0", "optimD1.dat",
                                    FitDataLayout::NameFirst, d, err))
        << err;
    EXPECT_EQ(d.secondCount, 12);
    EXPECT_EQ(d.params[0].name, "k01");
    EXPECT_EQ(d.params[0].value, 3.5e-8);
    EXPECT_EQ(d.params[1].type, 0);
    EXPECT_EQ(d.params[1].value, 22.5);
    EXPECT_TRUE(d.flags.empty());
}

// A damaged file is refused with a message naming the file; the caller's
// tables keep what they held.
TEST(KineticFitData, DamagedFilesAreRefusedWhole) {
    const std::string name16(16, 'x'), name15(15, 'x');
    struct Case {
        const char* what;
        std::string text;
        const char* inMessage;
    } cases[] = {
        {"empty", "", "ends before"},
        {"short: flags cut off", std::string(kFlagged).substr(0, std::string(kFlagged).size() - 4), "ends before"},
        {"short: measured cut off", "1 1 1 k 1 0.5 2 3", "ends before"},
        {"thirty-one parameters", "31 1 1 k", "31"},
        {"no parameters", "0 1 0.1 1 1", "from 1 to 30"},
        {"sixteen potentials", "1 1 1 k 16", "from 1 to 15"},
        {"sixteen elements", "1 1 1 k 1 0.1 16", "from 1 to 15"},
        {"name of 16 characters", "1 1 1 " + name16 + " 1 0.1 1 2 1", name16.c_str()},
        {"decimal comma", "1 1,5 1 k 1 0.1 1 2 1", "\"1,5\""},
        {"text for a count", "x", "\"x\""},
    };
    for (const Case& c : cases) {
        KineticFitData d = Sentinel();
        std::string err;
        const std::string path = WriteTemp("damaged.dat", c.text);
        EXPECT_FALSE(ReadKineticFitData(path, FitDataLayout::WithFitFlags, d, err)) << c.what;
        EXPECT_NE(err.find(path), std::string::npos) << c.what << ": " << err;
        EXPECT_NE(err.find(c.inMessage), std::string::npos) << c.what << ": " << err;
        ExpectUntouched(d);
    }
    // The limits themselves are accepted.
    KineticFitData d;
    std::string err;
    EXPECT_TRUE(ParseKineticFitData("1 1 1 " + name15 + " 1 0.1 1 2", "f", FitDataLayout::Basic, d, err)) << err;
}

TEST(KineticFitData, MissingFileNamesTheFile) {
    KineticFitData d = Sentinel();
    std::string err;
    const std::string path = std::string(PELLUCOR_TEST_OUTPUT_DIR) + "/no_such_kinetic_file.dat";
    EXPECT_FALSE(ReadKineticFitData(path, FitDataLayout::Basic, d, err));
    EXPECT_NE(err.find(path), std::string::npos) << err;
    ExpectUntouched(d);
}

// ---- rate-constant files ---------------------------------------------------

namespace {

std::string FeFile(int steps, const std::string& firstName = "k1") {
    std::string t = std::to_string(steps) + "\n";
    for (int i = 1; i <= steps; ++i)
        t += (i == 1 ? firstName : "k" + std::to_string(i)) + " " + std::to_string(i) + "e-8 " +
             std::to_string(10 + i) + " " + (i % 2 ? "1" : "-1") + "\n";
    return t + "beta 2.2e-9\nCdl 4e-5\n";
}

}  // namespace

TEST(RateConstantFile, StepsAndConstantsByPosition) {
    RateConstantData d;
    std::string err;
    ASSERT_TRUE(ParseRateConstantFile(FeFile(6) + "trailing tokens 1 2", "fedisolv.dat",
                                      RateConstantKind::FeDissolution, d, err))
        << err;
    ASSERT_EQ(d.stepCount(), 6);
    const auto st = StepsOfSet(RateConstantKind::FeDissolution, d, 0);
    EXPECT_EQ(st[1].k0, 2e-8);
    EXPECT_EQ(st[1].b, 12.0);
    EXPECT_EQ(st[1].s, -1.0);
    EXPECT_EQ(d.constants[0], 2.2e-9);
    EXPECT_EQ(d.constants[1], 4e-5);

    // Other names of at most seven characters give the same values.
    RateConstantData e;
    ASSERT_TRUE(ParseRateConstantFile(FeFile(6, "anyname"), "fedisolv.dat", RateConstantKind::FeDissolution, e, err));
    EXPECT_EQ(e.steps, d.steps);
}

TEST(RateConstantFile, SetsOfTheMultiSetFiles) {
    // znwin: s, then three (k0, b) pairs; the "NiSO4" addition is the third.
    std::string t = "12\n";
    for (int i = 1; i <= 12; ++i)
        t += "s" + std::to_string(i) + " -1 1e-1 10 2e-1 20 3e-1 30\n";
    t += "Gamma 3e-9 Cdl 5e-5";
    RateConstantData d;
    std::string err;
    ASSERT_TRUE(ParseRateConstantFile(t, "znwin.dat", RateConstantKind::ZnWinning, d, err)) << err;
    const auto ni = StepsOfSet(RateConstantKind::ZnWinning, d, 2);
    ASSERT_EQ(ni.size(), 12u);
    EXPECT_EQ(ni[11].s, -1.0);
    EXPECT_EQ(ni[11].k0, 3e-1);
    EXPECT_EQ(ni[11].b, 30.0);
    EXPECT_EQ(EchoText(RateConstantKind::ZnWinning, d, 2).substr(0, 19), "12\n1  -1  0.3   30\n");
}

TEST(RateConstantFile, DamagedFilesAreRefusedWhole) {
    struct Case {
        const char* what;
        std::string text;
        const char* inMessage;
    } cases[] = {
        {"empty", "", "ends before the number of steps"},
        {"fifteen steps", FeFile(15), "15 steps"},
        {"fewer steps than the mechanism", FeFile(5), "5 steps"},
        {"short: Cdl missing", FeFile(6).substr(0, FeFile(6).size() - 9), "ends before"},
        {"name of eight characters", FeFile(6, "eightchr"), "\"eightchr\""},
        {"number of a step garbled", "6 k1 1e-8 1O 1", "\"1O\""},
    };
    for (const Case& c : cases) {
        RateConstantData d;
        d.constants = {99.0};
        std::string err;
        const std::string path = WriteTemp("fedisolv.dat", c.text);
        EXPECT_FALSE(ReadRateConstantFile(path, RateConstantKind::FeDissolution, d, err)) << c.what;
        EXPECT_NE(err.find(path), std::string::npos) << c.what << ": " << err;
        EXPECT_NE(err.find(c.inMessage), std::string::npos) << c.what << ": " << err;
        EXPECT_TRUE(d.steps.empty()) << c.what;
        ASSERT_EQ(d.constants.size(), 1u);
    }
    RateConstantData d;
    std::string err;
    EXPECT_FALSE(ReadRateConstantFile(std::string(PELLUCOR_TEST_OUTPUT_DIR) + "/missing_fedisolv.dat",
                                      RateConstantKind::FeDissolution, d, err));
    EXPECT_NE(err.find("missing_fedisolv.dat"), std::string::npos) << err;
}

TEST(KineticFitData, NumberSpellingsOfHandWrittenFiles) {
    KineticFitData d;
    std::string err;
    ASSERT_TRUE(ParseKineticFitData("+1\t5. 1 k\r\n1 .25 1 -1.5E-3\n", "f", FitDataLayout::Basic, d, err)) << err;
    EXPECT_EQ(d.params[0].value, 5.0);
    EXPECT_EQ(d.potentials[0], 0.25);
    EXPECT_EQ(d.measured[0][0], -1.5e-3);
    // A count must be a whole number.
    EXPECT_FALSE(ParseKineticFitData("1.0 5 1 k 1 0.1 1 2", "f", FitDataLayout::Basic, d, err));
    EXPECT_NE(err.find("\"1.0\""), std::string::npos) << err;
}

// A file saved by a Windows editor as UTF-8 with a byte-order mark (and CRLF
// line ends) reads as the same file without them.
TEST(KineticFitData, ByteOrderMarkOfAnEditorIsNoPartOfTheFirstToken) {
    const std::string bom = "\xEF\xBB\xBF";
    std::string crlf;
    for (char c : std::string(kFlagged)) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    KineticFitData d;
    std::string err;
    ASSERT_TRUE(ReadKineticFitData(WriteTemp("bom.dat", bom + crlf), FitDataLayout::WithFitFlags, d, err)) << err;
    ASSERT_EQ(d.paramCount(), 2);
    EXPECT_EQ(d.params[0].value, 1.5e-3);
    EXPECT_EQ(d.params[1].name, "b1");
    EXPECT_EQ(d.measured[1][2], -6.0);
    EXPECT_EQ(d.flags[1][2], 1);

    RateConstantData r;
    ASSERT_TRUE(ReadRateConstantFile(WriteTemp("bom_fedisolv.dat", bom + FeFile(6)), RateConstantKind::FeDissolution,
                                     r, err))
        << err;
    ASSERT_EQ(r.stepCount(), 6);
    EXPECT_EQ(r.steps[0][0], 1e-8);
    EXPECT_EQ(r.constants[1], 4e-5);
}
