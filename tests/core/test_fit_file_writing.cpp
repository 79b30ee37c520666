// Files a fit writes on its own, many times in a run: written in place, and
// the covariance file's numbers formatted without the C library's slow path
// for all but near-ties. Both must leave exactly the text the plain C calls
// would.
#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "core/CircuitCode.h"
#include "core/ProgramState.h"
#include "core/ResultFiles.h"
#include "core/SafeFile.h"
#include "platform/testing/Doubles.h"
#include "file_test_support.h"

#if defined(__linux__)
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

// The C library's rename, as this program sees it: the test below makes it
// fail on request, as a full or failing disk would. Every other call goes
// through unchanged.
namespace {
const char* g_failRenameTo = nullptr;
}
extern "C" int rename(const char* from, const char* to) {
    if (g_failRenameTo && std::string(to) == g_failRenameTo) {
        errno = EIO;
        return -1;
    }
    return static_cast<int>(::syscall(SYS_renameat, AT_FDCWD, from, AT_FDCWD, to));
}
#endif

using namespace pellucor;
namespace fs = std::filesystem;
using pellucor::filetest::Slurp;

namespace {

std::string OutputFolder(const std::string& name) {
    const std::string dir = std::string(PELLUCOR_TEST_OUTPUT_DIR) + "/fit_file_writing/" + name + "/";
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

TEST(WriteFileAtomically, QuickRewritesLeaveExactlyTheNewTextOrTheOldFile) {
    const std::string dir = OutputFolder("quick");
    const std::string path = dir + "a.var";
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(path, "first text, rather long\nsecond line\n", &error, false)) << error;
    EXPECT_EQ(Slurp(path), "first text, rather long\nsecond line\n");
    ASSERT_TRUE(WriteFileAtomically(path, "short\n", &error, false)) << error;  // shorter: nothing left over
    EXPECT_EQ(Slurp(path), "short\n");
    const std::string longer(10000, 'x');
    ASSERT_TRUE(WriteFileAtomically(path, longer, &error, false)) << error;
    EXPECT_EQ(Slurp(path), longer);
    // Nothing is left beside the file.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);

    // When the new text cannot be written the old file stays as it was: here
    // the temporary file's place is taken by a folder.
    fs::create_directories(path + ".tmp");
    EXPECT_FALSE(WriteFileAtomically(path, "new", &error, false));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(Slurp(path), longer);
    fs::remove_all(path + ".tmp");

    // A missing folder or no name: false with a reason, nothing created.
    error.clear();
    EXPECT_FALSE(WriteFileAtomically(dir + "missing/b.var", "x", &error, false));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(fs::exists(dir + "missing"));
    EXPECT_FALSE(WriteFileAtomically("", "x", &error, false));
}

#if defined(__linux__)
// Whatever step of a quick rewrite fails, the file holds the whole old text
// or the whole new one at every moment, and the result says which: the old
// file is never given up before the new one has its name.
TEST(WriteFileAtomically, AFailedRenameNeverLosesTheOldFile) {
    const std::string dir = OutputFolder("failed_rename");
    const std::string path = dir + "a.var";
    ASSERT_TRUE(WriteFileAtomically(path, "old text\n", nullptr, false));
    // The rename is never reached when the file system swaps the two names
    // in one step; otherwise it fails here.
    g_failRenameTo = path.c_str();
    std::string error;
    const bool written = WriteFileAtomically(path, "new text\n", &error, false);
    g_failRenameTo = nullptr;
    ASSERT_TRUE(fs::exists(path));
    if (written) {
        EXPECT_EQ(Slurp(path), "new text\n");
    } else {
        EXPECT_EQ(Slurp(path), "old text\n");
        EXPECT_FALSE(error.empty());
    }
    EXPECT_FALSE(fs::exists(path + ".tmp"));

    // A first write whose rename fails leaves nothing behind.
    const std::string fresh = dir + "b.var";
    g_failRenameTo = fresh.c_str();
    EXPECT_FALSE(WriteFileAtomically(fresh, "text\n", &error, false));
    g_failRenameTo = nullptr;
    EXPECT_FALSE(fs::exists(fresh));
    EXPECT_FALSE(fs::exists(fresh + ".tmp"));

    // A folder in the file's place stays a folder.
    const std::string folder = dir + "c.var";
    fs::create_directories(folder + "/inner");
    EXPECT_FALSE(WriteFileAtomically(folder, "text\n", &error, false));
    EXPECT_TRUE(fs::is_directory(folder + "/inner"));
    EXPECT_FALSE(fs::exists(folder + ".tmp"));
}
#endif

class CovarianceNumbersTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        // One folder per test: ctest runs the tests side by side.
        const std::string dir =
            OutputFolder(std::string("covariance_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        ProgramState& s = State();
        s.Folders.AppFolder = dir;
        s.Folders.ParFolder = dir + "par/";
        s.Folders.CovarsFolder = dir + "covars/";
        fs::create_directories(s.Folders.CovarsFolder);
        s.Files.DataFileName = dir + "cell.txt";
        s.Circuit.Code = "R(CR)(QR)(QR)(QR)(QR)";  // 15 parameters
        s.Params.ParamCount = ParseCircuitCode(s.Circuit.Code);
        ASSERT_EQ(s.Params.ParamCount, 15);
        for (int k = 1; k <= 15; ++k) {
            s.Params.LnValue[k] = 0.3 * k - 2.0;
            s.Params.Sign[k] = k % 4 == 0 ? -1.0 : 1.0;
            s.Params.Reciprocal[k] = k % 3 == 0;
        }
    }

    // The table rows of the written file, each number as the file has it.
    std::vector<std::vector<std::string>> Fields() {
        std::istringstream in(Slurp(CovarianceFilePath()));
        std::vector<std::vector<std::string>> rows;
        std::string line;
        while (std::getline(in, line)) {
            if (line.size() != 5 + 12 * 15) continue;  // only the table rows
            std::vector<std::string> row;
            for (int j = 0; j < 15; ++j) row.push_back(line.substr(5 + 12 * static_cast<size_t>(j), 12));
            rows.push_back(row);
        }
        return rows;
    }

    static std::string Printf(double v) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%12.2le", v);
        return buf;
    }

    // Writes the matrix and compares every number with printf's text of
    // the same value (the normalised table with the values as evaluated).
    void CheckAgainstPrintf(const Matrix<double>& c, double chi2dof) {
        ASSERT_TRUE(WriteCovarianceFile(c, chi2dof));
        const std::vector<std::vector<std::string>> rows = Fields();
        ASSERT_EQ(rows.size(), 30u);
        const ParamSet& ps = State().Params;
        double v[16];
        for (int k = 1; k <= 15; ++k) {
            v[k] = std::exp(ps.LnValue[k]) * ps.Sign[k];
            if (ps.Reciprocal[k]) v[k] = 1.0 / v[k];
        }
        for (int i = 1; i <= 15; ++i)
            for (int j = 1; j <= 15; ++j) {
                const size_t r = static_cast<size_t>(i - 1), col = static_cast<size_t>(j - 1);
                EXPECT_EQ(rows[r][col], Printf(chi2dof * c[i][j])) << c[i][j];
                EXPECT_EQ(rows[15 + r][col], Printf(chi2dof * c[i][j] / (v[i] * v[j]))) << c[i][j];
            }
    }

    platform::testing::ScopedServices services;
};

TEST_F(CovarianceNumbersTest, TiesBoundsAndSpecialValuesAsPrintfWritesThem) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<double> values = {
        0.0, -0.0, 1.0, -1.0, 1.125, 1.135, 2.675, 9.995, 9.994999, 9.9951, 999.5, 0.9995, 99.95, 1.005,
        1e22, 1e23, 1e-22, 1e-23, 5e-324, 2.2250738585072014e-308, 1.7976931348623157e308, 1e-300, 1e300,
        9.999e99, 9.996e99, 1.0e100, 1.234e-100, -6.5e-5, 12345.0, 0.5, 0.0125, 0.0135, 3.0e-17, 7.25e12,
        inf, -inf, nan, 1.0 / 3.0, -2.0 / 3.0, 8.885, 1.0000000000000002, 0.99999999999999989};
    Matrix<double> c(1, MaxParams, 1, MaxParams);
    size_t next = 0;
    for (int i = 1; i <= 15; ++i)
        for (int j = 1; j <= 15; ++j) c[i][j] = values[next++ % values.size()];
    CheckAgainstPrintf(c, 1.0);
}

TEST_F(CovarianceNumbersTest, RandomValuesOverTheWholeRangeAsPrintfWritesThem) {
    std::mt19937_64 gen(2026);
    std::uniform_real_distribution<double> mantissa(1.0, 10.0), exponent(-300.0, 300.0);
    Matrix<double> c(1, MaxParams, 1, MaxParams);
    for (int round = 0; round < 40; ++round) {
        for (int i = 1; i <= 15; ++i)
            for (int j = 1; j <= 15; ++j) {
                double x = mantissa(gen) * std::pow(10.0, std::floor(exponent(gen) / (round % 4 == 0 ? 1.0 : 20.0)));
                if (gen() & 1) x = -x;
                if (round % 5 == 1) x = std::round(x * 1000.0) / 1000.0 + 0.0005;  // near decimal ties
                c[i][j] = x;
            }
        CheckAgainstPrintf(c, round % 3 == 0 ? 1.0 : 0.37);
    }
}

// While a run holds its files the covariance text is made only when the file
// is written: it must still show the matrix, the values and the chi-squared
// of the last estimate as they were when it was made, not as they are when
// the run ends, and a reader during the run gets that text at once.
TEST_F(CovarianceNumbersTest, HeldFileShowsTheLastEstimateAsItWasMade) {
    Matrix<double> c(1, MaxParams, 1, MaxParams), later(1, MaxParams, 1, MaxParams);
    for (int i = 1; i <= 15; ++i)
        for (int j = 1; j <= 15; ++j) {
            c[i][j] = 1.5 * i - 0.25 * j;
            later[i][j] = -7.0;
        }
    const double ln4 = State().Params.LnValue[4];
    std::string readDuring;
    {
        const HoldFileWrites hold;
        ASSERT_TRUE(WriteCovarianceFile(later, 9.0));  // replaced by the next estimate
        ASSERT_TRUE(WriteCovarianceFile(c, 2.0));
        // What changes after the estimate must not reach its text.
        c[2][3] = 1e9;
        State().Params.LnValue[4] = 5.0;
        ASSERT_TRUE(ReadWholeFile(CovarianceFilePath(), &readDuring));
        c[3][3] = 4e9;
        ASSERT_TRUE(WriteCovarianceFile(later, 3.0));
        ASSERT_TRUE(WriteCovarianceFile(c, 2.0));
        c[2][3] = 1.5 * 2 - 0.25 * 3;
        c[3][3] = 1.5 * 3 - 0.25 * 3;
        State().Params.LnValue[4] = ln4;
    }
    const std::string written = Slurp(CovarianceFilePath());
    // The reader saw the first estimate, the file has the last one: the same
    // but for the two changed entries and the value of parameter 4.
    const std::vector<std::vector<std::string>> rows = Fields();
    ASSERT_EQ(rows.size(), 30u);
    EXPECT_EQ(rows[2][2], Printf(2.0 * 4e9));
    EXPECT_EQ(rows[1][2], Printf(2.0 * 1e9));
    EXPECT_EQ(rows[0][0], Printf(2.0 * 1.25));
    const double v4 = -std::exp(5.0);  // parameter 4 is negative, not inverted
    const double v1 = std::exp(State().Params.LnValue[1]);
    EXPECT_EQ(rows[15 + 3][0], Printf(2.0 * c[4][1] / (v4 * v1)));
    EXPECT_NE(readDuring, written);
    EXPECT_NE(readDuring.find(Printf(2.0 * 1.25)), std::string::npos);
    EXPECT_EQ(readDuring.find(Printf(2.0 * 4e9)), std::string::npos);
}

}  // namespace
