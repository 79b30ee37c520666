#include "chart/NumberFormat.h"

#include <cmath>
#include <cstdio>
#include <cctype>
#include <cstdlib>
#include <vector>

#include "platform/Clock.h"

namespace pellucor::chart {

namespace {

// The decimal digits of a finite, non-negative value: value = 0.d1d2d3... ×
// 10^pointPos. 17 significant digits hold every double exactly enough for
// display rounding; an all-zero digit string means the value is 0.
struct Decimal {
    std::string digits;  // no leading zeros unless the value is 0
    int pointPos = 0;
    bool IsZero() const { return digits.find_first_not_of('0') == std::string::npos; }
};

Decimal ToDecimal(double absValue) {
    Decimal d;
    if (absValue == 0.0) {
        d.digits = "0";
        d.pointPos = 1;
        return d;
    }
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.16e", absValue);
    // buf: "d.dddddddddddddddde+XX"
    std::string s(buf);
    const auto ePos = s.find('e');
    for (std::size_t i = 0; i < ePos; ++i)
        if (s[i] >= '0' && s[i] <= '9') d.digits.push_back(s[i]);
    d.pointPos = std::atoi(s.c_str() + ePos + 1) + 1;
    return d;
}

// Keeps the first `keep` digits, rounding half away from zero on the decimal
// digits (as a reader of the printed number expects, 0.125 -> 0.13).
void RoundDigits(Decimal& d, int keep) {
    if (keep < 0) {
        d.digits = "0";
        d.pointPos = 1;
        return;
    }
    if (keep >= static_cast<int>(d.digits.size())) return;
    const bool up = d.digits[static_cast<std::size_t>(keep)] >= '5';
    d.digits.resize(static_cast<std::size_t>(keep));
    if (up) {
        int i = keep - 1;
        while (i >= 0) {
            char& c = d.digits[static_cast<std::size_t>(i)];
            if (c == '9') {
                c = '0';
                --i;
            } else {
                ++c;
                break;
            }
        }
        if (i < 0) {
            d.digits.insert(d.digits.begin(), '1');
            ++d.pointPos;
        }
    }
    if (d.digits.empty()) {
        d.digits = "0";
        d.pointPos = 1;
    }
}

void StripTrailingZeros(std::string& s, std::size_t keepAtLeast) {
    while (s.size() > keepAtLeast && s.back() == '0') s.pop_back();
}

// One section of a picture, parsed.
struct Section {
    enum Kind { Literal, Digit, Point, Exponent };
    struct Item {
        Kind kind;
        std::string text;  // Literal: the text; Exponent: "E+" etc.
        bool zero = false;  // Digit: '0' (always written) or '#'
        int expDigits = 0;  // Exponent: zero-padded width
    };
    std::vector<Item> items;
    bool grouping = false;
    bool scientific = false;
    int intPlaces = 0;   // digit places before the decimal point
    int fracPlaces = 0;  // digit places after it (and after the exponent)
    int minInt = 0;      // integer places from the first '0' on
    int minFrac = 0;     // fraction places up to the last '0'
};

Section ParseSection(const std::string& pic) {
    Section sec;
    bool seenPoint = false;
    bool seenExponent = false;
    int firstZeroInt = -1;
    std::size_t i = 0;
    auto addLiteral = [&](const std::string& t) {
        if (!sec.items.empty() && sec.items.back().kind == Section::Literal)
            sec.items.back().text += t;
        else
            sec.items.push_back({Section::Literal, t});
    };
    while (i < pic.size()) {
        const char c = pic[i];
        if (c == '"' || c == '\'') {
            const auto end = pic.find(c, i + 1);
            const auto stop = end == std::string::npos ? pic.size() : end;
            addLiteral(pic.substr(i + 1, stop - i - 1));
            i = end == std::string::npos ? pic.size() : end + 1;
        } else if (c == '0' || c == '#') {
            Section::Item it{Section::Digit, {}};
            it.zero = c == '0';
            sec.items.push_back(it);
            if (!seenPoint && !seenExponent) {
                if (c == '0' && firstZeroInt < 0) firstZeroInt = sec.intPlaces;
                ++sec.intPlaces;
            } else {
                ++sec.fracPlaces;
                if (c == '0') sec.minFrac = sec.fracPlaces;
            }
            ++i;
        } else if (c == '.' && !seenPoint && !seenExponent) {
            seenPoint = true;
            sec.items.push_back({Section::Point, {}});
            ++i;
        } else if (c == ',') {
            sec.grouping = true;
            ++i;
        } else if ((c == 'E' || c == 'e') && !seenExponent && i + 1 < pic.size() &&
                   (pic[i + 1] == '+' || pic[i + 1] == '-')) {
            seenExponent = true;
            sec.scientific = true;
            Section::Item it{Section::Exponent, pic.substr(i, 2)};
            i += 2;
            while (i < pic.size() && pic[i] == '0') {
                ++it.expDigits;
                ++i;
            }
            if (it.expDigits > 4) it.expDigits = 4;
            sec.items.push_back(it);
        } else {
            addLiteral(std::string(1, c));
            ++i;
        }
    }
    sec.minInt = firstZeroInt < 0 ? 0 : sec.intPlaces - firstZeroInt;
    return sec;
}

std::vector<std::string> SplitSections(const std::string& picture) {
    std::vector<std::string> out;
    std::string cur;
    char quote = 0;
    for (char c : picture) {
        if (quote) {
            if (c == quote) quote = 0;
            cur.push_back(c);
        } else if (c == '"' || c == '\'') {
            quote = c;
            cur.push_back(c);
        } else if (c == ';') {
            out.push_back(cur);
            cur.clear();
        } else {
            cur.push_back(c);
        }
    }
    out.push_back(cur);
    return out;
}

// Writes the digits into the section's places. intDigits fill the integer
// places right-aligned (surplus digits all go to the first place), fracDigits
// the fraction places in order.
std::string Emit(const Section& sec, const std::string& intDigits, const std::string& fracDigits,
                 const std::string& exponentText, const NumberFormatSettings& st) {
    std::string out;
    const int n = static_cast<int>(intDigits.size());
    int intPlace = 0;
    std::size_t fracIndex = 0;
    bool inFraction = false;
    // Index in intDigits of the first digit written by integer place k.
    auto firstDigitOfPlace = [&](int k) { return k == 0 ? 0 : n - (sec.intPlaces - k); };
    auto putIntDigit = [&](int j) {
        out.push_back(intDigits[static_cast<std::size_t>(j)]);
        const int remaining = n - 1 - j;
        if (sec.grouping && remaining > 0 && remaining % 3 == 0) out.push_back(st.thousandSeparator);
    };
    for (const auto& it : sec.items) {
        switch (it.kind) {
            case Section::Literal:
                out += it.text;
                break;
            case Section::Point:
                // A picture without integer places (".00") still writes the
                // integer digits, here in front of the point: 5.5 is "5.50".
                if (!inFraction && sec.intPlaces == 0)
                    for (int j = 0; j < n; ++j) putIntDigit(j);
                inFraction = true;
                if (!fracDigits.empty()) out.push_back(st.decimalSeparator);
                break;
            case Section::Exponent:
                inFraction = true;
                out += exponentText;
                break;
            case Section::Digit:
                if (!inFraction) {
                    const int k = intPlace++;
                    const int from = std::max(0, firstDigitOfPlace(k));
                    const int to = n - (sec.intPlaces - k - 1);  // exclusive
                    for (int j = from; j < to; ++j) putIntDigit(j);
                } else {
                    if (fracIndex < fracDigits.size()) out.push_back(fracDigits[fracIndex]);
                    ++fracIndex;
                }
                break;
        }
    }
    return out;
}

std::string FormatFixed(const Section& sec, double absValue, bool& isZero, bool& tooLarge,
                        const NumberFormatSettings& st) {
    Decimal d = ToDecimal(absValue);
    RoundDigits(d, d.pointPos + sec.fracPlaces);
    isZero = d.IsZero();
    if (isZero) {
        d.digits = "0";
        d.pointPos = 1;
    }
    if (d.pointPos > 18) {
        tooLarge = true;
        return {};
    }
    std::string intDigits, fracDigits;
    for (int k = 0; k < d.pointPos; ++k)
        intDigits.push_back(k < static_cast<int>(d.digits.size()) ? d.digits[static_cast<std::size_t>(k)] : '0');
    for (int k = 0; k < sec.fracPlaces; ++k) {
        const int idx = d.pointPos + k;
        fracDigits.push_back(idx >= 0 && idx < static_cast<int>(d.digits.size())
                                 ? d.digits[static_cast<std::size_t>(idx)]
                                 : '0');
    }
    // Leading zeros are not significant; "0" places bring them back.
    const auto nz = intDigits.find_first_not_of('0');
    intDigits = nz == std::string::npos ? std::string() : intDigits.substr(nz);
    while (static_cast<int>(intDigits.size()) < sec.minInt) intDigits.insert(intDigits.begin(), '0');
    StripTrailingZeros(fracDigits, static_cast<std::size_t>(sec.minFrac));
    return Emit(sec, intDigits, fracDigits, {}, st);
}

std::string FormatScientific(const Section& sec, double absValue, bool& isZero,
                             const NumberFormatSettings& st) {
    const int significant = std::max(1, sec.intPlaces + sec.fracPlaces);
    Decimal d = ToDecimal(absValue);
    RoundDigits(d, significant);
    isZero = d.IsZero();
    int exponent = 0;
    if (isZero) {
        d.digits.assign(static_cast<std::size_t>(significant), '0');
    } else {
        exponent = d.pointPos - sec.intPlaces;
        d.digits.resize(static_cast<std::size_t>(significant), '0');
    }
    const std::string intDigits = d.digits.substr(0, static_cast<std::size_t>(sec.intPlaces));
    std::string fracDigits = d.digits.substr(static_cast<std::size_t>(sec.intPlaces));
    StripTrailingZeros(fracDigits, static_cast<std::size_t>(sec.minFrac));

    std::string expText;
    for (const auto& it : sec.items) {
        if (it.kind != Section::Exponent) continue;
        expText.push_back(it.text[0]);
        if (exponent < 0)
            expText.push_back('-');
        else if (it.text[1] == '+')
            expText.push_back('+');
        std::string digits = std::to_string(std::abs(exponent));
        while (static_cast<int>(digits.size()) < it.expDigits) digits.insert(digits.begin(), '0');
        expText += digits;
        break;
    }
    return Emit(sec, intDigits, fracDigits, expText, st);
}

}  // namespace

NumberFormatSettings& DefaultNumberFormatSettings() {
    static NumberFormatSettings settings;
    return settings;
}

std::string FormatFloatGeneral(double value, int precision, const NumberFormatSettings& st) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    std::string sign = value < 0 ? "-" : "";
    Decimal d = ToDecimal(std::fabs(value));
    RoundDigits(d, precision);
    if (d.IsZero()) return "0";
    StripTrailingZeros(d.digits, 1);
    const int nd = static_cast<int>(d.digits.size());
    std::string out = sign;
    if (d.pointPos <= precision && d.pointPos >= -4) {
        // fixed: at most `precision` integer digits, value >= 0.00001
        if (d.pointPos <= 0) {
            out += "0";
            out.push_back(st.decimalSeparator);
            out.append(static_cast<std::size_t>(-d.pointPos), '0');
            out += d.digits;
        } else {
            for (int k = 0; k < d.pointPos; ++k) out.push_back(k < nd ? d.digits[static_cast<std::size_t>(k)] : '0');
            if (nd > d.pointPos) {
                out.push_back(st.decimalSeparator);
                out += d.digits.substr(static_cast<std::size_t>(d.pointPos));
            }
        }
        return out;
    }
    out.push_back(d.digits[0]);
    if (nd > 1) {
        out.push_back(st.decimalSeparator);
        out += d.digits.substr(1);
    }
    out += "E";
    out += std::to_string(d.pointPos - 1);
    return out;
}

std::string FormatFloat(const std::string& picture, double value) {
    return FormatFloat(picture, value, DefaultNumberFormatSettings());
}

std::string FormatFloat(const std::string& picture, double value, const NumberFormatSettings& st) {
    if (picture.empty() || !std::isfinite(value)) return FormatFloatGeneral(value, 15, st);

    const auto sections = SplitSections(picture);
    const std::string& first = sections[0];
    auto sectionOr = [&](std::size_t i) -> const std::string& {
        return i < sections.size() && !sections[i].empty() ? sections[i] : first;
    };
    const bool negative = value < 0;
    const double absValue = std::fabs(value);
    const bool ownNegative = negative && sections.size() > 1 && !sections[1].empty();

    auto render = [&](const std::string& pic, bool& isZero, bool& tooLarge) {
        const Section sec = ParseSection(pic);
        return sec.scientific ? FormatScientific(sec, absValue, isZero, st)
                              : FormatFixed(sec, absValue, isZero, tooLarge, st);
    };

    bool isZero = false;
    bool tooLarge = false;
    std::string text = render(negative ? sectionOr(1) : first, isZero, tooLarge);
    if (tooLarge) return FormatFloatGeneral(value, 15, st);
    if (isZero) {
        // A value that is, or rounds to, zero uses the zero section and
        // carries no sign.
        if (sections.size() > 2 && !sections[2].empty()) {
            bool z2 = false, big2 = false;
            return render(sections[2], z2, big2);
        }
        if (negative && ownNegative) {
            bool z2 = false, big2 = false;
            return render(first, z2, big2);
        }
        return text;
    }
    if (negative && !ownNegative) text.insert(text.begin(), '-');
    return text;
}

namespace {

std::string Pad(int v, int width) {
    std::string s = std::to_string(v);
    while (static_cast<int>(s.size()) < width) s.insert(s.begin(), '0');
    return s;
}

}  // namespace

std::string FormatDateTime(const std::string& picture, double value) {
    // Beyond the calendar (and not a number) there is no date to write.
    if (!IsCalendarDate(value)) return {};
    const platform::DateTime t = platform::DateTime::FromSerial(value);

    std::string out;
    bool afterHour = false;
    std::size_t i = 0;
    auto run = [&](char c) {
        std::size_t n = 0;
        while (i + n < picture.size() && std::tolower(static_cast<unsigned char>(picture[i + n])) == c) ++n;
        return n;
    };
    while (i < picture.size()) {
        const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(picture[i])));
        if (c == '"' || c == '\'') {
            const auto end = picture.find(picture[i], i + 1);
            const auto stop = end == std::string::npos ? picture.size() : end;
            out += picture.substr(i + 1, stop - i - 1);
            i = end == std::string::npos ? picture.size() : end + 1;
            continue;
        }
        std::size_t n = 0;
        switch (c) {
            case 'y':
                n = run('y');
                out += n <= 2 ? Pad(t.year % 100, 2) : Pad(t.year, 4);
                break;
            case 'm':
                n = std::min<std::size_t>(run('m'), 2);
                out += afterHour ? Pad(t.minute, n == 2 ? 2 : 1) : Pad(t.month, n == 2 ? 2 : 1);
                afterHour = false;
                break;
            case 'd':
                n = std::min<std::size_t>(run('d'), 2);
                out += Pad(t.day, static_cast<int>(n));
                break;
            case 'h':
                n = std::min<std::size_t>(run('h'), 2);
                out += Pad(t.hour, static_cast<int>(n));
                afterHour = true;
                break;
            case 'n':
                n = std::min<std::size_t>(run('n'), 2);
                out += Pad(t.minute, static_cast<int>(n));
                break;
            case 's':
                n = std::min<std::size_t>(run('s'), 2);
                out += Pad(t.second, static_cast<int>(n));
                break;
            default:
                out.push_back(picture[i]);
                n = 1;
                break;
        }
        i += n;
    }
    return out;
}

}  // namespace pellucor::chart
