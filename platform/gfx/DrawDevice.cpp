#include "platform/gfx/DrawDevice.h"

#include <cmath>
#include <limits>

namespace pellucor::platform {

double DrawDevice::ScaleX() const {
    if (mapMode_ == MapMode::Text || winExt_.cx == 0) return 1.0;
    return static_cast<double>(vpExt_.cx) / winExt_.cx;
}

double DrawDevice::ScaleY() const {
    if (mapMode_ == MapMode::Text || winExt_.cy == 0) return 1.0;
    return static_cast<double>(vpExt_.cy) / winExt_.cy;
}

namespace {
// The nearest int (halves away from zero); a value beyond the int range
// stays at the end of the range on its own side rather than wrapping round.
int Unit(double v) {
    if (!(v > std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
    if (v >= std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    return static_cast<int>(std::lround(v));
}
}  // namespace

Point DrawDevice::LPtoDP(Point p) const {
    const double sx = mapMode_ == MapMode::Text ? 1.0 : ScaleX();
    const double sy = mapMode_ == MapMode::Text ? 1.0 : ScaleY();
    const double x = (static_cast<double>(p.x) - winOrg_.x) * sx + vpOrg_.x;
    const double y = (static_cast<double>(p.y) - winOrg_.y) * sy + vpOrg_.y;
    return {Unit(x), Unit(y)};
}

Point DrawDevice::DPtoLP(Point p) const {
    const double sx = mapMode_ == MapMode::Text ? 1.0 : ScaleX();
    const double sy = mapMode_ == MapMode::Text ? 1.0 : ScaleY();
    const double x = sx != 0 ? (static_cast<double>(p.x) - vpOrg_.x) / sx + winOrg_.x : winOrg_.x;
    const double y = sy != 0 ? (static_cast<double>(p.y) - vpOrg_.y) / sy + winOrg_.y : winOrg_.y;
    return {Unit(x), Unit(y)};
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
