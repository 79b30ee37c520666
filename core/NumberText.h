#pragma once
// Numbers as text, the way the desktop run-time library formats them
// (FloatToStrF): general, exponent and fixed notation. Always with a decimal
// point; callers that show or write numbers apply PointToComma.
#include <string>

namespace pellucor {

// exponent notation, e.g. FormatExponentText(1234.5, 4, 3) = "1.235E+003";
std::string FormatExponentText(double value, int precision, int exponentDigits);
// fixed notation rounded to `precision` significant digits and at most
// `decimals` decimals, padded to `decimals` decimals, e.g. (12.345, 3, 2) =
// "12.30"; values with more integer digits than `precision` fall back to
// general notation ("1.23E3").
std::string FormatFixedText(double value, int precision, int decimals);
// general notation with `precision` significant digits ("1.5E5", "0.001234").
std::string FormatGeneralText(double value, int precision);

// A number typed into an edit: a decimal comma counts as a point, whatever
// locale the desktop gave the program; text that is no finite number reads
// as 0.
double ReadTypedNumber(const std::string& text);

}  // namespace pellucor
