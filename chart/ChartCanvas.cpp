#include "chart/ChartCanvas.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "platform/gfx/DrawDevice.h"

namespace pellucor::chart {

using platform::DrawDevice;
using platform::MulDiv;
using platform::RoundHalfEven;

// --- 3-D options ---

void TView3DOptions::Changed() {
    if (Parent) Parent->Invalidate();
}

void TView3DOptions::SetElevation(int v) {
    if (v == Elevation) return;
    Elevation = v;
    Changed();
}
void TView3DOptions::SetHorizOffset(int v) {
    if (v == HorizOffset) return;
    HorizOffset = v;
    Changed();
    if (OnOffsetChange) OnOffsetChange(true);
}
void TView3DOptions::SetOrthogonal(bool v) {
    if (v == Orthogonal) return;
    Orthogonal = v;
    Changed();
}
void TView3DOptions::SetPerspective(int v) {
    if (v == Perspective) return;
    Perspective = v;
    Changed();
}
void TView3DOptions::SetRotation(int v) {
    if (v == Rotation) return;
    Rotation = v;
    Changed();
}
void TView3DOptions::SetTilt(int v) {
    if (v == Tilt) return;
    Tilt = v;
    Changed();
}
void TView3DOptions::SetVertOffset(int v) {
    if (v == VertOffset) return;
    VertOffset = v;
    Changed();
    if (OnOffsetChange) OnOffsetChange(false);
}
void TView3DOptions::SetZoom(int v) {
    if (v == Zoom) return;
    if (OnZoomChange) OnZoomChange(v);
    Zoom = v;
    Changed();
}
void TView3DOptions::SetZoomText(bool v) {
    if (v == ZoomText) return;
    ZoomText = v;
    Changed();
}
void TView3DOptions::Assign(const TView3DOptions& src) {
    Elevation = src.Elevation;
    HorizOffset = src.HorizOffset;
    Orthogonal = src.Orthogonal;
    Perspective = src.Perspective;
    Rotation = src.Rotation;
    Tilt = src.Tilt;
    VertOffset = src.VertOffset;
    Zoom = src.Zoom;
    ZoomText = src.ZoomText;
}

// --- pens and brushes ---

TChartPen::TChartPen(std::function<void()> changeHandler) { OnChange = std::move(changeHandler); }

void TChartPen::SetSmallDots(bool v) {
    if (v == SmallDots) return;
    SmallDots = v;
    Changed();
}

void TChartPen::SetVisible(bool v) {
    if (v == Visible) return;
    Visible = v;
    Changed();
}

void TChartPen::Assign(const TPen& src) {
    if (const auto* cp = dynamic_cast<const TChartPen*>(&src)) {
        if (Visible != cp->Visible || SmallDots != cp->SmallDots) {
            Visible = cp->Visible;
            SmallDots = cp->SmallDots;
            Changed();
        }
    }
    AssignPen(src);
}

namespace {
// Sets a default without telling the owner (it is being built).
template <typename F>
void Quietly(TPen& pen, F f) {
    auto h = std::move(pen.OnChange);
    pen.OnChange = nullptr;
    f();
    pen.OnChange = std::move(h);
}
}  // namespace

TChartHiddenPen::TChartHiddenPen(std::function<void()> h) : TChartPen(std::move(h)) {
    Visible = false;
}
TDottedGrayPen::TDottedGrayPen(std::function<void()> h) : TChartPen(std::move(h)) {
    Quietly(*this, [this] {
        SetColor(clGray);
        SetStyle(TPenStyle::Dot);
    });
}
TDarkGrayPen::TDarkGrayPen(std::function<void()> h) : TChartPen(std::move(h)) {
    Quietly(*this, [this] { SetColor(clGray); });
}
TChartAxisPen::TChartAxisPen(std::function<void()> h) : TChartPen(std::move(h)) {
    Quietly(*this, [this] { SetWidth(2); });
}
TChartArrowPen::TChartArrowPen(std::function<void()> h) : TChartPen(std::move(h)) {
    Quietly(*this, [this] { SetColor(clWhite); });
}

TChartBrush::TChartBrush(std::function<void()> changeHandler) {
    SetColor(UseSeriesColor);
    OnChange = std::move(changeHandler);
}

// --- TChartCanvas ---

int TChartCanvas::TextWidth(const std::string& text) {
    if (!ReferenceCanvas) return 0;
    platform::Size e;
    return ReferenceCanvas->TextExtent(text, e) ? e.cx : 0;
}

int TChartCanvas::TextHeight(const std::string& text) {
    if (!ReferenceCanvas) return 0;
    platform::Size e;
    return ReferenceCanvas->TextExtent(text, e) ? e.cy : 0;
}

void TChartCanvas::SetCanvas(TCanvas* canvas) {
    ReferenceCanvas = canvas;
    Font = canvas ? &canvas->GetFont() : nullptr;
    Pen = canvas ? &canvas->GetPen() : nullptr;
    Brush = canvas ? &canvas->GetBrush() : nullptr;
}

void TChartCanvas::ResetState() {
    if (Pen) {
        Pen->SetColor(clBlack);
        Pen->SetWidth(1);
        Pen->SetStyle(TPenStyle::Solid);
    }
    if (Brush) {
        Brush->SetColor(clWhite);
        Brush->SetStyle(TBrushStyle::Solid);
    }
    if (Font) {
        Font->SetColor(clBlack);
        Font->SetSize(10);
    }
    SetBackColor(clWhite);
    SetBackMode(cbmTransparent);
}

void TChartCanvas::AssignVisiblePen(const TChartPen& pen) {
    if (!Pen) return;
    if (!pen.GetVisible()) {
        Pen->SetStyle(TPenStyle::Clear);
    } else if (pen.GetSmallDots() && pen.GetWidth() == 1) {
        // The system's alternate-pixel pen: one device pixel, every other pixel.
        Pen->SetColor(platform::ColorToRGB(pen.GetColor()) & 0xFFFFFF);
        Pen->SetWidth(1);
        Pen->SetStyle(TPenStyle::Alternate);
        Pen->SetMode(TPenMode::Copy);
    } else {
        Pen->AssignPen(pen);
    }
}

int TChartCanvas::FontHeight() { return TextHeight("W"); }

void TCanvas3D::Assign(TCanvas3D& source) { SetMonochrome(source.GetMonochrome()); }

// --- TChartCanvas3D ---

TChartCanvas3D::TChartCanvas3D() = default;

TChartCanvas3D::~TChartCanvas3D() { DeleteBitmap(); }

DrawDevice* TChartCanvas3D::GetHandle() {
    return ReferenceCanvas ? ReferenceCanvas->Handle() : nullptr;
}

TColor TChartCanvas3D::GetBackColor() {
    DrawDevice* d = GetHandle();
    return d ? d->GetBkColor() : clWhite;
}

TCanvasBackMode TChartCanvas3D::GetBackMode() {
    DrawDevice* d = GetHandle();
    if (!d) return cbmNone;
    return d->GetBkMode() == platform::BackMode::Opaque ? cbmOpaque : cbmTransparent;
}

int TChartCanvas3D::GetTextAlign() {
    DrawDevice* d = GetHandle();
    return d ? d->GetTextAlign() : 0;
}

void TChartCanvas3D::SetBackColor(TColor color) {
    if (DrawDevice* d = GetHandle()) d->SetBkColor(color);
}

void TChartCanvas3D::SetBackMode(TCanvasBackMode mode) {
    DrawDevice* d = GetHandle();
    if (!d) return;
    if (mode == cbmOpaque) d->SetBkMode(platform::BackMode::Opaque);
    else if (mode == cbmTransparent) d->SetBkMode(platform::BackMode::Transparent);
}

void TChartCanvas3D::SetMonochrome(bool value) {
    if (value == Monochrome) return;
    Monochrome = value;
    DeleteBitmap();
    BufferDirty = true;
    if (View3DOptions && View3DOptions->Parent) View3DOptions->Parent->Invalidate();
}

void TChartCanvas3D::SetPixel(int x, int y, TColor color) {
    if (DrawDevice* d = GetHandle()) d->SetPixel(x, y, platform::ColorToRGB(color) & 0xFFFFFF);
}

void TChartCanvas3D::SetTextAlign(int flags) {
    if (DrawDevice* d = GetHandle()) d->SetTextAlign(flags);
}

void TChartCanvas3D::SetUseBuffer(bool value) {
    UseBuffer = value;
    if (!value && BufferBitmap) {
        DeleteBitmap();
        BufferDirty = true;
    }
}

void TChartCanvas3D::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    if (DrawDevice* d = GetHandle()) d->Arc(x1, y1, x2, y2, x3, y3, x4, y4);
}

void TChartCanvas3D::Draw(int x, int y, const TGraphic* graphic) {
    if (!graphic || graphic->isNull()) return;
    DrawDevice* d = GetHandle();
    if (!d) return;
    if (Brush) d->SetBkColor(platform::ColorToRGB(Brush->GetColor()) & 0xFFFFFF);
    if (Font) d->SetTextColor(platform::ColorToRGB(Font->GetColor()) & 0xFFFFFF);
    d->BitBlt(x, y, *graphic);
}

void TChartCanvas3D::Ellipse(int x1, int y1, int x2, int y2) {
    if (DrawDevice* d = GetHandle()) d->Ellipse(x1, y1, x2, y2);
}

void TChartCanvas3D::FillRect(const TRect& rect) {
    if (DrawDevice* d = GetHandle()) d->FillRect(rect);
}

void TChartCanvas3D::Frame3D(TRect rect, TColor topColor, TColor bottomColor, int width) {
    if (!Pen) return;
    Pen->SetWidth(1);
    --rect.Right;
    --rect.Bottom;
    for (int i = 0; i < width; ++i) {
        Pen->SetColor(topColor);
        if (DrawDevice* d = GetHandle())
            d->Polyline({{rect.Left, rect.Bottom}, {rect.Left, rect.Top}, {rect.Right, rect.Top}});
        Pen->SetColor(bottomColor);
        if (DrawDevice* d = GetHandle())
            d->Polyline(
                {{rect.Right, rect.Top}, {rect.Right, rect.Bottom}, {rect.Left - 1, rect.Bottom}});
        ++rect.Left;
        ++rect.Top;
        --rect.Right;
        --rect.Bottom;
    }
}

void TChartCanvas3D::LineTo(int x, int y) {
    if (DrawDevice* d = GetHandle()) d->LineTo(x, y);
}

void TChartCanvas3D::MoveTo(int x, int y) {
    if (DrawDevice* d = GetHandle()) d->MoveTo(x, y);
}

void TChartCanvas3D::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    if (DrawDevice* d = GetHandle()) d->Pie(x1, y1, x2, y2, x3, y3, x4, y4);
}

void TChartCanvas3D::Rectangle(int x1, int y1, int x2, int y2) {
    if (DrawDevice* d = GetHandle()) d->Rectangle(x1, y1, x2, y2);
}

void TChartCanvas3D::RoundRect(int x1, int y1, int x2, int y2, int cw, int ch) {
    if (DrawDevice* d = GetHandle()) d->RoundRect(x1, y1, x2, y2, cw, ch);
}

void TChartCanvas3D::StretchDraw(const TRect& rect, const TGraphic* graphic) {
    if (!graphic || !ReferenceCanvas) return;
    ReferenceCanvas->StretchDraw(rect, *graphic);
}

void TChartCanvas3D::TextOut(int x, int y, const std::string& text) {
    if (DrawDevice* d = GetHandle()) d->TextOut(x, y, text);
}

void TChartCanvas3D::ClipRectangle(const TRect& rect) { ClipCanvas(ReferenceCanvas, rect); }

void TChartCanvas3D::DoHorizLine(int x0, int x1, int y) {
    MoveTo(x0, y);
    LineTo(x1, y);
}

void TChartCanvas3D::DoRectangle(const TRect& rect) {
    Rectangle(rect.Left, rect.Top, rect.Right, rect.Bottom);
}

void TChartCanvas3D::DoVertLine(int x, int y0, int y1) {
    MoveTo(x, y0);
    LineTo(x, y1);
}

void TChartCanvas3D::EraseBackground(const TRect& rect) { FillRect(rect); }

namespace {

// Colour of step i out of n between s and e, channel by channel, on the
// stored bytes (system colours are not resolved).
TColor GradientColor(TColor s, TColor e, int i, int n) {
    if (n == 0) return s & 0xFFFFFF;
    int ch[3];
    for (int k = 0; k < 3; ++k) {
        const int sv = static_cast<int>((s >> (8 * k)) & 0xFF);
        const int ev = static_cast<int>((e >> (8 * k)) & 0xFF);
        ch[k] = (sv + MulDiv(i, ev - sv, n)) & 0xFF;
    }
    return platform::RGBColor(ch[0], ch[1], ch[2]);
}

// Paints bands with a solid brush of their own and puts the device's brush
// back afterwards.
class BandPainter {
public:
    explicit BandPainter(DrawDevice* d) : d_(d), saved_(d->CurrentBrush()) {}
    ~BandPainter() { d_->SelectBrush(saved_); }
    void Colour(TColor c) {
        if (has_ && c == last_) return;
        d_->SelectBrush({platform::BrushStyle::Solid, c});
        last_ = c;
        has_ = true;
    }
    // Left, top and width, height; nothing for an empty band.
    void Band(int x, int y, int w, int h) {
        if (w <= 0 || h <= 0) return;
        d_->FillRect({x, y, x + w, y + h});
    }

private:
    DrawDevice* d_;
    platform::BrushDesc saved_;
    TColor last_ = 0;
    bool has_ = false;
};

}  // namespace

void TChartCanvas3D::GradientFill(const TRect& rect, TColor startColor, TColor endColor,
                                  TGradientDirection direction) {
    DrawDevice* d = GetHandle();
    if (!d) return;
    TRect n = rect;
    if (n.Left > n.Right) std::swap(n.Left, n.Right);
    if (n.Top > n.Bottom) std::swap(n.Top, n.Bottom);
    const int W = n.Right - n.Left;
    const int H = n.Bottom - n.Top;
    BandPainter bp(d);
    switch (direction) {
        case gdTopBottom:
        case gdBottomTop: {
            const int size = H;
            const int m = std::min(size, 256);
            for (int i = 0; i < m; ++i) {
                bp.Colour(GradientColor(startColor, endColor, i, m - 1));
                const int p = MulDiv(i, size, m);
                const int q = MulDiv(i + 1, size, m);
                bp.Band(n.Left, rect.Bottom - q, W, q - p);
            }
            break;
        }
        case gdLeftRight:
        case gdRightLeft: {
            const int size = W;
            const int m = std::min(size, 256);
            for (int i = 0; i < m; ++i) {
                bp.Colour(GradientColor(startColor, endColor, i, m - 1));
                const int p = MulDiv(i, size, m);
                const int q = MulDiv(i + 1, size, m);
                bp.Band(rect.Right - q, n.Top, q - p, H);
            }
            break;
        }
        case gdFromCenter: {
            const int hw = W / 2;
            const int hh = H / 2;
            const int range = hw + hh;
            int x = 0;
            int y = 0;
            do {
                bp.Colour(GradientColor(startColor, endColor, x + y, range));
                const int s = GradientStepWidth;
                bp.Band(n.Left + x, n.Top + y, s, H - 2 * y);
                bp.Band(n.Right - x - s, n.Top + y, s, H - 2 * y);
                bp.Band(n.Left + x, n.Top + y, W - 2 * x, s);
                bp.Band(n.Left + x, n.Bottom - y - s, W - 2 * x, s);
                if (y < hh) y += s;
                if (x < hw) x += s;
            } while (!(y >= hh && x >= hw));
            break;
        }
        case gdFromTopLeft:
        case gdFromBottomLeft: {
            const bool topLeft = direction == gdFromTopLeft;
            const int y0 = topLeft ? n.Top : n.Bottom;
            int y = y0;
            const int dist = RoundHalfEven(std::sqrt(static_cast<double>(W) * W +
                                                     static_cast<double>(H) * H));
            int i = 0;
            int j = 0;
            do {
                bp.Colour(GradientColor(startColor, endColor, j, dist));
                bp.Band(n.Left, y, j + 1, 1);
                if (topLeft) bp.Band(n.Left + j, y0 + 1, 1, y - y0);
                else bp.Band(n.Left + j, y, 1, y0 - y);
                if (i < H) {
                    ++i;
                    y += topLeft ? 1 : -1;
                }
                if (j < W) ++j;
            } while (!(i >= H && j >= W));
            break;
        }
    }
}

void TChartCanvas3D::Line(int x0, int y0, int x1, int y1) {
    MoveTo(x0, y0);
    LineTo(x1, y1);
}

void TChartCanvas3D::PolygonPoints(const TPoint* points, int count) {
    if (count <= 0 || !points) return;
    if (DrawDevice* d = GetHandle()) d->Polygon(std::vector<TPoint>(points, points + count));
}

void TChartCanvas3D::Polygon(const TPoint* points, int highIndex) {
    PolygonPoints(points, highIndex + 1);
}

namespace {
// Font height for the zoomed size of a font of size points.
bool ZoomedHeight(const TFont* font, double zoom, int& height) {
    if (!font) return false;
    const int s = font->GetSize();
    const int s2 = std::max(1, RoundHalfEven(s * zoom));
    if (s2 == s) return false;
    height = -MulDiv(s2, font->GetPixelsPerInch(), 72);
    return true;
}
}  // namespace

void TChartCanvas3D::RotateLabel(int x, int y, const std::string& text, int angle) {
    if (angle > 360) angle -= 360;
    if (Brush) Brush->SetStyle(TBrushStyle::Clear);
    DrawDevice* d = GetHandle();
    if (!d) return;
    const platform::FontDesc previous = d->CurrentFont();
    platform::FontDesc f = previous;
    f.escapement = angle * 10;
    f.orientation = angle * 10;
    f.outPrecision = 7;
    int h = 0;
    if (ZoomText && ZoomFactor != 1.0 && ZoomedHeight(Font, ZoomFactor, h)) f.height = h;
    d->SelectFont(f);
    d->TextOut(x, y, text);
    d->SelectFont(previous);
}

void TChartCanvas3D::UnClipRectangle() { UnClipCanvas(ReferenceCanvas); }

// --- projection ---

namespace {
// round(v) + origin as a pixel. Zoom and perspective can carry a point the
// axes placed millions of pixels away beyond the 32-bit range; such a point
// stays at the end of the range on its own side instead of wrapping round to
// the other.
int ProjectedPixel(double v, int origin) {
    const double r = std::nearbyint(v) + origin;
    if (!(r > std::numeric_limits<int>::min())) return std::isnan(r) ? origin : std::numeric_limits<int>::min();
    if (r >= std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    return static_cast<int>(r);
}
}  // namespace

void TChartCanvas3D::Calc3DPos(int& x, int& y, int z) const {
    if (IsOrthogonal) {
        x = ProjectedPixel(ZoomFactor * (static_cast<double>(x) - CenterX + z), OriginX);
        y = ProjectedPixel(ZoomFactor * (static_cast<double>(y) - CenterY - z), OriginY);
    } else if (Is3D) {
        const double dx = x - CenterX;
        const double dy = y - CenterY;
        const double dz = z - CenterZ;
        double c = ZoomFactor;
        if (PerspectiveFactor > 0)
            c = ZoomFactor *
                (1.0 - PerspectiveFactor * (dx * static_cast<double>(DepthX) -
                                            dy * static_cast<double>(SinElevation) + dz * DepthZ));
        x = ProjectedPixel(c * (dx * ProjXX + dy * ProjXY + dz * ProjXZ), OriginX);
        y = ProjectedPixel(c * (dx * ProjYX + dy * ProjYY + dz * ProjYZ), OriginY);
    }
}

void TChartCanvas3D::Calc3DPoint(TPoint& p, int x, int y, int z) const {
    p.x = x;
    p.y = y;
    Calc3DPos(p.x, p.y, z);
}

void TChartCanvas3D::Calc3DTPoint(TPoint& p, int z) const { Calc3DPos(p.x, p.y, z); }

void TChartCanvas3D::Calc3DTPoint3D(const TPoint3D& p3, TPoint& p) const {
    Calc3DPoint(p, p3.x, p3.y, p3.z);
}

TPoint TChartCanvas3D::Calculate3DPosition(int x, int y, int z) {
    TPoint p;
    Calc3DPoint(p, x, y, z);
    return p;
}

void TChartCanvas3D::Calculate2DPosition(int& x, int& y, int z) {
    if (ZoomFactor == 0) return;
    const double k = 1.0 / ZoomFactor;
    if (IsOrthogonal) {
        x = RoundHalfEven((x - OriginX) * k) - z + CenterX;
        y = RoundHalfEven((y - OriginY) * k) + z + CenterY;
    } else if (Is3D) {
        if (ProjXX == 0 || ProjYY == 0) return;
        const int x0 = x;
        const int y0 = y;
        const double dz = z - CenterZ;
        x = RoundHalfEven(((x0 - OriginX) * k - dz * ProjXZ - (y0 - CenterY) * ProjXY) / ProjXX) +
            CenterX;
        y = RoundHalfEven(((y0 - OriginY) * k - dz * ProjYZ - (x0 - CenterX) * ProjYX) / ProjYY) +
            CenterY;
    }
}

TRect TChartCanvas3D::InitWindow(TCanvas* destCanvas, TView3DOptions* options, TColor,
                                 bool is3D, const TRect& rect) {
    Bounds = rect;
    View3DOptions = options;
    Is3D = is3D;
    IsOrthogonal = false;
    ZoomFactor = 1.0;
    if (Is3D && options) {
        IsOrthogonal = options->GetOrthogonal();
        ZoomFactor = options->GetZoom() * 0.01;
        ZoomText = options->GetZoomText();
    }
    if (Is3D && !IsOrthogonal) {
        constexpr double kRad = 0.017453292519943295769;
        const double E = options ? options->GetElevation() * kRad : 0.0;
        const double R = options ? options->GetRotation() * kRad : 0.0;
        const double T = options ? options->GetTilt() * kRad : 0.0;
        const double sE = std::sin(E), cE = std::cos(E);
        const double sR = std::sin(R), cR = std::cos(R);
        const double sT = std::sin(T), cT = std::cos(T);
        PerspectiveFactor = 0;
        SinElevation = sE;
        DepthX = cE * sR;
        DepthZ = cR * cE;
        ProjXX = std::max(sR * sE * sT + cR * cT, 0.00001);
        ProjXY = cE * sT;
        ProjXZ = cR * sE * sT - cT * sR;
        ProjYX = cT * sR * sE - cR * sT;
        ProjYY = std::max(cE * cT, 0.00001);
        ProjYZ = cR * cT * sE + sR * sT;
    }
    if (UseBuffer) {
        const int w = rect.Right - rect.Left;
        const int h = rect.Bottom - rect.Top;
        if (BufferBitmap && (BufferBitmap->Width() != w || BufferBitmap->Height() != h))
            DeleteBitmap();
        if (!BufferBitmap) {
            BufferBitmap = std::make_unique<TBitmap>();
            BufferBitmap->SetMonochrome(Monochrome);
            BufferBitmap->SetWidth(w);
            BufferBitmap->SetHeight(h);
        }
        BufferBitmap->GetCanvas().SetNotifications(false);
        SetCanvas(&BufferBitmap->GetCanvas());
        return {0, 0, w, h};
    }
    SetCanvas(destCanvas);
    return rect;
}

void TChartCanvas3D::Projection(int maxDepth, const TRect&, const TRect& chartRect) {
    CenterX = (chartRect.Left + chartRect.Right) / 2;
    CenterY = (chartRect.Top + chartRect.Bottom) / 2;
    CenterZ = maxDepth / 2;
    OriginX = CenterX;
    OriginY = CenterY;
    if (View3DOptions) {
        OriginX += View3DOptions->GetHorizOffset();
        OriginY += View3DOptions->GetVertOffset();
        if (View3DOptions->GetPerspective() > 0)
            PerspectiveFactor = View3DOptions->GetPerspective() / 35000.0;
    }
}

void TChartCanvas3D::ShowImage(TCanvas* destCanvas, TCanvas* defaultCanvas, const TRect& rect) {
    if (UseBuffer) {
        TransferBitmap(rect.Left, rect.Top, destCanvas);
        BufferDirty = false;
    }
    SetCanvas(defaultCanvas);
}

bool TChartCanvas3D::ReDrawBitmap() {
    if (BufferDirty || !BufferBitmap) return false;
    if (ReferenceCanvas == &BufferBitmap->GetCanvas()) return false;
    TransferBitmap(0, 0, ReferenceCanvas);
    return true;
}

void TChartCanvas3D::TransferBitmap(int x, int y, TCanvas* canvas) {
    if (!canvas || !BufferBitmap || canvas == &BufferBitmap->GetCanvas()) return;
    canvas->Draw(x, y, BufferBitmap->Image());
}

void TChartCanvas3D::DeleteBitmap() {
    if (!BufferBitmap) return;
    // Never keep drawing on a freed picture.
    if (ReferenceCanvas == &BufferBitmap->GetCanvas()) SetCanvas(nullptr);
    BufferBitmap.reset();
}

// --- 3-D operations ---

void TChartCanvas3D::SetPixel3D(int x, int y, int z, TColor color) {
    Calc3DPos(x, y, z);
    if (Pen && Pen->GetWidth() == 1) {
        SetPixel(x, y, color);
    } else {
        MoveTo(x, y);
        LineTo(x, y);
    }
}

void TChartCanvas3D::ClipCube(const TRect& rect, int minZ, int maxZ) {
    if (!Is3D) {
        ClipRectangle({rect.Left + 1, rect.Top + 1, rect.Right, rect.Bottom - 1});
        return;
    }
    DrawDevice* d = GetHandle();
    if (!d) return;
    TPoint p[6];
    Calc3DPoint(p[0], rect.Left, rect.Bottom, minZ);
    Calc3DPoint(p[1], rect.Left, rect.Top, minZ);
    TPoint a, b;
    Calc3DPoint(a, rect.Left, rect.Top, maxZ);
    Calc3DPoint(b, rect.Right, rect.Top, minZ);
    p[2] = b.y < a.y ? b : a;
    Calc3DPoint(p[3], rect.Right, rect.Top, maxZ);
    TPoint c, dd;
    Calc3DPoint(c, rect.Right, rect.Bottom, maxZ);
    Calc3DPoint(dd, rect.Right, rect.Top, minZ);
    p[4] = dd.x > c.x ? dd : c;
    Calc3DPoint(p[5], rect.Right, rect.Bottom, minZ);
    if (p[5].x < p[0].x) {
        p[0].x = p[5].x;
        if (dd.y < p[0].y) p[0].y = dd.y;
    }
    std::vector<TPoint> dev;
    for (const TPoint& q : p) dev.push_back(d->LPtoDP(q));
    d->SelectClipPolygon(dev);
}

void TChartCanvas3D::HorizLine3D(int left, int right, int y, int z) {
    MoveTo3D(left, y, z);
    LineTo3D(right, y, z);
}

void TChartCanvas3D::VertLine3D(int x, int top, int bottom, int z) {
    MoveTo3D(x, top, z);
    LineTo3D(x, bottom, z);
}

void TChartCanvas3D::ZLine3D(int x, int y, int z0, int z1) {
    MoveTo3D(x, y, z0);
    LineTo3D(x, y, z1);
}

void TChartCanvas3D::EllipseWithZ(int x1, int y1, int x2, int y2, int z) {
    if (IsOrthogonal) {
        Calc3DPos(x1, y1, z);
        Calc3DPos(x2, y2, z);
        Ellipse(x1, y1, x2, y2);
    } else if (!Is3D) {
        Ellipse(x1, y1, x2 + 1, y2 + 1);
    } else {
        const int cx = (x1 + x2) / 2;
        const int cy = (y1 + y2) / 2;
        const int rx = (x2 - x1) / 2;
        const int ry = (y2 - y1) / 2;
        TPoint pts[32];
        Calc3DPoint(pts[0], cx, y2, z);
        for (int k = 1; k < 32; ++k) {
            const double a = k * std::numbers::pi / 10.0;
            Calc3DPoint(pts[k], cx + static_cast<int>(std::trunc(rx * std::sin(a))),
                        cy + static_cast<int>(std::trunc(ry * std::cos(a))), z);
        }
        TPoint centre;
        Calc3DPoint(centre, cx, cy, z);
        if (Brush && Brush->GetStyle() != TBrushStyle::Clear && Pen) {
            const TPenStyle saved = Pen->GetStyle();
            Pen->SetStyle(TPenStyle::Clear);
            for (int k = 1; k < 32; ++k) {
                const TPoint tri[3] = {centre, pts[k - 1], pts[k]};
                PolygonPoints(tri, 3);
            }
            Pen->SetStyle(saved);
        }
        if (Pen && Pen->GetStyle() != TPenStyle::Clear) {
            if (DrawDevice* d = GetHandle()) {
                std::vector<TPoint> line(pts, pts + 32);
                d->Polyline(line);
            }
        }
    }
}

void TChartCanvas3D::FrontPlaneBegin() {
    SavedIs3D = Is3D;
    Is3D = false;
}

void TChartCanvas3D::FrontPlaneEnd() { Is3D = SavedIs3D; }

void TChartCanvas3D::LineWithZ(int x0, int y0, int x1, int y1, int z) {
    MoveTo3D(x0, y0, z);
    LineTo3D(x1, y1, z);
}

void TChartCanvas3D::MoveTo3D(int x, int y, int z) {
    Calc3DPos(x, y, z);
    MoveTo(x, y);
}

void TChartCanvas3D::LineTo3D(int x, int y, int z) {
    Calc3DPos(x, y, z);
    LineTo(x, y);
}

void TChartCanvas3D::Plane3D(const TPoint& a, const TPoint& b, int z0, int z1) {
    TPoint p[4];
    Calc3DPoint(p[0], a.x, a.y, z1);
    Calc3DPoint(p[1], b.x, b.y, z1);
    Calc3DPoint(p[2], b.x, b.y, z0);
    Calc3DPoint(p[3], a.x, a.y, z0);
    PolygonPoints(p, 4);
}

void TChartCanvas3D::PlaneWithZ(TPoint p1, TPoint p2, TPoint p3, TPoint p4, int z) {
    Calc3DTPoint(p1, z);
    Calc3DTPoint(p2, z);
    Calc3DTPoint(p3, z);
    Calc3DTPoint(p4, z);
    const TPoint p[4] = {p1, p2, p3, p4};
    PolygonPoints(p, 4);
}

void TChartCanvas3D::PlaneFour3D(TPoint* points, int z0, int z1) {
    Calc3DTPoint(points[0], z0);
    Calc3DTPoint(points[1], z0);
    Calc3DTPoint(points[2], z1);
    Calc3DTPoint(points[3], z1);
    PolygonPoints(points, 4);
}

void TChartCanvas3D::PolygonWithZ(const TPoint* points, int highIndex, int) {
    Polygon(points, highIndex);
}

void TChartCanvas3D::RectangleWithZ(const TRect& r, int z) {
    TPoint p[4];
    Calc3DPoint(p[0], r.Left, r.Top, z);
    Calc3DPoint(p[1], r.Right, r.Top, z);
    Calc3DPoint(p[2], r.Right, r.Bottom, z);
    Calc3DPoint(p[3], r.Left, r.Bottom, z);
    PolygonPoints(p, 4);
}

void TChartCanvas3D::RectangleY(int left, int top, int right, int z0, int z1) {
    TPoint p[4];
    Calc3DPoint(p[0], left, top, z0);
    Calc3DPoint(p[1], right, top, z0);
    Calc3DPoint(p[2], right, top, z1);
    Calc3DPoint(p[3], left, top, z1);
    PolygonPoints(p, 4);
}

void TChartCanvas3D::RectangleZ(int left, int top, int bottom, int z0, int z1) {
    TPoint p[4];
    Calc3DPoint(p[0], left, top, z0);
    Calc3DPoint(p[1], left, top, z1);
    Calc3DPoint(p[2], left, bottom, z1);
    Calc3DPoint(p[3], left, bottom, z0);
    PolygonPoints(p, 4);
}

void TChartCanvas3D::RotateLabel3D(int x, int y, int z, const std::string& text, int angle) {
    Calc3DPos(x, y, z);
    RotateLabel(x, y, text, angle);
}

void TChartCanvas3D::Surface3D(TChartCanvasSurfaceStyle, bool, int, int,
                               const TCanvasSurfaceGetPoint&) {}

void TChartCanvas3D::TextOut3D(int x, int y, int z, const std::string& text) {
    Calc3DPos(x, y, z);
    DrawDevice* d = GetHandle();
    if (!d) return;
    int h = 0;
    if (ZoomText && ZoomFactor != 1.0 && ZoomedHeight(Font, ZoomFactor, h)) {
        const platform::FontDesc previous = d->CurrentFont();
        platform::FontDesc f = previous;
        f.height = h;
        d->SelectFont(f);
        d->TextOut(x, y, text);
        d->SelectFont(previous);
        return;
    }
    d->TextOut(x, y, text);
}

void TChartCanvas3D::Triangle3D(const TPoint3D* points, const TColor* colors) {
    if (Brush) Brush->SetColor(colors[0]);
    TPoint p[3];
    for (int i = 0; i < 3; ++i) Calc3DTPoint3D(points[i], p[i]);
    PolygonPoints(p, 3);
}

void TChartCanvas3D::TriangleWithZ(const TPoint& p1, const TPoint& p2, const TPoint& p3, int z) {
    TPoint p[3] = {p1, p2, p3};
    for (TPoint& q : p) Calc3DTPoint(q, z);
    PolygonPoints(p, 3);
}

// The shaded solids (cube, cylinder, pyramid, cone, sphere, 3-D pie, arrow)
// are drawn in ChartSolids.cpp.

// --- free functions ---

void ClipCanvas(TCanvas* canvas, const TRect& rect) {
    if (!canvas) return;
    DrawDevice* d = canvas->Handle();
    if (!d) return;
    const TPoint a = d->LPtoDP({rect.Left, rect.Top});
    const TPoint b = d->LPtoDP({rect.Right, rect.Bottom});
    d->SelectClipRect({a.x, a.y, b.x, b.y});
}

void UnClipCanvas(TCanvas* canvas) {
    if (!canvas) return;
    if (DrawDevice* d = canvas->Handle()) d->SelectNoClip();
}

TColor ApplyDark(TColor color, int amount) {
    const TColor c = platform::ColorToRGB(color);
    int ch[3] = {platform::RedOf(c), platform::GreenOf(c), platform::BlueOf(c)};
    for (int& v : ch) v = amount < v ? v - amount : 0;
    return platform::RGBColor(ch[0], ch[1], ch[2]);
}

TColor ApplyBright(TColor color, int amount) {
    const TColor c = platform::ColorToRGB(color);
    int ch[3] = {platform::RedOf(c), platform::GreenOf(c), platform::BlueOf(c)};
    for (int& v : ch) v = v + amount >= 256 ? 255 : v + amount;
    return platform::RGBColor(ch[0], ch[1], ch[2]);
}

void SinCos(double angle, double& sinValue, double& cosValue) {
    sinValue = std::sin(angle);
    cosValue = std::cos(angle);
}

double ArcTan2(double y, double x) { return std::atan2(y, x); }

TPoint3D Point3D(int x, int y, int z) { return {x, y, z}; }

void RectSize(const TRect& r, int& width, int& height) {
    width = r.Right - r.Left;
    height = r.Bottom - r.Top;
}

void RectCenter(const TRect& r, int& x, int& y) {
    x = (r.Left + r.Right) / 2;
    y = (r.Top + r.Bottom) / 2;
}

double MaxDouble(double a, double b) { return a > b ? a : b; }
double MinDouble(double a, double b) { return a < b ? a : b; }
int MaxLong(int a, int b) { return a > b ? a : b; }
int MinLong(int a, int b) { return a < b ? a : b; }
void SwapLongint(int& a, int& b) { std::swap(a, b); }
void SwapInteger(int& a, int& b) { std::swap(a, b); }
void SwapDouble(double& a, double& b) { std::swap(a, b); }

}  // namespace pellucor::chart
