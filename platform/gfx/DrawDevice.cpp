#include "platform/gfx/DrawDevice.h"

#include <cmath>

namespace pellucor::platform {

double DrawDevice::ScaleX() const {
    if (mapMode_ == MapMode::Text || winExt_.cx == 0) return 1.0;
    return static_cast<double>(vpExt_.cx) / winExt_.cx;
}

double DrawDevice::ScaleY() const {
    if (mapMode_ == MapMode::Text || winExt_.cy == 0) return 1.0;
    return static_cast<double>(vpExt_.cy) / winExt_.cy;
}

Point DrawDevice::LPtoDP(Point p) const {
    if (mapMode_ == MapMode::Text) return {p.x - winOrg_.x + vpOrg_.x, p.y - winOrg_.y + vpOrg_.y};
    const double x = (p.x - winOrg_.x) * ScaleX() + vpOrg_.x;
    const double y = (p.y - winOrg_.y) * ScaleY() + vpOrg_.y;
    return {static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y))};
}

Point DrawDevice::DPtoLP(Point p) const {
    if (mapMode_ == MapMode::Text) return {p.x - vpOrg_.x + winOrg_.x, p.y - vpOrg_.y + winOrg_.y};
    const double sx = ScaleX();
    const double sy = ScaleY();
    const double x = sx != 0 ? (p.x - vpOrg_.x) / sx + winOrg_.x : winOrg_.x;
    const double y = sy != 0 ? (p.y - vpOrg_.y) / sy + winOrg_.y : winOrg_.y;
    return {static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y))};
}

void DrawDevice::SelectClipRect(const Rect& deviceRect) {
    clipKind_ = ClipKind::Rect;
    clipRect_ = deviceRect;
    clipPolygon_.clear();
}

void DrawDevice::SelectClipPolygon(const std::vector<Point>& devicePoints) {
    clipKind_ = ClipKind::Polygon;
    clipPolygon_ = devicePoints;
    clipRect_ = {};
}

void DrawDevice::SelectNoClip() {
    clipKind_ = ClipKind::None;
    clipPolygon_.clear();
    clipRect_ = {};
}

}  // namespace pellucor::platform
