#pragma once
// The chart canvas: every chart draws through one of these. It projects
// chart points (x, y, z) to pixels, keeps an off-screen buffer picture that
// removes flicker, and clips. The chart pens and brushes, colour darkening
// and brightening and a few numeric helpers live here as well.
#include <functional>
#include <memory>
#include <string>

#include <QImage>

#include "platform/gfx/Canvas.h"
#include "platform/gfx/GfxTypes.h"

namespace pellucor::chart {

using TColor = platform::Color;
using TPoint = platform::Point;
using TRect = platform::Rect;
using TCanvas = platform::Canvas;
using TPen = platform::Pen;
using TBrush = platform::Brush;
using TFont = platform::Font;
using TBitmap = platform::Bitmap;
using TPenStyle = platform::PenStyle;
using TPenMode = platform::PenMode;
using TBrushStyle = platform::BrushStyle;
// A picture drawn on the canvas (Draw, StretchDraw); a null image is empty.
using TGraphic = QImage;

// The standard colour constants.
constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clBtnFace = 0x8000000F;
constexpr TColor clBtnShadow = 0x80000010;
constexpr TColor clBtnHighlight = 0x80000014;
constexpr TColor clWindow = 0x80000005;
constexpr TColor clWindowText = 0x80000008;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;
// A point, pen or brush without a colour of its own.
constexpr TColor UseSeriesColor = 0x80000000;

struct TPoint3D {
    int x = 0;
    int y = 0;
    int z = 0;
    friend bool operator==(const TPoint3D&, const TPoint3D&) = default;
};

enum TCanvasBackMode { cbmNone = 0, cbmTransparent = 1, cbmOpaque = 2 };

enum TGradientDirection {
    gdTopBottom, gdBottomTop, gdLeftRight, gdRightLeft, gdFromCenter, gdFromTopLeft,
    gdFromBottomLeft
};

enum TChartCanvasSurfaceStyle { tcsSolid, tcsWire, tcsDot };

// Step of the rings of a centre gradient, in pixels.
constexpr int GradientStepWidth = 2;

// How much the side faces (DarkFactor1) and the tops (DarkFactor2) of the
// shaded solids are darkened.
constexpr int DarkFactor1 = 128;
constexpr int DarkFactor2 = 64;

// What owns 3-D options, gradients and fonts: invalidated when they change.
class TChartWindow {
public:
    virtual ~TChartWindow() = default;
    virtual void Invalidate() = 0;
};

// The 3-D viewing settings of a panel.
class TView3DOptions {
public:
    explicit TView3DOptions(TChartWindow* parent = nullptr) : Parent(parent) {}

    int GetElevation() const { return Elevation; }
    int GetHorizOffset() const { return HorizOffset; }
    bool GetOrthogonal() const { return Orthogonal; }
    int GetPerspective() const { return Perspective; }
    int GetRotation() const { return Rotation; }
    int GetTilt() const { return Tilt; }
    int GetVertOffset() const { return VertOffset; }
    int GetZoom() const { return Zoom; }
    bool GetZoomText() const { return ZoomText; }

    void SetElevation(int v);
    void SetHorizOffset(int v);
    void SetOrthogonal(bool v);
    void SetPerspective(int v);
    void SetRotation(int v);
    void SetTilt(int v);
    void SetVertOffset(int v);
    void SetZoom(int v);
    void SetZoomText(bool v);
    // Copies the nine values (not the notifications or the parent); repaints nothing.
    void Assign(const TView3DOptions& src);

    std::function<void(bool horizontal)> OnOffsetChange;
    std::function<void(int newZoom)> OnZoomChange;
    TChartWindow* Parent;

private:
    void Changed();
    int Elevation = 345;
    int HorizOffset = 0;
    bool Orthogonal = true;
    int Perspective = 15;
    int Rotation = 345;
    int Tilt = 0;
    int VertOffset = 0;
    int Zoom = 100;
    bool ZoomText = true;
};

// A pen that can be switched off and can draw one-pixel lines as alternate
// pixels. Every property change calls the owner's change handler.
class TChartPen : public TPen {
public:
    explicit TChartPen(std::function<void()> changeHandler = {});
    bool GetSmallDots() const { return SmallDots; }
    bool GetVisible() const { return Visible; }
    void SetSmallDots(bool v);
    void SetVisible(bool v);
    // From a chart pen: Visible and SmallDots, then colour, mode, style and width.
    void Assign(const TPen& src);

protected:
    bool SmallDots = false;
    bool Visible = true;
};

class TChartHiddenPen : public TChartPen {
public:
    explicit TChartHiddenPen(std::function<void()> changeHandler = {});
};
class TDottedGrayPen : public TChartPen {
public:
    explicit TDottedGrayPen(std::function<void()> changeHandler = {});
};
class TDarkGrayPen : public TChartPen {
public:
    explicit TDarkGrayPen(std::function<void()> changeHandler = {});
};
class TChartAxisPen : public TChartPen {
public:
    explicit TChartAxisPen(std::function<void()> changeHandler = {});
};
class TChartArrowPen : public TChartPen {
public:
    explicit TChartArrowPen(std::function<void()> changeHandler = {});
};

// A brush whose colour starts as UseSeriesColor: its owner substitutes its
// own colour when it draws.
class TChartBrush : public TBrush {
public:
    explicit TChartBrush(std::function<void()> changeHandler = {});
};

// Callback of Surface3D (unused by this canvas).
using TCanvasSurfaceGetPoint = std::function<void(int ix, int iz, TPoint3D& p, TColor& c)>;

// Two-dimensional operations of a chart canvas.
class TChartCanvas {
public:
    TChartCanvas() = default;
    virtual ~TChartCanvas() = default;
    TChartCanvas(const TChartCanvas&) = delete;
    TChartCanvas& operator=(const TChartCanvas&) = delete;

    TCanvas* ReferenceCanvas = nullptr;  // not owned
    TFont* Font = nullptr;               // the reference canvas's own objects
    TPen* Pen = nullptr;
    TBrush* Brush = nullptr;
    bool DrawingToMetafile = false;

    virtual TColor GetBackColor() = 0;
    virtual TCanvasBackMode GetBackMode() = 0;
    virtual platform::DrawDevice* GetHandle() = 0;
    virtual bool GetMonochrome() = 0;
    virtual int GetTextAlign() = 0;
    virtual bool GetUseBuffer() = 0;
    virtual void SetBackColor(TColor color) = 0;
    virtual void SetBackMode(TCanvasBackMode mode) = 0;
    virtual void SetMonochrome(bool value) = 0;
    virtual void SetPixel(int x, int y, TColor color) = 0;
    virtual void SetTextAlign(int flags) = 0;
    virtual void SetUseBuffer(bool value) = 0;
    virtual void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) = 0;
    virtual void Draw(int x, int y, const TGraphic* graphic) = 0;
    virtual void Ellipse(int x1, int y1, int x2, int y2) = 0;
    virtual void FillRect(const TRect& rect) = 0;
    virtual void Frame3D(TRect rect, TColor topColor, TColor bottomColor, int width) = 0;
    virtual void LineTo(int x, int y) = 0;
    virtual void MoveTo(int x, int y) = 0;
    virtual void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) = 0;
    virtual void Rectangle(int x1, int y1, int x2, int y2) = 0;
    virtual void RoundRect(int x1, int y1, int x2, int y2, int cornerW, int cornerH) = 0;
    virtual void StretchDraw(const TRect& rect, const TGraphic* graphic) = 0;
    virtual void TextOut(int x, int y, const std::string& text) = 0;
    virtual int TextWidth(const std::string& text);
    virtual int TextHeight(const std::string& text);
    virtual void ClipRectangle(const TRect& rect) = 0;
    virtual void DoHorizLine(int x0, int x1, int y) = 0;
    virtual void DoRectangle(const TRect& rect) = 0;
    virtual void DoVertLine(int x, int y0, int y1) = 0;
    virtual void EraseBackground(const TRect& rect) = 0;
    virtual void GradientFill(const TRect& rect, TColor startColor, TColor endColor,
                              TGradientDirection direction) = 0;
    virtual void Invalidate() = 0;
    virtual void Line(int x0, int y0, int x1, int y1) = 0;
    // highIndex + 1 points.
    virtual void Polygon(const TPoint* points, int highIndex) = 0;
    virtual void RotateLabel(int x, int y, const std::string& text, int angle) = 0;
    virtual void UnClipRectangle() = 0;

    // Makes canvas the reference canvas and caches its font, pen and brush.
    void SetCanvas(TCanvas* canvas);
    // Pen black, 1, solid; brush white, solid; font black, 10 pt; back
    // colour white; transparent background.
    void ResetState();
    // Puts a chart pen on the canvas (hidden: clear pen; small dots of width
    // 1: the alternate-pixel pen; otherwise a copy).
    void AssignVisiblePen(const TChartPen& pen);
    // TextHeight("W").
    int FontHeight();
};

// Three-dimensional operations.
class TCanvas3D : public TChartCanvas {
public:
    TView3DOptions* View3DOptions = nullptr;  // not owned
    bool IsOrthogonal = false;

    virtual void SetPixel3D(int x, int y, int z, TColor color) = 0;
    virtual bool GetSupportsFullRotation() = 0;
    virtual bool GetSupports3DText() = 0;
    virtual void Calculate2DPosition(int& x, int& y, int z) = 0;
    virtual TPoint Calculate3DPosition(int x, int y, int z) = 0;
    virtual TRect InitWindow(TCanvas* destCanvas, TView3DOptions* options, TColor backColor,
                             bool is3D, const TRect& rect) = 0;
    virtual void Assign(TCanvas3D& source);
    virtual void Projection(int maxDepth, const TRect& bounds, const TRect& chartRect) = 0;
    virtual void ShowImage(TCanvas* destCanvas, TCanvas* defaultCanvas, const TRect& rect) = 0;
    virtual bool ReDrawBitmap() = 0;
    virtual void Arrow(bool filled, const TPoint& from, const TPoint& to, int width, int height,
                       int z) = 0;
    virtual void ClipCube(const TRect& rect, int minZ, int maxZ) = 0;
    virtual void Cone(bool vertical, int left, int top, int right, int bottom, int z0, int z1,
                      int conePercent) = 0;
    virtual void Cube(int left, int right, int top, int bottom, int z0, int z1,
                      bool darkSides) = 0;
    virtual void Cylinder(bool vertical, int left, int top, int right, int bottom, int z0,
                          int z1, bool darkCover) = 0;
    virtual void HorizLine3D(int left, int right, int y, int z) = 0;
    virtual void VertLine3D(int x, int top, int bottom, int z) = 0;
    virtual void ZLine3D(int x, int y, int z0, int z1) = 0;
    virtual void EllipseWithZ(int x1, int y1, int x2, int y2, int z) = 0;
    virtual void FrontPlaneBegin() = 0;
    virtual void FrontPlaneEnd() = 0;
    virtual void LineWithZ(int x0, int y0, int x1, int y1, int z) = 0;
    virtual void MoveTo3D(int x, int y, int z) = 0;
    virtual void LineTo3D(int x, int y, int z) = 0;
    virtual void Pie3D(int xCenter, int yCenter, int xRadius, int yRadius, int z0, int z1,
                       double startAngle, double endAngle, bool darkSides, bool drawSides) = 0;
    virtual void Plane3D(const TPoint& a, const TPoint& b, int z0, int z1) = 0;
    virtual void PlaneWithZ(TPoint p1, TPoint p2, TPoint p3, TPoint p4, int z) = 0;
    // Projects the caller's points in place (0 and 1 at z0, 2 and 3 at z1).
    virtual void PlaneFour3D(TPoint* points, int z0, int z1) = 0;
    virtual void PolygonWithZ(const TPoint* points, int highIndex, int z) = 0;
    virtual void Pyramid(bool vertical, int left, int top, int right, int bottom, int z0, int z1,
                         bool darkSides) = 0;
    virtual void RectangleWithZ(const TRect& rect, int z) = 0;
    virtual void RectangleY(int left, int top, int right, int z0, int z1) = 0;
    virtual void RectangleZ(int left, int top, int bottom, int z0, int z1) = 0;
    virtual void RotateLabel3D(int x, int y, int z, const std::string& text, int angle) = 0;
    virtual void Sphere(int x, int y, int z, double radius) = 0;
    virtual void Surface3D(TChartCanvasSurfaceStyle style, bool sameBrush, int numXValues,
                           int numZValues, const TCanvasSurfaceGetPoint& getPoint) = 0;
    virtual void TextOut3D(int x, int y, int z, const std::string& text) = 0;
    virtual void Triangle3D(const TPoint3D* points, const TColor* colors) = 0;
    virtual void TriangleWithZ(const TPoint& p1, const TPoint& p2, const TPoint& p3, int z) = 0;
};

// The canvas that draws on the platform's device contexts.
class TChartCanvas3D : public TCanvas3D {
public:
    TChartCanvas3D();
    ~TChartCanvas3D() override;

    // --- projection state (read by the engine and by tests) ---
    int CenterX = 0, CenterY = 0, CenterZ = 0;
    int OriginX = 0, OriginY = 0;
    long double SinElevation = 0, DepthX = 0;
    double ProjXY = 0, ProjYY = 0, DepthZ = 0, ProjXX = 0, ProjYX = 0, ProjXZ = 0, ProjYZ = 0;
    bool SavedIs3D = false;
    bool Is3D = false;
    std::unique_ptr<TBitmap> BufferBitmap;
    bool UseBuffer = true;
    bool Monochrome = false;
    bool BufferDirty = true;
    TRect Bounds;
    bool ZoomText = true;
    double ZoomFactor = 1.0;
    double PerspectiveFactor = 0.0;

    TColor GetBackColor() override;
    TCanvasBackMode GetBackMode() override;
    platform::DrawDevice* GetHandle() override;
    bool GetMonochrome() override { return Monochrome; }
    int GetTextAlign() override;
    bool GetUseBuffer() override { return UseBuffer; }
    void SetBackColor(TColor color) override;
    void SetBackMode(TCanvasBackMode mode) override;
    void SetMonochrome(bool value) override;
    void SetPixel(int x, int y, TColor color) override;
    void SetTextAlign(int flags) override;
    void SetUseBuffer(bool value) override;
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override;
    void Draw(int x, int y, const TGraphic* graphic) override;
    void Ellipse(int x1, int y1, int x2, int y2) override;
    void FillRect(const TRect& rect) override;
    void Frame3D(TRect rect, TColor topColor, TColor bottomColor, int width) override;
    void LineTo(int x, int y) override;
    void MoveTo(int x, int y) override;
    void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override;
    void Rectangle(int x1, int y1, int x2, int y2) override;
    void RoundRect(int x1, int y1, int x2, int y2, int cornerW, int cornerH) override;
    void StretchDraw(const TRect& rect, const TGraphic* graphic) override;
    void TextOut(int x, int y, const std::string& text) override;
    void ClipRectangle(const TRect& rect) override;
    void DoHorizLine(int x0, int x1, int y) override;
    void DoRectangle(const TRect& rect) override;
    void DoVertLine(int x, int y0, int y1) override;
    void EraseBackground(const TRect& rect) override;
    void GradientFill(const TRect& rect, TColor startColor, TColor endColor,
                      TGradientDirection direction) override;
    void Invalidate() override { BufferDirty = true; }
    void Line(int x0, int y0, int x1, int y1) override;
    void Polygon(const TPoint* points, int highIndex) override;
    void RotateLabel(int x, int y, const std::string& text, int angle) override;
    void UnClipRectangle() override;

    void SetPixel3D(int x, int y, int z, TColor color) override;
    bool GetSupportsFullRotation() override { return false; }
    bool GetSupports3DText() override { return false; }
    void Calculate2DPosition(int& x, int& y, int z) override;
    TPoint Calculate3DPosition(int x, int y, int z) override;
    TRect InitWindow(TCanvas* destCanvas, TView3DOptions* options, TColor backColor, bool is3D,
                     const TRect& rect) override;
    void Projection(int maxDepth, const TRect& bounds, const TRect& chartRect) override;
    void ShowImage(TCanvas* destCanvas, TCanvas* defaultCanvas, const TRect& rect) override;
    bool ReDrawBitmap() override;
    void Arrow(bool filled, const TPoint& from, const TPoint& to, int width, int height,
               int z) override;
    void ClipCube(const TRect& rect, int minZ, int maxZ) override;
    void Cone(bool vertical, int left, int top, int right, int bottom, int z0, int z1,
              int conePercent) override;
    void Cube(int left, int right, int top, int bottom, int z0, int z1, bool darkSides) override;
    void Cylinder(bool vertical, int left, int top, int right, int bottom, int z0, int z1,
                  bool darkCover) override;
    void HorizLine3D(int left, int right, int y, int z) override;
    void VertLine3D(int x, int top, int bottom, int z) override;
    void ZLine3D(int x, int y, int z0, int z1) override;
    void EllipseWithZ(int x1, int y1, int x2, int y2, int z) override;
    void FrontPlaneBegin() override;
    void FrontPlaneEnd() override;
    void LineWithZ(int x0, int y0, int x1, int y1, int z) override;
    void MoveTo3D(int x, int y, int z) override;
    void LineTo3D(int x, int y, int z) override;
    void Pie3D(int xCenter, int yCenter, int xRadius, int yRadius, int z0, int z1,
               double startAngle, double endAngle, bool darkSides, bool drawSides) override;
    void Plane3D(const TPoint& a, const TPoint& b, int z0, int z1) override;
    void PlaneWithZ(TPoint p1, TPoint p2, TPoint p3, TPoint p4, int z) override;
    void PlaneFour3D(TPoint* points, int z0, int z1) override;
    void PolygonWithZ(const TPoint* points, int highIndex, int z) override;
    void Pyramid(bool vertical, int left, int top, int right, int bottom, int z0, int z1,
                 bool darkSides) override;
    void RectangleWithZ(const TRect& rect, int z) override;
    void RectangleY(int left, int top, int right, int z0, int z1) override;
    void RectangleZ(int left, int top, int bottom, int z0, int z1) override;
    void RotateLabel3D(int x, int y, int z, const std::string& text, int angle) override;
    void Sphere(int x, int y, int z, double radius) override;
    void Surface3D(TChartCanvasSurfaceStyle style, bool sameBrush, int numXValues,
                   int numZValues, const TCanvasSurfaceGetPoint& getPoint) override;
    void TextOut3D(int x, int y, int z, const std::string& text) override;
    void Triangle3D(const TPoint3D* points, const TColor* colors) override;
    void TriangleWithZ(const TPoint& p1, const TPoint& p2, const TPoint& p3, int z) override;

    // Projects in place.
    void Calc3DPos(int& x, int& y, int z) const;
    void Calc3DPoint(TPoint& p, int x, int y, int z) const;
    void Calc3DTPoint(TPoint& p, int z) const;
    void Calc3DTPoint3D(const TPoint3D& p3, TPoint& p) const;
    // Copies the whole buffer picture to canvas at (x, y).
    void TransferBitmap(int x, int y, TCanvas* canvas);
    void DeleteBitmap();

private:
    void PolygonPoints(const TPoint* points, int count);
};

// Clips the canvas's device to rect (logical units, converted with the
// device's current mapping) or removes the clip.
void ClipCanvas(TCanvas* canvas, const TRect& rect);
void UnClipCanvas(TCanvas* canvas);

// Darkens each channel by amount (not below 0) / brightens it (not above 255).
TColor ApplyDark(TColor color, int amount);
TColor ApplyBright(TColor color, int amount);

// Small numeric helpers.
void SinCos(double angle, double& sinValue, double& cosValue);
double ArcTan2(double y, double x);
TPoint3D Point3D(int x, int y, int z);
void RectSize(const TRect& r, int& width, int& height);
void RectCenter(const TRect& r, int& x, int& y);
double MaxDouble(double a, double b);
double MinDouble(double a, double b);
int MaxLong(int a, int b);
int MinLong(int a, int b);
void SwapLongint(int& a, int& b);
void SwapInteger(int& a, int& b);
void SwapDouble(double& a, double& b);

}  // namespace pellucor::chart
