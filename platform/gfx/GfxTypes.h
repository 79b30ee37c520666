#pragma once
// Plain value types of the drawing layer: colours, points, rectangles and the
// descriptions of pens, brushes and fonts as a device context realises them.
#include <cstdint>
#include <string>

namespace pellucor::platform {

// 0x00BBGGRR. A value with the top bit set names a system colour by its
// index in the low byte (0x8000000F is the button face); resolve it with
// ColorToRGB before handing it to a device.
using Color = std::uint32_t;

constexpr Color RGBColor(int r, int g, int b) {
    return static_cast<Color>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int RedOf(Color c) { return static_cast<int>(c & 0xFF); }
constexpr int GreenOf(Color c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int BlueOf(Color c) { return static_cast<int>((c >> 16) & 0xFF); }

constexpr Color kSystemColorFlag = 0x80000000u;
// System colour indexes used by the programs.
enum SystemColorIndex : int {
    COLOR_SCROLLBAR = 0, COLOR_BACKGROUND = 1, COLOR_ACTIVECAPTION = 2,
    COLOR_INACTIVECAPTION = 3, COLOR_MENU = 4, COLOR_WINDOW = 5, COLOR_WINDOWFRAME = 6,
    COLOR_MENUTEXT = 7, COLOR_WINDOWTEXT = 8, COLOR_CAPTIONTEXT = 9, COLOR_ACTIVEBORDER = 10,
    COLOR_INACTIVEBORDER = 11, COLOR_APPWORKSPACE = 12, COLOR_HIGHLIGHT = 13,
    COLOR_HIGHLIGHTTEXT = 14, COLOR_BTNFACE = 15, COLOR_BTNSHADOW = 16, COLOR_GRAYTEXT = 17,
    COLOR_BTNTEXT = 18, COLOR_INACTIVECAPTIONTEXT = 19, COLOR_BTNHIGHLIGHT = 20,
    COLOR_3DDKSHADOW = 21, COLOR_3DLIGHT = 22, COLOR_INFOTEXT = 23, COLOR_INFOBK = 24
};
// Plain RGB values pass unchanged; system colours take the desktop scheme's
// value (a fixed classic scheme here); an unknown index gives black.
Color ColorToRGB(Color c);

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    int cx = 0;
    int cy = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

// Far edges excluded: (0, 0, 10, 5) covers the pixel columns 0..9, rows 0..4.
struct Rect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// Pen styles in the order of the component library's pen; Alternate (every
// other pixel, one device pixel wide) exists only as a system-made pen.
enum class PenStyle { Solid, Dash, Dot, DashDot, DashDotDot, Clear, InsideFrame, Alternate };

// Raster operations of a pen, in the component library's order.
enum class PenMode {
    Black, White, Nop, Not, Copy, NotCopy, MergePenNot, MaskPenNot, MergeNotPen, MaskNotPen,
    Merge, NotMerge, Mask, NotMask, Xor, NotXor
};

struct PenDesc {
    PenStyle style = PenStyle::Solid;
    int width = 1;        // logical units; 0 and 1 draw one device pixel
    Color color = 0;      // RGB
    PenMode mode = PenMode::Copy;
    friend bool operator==(const PenDesc&, const PenDesc&) = default;
};

enum class BrushStyle { Solid, Clear, Horizontal, Vertical, FDiagonal, BDiagonal, Cross, DiagCross };

struct BrushDesc {
    BrushStyle style = BrushStyle::Solid;
    Color color = 0xFFFFFF;  // RGB
    friend bool operator==(const BrushDesc&, const BrushDesc&) = default;
};

// A logical font. height < 0: character (em) height in logical units;
// height > 0: cell height (ascent + descent); 0: a default size.
// escapement: angle of the baseline in tenths of a degree, counter-clockwise.
struct FontDesc {
    std::string name = "Arial";
    int height = -11;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int escapement = 0;
    int orientation = 0;
    int charSet = 1;
    int outPrecision = 0;  // 7 asks for outline (TrueType) fonts only
    friend bool operator==(const FontDesc&, const FontDesc&) = default;
};

enum class BackMode { Transparent = 1, Opaque = 2 };

// Text alignment flags, combined by or: horizontal (left, right, centre)
// and vertical (top, bottom, baseline) reference of the point given.
enum TextAlignFlags : int {
    TA_NOUPDATECP = 0, TA_UPDATECP = 1,
    TA_LEFT = 0, TA_RIGHT = 2, TA_CENTER = 6,
    TA_TOP = 0, TA_BOTTOM = 8, TA_BASELINE = 24
};

enum class MapMode { Text = 1, Isotropic = 7, Anisotropic = 8 };

struct DeviceCaps {
    int horzRes = 0;      // pixels
    int vertRes = 0;
    int horzSizeMm = 0;   // output size in millimetres
    int vertSizeMm = 0;
    int logPixelsX = 96;  // logical pixels per inch
    int logPixelsY = 96;
    int bitsPixel = 32;
    int planes = 1;
};

struct TextMetrics {
    int height = 0;   // ascent + descent
    int ascent = 0;
    int descent = 0;
    int internalLeading = 0;
    int aveCharWidth = 0;
};

// Integer a * b / c rounded to the nearest, halves away from zero; -1 when
// c is 0 (the system's MulDiv).
int MulDiv(int a, int b, int c);

// Nearest integer, halves to even (the engine's rounding of reals to pixels).
int RoundHalfEven(double v);

// Clips the segment (x0, y0)-(x1, y1) to the rectangle [l, r] x [t, b]
// (Liang-Barsky); false when nothing of it lies inside. The ends move along
// the segment, so its direction is kept.
bool ClipSegment(double& x0, double& y0, double& x1, double& y1, double l, double t, double r, double b);

}  // namespace pellucor::platform
