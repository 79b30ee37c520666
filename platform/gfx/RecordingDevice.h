#pragma once
// A device context that draws nothing and writes down every call, for tests
// of the drawing code above it. Text is measured with a fixed cell: each
// character is half the font height wide, the text one font height high.
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/gfx/DrawDevice.h"

namespace pellucor::platform {

class RecordingDevice final : public DrawDevice {
public:
    RecordingDevice(int width = 640, int height = 480) : width_(width), height_(height) {}

    // One line per call, e.g. "LineTo 10 20", "Rectangle 0 0 10 10",
    // "TextOut 5 6 hello", "SelectPen Solid 1 000000 Copy". State calls are
    // recorded only when recordState is true.
    std::vector<std::string> calls;
    bool recordState = false;

    void Clear() { calls.clear(); }
    // The calls whose text starts with prefix.
    std::vector<std::string> CallsStartingWith(const std::string& prefix) const;

    void SelectPen(const PenDesc& pen) override;
    void SelectBrush(const BrushDesc& brush) override;
    void SelectFont(const FontDesc& font) override;
    void SetBkColor(Color c) override;
    void SetBkMode(BackMode m) override;
    void SetTextColor(Color c) override;
    void SetTextAlign(int flags) override;
    void MoveTo(int x, int y) override;
    void SelectClipRect(const Rect& deviceRect) override;
    void SelectClipPolygon(const std::vector<Point>& devicePoints) override;
    void SelectNoClip() override;

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

private:
    void Rec(const std::string& s) { calls.push_back(s); }
    // The fixed text cell's height: the font height, 16 for the default size.
    int CellHeight() const { return font_.height == 0 ? 16 : std::abs(font_.height); }
    int width_;
    int height_;
};

std::string ToString(PenStyle s);
std::string ToString(BrushStyle s);
std::string ToString(PenMode m);
std::string ColorHex(Color c);  // "RRGGBB"

}  // namespace pellucor::platform
