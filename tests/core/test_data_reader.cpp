#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <streambuf>
#include <sstream>
#include <string>
#include <utility>

#include "core/DataReader.h"
#include "core/ExportTables.h"
#include "core/ProgramState.h"
#include "core/WindowHooks.h"
#include "platform/testing/Doubles.h"

using namespace pellucor;
namespace fs = std::filesystem;

namespace {

const std::string kData = std::string(PELLUCOR_TEST_DATA_DIR) + "/datafiles/";

class DataReader : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        ResetWindows();
    }
    void TearDown() override { ResetWindows(); }

    // n plain lines "f 10 -1" with f = 1..n Hz.
    static std::string PlainPoints(int n) {
        std::string t;
        for (int i = 1; i <= n; ++i) t += std::to_string(i) + " 10 -1\n";
        return t;
    }
    int Read(const std::string& text) {
        std::istringstream in(text);
        return ReadImpedanceData(in);
    }

    platform::testing::ScopedServices services;
};

// The sixteen points of the plain fixtures: f = 10 i, Z' = 100.5 + i, Z'' = -2.5 i,
// stored by falling frequency with Z'' turned positive.
void ExpectPlainFixturePoints() {
    const SpectrumBlock& s = State().Spectrum;
    ASSERT_EQ(s.PointCount, 16);
    EXPECT_EQ(s.FilePointCount, 16);
    EXPECT_EQ(s.ExtendedPointCount, 16);
    for (int k = 1; k <= 16; ++k) {
        const int i = 17 - k;
        EXPECT_DOUBLE_EQ(s.Frequency[k], 10.0 * i) << k;
        EXPECT_DOUBLE_EQ(s.Omega[k], TwoPi * 10.0 * i) << k;
        EXPECT_DOUBLE_EQ(s.ZReal[k], 100.5 + i) << k;
        EXPECT_DOUBLE_EQ(s.ZImag[k], 2.5 * i) << k;
    }
}

TEST_F(DataReader, PlainLayoutWithCommasCrLfAndHeaderLines) {
    ASSERT_EQ(ReadImpedanceData(kData + "plain_commas_crlf.txt"), 0);
    ExpectPlainFixturePoints();
    EXPECT_TRUE(services.messages.transcript().empty());
}

TEST_F(DataReader, FinalLineEndAndTrailingBlankLineChangeNothing) {
    ASSERT_EQ(ReadImpedanceData(kData + "plain_lf.txt"), 0);
    ExpectPlainFixturePoints();
    // Without the final line end the last point is still read.
    ResetProgramState();
    std::string text;
    for (int i = 1; i <= 15; ++i) text += std::to_string(i) + " 1 -1\n";
    text += "16 1 -1";
    ASSERT_EQ(Read(text), 0);
    EXPECT_EQ(State().Spectrum.PointCount, 16);
    EXPECT_DOUBLE_EQ(State().Spectrum.Frequency[1], 16.0);
}

TEST_F(DataReader, EveryLineEndStyleGivesTheSamePoints) {
    // The fixtures rewritten with CR alone (older Mac programs), with CRLF,
    // and with a CR-only file that lacks its final line end.
    auto fileText = [](const std::string& name) {
        std::ifstream in(kData + name, std::ios::binary);
        std::ostringstream all;
        all << in.rdbuf();
        std::string t = all.str(), lf;
        for (char c : t)
            if (c != '\r') lf += c;
        return lf;
    };
    auto withEnds = [](const std::string& lf, const std::string& end, bool finalEnd) {
        std::string t;
        for (char c : lf) t += c == '\n' ? end : std::string(1, c);
        if (!finalEnd) t.erase(t.size() - end.size());
        return t;
    };
    struct Ends {
        const char* end;
        bool finalEnd;
    } ends[] = {{"\r", true}, {"\r", false}, {"\r\n", true}, {"\r\n", false}, {"\n", false}};
    for (const auto& e : ends) {
        SCOPED_TRACE(testing::Message() << (e.end[0] == '\r' ? (e.end[1] ? "CRLF" : "CR") : "LF")
                                        << (e.finalEnd ? " with" : " without") << " final end");
        ResetProgramState();
        ASSERT_EQ(Read(withEnds(fileText("plain_lf.txt"), e.end, e.finalEnd)), 0);
        ExpectPlainFixturePoints();

        ResetProgramState();
        ASSERT_EQ(Read(withEnds(fileText("zview_export.txt"), e.end, e.finalEnd)), 0);
        const SpectrumBlock& z = State().Spectrum;
        ASSERT_EQ(z.PointCount, 16);
        for (int k = 1; k <= 16; ++k) {
            EXPECT_DOUBLE_EQ(z.Frequency[k], 1000.0 * (17 - k)) << k;
            EXPECT_DOUBLE_EQ(z.ZReal[k], 200.25 + (17 - k)) << k;
        }

        ResetProgramState();
        ASSERT_EQ(Read(withEnds(fileText("curve_layout.txt"), e.end, e.finalEnd)), 0);
        EXPECT_EQ(State().Spectrum.PointCount, 16);
        EXPECT_DOUBLE_EQ(State().Spectrum.ZReal[16], 66.0);
    }
    EXPECT_TRUE(services.messages.transcript().empty());
}

TEST_F(DataReader, DecimalCommaButNotListSeparator) {
    // "1,5 2,0 -3,0" is three numbers; "1, 2, 3" is no plain data line.
    std::string text = "1, 2, 3\n";
    for (int i = 0; i < 15; ++i) text += "1,5 2,0 -3,0\n";
    ASSERT_EQ(Read(text), 0);
    const SpectrumBlock& s = State().Spectrum;
    EXPECT_EQ(s.PointCount, 15);
    EXPECT_DOUBLE_EQ(s.Frequency[1], 1.5);
    EXPECT_DOUBLE_EQ(s.ZReal[1], 2.0);
    EXPECT_DOUBLE_EQ(s.ZImag[1], 3.0);  // all negative: turned positive
}

TEST_F(DataReader, ZMarkerLayoutReadsOnlyAfterTheFreqLine) {
    ASSERT_EQ(ReadImpedanceData(kData + "zview_export.txt"), 0);
    const SpectrumBlock& s = State().Spectrum;
    ASSERT_EQ(s.PointCount, 16);  // the "1, 2, 3, ..." line before "Freq" is no data
    for (int k = 1; k <= 16; ++k) {
        const int i = 17 - k;
        EXPECT_DOUBLE_EQ(s.Frequency[k], 1000.0 * i) << k;
        EXPECT_DOUBLE_EQ(s.ZReal[k], 200.25 + i) << k;  // field 5, written "201,25"
        EXPECT_DOUBLE_EQ(s.ZImag[k], 4.0 * i) << k;     // field 6
    }
}

TEST_F(DataReader, ZMarkerExportWithBareCommaSeparators) {
    // An instrument export: signature bytes, the marker line, a header line
    // and nine fields per line separated by bare commas.
    ASSERT_EQ(ReadImpedanceData(kData + "z60_bare_commas.txt"), 0);
    EXPECT_TRUE(services.messages.transcript().empty());
    const SpectrumBlock& s = State().Spectrum;
    ASSERT_EQ(s.PointCount, 41);
    EXPECT_DOUBLE_EQ(s.Frequency[1], 10000.0);
    EXPECT_DOUBLE_EQ(s.ZReal[1], 0.010000506477626);    // field 5
    EXPECT_DOUBLE_EQ(s.ZImag[1], 0.000031822927777);    // field 6, capacitive: turned positive
    EXPECT_DOUBLE_EQ(s.Frequency[41], 0.1);
    EXPECT_DOUBLE_EQ(s.ZReal[41], 0.011999999210432);
    EXPECT_DOUBLE_EQ(s.ZImag[41], 0.000001256636565);

    // The same lines with decimal commas and ", " separators still read as such.
    std::string z = "\"Z60 export\"\n   Freq(Hz), a, b, c, Z', Z''\n";
    for (int i = 1; i <= 15; ++i) z += std::to_string(i * 100) + ",5, 0, 0, 0, 7,25, -3,5, 0, 0, 0\n";
    ResetProgramState();
    ASSERT_EQ(Read(z), 0);
    EXPECT_EQ(State().Spectrum.PointCount, 15);
    EXPECT_DOUBLE_EQ(State().Spectrum.Frequency[1], 1500.5);
    EXPECT_DOUBLE_EQ(State().Spectrum.ZReal[1], 7.25);
    EXPECT_DOUBLE_EQ(State().Spectrum.ZImag[1], 3.5);
}

TEST_F(DataReader, CurveLayoutReadsOnlyAfterTheZcurveLine) {
    ASSERT_EQ(ReadImpedanceData(kData + "curve_layout.txt"), 0);
    const SpectrumBlock& s = State().Spectrum;
    ASSERT_EQ(s.PointCount, 16);
    for (int i = 1; i <= 16; ++i) {
        EXPECT_NEAR(s.Frequency[i], 100000.0 / i, 1e-6 * 100000.0 / i) << i;
        EXPECT_DOUBLE_EQ(s.ZReal[i], 50.0 + i) << i;
        EXPECT_DOUBLE_EQ(s.ZImag[i], 10.0 + i) << i;
    }
}

TEST_F(DataReader, ShortOrEmptyFirstLine) {
    for (const char* first : {"", "\r", "Z", " Z6"}) {
        ResetProgramState();
        EXPECT_EQ(Read(std::string(first) + "\n" + PlainPoints(15)), 0) << first;
        EXPECT_EQ(State().Spectrum.PointCount, 15) << first;
    }
}

TEST_F(DataReader, SignatureBytesBeforeTheFirstLine) {
    // A plain file saved as "UTF-8 with signature": its first line is a point.
    const std::string bom = "\xEF\xBB\xBF";
    ASSERT_EQ(Read(bom + PlainPoints(15)), 0);
    EXPECT_EQ(State().Spectrum.PointCount, 15);
    EXPECT_DOUBLE_EQ(State().Spectrum.Frequency[15], 1.0);

    // A Z-marker export keeps its layout.
    std::string z = bom + "\"ZView export\"\n   Freq(Hz), a, b, c, Z', Z''\n";
    for (int i = 1; i <= 15; ++i) z += std::to_string(i * 100) + ", 0, 0, 0, 7, -3,\n";
    ResetProgramState();
    ASSERT_EQ(Read(z), 0);
    EXPECT_EQ(State().Spectrum.PointCount, 15);
    EXPECT_DOUBLE_EQ(State().Spectrum.ZReal[1], 7.0);
    EXPECT_DOUBLE_EQ(State().Spectrum.ZImag[1], 3.0);
}

TEST_F(DataReader, LayoutMarkers) {
    struct Case {
        const char* line;
        DataLayout layout;
    } cases[] = {
        {"\"Z60 data", DataLayout::ZMarker}, {" ZView", DataLayout::ZMarker},
        {"#ZPlot 2.1", DataLayout::ZMarker}, {"ZView", DataLayout::Plain},
        {"EISCURVE", DataLayout::Curve},     {"EXPLAIN x", DataLayout::Curve},
        {" EISCURVE", DataLayout::Plain},    {"1 2 3", DataLayout::Plain},
        {"", DataLayout::Plain},
    };
    for (const auto& c : cases) EXPECT_EQ(DetectDataLayout(c.line), c.layout) << c.line;
}

TEST_F(DataReader, PointLimits) {
    struct Case {
        int lines;
        int result;
        const char* text;
        const char* caption;
    } cases[] = {
        {0, 1, "You have only 0 data points.", "  Invalid data - Needs at least 15 points."},
        {14, 1, "You have only 14 data points.", "  Invalid data - Needs at least 15 points."},
        {15, 0, nullptr, nullptr},
        {199, 0, nullptr, nullptr},
        {200, 1, "You have 200 data points.", "  Invalid data - Less than 200 points allowed."},
        {260, 1, "You have 200 data points.", "  Invalid data - Less than 200 points allowed."},
    };
    for (const auto& c : cases) {
        ResetProgramState();
        services.messages.clear();
        EXPECT_EQ(Read(PlainPoints(c.lines)), c.result) << c.lines;
        const auto& shown = services.messages.transcript();
        if (c.text) {
            ASSERT_EQ(shown.size(), 1u) << c.lines;
            EXPECT_EQ(shown[0].text, c.text);
            EXPECT_EQ(shown[0].caption, c.caption);
            EXPECT_EQ(shown[0].buttons, platform::MsgButtons::Ok);
            EXPECT_EQ(State().Spectrum.PointCount, 0);
        } else {
            EXPECT_TRUE(shown.empty()) << c.lines;
            EXPECT_EQ(State().Spectrum.PointCount, c.lines);
            EXPECT_DOUBLE_EQ(State().Spectrum.Frequency[1], c.lines);
            EXPECT_DOUBLE_EQ(State().Spectrum.Frequency[c.lines], 1.0);
        }
    }
}

TEST_F(DataReader, RejectedFileLeavesTheLoadedSpectrumAsItWas) {
    ASSERT_EQ(ReadImpedanceData(kData + "plain_lf.txt"), 0);
    State().Fit.ResistanceScale = 7.0;
    const SpectrumBlock before = State().Spectrum;
    const ExtrapolationState extrapBefore = State().Extrap;

    // 14 points, and 200 points of another size, are both refused.
    std::string few;
    for (int i = 1; i <= 14; ++i) few += std::to_string(i * 1000) + " 1e7 5\n";
    EXPECT_EQ(Read(few), 1);
    std::string many;
    for (int i = 1; i <= 230; ++i) many += std::to_string(i * 1000) + " 1e7 5\n";
    EXPECT_EQ(Read(many), 1);

    const SpectrumBlock& now = State().Spectrum;
    EXPECT_EQ(now.PointCount, 16);
    for (int i = 1; i < MaxPoints; ++i) {
        EXPECT_EQ(now.Frequency[i], before.Frequency[i]) << i;
        EXPECT_EQ(now.ZReal[i], before.ZReal[i]) << i;
        EXPECT_EQ(now.ZImag[i], before.ZImag[i]) << i;
    }
    EXPECT_EQ(now.ZModMax, before.ZModMax);
    EXPECT_EQ(now.HighImpedance, before.HighImpedance);
    EXPECT_EQ(State().Fit.ResistanceScale, 7.0);
    EXPECT_EQ(State().Extrap.OmegaAt1, extrapBefore.OmegaAt1);
}

TEST_F(DataReader, PointsThatNoCalculationCouldUseAreSkipped) {
    std::string text = "0 5 5\n-10 5 5\nnan 5 5\ninf 5 5\n100 inf 5\n100 5 nan\n100 0 0\n";
    for (int i = 1; i <= 15; ++i) text += std::to_string(i) + " 5 -5\n";
    ASSERT_EQ(Read(text), 0);
    const SpectrumBlock& s = State().Spectrum;
    EXPECT_EQ(s.PointCount, 15);
    for (int i = 1; i <= 15; ++i) {
        EXPECT_GT(s.Frequency[i], 0);
        EXPECT_TRUE(std::isfinite(s.ZReal[i]) && std::isfinite(s.ZImag[i]));
    }
    // The extremes come from the usable points only: |Z| = sqrt(50) everywhere.
    EXPECT_DOUBLE_EQ(s.ZModMin, std::sqrt(50.0));
    EXPECT_TRUE(std::isfinite(s.InvOmegaZMax));
    // Fourteen usable points and a bad one are too few.
    std::string short14 = "0 5 5\n";
    for (int i = 1; i <= 14; ++i) short14 += std::to_string(i) + " 5 -5\n";
    EXPECT_EQ(Read(short14), 1);
    EXPECT_EQ(services.messages.transcript().back().text, "You have only 14 data points.");
}

TEST_F(DataReader, WindowsNaNTextIsNoNumber) {
    // Older Windows programs write missing values as "1.#QNAN", "-1.#IND" or
    // "1.#INF". In the last field read such a line must not give Z'' = 1 or -1.
    for (const char* bad : {"1.#QNAN", "-1.#IND", "1.#INF", "-1.#INF00", "1,#QNAN"}) {
        SCOPED_TRACE(bad);
        std::string plain = std::string("5000 8 ") + bad + "\n";
        std::string z = "\"ZView export\"\n   Freq(Hz), a, b, c, Z', Z''\n5000, 0, 0, 0, 8, " +
                        std::string(bad) + ", 0\n";
        for (int i = 1; i <= 15; ++i) {
            plain += std::to_string(i) + " 10 -1\n";
            z += std::to_string(i) + ", 0, 0, 0, 10, -1, 0\n";
        }
        for (const std::string* text : {&plain, &z}) {
            ResetProgramState();
            ASSERT_EQ(Read(*text), 0);
            const SpectrumBlock& s = State().Spectrum;
            EXPECT_EQ(s.PointCount, 15);
            EXPECT_DOUBLE_EQ(s.Frequency[1], 15.0);
            for (int k = 1; k <= s.PointCount; ++k) EXPECT_DOUBLE_EQ(s.ZImag[k], 1.0) << k;
        }
    }
}

TEST_F(DataReader, SignOfZImag) {
    // Eight of sixteen points positive: exactly half.
    std::string half;
    for (int i = 1; i <= 16; ++i) half += std::to_string(i) + " 1 " + (i % 2 ? "-2" : "3") + "\n";
    std::string mostlyNegative;
    for (int i = 1; i <= 16; ++i) mostlyNegative += std::to_string(i) + " 1 " + (i <= 7 ? "2" : "-3") + "\n";
    std::string allPositive;
    for (int i = 1; i <= 16; ++i) allPositive += std::to_string(i) + " 1 4\n";

    struct Case {
        const std::string* text;
        bool autoSign, reverse;
        bool negated;
    } cases[] = {
        {&mostlyNegative, true, false, true},  {&half, true, false, false},
        {&allPositive, true, false, false},    {&allPositive, false, true, true},
        {&mostlyNegative, false, false, false}, {&half, true, true, true},
    };
    for (const auto& c : cases) {
        ResetProgramState();
        State().Options.AutoSignZImag = c.autoSign;
        State().Options.ReverseZImag = c.reverse;
        ASSERT_EQ(Read(*c.text), 0);
        // Points are stored by falling frequency: point k came from line 17 - k.
        std::istringstream lines(*c.text);
        std::string line;
        for (int i = 1; i <= 16 && std::getline(lines, line); ++i) {
            const double zi = std::stod(line.substr(line.rfind(' ') + 1));
            EXPECT_DOUBLE_EQ(State().Spectrum.ZImag[17 - i], c.negated ? -zi : zi)
                << "auto " << c.autoSign << " reverse " << c.reverse << " line " << i;
        }
    }
}

TEST_F(DataReader, SortsByFallingFrequencyWithEveryRowAlike) {
    // The calculated rows are sorted along with the points they belong to.
    SpectrumBlock& s = State().Spectrum;
    for (int i = 1; i <= 16; ++i) {
        s.ZRealCalc[i] = i;
        s.ZImagCalc[i] = -i;
    }
    ASSERT_EQ(ReadImpedanceData(kData + "plain_lf.txt"), 0);  // rising frequencies
    for (int k = 1; k <= 16; ++k) {
        EXPECT_DOUBLE_EQ(s.ZRealCalc[k], 17 - k);
        EXPECT_DOUBLE_EQ(s.ZImagCalc[k], -(17 - k));
        EXPECT_DOUBLE_EQ(s.Omega[k], TwoPi * s.Frequency[k]);
    }
}

TEST_F(DataReader, ExchangeSortOnEqualFrequencies) {
    // f = 1, 2, 2 (marked by Z' 10, 20, 30): the exchange sort compares point i
    // with j = n down to i + 1 and swaps only on a strictly smaller frequency,
    // which gives 2 (30), 2 (20), 1 (10).
    SpectrumBlock& s = State().Spectrum;
    const double f[] = {1, 2, 2}, zr[] = {10, 20, 30};
    for (int i = 1; i <= 3; ++i) {
        s.Frequency[i] = f[i - 1];
        s.ZReal[i] = zr[i - 1];
    }
    s.PointCount = 3;
    SortByFrequency();
    EXPECT_DOUBLE_EQ(s.ZReal[1], 30);
    EXPECT_DOUBLE_EQ(s.ZReal[2], 20);
    EXPECT_DOUBLE_EQ(s.ZReal[3], 10);
}

TEST_F(DataReader, SampleAreaConversion) {
    State().Run.PerAreaUnits = true;
    State().Fit.SampleArea = 2.5;
    ASSERT_EQ(ReadImpedanceData(kData + "plain_lf.txt"), 0);
    const SpectrumBlock& s = State().Spectrum;
    for (int k = 1; k <= 16; ++k) {
        const int i = 17 - k;
        EXPECT_DOUBLE_EQ(s.ZReal[k], 2.5 * (100.5 + i));
        EXPECT_DOUBLE_EQ(s.ZImag[k], 2.5 * 2.5 * i);
    }
    // Without per-area units the area is not applied.
    ResetProgramState();
    State().Fit.SampleArea = 2.5;
    ASSERT_EQ(ReadImpedanceData(kData + "plain_lf.txt"), 0);
    EXPECT_DOUBLE_EQ(State().Spectrum.ZReal[1], 116.5);
}

TEST_F(DataReader, CapacitanceData) {
    // A pure capacitor C (C' = C, C'' = 0) is Z = 1/(j w C): Z' = 0 and, with
    // the reversed sign, Z'' = +1/(w C). A pure resistor R has C' = 0,
    // C'' = 1/(w R): Z' = R, Z'' = 0.
    const double C = 2e-6, R = 470.0;
    State().Run.ReadCData = true;
    std::string cap, res;
    char buf[128];
    for (int i = 1; i <= 15; ++i) {
        const double f = 100.0 * i;
        std::snprintf(buf, sizeof buf, "%.17g %.17g 0\n", f, C);
        cap += buf;
        std::snprintf(buf, sizeof buf, "%.17g 0 %.17g\n", f, 1.0 / (TwoPi * f * R));
        res += buf;
    }
    ASSERT_EQ(Read(cap), 0);
    const SpectrumBlock& s = State().Spectrum;
    for (int k = 1; k <= 15; ++k) {
        EXPECT_NEAR(s.ZReal[k], 0.0, 1e-12);
        EXPECT_NEAR(s.ZImag[k], 1.0 / (s.Omega[k] * C), 1e-9 / (s.Omega[k] * C));
    }
    ASSERT_EQ(Read(res), 0);
    for (int k = 1; k <= 15; ++k) {
        EXPECT_NEAR(s.ZReal[k], R, 1e-9 * R);
        EXPECT_NEAR(s.ZImag[k], 0.0, 1e-12);
    }
    // Per-area units with an area A: the file's capacitor C over A is
    // C / A per sq. cm, whose impedance per area is A / (j w C).
    const double A = 2.5;
    State().Fit.SampleArea = A;
    State().Run.PerAreaUnits = true;
    ASSERT_EQ(Read(cap), 0);
    for (int k = 1; k <= 15; ++k) {
        EXPECT_NEAR(s.ZReal[k], 0.0, 1e-12);
        EXPECT_NEAR(s.ZImag[k], A / (s.Omega[k] * C), 1e-9 * A / (s.Omega[k] * C)) << k;
    }
    ASSERT_EQ(Read(res), 0);
    for (int k = 1; k <= 15; ++k) {
        EXPECT_NEAR(s.ZReal[k], R * A, 1e-9 * R * A) << k;
        EXPECT_NEAR(s.ZImag[k], 0.0, 1e-12);
    }
}

TEST_F(DataReader, RecordedExtremesAndDerivedSettings) {
    // |Z| = 5 at 1 kHz up to 5e6 at 1 Hz; Z'' negative in the file but one point.
    std::string text;
    const double scale[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6, 2, 3, 4, 5, 6, 7, 8, 9};
    const double freq[] = {1000, 900, 800, 700, 600, 500, 1, 400, 300, 250, 200, 150, 100, 50, 10};
    for (int i = 0; i < 15; ++i) {
        char buf[128];
        std::snprintf(buf, sizeof buf, "%.17g %.17g %.17g\n", freq[i], 3 * scale[i], -4 * scale[i]);
        text += buf;
    }
    State().Options.AutoSignZImag = false;  // keep Z'' negative
    ASSERT_EQ(Read(text), 0);
    const SpectrumBlock& s = State().Spectrum;
    EXPECT_DOUBLE_EQ(s.ZModMin, 5.0);
    EXPECT_DOUBLE_EQ(s.ZModMax, 5e6);
    // 1/(w |Z|): f |Z| is smallest at 10 Hz (|Z| = 45) and largest at 500 Hz
    // (|Z| = 5e5).
    EXPECT_DOUBLE_EQ(s.InvOmegaZMax, 1.0 / (TwoPi * 10 * 45));
    EXPECT_DOUBLE_EQ(s.InvOmegaZMin, 1.0 / (TwoPi * 500 * 5e5));
    EXPECT_TRUE(s.HighImpedance);
    EXPECT_TRUE(s.FirstImagNegative);
    EXPECT_DOUBLE_EQ(State().Fit.ResistanceScale, 1e6);  // 5 * 1e5 < 5e6
    EXPECT_DOUBLE_EQ(State().Extrap.OmegaAt1, TwoPi * 1000);
    EXPECT_DOUBLE_EQ(State().Extrap.OmegaAtN, TwoPi * 1);
    EXPECT_DOUBLE_EQ(State().Extrap.OmegaLow, TwoPi * 1 / 2);
    EXPECT_DOUBLE_EQ(State().Extrap.ZRealAt1, 3.0);
    EXPECT_DOUBLE_EQ(State().Extrap.ZRealAtN, 3.0);

    // A narrow range keeps the resistance scale at 1 and the flags clear.
    ResetProgramState();
    ASSERT_EQ(ReadImpedanceData(kData + "plain_lf.txt"), 0);
    EXPECT_DOUBLE_EQ(State().Fit.ResistanceScale, 1.0);
    EXPECT_FALSE(State().Spectrum.HighImpedance);
    EXPECT_FALSE(State().Spectrum.FirstImagNegative);
}

TEST_F(DataReader, FileThatCannotBeOpenedIsRejected) {
    State().Spectrum.PointCount = 42;
    EXPECT_EQ(ReadImpedanceData(kData + "no such file.txt"), 1);
    ASSERT_EQ(services.messages.transcript().size(), 1u);
    EXPECT_NE(services.messages.transcript()[0].text.find("no such file.txt"), std::string::npos);
    EXPECT_EQ(State().Spectrum.PointCount, 42);
}

// Serves its text, then fails the way a vanished network drive does.
class BreakingBuffer : public std::streambuf {
public:
    explicit BreakingBuffer(std::string text) : text_(std::move(text)) {
        setg(text_.data(), text_.data(), text_.data() + text_.size());
    }

protected:
    int_type underflow() override { throw std::runtime_error("read error"); }

private:
    std::string text_;
};

TEST_F(DataReader, ReadThatBreaksOffIsRejected) {
    ASSERT_EQ(ReadImpedanceData(kData + "plain_lf.txt"), 0);
    const SpectrumBlock before = State().Spectrum;
    services.messages.clear();

    // Twenty good points, then the read fails: the file was not read whole.
    BreakingBuffer buffer(PlainPoints(20));
    std::istream in(&buffer);
    EXPECT_EQ(ReadImpedanceData(in), 1);
    ASSERT_EQ(services.messages.transcript().size(), 1u);
    EXPECT_EQ(services.messages.transcript()[0].text, "Cannot read the data file.");
    EXPECT_EQ(State().Spectrum.PointCount, 16);
    EXPECT_EQ(State().Spectrum.Frequency[1], before.Frequency[1]);

    // A folder picked as the data file is no file with zero points.
    services.messages.clear();
    EXPECT_EQ(ReadImpedanceData(kData), 1);
    ASSERT_EQ(services.messages.transcript().size(), 1u);
    EXPECT_EQ(services.messages.transcript()[0].text.find("You have"), std::string::npos);
    EXPECT_EQ(State().Spectrum.PointCount, 16);
}

TEST_F(DataReader, ExportedImpedanceTableReadsBackAsTheSameSpectrum) {
    ASSERT_EQ(ReadImpedanceData(kData + "zview_export.txt"), 0);
    const SpectrumBlock original = State().Spectrum;
    const fs::path out = fs::path(PELLUCOR_TEST_OUTPUT_DIR) / "data_reader" / "roundtrip.txt";
    fs::remove(out);
    ASSERT_TRUE(ExportPlotData(out.string(), 1));

    State().Spectrum = SpectrumBlock();
    ASSERT_EQ(ReadImpedanceData(out.string()), 0);
    const SpectrumBlock& back = State().Spectrum;
    ASSERT_EQ(back.PointCount, original.PointCount);
    for (int i = 1; i <= back.PointCount; ++i) {
        EXPECT_DOUBLE_EQ(back.Frequency[i], original.Frequency[i]) << i;
        EXPECT_DOUBLE_EQ(back.Omega[i], original.Omega[i]) << i;
        EXPECT_DOUBLE_EQ(back.ZReal[i], original.ZReal[i]) << i;
        EXPECT_DOUBLE_EQ(back.ZImag[i], original.ZImag[i]) << i;
    }
}

TEST_F(DataReader, ASavedSpectrumOpensAgainWithTheSignsItHad) {
    // Stored Z'' is positive for capacitive points. A simulated inductive
    // circuit gives mostly negative rows, and a spectrum may hold points with
    // Z'' = 0, so that neither sign has the majority; the program's own file
    // must bring every row back under each sign option, while the same file
    // opened by the person is read by the options like any other file.
    struct Case {
        const char* what;
        int negative, zero, positive;
    } cases[] = {
        {"mostly inductive", 15, 0, 5},
        {"wholly inductive", 20, 0, 0},
        {"a tie broken by zeros", 9, 2, 9},
        {"mostly capacitive", 3, 0, 17},
    };
    const fs::path dir = fs::path(PELLUCOR_TEST_OUTPUT_DIR) / "data_reader";
    fs::create_directories(dir);
    const std::string file = (dir / "own_signs.sim").string();
    for (const Case& c : cases) {
        for (int option = 0; option < 4; ++option) {
            const bool autoSign = option & 1, reverse = option & 2;
            SCOPED_TRACE(std::string(c.what) + (autoSign ? ", detect" : "") + (reverse ? ", reverse" : ""));
            ResetProgramState();
            State().Options.AutoSignZImag = autoSign;
            State().Options.ReverseZImag = reverse;
            SpectrumBlock& sp = State().Spectrum;
            const int n = c.negative + c.zero + c.positive;
            sp.PointCount = n;
            for (int i = 1; i <= n; ++i) {
                sp.Frequency[i] = 1e4 / i;
                sp.Omega[i] = TwoPi * sp.Frequency[i];
                sp.ZReal[i] = 10.0 + i;
                sp.ZImag[i] = i <= c.negative ? -0.5 * i : (i <= c.negative + c.zero ? 0.0 : 0.25 * i);
            }
            const SpectrumBlock saved = sp;
            ASSERT_TRUE(SaveDataFile(file, false));
            State().Files.WrittenAsImpedances = file;
            sp = SpectrumBlock();
            ASSERT_EQ(ReadImpedanceData(file), 0);
            ASSERT_EQ(sp.PointCount, n);
            for (int i = 1; i <= n; ++i) EXPECT_DOUBLE_EQ(sp.ZImag[i], saved.ZImag[i]) << i;

            // Opened by the person, the detection decides: a majority of
            // negative rows is taken as capacitive data with the other sign.
            State().Files.WrittenAsImpedances.clear();
            ASSERT_EQ(ReadImpedanceData(file), 0);
            const bool turned = autoSign && !reverse && 2 * c.positive < n;
            for (int i = 1; i <= n; ++i) EXPECT_DOUBLE_EQ(sp.ZImag[i], turned ? -saved.ZImag[i] : saved.ZImag[i]) << i;
        }
    }
}

TEST_F(DataReader, AfterDataLoadedResetsRunStateAndFreesParameters) {
    struct Hooks : MainWindowHooks {
        int replots = 0;
        void Replot() override { ++replots; }
    } hooks;
    WindowSet w;
    w.Main = &hooks;
    InstallWindows(w);
    RunState& run = State().Run;
    run.ModelValid = run.ParamsValid = run.SimulateMode = run.ResultsComputed = true;
    run.ExtrapolatedView = run.SimulatedResults = true;
    State().Params.ParamCount = 3;
    State().Params.Sign[5] = -1.0;
    MemoryParamWindow& par = DefaultParamWindow();
    for (int r = 1; r <= MaxParams; ++r) {
        par.fixed[r] = true;
        par.sign[r] = true;
        State().Params.Value[r] = 7.0;
    }

    AfterDataLoaded();

    EXPECT_TRUE(run.DataLoaded);
    EXPECT_FALSE(run.ModelValid || run.ParamsValid || run.SimulateMode || run.ResultsComputed ||
                 run.ExtrapolatedView || run.SimulatedResults);
    EXPECT_EQ(hooks.replots, 1);
    for (int r = 1; r <= MaxParams; ++r) {
        EXPECT_FALSE(par.fixed[r]) << r;
        EXPECT_FALSE(par.sign[r]) << r;
        EXPECT_DOUBLE_EQ(State().Params.Value[r], 1.0) << r;
        EXPECT_EQ(par.start[r], "1") << r;
    }
    EXPECT_DOUBLE_EQ(State().Params.Sign[5], 1.0);
}

}  // namespace
