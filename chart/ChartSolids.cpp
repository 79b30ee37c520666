// The shaded solids of the 3-D canvas: cube, cylinder, pyramid, cone,
// sphere, 3-D pie slice and arrow. Every figure is a set of projected,
// filled polygons; faces turned away from the viewer are left out and side
// faces are drawn darker than the front. In a flat chart the projection is
// the identity and the figures reduce to their front outline.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <vector>

#include "chart/ChartCanvas.h"
#include "platform/gfx/DrawDevice.h"

namespace pellucor::chart {

using platform::RoundHalfEven;

namespace {

// Darkens the faces of one figure. The base colour is taken once, when the
// figure starts: the brush colour for a solid brush, else the canvas's
// background colour (so the gaps of a hatched face darken instead).
class Shader {
public:
    Shader(TChartCanvas3D& canvas, bool dark) : canvas_(canvas), dark_(dark) {
        solid_ = canvas.Brush && canvas.Brush->GetStyle() == TBrushStyle::Solid;
        base_ = solid_ ? canvas.Brush->GetColor() : canvas.GetBackColor();
    }
    // Shades by amount when the figure's dark flag is set.
    void Shade(int amount) {
        if (dark_) Put(ApplyDark(base_, amount));
    }
    // Puts the base colour back.
    void Restore() { Put(base_); }

private:
    void Put(TColor c) {
        if (solid_) canvas_.Brush->SetColor(c);
        else canvas_.SetBackColor(c);
    }
    TChartCanvas3D& canvas_;
    bool dark_;
    bool solid_ = false;
    TColor base_ = clWhite;
};

}  // namespace

void TChartCanvas3D::Cube(int left, int right, int top, int bottom, int z0, int z1, bool darkSides) {
    Shader sh(*this, darkSides);
    TPoint p[4];
    Calc3DPoint(p[0], left, top, z0);
    Calc3DPoint(p[1], right, top, z0);
    Calc3DPoint(p[2], right, bottom, z0);
    Calc3DPoint(p[3], left, bottom, z0);
    PolygonPoints(p, 4);

    TPoint rb0, rb1;
    Calc3DPoint(rb0, right, bottom, z0);
    Calc3DPoint(rb1, right, bottom, z1);
    const int side = rb1.x > rb0.x ? right : left;
    sh.Shade(DarkFactor1);
    Calc3DPoint(p[0], side, top, z0);
    Calc3DPoint(p[1], side, top, z1);
    Calc3DPoint(p[2], side, bottom, z1);
    Calc3DPoint(p[3], side, bottom, z0);
    PolygonPoints(p, 4);

    TPoint rt0, lt1;
    Calc3DPoint(rt0, right, top, z0);
    Calc3DPoint(lt1, left, top, z1);
    if (rt0.y > lt1.y) {
        sh.Shade(DarkFactor2);
        Calc3DPoint(p[0], left, top, z0);
        Calc3DPoint(p[1], right, top, z0);
        Calc3DPoint(p[2], right, top, z1);
        Calc3DPoint(p[3], left, top, z1);
        PolygonPoints(p, 4);
    }
}

void TChartCanvas3D::Pyramid(bool vertical, int left, int top, int right, int bottom, int z0, int z1,
                             bool darkSides) {
    Shader sh(*this, darkSides);
    if (vertical) {
        TPoint a, b, c, d, apex;
        Calc3DPoint(a, left, bottom, z0);
        Calc3DPoint(b, right, bottom, z0);
        Calc3DPoint(c, left, bottom, z1);
        Calc3DPoint(d, right, bottom, z1);
        Calc3DPoint(apex, (left + right) / 2, top, (z0 + z1) / 2);
        if (top != bottom) {
            const TPoint front[3] = {a, apex, b};
            PolygonPoints(front, 3);
            const bool leftSeen = top < bottom && c.y < apex.y;
            if (leftSeen) {
                const TPoint f[3] = {a, apex, c};
                PolygonPoints(f, 3);
            }
            sh.Shade(DarkFactor1);
            const TPoint right3[3] = {b, apex, d};
            PolygonPoints(right3, 3);
            if (leftSeen) {
                const TPoint back[3] = {apex, c, d};
                PolygonPoints(back, 3);
            }
        }
        if (top >= bottom) {
            sh.Shade(DarkFactor2);
            RectangleY(left, bottom, right, z0, z1);
        }
    } else {
        if (left != right) {
            TPoint a, b, apex, a1;
            Calc3DPoint(a, left, top, z0);
            Calc3DPoint(b, left, bottom, z0);
            Calc3DPoint(apex, right, (top + bottom) / 2, (z0 + z1) / 2);
            const TPoint front[3] = {a, apex, b};
            PolygonPoints(front, 3);
            sh.Shade(DarkFactor2);
            Calc3DPoint(a1, left, top, z1);
            const TPoint upper[3] = {a, apex, a1};
            PolygonPoints(upper, 3);
        }
        if (left >= right) {
            sh.Shade(DarkFactor1);
            RectangleZ(left, top, bottom, z0, z1);
        }
    }
}

void TChartCanvas3D::Cone(bool vertical, int left, int top, int right, int bottom, int z0, int z1,
                          int /*conePercent*/) {
    Pyramid(vertical, left, top, right, bottom, z0, z1, true);
}

void TChartCanvas3D::Sphere(int x, int y, int z, double radius) {
    const int r = RoundHalfEven(radius);
    EllipseWithZ(x - r, y - r, x + r, y + r, z);
}

void TChartCanvas3D::Cylinder(bool vertical, int left, int top, int right, int bottom, int z0, int z1,
                              bool darkCover) {
    Shader sh(*this, darkCover);
    constexpr double step = std::numbers::pi / 8;
    const int zc = (z0 + z1) / 2;
    const int zr = (z1 - z0) / 2;
    TPoint t[17], u[17];  // 1-based: t[1..16]
    int quads = 0;
    if (vertical) {
        const int xc = (left + right) / 2;
        const int xr = (right - left) / 2;
        const int y = std::min(top, bottom);
        const int h = std::abs(bottom - top);
        for (int i = 1; i <= 16; ++i) {
            const double a = (i - 4) * step;
            const int x = xc + RoundHalfEven(xr * std::sin(a));
            const int z = zc - RoundHalfEven(zr * std::cos(a));
            Calc3DPoint(t[i], x, y, z);
            Calc3DPoint(u[i], x, y + h, z);
        }
        for (int i = 2; i <= 16; ++i) {
            if (t[i - 1].x < t[i].x) {
                sh.Shade(16 * quads);
                const TPoint q[4] = {t[i - 1], t[i], u[i], u[i - 1]};
                PolygonPoints(q, 4);
                ++quads;
            }
        }
    } else {
        const int yc = (top + bottom) / 2;
        const int yr = (bottom - top) / 2;
        const int x = std::max(left, right);
        const int w = std::abs(right - left);
        for (int i = 1; i <= 16; ++i) {
            const double a = (i + 5) * step;
            const int y = yc + RoundHalfEven(yr * std::sin(a));
            const int z = zc - RoundHalfEven(zr * std::cos(a));
            Calc3DPoint(t[i], x, y, z);
            Calc3DPoint(u[i], x - w, y, z);
        }
        for (int i = 2; i <= 14; ++i) {
            if (t[i - 1].y < t[i].y) {
                sh.Shade(16 * quads);
                const TPoint q[4] = {t[i - 1], t[i], u[i], u[i - 1]};
                PolygonPoints(q, 4);
                ++quads;
            }
        }
    }
    sh.Shade(DarkFactor2);
    PolygonPoints(t + 1, 16);
}

void TChartCanvas3D::Pie3D(int xCenter, int yCenter, int xRadius, int yRadius, int z0, int z1,
                           double startAngle, double endAngle, bool darkSides, bool drawSides) {
    constexpr int n = 32;
    Shader sh(*this, darkSides);
    TPoint c1, c0;
    Calc3DPoint(c1, xCenter, yCenter, z1);
    Calc3DPoint(c0, xCenter, yCenter, z0);
    TPoint f[n + 1], g[n + 1];  // 1-based
    const double step = (endAngle - startAngle) / (n - 1);
    double a = startAngle;
    for (int i = 1; i <= n; ++i) {
        const int x = RoundHalfEven(xRadius * std::cos(a)) + xCenter;
        const int y = yCenter - RoundHalfEven(yRadius * std::sin(a));
        Calc3DPoint(f[i], x, y, z1);
        Calc3DPoint(g[i], x, y, z0);
        a += step;
    }
    if (drawSides) {
        if (f[n].x < xCenter) {
            sh.Shade(32);
            const TPoint cut[4] = {c1, f[n], g[n], c0};
            PolygonPoints(cut, 4);
        }
        if (f[1].x > xCenter) {
            sh.Shade(32);
            const TPoint cut[4] = {c1, f[1], g[1], c0};
            PolygonPoints(cut, 4);
        }
    }
    sh.Restore();
    std::vector<TPoint> face;
    face.reserve(n + 1);
    face.push_back(c1);
    for (int i = 1; i <= n; ++i) face.push_back(f[i]);
    PolygonPoints(face.data(), n + 1);

    // The rim: the stretch of the arc that turns toward the viewer.
    auto band = [&](int from, int to) {
        std::vector<TPoint> pts;
        for (int i = from; i <= to; ++i) pts.push_back(f[i]);
        for (int i = to; i >= from; --i) pts.push_back(g[i]);
        sh.Shade(32);
        PolygonPoints(pts.data(), static_cast<int>(pts.size()));
    };
    int i = 2;
    while (i <= n && !(f[i].x > f[i - 1].x)) ++i;
    if (i > n) return;
    const int first = i - 1;
    int last = 0;
    for (int j = i + 1; j <= n - 1; ++j)
        if (f[j + 1].x < f[j].x) {
            last = j;
            break;
        }
    if (last == 0 && f[n].x >= f[n - 1].x) last = n;
    if (last != 0) band(first, last);
    if (last != n && f[n].x > f[n - 1].x) {
        int k = n;
        while (k > 1 && f[k].x > f[k - 1].x) --k;
        if (k > 1) band(k, n);
    }
}

void TChartCanvas3D::Arrow(bool filled, const TPoint& from, const TPoint& to, int width, int height,
                           int z) {
    const double dx = to.x - from.x;
    const double dy = from.y - to.y;
    const double len = std::sqrt(dx * dx + dy * dy);
    if (len == 0) return;
    const double c = dx / len;
    const double s = dy / len;
    auto along = [&](const TPoint& p, double& u, double& v) {
        u = p.x * c - p.y * s;
        v = p.x * s + p.y * c;
    };
    auto screen = [&](double u, double v) {
        TPoint p{RoundHalfEven(u * c + v * s), RoundHalfEven(-u * s + v * c)};
        Calc3DTPoint(p, z);
        return p;
    };
    double ut = 0, vt = 0, uf = 0, vf = 0;
    along(to, ut, vt);
    along(from, uf, vf);
    const double head = std::min(RoundHalfEven(len), height);
    const double half = width / 2.0;
    const TPoint l = screen(ut - head, vt - half);
    const TPoint r = screen(ut - head, vt + half);
    TPoint tip = to;
    Calc3DTPoint(tip, z);
    if (!filled) {
        MoveTo3D(from.x, from.y, z);
        LineTo3D(to.x, to.y, z);
        LineTo(r.x, r.y);
        MoveTo(tip.x, tip.y);
        LineTo(l.x, l.y);
        return;
    }
    const double q = width / 4.0;
    const TPoint pts[7] = {screen(uf, vt + q), screen(uf, vt - q), screen(ut - head, vt - q), l, tip, r,
                           screen(ut - head, vt + q)};
    PolygonPoints(pts, 7);
}

}  // namespace pellucor::chart
