// The metafile devices read back with libUEMF: every record passes the
// library's own safety checks, and the records say what the drawing asked
// (objects, dash styles, the alternate-pixel pen, hatches, escapement,
// points, texts with their advances, clipping, pictures).
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include <uemf.h>
#include <uemf_safe.h>
#include <uemf_utf.h>
#include <uwmf.h>

#include "platform/gfx/Canvas.h"
#include "platform/gfx/MetafileDevice.h"
#include "platform_gfx/GuiTestEnvironment.h"

namespace pellucor::platform {
namespace {

std::string Hex(uint32_t v) {
    char b[16];
    std::snprintf(b, sizeof b, "%06X", v & 0xFFFFFF);
    return b;
}

// As the drawing layer writes colours: 0xBBGGRR.
std::string ColorText(U_COLORREF c) { return Hex(c.Red | (c.Green << 8) | (c.Blue << 16)); }

// One line per EMF record; fails the test on a record the library finds unsafe.
std::vector<std::string> DescribeEmf(const std::string& data) {
    std::vector<std::string> out;
    std::vector<uint32_t> words((data.size() + 3) / 4);
    std::memcpy(words.data(), data.data(), data.size());
    const char* p = reinterpret_cast<const char*>(words.data());
    const char* end = p + data.size();
    while (p + sizeof(U_EMR) <= end) {
        const auto* emr = reinterpret_cast<const U_EMR*>(p);
        if (emr->nSize < 8 || p + emr->nSize > end || !U_emf_record_safe(p)) {
            ADD_FAILURE() << "unsafe record " << emr->iType << " at " << (p - reinterpret_cast<const char*>(words.data()));
            return out;
        }
        std::string d = std::string(U_emr_names(emr->iType)).substr(6);  // without "U_EMR_"
        switch (emr->iType) {
            case U_EMR_CREATEPEN: {
                const auto* r = reinterpret_cast<const U_EMRCREATEPEN*>(p);
                d += " style=" + std::to_string(r->lopn.lopnStyle) + " width=" +
                     std::to_string(r->lopn.lopnWidth.x) + " " + ColorText(r->lopn.lopnColor);
                break;
            }
            case U_EMR_EXTCREATEPEN: {
                const auto* r = reinterpret_cast<const U_EMREXTCREATEPEN*>(p);
                d += " style=" + std::to_string(r->elp.elpPenStyle) + " " + ColorText(r->elp.elpColor);
                break;
            }
            case U_EMR_CREATEBRUSHINDIRECT: {
                const auto* r = reinterpret_cast<const U_EMRCREATEBRUSHINDIRECT*>(p);
                d += " style=" + std::to_string(r->lb.lbStyle) + " hatch=" + std::to_string(r->lb.lbHatch) +
                     " " + ColorText(r->lb.lbColor);
                break;
            }
            case U_EMR_EXTCREATEFONTINDIRECTW: {
                const auto* r = reinterpret_cast<const U_EMREXTCREATEFONTINDIRECTW*>(p);
                char* face = U_Utf16leToUtf8(r->elfw.elfLogFont.lfFaceName, U_LF_FACESIZE, nullptr);
                d += " height=" + std::to_string(r->elfw.elfLogFont.lfHeight) + " escapement=" +
                     std::to_string(r->elfw.elfLogFont.lfEscapement) + " " + (face ? face : "");
                std::free(face);
                break;
            }
            case U_EMR_POLYLINE:
            case U_EMR_POLYGON: {
                const auto* r = reinterpret_cast<const U_EMRPOLYLINE*>(p);
                for (uint32_t i = 0; i < r->cptl; ++i)
                    d += " " + std::to_string(r->aptl[i].x) + "," + std::to_string(r->aptl[i].y);
                break;
            }
            case U_EMR_RECTANGLE:
            case U_EMR_INTERSECTCLIPRECT: {
                const auto* r = reinterpret_cast<const U_EMRRECTANGLE*>(p);
                d += " " + std::to_string(r->rclBox.left) + "," + std::to_string(r->rclBox.top) + "," +
                     std::to_string(r->rclBox.right) + "," + std::to_string(r->rclBox.bottom);
                break;
            }
            case U_EMR_EXTTEXTOUTW: {
                const auto* r = reinterpret_cast<const U_EMREXTTEXTOUTW*>(p);
                const auto* text = reinterpret_cast<const uint16_t*>(p + r->emrtext.offString);
                char* s = U_Utf16leToUtf8(text, r->emrtext.nChars, nullptr);
                // The advances follow the text's rectangle.
                const auto offDx = *reinterpret_cast<const uint32_t*>(
                    reinterpret_cast<const char*>(&r->emrtext) + sizeof(U_EMRTEXT) + sizeof(U_RECTL));
                const auto* dx = reinterpret_cast<const uint32_t*>(p + offDx);
                uint32_t sum = 0;
                for (uint32_t i = 0; i < r->emrtext.nChars; ++i) sum += dx[i];
                d += " " + std::to_string(r->emrtext.ptlReference.x) + "," +
                     std::to_string(r->emrtext.ptlReference.y) + " \"" + (s ? s : "") + "\" advance=" +
                     std::to_string(sum);
                std::free(s);
                break;
            }
            case U_EMR_STRETCHDIBITS: {
                const auto* r = reinterpret_cast<const U_EMRSTRETCHDIBITS*>(p);
                d += " " + std::to_string(r->Dest.x) + "," + std::to_string(r->Dest.y) + " " +
                     std::to_string(r->cDest.x) + "x" + std::to_string(r->cDest.y) + " from " +
                     std::to_string(r->cSrc.x) + "x" + std::to_string(r->cSrc.y);
                break;
            }
            default: break;
        }
        out.push_back(d);
        if (emr->iType == U_EMR_EOF) break;
        p += emr->nSize;
    }
    return out;
}

std::vector<std::string> Named(const std::vector<std::string>& records, const std::string& prefix) {
    std::vector<std::string> out;
    for (const auto& r : records)
        if (r.rfind(prefix, 0) == 0) out.push_back(r);
    return out;
}

std::vector<std::string> Record(MetafileDevice& d) {
    const Metafile& m = d.Finish();
    return DescribeEmf(m.data);
}

PenDesc Pen(PenStyle s, int width = 1, Color c = 0x0000FF) { return PenDesc{s, width, c, PenMode::Copy}; }

TEST(EmfDevice, DashStylesAndTheAlternatePixelPen) {
    EmfDevice d(100, 100);
    const PenStyle styles[] = {PenStyle::Solid, PenStyle::Dash, PenStyle::Dot, PenStyle::DashDot,
                               PenStyle::DashDotDot, PenStyle::Alternate};
    int y = 0;
    for (PenStyle s : styles) {
        d.SelectPen(Pen(s));
        d.MoveTo(0, y);
        d.LineTo(50, y);
        y += 5;
    }
    const auto r = Record(d);
    EXPECT_EQ(Named(r, "CREATEPEN"), (std::vector<std::string>{
                                         "CREATEPEN style=0 width=1 0000FF",
                                         "CREATEPEN style=1 width=1 0000FF",
                                         "CREATEPEN style=2 width=1 0000FF",
                                         "CREATEPEN style=3 width=1 0000FF",
                                         "CREATEPEN style=4 width=1 0000FF",
                                     }));
    // Cosmetic alternate: style 8.
    EXPECT_EQ(Named(r, "EXTCREATEPEN"), (std::vector<std::string>{"EXTCREATEPEN style=8 0000FF"}));
    EXPECT_EQ(Named(r, "LINETO").size(), 6u);
}

TEST(EmfDevice, ObjectsAreMadeOnceAndSelectedWhenNeeded) {
    EmfDevice d(100, 100);
    for (int i = 0; i < 3; ++i) {
        d.SelectPen(Pen(PenStyle::Solid, 1, 0));
        d.MoveTo(0, i);
        d.LineTo(10, i);
        d.SelectPen(Pen(PenStyle::Solid, 2, 0));
        d.LineTo(20, i);
    }
    const auto r = Record(d);
    EXPECT_EQ(Named(r, "CREATEPEN").size(), 2u);
    EXPECT_EQ(Named(r, "SELECTOBJECT").size(), 6u);
}

TEST(EmfDevice, HatchBrushesFontsWithEscapementPolygonsAndText) {
    EmfDevice d(200, 100);
    d.SelectPen(Pen(PenStyle::Solid, 1, 0));
    d.SelectBrush({BrushStyle::DiagCross, 0x00FF00});
    d.Polygon({{10, 10}, {50, 10}, {30, 40}});
    d.Polyline({{1, 2}, {3, 4}, {5, 2}});
    d.SelectBrush({BrushStyle::Horizontal, 0x00FF00});
    d.Rectangle(60, 10, 90, 40);
    FontDesc f;
    f.name = "Arial";
    f.height = -11;
    f.escapement = 900;
    d.SelectFont(f);
    d.TextOut(100, 80, "Z'");
    Size ext;
    ASSERT_TRUE(d.GetTextExtent("Z'", ext));
    const auto r = Record(d);
    EXPECT_EQ(Named(r, "CREATEBRUSHINDIRECT"),
              (std::vector<std::string>{"CREATEBRUSHINDIRECT style=2 hatch=5 00FF00",
                                        "CREATEBRUSHINDIRECT style=2 hatch=0 00FF00"}));
    EXPECT_EQ(Named(r, "POLYGON"), (std::vector<std::string>{"POLYGON 10,10 50,10 30,40"}));
    EXPECT_EQ(Named(r, "POLYLINE"), (std::vector<std::string>{"POLYLINE 1,2 3,4 5,2"}));
    // Filled shapes keep their far edges inside the box.
    EXPECT_EQ(Named(r, "RECTANGLE"), (std::vector<std::string>{"RECTANGLE 60,10,89,39"}));
    EXPECT_EQ(Named(r, "EXTCREATEFONTINDIRECTW"),
              (std::vector<std::string>{"EXTCREATEFONTINDIRECTW height=-11 escapement=900 Arial"}));
    // The advances add up to the width the reference device measures.
    EXPECT_EQ(Named(r, "EXTTEXTOUTW"),
              (std::vector<std::string>{"EXTTEXTOUTW 100,80 \"Z'\" advance=" + std::to_string(ext.cx)}));
}

TEST(EmfDevice, AClipIsRecordedInLogicalUnitsAndTheStateIsSelectedAgainAfterIt) {
    EmfDevice d(200, 200);
    d.SetMapMode(MapMode::Anisotropic);
    d.SetWindowExt(100, 100);
    d.SetViewportExt(200, 200);
    d.SelectPen(Pen(PenStyle::Solid, 1, 0));
    d.SelectClipRect({20, 20, 120, 120});  // device units: logical 10..60
    d.MoveTo(0, 0);
    d.LineTo(100, 100);
    d.SelectNoClip();
    d.LineTo(0, 100);
    const auto r = Record(d);
    EXPECT_EQ(Named(r, "INTERSECTCLIPRECT"), (std::vector<std::string>{"INTERSECTCLIPRECT 10,10,60,60"}));
    // Saved before the clip, restored when it goes, the pen selected again
    // before the next line.
    std::vector<std::string> order;
    for (const auto& x : r)
        if (x == "SAVEDC" || x == "RESTOREDC" || x.rfind("SELECTOBJECT", 0) == 0 || x.rfind("LINETO", 0) == 0)
            order.push_back(x.substr(0, x.find(' ')));
    EXPECT_EQ(order, (std::vector<std::string>{"SAVEDC", "SELECTOBJECT", "LINETO", "RESTOREDC",
                                               "SELECTOBJECT", "LINETO"}));
}

TEST(EmfDevice, PicturesAreStretchedIntoTheirBox) {
    EmfDevice d(100, 100);
    QImage img(4, 3, QImage::Format_RGB32);
    img.fill(Qt::red);
    d.BitBlt(5, 6, img);
    d.StretchBlt({10, 10, 50, 40}, img);
    const auto r = Record(d);
    EXPECT_EQ(Named(r, "STRETCHDIBITS"), (std::vector<std::string>{"STRETCHDIBITS 5,6 4x3 from 4x3",
                                                                   "STRETCHDIBITS 10,10 40x30 from 4x3"}));
}

// --- WMF ---

struct WmfRecords {
    U_WMRPLACEABLE placeable{};
    std::vector<std::string> records;
};

WmfRecords DescribeWmf(const std::string& data) {
    WmfRecords out;
    const char* begin = data.data();
    const char* end = begin + data.size();
    U_WMRHEADER header{};
    const int hsize = wmfheader_get(begin, end, &out.placeable, &header);
    if (hsize <= 0) {
        ADD_FAILURE() << "no metafile header";
        return out;
    }
    const char* p = begin + hsize;
    while (p < end) {
        const size_t size = U_WMRRECSAFE_get(p, end);
        if (size == 0) {
            ADD_FAILURE() << "unsafe record at " << (p - begin);
            return out;
        }
        const auto* rec = reinterpret_cast<const U_METARECORD*>(p);
        std::string d = std::string(U_wmr_names(rec->iType)).substr(6);
        switch (rec->iType) {
            case U_WMR_CREATEPENINDIRECT: {
                U_PEN pen{};
                U_WMRCREATEPENINDIRECT_get(p, &pen);
                d += " style=" + std::to_string(pen.Style);
                break;
            }
            case U_WMR_CREATEBRUSHINDIRECT: {
                const char* b = nullptr;
                U_WMRCREATEBRUSHINDIRECT_get(p, &b);
                U_WLOGBRUSH lb;
                std::memcpy(&lb, b, sizeof lb);
                d += " style=" + std::to_string(lb.Style) + " hatch=" + std::to_string(lb.Hatch);
                break;
            }
            case U_WMR_CREATEFONTINDIRECT: {
                const char* f = nullptr;
                U_WMRCREATEFONTINDIRECT_get(p, &f);
                U_FONT font;
                std::memcpy(&font, f, sizeof font);
                d += " height=" + std::to_string(font.Height) + " escapement=" + std::to_string(font.Escapement) +
                     " " + std::string(f + offsetof(U_FONT, FaceName));
                break;
            }
            case U_WMR_EXTTEXTOUT: {
                U_POINT16 dst{};
                int16_t len = 0;
                uint16_t opts = 0;
                const char* s = nullptr;
                const int16_t* dx = nullptr;
                U_RECT16 rect{};
                U_WMREXTTEXTOUT_get(p, &dst, &len, &opts, &s, &dx, &rect);
                int sum = 0;
                for (int i = 0; i < len; ++i) {
                    int16_t v;
                    std::memcpy(&v, reinterpret_cast<const char*>(dx) + 2 * i, 2);
                    sum += v;
                }
                d += " " + std::to_string(dst.x) + "," + std::to_string(dst.y) + " \"" + std::string(s, len) +
                     "\" advance=" + std::to_string(sum);
                break;
            }
            case U_WMR_MOVETO:
            case U_WMR_LINETO: {
                U_POINT16 pt{};
                if (rec->iType == U_WMR_MOVETO) U_WMRMOVETO_get(p, &pt);
                else U_WMRLINETO_get(p, &pt);
                d += " " + std::to_string(pt.x) + "," + std::to_string(pt.y);
                break;
            }
            case U_WMR_POLYLINE:
            case U_WMR_POLYGON: {
                uint16_t n = 0;
                const char* data = nullptr;
                if (rec->iType == U_WMR_POLYLINE) U_WMRPOLYLINE_get(p, &n, &data);
                else U_WMRPOLYGON_get(p, &n, &data);
                for (uint16_t i = 0; i < n; ++i) {
                    U_POINT16 pt;
                    std::memcpy(&pt, data + i * sizeof pt, sizeof pt);
                    d += " " + std::to_string(pt.x) + "," + std::to_string(pt.y);
                }
                break;
            }
            case U_WMR_INTERSECTCLIPRECT: {
                U_RECT16 rc{};
                U_WMRINTERSECTCLIPRECT_get(p, &rc);
                d += " " + std::to_string(rc.left) + "," + std::to_string(rc.top) + "," +
                     std::to_string(rc.right) + "," + std::to_string(rc.bottom);
                break;
            }
            default: break;
        }
        out.records.push_back(d);
        if (rec->iType == U_WMR_EOF) break;
        p += size;
    }
    return out;
}

TEST(WmfDevice, PlaceableHeaderObjectsTextAndClip) {
    WmfDevice d(655, 356);
    d.SelectPen(Pen(PenStyle::Dash));
    d.MoveTo(0, 0);
    d.LineTo(100, 0);
    d.SelectPen(Pen(PenStyle::Alternate));
    d.LineTo(100, 100);
    d.SelectBrush({BrushStyle::BDiagonal, 0});
    d.SelectClipRect({10, 10, 300, 200});
    d.Polygon({{10, 10}, {50, 10}, {30, 40}});
    d.SelectNoClip();
    FontDesc f;
    f.height = -11;
    f.escapement = 900;
    d.SelectFont(f);
    d.TextOut(20, 300, "Z\xC2\xB0");  // "Z°": Latin-1 in this format
    Size ext;
    ASSERT_TRUE(d.GetTextExtent("Z\xC2\xB0", ext));
    const Metafile& m = d.Finish();
    EXPECT_FALSE(m.enhanced);
    const WmfRecords w = DescribeWmf(m.data);
    EXPECT_EQ(w.placeable.Dst.right - w.placeable.Dst.left, 655);
    EXPECT_EQ(w.placeable.Dst.bottom - w.placeable.Dst.top, 356);
    EXPECT_EQ(w.placeable.Inch, 96);
    // Logical units are the box's pixels.
    ASSERT_GE(w.records.size(), 3u);
    EXPECT_EQ(w.records[0], "SETMAPMODE");
    EXPECT_EQ(Named(w.records, "CREATEPENINDIRECT"),
              (std::vector<std::string>{"CREATEPENINDIRECT style=1", "CREATEPENINDIRECT style=2"}));
    EXPECT_EQ(Named(w.records, "CREATEBRUSHINDIRECT"),
              (std::vector<std::string>{"CREATEBRUSHINDIRECT style=2 hatch=3"}));
    EXPECT_EQ(Named(w.records, "INTERSECTCLIPRECT"), (std::vector<std::string>{"INTERSECTCLIPRECT 10,10,300,200"}));
    EXPECT_EQ(Named(w.records, "CREATEFONTINDIRECT"),
              (std::vector<std::string>{"CREATEFONTINDIRECT height=-11 escapement=900 Arial"}));
    EXPECT_EQ(Named(w.records, "EXTTEXTOUT"),
              (std::vector<std::string>{"EXTTEXTOUT 20,300 \"Z\xB0\" advance=" + std::to_string(ext.cx)}));
    EXPECT_EQ(w.records.back(), "EOF");
}

TEST(MetafileDevice, DrawingAfterFinishIsIgnoredAndFinishGivesTheSameBytes) {
    EmfDevice d(10, 10);
    d.MoveTo(0, 0);
    d.LineTo(5, 5);
    const std::string first = d.Finish().data;
    d.LineTo(9, 9);
    EXPECT_EQ(d.Finish().data, first);
    int w = 0, h = 0;
    EXPECT_TRUE(ReadEmfFrame(first, w, h));
    EXPECT_FALSE(ReadEmfFrame(first.substr(0, 40), w, h));
    EXPECT_FALSE(ReadEmfFrame(std::string(200, 'x'), w, h));
}

// --- the primitives drawn by independent renderers ---

std::string OutputPath(const std::string& name) {
    QDir().mkpath(PELLUCOR_TEST_OUTPUT_DIR);
    return std::string(PELLUCOR_TEST_OUTPUT_DIR) + "/" + name;
}

bool RunTool(const QString& program, const QStringList& args) {
    if (QStandardPaths::findExecutable(program).isEmpty()) return false;
    QProcess p;
    p.start(program, args);
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// A sheet of 300 x 200: a dashed row at y = 20, a cross-hatched box
// (20, 60)-(120, 160), and a text turned upright at x = 200.
// The white ground spans the sheet: libwmf crops its rendering to what is drawn.
void DrawSheet(MetafileDevice& d) {
    d.SelectBrush({BrushStyle::Solid, 0xFFFFFF});
    d.FillRect({0, 0, 300, 200});
    d.SetBkMode(BackMode::Transparent);
    d.SelectPen(Pen(PenStyle::Dash, 1, 0));
    d.MoveTo(10, 20);
    d.LineTo(290, 20);
    d.SelectPen(Pen(PenStyle::Clear));
    d.SelectBrush({BrushStyle::Cross, 0});
    d.Rectangle(20, 60, 121, 161);
    FontDesc f;
    f.name = "Arial";
    f.height = -24;
    f.escapement = 900;
    f.orientation = 900;
    d.SelectFont(f);
    d.SetTextAlign(TA_LEFT | TA_BOTTOM);
    d.TextOut(220, 190, "Impedance");
}

struct InkBox {
    int minX = 1 << 20, maxX = -1, minY = 1 << 20, maxY = -1;
};

bool Ink(QRgb c) { return qGray(c) < 160; }

InkBox InkIn(const QImage& img, int x0, int y0, int x1, int y1) {
    InkBox b;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (Ink(img.pixel(x, y))) {
                b.minX = std::min(b.minX, x);
                b.maxX = std::max(b.maxX, x);
                b.minY = std::min(b.minY, y);
                b.maxY = std::max(b.maxY, y);
            }
    return b;
}

// The rendering, scaled to the sheet's 300 x 200, shows dashes, a hatch
// (neither empty nor solid; emf2svg paints hatch brushes solid, so its
// rendering is not asked for one) and a text standing upright.
void ExpectSheet(QImage img, const char* what, bool hatch = true) {
    ASSERT_FALSE(img.isNull()) << what;
    img = img.convertToFormat(QImage::Format_RGB32).scaled(300, 200);
    // The dashed row: several separate runs of ink.
    int runs = 0;
    bool inRun = false;
    for (int x = 0; x < 300; ++x) {
        bool any = false;
        for (int y = 17; y <= 23; ++y) any = any || Ink(img.pixel(x, y));
        if (any && !inRun) ++runs;
        inRun = any;
    }
    EXPECT_GE(runs, 5) << what << ": dashes";
    int inked = 0;
    for (int y = 65; y < 155; ++y)
        for (int x = 25; x < 115; ++x) inked += Ink(img.pixel(x, y)) ? 1 : 0;
    const double share = inked / (90.0 * 90.0);
    EXPECT_GT(share, 0.05) << what << ": hatch";
    if (hatch) {
        EXPECT_LT(share, 0.6) << what << ": hatch";
    }
    const InkBox text = InkIn(img, 160, 40, 300, 200);
    ASSERT_GE(text.maxX, 0) << what << ": text";
    EXPECT_GT(text.maxY - text.minY, 2 * (text.maxX - text.minX)) << what << ": upright text";
}

TEST(MetafileRenderings, EmfSheetDrawnByEmf2svg) {
    EmfDevice d(300, 200);
    DrawSheet(d);
    const std::string emf = OutputPath("metafile_sheet.emf");
    const std::string svg = OutputPath("metafile_sheet_emf.svg");
    const std::string png = OutputPath("metafile_sheet_emf2svg.png");
    {
        QFile f(QString::fromStdString(emf));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        const std::string& data = d.Finish().data;
        f.write(data.data(), static_cast<qint64>(data.size()));
    }
    ASSERT_TRUE(RunTool("emf2svg-conv", {"-i", QString::fromStdString(emf), "-o", QString::fromStdString(svg)}));
    ASSERT_TRUE(RunTool("rsvg-convert", {"-w", "300", "-h", "200", "-b", "white", "-o",
                                         QString::fromStdString(png), QString::fromStdString(svg)}));
    ExpectSheet(QImage(QString::fromStdString(png)), "emf2svg", false);
}

TEST(MetafileRenderings, WmfSheetDrawnByLibwmf) {
    WmfDevice d(300, 200);
    DrawSheet(d);
    const std::string wmf = OutputPath("metafile_sheet.wmf");
    const std::string png = OutputPath("metafile_sheet_wmf2gd.png");
    {
        QFile f(QString::fromStdString(wmf));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        const std::string& data = d.Finish().data;
        f.write(data.data(), static_cast<qint64>(data.size()));
    }
    ASSERT_TRUE(RunTool("wmf2gd", {"-t", "png", "--maxwidth=300", "--maxheight=200", "-o",
                                   QString::fromStdString(png), QString::fromStdString(wmf)}));
    ExpectSheet(QImage(QString::fromStdString(png)), "wmf2gd");
}

// The points of one record described by DescribeWmf ("LINETO 3,4" -> (3, 4)).
std::vector<Point> RecordPoints(const std::string& record) {
    std::vector<Point> out;
    size_t at = record.find(' ');
    while (at != std::string::npos) {
        const size_t comma = record.find(',', at);
        out.push_back({std::stoi(record.substr(at + 1, comma - at - 1)), std::stoi(record.substr(comma + 1))});
        at = record.find(' ', comma);
    }
    return out;
}

// The segments a player draws from the line records, following its current position.
std::vector<std::pair<Point, Point>> PlayedSegments(const std::vector<std::string>& records) {
    std::vector<std::pair<Point, Point>> out;
    Point pos;
    for (const auto& r : records) {
        const bool line = r.rfind("MOVETO", 0) == 0 || r.rfind("LINETO", 0) == 0 || r.rfind("POLYLINE", 0) == 0;
        if (!line) continue;
        const std::vector<Point> pts = RecordPoints(r);
        if (r.rfind("MOVETO", 0) == 0) pos = pts[0];
        if (r.rfind("LINETO", 0) == 0) {
            out.push_back({pos, pts[0]});
            pos = pts[0];
        }
        if (r.rfind("POLYLINE", 0) == 0)
            for (size_t i = 1; i < pts.size(); ++i) out.push_back({pts[i - 1], pts[i]});
    }
    return out;
}

// Even-odd test of (x, y) against a polygon.
bool InsidePolygon(const std::vector<Point>& poly, double x, double y) {
    bool in = false;
    for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        const double xi = poly[i].x, yi = poly[i].y, xj = poly[j].x, yj = poly[j].y;
        if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) in = !in;
    }
    return in;
}

// Points beyond the format's 16-bit coordinates (a zoomed plot's neighbours)
// keep the course of their lines and fills: pulling each point into the
// range turned a line of slope 1/2 toward (32767, 32767).
TEST(WmfDevice, LinesAndFillsToFarPointsKeepTheirCourse) {
    // Lines on y = x / 2 + 5 (LineTo) and y = x / 2 + 25 (a polyline).
    WmfDevice lines(300, 200);
    lines.SelectPen(Pen(PenStyle::Solid, 1, 0));
    lines.MoveTo(10, 10);
    lines.LineTo(100010, 50010);
    lines.LineTo(100010, 90000);  // wholly outside: nothing to draw
    lines.LineTo(100010, 50010);
    lines.LineTo(210, 110);  // back in from far away
    lines.Polyline({{-99990, -49970}, {10, 30}, {100010, 50030}, {100010, 90000}});
    const std::vector<std::pair<Point, Point>> segs = PlayedSegments(DescribeWmf(lines.Finish().data).records);
    struct Expected {
        double offset;  // y - x / 2
        int fromX, toX;
    };
    const Expected expected[] = {{5, 10, 32767}, {5, 210, 32767}, {25, -32768, 10}, {25, 10, 32767}};
    ASSERT_EQ(segs.size(), std::size(expected));
    for (size_t i = 0; i < segs.size(); ++i) {
        for (const Point& p : {segs[i].first, segs[i].second})
            EXPECT_NEAR(p.y - p.x / 2.0, expected[i].offset, 1.0) << "segment " << i << " point " << p.x << "," << p.y;
        EXPECT_EQ(std::min(segs[i].first.x, segs[i].second.x), expected[i].fromX) << "segment " << i;
        EXPECT_EQ(std::max(segs[i].first.x, segs[i].second.x), expected[i].toX) << "segment " << i;
    }
    // The filled area below y = x / 2 + 60.
    WmfDevice fill(300, 200);
    fill.SelectBrush({BrushStyle::Solid, 0});
    fill.Polygon({{0, 60}, {200000, 100060}, {0, 100060}});
    const std::vector<std::string> polys = Named(DescribeWmf(fill.Finish().data).records, "POLYGON");
    ASSERT_EQ(polys.size(), 1u);
    const std::vector<Point> poly = RecordPoints(polys[0]);
    for (const Point& p : poly) {
        EXPECT_GE(p.y, -32768);
        EXPECT_LE(p.x, 32767);
    }
    for (int x = 0; x <= 300; x += 20) {
        EXPECT_TRUE(InsidePolygon(poly, x + 0.5, x / 2.0 + 61.5)) << "x = " << x;
        EXPECT_FALSE(InsidePolygon(poly, x + 0.5, x / 2.0 + 58.5)) << "x = " << x;
    }
}

// A record holds at most 32767 points: a longer polyline (a fast line of
// many points) goes on in further records instead of losing its tail.
TEST(WmfDevice, LongPolylinesGoOnInFurtherRecords) {
    WmfDevice d(300, 200);
    d.SelectPen(Pen(PenStyle::Solid, 1, 0));
    std::vector<Point> zigzag;
    for (int i = 0; i < 70000; ++i) zigzag.push_back({i % 300, (i / 300) % 2 == 0 ? i % 200 : 199 - i % 200});
    d.Polyline(zigzag);
    const auto segs = PlayedSegments(DescribeWmf(d.Finish().data).records);
    ASSERT_EQ(segs.size(), zigzag.size() - 1);
    for (size_t i = 0; i < segs.size(); ++i) {
        ASSERT_EQ(segs[i].first, zigzag[i]) << i;
        ASSERT_EQ(segs[i].second, zigzag[i + 1]) << i;
    }
}

}  // namespace
}  // namespace pellucor::platform
