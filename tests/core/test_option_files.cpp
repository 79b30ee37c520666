#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/OptionFiles.h"
#include "core/ProgramState.h"
#include "core/WindowHooks.h"
#include "platform/testing/Doubles.h"
#include "file_test_support.h"

using namespace pellucor;
namespace fs = std::filesystem;
using pellucor::filetest::Slurp;

namespace {

// The option file of the start-up options.
const char* const kDefaultOptionFile =
    "    1      = auto detect the sign of Zim   \n"
    "    1      = wgt, 0: unity, 1: modulus \n"
    "   10      = max. # of iterations (5-20) \n"
    "   -2      = exponent of min. frequency (-6 to 0) \n"
    "    6      = exponent of max. frequency (6 to 7) \n"
    "    0      = System Model Libray,  0: no, 1: yes  \n"
    "    1      = scientif data format, 0: no, 1: yes  \n"
    "    0      = decimal point notation, 0: periods, 1: commas \n"
    "    1      = save plot format, 1: emf, 2: wmf, 3: bmp 4: jpg \n"
    "    0      = uncertainties of pars, 0 = % error, 1: variance \n"
    "    1         = simulation, type of errors added, -1: none, 0: unity, 1: modulus \n"
    "   1.000e-01  = simulation, std error, unity weighting  \n"
    "   1.000e-02  = simulation, std error in fraction, modulus \n"
    "    0         = background is white, 0 = no,  1: yes \n";

const char* const kDefaultPrintFile =
    "    0      = left-top      \n"
    "    1      = left-bottom   \n"
    "    2      = right-top     \n"
    "    6      = right-bottom  \n"
    "    1      = 1: pars + current, 2: two, 3: four \n";

struct CountingOptionsWindow : OptionsWindow {
    int reads = 0, shows = 0;
    std::function<void()> onRead;
    void ReadOptions() override {
        ++reads;
        if (onRead) onRead();
    }
    void ShowOptions() override { ++shows; }
};

struct CountingPrintWindow : PrintLayoutWindow {
    int reads = 0, shows = 0;
    std::function<void()> onRead;
    void ReadPrintItems() override {
        ++reads;
        if (onRead) onRead();
    }
    void ShowPrintItems() override { ++shows; }
};

class OptionFiles : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        ResetWindows();
        folder = fs::path(PELLUCOR_TEST_OUTPUT_DIR) / "option_files" /
                 ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(folder);
        State().Folders.AppFolder = folder.string();
        WindowSet w;
        w.Opt = &opt;
        w.PlotOpt = &plotOpt;
        InstallWindows(w);
    }
    void TearDown() override { ResetWindows(); }
    void Parse(const std::string& text) {
        std::istringstream in(text);
        ParseOptionFile(in);
    }

    fs::path folder;
    CountingOptionsWindow opt;
    CountingPrintWindow plotOpt;
    platform::testing::ScopedServices services;
};

// The print layout both layout tests use: quadrants 5, 0, 8, 3 and layout 3.
void ExpectLayout5083(const PrintLayout& p) {
    EXPECT_EQ(p.QuadrantItem[1], 5);
    EXPECT_EQ(p.QuadrantItem[2], 0);
    EXPECT_EQ(p.QuadrantItem[3], 8);
    EXPECT_EQ(p.QuadrantItem[4], 3);
    EXPECT_EQ(p.LayoutCode, 3);
}

TEST_F(OptionFiles, DefaultsWrittenByteForByteAndReadBack) {
    ASSERT_TRUE(WriteOptionFile());  // also creates the program folder
    EXPECT_EQ(opt.reads, 1);
    EXPECT_EQ(OptionFilePath(), folder.string() + "/tavriopt.cfg");
    EXPECT_EQ(Slurp(OptionFilePath()), kDefaultOptionFile);

    const ProgramOptions defaults = State().Options;
    State().Options = ProgramOptions();
    ProgramOptions& o = State().Options;
    o.Weighting = 0;
    o.MaxIterations = 7;
    o.NoiseLevelUnity = 3;
    o.ScientificFormat = false;
    ASSERT_TRUE(ReadOptionFile());
    EXPECT_EQ(opt.shows, 1);
    EXPECT_EQ(o.SignModeCode, 1);
    EXPECT_EQ(o.Weighting, defaults.Weighting);
    EXPECT_EQ(o.MaxIterations, 10);
    EXPECT_EQ(o.MinFreqExponent, -2);
    EXPECT_EQ(o.MaxFreqExponent, 6);
    EXPECT_TRUE(o.ScientificFormat);
    EXPECT_TRUE(o.PeriodDecimal);
    EXPECT_DOUBLE_EQ(o.NoiseLevelUnity, 0.1);
    EXPECT_DOUBLE_EQ(o.NoiseLevelModulus, 0.01);
}

TEST_F(OptionFiles, EachLineOfTheOptionFile) {
    struct Case {
        std::function<void(ProgramOptions&)> set;
        int line;
        const char* text;
    } cases[] = {
        {[](ProgramOptions& o) { o.AutoSignZImag = false, o.ReverseZImag = true; }, 1,
         "    2      = reverse the sign of Zim       "},
        {[](ProgramOptions& o) { o.AutoSignZImag = false, o.ReverseZImag = false; }, 1,
         "    3      = do not change the sign of Zim "},
        {[](ProgramOptions& o) { o.Weighting = 0; }, 2, "    0      = wgt, 0: unity, 1: modulus "},
        {[](ProgramOptions& o) { o.MaxIterations = 20; }, 3,
         "   20      = max. # of iterations (5-20) "},
        {[](ProgramOptions& o) { o.MinFreqExponent = -6; }, 4,
         "   -6      = exponent of min. frequency (-6 to 0) "},
        {[](ProgramOptions& o) { o.MaxFreqExponent = 8; }, 5,
         "    8      = exponent of max. frequency (6 to 7) "},
        {[](ProgramOptions& o) { o.UseSystemLibrary = true; }, 6,
         "    1      = System Model Libray,  0: no, 1: yes  "},
        {[](ProgramOptions& o) { o.ScientificFormat = false; }, 7,
         "    0      = scientif data format, 0: no, 1: yes  "},
        {[](ProgramOptions& o) { o.PeriodDecimal = false; }, 8,
         "    1      = decimal point notation, 0: periods, 1: commas "},
        {[](ProgramOptions& o) { o.SavePlotFormat = 4; }, 9,
         "    4      = save plot format, 1: emf, 2: wmf, 3: bmp 4: jpg "},
        {[](ProgramOptions& o) { o.ErrorAsStdDev = true; }, 10,
         "    1      = uncertainties of pars, 0 = % error, 1: variance "},
        {[](ProgramOptions& o) { o.NoiseType = -1; }, 11,
         "   -1         = simulation, type of errors added, -1: none, 0: unity, 1: modulus "},
        {[](ProgramOptions& o) { o.NoiseLevelUnity = 0.05; }, 12,
         "   5.000e-02  = simulation, std error, unity weighting  "},
        {[](ProgramOptions& o) { o.NoiseLevelModulus = 1250; }, 13,
         "   1.250e+03  = simulation, std error in fraction, modulus "},
        {[](ProgramOptions& o) { o.WhiteBackground = true; }, 14,
         "    1         = background is white, 0 = no,  1: yes "},
    };
    for (const auto& c : cases) {
        ResetProgramState();
        State().Folders.AppFolder = folder.string();
        c.set(State().Options);
        ASSERT_TRUE(WriteOptionFile());
        // The number format of the file ignores the decimal-comma option.
        std::istringstream in(Slurp(OptionFilePath()));
        std::vector<std::string> lines;
        for (std::string l; std::getline(in, l);) lines.push_back(l);
        ASSERT_EQ(lines.size(), 14u);
        EXPECT_EQ(lines[static_cast<size_t>(c.line - 1)], c.text) << "line " << c.line;

        // And the line reads back into the same option.
        const ProgramOptions written = State().Options;
        State().Options = ProgramOptions();
        ASSERT_TRUE(ReadOptionFile());
        const ProgramOptions& o = State().Options;
        EXPECT_EQ(o.SignModeCode, written.SignModeCode) << c.line;
        EXPECT_EQ(o.AutoSignZImag, written.AutoSignZImag) << c.line;
        EXPECT_EQ(o.ReverseZImag, written.ReverseZImag) << c.line;
        EXPECT_EQ(o.Weighting, written.Weighting) << c.line;
        EXPECT_EQ(o.MaxIterations, written.MaxIterations) << c.line;
        EXPECT_EQ(o.MinFreqExponent, written.MinFreqExponent) << c.line;
        EXPECT_EQ(o.MaxFreqExponent, written.MaxFreqExponent) << c.line;
        EXPECT_EQ(o.UseSystemLibrary, written.UseSystemLibrary) << c.line;
        EXPECT_EQ(o.ScientificFormat, written.ScientificFormat) << c.line;
        EXPECT_EQ(o.PeriodDecimal, written.PeriodDecimal) << c.line;
        EXPECT_EQ(o.SavePlotFormat, written.SavePlotFormat) << c.line;
        EXPECT_EQ(o.ErrorAsStdDev, written.ErrorAsStdDev) << c.line;
        EXPECT_EQ(o.NoiseType, written.NoiseType) << c.line;
        EXPECT_DOUBLE_EQ(o.NoiseLevelUnity, written.NoiseLevelUnity) << c.line;
        EXPECT_DOUBLE_EQ(o.NoiseLevelModulus, written.NoiseLevelModulus) << c.line;
        EXPECT_EQ(o.WhiteBackground, written.WhiteBackground) << c.line;
    }
}

TEST_F(OptionFiles, WriterTakesTheDialogValuesAndSetsTheSignCode) {
    opt.onRead = [] {
        State().Options.AutoSignZImag = false;
        State().Options.ReverseZImag = true;
        State().Options.MaxIterations = 12;
    };
    ASSERT_TRUE(WriteOptionFile());
    EXPECT_EQ(State().Options.SignModeCode, 2);
    const std::string t = Slurp(OptionFilePath());
    EXPECT_EQ(t.substr(0, 5), "    2");
    EXPECT_NE(t.find("   12      = max. # of iterations"), std::string::npos);
}

TEST_F(OptionFiles, ReaderRules) {
    ProgramOptions& o = State().Options;
    // Sign code 1 keeps the reverse flag; 2 sets it; 3 clears it.
    o.ReverseZImag = true;
    Parse("1\n");
    EXPECT_TRUE(o.AutoSignZImag);
    EXPECT_TRUE(o.ReverseZImag);
    Parse("3\n");
    EXPECT_FALSE(o.AutoSignZImag);
    EXPECT_FALSE(o.ReverseZImag);
    Parse("2\n");
    EXPECT_FALSE(o.AutoSignZImag);
    EXPECT_TRUE(o.ReverseZImag);

    // Line 8: 1 selects commas, any other value points.
    for (int v : {1, 0, 2, -1}) {
        Parse("1\n1\n10\n-2\n6\n0\n1\n" + std::to_string(v) + "\n");
        EXPECT_EQ(o.PeriodDecimal, v != 1) << v;
    }
}

TEST_F(OptionFiles, HandEditedValuesAreHeldInsideTheDialogRanges) {
    ProgramOptions& o = State().Options;
    Parse("9 x\n7\n30\n0\n99\n5\n5\n5\n9\n5\n4\n-1.0e-01\nnan\n5\n");
    EXPECT_EQ(o.SignModeCode, 3);
    EXPECT_EQ(o.Weighting, 2);
    EXPECT_EQ(o.MaxIterations, 20);
    EXPECT_EQ(o.MinFreqExponent, -1);
    EXPECT_EQ(o.MaxFreqExponent, 8);
    EXPECT_FALSE(o.UseSystemLibrary);
    EXPECT_FALSE(o.ScientificFormat);
    EXPECT_EQ(o.SavePlotFormat, 4);
    EXPECT_EQ(o.NoiseType, 1);
    EXPECT_DOUBLE_EQ(o.NoiseLevelUnity, 0.1);    // negative: kept
    EXPECT_DOUBLE_EQ(o.NoiseLevelModulus, 0.01);  // not a number: kept

    Parse("-5\n-3\n1\n-100\n-2\n0\n0\n0\n0\n0\n-7\n");
    EXPECT_EQ(o.SignModeCode, 1);
    EXPECT_EQ(o.Weighting, 0);
    EXPECT_EQ(o.MaxIterations, 5);
    EXPECT_EQ(o.MinFreqExponent, -6);
    EXPECT_EQ(o.MaxFreqExponent, 3);
    EXPECT_EQ(o.SavePlotFormat, 1);
    EXPECT_EQ(o.NoiseType, -1);
}

TEST_F(OptionFiles, ShortOrBrokenFileKeepsWhatItDoesNotHold) {
    ProgramOptions& o = State().Options;
    o.MaxIterations = 15;
    o.WhiteBackground = true;
    Parse("2 = reverse\nwgt\n");
    EXPECT_EQ(o.SignModeCode, 2);
    EXPECT_EQ(o.Weighting, 1);
    EXPECT_EQ(o.MaxIterations, 15);
    EXPECT_TRUE(o.WhiteBackground);
}

TEST_F(OptionFiles, DecimalCommaInAHandEditedFileReadsAsTheSameNumber) {
    // A file edited where the comma is the decimal separator: 0,05 must not
    // become 0 and 2,5e-02 must not become 2.
    Parse("    2      = reverse the sign of Zim       \n"
          "    0      = wgt, 0: unity, 1: modulus \n"
          "   12      = max. # of iterations (5-20) \n"
          "   -3      = exponent of min. frequency (-6 to 0) \n"
          "    7      = exponent of max. frequency (6 to 7) \n"
          "    1      = System Model Libray,  0: no, 1: yes  \n"
          "    0      = scientif data format, 0: no, 1: yes  \n"
          "    1      = decimal point notation, 0: periods, 1: commas \n"
          "    3      = save plot format, 1: emf, 2: wmf, 3: bmp 4: jpg \n"
          "    1      = uncertainties of pars, 0 = % error, 1: variance \n"
          "    0         = simulation, type of errors added, -1: none, 0: unity, 1: modulus \n"
          "   5,000e-02  = simulation, std error, unity weighting  \n"
          "   2,5e-02  = simulation, std error in fraction, modulus \n"
          "    1         = background is white, 0 = no,  1: yes \n");
    const ProgramOptions& o = State().Options;
    EXPECT_EQ(o.SignModeCode, 2);
    EXPECT_EQ(o.MaxIterations, 12);
    EXPECT_EQ(o.SavePlotFormat, 3);
    EXPECT_DOUBLE_EQ(o.NoiseLevelUnity, 0.05);
    EXPECT_DOUBLE_EQ(o.NoiseLevelModulus, 0.025);
    EXPECT_TRUE(o.WhiteBackground);
}

// The noise levels are written "%12.3le": four significant digits, and an
// exponent of three digits whole (0.1E-300 must not read as 1E-30).
TEST_F(OptionFiles, NoiseLevelsOfEveryMagnitudeReadBack) {
    const double levels[] = {1e-300, 9.99951e299, 0.0, 4.9406564584124654e-324, 0.012345, 2.5e-7};
    for (bool point : {true, false}) {
        for (double level : levels) {
            SCOPED_TRACE(level);
            ProgramOptions& o = State().Options;
            o.PeriodDecimal = point;
            o.NoiseLevelUnity = level;
            o.NoiseLevelModulus = level * 0.5;
            const std::string text = FormatOptionFile();
            o.NoiseLevelUnity = o.NoiseLevelModulus = 7.0;
            Parse(text);
            EXPECT_NEAR(o.NoiseLevelUnity, level, 5e-4 * level) << text;
            EXPECT_NEAR(o.NoiseLevelModulus, level * 0.5, 5e-4 * level * 0.5) << text;
            EXPECT_EQ(o.PeriodDecimal, point);
        }
    }
}

TEST_F(OptionFiles, EveryKindOfLineEndReadsAllFourteenLines) {
    // The option file of the start-up values with weighting 0, 17 iterations
    // and a white background, saved with LF, CR LF and CR alone.
    std::string lf = kDefaultOptionFile;
    lf.replace(lf.find("    1      = wgt"), 5, "    0");
    lf.replace(lf.find("   10      = max."), 5, "   17");
    lf.replace(lf.rfind("    0         = background"), 5, "    1");
    for (const char* end : {"\n", "\r\n", "\r"}) {
        SCOPED_TRACE(end[0] == '\n' ? "LF" : end[1] ? "CR LF" : "CR");
        std::string text;
        for (char ch : lf) {
            if (ch == '\n') text += end;
            else text += ch;
        }
        ResetProgramState();
        Parse(text);
        const ProgramOptions& o = State().Options;
        EXPECT_EQ(o.Weighting, 0);
        EXPECT_EQ(o.MaxIterations, 17);
        EXPECT_DOUBLE_EQ(o.NoiseLevelModulus, 0.01);
        EXPECT_TRUE(o.WhiteBackground);
    }

    // The print-layout file alike.
    std::istringstream print("    5      = left-top      \r"
                             "    0      = left-bottom   \r"
                             "    8      = right-top     \r"
                             "    3      = right-bottom  \r"
                             "    3      = 1: pars + current, 2: two, 3: four \r");
    ParsePrintOptionFile(print);
    ExpectLayout5083(State().Print);
}

TEST_F(OptionFiles, AByteOrderMarkDoesNotCostTheFirstLine) {
    // Saved by an editor that starts UTF-8 files with a byte-order mark.
    State().Options.ReverseZImag = false;
    Parse("\xEF\xBB\xBF    2      = reverse the sign of Zim       \n"
          "    0      = wgt, 0: unity, 1: modulus \n");
    EXPECT_EQ(State().Options.SignModeCode, 2);
    EXPECT_TRUE(State().Options.ReverseZImag);
    EXPECT_EQ(State().Options.Weighting, 0);

    std::istringstream print("\xEF\xBB\xBF    5      = left-top      \n"
                             "    0      = left-bottom   \n"
                             "    8      = right-top     \n"
                             "    3      = right-bottom  \n"
                             "    3      = 1: pars + current, 2: two, 3: four \n");
    ParsePrintOptionFile(print);
    ExpectLayout5083(State().Print);
}

TEST_F(OptionFiles, MissingFileChangesNothing) {
    State().Options.Weighting = 0;
    EXPECT_FALSE(ReadOptionFile());
    EXPECT_FALSE(ReadPrintOptionFile());
    EXPECT_EQ(State().Options.Weighting, 0);
    EXPECT_EQ(opt.shows, 0);
    EXPECT_EQ(plotOpt.shows, 0);
}

TEST_F(OptionFiles, PrintLayoutFile) {
    ASSERT_TRUE(WritePrintOptionFile());
    EXPECT_EQ(plotOpt.reads, 1);
    EXPECT_EQ(PrintOptionFilePath(), folder.string() + "/printopt.cfg");
    EXPECT_EQ(Slurp(PrintOptionFilePath()), kDefaultPrintFile);

    plotOpt.onRead = [] {
        PrintLayout& p = State().Print;
        p.QuadrantItem[1] = 5;
        p.QuadrantItem[2] = 0;
        p.QuadrantItem[3] = 8;
        p.QuadrantItem[4] = 3;
        p.LayoutCode = 3;
        p.PlotsPerPage = 4;
    };
    ASSERT_TRUE(WritePrintOptionFile());
    State().Print = PrintLayout();
    ASSERT_TRUE(ReadPrintOptionFile());
    EXPECT_EQ(plotOpt.shows, 1);
    const PrintLayout& p = State().Print;
    ExpectLayout5083(p);
    EXPECT_EQ(p.PlotsPerPage, 2);  // not kept in the file

    std::istringstream bad("12\n-1\nx\n4\n7\n");
    ParsePrintOptionFile(bad);
    EXPECT_EQ(p.QuadrantItem[1], 8);
    EXPECT_EQ(p.QuadrantItem[2], 0);
    EXPECT_EQ(p.QuadrantItem[3], 8);  // no number: kept
    EXPECT_EQ(p.QuadrantItem[4], 4);
    EXPECT_EQ(p.LayoutCode, 3);
}

TEST_F(OptionFiles, FailedWriteKeepsTheOldFileAndSaysSo) {
    ASSERT_TRUE(WriteOptionFile());
    // Put a folder where the temporary file would go: the write cannot complete.
    const std::string pidTemp = OptionFilePath() + ".tmp";
    fs::create_directories(pidTemp);
    State().Options.MaxIterations = 17;
    EXPECT_FALSE(WriteOptionFile());
    EXPECT_EQ(Slurp(OptionFilePath()), kDefaultOptionFile);
    ASSERT_EQ(services.messages.transcript().size(), 1u);
    EXPECT_NE(services.messages.transcript()[0].text.find("tavriopt.cfg"), std::string::npos);
    fs::remove_all(pidTemp);
}

}  // namespace
