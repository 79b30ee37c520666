#include "core/NumberText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

// Splits "%.*e" output of value rounded to `precision` digits into mantissa
// text and decimal exponent.
void RoundedScientific(double value, int precision, std::string& mantissa, int& exp10) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", precision - 1, value);
    const char* e = std::strchr(buf, 'e');
    exp10 = e ? std::atoi(e + 1) : 0;
    mantissa.assign(buf, e ? static_cast<size_t>(e - buf) : std::strlen(buf));
}

void DropTrailingZeros(std::string& s) {
    if (s.find('.') == std::string::npos) return;
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
}

}  // namespace

std::string FormatExponentText(double value, int precision, int exponentDigits) {
    std::string out;
    if (NonFiniteText(value, out)) return out;
    precision = std::clamp(precision, 1, 18);
    exponentDigits = std::clamp(exponentDigits, 0, 4);
    if (value == 0.0) value = 0.0;  // no sign on a zero
    std::string mantissa;
    int exp10 = 0;
    RoundedScientific(value, precision, mantissa, exp10);
    std::string digits = std::to_string(std::abs(exp10));
    if (static_cast<int>(digits.size()) < exponentDigits)
        digits.insert(0, static_cast<size_t>(exponentDigits) - digits.size(), '0');
    return mantissa + "E" + (exp10 < 0 ? "-" : "+") + digits;
}

std::string FormatGeneralText(double value, int precision) {
    std::string out;
    if (NonFiniteText(value, out)) return out;
    precision = std::clamp(precision, 1, 18);
    if (value == 0.0) return "0";
    std::string mantissa;
    int exp10 = 0;
    RoundedScientific(value, precision, mantissa, exp10);
    // Fixed notation from 0.0001 up to the precision's integer digits.
    if (exp10 < -4 || exp10 >= precision) {
        DropTrailingZeros(mantissa);
        return mantissa + "E" + (exp10 < 0 ? "-" : "") + std::to_string(std::abs(exp10));
    }
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", std::max(0, precision - 1 - exp10), value);
    out = buf;
    DropTrailingZeros(out);
    return out;
}

std::string FormatFixedText(double value, int precision, int decimals) {
    std::string out;
    if (NonFiniteText(value, out)) return out;
    precision = std::clamp(precision, 1, 18);
    decimals = std::clamp(decimals, 0, 18);
    std::string mantissa;
    int exp10 = 0;
    if (value != 0.0) {
        RoundedScientific(value, precision, mantissa, exp10);
        if (exp10 + 1 > precision) return FormatGeneralText(value, precision);
    }
    const int kept = value == 0.0 ? decimals : std::min(decimals, precision - 1 - exp10);
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.*f", std::max(0, kept), value);
    out = buf;
    if (decimals > 0) {
        if (out.find('.') == std::string::npos) out += '.';
        const size_t have = out.size() - out.find('.') - 1;
        if (have < static_cast<size_t>(decimals)) out.append(static_cast<size_t>(decimals) - have, '0');
    }
    // A value that rounds to zero is written without a sign.
    if (out[0] == '-' && out.find_first_not_of("-0.") == std::string::npos) out.erase(0, 1);
    return out;
}

}  // namespace pellucor
