#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/ExportTables.h"
#include "core/ProgramState.h"
#include "platform/testing/Doubles.h"
#include "file_test_support.h"

using namespace pellucor;
namespace fs = std::filesystem;
using pellucor::filetest::Slurp;

namespace {

const fs::path kExpected = fs::path(PELLUCOR_TEST_DATA_DIR) / "exports";
const fs::path kOut = fs::path(PELLUCOR_TEST_OUTPUT_DIR) / "export_tables";

class ExportTables : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        // Two points: (3, 4) and (6, 8) at 1 kHz, (8, -6) and (1, 1) at 10 Hz
        // (measured and calculated; imaginary parts as stored).
        SpectrumBlock& s = State().Spectrum;
        s.PointCount = 2;
        const double f[] = {1000, 10}, a[] = {3, 8}, b[] = {4, -6}, c[] = {6, 1}, d[] = {8, 1};
        for (int i = 1; i <= 2; ++i) {
            s.Frequency[i] = f[i - 1];
            s.Omega[i] = TwoPi * f[i - 1];
            s.ZReal[i] = a[i - 1];
            s.ZImag[i] = b[i - 1];
            s.ZRealCalc[i] = c[i - 1];
            s.ZImagCalc[i] = d[i - 1];
        }
        fs::create_directories(kOut);
    }
    void SetCase(const std::string& content) {
        RunState& run = State().Run;
        run.SimulateMode = content == "calculated" || content == "nothing";
        run.ResultsComputed = content == "calculated" || content == "both";
    }
    platform::testing::ScopedServices services;  // clock: 12/10/2026 14:05:09
};

TEST_F(ExportTables, EveryKindInEveryCaseMatchesItsExpectedFile) {
    for (int kind = 1; kind <= ExportKindCount; ++kind) {
        for (bool conductive : {true, false}) {
            // Only kinds 2 to 5 depend on the presentation.
            const bool dielectricOwn = kind >= 2 && kind <= 5;
            for (const char* content : {"both", "measured", "calculated"}) {
                State().Run.ConductiveSystem = conductive;
                SetCase(content);
                const std::string name = "kind" + std::to_string(kind) + "_" + content +
                                         (!conductive && dielectricOwn ? "_dielectric" : "") + ".txt";
                const fs::path out = kOut / name;
                fs::remove(out);
                ASSERT_TRUE(ExportPlotData(out.string(), kind)) << name;
                EXPECT_EQ(Slurp(out), Slurp(kExpected / name))
                    << name << (conductive ? " conductive" : " dielectric");
            }
        }
    }
    EXPECT_TRUE(services.messages.transcript().empty());
}

TEST_F(ExportTables, SimulateModeBeforeAnythingWasComputedGivesTheHeaderOnly) {
    SetCase("nothing");
    const fs::path out = kOut / "kind1_nothing.txt";
    ASSERT_TRUE(ExportPlotData(out.string(), 1));
    EXPECT_EQ(Slurp(out), Slurp(kExpected / "kind1_nothing.txt"));
}

TEST_F(ExportTables, AlwaysDecimalPointButDateFollowsTheOption) {
    State().Options.PeriodDecimal = false;
    SetCase("measured");
    const std::string t = FormatExportTable(1);
    EXPECT_EQ(t.substr(0, t.find('\n', t.find('\n') + 1)), "Lumarest\n2026.12.10, 14:05:09");
    EXPECT_NE(t.find("   1.000000e+03    3.000000e+00    4.000000e+00 \n"), std::string::npos);
}

TEST_F(ExportTables, NoPointsShowMessage30AndWriteNothing) {
    State().Spectrum.PointCount = 0;
    const fs::path out = kOut / "empty.txt";
    fs::remove(out);
    EXPECT_FALSE(ExportPlotData(out.string(), 1));
    EXPECT_FALSE(fs::exists(out));
    ASSERT_EQ(services.messages.transcript().size(), 1u);
    EXPECT_EQ(services.messages.transcript()[0].text, "No data points.");
    EXPECT_EQ(services.messages.transcript()[0].caption, "Cannot save.");
}

TEST_F(ExportTables, ConvertedDataFile) {
    const fs::path out = kOut / "converted.txt";
    // Impedance data become capacitances, with decimal commas when chosen.
    State().Options.PeriodDecimal = false;
    ASSERT_TRUE(SaveConvertedData(out.string()));
    EXPECT_EQ(Slurp(out), Slurp(kExpected / "converted_commas.txt"));

    // Data read as capacitances are held as impedances: those are written back.
    State().Options.PeriodDecimal = true;
    State().Run.ReadCData = true;
    EXPECT_EQ(FormatConvertedData(),
              "   1.000000e+03    3.000000e+00     4.000000e+00 \n"
              "   1.000000e+01    8.000000e+00    -6.000000e+00 \n");
    // In simulate mode the calculated pairs are the source.
    State().Run.SimulateMode = true;
    EXPECT_EQ(FormatConvertedData(),
              "   1.000000e+03    6.000000e+00     8.000000e+00 \n"
              "   1.000000e+01    1.000000e+00     1.000000e+00 \n");
}

TEST_F(ExportTables, WriterCreatesItsFolderOrSaysItCannot) {
    const fs::path folder = kOut / "new folder" / "deeper";
    fs::remove_all(kOut / "new folder");
    ASSERT_TRUE(ExportPlotData((folder / "z.txt").string(), 1));
    EXPECT_TRUE(fs::exists(folder / "z.txt"));

    // A folder that cannot exist (its parent is a file): a message, no file.
    const fs::path blocker = kOut / "blocker";
    { std::ofstream(blocker) << "x"; }
    EXPECT_FALSE(ExportPlotData((blocker / "sub" / "z.txt").string(), 1));
    ASSERT_EQ(services.messages.transcript().size(), 1u);
    EXPECT_NE(services.messages.transcript()[0].text.find("z.txt"), std::string::npos);
    EXPECT_EQ(Slurp(blocker), "x");
}

TEST_F(ExportTables, ReplacingAnExistingTableLeavesNoTemporaryFiles) {
    const fs::path out = kOut / "replace" / "table.txt";
    fs::remove_all(out.parent_path());
    fs::create_directories(out.parent_path());
    { std::ofstream(out) << "old contents that are much longer than nothing at all\n"; }
    SetCase("measured");
    ASSERT_TRUE(ExportPlotData(out.string(), 7));
    EXPECT_EQ(Slurp(out), Slurp(kExpected / "kind7_measured.txt"));
    int files = 0;
    for (const auto& e : fs::directory_iterator(out.parent_path())) {
        (void)e;
        ++files;
    }
    EXPECT_EQ(files, 1);
}

}  // namespace
