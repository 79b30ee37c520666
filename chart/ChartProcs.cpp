#include "chart/ChartProcs.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "chart/Chartconst.h"
#include "chart/NumberFormat.h"
#include "platform/Clock.h"

namespace pellucor::chart {

// --- fonts ---

namespace {
// Whether the system's primary language is Japanese. The programs run with
// western settings; a Japanese desktop would also change the default font.
bool SystemIsJapanese() { return false; }
}  // namespace

std::string GetDefaultFontName() {
    std::string name = TeeMsg_DefaultFontName;
    // On a Japanese system the system's default font would be taken here.
    return name;
}

int GetDefaultFontSize() {
    int size = std::atoi(TeeMsg_DefaultFontSize);
    CheckJapaneseFontSize(size);
    return size;
}

void CheckJapaneseFontSize(int& size) {
    if (size == 8 && SystemIsJapanese()) size = -platform::MulDiv(-12, 72, GetScreenLogPixels());
}

int GetScreenLogPixels() { return 96; }

std::unique_ptr<TFont> CreateDefaultFont(std::function<void()> changeHandler) {
    auto f = std::make_unique<TFont>();
    f->SetPixelsPerInch(GetScreenLogPixels());
    f->SetName(GetDefaultFontName());
    f->SetSize(GetDefaultFontSize());
    f->SetColor(clBlack);
    f->SetStyle(0);
    f->OnChange = std::move(changeHandler);
    return f;
}

bool IsDefaultFont(const TFont& font) {
    return font.GetSize() == GetDefaultFontSize() && font.GetName() == GetDefaultFontName() &&
           font.GetColor() == clBlack && font.GetStyle() == 0 && font.GetCharset() == 1;
}

TChartFontObject::TChartFontObject(TChartWindow* panel)
    : Panel(panel), Font(CreateDefaultFont([this] { Repaint(); })) {}

void TChartFontObject::SetFont(const TFont& font) { Font->AssignFont(font); }

void TChartFontObject::Assign(const TChartFontObject& source) { Font->AssignFont(*source.Font); }

void TChartFontObject::Repaint() {
    if (Panel) Panel->Invalidate();
}

// --- gradient ---

void TCustomChartGradient::Changed() {
    if (Owner) Owner->Invalidate();
}
void TCustomChartGradient::SetDirection(TGradientDirection d) {
    if (d == Direction) return;
    Direction = d;
    Changed();
}
void TCustomChartGradient::SetEndColor(TColor c) {
    if (c == EndColor) return;
    EndColor = c;
    Changed();
}
void TCustomChartGradient::SetStartColor(TColor c) {
    if (c == StartColor) return;
    StartColor = c;
    Changed();
}
void TCustomChartGradient::SetVisible(bool v) {
    if (v == Visible) return;
    Visible = v;
    Changed();
}
void TCustomChartGradient::Assign(const TCustomChartGradient& source) {
    Visible = source.Visible;
    Direction = source.Direction;
    StartColor = source.StartColor;
    EndColor = source.EndColor;
}

// --- colours ---

const TColor DefaultColorPalette[16] = {clRed,    clGreen, clYellow, clBlue,  clWhite, clGray,
                                        clFuchsia, clTeal, clNavy,   clMaroon, clLime, clOlive,
                                        clPurple, clSilver, clAqua,  clBlack};

TColor GetDefaultColor(int index) {
    if (index < 0) index = 0;
    return DefaultColorPalette[index % 16];
}

// --- texts ---

void ChartSplitInLines(std::string& text, const std::string& separator) {
    // A separator that starts with the line break would be found again after
    // every replacement; where it occurs the text is already split.
    if (separator.empty() || separator.front() == TeeLineSeparator) return;
    for (auto pos = text.find(separator); pos != std::string::npos; pos = text.find(separator))
        text[pos] = TeeLineSeparator;
}

int ChartNumTextLines(const std::string& text) {
    if (text.empty()) return 0;
    int n = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == TeeLineSeparator) {
            ++n;
            start = i + 1;
        }
    }
    if (start < text.size()) ++n;
    return n;
}

int ChartNumFields(const std::string& text) {
    if (text.empty()) return 0;
    return 1 + static_cast<int>(std::count(text.begin(), text.end(), TeeFieldSeparator));
}

std::string ChartExtractField(const std::string& text, int index) {
    if (text.empty()) return {};
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (true) {
        const std::size_t p = text.find(TeeFieldSeparator, start);
        if (p == std::string::npos) {
            fields.push_back(text.substr(start));
            break;
        }
        fields.push_back(text.substr(start, p - start));
        start = p + 1;
    }
    if (index < 1 || index > static_cast<int>(fields.size())) return fields.back();
    return fields[static_cast<std::size_t>(index - 1)];
}

std::string ChartFormatToLocal(const std::string& format) {
    const NumberFormatSettings& s = DefaultNumberFormatSettings();
    std::string out = format;
    for (char& c : out) {
        if (c == ',') c = s.thousandSeparator;
        else if (c == '.') c = s.decimalSeparator;
    }
    return out;
}

std::string ChartLocalToFormat(const std::string& format) {
    const NumberFormatSettings& s = DefaultNumberFormatSettings();
    std::string out = format;
    for (char& c : out) {
        if (c == s.thousandSeparator) c = ',';
        else if (c == s.decimalSeparator) c = '.';
    }
    return out;
}

// --- dates and steps ---

const double DateTimeStep[25] = {
    1.0 / 86400.0,  5.0 / 86400.0,  10.0 / 86400.0, 15.0 / 86400.0, 30.0 / 86400.0,
    1.0 / 1440.0,   5.0 / 1440.0,   10.0 / 1440.0,  15.0 / 1440.0,  30.0 / 1440.0,
    1.0 / 24.0,     2.0 / 24.0,     6.0 / 24.0,     12.0 / 24.0,    1.0,
    2.0,            3.0,            7.0,            15.0,           30.0,
    60.0,           90.0,           120.0,          182.0,          365.0};

ChartDateFormats& DefaultChartDateFormats() {
    static ChartDateFormats formats;
    return formats;
}

int DaysInMonth(int year, int month) {
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

std::string DateTimeDefaultFormat(double stepDays) {
    return stepDays > 1.0 ? DefaultChartDateFormats().shortDate
                          : DefaultChartDateFormats().shortTime;
}

double NextDateTimeStep(double step) {
    for (int i = 23; i >= 0; --i)
        if (DateTimeStep[i] <= step) return DateTimeStep[i + 1];
    return DateTimeStep[dtOneYear];
}

TDateTimeStep FindDateTimeStep(double step) {
    for (int i = 24; i >= 0; --i)
        if (std::fabs(DateTimeStep[i] - step) < DateTimeStep[0]) return static_cast<TDateTimeStep>(i);
    return dtNone;
}

namespace {
void DecodeDate(TDateTime d, int& y, int& m, int& day) {
    const platform::DateTime t = platform::DateTime::FromSerial(d);
    y = t.year;
    m = t.month;
    day = t.day;
}
TDateTime EncodeDate(int y, int m, int d) {
    platform::DateTime t;
    t.year = y;
    t.month = m;
    t.day = d;
    return t.ToSerial();
}
}  // namespace

TDateTime ChartRoundDate(TDateTime date, TDateTimeStep step) {
    if (date <= EncodeDate(1900, 1, 1) || !IsCalendarDate(date)) return date;
    int y, m, d;
    DecodeDate(date, y, m, d);
    switch (step) {
        case dtHalfMonth: d = d < 15 ? 1 : 15; break;
        case dtOneMonth:
        case dtTwoMonths:
        case dtThreeMonths:
        case dtFourMonths:
        case dtSixMonths: d = 1; break;
        case dtOneYear:
            d = 1;
            m = 1;
            break;
        default: break;
    }
    return EncodeDate(y, m, d);
}

void ChartDateTimeIncrement(bool isDateTime, bool increment, double& value, double anIncrement,
                            TDateTimeStep step) {
    if (!isDateTime || step < dtHalfMonth || step > dtOneYear || !IsCalendarDate(value)) {
        value += increment ? anIncrement : -anIncrement;
        return;
    }
    int y, m, d;
    DecodeDate(value, y, m, d);
    switch (step) {
        case dtHalfMonth:
            // Half-month marks fall on the 1st and the 15th: forward to the
            // next of them, back to the previous one.
            if (increment) {
                if (d < 15) {
                    d = 15;
                } else {
                    d = 1;
                    if (++m > 12) {
                        m = 1;
                        ++y;
                    }
                }
            } else if (d > 15) {
                d = 15;
            } else if (d > 1) {
                d = 1;
            } else {
                if (--m < 1) {
                    m = 12;
                    --y;
                }
                d = 15;
            }
            break;
        case dtOneYear:
            y += increment ? 1 : -1;
            // 29 February moved to a common year becomes the 28th.
            d = std::min(d, DaysInMonth(y, m));
            break;
        default: {
            int months = 1;
            switch (step) {
                case dtTwoMonths: months = 2; break;
                case dtThreeMonths: months = 3; break;
                case dtFourMonths: months = 4; break;
                case dtSixMonths: months = 6; break;
                default: break;
            }
            d = 1;
            if (increment) {
                m += months;
                if (m > 12) {
                    m -= 12;
                    ++y;
                }
            } else if (m <= months) {
                m = 12 - (months - m);
                --y;
            } else {
                m -= months;
            }
            break;
        }
    }
    value = EncodeDate(y, m, d);
}

double ChartNextStep(double x) {
    if (!(x > 0) || !std::isfinite(x)) return x;
    // Scale into [1, 10). Powers of ten are not exact in binary, so values a
    // last bit away from a decade or from 2 and 5 count as those values:
    // exact decade values must step up, never stay where they are.
    constexpr double tol = 1e-9;
    int e = static_cast<int>(std::floor(std::log10(x)));
    auto pow10 = [](int k) { return std::pow(10.0, k); };
    // Below the normal range 10^-e itself overflows: scale in two steps there.
    auto scaled = [&](int k) {
        if (k < -300) return x * pow10(300) * pow10(-k - 300);
        return k >= 0 ? x / pow10(k) : x * pow10(-k);
    };
    double m = scaled(e);
    if (m >= 10.0 * (1 - tol)) m = scaled(++e);
    else if (m < 1.0 * (1 - tol)) m = scaled(--e);
    double r;
    if (m < 2.0 * (1 - tol)) r = 2.0;
    else if (m < 5.0 * (1 - tol)) r = 5.0;
    else r = 10.0;
    if (e < -300) return r / pow10(300) / pow10(-e - 300);
    return e >= 0 ? r * pow10(e) : r / pow10(-e);
}

// --- hit tests ---

bool PointInLineTolerance(const TPoint& p, int px, int py, int qx, int qy, int tolerance) {
    const long long cross = static_cast<long long>(qy - py) * (p.x - px) -
                            static_cast<long long>(p.y - py) * (qx - px);
    const long long limit = std::max(std::llabs(static_cast<long long>(qx) - px),
                                     std::llabs(static_cast<long long>(qy) - py));
    if (!(std::llabs(cross) < limit)) return false;
    auto before = [tolerance](int a, int b) { return static_cast<long long>(a) + tolerance < b; };
    auto beyond = [&](int e, int f, int v) {
        return (before(f, e) && before(e, v)) || (before(v, e) && before(e, f));
    };
    if (beyond(px, qx, p.x) || beyond(py, qy, p.y)) return false;
    if (beyond(qx, px, p.x) || beyond(qy, py, p.y)) return false;
    return true;
}

bool PointInLine(const TPoint& p, int px, int py, int qx, int qy) {
    return PointInLineTolerance(p, px, py, qx, qy, 0);
}

bool PointInPolygon(const TPoint& p, const TPoint* poly, int highIndex) {
    if (highIndex < 0 || !poly) return false;
    bool inside = false;
    int j = highIndex;
    for (int i = 0; i <= highIndex; ++i) {
        const TPoint& a = poly[i];
        const TPoint& b = poly[j];
        if (p.y >= std::min(a.y, b.y) && p.y < std::max(a.y, b.y)) {
            const double xCross =
                a.x + static_cast<double>(b.x - a.x) * (p.y - a.y) / static_cast<double>(b.y - a.y);
            if (p.x < xCross) inside = !inside;
        }
        j = i;
    }
    return inside;
}

bool PointInTriangle(const TPoint& p, int x0, int x1, int y0, int y1) {
    const TPoint t[3] = {{x0, y1}, {(x0 + x1) / 2, y0}, {x1, y1}};
    return PointInPolygon(p, t, 2);
}

bool PointInHorizTriangle(const TPoint& p, int y0, int y1, int x0, int x1) {
    const TPoint t[3] = {{x1, y0}, {x0, (y0 + y1) / 2}, {x1, y1}};
    return PointInPolygon(p, t, 2);
}

bool PointInEllipse(const TPoint& p, const TRect& rect) {
    const int cx = (rect.Left + rect.Right) / 2;
    const int cy = (rect.Top + rect.Bottom) / 2;
    const double a2 = static_cast<double>(cx - rect.Left) * (cx - rect.Left);
    const double b2 = static_cast<double>(cy - rect.Top) * (cy - rect.Top);
    if (a2 == 0 || b2 == 0) return false;
    const double dx = p.x - cx;
    const double dy = p.y - cy;
    return dx * dx / a2 + dy * dy / b2 <= 1.0;
}

// --- other ---

void ChartCheckAngle(int angle, const std::string& label) {
    if (angle < 0 || angle > 359) {
        std::string msg = TeeMsg_CheckAngle;
        msg.replace(msg.find("%s"), 2, label);
        throw ChartException(msg);
    }
}

std::string ChartGetUniqueName(const std::function<bool(const std::string&)>& ownerHasName,
                               const std::string& baseName) {
    for (int i = 1;; ++i) {
        std::string name = baseName + std::to_string(i);
        if (!ownerHasName || !ownerHasName(name)) return name;
    }
}

std::string ChartGetImageExtension(int index) {
    static const char* ext[5] = {"BMP", "WMF", "EMF", "CHT", "JPG"};
    if (index < 0 || index > 4) return {};
    return ext[index];
}

namespace {
struct CursorName {
    int cursor;
    const char* name;
};
// The platform's standard cursors by name.
const CursorName kCursors[] = {
    {0, "crDefault"},     {-1, "crNone"},       {-2, "crArrow"},      {-3, "crCross"},
    {-4, "crIBeam"},      {-6, "crSizeNESW"},   {-7, "crSizeNS"},     {-8, "crSizeNWSE"},
    {-9, "crSizeWE"},     {-10, "crUpArrow"},   {-11, "crHourGlass"}, {-12, "crDrag"},
    {-13, "crNoDrop"},    {-14, "crHSplit"},    {-15, "crVSplit"},    {-16, "crMultiDrag"},
    {-17, "crSQLWait"},   {-18, "crNo"},        {-19, "crAppStart"},  {-20, "crHelp"},
    {-21, "crHandPoint"}, {-22, "crSizeAll"},
};
}  // namespace

bool ChartIdentToCursor(const std::string& ident, int& cursor) {
    if (ident == "crChartHand") {
        cursor = crChartHand;
        return true;
    }
    for (const CursorName& c : kCursors) {
        if (ident == c.name) {
            cursor = c.cursor;
            return true;
        }
    }
    return false;
}

bool ChartCursorToIdent(int cursor, std::string& ident) {
    if (cursor == crChartHand) {
        ident = "crChartHand";
        return true;
    }
    for (const CursorName& c : kCursors) {
        if (cursor == c.cursor) {
            ident = c.name;
            return true;
        }
    }
    return false;
}

}  // namespace pellucor::chart
