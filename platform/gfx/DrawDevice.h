#pragma once
// The device context of the drawing layer: the state a drawing surface keeps
// (pen, brush, font, colours, alignment, current position, mapping, clip) and
// the primitives drawn with it. Screen buffers, bitmaps, printers, picture
// writers and the test recorder each implement the primitives; the state is
// kept here so every back end sees it the same way. A back end that records
// (metafile writers) overrides the setters too and calls the base.
//
// Pixel conventions (those the chart engine counts on):
// - coordinates are logical units, mapped to device pixels by the window and
//   viewport (identity unless set);
// - LineTo and Polyline leave out their last point;
// - Rectangle, Ellipse, RoundRect, Arc, Pie and FillRect cover the box
//   [Left, Right) x [Top, Bottom); with a clear pen Rectangle fills one pixel
//   less to the right and below;
// - Polygon fills the inside of its outline and, with a pen, draws the
//   closed outline including every vertex;
// - a pen of width 0 or 1 is one device pixel wide; its dashes follow the
//   device pixels and, in opaque background mode, the gaps take the
//   background colour; a wider pen is always solid.
#include <string>
#include <vector>

#include "platform/gfx/GfxTypes.h"

class QImage;

namespace pellucor::platform {

class DrawDevice {
public:
    virtual ~DrawDevice() = default;

    // --- state ---
    virtual void SelectPen(const PenDesc& pen) { pen_ = pen; }
    virtual void SelectBrush(const BrushDesc& brush) { brush_ = brush; }
    virtual void SelectFont(const FontDesc& font) { font_ = font; }
    const PenDesc& CurrentPen() const { return pen_; }
    const BrushDesc& CurrentBrush() const { return brush_; }
    const FontDesc& CurrentFont() const { return font_; }

    virtual void SetBkColor(Color c) { bkColor_ = c; }
    virtual void SetBkMode(BackMode m) { bkMode_ = m; }
    virtual void SetTextColor(Color c) { textColor_ = c; }
    virtual void SetTextAlign(int flags) { textAlign_ = flags; }
    Color GetBkColor() const { return bkColor_; }
    BackMode GetBkMode() const { return bkMode_; }
    Color GetTextColor() const { return textColor_; }
    int GetTextAlign() const { return textAlign_; }

    virtual void MoveTo(int x, int y) { pos_ = {x, y}; }
    Point CurrentPosition() const { return pos_; }

    // --- mapping (window -> viewport) ---
    virtual void SetMapMode(MapMode m) { mapMode_ = m; }
    virtual void SetWindowOrg(int x, int y) { winOrg_ = {x, y}; }
    virtual void SetWindowExt(int cx, int cy) { winExt_ = {cx, cy}; }
    virtual void SetViewportOrg(int x, int y) { vpOrg_ = {x, y}; }
    virtual void SetViewportExt(int cx, int cy) { vpExt_ = {cx, cy}; }
    MapMode GetMapMode() const { return mapMode_; }
    Point GetWindowOrg() const { return winOrg_; }
    Size GetWindowExt() const { return winExt_; }
    Point GetViewportOrg() const { return vpOrg_; }
    Size GetViewportExt() const { return vpExt_; }
    // Logical -> device units with the current mapping (rounded to nearest).
    Point LPtoDP(Point p) const;
    // Device -> logical.
    Point DPtoLP(Point p) const;
    // Scale factors of the mapping (device units per logical unit).
    double ScaleX() const;
    double ScaleY() const;

    // --- clipping, in device units ---
    virtual void SelectClipRect(const Rect& deviceRect);
    // Alternate (even-odd) filling.
    virtual void SelectClipPolygon(const std::vector<Point>& devicePoints);
    virtual void SelectNoClip();
    bool HasClip() const { return clipKind_ != ClipKind::None; }
    const Rect& ClipRect() const { return clipRect_; }
    const std::vector<Point>& ClipPolygon() const { return clipPolygon_; }
    bool ClipIsPolygon() const { return clipKind_ == ClipKind::Polygon; }

    // --- primitives ---
    virtual void LineTo(int x, int y) = 0;
    virtual void Polyline(const std::vector<Point>& points) = 0;
    virtual void Polygon(const std::vector<Point>& points) = 0;
    virtual void Rectangle(int x1, int y1, int x2, int y2) = 0;
    virtual void RoundRect(int x1, int y1, int x2, int y2, int cornerW, int cornerH) = 0;
    virtual void Ellipse(int x1, int y1, int x2, int y2) = 0;
    // Counter-clockwise from the radial through (x3, y3) to the one through (x4, y4).
    virtual void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) = 0;
    virtual void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) = 0;
    // Fills with the current brush, no outline.
    virtual void FillRect(const Rect& r) = 0;
    virtual void SetPixel(int x, int y, Color rgb) = 0;
    // UTF-8 text at (x, y) with the current font, text colour, alignment
    // and background mode.
    virtual void TextOut(int x, int y, const std::string& text) = 0;
    // Extent of the text with the current font in logical units; false when
    // it cannot be measured.
    virtual bool GetTextExtent(const std::string& text, Size& extent) = 0;
    virtual TextMetrics GetTextMetrics() = 0;
    // Copies of a picture: unscaled at (x, y), or stretched into dest.
    virtual void BitBlt(int x, int y, const QImage& image) = 0;
    virtual void StretchBlt(const Rect& dest, const QImage& image) = 0;

    virtual DeviceCaps GetDeviceCaps() const = 0;

protected:
    enum class ClipKind { None, Rect, Polygon };

    PenDesc pen_;
    BrushDesc brush_;
    FontDesc font_;
    Color bkColor_ = 0xFFFFFF;
    BackMode bkMode_ = BackMode::Opaque;
    Color textColor_ = 0;
    int textAlign_ = TA_LEFT | TA_TOP;
    Point pos_;
    MapMode mapMode_ = MapMode::Text;
    Point winOrg_;
    Size winExt_{1, 1};
    Point vpOrg_;
    Size vpExt_{1, 1};
    ClipKind clipKind_ = ClipKind::None;
    Rect clipRect_;
    std::vector<Point> clipPolygon_;
};

}  // namespace pellucor::platform
