#pragma once
// Shared helpers of the chart engine: the font object base, the gradient
// description, default font and colours, text splitting, date-time steps,
// round axis increments, hit tests and the angle check.
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "chart/ChartCanvas.h"
#include "chart/NumberFormat.h"

namespace pellucor::chart {

// The engine's exception (invalid settings, bad angles).
class ChartException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Separators of multi-line texts and of fields.
constexpr char TeeLineSeparator = '\r';  // character 13
constexpr char TeeFieldSeparator = ';';

// --- fonts ---

// "Arial" (the system's default font name stands in on Japanese systems).
std::string GetDefaultFontName();
// 8 (through CheckJapaneseFontSize).
int GetDefaultFontSize();
void CheckJapaneseFontSize(int& size);
// The screen's logical pixels per inch vertically.
int GetScreenLogPixels();
// A new default font (name and size above, black, plain) whose change
// notification is changeHandler. The caller owns it.
std::unique_ptr<TFont> CreateDefaultFont(std::function<void()> changeHandler);
bool IsDefaultFont(const TFont& font);

// Base of every element with a font. Any change of the font invalidates the panel.
class TChartFontObject {
public:
    explicit TChartFontObject(TChartWindow* panel);
    virtual ~TChartFontObject() = default;
    TChartFontObject(const TChartFontObject&) = delete;
    TChartFontObject& operator=(const TChartFontObject&) = delete;

    TFont& GetFont() { return *Font; }
    const TFont& GetFont() const { return *Font; }
    // The font takes the attributes of the given font.
    void SetFont(const TFont& font);
    void Assign(const TChartFontObject& source);
    bool IsFontStored() const { return !IsDefaultFont(*Font); }
    void Repaint();

    TChartWindow* Panel;
    std::unique_ptr<TFont> Font;
};

// Description of a gradient fill of the panel background.
class TCustomChartGradient {
public:
    explicit TCustomChartGradient(TChartWindow* owner = nullptr) : Owner(owner) {}
    virtual ~TCustomChartGradient() = default;

    TGradientDirection GetDirection() const { return Direction; }
    TColor GetEndColor() const { return EndColor; }
    TColor GetStartColor() const { return StartColor; }
    bool GetVisible() const { return Visible; }
    void SetDirection(TGradientDirection d);
    void SetEndColor(TColor c);
    void SetStartColor(TColor c);
    void SetVisible(bool v);
    // Copies Visible, Direction, StartColor and EndColor.
    void Assign(const TCustomChartGradient& source);

    TChartWindow* Owner;

protected:
    void Changed();
    TGradientDirection Direction = gdTopBottom;
    TColor EndColor = clYellow;
    TColor StartColor = clWhite;
    bool Visible = false;
};

class TChartGradient : public TCustomChartGradient {
public:
    using TCustomChartGradient::TCustomChartGradient;
};

// --- colours ---

extern const TColor DefaultColorPalette[16];
// DefaultColorPalette[index mod 16]; index 0 or more.
TColor GetDefaultColor(int index);

// --- texts ---

// Replaces the first character of every occurrence of separator with the
// line separator.
void ChartSplitInLines(std::string& text, const std::string& separator);
int ChartNumTextLines(const std::string& text);
int ChartNumFields(const std::string& text);
// Field index (from 1) of a ";"-separated text; out of range: the last field.
std::string ChartExtractField(const std::string& text, int index);
// "," -> thousands separator, "." -> decimal separator of the display
// settings, and back.
std::string ChartFormatToLocal(const std::string& format);
std::string ChartLocalToFormat(const std::string& format);

// --- dates and steps (date-times are days since 30 December 1899) ---

using TDateTime = double;

enum TDateTimeStep {
    dtOneSecond, dtFiveSeconds, dtTenSeconds, dtFifteenSeconds, dtThirtySeconds, dtOneMinute,
    dtFiveMinutes, dtTenMinutes, dtFifteenMinutes, dtThirtyMinutes, dtOneHour, dtTwoHours,
    dtSixHours, dtTwelveHours, dtOneDay, dtTwoDays, dtThreeDays, dtOneWeek, dtHalfMonth,
    dtOneMonth, dtTwoMonths, dtThreeMonths, dtFourMonths, dtSixMonths, dtOneYear, dtNone
};
// The step of each TDateTimeStep 0..24, in days.
extern const double DateTimeStep[25];

// Short date and time formats of the display settings.
struct ChartDateFormats {
    std::string shortDate = "dd/mm/yyyy";
    std::string shortTime = "hh:nn";
};
ChartDateFormats& DefaultChartDateFormats();

int DaysInMonth(int year, int month);
std::string DateTimeDefaultFormat(double stepDays);
double NextDateTimeStep(double step);
TDateTimeStep FindDateTimeStep(double step);
TDateTime ChartRoundDate(TDateTime date, TDateTimeStep step);
void ChartDateTimeIncrement(bool isDateTime, bool increment, double& value, double anIncrement,
                            TDateTimeStep step);
// The next value above x of 1, 2, 5, 10, 20, 50 ...; x > 0.
double ChartNextStep(double x);

// --- hit tests ---

bool PointInLineTolerance(const TPoint& p, int px, int py, int qx, int qy, int tolerance);
bool PointInLine(const TPoint& p, int px, int py, int qx, int qy);
bool PointInPolygon(const TPoint& p, const TPoint* poly, int highIndex);
bool PointInTriangle(const TPoint& p, int x0, int x1, int y0, int y1);
bool PointInHorizTriangle(const TPoint& p, int y0, int y1, int x0, int x1);
bool PointInEllipse(const TPoint& p, const TRect& rect);

// --- other ---

// Raises ChartException "<label> Angle must be between 0 and 359 degrees".
void ChartCheckAngle(int angle, const std::string& label);
// baseName + "1", "2", ... up to the first the owner has no component of.
std::string ChartGetUniqueName(const std::function<bool(const std::string&)>& ownerHasName,
                               const std::string& baseName);
// "BMP", "WMF", "EMF", "CHT" (the engine's own chart files), "JPG" for 0..4;
// empty otherwise.
std::string ChartGetImageExtension(int index);

// The engine's hand cursor.
constexpr int crChartHand = 2020;
bool ChartIdentToCursor(const std::string& ident, int& cursor);
bool ChartCursorToIdent(int cursor, std::string& ident);

}  // namespace pellucor::chart
