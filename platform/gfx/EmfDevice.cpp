// The enhanced metafile back end: each call becomes the EMF record libUEMF
// builds; the file is collected in memory.
#include <QImage>
#include <QString>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include <uemf.h>
#include <uemf_safe.h>
#include <uemf_utf.h>

#include "platform/gfx/MetafileDevice.h"
#include "platform/gfx/UemfShared.h"

namespace pellucor::platform {
namespace {

using uemf_shared::ColorRef;
using uemf_shared::HatchOf;

U_POINTL Pt(Point p) { return point32_set(p.x, p.y); }

// Boxes of the filled shapes are stored with their far edges inside.
U_RECTL Inclusive(const Rect& r) {
    U_RECTL b;
    b.left = r.Left;
    b.top = r.Top;
    b.right = std::max(r.Left, r.Right - 1);
    b.bottom = std::max(r.Top, r.Bottom - 1);
    return b;
}

U_RECTL Exclusive(const Rect& r) {
    U_RECTL b;
    b.left = r.Left;
    b.top = r.Top;
    b.right = r.Right;
    b.bottom = r.Bottom;
    return b;
}

U_RECTL BoundsOf(const std::vector<Point>& pts) {
    U_RECTL b{0, 0, 0, 0};
    if (pts.empty()) return b;
    b.left = b.right = pts[0].x;
    b.top = b.bottom = pts[0].y;
    for (const Point& p : pts) {
        b.left = std::min<int32_t>(b.left, p.x);
        b.right = std::max<int32_t>(b.right, p.x);
        b.top = std::min<int32_t>(b.top, p.y);
        b.bottom = std::max<int32_t>(b.bottom, p.y);
    }
    return b;
}

std::vector<U_POINTL> Points(const std::vector<Point>& pts) {
    std::vector<U_POINTL> out;
    out.reserve(pts.size());
    for (const Point& p : pts) out.push_back(Pt(p));
    return out;
}

uint32_t PenStyleOf(PenStyle s) {
    switch (s) {
        case PenStyle::Dash: return U_PS_DASH;
        case PenStyle::Dot: return U_PS_DOT;
        case PenStyle::DashDot: return U_PS_DASHDOT;
        case PenStyle::DashDotDot: return U_PS_DASHDOTDOT;
        case PenStyle::Clear: return U_PS_NULL;
        case PenStyle::InsideFrame: return U_PS_INSIDEFRAME;
        default: return U_PS_SOLID;
    }
}

// Frame of the header in hundredths of a millimetre.
int32_t HundredthsMm(int pixels) {
    return static_cast<int32_t>(std::lround(pixels * 2540.0 / kMetafileDpi));
}

}  // namespace

struct EmfDevice::Track {
    EMFTRACK* et = nullptr;
    EMFHANDLES* eht = nullptr;
    ~Track() {
        if (et) {
            if (et->fp) std::fclose(et->fp);
            et->fp = nullptr;
            emf_free(&et);
        }
        if (eht) emf_htable_free(&eht);
    }
};

EmfDevice::EmfDevice(int width, int height)
    : MetafileDevice(true, width, height), t_(std::make_unique<Track>()) {
    // The library opens its output at the start; the bytes are collected in
    // memory at the end instead (Finish), so nothing is written here.
    if (emf_start("/dev/null", 1 << 16, 1 << 16, &t_->et) != 0 ||
        emf_htable_create(128, 128, &t_->eht) != 0)
        throw std::runtime_error("cannot start an enhanced metafile");
    U_RECTL bounds{0, 0, width_ - 1, height_ - 1};
    U_RECTL frame{0, 0, HundredthsMm(width_), HundredthsMm(height_)};
    Append(U_EMRHEADER_set(bounds, frame, nullptr, 0, nullptr,
                           sizel_set(kMetafileRefWidth, kMetafileRefHeight),
                           sizel_set(kMetafileRefWidthMm, kMetafileRefHeightMm), 0));
    Append(U_EMRSETPOLYFILLMODE_set(U_ALTERNATE));
}

EmfDevice::~EmfDevice() = default;

void EmfDevice::Append(char* record) {
    if (!record) throw std::runtime_error("cannot build an enhanced metafile record");
    if (emf_append(reinterpret_cast<U_ENHMETARECORD*>(record), t_->et, 1) != 0)
        throw std::runtime_error("cannot add an enhanced metafile record");
}

std::uint32_t EmfDevice::RecCreatePen(const PenDesc& pen) {
    uint32_t ih = 0;
    if (pen.style == PenStyle::Alternate) {
        // Every other device pixel: only a cosmetic pen made by the extended call has it.
        PU_EXTLOGPEN elp = extlogpen_set(U_PS_COSMETIC | U_PS_ALTERNATE, 1, U_BS_SOLID,
                                         ColorRef(pen.color), 0, 0, nullptr);
        char* rec = extcreatepen_set(&ih, t_->eht, nullptr, 0, nullptr, elp);
        std::free(elp);
        Append(rec);
        return ih;
    }
    const U_LOGPEN lp = logpen_set(PenStyleOf(pen.style), point32_set(std::max(0, pen.width), 0),
                                   ColorRef(pen.color));
    Append(createpen_set(&ih, t_->eht, lp));
    return ih;
}

std::uint32_t EmfDevice::RecCreateBrush(const BrushDesc& brush) {
    uint32_t style = U_BS_SOLID;
    if (brush.style == BrushStyle::Clear) style = U_BS_NULL;
    else if (brush.style != BrushStyle::Solid) style = U_BS_HATCHED;
    uint32_t ih = 0;
    Append(createbrushindirect_set(&ih, t_->eht, logbrush_set(style, ColorRef(brush.color),
                                                              HatchOf(brush.style))));
    return ih;
}

std::uint32_t EmfDevice::RecCreateFont(const FontDesc& font) {
    uint16_t* face = U_Utf8ToUtf16le(font.name.c_str(), 0, nullptr);
    const U_LOGFONT lf = logfont_set(font.height, 0, font.escapement, font.orientation,
                                     font.bold ? U_FW_BOLD : U_FW_NORMAL, font.italic ? 1 : 0,
                                     font.underline ? 1 : 0, font.strikeOut ? 1 : 0,
                                     static_cast<uint8_t>(font.charSet),
                                     static_cast<uint8_t>(font.outPrecision), 0, 0, 0, face);
    std::free(face);
    uint32_t ih = 0;
    Append(extcreatefontindirectw_set(&ih, t_->eht, reinterpret_cast<const char*>(&lf), nullptr));
    return ih;
}

void EmfDevice::RecSelect(std::uint32_t handle) { Append(selectobject_set(handle, t_->eht)); }
void EmfDevice::RecRop2(int rop2) { Append(U_EMRSETROP2_set(static_cast<uint32_t>(rop2))); }
void EmfDevice::RecBkColor(Color c) { Append(U_EMRSETBKCOLOR_set(ColorRef(c))); }
void EmfDevice::RecBkMode(BackMode m) {
    Append(U_EMRSETBKMODE_set(m == BackMode::Opaque ? U_OPAQUE : U_TRANSPARENT));
}
void EmfDevice::RecTextColor(Color c) { Append(U_EMRSETTEXTCOLOR_set(ColorRef(c))); }
void EmfDevice::RecTextAlign(int flags) { Append(U_EMRSETTEXTALIGN_set(static_cast<uint32_t>(flags))); }
void EmfDevice::RecMapMode(MapMode m) { Append(U_EMRSETMAPMODE_set(static_cast<uint32_t>(m))); }
void EmfDevice::RecWindowOrg(Point p) { Append(U_EMRSETWINDOWORGEX_set(Pt(p))); }
void EmfDevice::RecWindowExt(Size s) { Append(U_EMRSETWINDOWEXTEX_set(sizel_set(s.cx, s.cy))); }
void EmfDevice::RecViewportOrg(Point p) { Append(U_EMRSETVIEWPORTORGEX_set(Pt(p))); }
void EmfDevice::RecViewportExt(Size s) { Append(U_EMRSETVIEWPORTEXTEX_set(sizel_set(s.cx, s.cy))); }
void EmfDevice::RecSaveDC() { Append(U_EMRSAVEDC_set()); }
void EmfDevice::RecRestoreDC() { Append(U_EMRRESTOREDC_set(-1)); }
void EmfDevice::RecIntersectClip(const Rect& r) { Append(U_EMRINTERSECTCLIPRECT_set(Exclusive(r))); }

void EmfDevice::RecClipPolygon(const std::vector<Point>& logicalPts) {
    if (logicalPts.size() < 3) return;
    const std::vector<U_POINTL> pts = Points(logicalPts);
    Append(U_EMRBEGINPATH_set());
    Append(U_EMRPOLYGON_set(BoundsOf(logicalPts), static_cast<uint32_t>(pts.size()), pts.data()));
    Append(U_EMRENDPATH_set());
    Append(U_EMRSELECTCLIPPATH_set(U_RGN_AND));
}

void EmfDevice::RecMoveTo(Point p) { Append(U_EMRMOVETOEX_set(Pt(p))); }
void EmfDevice::RecLineTo(Point p) { Append(U_EMRLINETO_set(Pt(p))); }

void EmfDevice::RecPolyline(const std::vector<Point>& pts) {
    const std::vector<U_POINTL> p = Points(pts);
    Append(U_EMRPOLYLINE_set(BoundsOf(pts), static_cast<uint32_t>(p.size()), p.data()));
}

void EmfDevice::RecPolygon(const std::vector<Point>& pts) {
    const std::vector<U_POINTL> p = Points(pts);
    Append(U_EMRPOLYGON_set(BoundsOf(pts), static_cast<uint32_t>(p.size()), p.data()));
}

void EmfDevice::RecRectangle(const Rect& r) { Append(U_EMRRECTANGLE_set(Inclusive(r))); }

void EmfDevice::RecRoundRect(const Rect& r, Size corner) {
    Append(U_EMRROUNDRECT_set(Inclusive(r), sizel_set(corner.cx, corner.cy)));
}

void EmfDevice::RecEllipse(const Rect& r) { Append(U_EMRELLIPSE_set(Inclusive(r))); }

void EmfDevice::RecArc(const Rect& r, Point start, Point end, bool pie) {
    Append(pie ? U_EMRPIE_set(Inclusive(r), Pt(start), Pt(end))
               : U_EMRARC_set(Inclusive(r), Pt(start), Pt(end)));
}

void EmfDevice::RecSetPixel(Point p, Color c) { Append(U_EMRSETPIXELV_set(Pt(p), ColorRef(c))); }

void EmfDevice::RecText(Point p, const std::string& utf8, const std::vector<int>& advances) {
    size_t len = 0;
    uint16_t* text = U_Utf8ToUtf16le(utf8.c_str(), 0, &len);
    if (!text) return;
    std::vector<uint32_t> dx(len, 0);
    int total = 0;
    for (size_t i = 0; i < len && i < advances.size(); ++i) {
        dx[i] = static_cast<uint32_t>(std::max(0, advances[i]));
        total += advances[i];
    }
    const U_RECTL none{0, 0, -1, -1};
    char* emrtext = emrtext_set(Pt(p), static_cast<U_NUM_STR>(len), 2, text, U_ETO_NONE, none,
                                dx.data());
    std::free(text);
    if (!emrtext) throw std::runtime_error("cannot build an enhanced metafile text");
    U_RECTL bounds{p.x, p.y, p.x + total, p.y + std::abs(font_.height)};
    char* rec = U_EMREXTTEXTOUTW_set(bounds, U_GM_COMPATIBLE, 1.0f, 1.0f,
                                     reinterpret_cast<PU_EMRTEXT>(emrtext));
    std::free(emrtext);
    Append(rec);
}

void EmfDevice::RecStretchDib(const Rect& dest, const QImage& image) {
    const QImage rgba = image.convertToFormat(QImage::Format_RGBA8888);
    char* px = nullptr;
    uint32_t cbPx = 0;
    PU_RGBQUAD ct = nullptr;
    int numCt = 0;
    if (RGBA_to_DIB(&px, &cbPx, &ct, &numCt, reinterpret_cast<const char*>(rgba.constBits()),
                    rgba.width(), rgba.height(), static_cast<int>(rgba.bytesPerLine()),
                    U_BCBM_COLOR24, 0, 1) != 0)
        throw std::runtime_error("cannot convert a picture for an enhanced metafile");
    const U_BITMAPINFOHEADER bmih = bitmapinfoheader_set(rgba.width(), rgba.height(), 1, 24,
                                                         U_BI_RGB, cbPx, 3780, 3780, 0, 0);
    PU_BITMAPINFO bmi = bitmapinfo_set(bmih, nullptr);
    const U_RECTL bounds = Exclusive(dest);
    char* rec = U_EMRSTRETCHDIBITS_set(bounds, point32_set(dest.Left, dest.Top),
                                       point32_set(dest.Width(), dest.Height()), point32_set(0, 0),
                                       point32_set(rgba.width(), rgba.height()), U_DIB_RGB_COLORS,
                                       U_SRCCOPY, bmi, cbPx, px);
    std::free(bmi);
    std::free(px);
    std::free(ct);
    Append(rec);
}

Metafile EmfDevice::RecFinish() {
    Append(U_EMREOF_set(0, nullptr, t_->et));
    // Collect the file in memory: the library writes the finished buffer to its stream.
    std::fclose(t_->et->fp);
    char* buf = nullptr;
    size_t len = 0;
    t_->et->fp = open_memstream(&buf, &len);
    if (!t_->et->fp) throw std::runtime_error("cannot collect the enhanced metafile");
    const int rc = emf_finish(t_->et, t_->eht);
    if (t_->et->fp) {
        std::fclose(t_->et->fp);
        t_->et->fp = nullptr;
    }
    Metafile m;
    m.enhanced = true;
    m.width = width_;
    m.height = height_;
    if (buf) m.data.assign(buf, len);
    std::free(buf);
    if (rc != 0 || m.data.empty()) throw std::runtime_error("cannot finish the enhanced metafile");
    return m;
}

bool ReadEmfFrame(const std::string& data, int& width, int& height) {
    if (data.size() < sizeof(U_EMRHEADER)) return false;
    // The library's checks want the record in writable, aligned memory.
    std::vector<char> copy(data.begin(), data.end());
    const auto* hdr = reinterpret_cast<const U_EMRHEADER*>(copy.data());
    if (hdr->emr.iType != U_EMR_HEADER || hdr->emr.nSize > copy.size()) return false;
    if (!U_emf_record_safe(copy.data())) return false;
    if (hdr->dSignature != U_ENHMETA_SIGNATURE) return false;
    if (hdr->szlMillimeters.cx <= 0 || hdr->szlMillimeters.cy <= 0) return false;
    const double pxPerMmX = static_cast<double>(hdr->szlDevice.cx) / hdr->szlMillimeters.cx;
    const double pxPerMmY = static_cast<double>(hdr->szlDevice.cy) / hdr->szlMillimeters.cy;
    width = static_cast<int>(
        std::lround((hdr->rclFrame.right - hdr->rclFrame.left) / 100.0 * pxPerMmX));
    height = static_cast<int>(
        std::lround((hdr->rclFrame.bottom - hdr->rclFrame.top) / 100.0 * pxPerMmY));
    return true;
}

}  // namespace pellucor::platform
