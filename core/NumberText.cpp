#include "core/NumberText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/FileWriting.h"
#include "core/TextHelpers.h"

namespace pellucor {
namespace {

// Texts for values that are no finite number, as the run-time library writes them.
bool NonFiniteText(double value, std::string& out) {
    if (std::isnan(value)) {
        out = "NAN";
        return true;
    }
    if (std::isinf(value)) {
        out = value > 0 ? "INF" : "-INF";
        return true;
    }
    return false;
}

// A finite value as decimal digits: value = (negative ? -1 : 1) x
// d0.d1d2... x 10^exp10, with `digits` holding d0 d1 ... (no leading zero
// unless the value is zero).
struct DecimalDigits {
    bool negative = false;
    std::string digits;
    int exp10 = 0;
    bool IsZero() const { return digits.find_first_not_of('0') == std::string::npos; }
};

// The 18 significant digits of a finite value, as the run-time library takes
// them before it rounds. Only digits are taken from the text, so whatever
// decimal separator the process locale uses does not matter.
DecimalDigits EighteenDigits(double value) {
    DecimalDigits d;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17e", value);
    const char* p = buf;
    if (*p == '-') {
        d.negative = true;
        ++p;
    }
    for (; *p && *p != 'e' && *p != 'E'; ++p)
        if (*p >= '0' && *p <= '9') d.digits += *p;
    if (*p) d.exp10 = std::atoi(p + 1);
    if (d.IsZero()) {
        d.digits = "0";
        d.exp10 = 0;
    }
    return d;
}

// Rounds to `keep` significant digits, a half away from zero on the decimal
// digits (so 1234.5 gives 1235 and 0.125 gives 0.13, as the run-time library
// rounds). keep <= 0 leaves "0" or, when the first dropped digit is 5 or
// more, "1" one decade up.
DecimalDigits RoundDigits(DecimalDigits d, int keep) {
    if (d.IsZero()) return d;
    if (keep >= static_cast<int>(d.digits.size())) {
        d.digits.append(static_cast<size_t>(keep) - d.digits.size(), '0');
        return d;
    }
    if (keep <= 0) {
        const bool up = keep == 0 && d.digits[0] >= '5';
        d.digits = up ? "1" : "0";
        if (up) {
            ++d.exp10;
        } else {
            d.exp10 = 0;
        }
        return d;
    }
    const bool up = d.digits[static_cast<size_t>(keep)] >= '5';
    d.digits.resize(static_cast<size_t>(keep));
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.digits[static_cast<size_t>(i)] == '9') d.digits[static_cast<size_t>(i--)] = '0';
        if (i >= 0) {
            ++d.digits[static_cast<size_t>(i)];
        } else {
            // 9.99 -> 10.0: one decade up, still `keep` digits.
            d.digits.insert(d.digits.begin(), '1');
            d.digits.pop_back();
            ++d.exp10;
        }
    }
    return d;
}

void DropTrailingZeroDigits(std::string& digits) {
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
}

// d0.d1d2...E[sign]exp with at least `exponentDigits` exponent digits;
// `plusSign` writes "+" for a positive exponent.
std::string ScientificText(const DecimalDigits& d, int exponentDigits, bool plusSign) {
    std::string out = d.negative ? "-" : "";
    out += d.digits[0];
    if (d.digits.size() > 1) out += "." + d.digits.substr(1);
    std::string e = std::to_string(std::abs(d.exp10));
    if (static_cast<int>(e.size()) < exponentDigits)
        e.insert(0, static_cast<size_t>(exponentDigits) - e.size(), '0');
    return out + "E" + (d.exp10 < 0 ? "-" : (plusSign ? "+" : "")) + e;
}

// The digits placed around the decimal point, with at least `minDecimals`
// decimals (zeros appended).
std::string PositionalText(const DecimalDigits& d, int minDecimals) {
    std::string intPart, frac;
    if (d.exp10 >= 0) {
        const size_t n = static_cast<size_t>(d.exp10) + 1;
        intPart = d.digits.substr(0, std::min(n, d.digits.size()));
        if (intPart.size() < n) intPart.append(n - intPart.size(), '0');
        if (d.digits.size() > n) frac = d.digits.substr(n);
    } else {
        intPart = "0";
        frac = std::string(static_cast<size_t>(-d.exp10 - 1), '0') + d.digits;
    }
    if (static_cast<int>(frac.size()) < minDecimals) frac.append(static_cast<size_t>(minDecimals) - frac.size(), '0');
    std::string out = d.negative && !d.IsZero() ? "-" : "";
    out += intPart;
    if (!frac.empty()) out += "." + frac;
    return out;
}

}  // namespace

std::string FormatExponentText(double value, int precision, int exponentDigits) {
    std::string out;
    if (NonFiniteText(value, out)) return out;
    precision = std::clamp(precision, 1, 18);
    exponentDigits = std::clamp(exponentDigits, 0, 4);
    DecimalDigits d = RoundDigits(EighteenDigits(value), precision);
    if (d.IsZero()) {
        d.negative = false;  // no sign on a zero
        d.digits.assign(static_cast<size_t>(precision), '0');
    }
    return ScientificText(d, exponentDigits, true);
}

std::string FormatGeneralText(double value, int precision) {
    std::string out;
    if (NonFiniteText(value, out)) return out;
    precision = std::clamp(precision, 1, 18);
    DecimalDigits d = RoundDigits(EighteenDigits(value), precision);
    if (d.IsZero()) return "0";
    DropTrailingZeroDigits(d.digits);
    // Fixed notation from 0.0001 up to the precision's integer digits.
    if (d.exp10 < -4 || d.exp10 >= precision) return ScientificText(d, 0, false);
    return PositionalText(d, 0);
}

std::string FormatFixedText(double value, int precision, int decimals) {
    std::string out;
    if (NonFiniteText(value, out)) return out;
    precision = std::clamp(precision, 1, 18);
    decimals = std::clamp(decimals, 0, 18);
    const DecimalDigits exact = EighteenDigits(value);
    // One rounding, at `precision` significant digits or at `decimals`
    // decimals, whichever comes first.
    DecimalDigits d = RoundDigits(exact, std::min(precision, exact.exp10 + 1 + decimals));
    if (d.IsZero()) {
        d.negative = false;  // a value that rounds to zero is written without a sign
        d.digits = "0";
        d.exp10 = 0;
    } else if (d.exp10 + 1 > precision) {
        return FormatGeneralText(value, precision);
    }
    return PositionalText(d, decimals);
}

double ReadTypedNumber(const std::string& text) {
    const std::string t = CommaToPoint(text);
    const ScopedCNumericLocale cLocale;
    const char* begin = t.c_str();
    char* end = nullptr;
    const double v = std::strtod(begin, &end);
    if (end == begin || !std::isfinite(v)) return 0.0;
    return v;
}

}  // namespace pellucor
