#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <locale.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "core/CircuitCode.h"
#include "core/ProgramState.h"
#include "core/ResultFiles.h"
#include "core/SafeFile.h"
#include "core/WindowHooks.h"
#include "platform/testing/Doubles.h"
#include "FileSizeLimit.h"
#include "file_test_support.h"

using namespace pellucor;
namespace fs = std::filesystem;
using pellucor::filetest::Slurp;
using pellucor::platform::testing::ScopedServices;

namespace {

void Spit(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

std::string Golden(const std::string& name) { return Slurp(std::string(PELLUCOR_TEST_DATA_DIR) + "/results/" + name); }

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) out.push_back(line);
    return out;
}

std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> w;
    for (std::string t; in >> t;) w.push_back(t);
    return w;
}

std::string Join(const std::vector<std::string>& lines) {
    std::string s;
    for (const auto& l : lines) s += l + "\n";
    return s;
}

// The parts of the state a refused file must leave alone.
struct Snapshot {
    std::string code, data, results;
    int paramCount, divisor, maxEval, weighting, signMode, iterationCount, iteration;
    double area, chiSq;
    std::vector<double> values, lns, signs, errors, valueMatrix, startMatrix, chi;
    std::vector<int> kinds, fixed, ndir;

    static Snapshot Take() {
        const ProgramState& s = State();
        Snapshot n;
        n.code = s.Circuit.Code;
        n.data = s.Files.DataFileName;
        n.results = s.Files.ResultsFileName;
        n.paramCount = s.Params.ParamCount;
        n.divisor = s.Fit.ChiSqDivisor;
        n.maxEval = s.Fit.MaxEvaluations;
        n.weighting = s.Options.Weighting;
        n.signMode = s.Options.SignModeCode;
        n.iterationCount = s.History.IterationCount;
        n.iteration = s.History.Iteration;
        n.area = s.Fit.SampleArea;
        n.chiSq = s.Fit.ChiSq;
        for (int i = 0; i <= MaxParams; ++i) n.kinds.push_back(s.Params.Kind[i]);
        for (int i = 1; i <= MaxParams; ++i) {
            n.values.push_back(s.Params.Value[i]);
            n.lns.push_back(s.Params.LnValue[i]);
            n.signs.push_back(s.Params.Sign[i]);
            n.errors.push_back(s.Params.Error[i]);
            n.fixed.push_back(s.Params.Fixed[i]);
        }
        for (int i = 1; i <= HistoryValueSlots; ++i) {
            n.valueMatrix.push_back(s.History.ValueMatrix[i]);
            n.startMatrix.push_back(s.History.StartMatrix[i]);
        }
        for (int i = 0; i < MaxHistory; ++i) {
            n.chi.push_back(s.History.ChiSqPerDof[i]);
            n.ndir.push_back(s.History.Ndir[i]);
        }
        return n;
    }
    bool operator==(const Snapshot&) const = default;
};

class ResultFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        ResetWindows();
        AllocateWorkArrays();
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "_" + info->name();
        for (char& c : name)
            if (c == '/') c = '_';
        root = std::string(PELLUCOR_TEST_OUTPUT_DIR) + "/result_files/" + name;
        fs::remove_all(root);
        app = root + "/app";
        for (const char* sub : {"data", "par", "hist", "covars", "temp"}) fs::create_directories(app + "/" + sub);
        SetFixedFit(true);
    }

    // A finished fit of R(QR) to 40 points, set directly.
    void SetFixedFit(bool pointDecimal) {
        ProgramState& s = State();
        s.Folders.AppFolder = app;
        s.Folders.DataFolder = app + "/data/";
        s.Folders.ParFolder = app + "/par/";
        s.Folders.HistFolder = app + "/hist/";
        s.Folders.CovarsFolder = app + "/covars/";
        s.Folders.TempFolder = app + "/temp";  // the writers add the separator
        s.Files.DataFileName = dataFile();
        s.Circuit.Code = "R(QR)";
        s.Spectrum.PointCount = 40;
        s.Params.ParamCount = ParseCircuitCode("R(QR)");
        s.Options.AutoSignZImag = true;
        s.Options.ReverseZImag = false;
        s.Options.Weighting = 1;
        s.Options.PeriodDecimal = pointDecimal;
        s.Options.ScientificFormat = pointDecimal;  // the comma files use general notation
        s.Options.ErrorAsStdDev = false;
        s.Fit.SampleArea = 0.5;
        s.Fit.ChiSq = 0.0123456 * 35;
        const double start[] = {10, 1e-5, 0.8, -1000};
        const double end[] = {12.5, 2.5e-5, 0.85, -1500};
        const double error[] = {1.5, 3.25, 0, 12.3456};
        for (int i = 1; i <= 4; ++i) {
            s.Params.Value[i] = start[i - 1];
            s.Params.LnValue[i] = std::log(std::fabs(end[i - 1]));
            s.Params.Sign[i] = end[i - 1] < 0 ? -1.0 : 1.0;
            s.Params.Error[i] = error[i - 1];
            s.Params.Fixed[i] = i == 3;
        }
        s.Params.Reciprocal[4] = true;

        IterationHistory& h = s.History;
        h.IterationCount = 3;
        h.Iteration = 3;
        const int ndir[] = {4, 4, 3, 2};
        const double chi[] = {1.5, 0.25, 0.0125, 0.0123456};
        const char* st[] = {"14:01:02:100", "14:01:30:200", "14:02:10:300", "14:03:00:400"};
        const char* en[] = {"14:01:30:150", "14:02:10:250", "14:03:00:350", "14:05:09:250"};
        const double minima[4][4] = {
            {10, 11.5, 12.25, 12.5}, {1e-5, 2e-5, 2.4e-5, 2.5e-5}, {0.8, 0.8, 0.85, 0.85}, {-1000, -1200, -1450, -1500}};
        const double starts[4][4] = {
            {9, 10, 11.5, 12.25}, {1e-5, 1e-5, 2e-5, 2.4e-5}, {0.8, 0.8, 0.8, 0.85}, {-1000, -1000, -1200, -1450}};
        for (int i = 0; i <= 3; ++i) {
            h.Ndir[i] = ndir[i];
            h.ChiSqPerDof[i] = chi[i];
            h.StartTime[i] = st[i];
            h.EndTime[i] = en[i];
            for (int j = 1; j <= 4; ++j) {
                h.ValueMatrix[i * 15 + j] = minima[j - 1][i];
                h.StartMatrix[i * 15 + j] = starts[j - 1][i];
            }
        }
        h.ElapsedText = "04:07:150";
    }

    Matrix<double> FixedCovariance() {
        Matrix<double> c(1, MaxParams, 1, MaxParams);
        c.fill(0.0);
        c[1][1] = 0.04;
        c[1][2] = c[2][1] = -1e-8;
        c[1][4] = c[4][1] = 2e-3;
        c[2][2] = 4e-12;
        c[2][4] = c[4][2] = 1e-9;
        c[4][4] = 20.0;
        return c;
    }

    std::string dataFile() const { return app + "/data/cell 3.txt"; }
    std::string parFile() const { return app + "/par/cell 3, R(QR).par"; }

    ScopedServices services;
    std::string root, app;
};

// ---- golden files ---------------------------------------------------------

TEST_F(ResultFilesTest, WritersMatchGoldenFilesInBothDecimalModes) {
    for (bool point : {true, false}) {
        SCOPED_TRACE(point ? "decimal point" : "decimal comma");
        SetFixedFit(point);
        const std::string tag = point ? "point" : "comma";

        ASSERT_TRUE(WriteParameterFile(dataFile(), parFile()));
        EXPECT_EQ(Slurp(parFile()), Golden("fixed_fit_" + tag + ".par"));

        ASSERT_TRUE(WriteHistoryFile(parFile()));
        EXPECT_EQ(HistoryFilePath(parFile()), app + "/hist/cell 3, R(QR).hst");
        EXPECT_EQ(Slurp(app + "/hist/cell 3, R(QR).hst"), Golden("fixed_fit_" + tag + ".hst"));

        ASSERT_TRUE(WriteCovarianceFile(FixedCovariance(), 2.0));
        EXPECT_EQ(Slurp(app + "/covars/cell 3, R(QR).var"), Golden("fixed_fit_" + tag + ".var"));

        ASSERT_TRUE(WriteMinimaMatrix(dataFile(), "R(QR)"));
        EXPECT_EQ(Slurp(app + "/temp/cell 3, R(QR).mat"), Golden("fixed_fit_" + tag + ".mat"));
        ASSERT_TRUE(WriteStartPointMatrix(dataFile(), "R(QR)"));
        EXPECT_EQ(Slurp(app + "/temp/cell 3, R(QR).ma2"), Golden("fixed_fit_" + tag + ".ma2"));
        EXPECT_TRUE(services.messages.transcript().empty());
    }
}

TEST_F(ResultFilesTest, WritersSetTheNamesAndOptionsTheySave) {
    State().Options.AutoSignZImag = false;
    State().Options.ReverseZImag = true;
    State().Fit.ChiSqDivisor = 7;  // a fit's degrees of freedom; the file uses the parse's
    ASSERT_TRUE(WriteParameterFile(dataFile(), parFile()));
    EXPECT_EQ(State().Options.SignModeCode, 2);
    EXPECT_EQ(State().Files.DataFileName, dataFile());
    EXPECT_EQ(State().Files.ResultsFileName, parFile());
    EXPECT_EQ(State().Fit.ChiSqDivisor, 40 - 4 - 1);
    EXPECT_EQ(Lines(Slurp(parFile()))[3].substr(0, 3), "  2");

    State().Files.ResultsFileName = "elsewhere.par";
    ASSERT_TRUE(WriteCovarianceFile(FixedCovariance(), 1.0));
    EXPECT_EQ(State().Files.ResultsFileName, parFile());
    EXPECT_EQ(CovarianceFilePath(), app + "/covars/cell 3, R(QR).var");

    ASSERT_TRUE(WriteMinimaMatrix(dataFile(), "R(QR)"));
    EXPECT_EQ(State().Files.PrintTitle, "Change of Start Point");
    EXPECT_EQ(State().Folders.TempFolder, app + "/temp/");
    EXPECT_EQ(MinimaMatrixPath(dataFile(), "R(QR)"), app + "/temp/cell 3, R(QR).mat");
    EXPECT_EQ(StartPointMatrixPath(dataFile(), "R(QR)"), app + "/temp/cell 3, R(QR).ma2");
}

TEST_F(ResultFilesTest, VarianceHeaderAndStatisticalWeightingLine) {
    State().Options.ErrorAsStdDev = true;
    State().Options.Weighting = 2;
    ASSERT_TRUE(WriteParameterFile(dataFile(), parFile()));
    const auto lines = Lines(Slurp(parFile()));
    EXPECT_EQ(lines[4], "  2                             = statistical weighting      ");
    EXPECT_EQ(lines[9], "index   fixed    parameter      start               end             variance  ");
}

// ---- parameter file read back ---------------------------------------------

TEST_F(ResultFilesTest, ParameterFileReadsBackInBothDecimalModes) {
    for (bool point : {true, false}) {
        SCOPED_TRACE(point ? "decimal point" : "decimal comma");
        SetFixedFit(point);
        State().Options.Weighting = 2;
        ASSERT_TRUE(WriteParameterFile(dataFile(), parFile()));

        // Another state in between: everything must come from the file.
        ResetProgramState();
        State().Spectrum.PointCount = 40;
        State().Options.PeriodDecimal = true;
        State().Circuit.Code = "R(CR)";
        State().Options.Weighting = 0;
        State().Options.AutoSignZImag = false;
        State().Params.Fixed[3] = false;
        State().Params.Fixed[1] = true;

        ASSERT_EQ(ReadParameterFile("other.txt", parFile()), 1);
        const ProgramState& s = State();
        EXPECT_EQ(s.Files.DataFileName, "other.txt");
        EXPECT_EQ(s.Files.ResultsFileName, parFile());
        EXPECT_EQ(s.Circuit.Code, "R(QR)");
        EXPECT_EQ(s.Options.SignModeCode, 1);
        EXPECT_TRUE(s.Options.AutoSignZImag);
        EXPECT_FALSE(s.Options.ReverseZImag);
        EXPECT_EQ(s.Options.Weighting, 2);
        EXPECT_DOUBLE_EQ(s.Fit.SampleArea, 0.5);
        EXPECT_EQ(s.Params.ParamCount, 4);
        EXPECT_EQ(s.Params.Kind[2], 5);
        EXPECT_EQ(s.Params.Kind[3], 6);
        // chi-squared per degree of freedom in four digits, times the divisor
        EXPECT_NEAR(s.Fit.ChiSq, (point ? 1.235e-2 : 1.235e-2) * 35, 1e-12);
        const double end[] = {12.5, 2.5e-5, 0.85, -1500};
        const double start[] = {10, 1e-5, 0.85, -1000};  // row 3 has no error: its end value
        const double error[] = {1.5, 3.25, 0, point ? 12.3 : 12.35};
        for (int i = 1; i <= 4; ++i) {
            SCOPED_TRACE(i);
            EXPECT_NEAR(std::exp(s.Params.LnValue[i]) * s.Params.Sign[i], end[i - 1], 1e-9 * std::fabs(end[i - 1]));
            EXPECT_NEAR(s.Params.Value[i], start[i - 1], 1e-9 * std::fabs(start[i - 1]));
            EXPECT_NEAR(s.Params.Error[i], error[i - 1], 1e-12);
            EXPECT_EQ(s.Params.Fixed[i], i == 3);
        }
        EXPECT_EQ(s.Params.Sign[4], -1.0);
        EXPECT_TRUE(services.messages.transcript().empty());
    }
}

// Every value a parameter row can hold comes back in the digits its notation
// keeps: four significant digits for start and end values (exponent notation
// with three exponent digits, or general notation), and for the error four
// significant digits in general notation or, with the scientific format,
// three significant digits and at most two decimals. Three-digit exponents
// keep their third digit, signs survive, and an error that is no number stays
// one. The chi-squared line keeps four significant digits the same way.
TEST_F(ResultFilesTest, ValuesOfEveryMagnitudeReadBackInEveryNumberFormat) {
    struct Row {
        double start, end, error;
    } rows[] = {
        {1e-300, 2.5e-30, 1e300},                   // exponents of three digits both ways
        {-1e300, -9.87e-33, 3.5e-30},               // an error of two decimals reads 0
        {0.0, 1.0132e32, 0.004},                    // a start of zero, an end at the limit
        {-1.234567e-5, -7.5e-3, 12345.678},         // general notation switches to exponents
        {9.99951e99, 1e-5, std::nan("")},           // rounds up a decade; an undefined error
        {4.9406564584124654e-324, 0.33333333, -2.5e-7},  // the smallest double
        {123456789.0, 999.96, std::numeric_limits<double>::infinity()},
    };
    const int n = static_cast<int>(std::size(rows));
    const double chiSqPerDof[] = {1e-300, 9.99951e299, 0.0, 3.0e-5};
    int chiCase = 0;
    for (bool point : {true, false}) {
        for (bool scientific : {true, false}) {
            SCOPED_TRACE(std::string(point ? "decimal point" : "decimal comma") +
                         (scientific ? ", scientific" : ", general"));
            SetFixedFit(point);
            ProgramState& s = State();
            s.Options.ScientificFormat = scientific;
            s.Circuit.Code = "R(CR)(CR)(CR)";  // 7 parameters, one per row
            s.Spectrum.PointCount = 40;
            ASSERT_EQ(ParseCircuitCode(s.Circuit.Code), n);
            const double chi = chiSqPerDof[chiCase++];
            s.Fit.ChiSq = chi * s.Fit.ChiSqDivisor;
            for (int i = 1; i <= n; ++i) {
                const Row& r = rows[i - 1];
                s.Params.Value[i] = r.start;
                s.Params.LnValue[i] = std::log(std::fabs(r.end));
                s.Params.Sign[i] = r.end < 0 ? -1.0 : 1.0;
                s.Params.Error[i] = r.error;
                s.Params.Fixed[i] = i % 2 == 0;
            }
            ASSERT_TRUE(WriteParameterFile(dataFile(), parFile()));
            const std::string text = Slurp(parFile());

            ResetProgramState();
            State().Spectrum.PointCount = 40;
            ASSERT_EQ(ReadParameterFile(dataFile(), parFile()), 1) << text;
            const ParamSet& p = State().Params;
            ASSERT_EQ(p.ParamCount, n);
            EXPECT_NEAR(State().Fit.ChiSq / State().Fit.ChiSqDivisor, chi, 5e-4 * chi) << text;
            for (int i = 1; i <= n; ++i) {
                SCOPED_TRACE("row " + std::to_string(i));
                const Row& r = rows[i - 1];
                const double end = std::exp(p.LnValue[i]) * p.Sign[i];
                EXPECT_NEAR(end, r.end, 5e-4 * std::fabs(r.end)) << text;
                EXPECT_EQ(p.Sign[i], r.end < 0 ? -1.0 : 1.0);
                EXPECT_EQ(p.Fixed[i], i % 2 == 0);
                // No error (below 1e-32): the end value stands in the start column.
                const double start = std::fabs(r.error) < 1e-32 ? r.end : r.start;
                EXPECT_NEAR(p.Value[i], start, 5e-4 * std::fabs(start)) << text;
                EXPECT_EQ(std::signbit(p.Value[i]), std::signbit(start) && start != 0.0);
                if (std::isnan(r.error)) {
                    EXPECT_TRUE(std::isnan(p.Error[i])) << text;
                } else if (std::isinf(r.error)) {
                    EXPECT_EQ(p.Error[i], r.error) << text;
                } else {
                    const double tolerance =
                        scientific ? std::max(0.005, 5e-3 * std::fabs(r.error)) : 5e-4 * std::fabs(r.error);
                    EXPECT_NEAR(p.Error[i], r.error, tolerance) << text;
                }
            }
            EXPECT_TRUE(services.messages.transcript().empty());
        }
    }
}

TEST_F(ResultFilesTest, UndefinedErrorsAndChiSquaredReadBack) {
    // A singular curvature matrix leaves the errors undefined, and a fit with
    // as many points as parameters plus one has no degrees of freedom.
    State().Params.Error[2] = std::nan("");
    State().Spectrum.PointCount = 5;
    ASSERT_TRUE(WriteParameterFile(dataFile(), parFile()));
    const auto lines = Lines(Slurp(parFile()));
    EXPECT_EQ(lines[12].substr(lines[12].size() - 5), " NAN ");
    State().Params.Error[2] = 1.0;
    ASSERT_EQ(ReadParameterFile(dataFile(), parFile()), 1);
    EXPECT_TRUE(std::isnan(State().Params.Error[2]));
    EXPECT_NEAR(State().Params.Value[2], 1e-5, 1e-15);
}

TEST_F(ResultFilesTest, FileWithoutAreaLineReadsWithUnitArea) {
    auto lines = Lines(Golden("fixed_fit_point.par"));
    lines.erase(lines.begin() + 5);  // the area line
    Spit(parFile(), Join(lines));
    State().Fit.SampleArea = 3.0;
    ASSERT_EQ(ReadParameterFile(dataFile(), parFile()), 1);
    EXPECT_DOUBLE_EQ(State().Fit.SampleArea, 1.0);
    EXPECT_EQ(State().Circuit.Code, "R(QR)");
    EXPECT_EQ(State().Params.ParamCount, 4);

    // The import also takes the unit area from such a file.
    State().Fit.SampleArea = 3.0;
    EXPECT_EQ(ReadParameterFileForImport(parFile()), "R(QR)");
    EXPECT_DOUBLE_EQ(State().Fit.SampleArea, 1.0);
}

TEST_F(ResultFilesTest, EveryKindOfLineEndReadsTheSame) {
    // Windows line ends, and CR alone as an older Mac editor saves a file.
    for (const char* end : {"\r\n", "\r"}) {
        SCOPED_TRACE(end[1] ? "CR LF" : "CR");
        ResetProgramState();
        std::string text;
        for (const auto& l : Lines(Golden("fixed_fit_comma.par"))) text += l + end;
        Spit(parFile(), text);
        ASSERT_EQ(ReadParameterFile(dataFile(), parFile()), 1);
        EXPECT_EQ(State().Circuit.Code, "R(QR)");
        EXPECT_NEAR(State().Params.Error[4], 12.35, 1e-12);
    }
}

TEST_F(ResultFilesTest, ImportTakesValuesButKeepsTheCode) {
    ASSERT_TRUE(WriteParameterFile(dataFile(), parFile()));
    ResetProgramState();
    State().Spectrum.PointCount = 20;
    State().Circuit.Code = "R(CR)";
    State().Fit.SampleArea = 2.0;
    ParseCircuitCode("R(CR)");

    EXPECT_EQ(ReadParameterFileForImport(parFile()), "R(QR)");
    const ProgramState& s = State();
    EXPECT_EQ(s.Circuit.Code, "R(CR)");
    EXPECT_DOUBLE_EQ(s.Fit.SampleArea, 2.0);  // a file with an area line leaves the area
    EXPECT_EQ(s.Params.ParamCount, 4);
    EXPECT_EQ(s.Params.Kind[2], 5);
    EXPECT_EQ(s.Fit.ChiSqDivisor, 20 - 5);
    EXPECT_NEAR(s.Fit.ChiSq, 1.235e-2 * 15, 1e-12);
    const double magnitude[] = {12.5, 2.5e-5, 0.85, 1500};
    for (int i = 1; i <= 4; ++i) {
        EXPECT_NEAR(s.Params.Value[i], magnitude[i - 1], 1e-9 * magnitude[i - 1]) << i;
        EXPECT_EQ(s.Params.Sign[i], i == 4 ? -1.0 : 1.0) << i;
        EXPECT_EQ(s.Params.Fixed[i], i == 3) << i;
    }
    EXPECT_NEAR(s.Params.Error[2], 3.25, 1e-12);
    EXPECT_EQ(s.Params.LnValue[1], 0.0);  // the import leaves the end values alone
}

// ---- damaged parameter files ------------------------------------------------

TEST_F(ResultFilesTest, DamagedParameterFilesAreRefusedAndChangeNothing) {
    const auto good = Lines(Golden("fixed_fit_point.par"));
    struct Case {
        const char* name;
        std::vector<std::string> lines;
    };
    std::vector<Case> cases;
    auto with = [&](int index, const std::string& text) {
        auto l = good;
        l[static_cast<size_t>(index)] = text;
        return l;
    };
    cases.push_back({"header only", {good.begin(), good.begin() + 6}});
    cases.push_back({"missing last row", {good.begin(), good.begin() + 14}});
    cases.push_back({"missing closing line", {good.begin(), good.begin() + 15}});
    cases.push_back({"invalid code", with(6, "R(QR")});
    cases.push_back({"code with a digit", with(6, "R(Q2R)")});
    cases.push_back({"too many parameters", with(6, "RRRRRRRRRRRRRRRR")});
    cases.push_back({"overlong code word", with(6, std::string(300, 'R'))});
    cases.push_back({"unknown weighting", with(4, "  7                             = ??")});
    cases.push_back({"sign line without a number", with(3, "x")});
    cases.push_back({"chi-squared without a number", with(7, "chi")});
    cases.push_back({"row number does not scan", with(12, "    2       0        Q-Yo     1.000E-005     2.5x0E-005           3.25 ")});
    cases.push_back({"row too short", with(13, "    3       1         Q-n")});
    {
        auto l = good;
        l.insert(l.begin() + 15, "    5       0          R      1.000E+001     1.250E+001           1.50 ");
        cases.push_back({"more rows than parameters", l});
    }
    cases.push_back({"empty file", {}});
    {
        // A lower-case code names its parameters like the upper-case one, so
        // a file without its rows is no parameter file.
        auto l = with(6, "r(qr)");
        l.erase(l.begin() + 11, l.begin() + 15);
        cases.push_back({"lower-case code without its rows", l});
    }
    cases.push_back({"rows of another code", with(6, "r(cr)")});

    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Spit(parFile(), Join(c.lines));
        services.messages.clear();
        const Snapshot before = Snapshot::Take();
        EXPECT_EQ(ReadParameterFile("d.txt", parFile()), 0);
        EXPECT_TRUE(Snapshot::Take() == before);
        ASSERT_EQ(services.messages.transcript().size(), 1u);
        EXPECT_EQ(services.messages.transcript()[0].caption, ReadRefusedCaption);
        EXPECT_NE(services.messages.transcript()[0].text.find(parFile()), std::string::npos);

        services.messages.clear();
        EXPECT_EQ(ReadParameterFileForImport(parFile()), "");
        EXPECT_TRUE(Snapshot::Take() == before);
        EXPECT_EQ(services.messages.transcript().size(), 1u);
    }
}

TEST_F(ResultFilesTest, LowerCaseCodeReadsAsItsUpperCase) {
    auto lines = Lines(Golden("fixed_fit_point.par"));
    lines[6] = "r(qr)";
    Spit(parFile(), Join(lines));
    ASSERT_EQ(ReadParameterFile(dataFile(), parFile()), 1);
    EXPECT_TRUE(services.messages.transcript().empty());
    EXPECT_EQ(State().Circuit.Code, "R(QR)");
    EXPECT_EQ(State().Params.ParamCount, 4);
    EXPECT_NEAR(std::exp(State().Params.LnValue[2]), 2.5e-5, 1e-15);
}

TEST_F(ResultFilesTest, SampleAreasOfEverySizeReadBack) {
    struct Case {
        double area;
        const char* written;  // how the area line begins
    } cases[] = {
        {0.5, "0.500 "},               // as files always held it
        {12.25, "12.250 "},
        {7.85e-7, "7.850e-07 "},       // a 10 um micro-electrode
        {4.9e-4, "4.900e-04 "},
        {0.0123, "1.230e-02 "},        // three decimals would lose the fourth digit
    };
    for (bool point : {true, false}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.area);
            SetFixedFit(point);
            State().Fit.SampleArea = c.area;
            ASSERT_TRUE(WriteParameterFile(dataFile(), parFile()));
            std::string begins = c.written;
            if (!point) std::replace(begins.begin(), begins.end(), '.', ',');
            EXPECT_EQ(Lines(Slurp(parFile()))[5].substr(0, begins.size()), begins);
            State().Fit.SampleArea = 1.0;
            ASSERT_EQ(ReadParameterFile(dataFile(), parFile()), 1);
            EXPECT_NEAR(State().Fit.SampleArea, c.area, 1e-12 * c.area);
            EXPECT_TRUE(services.messages.transcript().empty());
        }
    }
}

TEST_F(ResultFilesTest, EndValuesAtTheEvaluatorsLimitReadBackUnchanged) {
    // The evaluator allows log-magnitudes up to 73.696 (about 1.0132e32 and
    // 9.87e-33); a value saved there reads back as written, not cut to 1e32.
    ParamSet& p = State().Params;
    p.LnValue[1] = 73.696;
    p.LnValue[2] = -73.696;
    ASSERT_TRUE(WriteParameterFile(dataFile(), parFile()));
    const auto lines = Lines(Slurp(parFile()));
    const double big = std::strtod(Words(lines[11])[4].c_str(), nullptr);
    const double small = std::strtod(Words(lines[12])[4].c_str(), nullptr);
    ASSERT_GT(big, 1e32);
    ASSERT_LT(small, 1e-32);
    ASSERT_EQ(ReadParameterFile(dataFile(), parFile()), 1);
    EXPECT_NEAR(std::exp(p.LnValue[1]), big, 1e-12 * big);
    // The four digits written put the smallest value a hair below the limit.
    EXPECT_NEAR(std::exp(p.LnValue[2]), small, 1e-4 * small);
}

TEST_F(ResultFilesTest, OverlongNameIsIgnoredLikeEveryName) {
    auto lines = Lines(Golden("fixed_fit_point.par"));
    lines[11] = "    1       0   " + std::string(400, 'N') + "  1.0  2.0  3.0";
    Spit(parFile(), Join(lines));
    ASSERT_EQ(ReadParameterFile(dataFile(), parFile()), 1);
    EXPECT_DOUBLE_EQ(State().Params.Value[1], 1.0);
    EXPECT_NEAR(std::exp(State().Params.LnValue[1]), 2.0, 1e-12);
    EXPECT_DOUBLE_EQ(State().Params.Error[1], 3.0);
}

TEST_F(ResultFilesTest, MissingParameterFile) {
    const Snapshot before = Snapshot::Take();
    EXPECT_EQ(ReadParameterFile(dataFile(), app + "/par/none.par"), 0);
    EXPECT_TRUE(services.messages.transcript().empty());  // the caller reports it
    EXPECT_EQ(ReadParameterFileForImport(app + "/par/none.par"), "");
    EXPECT_EQ(services.messages.transcript().size(), 1u);
    EXPECT_TRUE(Snapshot::Take() == before);
}

TEST_F(ResultFilesTest, ParameterFileThatIsThereButCannotBeReadIsReported) {
    // The retrieve command only says something for a file that is not there;
    // one it cannot read (here a folder with the chosen name) must not fail
    // without a word.
    const std::string unreadable = app + "/par/locked.par";
    fs::create_directories(unreadable);
    const Snapshot before = Snapshot::Take();
    EXPECT_EQ(ReadParameterFile(dataFile(), unreadable), 0);
    EXPECT_TRUE(Snapshot::Take() == before);
    ASSERT_EQ(services.messages.transcript().size(), 1u);
    EXPECT_EQ(services.messages.transcript()[0].caption, ReadRefusedCaption);
    EXPECT_NE(services.messages.transcript()[0].text.find(unreadable), std::string::npos);
}

// ---- iteration matrix files --------------------------------------------------

TEST_F(ResultFilesTest, MatrixFilesReadBackInBothDecimalModes) {
    for (bool point : {true, false}) {
        SCOPED_TRACE(point ? "decimal point" : "decimal comma");
        SetFixedFit(point);
        ASSERT_TRUE(WriteMinimaMatrix(dataFile(), "R(QR)"));
        ASSERT_TRUE(WriteStartPointMatrix(dataFile(), "R(QR)"));
        const IterationHistory written = State().History;

        State().History = IterationHistory();
        ASSERT_TRUE(ReadMinimaMatrix(MinimaMatrixPath(dataFile(), "R(QR)"), 4, "R(QR)"));
        ASSERT_TRUE(ReadStartPointMatrix(StartPointMatrixPath(dataFile(), "R(QR)"), 4, "R(QR)"));
        const IterationHistory& h = State().History;
        EXPECT_EQ(State().Files.PrintTitle, "Start Point of Each Iteration");
        EXPECT_EQ(h.IterationCount, 3);
        EXPECT_EQ(h.Iteration, 3);
        for (int i = 0; i <= 3; ++i) {
            EXPECT_EQ(h.Ndir[i], written.Ndir[i]);
            EXPECT_NEAR(h.ChiSqPerDof[i], written.ChiSqPerDof[i], 5e-4 * written.ChiSqPerDof[i]);
            for (int j = 1; j <= 4; ++j) {
                EXPECT_DOUBLE_EQ(h.ValueMatrix[i * 15 + j], written.ValueMatrix[i * 15 + j]);
                EXPECT_DOUBLE_EQ(h.StartMatrix[i * 15 + j], written.StartMatrix[i * 15 + j]);
            }
        }
        EXPECT_EQ(h.ValueMatrix[4 * 15 + 1], 0.0);
    }
}

// Matrix values and chi-squared of every magnitude come back in four
// significant digits in both notations and decimal modes: three-digit
// exponents whole, signs kept, an undefined chi-squared still undefined.
TEST_F(ResultFilesTest, MatrixValuesOfEveryMagnitudeReadBack) {
    const double values[] = {1e-300, -1e300, 0.0, -2.5e-7, 123456789.0, 9.99951e99, 4.9406564584124654e-324};
    const double chi[] = {1e-300, 9.99951e299, 0.0, std::nan(""), std::numeric_limits<double>::infinity(), 2.5e-3,
                          1.0};
    constexpr int n = 6;  // iterations 0..6, one column per value
    for (bool point : {true, false}) {
        for (bool scientific : {true, false}) {
            SCOPED_TRACE(std::string(point ? "decimal point" : "decimal comma") +
                         (scientific ? ", scientific" : ", general"));
            SetFixedFit(point);
            State().Options.ScientificFormat = scientific;
            IterationHistory& h = State().History;
            h.IterationCount = n;
            for (int i = 0; i <= n; ++i) {
                h.Ndir[i] = i;
                h.ChiSqPerDof[i] = chi[i];
                // Each row starts at another value, so every value meets every column.
                for (int j = 1; j <= 4; ++j) h.StartMatrix[i * 15 + j] = values[(i + j) % 7];
            }
            ASSERT_TRUE(WriteStartPointMatrix(dataFile(), "R(QR)"));
            const std::string text = Slurp(StartPointMatrixPath(dataFile(), "R(QR)"));
            h = IterationHistory();
            ASSERT_TRUE(ReadStartPointMatrix(StartPointMatrixPath(dataFile(), "R(QR)"), 4, "R(QR)")) << text;
            ASSERT_EQ(h.IterationCount, n);
            for (int i = 0; i <= n; ++i) {
                if (std::isnan(chi[i]))
                    EXPECT_TRUE(std::isnan(h.ChiSqPerDof[i])) << text;
                else if (std::isinf(chi[i]))
                    EXPECT_EQ(h.ChiSqPerDof[i], chi[i]) << text;
                else
                    EXPECT_NEAR(h.ChiSqPerDof[i], chi[i], 5e-4 * chi[i]) << text;
                for (int j = 1; j <= 4; ++j) {
                    const double v = values[(i + j) % 7];
                    EXPECT_NEAR(h.StartMatrix[i * 15 + j], v, 5e-4 * std::fabs(v)) << text;
                    EXPECT_EQ(std::signbit(h.StartMatrix[i * 15 + j]), std::signbit(v)) << text;
                }
            }
            EXPECT_TRUE(services.messages.transcript().empty());
        }
    }
}

TEST_F(ResultFilesTest, LongRunsFitTheTablesAndReadAsTenIterations) {
    // The iteration limit allows 20 iterations: every one is written.
    IterationHistory& h = State().History;
    h.IterationCount = 20;
    for (int i = 0; i <= 20; ++i) {
        h.Ndir[i] = i;
        h.ChiSqPerDof[i] = 1.0 / (i + 1);
        for (int j = 1; j <= 4; ++j) h.ValueMatrix[i * 15 + j] = 100.0 * i + j;
    }
    ASSERT_TRUE(WriteMinimaMatrix(dataFile(), "R(QR)"));
    const auto lines = Lines(Slurp(MinimaMatrixPath(dataFile(), "R(QR)")));
    ASSERT_GE(lines.size(), 16u);
    EXPECT_EQ(lines[4], "20   = number of iterations ");
    EXPECT_EQ(lines[8].size(), 10u + 21u * 13u);
    EXPECT_EQ(lines[8].substr(10 + 20 * 13), "   2.001E+003");
    EXPECT_EQ(lines[14].substr(10 + 20 * 13), "           20");

    State().History = IterationHistory();
    ASSERT_TRUE(ReadMinimaMatrix(MinimaMatrixPath(dataFile(), "R(QR)"), 4, "R(QR)"));
    EXPECT_EQ(State().History.IterationCount, 10);
    EXPECT_EQ(State().History.Iteration, 10);
    EXPECT_DOUBLE_EQ(State().History.ValueMatrix[10 * 15 + 4], 1004.0);
    EXPECT_EQ(State().History.ValueMatrix[11 * 15 + 4], 0.0);
    EXPECT_EQ(State().History.Ndir[10], 10);
    EXPECT_EQ(State().History.Ndir[11], 0);

    // A count beyond the tables never writes past them.
    State().History.IterationCount = 1000;
    EXPECT_TRUE(WriteStartPointMatrix(dataFile(), "R(QR)"));
    EXPECT_TRUE(WriteHistoryFile(parFile()));
}

TEST_F(ResultFilesTest, MatrixOfARunWithoutIterationsReadsNoRows) {
    State().History.IterationCount = 0;
    ASSERT_TRUE(WriteMinimaMatrix(dataFile(), "R(QR)"));
    State().History.IterationCount = 5;
    State().History.Iteration = 5;
    State().History.ValueMatrix[1] = 77.0;
    ASSERT_TRUE(ReadMinimaMatrix(MinimaMatrixPath(dataFile(), "R(QR)"), 4, "R(QR)"));
    EXPECT_EQ(State().History.IterationCount, 0);
    EXPECT_EQ(State().History.Iteration, 0);
    EXPECT_EQ(State().History.ValueMatrix[1], 77.0);
}

TEST_F(ResultFilesTest, AMatrixFileHeldByARunningFitIsReadWithItsNewestText) {
    const std::string path = MinimaMatrixPath(dataFile(), "R(QR)");
    std::filesystem::remove(path);
    const HoldFileWrites hold;
    State().History.IterationCount = 1;
    State().History.ValueMatrix[1] = 42.0;
    ASSERT_TRUE(WriteMinimaMatrix(dataFile(), "R(QR)"));
    State().History.ValueMatrix[1] = 0.0;
    ASSERT_TRUE(ReadMinimaMatrix(path, 4, "R(QR)"));
    EXPECT_EQ(State().History.ValueMatrix[1], 42.0);
}

TEST_F(ResultFilesTest, MissingMatrixFileChangesOnlyTheTitle) {
    const Snapshot before = Snapshot::Take();
    EXPECT_FALSE(ReadMinimaMatrix(app + "/temp/none.mat", 4, "R(QR)"));
    EXPECT_FALSE(ReadStartPointMatrix(app + "/temp/none.ma2", 4, "R(QR)"));
    EXPECT_EQ(State().Files.PrintTitle, "Start Point of Each Iteration");
    EXPECT_TRUE(Snapshot::Take() == before);
    EXPECT_TRUE(services.messages.transcript().empty());
}

TEST_F(ResultFilesTest, DamagedMatrixFilesAreRefusedAndChangeNothing) {
    const auto good = Lines(Golden("fixed_fit_comma.mat"));
    auto with = [&](int index, const std::string& text) {
        auto l = good;
        l[static_cast<size_t>(index)] = text;
        return l;
    };
    struct Case {
        const char* name;
        std::vector<std::string> lines;
        int paramCount;
    };
    std::vector<Case> cases = {
        {"header only", {good.begin(), good.begin() + 5}, 4},
        {"rows missing", {good.begin(), good.begin() + 10}, 4},
        {"ndir row missing", {good.begin(), good.begin() + 14}, 4},
        {"no iteration count", with(4, "three = number of iterations"), 4},
        {"negative iteration count", with(4, "-2   = number of iterations "), 4},
        {"value does not scan", with(9, "Q-Yo               1E-5         2E-5       2,4E-5       2,5Ex5"), 4},
        {"row too short", with(10, "Q-n                 0,8          0,8"), 4},
        {"ndir does not scan", with(14, "ndir                  4            4          3.5            2"), 4},
        {"more rows than parameters", good, 3},
        {"parameter count out of range", good, 16},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = app + "/temp/damaged.mat";
        Spit(path, Join(c.lines));
        services.messages.clear();
        State().Files.PrintTitle = "x";
        const Snapshot before = Snapshot::Take();
        EXPECT_FALSE(ReadMinimaMatrix(path, c.paramCount, "R(QR)"));
        EXPECT_FALSE(ReadStartPointMatrix(path, c.paramCount, "R(QR)"));
        EXPECT_TRUE(Snapshot::Take() == before);
        ASSERT_EQ(services.messages.transcript().size(), 2u);
        EXPECT_EQ(services.messages.transcript()[0].caption, ReadRefusedCaption);
    }
}

// ---- failed writes ----------------------------------------------------------

TEST_F(ResultFilesTest, SavesIntoAMissingFolderAreReported) {
    fs::remove_all(app + "/par");
    fs::remove_all(app + "/hist");
    EXPECT_FALSE(WriteParameterFile(dataFile(), parFile()));
    EXPECT_FALSE(WriteHistoryFile(parFile()));
    ASSERT_EQ(services.messages.transcript().size(), 2u);
    EXPECT_EQ(services.messages.transcript()[0].caption, "File not saved");
    EXPECT_NE(services.messages.transcript()[0].text.find(parFile()), std::string::npos);
    EXPECT_NE(services.messages.transcript()[1].text.find("cell 3, R(QR).hst"), std::string::npos);
    EXPECT_FALSE(fs::exists(app + "/par"));
}

TEST_F(ResultFilesTest, AFailedSaveKeepsTheGoodFile) {
    ASSERT_TRUE(WriteParameterFile(dataFile(), parFile()));
    const std::string good = Slurp(parFile());
    // The temporary file cannot be created: a folder stands in its place.
    fs::create_directory(parFile() + ".tmp");
    State().Params.Value[1] = 99.0;
    EXPECT_FALSE(WriteParameterFile(dataFile(), parFile()));
    EXPECT_EQ(Slurp(parFile()), good);
    EXPECT_EQ(services.messages.transcript().size(), 1u);
}

TEST_F(ResultFilesTest, FitFilesThatCannotBeWrittenAreShownOnceAndTheFitGoesOn) {
    fs::remove_all(app + "/covars");
    const auto cov = FixedCovariance();
    EXPECT_FALSE(WriteCovarianceFile(cov, 1.0));
    EXPECT_FALSE(WriteCovarianceFile(cov, 1.0));  // the next estimate of the same fit
    EXPECT_EQ(services.messages.transcript().size(), 1u);
    EXPECT_NE(services.errors.captured.find("cell 3, R(QR).var"), std::string::npos);
    EXPECT_EQ(State().Files.ResultsFileName, parFile());

    // Once the file could be written, a new failure is shown again.
    fs::create_directories(app + "/covars");
    EXPECT_TRUE(WriteCovarianceFile(cov, 1.0));
    fs::remove_all(app + "/covars");
    EXPECT_FALSE(WriteCovarianceFile(cov, 1.0));
    EXPECT_EQ(services.messages.transcript().size(), 2u);

    // A batch asks nothing: only the error stream hears of it.
    fs::remove_all(app + "/temp");
    State().Run.BatchMode = true;
    services.errors.captured.clear();
    EXPECT_FALSE(WriteMinimaMatrix(dataFile(), "R(QR)"));
    EXPECT_FALSE(WriteStartPointMatrix(dataFile(), "R(QR)"));
    EXPECT_EQ(services.messages.transcript().size(), 2u);
    EXPECT_NE(services.errors.captured.find("cell 3, R(QR).ma2"), std::string::npos);
}

TEST_F(ResultFilesTest, CovarianceEntriesOutsideTheMatrixCountAsZero) {
    Matrix<double> small(1, 2, 1, 2);
    small.fill(1.0);
    ASSERT_TRUE(WriteCovarianceFile(small, 1.0));
    const auto lines = Lines(Slurp(CovarianceFilePath()));
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(lines[5], "    1    1.00e+00    1.00e+00    0.00e+00    0.00e+00");
    EXPECT_EQ(lines[8], "    4    0.00e+00    0.00e+00    0.00e+00    0.00e+00");
}

// ---- number texts and the safe writer -----------------------------------------

TEST(ResultNumberTexts, RunTimeLibraryFormats) {
    struct Case {
        double v;
        const char* exponent;  // precision 4, 3 exponent digits
        const char* fixed;     // precision 3, 2 decimals
        const char* general;   // precision 4
    } cases[] = {
        {1234.5678, "1.235E+003", "1.23E3", "1235"},
        {0.5, "5.000E-001", "0.50", "0.5"},
        {12.3456, "1.235E+001", "12.30", "12.35"},
        {-0.000123456, "-1.235E-004", "0.00", "-0.0001235"},
        {0.0000123456, "1.235E-005", "0.00", "1.235E-5"},
        {0.0, "0.000E+000", "0.00", "0"},
        {99999.0, "1.000E+005", "1E5", "1E5"},
        {9.996, "9.996E+000", "10.00", "9.996"},
        {0.006, "6.000E-003", "0.01", "0.006"},
        {-1500.0, "-1.500E+003", "-1.5E3", "-1500"},
        {1e-300, "1.000E-300", "0.00", "1E-300"},
        // Decimal ties are rounded half away from zero, as the run-time
        // library does (printf would round 1234.5 to the even 1234).
        {1234.5, "1.235E+003", "1.23E3", "1235"},
        {12345.0, "1.235E+004", "1.23E4", "1.235E4"},
        {0.125, "1.250E-001", "0.13", "0.125"},
        {-1.125, "-1.125E+000", "-1.13", "-1.125"},
        {0.00625, "6.250E-003", "0.01", "0.00625"},
        {-0.004, "-4.000E-003", "0.00", "-0.004"},
        {2.675, "2.675E+000", "2.67", "2.675"},  // 2.67499999... in binary
        {99.95, "9.995E+001", "100.00", "99.95"},
        {NAN, "NAN", "NAN", "NAN"},
        {-INFINITY, "-INF", "-INF", "-INF"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.v);
        EXPECT_EQ(FormatExponentText(c.v, 4, 3), c.exponent);
        EXPECT_EQ(FormatFixedText(c.v, 3, 2), c.fixed);
        EXPECT_EQ(FormatGeneralText(c.v, 4), c.general);
    }
}

TEST(ResultNumberTexts, DecimalPointWhateverTheUserLocaleSays) {
    // The GUI adopts the user's locale; a comma locale must not leak into the
    // numbers of files and windows.
    locale_t comma = static_cast<locale_t>(0);
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "nl_NL.UTF-8"})
        if ((comma = newlocale(LC_ALL_MASK, name, static_cast<locale_t>(0))) != static_cast<locale_t>(0)) break;
    if (comma == static_cast<locale_t>(0)) GTEST_SKIP() << "no locale with a decimal comma installed";
    const locale_t previous = uselocale(comma);
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 0.5);
    const std::string exponent = FormatExponentText(1234.5, 4, 3);
    const std::string fixed = FormatFixedText(12.345, 3, 2);
    const std::string general = FormatGeneralText(0.5, 4);
    const std::string generalSci = FormatGeneralText(1.5e-7, 4);
    uselocale(previous);
    freelocale(comma);
    ASSERT_STREQ(probe, "0,5");  // the locale really writes commas
    EXPECT_EQ(exponent, "1.235E+003");
    EXPECT_EQ(fixed, "12.30");
    EXPECT_EQ(general, "0.5");
    EXPECT_EQ(generalSci, "1.5E-7");
}

TEST(SafeFile, ReplacesWholeFilesAndReportsFailures) {
    const std::string dir = std::string(PELLUCOR_TEST_OUTPUT_DIR) + "/safe_file";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string path = dir + "/a.txt";
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(path, "first\n", &error)) << error;
    ASSERT_TRUE(WriteFileAtomically(path, "second", &error)) << error;
    EXPECT_EQ(Slurp(path), "second");
    EXPECT_FALSE(fs::exists(path + ".tmp"));
    std::string back = "unchanged";
    ASSERT_TRUE(ReadWholeFile(path, &back));
    EXPECT_EQ(back, "second");

    EXPECT_FALSE(WriteFileAtomically(dir + "/missing/b.txt", "x", &error));
    EXPECT_FALSE(error.empty());
    // A target that cannot be replaced (a folder) keeps what it was.
    fs::create_directory(dir + "/c.txt");
    EXPECT_FALSE(WriteFileAtomically(dir + "/c.txt", "x", &error));
    EXPECT_TRUE(fs::is_directory(dir + "/c.txt"));
    EXPECT_FALSE(fs::exists(dir + "/c.txt.tmp"));

    back = "unchanged";
    EXPECT_FALSE(ReadWholeFile(dir + "/none.txt", &back, &error));
    EXPECT_EQ(back, "unchanged");
}

// A disk that fills up part way through the new text: the save fails with a
// reason, for a file a person saves and for one a fit renews alike, and the
// old file is still there whole, with nothing left beside it.
TEST(SafeFile, ADiskThatFillsUpKeepsTheOldFileWhole) {
    const std::string dir = std::string(PELLUCOR_TEST_OUTPUT_DIR) + "/safe_file_full";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string path = dir + "/results.par";
    const std::string big(64 * 1024, 'x');
    for (const bool durable : {true, false}) {
        SCOPED_TRACE(durable ? "durable" : "quick");
        ASSERT_TRUE(WriteFileAtomically(path, "old results\n"));
        std::string error;
        bool ok = true;
        {
            pellucor::testing_support::FileSizeLimit limit(4096);
            ok = WriteFileAtomically(path, big, &error, durable);
        }
        EXPECT_FALSE(ok);
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(Slurp(path), "old results\n");
        EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    }
}

}  // namespace
