#include "chart/ChartOutput.h"

#include <algorithm>
#include <cmath>

#include "chart/ChartProcs.h"
#include "platform/Clipboard.h"
#include "platform/gfx/PainterDevice.h"
#include "platform/gfx/PictureFile.h"

namespace pellucor::chart {

using platform::MulDiv;

namespace {

// Restores a flag or setting when the scope ends, however it ends.
template <typename F>
class Finally {
public:
    explicit Finally(F f) : f_(std::move(f)) {}
    ~Finally() { f_(); }
    Finally(const Finally&) = delete;
    Finally& operator=(const Finally&) = delete;

private:
    F f_;
};

void WriteOrRaise(const std::string& fileName, const std::string& bytes) {
    std::string error;
    if (bytes.empty()) throw PictureFileError("Cannot create file \"" + fileName + "\"");
    if (!platform::WritePictureFile(fileName, bytes, error))
        throw PictureFileError("Cannot create file \"" + fileName + "\". " + error);
}

void PutOnClipboard(const std::vector<platform::ClipboardFormat>& formats) {
    if (!platform::Clipboard().SetFormats(formats)) throw ChartException("Cannot open clipboard");
}

}  // namespace

void DrawToMetaCanvas(TChartOutputSource& chart, TCanvas* canvas, const TRect& rect) {
    chart.SetDrawingToMetafile(true);
    const bool buffered = chart.GetBufferedDisplay();
    Finally restore([&] {
        chart.SetBufferedDisplay(buffered);
        chart.SetDrawingToMetafile(false);
    });
    chart.SetBufferedDisplay(false);
    chart.Draw(canvas, rect);
}

platform::Metafile ChartCreateMetafile(TChartOutputSource& chart, bool enhanced, const TRect& rect) {
    const int w = std::max(1, rect.Width() - 1);
    const int h = std::max(1, rect.Height() - 1);
    std::unique_ptr<platform::MetafileDevice> device;
    if (enhanced) device = std::make_unique<platform::EmfDevice>(w, h);
    else device = std::make_unique<platform::WmfDevice>(w, h);
    {
        TCanvas canvas(device.get());
        DrawToMetaCanvas(chart, &canvas, rect);
    }
    return device->Finish();
}

void SaveToMetafileRect(TChartOutputSource& chart, bool enhanced, const std::string& fileName,
                        const TRect& rect) {
    const platform::Metafile m = ChartCreateMetafile(chart, enhanced, rect);
    WriteOrRaise(fileName, m.data);
}

void SaveToMetafile(TChartOutputSource& chart, const std::string& fileName) {
    SaveToMetafileRect(chart, false, fileName, chart.GetRectangle());
}

void SaveToMetafileEnh(TChartOutputSource& chart, const std::string& fileName) {
    SaveToMetafileRect(chart, true, fileName, chart.GetRectangle());
}

std::unique_ptr<TBitmap> ChartCreateBitmap(TChartOutputSource& chart, TColor backColor, const TRect& rect) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(rect.Width(), rect.Height());
    TCanvas& canvas = bitmap->GetCanvas();
    if (platform::ColorToRGB(backColor) != clWhite) {
        canvas.GetBrush().SetColor(backColor);
        canvas.GetBrush().SetStyle(TBrushStyle::Solid);
        canvas.FillRect(rect);
    }
    const bool buffered = chart.GetBufferedDisplay();
    Finally restore([&] { chart.SetBufferedDisplay(buffered); });
    chart.SetBufferedDisplay(false);
    chart.Draw(&canvas, rect);
    return bitmap;
}

void SaveToBitmapFile(TChartOutputSource& chart, const std::string& fileName) {
    const auto bitmap = ChartCreateBitmap(chart, clWhite, chart.GetRectangle());
    WriteOrRaise(fileName, platform::EncodeBmp(bitmap->Image()));
}

void CopyToClipboardBitmap(TChartOutputSource& chart) {
    const auto bitmap = ChartCreateBitmap(chart, clWhite, chart.GetRectangle());
    const QImage image = bitmap->Image();
    PutOnClipboard({{platform::kMimeBmp, platform::EncodeBmp(image)},
                    {platform::kMimePng, platform::EncodePng(image)}});
}

void CopyToClipboardMetafile(TChartOutputSource& chart, bool enhanced) {
    const platform::Metafile m = ChartCreateMetafile(chart, enhanced, chart.GetRectangle());
    const auto bitmap = ChartCreateBitmap(chart, clWhite, chart.GetRectangle());
    PutOnClipboard({{enhanced ? platform::kMimeEmf : platform::kMimeWmf, m.data},
                    {platform::kMimePng, platform::EncodePng(bitmap->Image())}});
}

void CalcMetaBounds(TRect& r, const TRect& chartRect, int& ww, int& wh, int& vw, int& vh,
                    int printResolution) {
    vw = r.Width();
    vh = r.Height();
    const int cw = chartRect.Width();
    const int ch = chartRect.Height();
    ww = cw - MulDiv(cw, printResolution, 100);
    wh = ch - MulDiv(ch, printResolution, 100);
    r.Left = MulDiv(r.Left, ww, vw);
    r.Right = MulDiv(r.Right, ww, vw);
    r.Top = MulDiv(r.Top, wh, vh);
    r.Bottom = MulDiv(r.Bottom, wh, vh);
}

void PrintPartialCanvas(TChartOutputSource& chart, TCanvas* canvas, const TRect& rect) {
    if (!canvas) return;
    TRect r = rect;
    if (r.Left > r.Right) std::swap(r.Left, r.Right);
    if (r.Top > r.Bottom) std::swap(r.Top, r.Bottom);
    int ww = 0, wh = 0, vw = 0, vh = 0;
    CalcMetaBounds(r, chart.GetRectangle(), ww, wh, vw, vh, chart.GetPrintResolution());
    // One logical unit is a screen pixel of the chart below: fonts realised
    // at the printer's resolution would come out that many times too large.
    // Set before anything is realised on the printer's canvas.
    const int savedPpi = canvas->GetFont().GetPixelsPerInch();
    canvas->SetFontResolution(GetScreenLogPixels());
    chart.SetPrinting(true);
    Finally restore([&] {
        chart.SetPrinting(false);
        canvas->SetFontResolution(savedPpi);
    });
    if (platform::DrawDevice* d = canvas->Handle()) {
        d->SetMapMode(platform::MapMode::Anisotropic);
        d->SetWindowOrg(0, 0);
        d->SetWindowExt(ww, wh);
        d->SetViewportExt(vw, vh);
        d->SetViewportOrg(0, 0);
    }
    const bool clip = chart.CanClip();
    if (clip) ClipCanvas(canvas, r);
    DrawToMetaCanvas(chart, canvas, r);
    if (clip) UnClipCanvas(canvas);
}

void PrintPartial(TChartOutputSource& chart, platform::Printer& printer, const TRect& rect) {
    PrintPartialCanvas(chart, &printer.GetCanvas(), rect);
}

TRect CalcProportionalMargins(TChartOutputSource& chart, platform::Printer& printer) {
    const TRect c = chart.GetRectangle();
    const double w = c.Width();
    const double h = c.Height();
    const double dx = printer.LogPixelsX();
    const double dy = printer.LogPixelsY();
    auto margin = [&](double a, double b, double ratio) {
        // 0.6 * a is the page side less its two margins of 20 percent.
        const double v = 100.0 * (b - (a - a * 40 * 0.01) * ratio * dx / dy) / b;
        return static_cast<int>(std::lround(v)) / 2;
    };
    const double pw = printer.PageWidth();
    const double ph = printer.PageHeight();
    if (w > h) {
        const int m = margin(pw, ph, h / w);
        return TRect{15, m, 15, m};
    }
    const int m = margin(ph, pw, h > 0 ? w / h : 1.0);
    return TRect{m, 15, m, 15};
}

TRect ChartPrintRect(TChartOutputSource& chart, platform::Printer& printer) {
    if (chart.GetPrintProportional()) chart.PageMargins() = CalcProportionalMargins(chart, printer);
    const TRect& m = chart.PageMargins();
    const int pw = printer.PageWidth();
    const int ph = printer.PageHeight();
    auto part = [](int percent, int side) {
        return static_cast<int>(std::lround(percent * static_cast<double>(side) / 100.0));
    };
    return TRect{part(m.Left, pw), part(m.Top, ph), pw - part(m.Right, pw), ph - part(m.Bottom, ph)};
}

void PrintRect(TChartOutputSource& chart, platform::Printer& printer, const TRect& rect) {
    printer.SetTitle(chart.GetName());
    printer.BeginDoc();
    try {
        PrintPartial(chart, printer, rect);
        printer.EndDoc();
    } catch (...) {
        printer.Abort();
        if (printer.GetPrinting()) printer.EndDoc();
        throw;
    }
}

void Print(TChartOutputSource& chart, platform::Printer& printer) {
    PrintRect(chart, printer, ChartPrintRect(chart, printer));
}

void PrintOrientation(TChartOutputSource& chart, platform::Printer& printer,
                      platform::PrinterOrientation orientation) {
    const platform::PrinterOrientation saved = printer.GetOrientation();
    printer.SetOrientation(orientation);
    try {
        Print(chart, printer);
    } catch (...) {
        printer.SetOrientation(saved);
        throw;
    }
    printer.SetOrientation(saved);
}

void PrintPortrait(TChartOutputSource& chart, platform::Printer& printer) {
    PrintOrientation(chart, printer, platform::PrinterOrientation::Portrait);
}

void PrintLandscape(TChartOutputSource& chart, platform::Printer& printer) {
    PrintOrientation(chart, printer, platform::PrinterOrientation::Landscape);
}

}  // namespace pellucor::chart
