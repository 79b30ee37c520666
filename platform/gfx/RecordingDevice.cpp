#include "platform/gfx/RecordingDevice.h"

#include <cstdio>

#include <QImage>

namespace pellucor::platform {

std::string ToString(PenStyle s) {
    static const char* names[] = {"Solid", "Dash", "Dot", "DashDot", "DashDotDot",
                                  "Clear", "InsideFrame", "Alternate"};
    return names[static_cast<int>(s)];
}

std::string ToString(BrushStyle s) {
    static const char* names[] = {"Solid", "Clear", "Horizontal", "Vertical",
                                  "FDiagonal", "BDiagonal", "Cross", "DiagCross"};
    return names[static_cast<int>(s)];
}

std::string ToString(PenMode m) {
    static const char* names[] = {"Black", "White", "Nop", "Not", "Copy", "NotCopy",
                                  "MergePenNot", "MaskPenNot", "MergeNotPen", "MaskNotPen",
                                  "Merge", "NotMerge", "Mask", "NotMask", "Xor", "NotXor"};
    return names[static_cast<int>(m)];
}

std::string ColorHex(Color c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02X%02X%02X", RedOf(c), GreenOf(c), BlueOf(c));
    return buf;
}

namespace {
std::string Ints(std::initializer_list<int> v) {
    std::string s;
    for (int i : v) s += " " + std::to_string(i);
    return s;
}
std::string Pts(const std::vector<Point>& pts) {
    std::string s;
    for (const Point& p : pts) s += " " + std::to_string(p.x) + " " + std::to_string(p.y);
    return s;
}
}  // namespace

std::vector<std::string> RecordingDevice::CallsStartingWith(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const std::string& c : calls)
        if (c.rfind(prefix, 0) == 0) out.push_back(c);
    return out;
}

void RecordingDevice::SelectPen(const PenDesc& pen) {
    DrawDevice::SelectPen(pen);
    if (recordState)
        Rec("SelectPen " + ToString(pen.style) + " " + std::to_string(pen.width) + " " +
            ColorHex(pen.color) + " " + ToString(pen.mode));
}

void RecordingDevice::SelectBrush(const BrushDesc& brush) {
    DrawDevice::SelectBrush(brush);
    if (recordState) Rec("SelectBrush " + ToString(brush.style) + " " + ColorHex(brush.color));
}

void RecordingDevice::SelectFont(const FontDesc& font) {
    DrawDevice::SelectFont(font);
    if (recordState)
        Rec("SelectFont " + font.name + Ints({font.height, font.escapement, font.orientation}));
}

void RecordingDevice::SetBkColor(Color c) {
    DrawDevice::SetBkColor(c);
    if (recordState) Rec("SetBkColor " + ColorHex(c));
}

void RecordingDevice::SetBkMode(BackMode m) {
    DrawDevice::SetBkMode(m);
    if (recordState) Rec("SetBkMode " + std::to_string(static_cast<int>(m)));
}

void RecordingDevice::SetTextColor(Color c) {
    DrawDevice::SetTextColor(c);
    if (recordState) Rec("SetTextColor " + ColorHex(c));
}

void RecordingDevice::SetTextAlign(int flags) {
    DrawDevice::SetTextAlign(flags);
    if (recordState) Rec("SetTextAlign " + std::to_string(flags));
}

void RecordingDevice::MoveTo(int x, int y) {
    DrawDevice::MoveTo(x, y);
    Rec("MoveTo" + Ints({x, y}));
}

void RecordingDevice::SelectClipRect(const Rect& r) {
    DrawDevice::SelectClipRect(r);
    Rec("ClipRect" + Ints({r.Left, r.Top, r.Right, r.Bottom}));
}

void RecordingDevice::SelectClipPolygon(const std::vector<Point>& pts) {
    DrawDevice::SelectClipPolygon(pts);
    Rec("ClipPolygon" + Pts(pts));
}

void RecordingDevice::SelectNoClip() {
    DrawDevice::SelectNoClip();
    Rec("NoClip");
}

void RecordingDevice::LineTo(int x, int y) {
    pos_ = {x, y};
    Rec("LineTo" + Ints({x, y}));
}

void RecordingDevice::Polyline(const std::vector<Point>& points) { Rec("Polyline" + Pts(points)); }
void RecordingDevice::Polygon(const std::vector<Point>& points) { Rec("Polygon" + Pts(points)); }

void RecordingDevice::Rectangle(int x1, int y1, int x2, int y2) {
    Rec("Rectangle" + Ints({x1, y1, x2, y2}));
}

void RecordingDevice::RoundRect(int x1, int y1, int x2, int y2, int w, int h) {
    Rec("RoundRect" + Ints({x1, y1, x2, y2, w, h}));
}

void RecordingDevice::Ellipse(int x1, int y1, int x2, int y2) {
    Rec("Ellipse" + Ints({x1, y1, x2, y2}));
}

void RecordingDevice::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    Rec("Arc" + Ints({x1, y1, x2, y2, x3, y3, x4, y4}));
}

void RecordingDevice::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    Rec("Pie" + Ints({x1, y1, x2, y2, x3, y3, x4, y4}));
}

void RecordingDevice::FillRect(const Rect& r) {
    Rec("FillRect" + Ints({r.Left, r.Top, r.Right, r.Bottom}) + " " + ColorHex(brush_.color));
}

void RecordingDevice::SetPixel(int x, int y, Color rgb) {
    Rec("SetPixel" + Ints({x, y}) + " " + ColorHex(rgb));
}

void RecordingDevice::TextOut(int x, int y, const std::string& text) {
    Rec("TextOut" + Ints({x, y}) + " " + text);
}

bool RecordingDevice::GetTextExtent(const std::string& text, Size& extent) {
    const int h = CellHeight();
    extent.cx = static_cast<int>(text.size()) * h / 2;
    extent.cy = h;
    return true;
}

TextMetrics RecordingDevice::GetTextMetrics() {
    TextMetrics tm;
    tm.height = CellHeight();
    tm.ascent = tm.height * 4 / 5;
    tm.descent = tm.height - tm.ascent;
    tm.aveCharWidth = tm.height / 2;
    return tm;
}

void RecordingDevice::BitBlt(int x, int y, const QImage& image) {
    Rec("BitBlt" + Ints({x, y, image.width(), image.height()}));
}

void RecordingDevice::StretchBlt(const Rect& r, const QImage& image) {
    Rec("StretchBlt" + Ints({r.Left, r.Top, r.Right, r.Bottom, image.width(), image.height()}));
}

DeviceCaps RecordingDevice::GetDeviceCaps() const {
    DeviceCaps c;
    c.horzRes = width_;
    c.vertRes = height_;
    c.horzSizeMm = width_ * 254 / 960;
    c.vertSizeMm = height_ * 254 / 960;
    return c;
}

}  // namespace pellucor::platform
