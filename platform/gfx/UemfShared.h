#pragma once
// Values the enhanced and the placeable metafile back ends write alike:
// libUEMF's colour and hatch values are the same in both formats. Included
// only by those two sources (it needs libUEMF's headers).
#include <cstdint>

#include <uemf.h>

#include "platform/gfx/GfxTypes.h"

namespace pellucor::platform::uemf_shared {

inline U_COLORREF ColorRef(Color c) {
    const Color rgb = ColorToRGB(c);
    return colorref3_set(static_cast<uint8_t>(RedOf(rgb)), static_cast<uint8_t>(GreenOf(rgb)),
                         static_cast<uint8_t>(BlueOf(rgb)));
}

// The hatch of a hatched brush; 0 for the styles that are no hatch.
inline uint16_t HatchOf(BrushStyle s) {
    switch (s) {
        case BrushStyle::Horizontal: return U_HS_HORIZONTAL;
        case BrushStyle::Vertical: return U_HS_VERTICAL;
        case BrushStyle::FDiagonal: return U_HS_FDIAGONAL;
        case BrushStyle::BDiagonal: return U_HS_BDIAGONAL;
        case BrushStyle::Cross: return U_HS_CROSS;
        case BrushStyle::DiagCross: return U_HS_DIAGCROSS;
        default: return 0;
    }
}

}  // namespace pellucor::platform::uemf_shared
