#include <gtest/gtest.h>

#include <cmath>

#include <limits>

#include "chart/NumberFormat.h"

namespace pellucor::chart {
namespace {

struct FormatCase {
    const char* picture;
    double value;
    const char* expected;
};

NumberFormatSettings PeriodAndComma() { return NumberFormatSettings{'.', ','}; }

// The pictures the programs put on their axes, with values worked out by hand.
TEST(FormatFloatTest, AxisPicturesOfThePrograms) {
    const FormatCase cases[] = {
        {"#,##0.###", 200000, "200,000"},
        {"#,##0.###", 123.4567, "123.457"},
        {"#,##0.###", 50, "50"},
        {"#,##0.###", 0.00042, "0"},
        {"#,##0.###", 0.0005, "0.001"},
        {"#,##0.###", -1234567.5, "-1,234,567.5"},
        {"#,##0.###", 0.25, "0.25"},
        {"#,##0.###", 999.9996, "1,000"},
        {"#,##0.###", 1e15, "1,000,000,000,000,000"},
        {"0.00E+00", 200000, "2.00E+05"},
        {"0.00E+00", 0.00042, "4.20E-04"},
        {"0.00E+00", 0, "0.00E+00"},
        {"0.00E+00", -3.14159, "-3.14E+00"},
        {"0.00E+00", 9.996, "1.00E+01"},
        {"0.00E+00", 1e-120, "1.00E-120"},
        {"0E+00", 200000, "2E+05"},
        {"0E+00", 0.001, "1E-03"},
        {"0E+00", 1e6, "1E+06"},
        {"0E+00", 15, "2E+01"},
        {"0.0E+00", 200000, "2.0E+05"},
        {"0.0E+00", 0.5, "5.0E-01"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatFloat(c.picture, c.value, PeriodAndComma()), c.expected)
            << c.picture << " with " << c.value;
}

// The classic table of picture formats over 1234, -1234, 0.5 and 0.
TEST(FormatFloatTest, SectionsOptionalDigitsAndScientific) {
    const FormatCase cases[] = {
        {"", 1234, "1234"},         {"", -1234, "-1234"},      {"", 0.5, "0.5"},
        {"", 0, "0"},               {"0", 1234, "1234"},       {"0", -1234, "-1234"},
        {"0", 0.5, "1"},            {"0", 0, "0"},             {"0.00", 1234, "1234.00"},
        {"0.00", 0.5, "0.50"},      {"#.##", 1234, "1234"},    {"#.##", -1234, "-1234"},
        {"#.##", 0.5, ".5"},        {"#.##", 0, ""},           {"#,##0.00", 1234, "1,234.00"},
        {"#,##0.00;(#,##0.00)", -1234, "(1,234.00)"},
        {"#,##0.00;(#,##0.00)", 0.5, "0.50"},
        {"#,##0.00;;Zero", 0, "Zero"},
        {"#,##0.00;;Zero", -1234, "-1,234.00"},
        {"0.000E+00", 1234, "1.234E+03"},
        {"0.000E+00", -1234, "-1.234E+03"},
        {"0.000E+00", 0.5, "5.000E-01"},
        {"#.###E-0", 1234, "1.234E3"},
        {"#.###E-0", 0.5, "5E-1"},
        {"#.###E-0", 0, "0E0"},
        {"0.00 'Hz'", 12.5, "12.50 Hz"},
        {"\"f=\"0.0", 3.25, "f=3.3"},
        {"00000", 42, "00042"},
        {"0.00", 0.125, "0.13"},   // halves away from zero on the decimal digits
        {"0.00", -0.001, "0.00"},  // rounds to zero: no sign
        {".00", 5.5, "5.50"},      // no integer places: the digits still come out
        {".00", 0.5, ".50"},
        {",.0", 12345.25, "12,345.3"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatFloat(c.picture, c.value, PeriodAndComma()), c.expected)
            << c.picture << " with " << c.value;
}

TEST(FormatFloatTest, HugeAndNonFiniteValuesFallBackToGeneralFormat) {
    const auto st = PeriodAndComma();
    EXPECT_EQ(FormatFloat("#,##0.###", 1e20, st), "1E20");
    EXPECT_EQ(FormatFloat("#,##0.###", -2.5e30, st), "-2.5E30");
    EXPECT_EQ(FormatFloat("#,##0.###", 123456789012345678.0, st), "123,456,789,012,345,680");
    EXPECT_EQ(FormatFloat("0.00E+00", std::numeric_limits<double>::infinity(), st), "INF");
    EXPECT_EQ(FormatFloat("#,##0.###", -std::numeric_limits<double>::infinity(), st), "-INF");
    EXPECT_EQ(FormatFloat("#,##0.###", std::numeric_limits<double>::quiet_NaN(), st), "NAN");
    EXPECT_EQ(FormatFloatGeneral(0.1, 15, st), "0.1");
    EXPECT_EQ(FormatFloatGeneral(1.5e-7, 15, st), "1.5E-7");
    EXPECT_EQ(FormatFloatGeneral(0.0001, 15, st), "0.0001");
    EXPECT_EQ(FormatFloatGeneral(123456.75, 15, st), "123456.75");
}

TEST(FormatFloatTest, LocaleSeparatorsAreUsed) {
    const NumberFormatSettings german{',', '.'};
    EXPECT_EQ(FormatFloat("#,##0.###", 1234567.891, german), "1.234.567,891");
    EXPECT_EQ(FormatFloat("0.00E+00", 0.00042, german), "4,20E-04");
}

// Date-times are days since 30 December 1899: 36526 is 1 January 2000, so
// 36586 is 1 March 2000 (31 + 29 days on) and .5625 of a day is 13:30.
TEST(FormatDateTimeTest, DatePartsTimePartsAndLiterals) {
    const struct {
        const char* picture;
        double value;
        const char* expected;
    } cases[] = {
        {"dd/mm/yyyy hh:nn:ss", 36586.5625, "01/03/2000 13:30:00"},
        {"d/m/yy h:mm", 36586.5625, "1/3/00 13:30"},  // "mm" after an hour is minutes
        {"'Day' d", 36586.5625, "Day 1"},
        {"dd/mm hh:nn", 36586.999999999, "02/03 00:00"},  // under half a millisecond to midnight
    };
    for (const auto& c : cases) EXPECT_EQ(FormatDateTime(c.picture, c.value), c.expected) << c.picture;
}

TEST(FormatDateTimeTest, NoTextForValuesThatAreNoDate) {
    for (double v : {std::nan(""), HUGE_VAL, -HUGE_VAL, 1e308, -1e308, 9.3e18, 2e9})
        EXPECT_EQ(FormatDateTime("dd/mm/yyyy hh:nn", v), "") << v;
    EXPECT_EQ(FormatDateTime("yyyy", -36522.0), "1800");  // dates before 1900 still have one
}

}  // namespace
}  // namespace pellucor::chart
