// The placeable Windows metafile back end: each call becomes the WMF record
// libUEMF builds; coordinates are 16 bits wide and texts 8-bit (Latin-1).
#include <QByteArray>
#include <QImage>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include <uwmf.h>

#include "platform/gfx/MetafileDevice.h"
#include "platform/gfx/UemfShared.h"

namespace pellucor::platform {
namespace {

using uemf_shared::ColorRef;
using uemf_shared::HatchOf;

int16_t C16(int v) { return static_cast<int16_t>(std::clamp(v, -32768, 32767)); }

U_POINT16 Pt(Point p) { return point16_set(C16(p.x), C16(p.y)); }

U_RECT16 R16(const Rect& r) {
    U_RECT16 b;
    b.left = C16(r.Left);
    b.top = C16(r.Top);
    b.right = C16(r.Right);
    b.bottom = C16(r.Bottom);
    return b;
}

// The coordinates the format can hold.
constexpr double kLow = -32768.0;
constexpr double kHigh = 32767.0;

bool InRange(Point p) { return p.x >= kLow && p.x <= kHigh && p.y >= kLow && p.y <= kHigh; }

bool AllInRange(const std::vector<Point>& pts) {
    return std::all_of(pts.begin(), pts.end(), InRange);
}

Point Rounded(double x, double y) {
    return {static_cast<int>(std::clamp(std::round(x), kLow, kHigh)),
            static_cast<int>(std::clamp(std::round(y), kLow, kHigh))};
}

// The part of the segment a-b inside the format's range; false when none of
// it is. Cutting keeps the segment's course, where pulling each end into the
// range would turn it.
bool CutSegment(Point a, Point b, Point& ca, Point& cb) {
    double x0 = a.x, y0 = a.y, x1 = b.x, y1 = b.y;
    if (!ClipSegment(x0, y0, x1, y1, kLow, kLow, kHigh, kHigh)) return false;
    // Ends inside the range come back as the same whole numbers.
    ca = Rounded(x0, y0);
    cb = Rounded(x1, y1);
    return true;
}

// The polygon cut to the format's range (Sutherland-Hodgman against each
// side in turn). The cut runs along the range's border, far outside any
// picture, so the picture shows the same fill as the whole polygon would.
std::vector<Point> CutPolygon(const std::vector<Point>& pts) {
    struct P {
        double x, y;
    };
    std::vector<P> poly;
    for (const Point& p : pts) poly.push_back({static_cast<double>(p.x), static_cast<double>(p.y)});
    auto side = [&poly](auto inside, auto cross) {
        std::vector<P> out;
        for (size_t i = 0; i < poly.size(); ++i) {
            const P& cur = poly[i];
            const P& prev = poly[(i + poly.size() - 1) % poly.size()];
            const bool ci = inside(cur), pi = inside(prev);
            if (ci != pi) out.push_back(cross(prev, cur));
            if (ci) out.push_back(cur);
        }
        poly.swap(out);
    };
    auto atX = [](double x) {
        return [x](const P& a, const P& b) { return P{x, a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x)}; };
    };
    auto atY = [](double y) {
        return [y](const P& a, const P& b) { return P{a.x + (b.x - a.x) * (y - a.y) / (b.y - a.y), y}; };
    };
    side([](const P& p) { return p.x >= kLow; }, atX(kLow));
    side([](const P& p) { return p.x <= kHigh; }, atX(kHigh));
    side([](const P& p) { return p.y >= kLow; }, atY(kLow));
    side([](const P& p) { return p.y <= kHigh; }, atY(kHigh));
    std::vector<Point> out;
    for (const P& p : poly) out.push_back(Rounded(p.x, p.y));
    return out;
}

std::vector<U_POINT16> Points(const std::vector<Point>& pts) {
    std::vector<U_POINT16> out;
    out.reserve(pts.size());
    for (const Point& p : pts) out.push_back(Pt(p));
    return out;
}

uint16_t PenStyleOf(PenStyle s) {
    switch (s) {
        case PenStyle::Dash: return U_PS_DASH;
        case PenStyle::Dot: return U_PS_DOT;
        // The format has no alternate-pixel pen; dots are the nearest.
        case PenStyle::Alternate: return U_PS_DOT;
        case PenStyle::DashDot: return U_PS_DASHDOT;
        case PenStyle::DashDotDot: return U_PS_DASHDOTDOT;
        case PenStyle::Clear: return U_PS_NULL;
        case PenStyle::InsideFrame: return U_PS_INSIDEFRAME;
        default: return U_PS_SOLID;
    }
}

}  // namespace

struct WmfDevice::Track {
    WMFTRACK* wt = nullptr;
    WMFHANDLES* wht = nullptr;
    ~Track() {
        if (wt) {
            if (wt->fp) std::fclose(wt->fp);
            wt->fp = nullptr;
            wmf_free(&wt);
        }
        if (wht) wmf_htable_free(&wht);
    }
};

WmfDevice::WmfDevice(int width, int height)
    : MetafileDevice(false, width, height), t_(std::make_unique<Track>()) {
    if (wmf_start("/dev/null", 1 << 16, 1 << 16, &t_->wt) != 0 ||
        wmf_htable_create(128, 128, &t_->wht) != 0)
        throw std::runtime_error("cannot start a metafile");
    // The placeable header: the picture's box at 96 units per inch.
    U_PAIRF* size = U_PAIRF_set(static_cast<float>(width_) / kMetafileDpi,
                                static_cast<float>(height_) / kMetafileDpi);
    char* header = U_WMRHEADER_set(size, kMetafileDpi);
    std::free(size);
    if (!header || wmf_header_append(reinterpret_cast<U_METARECORD*>(header), t_->wt, 1) != 0)
        throw std::runtime_error("cannot write the metafile header");
    // Logical units are pixels of the box, whatever size a player shows it at.
    Append(U_WMRSETMAPMODE_set(U_MM_ANISOTROPIC));
    Append(U_WMRSETWINDOWORG_set(point16_set(0, 0)));
    Append(U_WMRSETWINDOWEXT_set(point16_set(C16(width_), C16(height_))));
    Append(U_WMRSETPOLYFILLMODE_set(U_ALTERNATE));
}

WmfDevice::~WmfDevice() = default;

void WmfDevice::Append(char* record) {
    if (!record) throw std::runtime_error("cannot build a metafile record");
    if (wmf_append(reinterpret_cast<U_METARECORD*>(record), t_->wt, 1) != 0)
        throw std::runtime_error("cannot add a metafile record");
}

std::uint32_t WmfDevice::RecCreatePen(const PenDesc& pen) {
    uint32_t ih = 0;
    const uint16_t width = static_cast<uint16_t>(std::clamp(pen.width, 0, 32767));
    Append(wcreatepenindirect_set(&ih, t_->wht, U_PEN_set(PenStyleOf(pen.style), width, ColorRef(pen.color))));
    return ih;
}

std::uint32_t WmfDevice::RecCreateBrush(const BrushDesc& brush) {
    uint16_t style = U_BS_SOLID;
    if (brush.style == BrushStyle::Clear) style = U_BS_NULL;
    else if (brush.style != BrushStyle::Solid) style = U_BS_HATCHED;
    uint32_t ih = 0;
    Append(wcreatebrushindirect_set(&ih, t_->wht,
                                    U_WLOGBRUSH_set(style, ColorRef(brush.color), HatchOf(brush.style))));
    return ih;
}

std::uint32_t WmfDevice::RecCreateFont(const FontDesc& font) {
    QByteArray face = QString::fromStdString(font.name).toLatin1();
    U_FONT* f = U_FONT_set(C16(font.height), 0, C16(font.escapement), C16(font.orientation),
                           font.bold ? U_FW_BOLD : U_FW_NORMAL, font.italic ? 1 : 0,
                           font.underline ? 1 : 0, font.strikeOut ? 1 : 0,
                           static_cast<uint8_t>(font.charSet), static_cast<uint8_t>(font.outPrecision),
                           0, 0, 0, face.data());
    if (!f) throw std::runtime_error("cannot build a metafile font");
    uint32_t ih = 0;
    char* rec = wcreatefontindirect_set(&ih, t_->wht, f);
    std::free(f);
    Append(rec);
    return ih;
}

void WmfDevice::RecSelect(std::uint32_t handle) { Append(wselectobject_set(handle, t_->wht)); }
void WmfDevice::RecRop2(int rop2) { Append(U_WMRSETROP2_set(static_cast<uint16_t>(rop2))); }
void WmfDevice::RecBkColor(Color c) { Append(U_WMRSETBKCOLOR_set(ColorRef(c))); }
void WmfDevice::RecBkMode(BackMode m) {
    Append(U_WMRSETBKMODE_set(m == BackMode::Opaque ? U_OPAQUE : U_TRANSPARENT));
}
void WmfDevice::RecTextColor(Color c) { Append(U_WMRSETTEXTCOLOR_set(ColorRef(c))); }
void WmfDevice::RecTextAlign(int flags) { Append(U_WMRSETTEXTALIGN_set(static_cast<uint16_t>(flags))); }
void WmfDevice::RecMapMode(MapMode m) { Append(U_WMRSETMAPMODE_set(static_cast<uint16_t>(m))); }
void WmfDevice::RecWindowOrg(Point p) { Append(U_WMRSETWINDOWORG_set(Pt(p))); }
void WmfDevice::RecWindowExt(Size s) { Append(U_WMRSETWINDOWEXT_set(point16_set(C16(s.cx), C16(s.cy)))); }
void WmfDevice::RecViewportOrg(Point p) { Append(U_WMRSETVIEWPORTORG_set(Pt(p))); }
void WmfDevice::RecViewportExt(Size s) {
    Append(U_WMRSETVIEWPORTEXT_set(point16_set(C16(s.cx), C16(s.cy))));
}
void WmfDevice::RecSaveDC() { Append(U_WMRSAVEDC_set()); }
void WmfDevice::RecRestoreDC() { Append(U_WMRRESTOREDC_set(-1)); }
void WmfDevice::RecIntersectClip(const Rect& r) { Append(U_WMRINTERSECTCLIPRECT_set(R16(r))); }

void WmfDevice::RecClipPolygon(const std::vector<Point>& logicalPts) {
    // No path clipping in this format: the polygon's box is the nearest.
    if (logicalPts.empty()) return;
    Rect b{logicalPts[0].x, logicalPts[0].y, logicalPts[0].x, logicalPts[0].y};
    for (const Point& p : logicalPts) {
        b.Left = std::min(b.Left, p.x);
        b.Top = std::min(b.Top, p.y);
        b.Right = std::max(b.Right, p.x);
        b.Bottom = std::max(b.Bottom, p.y);
    }
    RecIntersectClip(b);
}

void WmfDevice::RecMoveTo(Point p) {
    cur_ = p;
    const U_POINT16 q = Pt(p);
    player_ = {q.x, q.y};
    Append(U_WMRMOVETO_set(q));
}

void WmfDevice::RecLineTo(Point p) {
    LineRecord(cur_, p);
    cur_ = p;
}

void WmfDevice::LineRecord(Point from, Point to) {
    Point a, b;
    if (!CutSegment(from, to, a, b)) return;
    if (!(a == player_)) Append(U_WMRMOVETO_set(Pt(a)));
    Append(U_WMRLINETO_set(Pt(b)));
    player_ = b;
}

void WmfDevice::RecPolyline(const std::vector<Point>& pts) {
    if (!AllInRange(pts)) {
        // Runs of the cut segments that join up, each one polyline.
        std::vector<Point> run;
        auto flush = [&] {
            if (run.size() >= 2) RecPolyline(run);
            run.clear();
        };
        for (size_t i = 1; i < pts.size(); ++i) {
            Point a, b;
            if (!CutSegment(pts[i - 1], pts[i], a, b)) {
                flush();
                continue;
            }
            if (run.empty() || !(run.back() == a)) {
                flush();
                run.push_back(a);
            }
            run.push_back(b);
        }
        flush();
        return;
    }
    // A record holds at most 32767 points; longer lines go on in further
    // records from the last point of the one before.
    constexpr size_t kMaxPoints = 0x7FFF;
    const std::vector<U_POINT16> p = Points(pts);
    for (size_t start = 0; start + 1 < p.size(); start += kMaxPoints - 1) {
        const size_t count = std::min(p.size() - start, kMaxPoints);
        Append(U_WMRPOLYLINE_set(static_cast<uint16_t>(count), p.data() + start));
    }
}

void WmfDevice::RecPolygon(const std::vector<Point>& pts) {
    if (!AllInRange(pts)) {
        const std::vector<Point> cut = CutPolygon(pts);
        if (cut.size() >= 2) RecPolygon(cut);
        return;
    }
    const std::vector<U_POINT16> p = Points(pts);
    Append(U_WMRPOLYGON_set(static_cast<uint16_t>(std::min<size_t>(p.size(), 0x7FFF)), p.data()));
}

void WmfDevice::RecRectangle(const Rect& r) { Append(U_WMRRECTANGLE_set(R16(r))); }

void WmfDevice::RecRoundRect(const Rect& r, Size corner) {
    Append(U_WMRROUNDRECT_set(C16(corner.cx), C16(corner.cy), R16(r)));
}

void WmfDevice::RecEllipse(const Rect& r) { Append(U_WMRELLIPSE_set(R16(r))); }

void WmfDevice::RecArc(const Rect& r, Point start, Point end, bool pie) {
    Append(pie ? U_WMRPIE_set(Pt(start), Pt(end), R16(r)) : U_WMRARC_set(Pt(start), Pt(end), R16(r)));
}

void WmfDevice::RecSetPixel(Point p, Color c) { Append(U_WMRSETPIXEL_set(ColorRef(c), Pt(p))); }

void WmfDevice::RecText(Point p, const std::string& utf8, const std::vector<int>& advances) {
    const QByteArray text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())).toLatin1();
    if (text.isEmpty()) return;
    std::vector<int16_t> dx(static_cast<size_t>(text.size()), 0);
    for (size_t i = 0; i < dx.size() && i < advances.size(); ++i) dx[i] = C16(std::max(0, advances[i]));
    const U_RECT16 none{0, 0, 0, 0};
    Append(U_WMREXTTEXTOUT_set(Pt(p), static_cast<int16_t>(std::min<qsizetype>(text.size(), 0x7FFF)), 0,
                               text.constData(), dx.data(), none));
}

void WmfDevice::RecStretchDib(const Rect& dest, const QImage& image) {
    const QImage rgba = image.convertToFormat(QImage::Format_RGBA8888);
    char* px = nullptr;
    uint32_t cbPx = 0;
    PU_RGBQUAD ct = nullptr;
    int numCt = 0;
    if (RGBA_to_DIB(&px, &cbPx, &ct, &numCt, reinterpret_cast<const char*>(rgba.constBits()),
                    rgba.width(), rgba.height(), static_cast<int>(rgba.bytesPerLine()),
                    U_BCBM_COLOR24, 0, 1) != 0)
        throw std::runtime_error("cannot convert a picture for a metafile");
    const U_BITMAPINFOHEADER bmih = bitmapinfoheader_set(rgba.width(), rgba.height(), 1, 24,
                                                         U_BI_RGB, cbPx, 3780, 3780, 0, 0);
    PU_BITMAPINFO bmi = bitmapinfo_set(bmih, nullptr);
    char* rec = U_WMRSTRETCHDIB_set(Pt({dest.Left, dest.Top}), Pt({dest.Width(), dest.Height()}),
                                    point16_set(0, 0), Pt({rgba.width(), rgba.height()}),
                                    U_DIB_RGB_COLORS, U_SRCCOPY, bmi, cbPx, px);
    std::free(bmi);
    std::free(px);
    std::free(ct);
    Append(rec);
}

Metafile WmfDevice::RecFinish() {
    Append(U_WMREOF_set());
    std::fclose(t_->wt->fp);
    char* buf = nullptr;
    size_t len = 0;
    t_->wt->fp = open_memstream(&buf, &len);
    if (!t_->wt->fp) throw std::runtime_error("cannot collect the metafile");
    const int rc = wmf_finish(t_->wt);
    if (t_->wt->fp) {
        std::fclose(t_->wt->fp);
        t_->wt->fp = nullptr;
    }
    Metafile m;
    m.enhanced = false;
    m.width = width_;
    m.height = height_;
    if (buf) m.data.assign(buf, len);
    std::free(buf);
    if (rc != 0 || m.data.empty()) throw std::runtime_error("cannot finish the metafile");
    return m;
}

bool ReadWmfFrame(const std::string& data, int& width, int& height, int& dpi) {
    if (data.size() < 40) return false;
    U_WMRPLACEABLE placeable{};
    U_WMRHEADER header{};
    const char* begin = data.data();
    const int size = wmfheader_get(begin, begin + data.size(), &placeable, &header);
    if (size <= 0 || placeable.Key != 0x9AC6CDD7u) return false;
    width = placeable.Dst.right - placeable.Dst.left;
    height = placeable.Dst.bottom - placeable.Dst.top;
    dpi = placeable.Inch;
    return true;
}

}  // namespace pellucor::platform
