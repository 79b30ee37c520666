// The order-scan summary (.sum) and the measured plus extrapolated spectrum
// (.ext): byte for byte against hand-made files in both decimal modes, the
// .ext file read back by the data reader, and the save command's choices.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "core/DataReader.h"
#include "core/file_test_support.h"
#include "kk/OrderScan.h"
#include "kk/TailExtrapolation.h"
#include "kk_test_support.h"
#include "platform/testing/Doubles.h"

namespace pellucor {
namespace {

namespace fs = std::filesystem;
using filetest::Slurp;
using platform::MsgResult;

class KkFiles : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        kk::ClearTailSystemCache();
        services_.clock.now = platform::DateTime{2026, 3, 5, 9, 7, 2, 480};
        dir_ = fs::path(PELLUCOR_TEST_OUTPUT_DIR) /
               ("kk_files_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    static std::string Expected(const char* name) {
        return Slurp(fs::path(PELLUCOR_TEST_DATA_DIR) / "kk" / name);
    }

    platform::testing::ScopedServices services_;
    fs::path dir_;
};

const kk::OrderScanEntry kEntries[5] = {
    {"6DUO", 10.0213, 1.2346e-6, 3.5e-4},   {"5DUO", 9.98765, 2.5e-5, 1.25e-3},
    {"7DUO", 10.5, 7.75e-5, 0.0625},        {"4DUO", 12.0, 0.001, 0.5},
    {"8DUO", 123456.0, 1.0, 2.0},
};

TEST_F(KkFiles, TheSummaryMatchesTheHandMadeFileInBothDecimalModes) {
    struct Case {
        bool periodDecimal;
        const char* expected;
    };
    for (const Case& c : {Case{true, "summary_point.sum"}, Case{false, "summary_comma.sum"}}) {
        SCOPED_TRACE(c.expected);
        ProgramState& st = State();
        st.Options.PeriodDecimal = c.periodDecimal;
        st.Folders.AppFolder = dir_.string() + "/";
        fs::create_directories(dir_ / "temp");
        st.Files.SummaryFileName = (dir_ / "temp" / "cell 7.sum").string();
        ASSERT_TRUE(kk::WriteSummaryFile(kEntries, 5));
        EXPECT_EQ(Slurp(st.Files.SummaryFileName), Expected(c.expected));
    }
}

void FillFourPoints() {
    SpectrumBlock& sp = State().Spectrum;
    const double rows[4][3] = {
        {1000, 12.5, 3.25}, {0.5, 100.125, -0.0125}, {0.001, 1234567.0, 0.0}, {2.5e-5, 7.0, 123.0}};
    for (int i = 1; i <= 4; ++i) {
        sp.Frequency[i] = rows[i - 1][0];
        sp.Omega[i] = TwoPi * rows[i - 1][0];
        sp.ZReal[i] = rows[i - 1][1];
        sp.ZImag[i] = rows[i - 1][2];
    }
    sp.FilePointCount = 2;  // two measured, two appended
    sp.ExtendedPointCount = sp.PointCount = 4;
    sp.ZReal[5] = 99;       // beyond the count: not written
}

TEST_F(KkFiles, TheExtendedDataMatchTheHandMadeFileInBothDecimalModes) {
    struct Case {
        bool periodDecimal;
        const char* expected;
    };
    for (const Case& c : {Case{true, "extended_point.ext"}, Case{false, "extended_comma.ext"}}) {
        SCOPED_TRACE(c.expected);
        FillFourPoints();
        State().Options.PeriodDecimal = c.periodDecimal;
        const std::string path = (dir_ / c.expected).string();
        ASSERT_TRUE(kk::WriteExtrapolatedData(path, 4));
        EXPECT_EQ(Slurp(path), Expected(c.expected));
    }
}

TEST_F(KkFiles, TheDataReaderReadsTheExtendedDataBack) {
    State().Extrap.ExtrapDivisor = 100;
    ASSERT_TRUE(kktest::LoadSpectrum(
        [](double w, int) { return std::conj(kktest::RcrImpedance(w, 10, 100, 1e-4)); }, 1e6, 0.1,
        10));
    SpectrumBlock& sp = State().Spectrum;
    State().Extrap.ExtrapolationOrder = 3;
    ASSERT_TRUE(kk::SolveTailPolynomials(10.0));
    kk::AppendExtrapolatedPoints(State().Extrap.TailCoefficients);
    sp.PointCount = sp.ExtendedPointCount;
    const int n = sp.PointCount;
    ASSERT_GT(n, sp.FilePointCount);
    const SpectrumBlock written = sp;
    State().Options.PeriodDecimal = false;  // decimal commas
    const std::string path = (dir_ / "cell, 3DUO.ext").string();
    ASSERT_TRUE(kk::WriteExtrapolatedData(path, n));

    ASSERT_EQ(ReadImpedanceData(path), 0);
    EXPECT_EQ(sp.FilePointCount, n);  // appended points now count as measured
    for (int i = 1; i <= n; ++i) {
        EXPECT_NEAR(sp.Frequency[i], written.Frequency[i], 1e-6 * written.Frequency[i]) << i;
        EXPECT_NEAR(sp.ZReal[i], written.ZReal[i], 1e-6 * std::fabs(written.ZReal[i])) << i;
        EXPECT_NEAR(sp.ZImag[i], written.ZImag[i], 1e-6 * std::fabs(written.ZImag[i]) + 1e-12) << i;
    }
}

class KkSave : public KkFiles {
protected:
    void SetUp() override {
        KkFiles::SetUp();
        ProgramState& st = State();
        FillFourPoints();
        st.Folders.AppFolder = dir_.string() + "/";
        st.Folders.DataFolder = (dir_ / "data").string();  // no trailing slash yet
        fs::create_directories(dir_ / "data");
        fs::create_directories(dir_ / "elsewhere");
        st.Files.DataFileName = (dir_ / "cell 7.dat").string();
        st.Extrap.ExtrapolationOrder = 6;
        st.Extrap.ExtrapDivisor = 100;
        hooks_.openDataFile = [this](const std::string& p) { opened_.push_back(p); };
        hooks_.setCaption = [this](const std::string& c) { captions_.push_back(c); };
    }
    kk::SaveExtrapolatedHooks hooks_;
    std::vector<std::string> opened_, captions_;
};

TEST_F(KkSave, NothingToSaveGivesTheNumberedInstruction) {
    struct Case {
        bool extrapolatedView;
        int pointCount;
        const char* text;
    };
    for (const Case& c : {Case{true, 4, "Add extrapolated points."}, Case{false, 2, "Apply Kramers-Kronig."}}) {
        SCOPED_TRACE(c.text);
        services_.messages.clear();
        State().Run.ExtrapolatedView = c.extrapolatedView;
        State().Spectrum.PointCount = c.pointCount;
        kk::SaveExtrapolatedData(hooks_);
        ASSERT_EQ(services_.messages.transcript().size(), 1u);
        EXPECT_EQ(services_.messages.transcript()[0].text, c.text);
        EXPECT_EQ(services_.messages.transcript()[0].caption, "Instruction");
    }
    EXPECT_TRUE(opened_.empty());
}

TEST_F(KkSave, YesSavesUnderTheProposedNameBesideTheDataAndLoadsIt) {
    services_.messages.Answer(MsgResult::Yes);
    kk::SaveExtrapolatedData(hooks_);
    const std::string proposed = (dir_ / "cell 7, 6DUO.ext").string();
    ASSERT_EQ(services_.messages.transcript().size(), 1u);
    EXPECT_EQ(services_.messages.transcript()[0].text, "Save with this filename?");
    EXPECT_EQ(services_.messages.transcript()[0].caption, "...cell 7, 6DUO.ext");
    EXPECT_EQ(State().Files.ExtFileName, proposed);
    EXPECT_EQ(State().Files.SelectedSpecName, "6DUO");
    EXPECT_EQ(Slurp(proposed), Expected("extended_point.ext"));
    EXPECT_EQ(opened_, std::vector<std::string>{proposed});
    EXPECT_EQ(captions_, std::vector<std::string>{"...cell 7, 6DUO.ext - Lumarest"});
    EXPECT_FALSE(State().Run.ExtrapolatedView);
}

TEST_F(KkSave, NoOffersTheSaveDialogAndACancelStillSavesInTheDataFolder) {
    services_.messages.Answer(MsgResult::No);
    services_.fileDialogs.AnswerSave(std::nullopt);
    kk::SaveExtrapolatedData(hooks_);
    ASSERT_EQ(services_.fileDialogs.requests.size(), 1u);
    EXPECT_EQ(services_.fileDialogs.requests[0].title, "Save extrapolated data");
    EXPECT_EQ(services_.fileDialogs.requests[0].initialDir, (dir_ / "data").string() + "/");
    EXPECT_EQ(services_.fileDialogs.requests[0].fileName, "cell 7, 6DUO.ext");
    const std::string saved = (dir_ / "data" / "cell 7, 6DUO.ext").string();
    EXPECT_EQ(State().Files.ExtFileName, saved);
    EXPECT_TRUE(fs::exists(saved));
    EXPECT_EQ(opened_, std::vector<std::string>{saved});
    EXPECT_TRUE(captions_.empty());
}

// The person declined the proposed name and then cancelled the dialog: a file
// already standing under the name a cancel saves to (an earlier save of this
// spectrum) is never replaced, and nothing is loaded.
TEST_F(KkSave, ACancelNeverReplacesAFileAlreadyThere) {
    const std::string earlier = (dir_ / "data" / "cell 7, 6DUO.ext").string();
    std::ofstream(earlier, std::ios::binary) << "earlier extrapolation\n";
    const SpectrumBlock before = State().Spectrum;
    services_.messages.Answer(MsgResult::No);
    services_.fileDialogs.AnswerSave(std::nullopt);
    kk::SaveExtrapolatedData(hooks_);
    EXPECT_EQ(Slurp(earlier), "earlier extrapolation\n");
    EXPECT_TRUE(opened_.empty());
    EXPECT_EQ(State().Spectrum.PointCount, before.PointCount);
}

TEST_F(KkSave, NoWithAChosenNameSavesThere) {
    const std::string chosen = (dir_ / "elsewhere" / "mine.ext").string();
    services_.messages.Answer(MsgResult::No);
    services_.fileDialogs.AnswerSave(chosen);
    kk::SaveExtrapolatedData(hooks_);
    EXPECT_EQ(State().Files.ExtFileName, chosen);
    EXPECT_EQ(Slurp(chosen), Expected("extended_point.ext"));
    EXPECT_EQ(opened_, std::vector<std::string>{chosen});
    ASSERT_EQ(captions_.size(), 1u);
}

// The saved spectrum is opened at once as the current data: under every sign
// option and with capacitance data being read it must be the spectrum that
// was saved, not its mirror image (reversed-sign option), not taken for
// capacitances, and not turned over by the sign detection because the
// low-frequency points of an inductive loop outnumber the others.
TEST_F(KkSave, TheSavedSpectrumOpensAsItWasUnderEverySignAndDataOption) {
    struct Case {
        bool autoSign, reverse, readC;
        int inductive;  // points with stored Z'' below zero
    } cases[] = {
        {true, false, false, 4},  {false, true, false, 4}, {false, false, false, 4},
        {true, true, false, 4},   {true, false, true, 4},  {false, true, true, 4},
        {true, false, false, 14},
    };
    hooks_.openDataFile = [this](const std::string& p) {
        opened_.push_back(p);
        ASSERT_EQ(ReadImpedanceData(p), 0);
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.autoSign ? "detect " : "") + (c.reverse ? "reverse " : "") +
                     (c.readC ? "capacitance data " : "") + std::to_string(c.inductive) + " inductive");
        ProgramState& st = State();
        st.Options.AutoSignZImag = c.autoSign;
        st.Options.ReverseZImag = c.reverse;
        st.Run.ReadCData = c.readC;
        st.Run.ExtrapolatedView = false;
        SpectrumBlock& sp = st.Spectrum;
        constexpr int n = 20;
        for (int i = 1; i <= n; ++i) {
            sp.Frequency[i] = 1e5 / (i * i);
            sp.Omega[i] = TwoPi * sp.Frequency[i];
            sp.ZReal[i] = 10.0 + 5.0 * i;
            sp.ZImag[i] = (i > n - c.inductive ? -0.75 : 1.5) * i;
        }
        sp.FilePointCount = 16;  // four appended points
        sp.PointCount = sp.ExtendedPointCount = n;
        const SpectrumBlock saved = sp;
        services_.messages.clear();
        services_.messages.Answer(MsgResult::Yes);
        kk::SaveExtrapolatedData(hooks_);
        ASSERT_EQ(sp.PointCount, n);
        for (int i = 1; i <= n; ++i) {
            EXPECT_NEAR(sp.ZReal[i], saved.ZReal[i], 1e-6 * saved.ZReal[i]) << i;
            EXPECT_NEAR(sp.ZImag[i], saved.ZImag[i], 1e-6 * std::fabs(saved.ZImag[i])) << i;
        }
    }
}

TEST_F(KkSave, AFileThatCannotBeWrittenIsReportedAndNotLoaded) {
    const std::string chosen = (dir_ / "elsewhere" / "mine.ext").string();
    fs::create_directories(chosen);  // a folder stands where the file should go
    services_.messages.Answer(MsgResult::No);
    services_.fileDialogs.AnswerSave(chosen);
    kk::SaveExtrapolatedData(hooks_);
    ASSERT_EQ(services_.messages.transcript().size(), 2u);
    EXPECT_EQ(services_.messages.transcript()[1].caption, "File not saved");
    EXPECT_TRUE(opened_.empty());
}

}  // namespace
}  // namespace pellucor
