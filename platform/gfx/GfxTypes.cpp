#include "platform/gfx/GfxTypes.h"

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

}  // namespace pellucor::platform
