#include "platform/gfx/GfxTypes.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace pellucor::platform {

namespace {
// A classic desktop scheme; the programs only need plausible values for the
// button face, shadows, highlights and window colours.
constexpr Color kSystemColors[] = {
    RGBColor(212, 208, 200),  // scroll bar
    RGBColor(58, 110, 165),   // desktop
    RGBColor(10, 36, 106),    // active caption
    RGBColor(128, 128, 128),  // inactive caption
    RGBColor(212, 208, 200),  // menu
    RGBColor(255, 255, 255),  // window
    RGBColor(0, 0, 0),        // window frame
    RGBColor(0, 0, 0),        // menu text
    RGBColor(0, 0, 0),        // window text
    RGBColor(255, 255, 255),  // caption text
    RGBColor(212, 208, 200),  // active border
    RGBColor(212, 208, 200),  // inactive border
    RGBColor(128, 128, 128),  // application workspace
    RGBColor(10, 36, 106),    // highlight
    RGBColor(255, 255, 255),  // highlight text
    RGBColor(212, 208, 200),  // button face
    RGBColor(128, 128, 128),  // button shadow
    RGBColor(128, 128, 128),  // grey text
    RGBColor(0, 0, 0),        // button text
    RGBColor(212, 208, 200),  // inactive caption text
    RGBColor(255, 255, 255),  // button highlight
    RGBColor(64, 64, 64),     // 3-D dark shadow
    RGBColor(212, 208, 200),  // 3-D light
    RGBColor(0, 0, 0),        // tooltip text
    RGBColor(255, 255, 225),  // tooltip background
};
}  // namespace

Color ColorToRGB(Color c) {
    if ((c & kSystemColorFlag) == 0) return c;
    const unsigned index = c & 0xFF;
    if (index < sizeof(kSystemColors) / sizeof(kSystemColors[0])) return kSystemColors[index];
    return 0;
}

int MulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    const long long n = static_cast<long long>(a) * b;
    const long long an = std::llabs(n);
    const long long ac = std::llabs(static_cast<long long>(c));
    long long q = (an + ac / 2) / ac;
    if ((n < 0) != (c < 0)) q = -q;
    if (q > std::numeric_limits<int>::max() || q < std::numeric_limits<int>::min()) return -1;
    return static_cast<int>(q);
}

int RoundHalfEven(double v) {
    return static_cast<int>(std::nearbyint(v));
}

bool ClipSegment(double& x0, double& y0, double& x1, double& y1, double l, double t, double r, double b) {
    if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !std::isfinite(y1)) return false;
    const double dx = x1 - x0, dy = y1 - y0;
    double u0 = 0, u1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 - l, r - x0, y0 - t, b - y0};
    for (int k = 0; k < 4; ++k) {
        if (p[k] == 0) {
            if (q[k] < 0) return false;
            continue;
        }
        const double u = q[k] / p[k];
        if (p[k] < 0) {
            if (u > u1) return false;
            u0 = std::max(u0, u);
        } else {
            if (u < u0) return false;
            u1 = std::min(u1, u);
        }
    }
    const double ax = x0 + u0 * dx, ay = y0 + u0 * dy;
    x1 = x0 + u1 * dx;
    y1 = y0 + u1 * dy;
    x0 = ax;
    y0 = ay;
    return true;
}

}  // namespace pellucor::platform
