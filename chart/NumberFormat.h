#pragma once
// Picture formatting of floating-point numbers, as axis labels and series
// values are written ("#,##0.###", "0.00E+00", "0E+00" ...).
#include <cmath>
#include <string>

namespace pellucor::chart {

// Separators written for the "." and "," of a picture. They describe the
// display locale; labels are shown, never read back.
struct NumberFormatSettings {
    char decimalSeparator = '.';
    char thousandSeparator = ',';
};

// The settings used when none are given (initially "." and ",").
NumberFormatSettings& DefaultNumberFormatSettings();

// Writes value with the picture format:
// - up to three sections separated by ";" (positive; negative; zero); a
//   missing or empty section falls back to the first; with one section a
//   negative value gets a leading "-";
// - "0" a digit always written, "#" a digit written only when significant;
// - the first "." is the decimal point (written only when a fraction digit
//   follows it); a "," among the digits groups the integer part in threes;
// - "E+", "E-", "e+", "e-" switch to scientific notation, the "0"s right
//   after the sign (at most 4) giving the zero-padded exponent width;
// - quoted text is copied without the quotes, other characters as they are;
// - an empty picture, a value needing more than 18 integer digits, or a
//   value that is infinite or not a number is written in general format
//   with 15 significant digits ("INF", "-INF", "NAN" for the latter).
std::string FormatFloat(const std::string& picture, double value);
std::string FormatFloat(const std::string& picture, double value,
                        const NumberFormatSettings& settings);

// General format with the given number of significant digits: fixed
// notation while the exponent allows it, else "d.dddE+x"-free form
// "1.5E20" / "1E-7" (no padding, sign only when negative).
std::string FormatFloatGeneral(double value, int precision,
                               const NumberFormatSettings& settings);

// Date-times the calendar arithmetic takes: finite and within about two
// million years of 1900 (the whole days must fit an integer). Other values
// have no date: they are no date text and are stepped as plain numbers.
inline constexpr double MaxDateTimeMagnitude = 1e9;
inline bool IsCalendarDate(double value) { return std::fabs(value) < MaxDateTimeMagnitude; }

// Writes a date-time (days since 30 December 1899, fraction = time of day)
// with a date-time picture: d, dd, m, mm, yy, yyyy, h, hh, n, nn, s, ss
// ("m"/"mm" right after an hour means minutes); quoted text and other
// characters are copied.
std::string FormatDateTime(const std::string& picture, double value);

}  // namespace pellucor::chart
