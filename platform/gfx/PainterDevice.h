#pragma once
// Device contexts drawn with QPainter: a picture in memory (screen buffer,
// bitmap export) and a printer page (PDF output).
#include <memory>
#include <string>

#include <QImage>

#include "platform/gfx/DrawDevice.h"

class QPainter;
class QPaintDevice;
class QPrinter;

namespace pellucor::platform {

// Draws on any paint device. On a raster picture with a one-to-one mapping
// the thin lines, outlines and fills are laid pixel by pixel with the
// conventions of DrawDevice; elsewhere (printer, scaled mapping) the same
// shapes go out as vector drawing.
class PainterDevice : public DrawDevice {
public:
    // raster: the device is a QImage (pixel-exact drawing).
    PainterDevice(QPaintDevice* device, bool raster);
    ~PainterDevice() override;

    PainterDevice(const PainterDevice&) = delete;
    PainterDevice& operator=(const PainterDevice&) = delete;

    void SelectClipRect(const Rect& deviceRect) override;
    void SelectClipPolygon(const std::vector<Point>& devicePoints) override;
    void SelectNoClip() override;

    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void Polyline(const std::vector<Point>& points) override;
    void Polygon(const std::vector<Point>& points) override;
    void Rectangle(int x1, int y1, int x2, int y2) override;
    void RoundRect(int x1, int y1, int x2, int y2, int cornerW, int cornerH) override;
    void Ellipse(int x1, int y1, int x2, int y2) override;
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override;
    void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override;
    void FillRect(const Rect& r) override;
    void SetPixel(int x, int y, Color rgb) override;
    void TextOut(int x, int y, const std::string& text) override;
    bool GetTextExtent(const std::string& text, Size& extent) override;
    TextMetrics GetTextMetrics() override;
    void BitBlt(int x, int y, const QImage& image) override;
    void StretchBlt(const Rect& dest, const QImage& image) override;
    DeviceCaps GetDeviceCaps() const override;

    // Ends painting (the device can then be read or closed). Drawing after
    // it starts painting again.
    void Flush();

    // Starts painting now rather than at the first drawing; false when the
    // device refuses it (a file that cannot be opened for writing).
    bool Begin();

    // The resolution fonts are realised at (logical pixels per inch; 96
    // unless set).
    void SetLogPixels(int x, int y) { logPixelsX_ = x; logPixelsY_ = y; }

protected:
    QPainter& P();

private:
    QPaintDevice* device_;
    bool raster_;
    int logPixelsX_ = 96;
    int logPixelsY_ = 96;
    std::unique_ptr<QPainter> painter_;
    long long dashPhase_ = 0;  // running position in the dash pattern of a path

    bool PixelExact() const;
    void ApplyClip();
    void ThinLine(Point a, Point b, bool lastPoint);
    void PlotRun(const std::vector<Point>& pts);
    void FillPolygonDevice(const std::vector<Point>& devicePts);
    void OutlineDevice(const std::vector<Point>& devicePts, bool closed);
    void VectorPath(const std::vector<Point>& logicalPts, bool closed, bool fill);
    void ApplyPenForVector();
    void ApplyBrush();
    void ApplyComposition(PenMode mode);
};

// A picture in memory with a device context on it: the screen buffer and
// the bitmaps of the chart engine. Created white.
class ImageDevice final : public PainterDevice {
public:
    ImageDevice(int width, int height, bool monochrome = false);
    ~ImageDevice() override;

    // The picture as drawn so far (ends painting first). A monochrome
    // picture is given as black and white.
    QImage Image();
    int Width() const { return image_->width(); }
    int Height() const { return image_->height(); }
    bool Monochrome() const { return monochrome_; }
    // Colour at one pixel (RGB, 0x00BBGGRR); -1 outside.
    long long PixelAt(int x, int y);

private:
    explicit ImageDevice(std::unique_ptr<QImage> image, bool monochrome);
    std::unique_ptr<QImage> image_;
    bool monochrome_;
};

// A printer writing a PDF file. Page size A4, portrait unless asked.
// Device units are printer pixels at the given resolution.
class PdfDevice final : public PainterDevice {
public:
    explicit PdfDevice(const std::string& fileName, int dpi = 600, bool landscape = false,
                       const std::string& title = {});
    ~PdfDevice() override;
    void NewPage();
    // Ends the document (also done by the destructor).
    void EndDoc();
    int PageWidth() const;
    int PageHeight() const;

private:
    explicit PdfDevice(std::unique_ptr<QPrinter> printer, int dpi);
    std::unique_ptr<QPrinter> printer_;
    bool ended_ = false;
};

}  // namespace pellucor::platform
