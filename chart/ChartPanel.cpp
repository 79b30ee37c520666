#include "chart/ChartPanel.h"

#include <algorithm>
#include <cstdio>

namespace pellucor::chart {

bool ClipOnPrinter = true;
bool ClipOnMetafile = true;
bool EraseOnPaint = false;
bool PanelBackOnPrinter = false;

using platform::MulDiv;

void TZoomPanningRecord::Activate(int x, int y) {
    StartX = EndX = x;
    StartY = EndY = y;
    IsActive = true;
}

void TZoomPanningRecord::Check() {
    if (StartX > EndX) std::swap(StartX, EndX);
    if (StartY > EndY) std::swap(StartY, EndY);
}

// ---------------------------------------------------------------------------

TCustomChartPanel::TCustomChartPanel() {
    View3DOptions = std::make_unique<TView3DOptions>(this);
    Canvas = std::make_unique<TChartCanvas3D>();
    SavedCursor = Cursor;
    // Nothing may invalidate a half-built panel.
    RepaintEnabled = true;
}

TCustomChartPanel::~TCustomChartPanel() = default;

void TCustomChartPanel::Loaded() {
    Loading = false;
    SavedCursor = Cursor;
}

void TCustomChartPanel::Invalidate() {
    if (!RepaintEnabled) return;
    if (Canvas) Canvas->Invalidate();
    if (OnInvalidateWindow) OnInvalidateWindow();
}

void TCustomChartPanel::Draw(TCanvas* userCanvas, const TRect& userRect) {
    const TRect r = Canvas->InitWindow(userCanvas, View3DOptions.get(), Color, View3D, userRect);
    PanelRect = r;
    const int w = r.Width();
    const int h = r.Height();
    ChartRect = TRect{r.Left + BorderWidth + MulDiv(MarginLeft, w, 100),
                      r.Top + BorderWidth + MulDiv(MarginTop, h, 100),
                      r.Right - BorderWidth - MulDiv(MarginRight, w, 100),
                      r.Bottom - BorderWidth - MulDiv(MarginBottom, h, 100)};
    ReCalcWidthHeight();
    InternalDraw(PanelRect);
    Canvas->ShowImage(userCanvas, WindowCanvas, userRect);
}

void TCustomChartPanel::Paint() {
    if (Printing) return;
    if (Canvas->ReDrawBitmap()) return;
    Draw(WindowCanvas, GetRectangle());
}

void TCustomChartPanel::ReCalcWidthHeight() {
    if (ChartRect.Left < PanelRect.Left) ChartRect.Left = PanelRect.Left;
    if (ChartRect.Top < PanelRect.Top) ChartRect.Top = PanelRect.Top;
    if (ChartRect.Right < ChartRect.Left)
        ChartRect.Right = ChartRect.Left + 1;
    else if (ChartRect.Right == ChartRect.Left)
        ChartRect.Right = ChartRect.Left + Width;
    if (ChartRect.Bottom < ChartRect.Top)
        ChartRect.Bottom = ChartRect.Top + 1;
    else if (ChartRect.Bottom == ChartRect.Top)
        ChartRect.Bottom = ChartRect.Top + Height;
    ChartRectWidth = ChartRect.Right - ChartRect.Left;
    ChartRectHeight = ChartRect.Bottom - ChartRect.Top;
    ChartRectXCenter = (ChartRect.Left + ChartRect.Right) / 2;
    ChartRectYCenter = (ChartRect.Top + ChartRect.Bottom) / 2;
}

void TCustomChartPanel::DrawPanelBevels(TRect rect) {
    if (Printing && !PanelBackOnPrinter) return;
    Canvas->Pen->SetStyle(TPenStyle::Solid);
    Canvas->Pen->SetWidth(1);
    Canvas->Pen->SetMode(TPenMode::Copy);
    Canvas->Brush->SetStyle(TBrushStyle::Clear);
    auto bevel = [&](TBevelCut cut) {
        if (cut == bvNone) return;
        const TColor topLeft = cut == bvLowered ? clBtnShadow : clBtnHighlight;
        const TColor bottomRight = cut == bvRaised ? clBtnShadow : clBtnHighlight;
        Canvas->Frame3D(rect, topLeft, bottomRight, BevelWidth);
        rect = TRect{rect.Left + BevelWidth, rect.Top + BevelWidth, rect.Right - BevelWidth,
                     rect.Bottom - BevelWidth};
    };
    bevel(BevelOuter);
    if (BorderWidth > 0) {
        Canvas->Frame3D(rect, Color, Color, BorderWidth);
        rect = TRect{rect.Left + BorderWidth, rect.Top + BorderWidth, rect.Right - BorderWidth,
                     rect.Bottom - BorderWidth};
    }
    bevel(BevelInner);
}

void TCustomChartPanel::FontCanvas(const TFont& font) {
    if (Canvas->Font) Canvas->Font->AssignFont(font);
}

bool TCustomChartPanel::CanClip() {
    if (Canvas->GetSupportsFullRotation()) return false;
    if (!Printing && !Canvas->DrawingToMetafile) return true;
    if (Printing && ClipOnPrinter) return true;
    if (Canvas->DrawingToMetafile && ClipOnMetafile) return true;
    return false;
}

void TCustomChartPanel::CheckPenWidth(TPen& pen) {
    if (Printing && pen.GetWidth() == 1 && pen.GetStyle() != TPenStyle::Solid) pen.SetWidth(0);
}

void TCustomChartPanel::SetBrushCanvas(TColor color, TBrushStyle style, TColor backColor) {
    if (style != TBrushStyle::Solid && color == backColor)
        color = backColor == clBlack ? clWhite : clBlack;
    Canvas->Brush->SetColor(color);
    Canvas->Brush->SetStyle(style);
    Canvas->GetHandle();  // realise the brush before choosing the background mode
    if (style == TBrushStyle::Solid) {
        Canvas->SetBackMode(cbmTransparent);
    } else {
        Canvas->SetBackMode(cbmOpaque);
        Canvas->SetBackColor(platform::ColorToRGB(backColor));
    }
}

int TCustomChartPanel::MultiLineTextWidth(const std::string& text, int& numLines) {
    if (text.find(TeeLineSeparator) == std::string::npos) {
        numLines = 1;
        return Canvas->TextWidth(text);
    }
    numLines = 0;
    int result = 0;
    std::size_t start = 0;
    for (;;) {
        const auto sep = text.find(TeeLineSeparator, start);
        if (sep == std::string::npos) break;
        result = std::max(result, Canvas->TextWidth(text.substr(start, sep - start)));
        ++numLines;
        start = sep + 1;
    }
    if (start < text.size()) {
        result = std::max(result, Canvas->TextWidth(text.substr(start)));
        ++numLines;
    }
    return result;
}

void TCustomChartPanel::SetInternalCanvas(std::unique_ptr<TCanvas3D> canvas) {
    if (!canvas) return;
    canvas->SetCanvas(WindowCanvas);
    if (Canvas) {
        RepaintEnabled = false;
        canvas->Assign(*Canvas);
        RepaintEnabled = true;
    }
    Canvas = std::move(canvas);
    Invalidate();
}

bool TCustomChartPanel::IsScreenHighColor() {
    if (Canvas->GetSupportsFullRotation()) return true;
    auto* dc = Canvas->GetHandle();
    if (!dc) return true;
    const auto caps = dc->GetDeviceCaps();
    return caps.bitsPixel * caps.planes >= 15;
}

void TCustomChartPanel::DrawZoomRectangle() {
    const TColor rgb = platform::ColorToRGB(Color);
    Canvas->Pen->SetColor(rgb == clWhite ? clBlack : rgb);
    Canvas->Pen->SetMode(TPenMode::NotXor);
    Canvas->Pen->SetStyle(TPenStyle::Solid);
    Canvas->Pen->SetWidth(1);
    Canvas->Brush->SetStyle(TBrushStyle::Clear);
    Canvas->Rectangle(ZoomRecord.StartX, ZoomRecord.StartY, ZoomRecord.EndX, ZoomRecord.EndY);
}

void TCustomChartPanel::SetView3DOptions(const TView3DOptions& o) {
    View3DOptions->Assign(o);
    Invalidate();
}

void TCustomChartPanel::Set3DPercent(int value) {
    if (value < 1 || value > 100) {
        char buf[128];
        std::snprintf(buf, sizeof buf, "3D effect percent must be between %d and %d", 1, 100);
        throw ChartException(buf);
    }
    SetIntegerProperty(Chart3DPercent, value);
}

void TCustomChartPanel::SetMargin(int index, int value) {
    switch (index) {
        case 0: SetIntegerProperty(MarginLeft, value); break;
        case 1: SetIntegerProperty(MarginTop, value); break;
        case 2: SetIntegerProperty(MarginRight, value); break;
        default: SetIntegerProperty(MarginBottom, value); break;
    }
}

int TCustomChartPanel::GetMargin(int index) const {
    switch (index) {
        case 0: return MarginLeft;
        case 1: return MarginTop;
        case 2: return MarginRight;
        default: return MarginBottom;
    }
}

void TCustomChartPanel::SetBufferedDisplay(bool v) {
    Canvas->SetUseBuffer(v);
}

bool TCustomChartPanel::GetBufferedDisplay() const { return Canvas->GetUseBuffer(); }

void TCustomChartPanel::SetMonochrome(bool v) {
    if (Canvas->GetMonochrome() != v) {
        Canvas->SetMonochrome(v);
        Invalidate();
    }
}

bool TCustomChartPanel::GetMonochrome() const { return Canvas->GetMonochrome(); }

void TCustomChartPanel::SetBooleanProperty(bool& variable, bool value) {
    if (variable != value) {
        variable = value;
        Invalidate();
    }
}

void TCustomChartPanel::SetIntegerProperty(int& variable, int value) {
    if (variable != value) {
        variable = value;
        Invalidate();
    }
}

void TCustomChartPanel::SetColorProperty(TColor& variable, TColor value) {
    if (variable != value) {
        variable = value;
        Invalidate();
    }
}

void TCustomChartPanel::SetStringProperty(std::string& variable, const std::string& value) {
    if (variable != value) {
        variable = value;
        Invalidate();
    }
}

void TCustomChartPanel::SetDoubleProperty(double& variable, double value) {
    if (variable != value) {
        variable = value;
        Invalidate();
    }
}

void TCustomChartPanel::Assign(const TCustomChartPanel& source) {
    SetBufferedDisplay(source.GetBufferedDisplay());
    PrintProportional = source.PrintProportional;
    PrintResolution = source.PrintResolution;
    MarginLeft = source.MarginLeft;
    MarginTop = source.MarginTop;
    MarginRight = source.MarginRight;
    MarginBottom = source.MarginBottom;
    SetMonochrome(source.GetMonochrome());
    View3D = source.View3D;
    View3DOptions->Assign(*source.View3DOptions);
    Chart3DPercent = source.Chart3DPercent;
    Color = source.Color;
    Invalidate();
}

// ---------------------------------------------------------------------------

TCustomChartPanelExtended::TCustomChartPanelExtended() {
    const bool was = RepaintEnabled;
    RepaintEnabled = false;
    Gradient = std::make_unique<TChartGradient>(this);
    RepaintEnabled = was;
}

TCustomChartPanelExtended::~TCustomChartPanelExtended() = default;

void TCustomChartPanelExtended::FillPanelRect(const TRect& rect) {
    if (Gradient->GetVisible()) {
        const auto dir = Gradient->GetDirection();
        if (dir == gdTopBottom || dir == gdLeftRight)
            Canvas->GradientFill(rect, Gradient->GetStartColor(), Gradient->GetEndColor(), dir);
        else
            Canvas->GradientFill(rect, Gradient->GetEndColor(), Gradient->GetStartColor(), dir);
        return;
    }
    if (Printing && !PanelBackOnPrinter) return;
    Canvas->Brush->SetColor(Color);
    Canvas->Brush->SetStyle(TBrushStyle::Solid);
    Canvas->EraseBackground(rect);
}

void TCustomChartPanelExtended::PanelPaint(const TRect& rect) {
    FillPanelRect(rect);
    DrawImage(rect);
    if (!Canvas->GetSupportsFullRotation()) DrawPanelBevels(rect);
}

void TCustomChartPanelExtended::DrawBitmap(TRect r, int z) {
    if (z != 0 && View3D && !View3DOptions->GetOrthogonal()) return;
    if (BackImage.isNull()) return;
    auto project = [&] {
        const TPoint a = Canvas->Calculate3DPosition(r.Left, r.Top, z);
        const TPoint b = Canvas->Calculate3DPosition(r.Right, r.Bottom, z);
        r = TRect{a.x, a.y, b.x, b.y};
        if (!View3D) ++r.Top;
    };
    if (BackImageMode == pbmStretch) {
        if (z > 0) project();
        Canvas->StretchDraw(r, &BackImage);
        return;
    }
    const bool clip = CanClip();
    if (clip) {
        if (z != 0)
            Canvas->ClipCube(r, 0, Depth3D);
        else
            Canvas->ClipRectangle(r);
    }
    if (z > 0) project();
    const int w = r.Width();
    const int h = r.Height();
    const int gw = BackImage.width();
    const int gh = BackImage.height();
    if (BackImageMode == pbmTile) {
        if (gw > 0 && gh > 0)
            for (int j = 0; j * gh < h; ++j)
                for (int i = 0; i * gw < w; ++i) Canvas->Draw(r.Left + i * gw, r.Top + j * gh, &BackImage);
    } else {
        FillPanelRect(r);
        Canvas->Draw(r.Left + (w - gw) / 2, r.Top + (h - gh) / 2, &BackImage);
    }
    if (clip) Canvas->UnClipRectangle();
}

void TCustomChartPanelExtended::UndoZoom() {
    if (OnUndoZoom) OnUndoZoom(this);
    Invalidate();
    Zoomed = false;
}

void TCustomChartPanelExtended::Assign(const TCustomChartPanelExtended& source) {
    BackImage = source.BackImage;
    BackImageMode = source.BackImageMode;
    Gradient->Assign(*source.Gradient);
    AllowPanning = source.AllowPanning;
    AllowZoom = source.AllowZoom;
    AnimatedZoom = source.AnimatedZoom;
    AnimatedZoomSteps = source.AnimatedZoomSteps;
    TCustomChartPanel::Assign(source);
}

// ---------------------------------------------------------------------------

void TDraw3D::InternalDraw(const TRect& rect) {
    PanelPaint(rect);
    ReCalcWidthHeight();
    Depth3D = 100;
    Canvas->Projection(100, PanelRect, ChartRect);
    Canvas->ResetState();
    if (OnPaint) OnPaint(this, rect);
    if (ZoomRecord.IsActive) DrawZoomRectangle();
    Canvas->ResetState();
    if (OnAfterDraw) OnAfterDraw(this);
}

}  // namespace pellucor::chart
