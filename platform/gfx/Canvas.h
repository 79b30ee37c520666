#pragma once
// The drawing surface as the component library gives it to windows: a device
// context with its own pen, brush and font objects that are realised on the
// device lazily, just before something is drawn. Also a bitmap that owns a
// picture in memory with such a canvas on it.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/DrawDevice.h"

class QImage;

namespace pellucor::platform {

class ImageDevice;

// A pen: colour (system colours allowed), width, style, mode. Every change of
// a property calls OnChange.
class Pen {
public:
    Pen() = default;
    virtual ~Pen() = default;
    Pen(const Pen&) = delete;
    Pen& operator=(const Pen&) = delete;

    Color GetColor() const { return color_; }
    int GetWidth() const { return width_; }
    PenStyle GetStyle() const { return style_; }
    PenMode GetMode() const { return mode_; }
    void SetColor(Color c);
    void SetWidth(int w);
    void SetStyle(PenStyle s);
    void SetMode(PenMode m);
    // Copies colour, width, style and mode (one notification).
    void AssignPen(const Pen& src);
    // The device description (colour resolved to RGB).
    PenDesc Desc() const;

    std::function<void()> OnChange;

protected:
    void Changed() {
        if (OnChange) OnChange();
    }

private:
    Color color_ = 0;
    int width_ = 1;
    PenStyle style_ = PenStyle::Solid;
    PenMode mode_ = PenMode::Copy;
};

class Brush {
public:
    Brush() = default;
    virtual ~Brush() = default;
    Brush(const Brush&) = delete;
    Brush& operator=(const Brush&) = delete;

    Color GetColor() const { return color_; }
    BrushStyle GetStyle() const { return style_; }
    void SetColor(Color c);
    void SetStyle(BrushStyle s);
    void AssignBrush(const Brush& src);
    BrushDesc Desc() const;

    std::function<void()> OnChange;

protected:
    void Changed() {
        if (OnChange) OnChange();
    }

private:
    Color color_ = 0xFFFFFF;
    BrushStyle style_ = BrushStyle::Solid;
};

enum FontStyleFlags : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

// A font given by name, height in pixels at its own resolution (or size in
// points: size = -height * 72 / PixelsPerInch), colour, style and character
// set. The height is what is kept, so a height set in pixels is realised
// exactly, even where it is no whole number of points.
class Font {
public:
    Font() = default;
    virtual ~Font() = default;
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    const std::string& GetName() const { return name_; }
    int GetSize() const;
    int GetHeight() const { return height_; }
    Color GetColor() const { return color_; }
    unsigned GetStyle() const { return style_; }
    int GetCharset() const { return charset_; }
    int GetPixelsPerInch() const { return pixelsPerInch_; }
    void SetName(const std::string& n);
    void SetSize(int points);
    void SetHeight(int pixels);
    void SetColor(Color c);
    void SetStyle(unsigned flags);
    void SetCharset(int cs);
    // Keeps the size in points. Does not notify: the resolution belongs to
    // the device, not the look.
    void SetPixelsPerInch(int ppi);
    // Takes name, height, colour, style and character set; keeps its own
    // pixels per inch: at another resolution it takes the point size, which
    // is then realised at this resolution.
    void AssignFont(const Font& src);
    // The device description at the font's own resolution.
    FontDesc Desc() const;

    std::function<void()> OnChange;

protected:
    void Changed() {
        if (OnChange) OnChange();
    }

private:
    std::string name_ = "Arial";
    int height_ = -11;  // 8 points at 96 pixels per inch
    Color color_ = 0;
    unsigned style_ = 0;
    int charset_ = 1;
    int pixelsPerInch_ = 96;
};

class Canvas {
public:
    explicit Canvas(DrawDevice* device = nullptr);
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // Changes the device drawn on; pen, brush and font are realised on it
    // again before the next drawing.
    void SetDevice(DrawDevice* device);
    // Realises the canvas font at another resolution from now on (the font
    // is realised again before the next text).
    void SetFontResolution(int pixelsPerInch);
    DrawDevice* Device() const { return device_; }
    // The device with the pen, brush and font realised (null without one).
    DrawDevice* Handle();
    bool HandleAllocated() const { return device_ != nullptr; }

    Pen& GetPen() { return pen_; }
    Brush& GetBrush() { return brush_; }
    Font& GetFont() { return font_; }

    // Drawing with the canvas objects. Without a device nothing happens.
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void Polyline(const std::vector<Point>& pts);
    void Polygon(const std::vector<Point>& pts);
    void Rectangle(int x1, int y1, int x2, int y2);
    void RoundRect(int x1, int y1, int x2, int y2, int w, int h);
    void Ellipse(int x1, int y1, int x2, int y2);
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void FillRect(const Rect& r);
    void SetPixel(int x, int y, Color c);
    // Writes the text and moves the current position past it.
    void TextOut(int x, int y, const std::string& text);
    // Extent of the text with the canvas font; false when it cannot be measured.
    bool TextExtent(const std::string& text, Size& ext);
    int TextWidth(const std::string& text);
    int TextHeight(const std::string& text);
    // An unscaled or stretched copy of a picture; nothing for a null picture.
    void Draw(int x, int y, const QImage& image);
    void StretchDraw(const Rect& r, const QImage& image);

    // Notification switch kept for the library's canvas locking; nothing
    // listens to canvas changes in this layer.
    void SetNotifications(bool on) { notifications_ = on; }

private:
    void RequireState();
    DrawDevice* device_ = nullptr;
    Pen pen_;
    Brush brush_;
    Font font_;
    bool penValid_ = false;
    bool brushValid_ = false;
    bool fontValid_ = false;
    bool notifications_ = true;
};

// A picture in memory with a canvas on it. Size 0 x 0 until set.
class Bitmap {
public:
    Bitmap();
    ~Bitmap();
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;

    int Width() const;
    int Height() const;
    bool Monochrome() const { return monochrome_; }
    bool Empty() const { return Width() == 0 || Height() == 0; }
    // Changing the size or the monochrome flag makes a new white picture.
    void SetMonochrome(bool m);
    void SetWidth(int w);
    void SetHeight(int h);
    void SetSize(int w, int h);

    Canvas& GetCanvas() { return canvas_; }
    ImageDevice* Device() const { return device_.get(); }
    // The picture as drawn so far.
    QImage Image() const;
    // Writes the picture in the bitmap file format; false on failure.
    bool SaveToFile(const std::string& fileName) const;

private:
    void Recreate(int w, int h);
    std::unique_ptr<ImageDevice> device_;
    int width_ = 0;
    int height_ = 0;
    bool monochrome_ = false;
    Canvas canvas_;
};

}  // namespace pellucor::platform
