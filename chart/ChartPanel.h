#pragma once
// The chart panel: the window area a chart is drawn in, with its canvas,
// margins, 3-D settings, background and the drawing cycle every paint,
// picture export and print goes through. The window itself is hosted by
// whatever control shows the chart; the panel only needs its size, its
// canvas and a way to ask for a repaint.
#include <functional>
#include <memory>
#include <string>

#include "chart/ChartCanvas.h"
#include "chart/ChartProcs.h"

namespace pellucor::chart {

// Unit flags of the engine (set at start-up).
extern bool ClipOnPrinter;    // True
extern bool ClipOnMetafile;   // True
extern bool EraseOnPaint;     // False
extern bool PanelBackOnPrinter;  // False

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
enum TPanningMode { pmNone, pmHorizontal, pmVertical, pmBoth };
enum TChartBackImageMode { pbmStretch, pbmTile, pbmCenter };

// A zoom or panning drag in pixels.
class TZoomPanningRecord {
public:
    bool IsActive = false;
    int StartX = 0, StartY = 0, EndX = 0, EndY = 0;
    void Activate(int x, int y);
    // Swaps so that StartX <= EndX and StartY <= EndY.
    void Check();
};

class TCustomChartPanel : public TChartWindow {
public:
    TCustomChartPanel();
    ~TCustomChartPanel() override;
    TCustomChartPanel(const TCustomChartPanel&) = delete;
    TCustomChartPanel& operator=(const TCustomChartPanel&) = delete;

    // --- the hosting control ---
    int Width = 400;
    int Height = 250;
    TColor Color = clBtnFace;
    int BorderWidth = 0;
    TBevelCut BevelOuter = bvRaised;
    TBevelCut BevelInner = bvNone;
    int BevelWidth = 1;
    // Called by Invalidate: the hosting window should repaint.
    std::function<void()> OnInvalidateWindow;
    // While true the panel is being filled from its stored definition:
    // property cross-checks (axis minimum against maximum) are skipped.
    bool Loading = false;
    // Ends loading (records the cursor).
    virtual void Loaded();
    // The panel is being destroyed (series stop repainting it).
    bool Destroying = false;

    // --- fields ---
    int Chart3DPercent = 15;
    bool SeparateSeriesDepth = true;
    TRect PanelRect;
    int ChartRectWidth = 0, ChartRectHeight = 0;
    int ChartRectXCenter = 0, ChartRectYCenter = 0;
    TCanvas* WindowCanvas = nullptr;  // the window's own canvas (may be none)
    int VertDepth3D = 0;
    int MarginLeft = 3, MarginTop = 4, MarginRight = 3, MarginBottom = 4;
    int SavedCursor = 0;
    int Cursor = 0;
    TZoomPanningRecord PanningRecord;
    bool Printing = false;
    bool PrintProportional = true;
    int PrintResolution = 0;
    bool View3D = true;
    std::unique_ptr<TView3DOptions> View3DOptions;
    int Depth3D = 0;
    TZoomPanningRecord ZoomRecord;
    std::unique_ptr<TCanvas3D> Canvas;
    bool RepaintEnabled = false;
    bool CancelMouseAction = false;
    TRect ChartRect;
    TRect PageMargins{15, 15, 15, 15};

    // --- drawing cycle ---
    // Draws the whole chart onto canvas inside rect.
    virtual void Draw(TCanvas* userCanvas, const TRect& rect);
    // Repaints the window: the buffered picture when still valid, else a draw.
    virtual void Paint();
    void Invalidate() override;
    virtual void CanvasChanged() { Invalidate(); }
    virtual void InternalDraw(const TRect& rect) = 0;
    virtual void DrawPanelBevels(TRect rect);
    virtual void FontCanvas(const TFont& font);
    virtual TRect GetRectangle() const { return TRect{0, 0, Width, Height}; }
    void ReCalcWidthHeight();
    bool CanClip();
    void CheckPenWidth(TPen& pen);
    void SetBrushCanvas(TColor color, TBrushStyle style, TColor backColor);
    int MultiLineTextWidth(const std::string& text, int& numLines);
    void SetInternalCanvas(std::unique_ptr<TCanvas3D> canvas);
    bool IsScreenHighColor();
    void DrawZoomRectangle();

    // --- property setters (store; invalidate only on a change) ---
    void SetView3D(bool v) { SetBooleanProperty(View3D, v); }
    void SetView3DOptions(const TView3DOptions& o);
    void Set3DPercent(int value);
    void SetMargin(int index, int value);
    int GetMargin(int index) const;
    void SetBufferedDisplay(bool v);
    bool GetBufferedDisplay() const;
    void SetMonochrome(bool v);
    bool GetMonochrome() const;
    void SetColor(TColor c) { SetColorProperty(Color, c); }

    void SetBooleanProperty(bool& variable, bool value);
    void SetIntegerProperty(int& variable, int value);
    void SetLongintProperty(int& variable, int value) { SetIntegerProperty(variable, value); }
    void SetColorProperty(TColor& variable, TColor value);
    void SetStringProperty(std::string& variable, const std::string& value);
    void SetDoubleProperty(double& variable, double value);

    // Copies buffering, print settings, margins, monochrome, 3-D settings and colour.
    void Assign(const TCustomChartPanel& source);
};

class TCustomChartPanelExtended : public TCustomChartPanel {
public:
    TCustomChartPanelExtended();
    ~TCustomChartPanelExtended() override;

    int AnimatedZoomSteps = 8;
    bool AnimatedZoom = false;
    bool AllowZoom = true;
    TPanningMode AllowPanning = pmBoth;
    TGraphic BackImage;  // empty at first
    TChartBackImageMode BackImageMode = pbmStretch;
    std::unique_ptr<TChartGradient> Gradient;
    bool Zoomed = false;

    std::function<void(TCustomChartPanel*)> OnAfterDraw;
    std::function<void(TCustomChartPanel*)> OnScroll;
    std::function<void(TCustomChartPanel*)> OnUndoZoom;
    std::function<void(TCustomChartPanel*)> OnZoom;

    virtual void DrawImage(const TRect& rect) { DrawBitmap(rect, 0); }
    virtual void FillPanelRect(const TRect& rect);
    virtual void PanelPaint(const TRect& rect);
    void DrawBitmap(TRect rect, int z);
    virtual void UndoZoom();
    void Assign(const TCustomChartPanelExtended& source);
};

class TDraw3D;
using TDraw3DPaintEvent = std::function<void(TDraw3D* sender, const TRect& rect)>;

// A plain drawing panel: background, projection over the whole panel, then
// the owner's paint event.
class TDraw3D : public TCustomChartPanelExtended {
public:
    TDraw3DPaintEvent OnPaint;
    void InternalDraw(const TRect& rect) override;
};

}  // namespace pellucor::chart
