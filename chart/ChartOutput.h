#pragma once
// A chart leaving the screen: picture files (enhanced and placeable
// metafiles, bitmaps), the clipboard, and paper. Every path runs the chart's
// normal drawing cycle once more onto another canvas, unbuffered, with the
// chart told that it draws to a metafile or a printer; its after-draw event
// therefore runs on each of them. The routines work on any chart through the
// small interface below; TPanelOutput gives it for a chart panel.
#include <memory>
#include <stdexcept>
#include <string>

#include "chart/ChartPanel.h"
#include "platform/gfx/MetafileDevice.h"
#include "platform/gfx/Printer.h"

namespace pellucor::chart {

// What the output routines need of a chart.
class TChartOutputSource {
public:
    virtual ~TChartOutputSource() = default;
    // The client rectangle: (0, 0, client width, client height).
    virtual TRect GetRectangle() const = 0;
    // The whole drawing cycle onto canvas inside rect; the after-draw event
    // runs last.
    virtual void Draw(TCanvas* canvas, const TRect& rect) = 0;
    // Buffered display: switching it off frees the screen picture, which the
    // next paint draws anew.
    virtual bool GetBufferedDisplay() const = 0;
    virtual void SetBufferedDisplay(bool buffered) = 0;
    // The canvas flag of metafile (and printer) drawing.
    virtual void SetDrawingToMetafile(bool value) = 0;
    virtual void SetPrinting(bool value) = 0;
    // Whether the chart may clip its drawing (asked while printing).
    virtual bool CanClip() = 0;
    virtual int GetPrintResolution() const = 0;
    virtual bool GetPrintProportional() const = 0;
    // Percent of the page: left, top, right, bottom.
    virtual TRect& PageMargins() = 0;
    // The print job's title.
    virtual std::string GetName() const = 0;
};

// A chart panel as an output source, through its own fields.
class TPanelOutput final : public TChartOutputSource {
public:
    explicit TPanelOutput(TCustomChartPanel& panel, std::string name = {})
        : panel_(panel), name_(std::move(name)) {}
    TRect GetRectangle() const override { return panel_.GetRectangle(); }
    void Draw(TCanvas* canvas, const TRect& rect) override { panel_.Draw(canvas, rect); }
    bool GetBufferedDisplay() const override { return panel_.GetBufferedDisplay(); }
    void SetBufferedDisplay(bool b) override { panel_.SetBufferedDisplay(b); }
    void SetDrawingToMetafile(bool v) override { panel_.Canvas->DrawingToMetafile = v; }
    void SetPrinting(bool v) override { panel_.Printing = v; }
    bool CanClip() override { return panel_.CanClip(); }
    int GetPrintResolution() const override { return panel_.PrintResolution; }
    bool GetPrintProportional() const override { return panel_.PrintProportional; }
    TRect& PageMargins() override { return panel_.PageMargins; }
    std::string GetName() const override { return name_; }

private:
    TCustomChartPanel& panel_;
    std::string name_;
};

// A picture file that cannot be created or written. Nothing is left under
// the file's name (an existing file stays as it was).
class PictureFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Draws unbuffered with the metafile flag set; restores both in every case.
void DrawToMetaCanvas(TChartOutputSource& chart, TCanvas* canvas, const TRect& rect);

// The chart drawn in rect as a metafile whose frame is one pixel less than
// rect each way (at least 1 x 1), with the screen as reference device.
platform::Metafile ChartCreateMetafile(TChartOutputSource& chart, bool enhanced, const TRect& rect);
void SaveToMetafileRect(TChartOutputSource& chart, bool enhanced, const std::string& fileName,
                        const TRect& rect);
// A placeable metafile (.wmf) and an enhanced metafile (.emf) of the client area.
void SaveToMetafile(TChartOutputSource& chart, const std::string& fileName);
void SaveToMetafileEnh(TChartOutputSource& chart, const std::string& fileName);

// A bitmap of rect's size holding the chart; filled with backColor first
// unless that is white.
std::unique_ptr<TBitmap> ChartCreateBitmap(TChartOutputSource& chart, TColor backColor, const TRect& rect);
void SaveToBitmapFile(TChartOutputSource& chart, const std::string& fileName);

// The clipboard: a bitmap (offered as BMP and PNG), or a metafile (EMF or
// WMF) with a PNG of the same chart for programs that paste only images.
// A clipboard that cannot be opened raises ChartException.
void CopyToClipboardBitmap(TChartOutputSource& chart);
void CopyToClipboardMetafile(TChartOutputSource& chart, bool enhanced);

// The scaling of a print into r: window extent (ww, wh) from the chart's
// client size less PrintResolution percent, viewport extent (vw, vh) from
// r; r becomes logical units.
void CalcMetaBounds(TRect& r, const TRect& chartRect, int& ww, int& wh, int& vw, int& vh,
                    int printResolution);
// Draws the chart into rect (device units) of any canvas, stretched so that
// the client size fills it. The mapping stays set on the canvas afterwards.
// Fonts are realised at the screen's resolution for the duration, so printed
// text keeps its size relative to the chart.
void PrintPartialCanvas(TChartOutputSource& chart, TCanvas* canvas, const TRect& rect);
// On the printer's canvas; the caller owns the open job.
void PrintPartial(TChartOutputSource& chart, platform::Printer& printer, const TRect& rect);
// Margins that keep the chart's aspect on the printer's page.
TRect CalcProportionalMargins(TChartOutputSource& chart, platform::Printer& printer);
// The page rectangle from the page margins (made proportional first when asked).
TRect ChartPrintRect(TChartOutputSource& chart, platform::Printer& printer);
// A job of its own with the chart in rect: aborted (and ended) when the
// drawing raises, and the exception raised again.
void PrintRect(TChartOutputSource& chart, platform::Printer& printer, const TRect& rect);
void Print(TChartOutputSource& chart, platform::Printer& printer);
// Print with the printer turned; its orientation is restored in every case.
void PrintOrientation(TChartOutputSource& chart, platform::Printer& printer,
                      platform::PrinterOrientation orientation);
void PrintPortrait(TChartOutputSource& chart, platform::Printer& printer);
void PrintLandscape(TChartOutputSource& chart, platform::Printer& printer);

}  // namespace pellucor::chart
