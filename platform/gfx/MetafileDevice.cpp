#include "platform/gfx/MetafileDevice.h"

#include <QString>

#include <algorithm>
#include <stdexcept>

#include "platform/gfx/PainterDevice.h"

namespace pellucor::platform {
namespace {

std::string PenKey(const PenDesc& p) {
    return "P" + std::to_string(static_cast<int>(p.style)) + "/" + std::to_string(p.width) + "/" +
           std::to_string(p.color);
}

std::string BrushKey(const BrushDesc& b) {
    return "B" + std::to_string(static_cast<int>(b.style)) + "/" + std::to_string(b.color);
}

std::string FontKey(const FontDesc& f) {
    return "F" + f.name + "/" + std::to_string(f.height) + "/" + std::to_string(f.bold) +
           std::to_string(f.italic) + std::to_string(f.underline) + std::to_string(f.strikeOut) +
           "/" + std::to_string(f.escapement) + "/" + std::to_string(f.orientation) + "/" +
           std::to_string(f.charSet) + "/" + std::to_string(f.outPrecision);
}

// The raster operation of a pen mode (the system's R2 values).
int Rop2Of(PenMode m) {
    switch (m) {
        case PenMode::Black: return 1;
        case PenMode::White: return 16;
        case PenMode::Nop: return 11;
        case PenMode::Not: return 6;
        case PenMode::Copy: return 13;
        case PenMode::NotCopy: return 4;
        case PenMode::MergePenNot: return 14;
        case PenMode::MaskPenNot: return 5;
        case PenMode::MergeNotPen: return 12;
        case PenMode::MaskNotPen: return 3;
        case PenMode::Merge: return 15;
        case PenMode::NotMerge: return 2;
        case PenMode::Mask: return 9;
        case PenMode::NotMask: return 8;
        case PenMode::Xor: return 7;
        case PenMode::NotXor: return 10;
    }
    return 13;
}

// Logical box of two corners, whichever way round.
Rect Box(int x1, int y1, int x2, int y2) {
    return {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

}  // namespace

MetafileDevice::MetafileDevice(bool enhanced, int width, int height)
    : enhanced_(enhanced),
      width_(std::max(1, width)),
      height_(std::max(1, height)),
      ref_(std::make_unique<ImageDevice>(1, 1)) {}

MetafileDevice::~MetafileDevice() = default;

const Metafile& MetafileDevice::Finish() {
    if (!finished_) {
        if (clipSaved_) {
            RecRestoreDC();
            clipSaved_ = false;
        }
        finished_ = true;
        result_ = RecFinish();
    }
    return result_;
}

ImageDevice& MetafileDevice::Ref() {
    ref_->SelectFont(font_);
    ref_->SetMapMode(mapMode_);
    ref_->SetWindowOrg(winOrg_.x, winOrg_.y);
    ref_->SetWindowExt(winExt_.cx, winExt_.cy);
    ref_->SetViewportOrg(vpOrg_.x, vpOrg_.y);
    ref_->SetViewportExt(vpExt_.cx, vpExt_.cy);
    return *ref_;
}

// --- state ---

void MetafileDevice::SelectPen(const PenDesc& pen) { DrawDevice::SelectPen(pen); }
void MetafileDevice::SelectBrush(const BrushDesc& brush) { DrawDevice::SelectBrush(brush); }
void MetafileDevice::SelectFont(const FontDesc& font) { DrawDevice::SelectFont(font); }

void MetafileDevice::SetBkColor(Color c) {
    if (Live() && c != bkColor_) RecBkColor(c);
    DrawDevice::SetBkColor(c);
}

void MetafileDevice::SetBkMode(BackMode m) {
    if (Live() && m != bkMode_) RecBkMode(m);
    DrawDevice::SetBkMode(m);
}

void MetafileDevice::SetTextColor(Color c) {
    if (Live() && c != textColor_) RecTextColor(c);
    DrawDevice::SetTextColor(c);
}

void MetafileDevice::SetTextAlign(int flags) {
    if (Live() && flags != textAlign_) RecTextAlign(flags);
    DrawDevice::SetTextAlign(flags);
}

void MetafileDevice::MoveTo(int x, int y) {
    DrawDevice::MoveTo(x, y);
    if (Live()) RecMoveTo({x, y});
}

void MetafileDevice::SetMapMode(MapMode m) {
    mappingTouched_ = true;
    DrawDevice::SetMapMode(m);
    if (Live()) RecMapMode(m);
}

void MetafileDevice::SetWindowOrg(int x, int y) {
    mappingTouched_ = true;
    DrawDevice::SetWindowOrg(x, y);
    if (Live()) RecWindowOrg({x, y});
}

void MetafileDevice::SetWindowExt(int cx, int cy) {
    mappingTouched_ = true;
    DrawDevice::SetWindowExt(cx, cy);
    if (Live()) RecWindowExt({cx, cy});
}

void MetafileDevice::SetViewportOrg(int x, int y) {
    mappingTouched_ = true;
    DrawDevice::SetViewportOrg(x, y);
    if (Live()) RecViewportOrg({x, y});
}

void MetafileDevice::SetViewportExt(int cx, int cy) {
    mappingTouched_ = true;
    DrawDevice::SetViewportExt(cx, cy);
    if (Live()) RecViewportExt({cx, cy});
}

void MetafileDevice::SelectClipRect(const Rect& deviceRect) {
    DrawDevice::SelectClipRect(deviceRect);
    RecordClip();
}

void MetafileDevice::SelectClipPolygon(const std::vector<Point>& devicePoints) {
    DrawDevice::SelectClipPolygon(devicePoints);
    RecordClip();
}

void MetafileDevice::SelectNoClip() {
    DrawDevice::SelectNoClip();
    RecordClip();
}

void MetafileDevice::RecordClip() {
    if (!Live()) return;
    if (clipSaved_) {
        RecRestoreDC();
        clipSaved_ = false;
        ReapplyState();
    }
    if (!HasClip()) return;
    RecSaveDC();
    clipSaved_ = true;
    if (ClipIsPolygon()) {
        std::vector<Point> logical;
        logical.reserve(clipPolygon_.size());
        for (const Point& p : clipPolygon_) logical.push_back(DPtoLP(p));
        RecClipPolygon(logical);
    } else {
        const Point a = DPtoLP({clipRect_.Left, clipRect_.Top});
        const Point b = DPtoLP({clipRect_.Right, clipRect_.Bottom});
        RecIntersectClip(Box(a.x, a.y, b.x, b.y));
    }
}

void MetafileDevice::ReapplyState() {
    // The restored context holds what was selected when it was saved.
    selPen_ = selBrush_ = selFont_ = kNone;
    rop2_ = 0;
    RecBkColor(bkColor_);
    RecBkMode(bkMode_);
    RecTextColor(textColor_);
    RecTextAlign(textAlign_);
    if (mappingTouched_) {
        RecMapMode(mapMode_);
        RecWindowOrg(winOrg_);
        RecWindowExt(winExt_);
        RecViewportOrg(vpOrg_);
        RecViewportExt(vpExt_);
    }
    RecMoveTo(pos_);
}

void MetafileDevice::NeedPen() {
    const std::string key = PenKey(pen_);
    auto it = objects_.find(key);
    std::uint32_t h = 0;
    if (it == objects_.end()) {
        h = RecCreatePen(pen_);
        objects_.emplace(key, h);
    } else {
        h = it->second;
    }
    if (h != selPen_) {
        RecSelect(h);
        selPen_ = h;
    }
    const int rop = Rop2Of(pen_.mode);
    if (rop != rop2_) {
        RecRop2(rop);
        rop2_ = rop;
    }
}

void MetafileDevice::NeedBrush() {
    const std::string key = BrushKey(brush_);
    auto it = objects_.find(key);
    std::uint32_t h = 0;
    if (it == objects_.end()) {
        h = RecCreateBrush(brush_);
        objects_.emplace(key, h);
    } else {
        h = it->second;
    }
    if (h != selBrush_) {
        RecSelect(h);
        selBrush_ = h;
    }
}

void MetafileDevice::NeedFont() {
    const std::string key = FontKey(font_);
    auto it = objects_.find(key);
    std::uint32_t h = 0;
    if (it == objects_.end()) {
        h = RecCreateFont(font_);
        objects_.emplace(key, h);
    } else {
        h = it->second;
    }
    if (h != selFont_) {
        RecSelect(h);
        selFont_ = h;
    }
}

// --- primitives ---

void MetafileDevice::LineTo(int x, int y) {
    pos_ = {x, y};
    if (!Live()) return;
    NeedPen();
    RecLineTo({x, y});
}

void MetafileDevice::Polyline(const std::vector<Point>& points) {
    if (!Live() || points.size() < 2) return;
    NeedPen();
    RecPolyline(points);
}

void MetafileDevice::Polygon(const std::vector<Point>& points) {
    if (!Live() || points.size() < 2) return;
    NeedPen();
    NeedBrush();
    RecPolygon(points);
}

void MetafileDevice::Rectangle(int x1, int y1, int x2, int y2) {
    if (!Live()) return;
    NeedPen();
    NeedBrush();
    RecRectangle(Box(x1, y1, x2, y2));
}

void MetafileDevice::RoundRect(int x1, int y1, int x2, int y2, int cornerW, int cornerH) {
    if (!Live()) return;
    NeedPen();
    NeedBrush();
    RecRoundRect(Box(x1, y1, x2, y2), {cornerW, cornerH});
}

void MetafileDevice::Ellipse(int x1, int y1, int x2, int y2) {
    if (!Live()) return;
    NeedPen();
    NeedBrush();
    RecEllipse(Box(x1, y1, x2, y2));
}

void MetafileDevice::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    if (!Live()) return;
    NeedPen();
    RecArc(Box(x1, y1, x2, y2), {x3, y3}, {x4, y4}, false);
}

void MetafileDevice::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    if (!Live()) return;
    NeedPen();
    NeedBrush();
    RecArc(Box(x1, y1, x2, y2), {x3, y3}, {x4, y4}, true);
}

void MetafileDevice::FillRect(const Rect& r) {
    if (!Live() || brush_.style == BrushStyle::Clear) return;
    // A rectangle without a pen fills one unit less to the right and below.
    const PenDesc saved = pen_;
    pen_ = PenDesc{PenStyle::Clear, 1, 0, PenMode::Copy};
    NeedPen();
    pen_ = saved;
    NeedBrush();
    const Rect b = Box(r.Left, r.Top, r.Right, r.Bottom);
    RecRectangle({b.Left, b.Top, b.Right + 1, b.Bottom + 1});
}

void MetafileDevice::SetPixel(int x, int y, Color rgb) {
    if (Live()) RecSetPixel({x, y}, ColorToRGB(rgb) & 0xFFFFFF);
}

void MetafileDevice::TextOut(int x, int y, const std::string& text) {
    if (!Live() || text.empty()) return;
    NeedFont();
    // Advances of each UTF-16 unit, as the reference device measures them.
    const QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    std::vector<int> advances;
    advances.reserve(static_cast<size_t>(s.size()));
    ImageDevice& ref = Ref();
    int previous = 0;
    for (qsizetype i = 1; i <= s.size(); ++i) {
        Size ext;
        const QByteArray prefix = s.left(i).toUtf8();
        if (!ref.GetTextExtent(prefix.toStdString(), ext)) ext.cx = previous;
        advances.push_back(ext.cx - previous);
        previous = ext.cx;
    }
    RecText({x, y}, text, advances);
}

bool MetafileDevice::GetTextExtent(const std::string& text, Size& extent) {
    return Ref().GetTextExtent(text, extent);
}

TextMetrics MetafileDevice::GetTextMetrics() { return Ref().GetTextMetrics(); }

void MetafileDevice::BitBlt(int x, int y, const QImage& image) {
    if (image.isNull()) return;
    StretchBlt({x, y, x + image.width(), y + image.height()}, image);
}

void MetafileDevice::StretchBlt(const Rect& dest, const QImage& image) {
    if (!Live() || image.isNull()) return;
    RecStretchDib(dest, image);
}

DeviceCaps MetafileDevice::GetDeviceCaps() const {
    DeviceCaps c;
    c.horzRes = kMetafileRefWidth;
    c.vertRes = kMetafileRefHeight;
    c.horzSizeMm = kMetafileRefWidthMm;
    c.vertSizeMm = kMetafileRefHeightMm;
    c.logPixelsX = kMetafileDpi;
    c.logPixelsY = kMetafileDpi;
    c.bitsPixel = 32;
    c.planes = 1;
    return c;
}

}  // namespace pellucor::platform
