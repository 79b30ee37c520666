#include "platform/gfx/Canvas.h"

#include <QImage>

#include "platform/gfx/PainterDevice.h"
#include "platform/gfx/PictureFile.h"

namespace pellucor::platform {

// --- Pen ---

void Pen::SetColor(Color c) {
    if (c == color_) return;
    color_ = c;
    Changed();
}
void Pen::SetWidth(int w) {
    if (w == width_) return;
    width_ = w;
    Changed();
}
void Pen::SetStyle(PenStyle s) {
    if (s == style_) return;
    style_ = s;
    Changed();
}
void Pen::SetMode(PenMode m) {
    if (m == mode_) return;
    mode_ = m;
    Changed();
}
void Pen::AssignPen(const Pen& src) {
    if (src.color_ == color_ && src.width_ == width_ && src.style_ == style_ && src.mode_ == mode_)
        return;
    color_ = src.color_;
    width_ = src.width_;
    style_ = src.style_;
    mode_ = src.mode_;
    Changed();
}
PenDesc Pen::Desc() const {
    PenDesc d;
    d.style = style_;
    d.width = width_;
    d.color = ColorToRGB(color_) & 0xFFFFFF;
    d.mode = mode_;
    return d;
}

// --- Brush ---

void Brush::SetColor(Color c) {
    if (c == color_) return;
    color_ = c;
    Changed();
}
void Brush::SetStyle(BrushStyle s) {
    if (s == style_) return;
    style_ = s;
    Changed();
}
void Brush::AssignBrush(const Brush& src) {
    if (src.color_ == color_ && src.style_ == style_) return;
    color_ = src.color_;
    style_ = src.style_;
    Changed();
}
BrushDesc Brush::Desc() const {
    return {style_, ColorToRGB(color_) & 0xFFFFFF};
}

// --- Font ---

int Font::GetSize() const { return -MulDiv(height_, 72, pixelsPerInch_); }

void Font::SetName(const std::string& n) {
    if (n == name_) return;
    name_ = n;
    Changed();
}
void Font::SetSize(int points) { SetHeight(-MulDiv(points, pixelsPerInch_, 72)); }
void Font::SetHeight(int pixels) {
    if (pixels == height_) return;
    height_ = pixels;
    Changed();
}
void Font::SetPixelsPerInch(int ppi) {
    if (ppi == pixelsPerInch_ || ppi <= 0) return;
    const int points = GetSize();
    pixelsPerInch_ = ppi;
    height_ = -MulDiv(points, ppi, 72);
}
void Font::SetColor(Color c) {
    if (c == color_) return;
    color_ = c;
    Changed();
}
void Font::SetStyle(unsigned flags) {
    if (flags == style_) return;
    style_ = flags;
    Changed();
}
void Font::SetCharset(int cs) {
    if (cs == charset_) return;
    charset_ = cs;
    Changed();
}
void Font::AssignFont(const Font& src) {
    const int height = src.pixelsPerInch_ == pixelsPerInch_
                           ? src.height_
                           : -MulDiv(src.GetSize(), pixelsPerInch_, 72);
    if (src.name_ == name_ && height == height_ && src.color_ == color_ &&
        src.style_ == style_ && src.charset_ == charset_)
        return;
    name_ = src.name_;
    height_ = height;
    color_ = src.color_;
    style_ = src.style_;
    charset_ = src.charset_;
    Changed();
}
FontDesc Font::Desc() const {
    FontDesc d;
    d.name = name_;
    d.height = GetHeight();
    d.bold = (style_ & fsBold) != 0;
    d.italic = (style_ & fsItalic) != 0;
    d.underline = (style_ & fsUnderline) != 0;
    d.strikeOut = (style_ & fsStrikeOut) != 0;
    d.charSet = charset_;
    return d;
}

// --- Canvas ---

Canvas::Canvas(DrawDevice* device) {
    pen_.OnChange = [this] { penValid_ = false; };
    brush_.OnChange = [this] { brushValid_ = false; };
    font_.OnChange = [this] { fontValid_ = false; };
    SetDevice(device);
}

void Canvas::SetDevice(DrawDevice* device) {
    device_ = device;
    penValid_ = brushValid_ = fontValid_ = false;
    if (device_) font_.SetPixelsPerInch(device_->GetDeviceCaps().logPixelsY);
}

void Canvas::SetFontResolution(int pixelsPerInch) {
    font_.SetPixelsPerInch(pixelsPerInch);
    fontValid_ = false;
}

void Canvas::RequireState() {
    if (!device_) return;
    if (!penValid_) {
        device_->SelectPen(pen_.Desc());
        penValid_ = true;
    }
    if (!brushValid_) {
        const BrushDesc b = brush_.Desc();
        device_->SelectBrush(b);
        // A solid brush also paints the background of text and dashes;
        // other brushes leave it see-through.
        if (b.style == BrushStyle::Solid) {
            device_->SetBkColor(b.color);
            device_->SetBkMode(BackMode::Opaque);
        } else {
            device_->SetBkColor(~b.color & 0xFFFFFF);
            device_->SetBkMode(BackMode::Transparent);
        }
        brushValid_ = true;
    }
    if (!fontValid_) {
        device_->SelectFont(font_.Desc());
        device_->SetTextColor(ColorToRGB(font_.GetColor()) & 0xFFFFFF);
        fontValid_ = true;
    }
}

DrawDevice* Canvas::Handle() {
    RequireState();
    return device_;
}

void Canvas::MoveTo(int x, int y) {
    if (device_) device_->MoveTo(x, y);
}
void Canvas::LineTo(int x, int y) {
    if (DrawDevice* d = Handle()) d->LineTo(x, y);
}
void Canvas::Polyline(const std::vector<Point>& pts) {
    if (DrawDevice* d = Handle()) d->Polyline(pts);
}
void Canvas::Polygon(const std::vector<Point>& pts) {
    if (DrawDevice* d = Handle()) d->Polygon(pts);
}
void Canvas::Rectangle(int x1, int y1, int x2, int y2) {
    if (DrawDevice* d = Handle()) d->Rectangle(x1, y1, x2, y2);
}
void Canvas::RoundRect(int x1, int y1, int x2, int y2, int w, int h) {
    if (DrawDevice* d = Handle()) d->RoundRect(x1, y1, x2, y2, w, h);
}
void Canvas::Ellipse(int x1, int y1, int x2, int y2) {
    if (DrawDevice* d = Handle()) d->Ellipse(x1, y1, x2, y2);
}
void Canvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    if (DrawDevice* d = Handle()) d->Arc(x1, y1, x2, y2, x3, y3, x4, y4);
}
void Canvas::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    if (DrawDevice* d = Handle()) d->Pie(x1, y1, x2, y2, x3, y3, x4, y4);
}
void Canvas::FillRect(const Rect& r) {
    if (DrawDevice* d = Handle()) d->FillRect(r);
}
void Canvas::SetPixel(int x, int y, Color c) {
    if (DrawDevice* d = Handle()) d->SetPixel(x, y, ColorToRGB(c) & 0xFFFFFF);
}
void Canvas::TextOut(int x, int y, const std::string& text) {
    DrawDevice* d = Handle();
    if (!d) return;
    d->TextOut(x, y, text);
    Size ext;
    if (d->GetTextExtent(text, ext)) d->MoveTo(x + ext.cx, y);
}
bool Canvas::TextExtent(const std::string& text, Size& ext) {
    DrawDevice* d = Handle();
    if (!d) return false;
    return d->GetTextExtent(text, ext);
}
int Canvas::TextWidth(const std::string& text) {
    Size e;
    return TextExtent(text, e) ? e.cx : 0;
}
int Canvas::TextHeight(const std::string& text) {
    Size e;
    return TextExtent(text, e) ? e.cy : 0;
}
void Canvas::Draw(int x, int y, const QImage& image) {
    if (image.isNull()) return;
    if (DrawDevice* d = Handle()) d->BitBlt(x, y, image);
}
void Canvas::StretchDraw(const Rect& r, const QImage& image) {
    if (image.isNull()) return;
    if (DrawDevice* d = Handle()) d->StretchBlt(r, image);
}

// --- Bitmap ---

Bitmap::Bitmap() = default;
Bitmap::~Bitmap() { canvas_.SetDevice(nullptr); }

int Bitmap::Width() const { return width_; }
int Bitmap::Height() const { return height_; }

void Bitmap::Recreate(int w, int h) {
    width_ = w < 0 ? 0 : w;
    height_ = h < 0 ? 0 : h;
    canvas_.SetDevice(nullptr);
    device_.reset();
    if (w > 0 && h > 0) device_ = std::make_unique<ImageDevice>(w, h, monochrome_);
    canvas_.SetDevice(device_.get());
}

void Bitmap::SetMonochrome(bool m) {
    if (m == monochrome_) return;
    monochrome_ = m;
    Recreate(Width(), Height());
}
void Bitmap::SetWidth(int w) {
    if (w != Width()) Recreate(w, Height());
}
void Bitmap::SetHeight(int h) {
    if (h != Height()) Recreate(Width(), h);
}
void Bitmap::SetSize(int w, int h) {
    if (w != Width() || h != Height()) Recreate(w, h);
}

QImage Bitmap::Image() const { return device_ ? device_->Image() : QImage(); }

bool Bitmap::SaveToFile(const std::string& fileName) const {
    const QImage img = Image();
    if (img.isNull()) return false;
    // Qt's image writer writes straight into the target: a full disk would
    // leave a cut picture in place of the earlier one.
    const std::string bytes = EncodeBmp(img);
    std::string error;
    return !bytes.empty() && WritePictureFile(fileName, bytes, error);
}

}  // namespace pellucor::platform
