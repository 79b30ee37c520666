#include "platform/gfx/PainterDevice.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

#include <QFont>
#include <QFontMetrics>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <QPrinter>
#include <QRegion>

namespace pellucor::platform {
namespace {

QColor ToQColor(Color c) {
    const Color rgb = ColorToRGB(c);
    return QColor(RedOf(rgb), GreenOf(rgb), BlueOf(rgb));
}

// Dash patterns of one-pixel pens, in device pixels: on, off, on, off ...
const std::vector<int>& DashPattern(PenStyle s) {
    static const std::vector<int> solid;
    static const std::vector<int> dash{18, 6};
    static const std::vector<int> dot{3, 3};
    static const std::vector<int> dashDot{9, 6, 3, 6};
    static const std::vector<int> dashDotDot{9, 3, 3, 3, 3, 3};
    static const std::vector<int> alternate{1, 1};
    switch (s) {
        case PenStyle::Dash: return dash;
        case PenStyle::Dot: return dot;
        case PenStyle::DashDot: return dashDot;
        case PenStyle::DashDotDot: return dashDotDot;
        case PenStyle::Alternate: return alternate;
        default: return solid;
    }
}

// Whether position k of a pattern is drawn.
bool PatternOn(const std::vector<int>& pattern, long long k) {
    if (pattern.empty()) return true;
    int period = 0;
    for (int v : pattern) period += v;
    long long r = k % period;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (r < pattern[i]) return i % 2 == 0;
        r -= pattern[i];
    }
    return true;
}

QPainter::CompositionMode ModeFor(PenMode m) {
    switch (m) {
        case PenMode::Black: return QPainter::RasterOp_ClearDestination;
        case PenMode::White: return QPainter::RasterOp_SetDestination;
        case PenMode::Not: return QPainter::RasterOp_NotDestination;
        case PenMode::NotCopy: return QPainter::RasterOp_NotSource;
        case PenMode::MergePenNot: return QPainter::RasterOp_SourceOrNotDestination;
        case PenMode::MaskPenNot: return QPainter::RasterOp_SourceAndNotDestination;
        case PenMode::MergeNotPen: return QPainter::RasterOp_NotSourceOrDestination;
        case PenMode::MaskNotPen: return QPainter::RasterOp_NotSourceAndDestination;
        case PenMode::Merge: return QPainter::RasterOp_SourceOrDestination;
        case PenMode::NotMerge: return QPainter::RasterOp_NotSourceAndNotDestination;
        case PenMode::Mask: return QPainter::RasterOp_SourceAndDestination;
        case PenMode::NotMask: return QPainter::RasterOp_NotSourceOrNotDestination;
        case PenMode::Xor: return QPainter::RasterOp_SourceXorDestination;
        case PenMode::NotXor: return QPainter::RasterOp_NotSourceXorDestination;
        default: return QPainter::CompositionMode_SourceOver;
    }
}

// An 8 x 8 hatch tile: lines in the brush colour, gaps in the background
// colour when the background is opaque, else see-through.
QImage HatchTile(BrushStyle s, QColor line, bool opaque, QColor back) {
    QImage tile(8, 8, QImage::Format_ARGB32);
    tile.fill(opaque ? back.rgba() : qRgba(0, 0, 0, 0));
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            bool on = false;
            switch (s) {
                case BrushStyle::Horizontal: on = y == 7; break;
                case BrushStyle::Vertical: on = x == 7; break;
                case BrushStyle::FDiagonal: on = x == y; break;
                case BrushStyle::BDiagonal: on = x + y == 7; break;
                case BrushStyle::Cross: on = x == 7 || y == 7; break;
                case BrushStyle::DiagCross: on = x == y || x + y == 7; break;
                default: break;
            }
            if (on) tile.setPixel(x, y, line.rgba());
        }
    }
    return tile;
}

bool ThinPen(const PenDesc& pen) { return pen.width <= 1; }

// The device box of two logical corners, whichever way round they come.
Rect DeviceBox(const DrawDevice& d, int x1, int y1, int x2, int y2) {
    const Point a = d.LPtoDP({x1, y1});
    const Point b = d.LPtoDP({x2, y2});
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

// A device box (as DeviceBox gives it) without width or height covers no
// pixel: every shape drawn in it draws nothing.
bool CoversNoPixel(const Rect& r) { return r.Right - r.Left <= 0 || r.Bottom - r.Top <= 0; }

// The outline of a box runs through the centres of its outer pixels.
QRectF OutlineBox(const Rect& r) {
    return QRectF(r.Left, r.Top, r.Right - r.Left - 1, r.Bottom - r.Top - 1);
}

// Angle in 1/16 degree (counter-clockwise on screen, 0 at three o'clock) of
// the radial from the centre of r through p.
int RadialAngle16(const QRectF& r, double px, double py) {
    const double cx = r.center().x();
    const double cy = r.center().y();
    double a = std::atan2(-(py - cy), px - cx) * 180.0 / std::numbers::pi;
    if (a < 0) a += 360.0;
    return static_cast<int>(std::lround(a * 16.0));
}

}  // namespace

PainterDevice::PainterDevice(QPaintDevice* device, bool raster) : device_(device), raster_(raster) {}

PainterDevice::~PainterDevice() { Flush(); }

QPainter& PainterDevice::P() {
    if (!painter_) {
        painter_ = std::make_unique<QPainter>();
        painter_->begin(device_);
        painter_->setRenderHint(QPainter::Antialiasing, false);
        painter_->setRenderHint(QPainter::TextAntialiasing, true);
        ApplyClip();
    }
    return *painter_;
}

bool PainterDevice::Begin() { return P().isActive(); }

void PainterDevice::Flush() {
    if (painter_) {
        painter_->end();
        painter_.reset();
    }
}

bool PainterDevice::PixelExact() const {
    return raster_ && ScaleX() == 1.0 && ScaleY() == 1.0;
}

void PainterDevice::ApplyClip() {
    if (!painter_) return;
    if (clipKind_ == ClipKind::None) {
        painter_->setClipping(false);
    } else if (clipKind_ == ClipKind::Rect) {
        // Corners given the other way round make the same region, as with
        // the system's rectangular regions (a flipped mapping gives them so).
        const Rect r{std::min(clipRect_.Left, clipRect_.Right), std::min(clipRect_.Top, clipRect_.Bottom),
                     std::max(clipRect_.Left, clipRect_.Right), std::max(clipRect_.Top, clipRect_.Bottom)};
        painter_->setClipRect(QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top));
    } else {
        QPolygon poly;
        for (const Point& p : clipPolygon_) poly << QPoint(p.x, p.y);
        painter_->setClipRegion(QRegion(poly, Qt::OddEvenFill));
    }
}

void PainterDevice::SelectClipRect(const Rect& deviceRect) {
    DrawDevice::SelectClipRect(deviceRect);
    ApplyClip();
}

void PainterDevice::SelectClipPolygon(const std::vector<Point>& devicePoints) {
    DrawDevice::SelectClipPolygon(devicePoints);
    ApplyClip();
}

void PainterDevice::SelectNoClip() {
    DrawDevice::SelectNoClip();
    ApplyClip();
}

void PainterDevice::ApplyComposition(PenMode mode) {
    P().setCompositionMode(raster_ ? ModeFor(mode) : QPainter::CompositionMode_SourceOver);
}

namespace {

// floor(p / q) and ceil(p / q) for q > 0.
__int128 FloorDiv(__int128 p, __int128 q) { return p >= 0 ? p / q : -((-p + q - 1) / q); }
__int128 CeilDiv(__int128 p, __int128 q) { return -FloorDiv(-p, q); }

// The steps j (0 .. last) of a one-pixel line whose pixel lies in 0 .. size - 1
// on both axes. The line starts at (am, an) and moves s_m every step along its
// major axis (n steps in all) and s_n along its minor axis floor((2 m j + n) /
// (2 n)) times by step j, which is where the walk below puts it. Narrows
// [j0, j1]; leaves it empty (j0 > j1) when nothing lands on the picture.
void VisibleSteps(long long am, int sm, long long majorSize, long long an, int sn,
                  long long minorSize, long long n, long long m, long long& j0, long long& j1) {
    auto keep = [&](__int128 lo, __int128 hi) {
        if (lo > j0) j0 = lo > j1 ? j1 + 1 : static_cast<long long>(lo);
        if (hi < j1) j1 = hi < j0 ? j0 - 1 : static_cast<long long>(hi);
    };
    // Major axis: am + sm j in [0, majorSize - 1].
    if (sm > 0) keep(-am, majorSize - 1 - am);
    else keep(am - (majorSize - 1), am);
    // Minor axis: the count of minor moves k in [kLo, kHi].
    const long long kLo = sn > 0 ? -an : an - (minorSize - 1);
    const long long kHi = sn > 0 ? minorSize - 1 - an : an;
    if (m == 0 || n == 0) {
        if (kLo > 0 || kHi < 0) j1 = j0 - 1;
        return;
    }
    // k(j) >= kLo  <=>  2 m j >= 2 n kLo - n;  k(j) <= kHi  <=>  2 m j < 2 n (kHi + 1) - n.
    const __int128 n2 = 2 * static_cast<__int128>(n);
    const __int128 m2 = 2 * static_cast<__int128>(m);
    keep(CeilDiv(n2 * kLo - n, m2), CeilDiv(n2 * (kHi + 1) - n, m2) - 1);
}

}  // namespace

// Lays the pixels of a one-pixel line from a to b (device), leaving out b
// unless lastPoint, following the pen's dash pattern. Only the part of the
// line over the picture is walked, with the pixels and the dash phase the
// whole walk would give it: a line toward a point far outside (an axis lets
// positions run millions of pixels past the plot) would otherwise take
// seconds.
void PainterDevice::ThinLine(Point a, Point b, bool lastPoint) {
    if (pen_.mode == PenMode::Nop) return;
    const std::vector<int>& pattern = DashPattern(pen_.style);
    const long long dx = std::llabs(static_cast<long long>(b.x) - a.x);
    const long long dy = -std::llabs(static_cast<long long>(b.y) - a.y);
    const int sx = a.x < b.x ? 1 : -1;
    const int sy = a.y < b.y ? 1 : -1;
    const bool xMajor = dx >= -dy;
    const long long n = xMajor ? dx : -dy;  // steps from a to b
    const long long m = xMajor ? -dy : dx;
    const long long last = lastPoint ? n : n - 1;
    const long long startPhase = dashPhase_;
    long long j0 = 0;
    long long j1 = last;
    const long long w = device_->width();
    const long long h = device_->height();
    if (xMajor) VisibleSteps(a.x, sx, w, a.y, sy, h, n, m, j0, j1);
    else VisibleSteps(a.y, sy, h, a.x, sx, w, n, m, j0, j1);
    std::vector<Point> on;
    std::vector<Point> off;
    if (j0 <= j1) {
        // The state of the walk after j0 steps: the major axis has moved j0
        // times, the minor one k times.
        const long long k =
            n == 0 ? 0
                   : static_cast<long long>(FloorDiv(2 * static_cast<__int128>(m) * j0 + n, 2 * static_cast<__int128>(n)));
        const long long xs = xMajor ? j0 : k;
        const long long ys = xMajor ? k : j0;
        long long x = a.x + sx * xs;
        long long y = a.y + sy * ys;
        long long err = static_cast<long long>(dx + dy + static_cast<__int128>(ys) * dx +
                                               static_cast<__int128>(xs) * dy);
        long long phase = startPhase + j0;
        for (long long j = j0; j <= j1; ++j) {
            const Point p{static_cast<int>(x), static_cast<int>(y)};
            if (PatternOn(pattern, phase)) on.push_back(p);
            else off.push_back(p);
            ++phase;
            const long long e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y += sy;
            }
        }
    }
    dashPhase_ = startPhase + last + 1;
    QPainter& p = P();
    if (!on.empty()) {
        ApplyComposition(pen_.mode);
        p.setPen(QPen(ToQColor(pen_.color), 1));
        PlotRun(on);
    }
    if (!off.empty() && bkMode_ == BackMode::Opaque) {
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        p.setPen(QPen(ToQColor(bkColor_), 1));
        PlotRun(off);
    }
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void PainterDevice::PlotRun(const std::vector<Point>& pts) {
    QPolygon poly;
    poly.reserve(static_cast<int>(pts.size()));
    for (const Point& q : pts) poly << QPoint(q.x, q.y);
    P().drawPoints(poly);
}

void PainterDevice::ApplyPenForVector() {
    QPainter& p = P();
    if (pen_.style == PenStyle::Clear || pen_.mode == PenMode::Nop) {
        p.setPen(Qt::NoPen);
        return;
    }
    const double scale = std::max(ScaleX(), ScaleY());
    const int w = pen_.width <= 1 && pen_.style == PenStyle::Alternate
                      ? 0
                      : (pen_.width == 0 ? 0 : std::max(1, static_cast<int>(std::lround(pen_.width * scale))));
    QPen pen(ToQColor(pen_.color));
    pen.setWidth(w);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    Qt::PenStyle qs = Qt::SolidLine;
    if (pen_.width <= 1) {
        switch (pen_.style) {
            case PenStyle::Dash: qs = Qt::DashLine; break;
            case PenStyle::Dot: qs = Qt::DotLine; break;
            case PenStyle::DashDot: qs = Qt::DashDotLine; break;
            case PenStyle::DashDotDot: qs = Qt::DashDotDotLine; break;
            case PenStyle::Alternate: qs = Qt::DotLine; break;
            default: break;
        }
    }
    pen.setStyle(qs);
    p.setPen(pen);
    ApplyComposition(pen_.mode);
}

void PainterDevice::ApplyBrush() {
    QPainter& p = P();
    switch (brush_.style) {
        case BrushStyle::Clear: p.setBrush(Qt::NoBrush); break;
        case BrushStyle::Solid: p.setBrush(QBrush(ToQColor(brush_.color))); break;
        default:
            p.setBrush(QBrush(HatchTile(brush_.style, ToQColor(brush_.color),
                                        bkMode_ == BackMode::Opaque, ToQColor(bkColor_))));
            break;
    }
    p.setBrushOrigin(0, 0);
}

void PainterDevice::FillPolygonDevice(const std::vector<Point>& devicePts) {
    if (brush_.style == BrushStyle::Clear || devicePts.size() < 3) return;
    QPainter& p = P();
    QPolygon poly;
    for (const Point& q : devicePts) poly << QPoint(q.x, q.y);
    p.setPen(Qt::NoPen);
    ApplyBrush();
    ApplyComposition(pen_.mode);
    p.drawPolygon(poly, Qt::OddEvenFill);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void PainterDevice::OutlineDevice(const std::vector<Point>& devicePts, bool closed) {
    if (devicePts.empty() || pen_.style == PenStyle::Clear) return;
    dashPhase_ = 0;
    for (size_t i = 1; i < devicePts.size(); ++i) ThinLine(devicePts[i - 1], devicePts[i], false);
    if (closed && devicePts.size() > 1) ThinLine(devicePts.back(), devicePts.front(), false);
    if (closed && devicePts.size() == 1) ThinLine(devicePts[0], devicePts[0], true);
}

void PainterDevice::VectorPath(const std::vector<Point>& logicalPts, bool closed, bool fill) {
    QPolygon poly;
    for (const Point& q : logicalPts) {
        const Point d = LPtoDP(q);
        poly << QPoint(d.x, d.y);
    }
    QPainter& p = P();
    ApplyPenForVector();
    if (fill) ApplyBrush();
    else p.setBrush(Qt::NoBrush);
    if (closed) p.drawPolygon(poly, Qt::OddEvenFill);
    else p.drawPolyline(poly);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void PainterDevice::MoveTo(int x, int y) {
    DrawDevice::MoveTo(x, y);
    dashPhase_ = 0;
}

void PainterDevice::LineTo(int x, int y) {
    const Point from = pos_;
    pos_ = {x, y};
    if (pen_.style == PenStyle::Clear) return;
    if (PixelExact() && ThinPen(pen_)) {
        ThinLine(LPtoDP(from), LPtoDP({x, y}), false);
        return;
    }
    VectorPath({from, {x, y}}, false, false);
}

void PainterDevice::Polyline(const std::vector<Point>& points) {
    if (points.size() < 2 || pen_.style == PenStyle::Clear) return;
    if (PixelExact() && ThinPen(pen_)) {
        std::vector<Point> d;
        for (const Point& q : points) d.push_back(LPtoDP(q));
        OutlineDevice(d, false);
        return;
    }
    VectorPath(points, false, false);
}

void PainterDevice::Polygon(const std::vector<Point>& points) {
    if (points.size() < 2) return;
    if (PixelExact() && ThinPen(pen_)) {
        std::vector<Point> d;
        for (const Point& q : points) d.push_back(LPtoDP(q));
        FillPolygonDevice(d);
        OutlineDevice(d, true);
        return;
    }
    VectorPath(points, true, true);
}

void PainterDevice::Rectangle(int x1, int y1, int x2, int y2) {
    const Rect r = DeviceBox(*this, x1, y1, x2, y2);
    if (CoversNoPixel(r)) return;
    QPainter& p = P();
    const bool noPen = pen_.style == PenStyle::Clear || pen_.mode == PenMode::Nop;
    if (noPen) {
        // Without a pen the fill stops one pixel short on the far sides.
        if (brush_.style != BrushStyle::Clear && r.Right - r.Left > 1 && r.Bottom - r.Top > 1) {
            ApplyBrush();
            ApplyComposition(pen_.mode == PenMode::Nop ? PenMode::Copy : pen_.mode);
            p.fillRect(QRect(r.Left, r.Top, r.Right - r.Left - 1, r.Bottom - r.Top - 1), p.brush());
            p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        }
        return;
    }
    if (PixelExact() && ThinPen(pen_)) {
        if (brush_.style != BrushStyle::Clear && r.Right - r.Left > 2 && r.Bottom - r.Top > 2) {
            ApplyBrush();
            ApplyComposition(pen_.mode);
            p.fillRect(QRect(r.Left + 1, r.Top + 1, r.Right - r.Left - 2, r.Bottom - r.Top - 2),
                       p.brush());
            p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        }
        OutlineDevice({{r.Left, r.Top}, {r.Right - 1, r.Top}, {r.Right - 1, r.Bottom - 1},
                       {r.Left, r.Bottom - 1}},
                      true);
        return;
    }
    ApplyPenForVector();
    ApplyBrush();
    p.drawRect(QRectF(r.Left + 0.5, r.Top + 0.5, r.Right - r.Left - 1, r.Bottom - r.Top - 1));
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void PainterDevice::RoundRect(int x1, int y1, int x2, int y2, int cornerW, int cornerH) {
    const Rect r = DeviceBox(*this, x1, y1, x2, y2);
    if (CoversNoPixel(r)) return;
    QPainter& p = P();
    ApplyPenForVector();
    ApplyBrush();
    p.drawRoundedRect(OutlineBox(r), cornerW * ScaleX() / 2.0, cornerH * ScaleY() / 2.0,
                      Qt::AbsoluteSize);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void PainterDevice::Ellipse(int x1, int y1, int x2, int y2) {
    const Rect r = DeviceBox(*this, x1, y1, x2, y2);
    if (CoversNoPixel(r)) return;
    QPainter& p = P();
    ApplyPenForVector();
    ApplyBrush();
    p.drawEllipse(OutlineBox(r));
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

namespace {

// The box and the start and span angles (in 1/16 degree, counter-clockwise)
// of an arc or pie given as the library gives them: a bounding box and two
// points whose radials mark the ends.
struct ArcGeometry {
    QRectF box;
    int start;
    int span;
    bool empty;  // the box covers no pixel: nothing to draw
};

ArcGeometry ArcFrom(const DrawDevice& d, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    const Point s = d.LPtoDP({x3, y3});
    const Point e = d.LPtoDP({x4, y4});
    const Rect r = DeviceBox(d, x1, y1, x2, y2);
    const QRectF box = OutlineBox(r);
    const int a0 = RadialAngle16(box, s.x, s.y);
    int span = RadialAngle16(box, e.x, e.y) - a0;
    if (span <= 0) span += 360 * 16;
    return {box, a0, span, CoversNoPixel(r)};
}

}  // namespace

void PainterDevice::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    const ArcGeometry g = ArcFrom(*this, x1, y1, x2, y2, x3, y3, x4, y4);
    if (g.empty) return;
    QPainter& p = P();
    ApplyPenForVector();
    p.setBrush(Qt::NoBrush);
    p.drawArc(g.box, g.start, g.span);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void PainterDevice::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    const ArcGeometry g = ArcFrom(*this, x1, y1, x2, y2, x3, y3, x4, y4);
    if (g.empty) return;
    QPainter& p = P();
    ApplyPenForVector();
    ApplyBrush();
    p.drawPie(g.box, g.start, g.span);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void PainterDevice::FillRect(const Rect& rect) {
    if (brush_.style == BrushStyle::Clear) return;
    const Rect r = DeviceBox(*this, rect.Left, rect.Top, rect.Right, rect.Bottom);
    if (CoversNoPixel(r)) return;
    QPainter& p = P();
    ApplyBrush();
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.fillRect(QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top), p.brush());
}

void PainterDevice::SetPixel(int x, int y, Color rgb) {
    const Point d = LPtoDP({x, y});
    QPainter& p = P();
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.fillRect(QRect(d.x, d.y, 1, 1), ToQColor(rgb));
}

namespace {
QFont MakeFont(const FontDesc& f, double scaleY) {
    QFont font(QString::fromStdString(f.name));
    font.setBold(f.bold);
    font.setItalic(f.italic);
    font.setUnderline(f.underline);
    font.setStrikeOut(f.strikeOut);
    font.setKerning(false);
    int px = 0;
    if (f.height < 0) {
        px = std::max(1, static_cast<int>(std::lround(-f.height * scaleY)));
    } else if (f.height > 0) {
        // A cell height: find the em size whose ascent + descent matches it.
        const int cell = std::max(1, static_cast<int>(std::lround(f.height * scaleY)));
        font.setPixelSize(cell);
        const int h = QFontMetrics(font).height();
        px = h > 0 ? std::max(1, static_cast<int>(std::lround(cell * static_cast<double>(cell) / h)))
                   : cell;
    } else {
        px = std::max(1, static_cast<int>(std::lround(16 * scaleY)));
    }
    font.setPixelSize(px);
    return font;
}
}  // namespace

void PainterDevice::TextOut(int x, int y, const std::string& text) {
    if (text.empty()) return;
    const Point d = LPtoDP({x, y});
    QPainter& p = P();
    const QFont font = MakeFont(font_, ScaleY());
    const QFontMetrics fm(font, device_);
    const QString s = QString::fromUtf8(text.data(), static_cast<int>(text.size()));
    const int w = fm.horizontalAdvance(s);
    const int ascent = fm.ascent();
    const int h = fm.ascent() + fm.descent();
    int dx = 0;
    if ((textAlign_ & TA_CENTER) == TA_CENTER) dx = -w / 2;
    else if (textAlign_ & TA_RIGHT) dx = -w;
    int baseline = ascent;  // top
    if ((textAlign_ & TA_BASELINE) == TA_BASELINE) baseline = 0;
    else if (textAlign_ & TA_BOTTOM) baseline = -fm.descent();
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.translate(d.x, d.y);
    if (font_.escapement != 0) p.rotate(-font_.escapement / 10.0);
    if (bkMode_ == BackMode::Opaque) p.fillRect(QRect(dx, baseline - ascent, w, h), ToQColor(bkColor_));
    p.setFont(font);
    p.setPen(ToQColor(textColor_));
    p.drawText(QPoint(dx, baseline), s);
    p.restore();
}

bool PainterDevice::GetTextExtent(const std::string& text, Size& extent) {
    const QFont font = MakeFont(font_, ScaleY());
    const QFontMetrics fm(font, device_);
    const QString s = QString::fromUtf8(text.data(), static_cast<int>(text.size()));
    const double sx = ScaleX();
    const double sy = ScaleY();
    if (sx == 0 || sy == 0) return false;
    extent.cx = static_cast<int>(std::lround(fm.horizontalAdvance(s) / sx));
    extent.cy = static_cast<int>(std::lround((fm.ascent() + fm.descent()) / sy));
    return true;
}

TextMetrics PainterDevice::GetTextMetrics() {
    const QFont font = MakeFont(font_, ScaleY());
    const QFontMetrics fm(font, device_);
    const double sy = ScaleY() == 0 ? 1.0 : ScaleY();
    TextMetrics tm;
    tm.ascent = static_cast<int>(std::lround(fm.ascent() / sy));
    tm.descent = static_cast<int>(std::lround(fm.descent() / sy));
    tm.height = tm.ascent + tm.descent;
    tm.internalLeading = std::max(0, tm.height - static_cast<int>(std::lround(font.pixelSize() / sy)));
    tm.aveCharWidth = static_cast<int>(std::lround(fm.averageCharWidth() / (ScaleX() == 0 ? 1.0 : ScaleX())));
    return tm;
}

void PainterDevice::BitBlt(int x, int y, const QImage& image) {
    if (image.isNull()) return;
    const Point a = LPtoDP({x, y});
    const Point b = LPtoDP({x + image.width(), y + image.height()});
    QPainter& p = P();
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.drawImage(QRect(a.x, a.y, b.x - a.x, b.y - a.y), image);
}

void PainterDevice::StretchBlt(const Rect& dest, const QImage& image) {
    if (image.isNull()) return;
    const Point a = LPtoDP({dest.Left, dest.Top});
    const Point b = LPtoDP({dest.Right, dest.Bottom});
    QPainter& p = P();
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.drawImage(QRect(a.x, a.y, b.x - a.x, b.y - a.y), image);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
}

DeviceCaps PainterDevice::GetDeviceCaps() const {
    DeviceCaps c;
    c.horzRes = device_->width();
    c.vertRes = device_->height();
    c.horzSizeMm = device_->widthMM();
    c.vertSizeMm = device_->heightMM();
    c.logPixelsX = logPixelsX_;
    c.logPixelsY = logPixelsY_;
    c.bitsPixel = device_->depth();
    c.planes = 1;
    return c;
}

// ---------------------------------------------------------------------------

namespace {
std::unique_ptr<QImage> MakeImage(int w, int h) {
    auto img = std::make_unique<QImage>(std::max(0, w), std::max(0, h), QImage::Format_RGB32);
    img->fill(Qt::white);
    return img;
}
}  // namespace

ImageDevice::ImageDevice(int width, int height, bool monochrome)
    : ImageDevice(MakeImage(width, height), monochrome) {}

ImageDevice::ImageDevice(std::unique_ptr<QImage> image, bool monochrome)
    : PainterDevice(image.get(), true), image_(std::move(image)), monochrome_(monochrome) {}

ImageDevice::~ImageDevice() { Flush(); }

QImage ImageDevice::Image() {
    Flush();
    if (!monochrome_) return *image_;
    return image_->convertToFormat(QImage::Format_Mono, Qt::ThresholdDither)
        .convertToFormat(QImage::Format_RGB32);
}

long long ImageDevice::PixelAt(int x, int y) {
    Flush();
    if (x < 0 || y < 0 || x >= image_->width() || y >= image_->height()) return -1;
    const QRgb c = image_->pixel(x, y);
    return RGBColor(qRed(c), qGreen(c), qBlue(c));
}

// ---------------------------------------------------------------------------

namespace {
std::unique_ptr<QPrinter> MakePrinter(const std::string& fileName, int dpi, bool landscape,
                                      const std::string& title) {
    auto pr = std::make_unique<QPrinter>(QPrinter::HighResolution);
    pr->setOutputFormat(QPrinter::PdfFormat);
    pr->setOutputFileName(QString::fromStdString(fileName));
    pr->setResolution(dpi);
    pr->setPageSize(QPageSize(QPageSize::A4));
    pr->setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    pr->setFullPage(true);
    if (!title.empty()) pr->setDocName(QString::fromStdString(title));
    return pr;
}
}  // namespace

PdfDevice::PdfDevice(const std::string& fileName, int dpi, bool landscape, const std::string& title)
    : PdfDevice(MakePrinter(fileName, dpi, landscape, title), dpi) {}

PdfDevice::PdfDevice(std::unique_ptr<QPrinter> printer, int dpi)
    : PainterDevice(printer.get(), false), printer_(std::move(printer)) {
    SetLogPixels(dpi, dpi);
}

PdfDevice::~PdfDevice() { EndDoc(); }

void PdfDevice::NewPage() {
    P();
    printer_->newPage();
}

void PdfDevice::EndDoc() {
    if (ended_) return;
    ended_ = true;
    P();  // an empty document still gets its page
    Flush();
}

int PdfDevice::PageWidth() const { return printer_->width(); }
int PdfDevice::PageHeight() const { return printer_->height(); }

}  // namespace pellucor::platform
