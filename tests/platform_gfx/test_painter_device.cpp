// Pixel read-back of the drawing layer on pictures in memory: the far-edge
// rules, one-pixel pens and their dashes, clipping, hatches, mapping, text.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <limits>
#include <string>
#include <vector>

#include "FileSizeLimit.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/PainterDevice.h"
#include "platform/gfx/RecordingDevice.h"
#include "platform_gfx/GuiTestEnvironment.h"

namespace pellucor::platform {
namespace {

constexpr Color kWhite = 0xFFFFFF;
constexpr Color kBlack = 0x000000;
constexpr Color kRed = 0x0000FF;
constexpr Color kBlue = 0xFF0000;

// '#' for colour c, '.' for white, '?' else.
char Ink(long long pixel, Color c) { return pixel == c ? '#' : (pixel == kWhite ? '.' : '?'); }

// Row y (or column x) of the picture as a string of Ink characters.
std::string Row(ImageDevice& d, int y, int x0, int x1, Color c = kBlack) {
    std::string s;
    for (int x = x0; x <= x1; ++x) s += Ink(d.PixelAt(x, y), c);
    return s;
}

std::string Column(ImageDevice& d, int x, int y0, int y1, Color c = kBlack) {
    std::string s;
    for (int y = y0; y <= y1; ++y) s += Ink(d.PixelAt(x, y), c);
    return s;
}

// The smallest box holding every pixel that is not white; maxX stays -1 on a
// blank picture.
struct InkBox {
    int minX = 1 << 20, maxX = -1, minY = 1 << 20, maxY = -1;
};

InkBox InkBounds(ImageDevice& d) {
    InkBox b;
    for (int y = 0; y < d.Height(); ++y)
        for (int x = 0; x < d.Width(); ++x)
            if (d.PixelAt(x, y) != kWhite) {
                b.minX = std::min(b.minX, x);
                b.maxX = std::max(b.maxX, x);
                b.minY = std::min(b.minY, y);
                b.maxY = std::max(b.maxY, y);
            }
    return b;
}

PenDesc ThinPen(PenStyle s = PenStyle::Solid, Color c = kBlack) {
    PenDesc p;
    p.style = s;
    p.width = 1;
    p.color = c;
    return p;
}

class PainterDeviceTest : public ::testing::Test {
protected:
    ImageDevice dev{24, 24};
    void SetUp() override {
        dev.SelectPen(ThinPen());
        dev.SelectBrush({BrushStyle::Solid, kRed});
        dev.SetBkMode(BackMode::Transparent);
    }
};

TEST_F(PainterDeviceTest, LinesLeaveOutTheirLastPoint) {
    dev.MoveTo(2, 5);
    dev.LineTo(10, 5);
    EXPECT_EQ(Row(dev, 5, 0, 12), "..########...");
    dev.MoveTo(4, 8);
    dev.LineTo(4, 3);  // upwards: the end row 3 stays white
    EXPECT_EQ(Column(dev, 4, 2, 9), "..#####.");
    EXPECT_EQ(dev.CurrentPosition(), (Point{4, 3}));
}

TEST_F(PainterDeviceTest, PolylineLeavesOutOnlyTheFinalPoint) {
    dev.Polyline({{2, 2}, {8, 2}, {8, 6}});
    EXPECT_EQ(Row(dev, 2, 1, 9), ".#######.");
    EXPECT_EQ(Column(dev, 8, 2, 7), "####..");
}

TEST_F(PainterDeviceTest, RectangleCoversTheBoxWithoutItsFarEdges) {
    dev.Rectangle(2, 2, 8, 6);
    EXPECT_EQ(Row(dev, 2, 1, 9), ".######..");
    EXPECT_EQ(Row(dev, 5, 1, 9), ".######..");
    EXPECT_EQ(Row(dev, 6, 1, 9), ".........");
    EXPECT_EQ(Row(dev, 3, 1, 9, kRed), ".?####?..") << "outline black, interior the brush";
    EXPECT_EQ(dev.PixelAt(2, 3), kBlack);
    EXPECT_EQ(dev.PixelAt(7, 3), kBlack);
}

TEST_F(PainterDeviceTest, RectangleWithClearPenFillsOnePixelLess) {
    dev.SelectPen(ThinPen(PenStyle::Clear));
    dev.Rectangle(2, 2, 8, 6);
    EXPECT_EQ(Row(dev, 2, 1, 9, kRed), ".#####...");
    EXPECT_EQ(Column(dev, 2, 1, 7, kRed), ".###...");
}

TEST_F(PainterDeviceTest, FillRectCoversLeftTopToRightBottomExclusive) {
    dev.FillRect({2, 2, 8, 6});
    EXPECT_EQ(Row(dev, 2, 1, 9, kRed), ".######..");
    EXPECT_EQ(Column(dev, 7, 1, 7, kRed), ".####..");
}

TEST_F(PainterDeviceTest, AlternatePenSetsEveryOtherPixel) {
    dev.SelectPen(ThinPen(PenStyle::Alternate));
    dev.MoveTo(0, 1);
    dev.LineTo(12, 1);
    EXPECT_EQ(Row(dev, 1, 0, 12), "#.#.#.#.#.#..");
    dev.MoveTo(3, 4);
    dev.LineTo(3, 12);
    EXPECT_EQ(Column(dev, 3, 4, 12), "#.#.#.#..");
}

TEST_F(PainterDeviceTest, DashStylesFollowDevicePixels) {
    dev.SelectPen(ThinPen(PenStyle::Dot));
    dev.MoveTo(0, 1);
    dev.LineTo(14, 1);
    EXPECT_EQ(Row(dev, 1, 0, 13), "###...###...##");
    // In opaque mode the gaps take the background colour.
    dev.SetBkMode(BackMode::Opaque);
    dev.SetBkColor(kBlue);
    dev.MoveTo(0, 3);
    dev.LineTo(12, 3);
    EXPECT_EQ(Row(dev, 3, 0, 5, kBlue), "???###") << "black dots, blue gaps";
    // A wide pen draws solid whatever its style.
    ImageDevice wide(24, 24);
    PenDesc p = ThinPen(PenStyle::Dot);
    p.width = 3;
    wide.SelectPen(p);
    wide.MoveTo(2, 10);
    wide.LineTo(20, 10);
    EXPECT_EQ(Row(wide, 10, 4, 18), "###############");
}

// A line toward a point millions of pixels away (a zoomed plot's next point)
// is laid only where it crosses the picture: walking every pixel took half a
// second a line.
TEST(PainterDeviceLines, LinesToFarPointsAreQuickAndKeepTheirCourse) {
    ImageDevice d(400, 300);
    d.SelectPen(ThinPen());
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < 200; ++i) {
        d.MoveTo(10, 10);
        d.LineTo(4194304, 2097162);
        d.Polyline({{4194304, 10}, {-4194304, 10}});
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    EXPECT_LT(seconds, 2.0);
    // Slope 2097152 / 4194294: y = 10 + (x - 10) / 2 on this picture.
    EXPECT_EQ(Column(d, 210, 108, 112), "..#..");
    EXPECT_EQ(Column(d, 398, 202, 206), "..#..");
    EXPECT_EQ(Row(d, 10, 0, 5), "######");
    // The dots go on counting over the part left out: 1004 pixels from x =
    // -1000 to 3 (phases 0 to 1003; on where phase mod 6 < 3), then down.
    ImageDevice dots(12, 12);
    dots.SelectPen(ThinPen(PenStyle::Dot));
    dots.Polyline({{-1000, 2}, {4, 2}, {4, 10}});
    EXPECT_EQ(Row(dots, 2, 0, 3), "..##");
    EXPECT_EQ(Column(dots, 4, 2, 10), "#...###..");
}

// The part of a line over a small picture has the pixels and dashes the same
// line has on a picture that holds all of it.
TEST(PainterDeviceLines, ALineCutToThePictureLaysTheSamePixelsAsTheWholeLine) {
    constexpr int kShift = 1500;
    ImageDevice whole(3000, 3000);
    unsigned seed = 12345;
    auto next = [&seed](int range) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 8) % (2 * range + 1)) - range;
    };
    for (PenStyle style : {PenStyle::Solid, PenStyle::DashDot}) {
        for (int line = 0; line < 150; ++line) {
            ImageDevice part(60, 40);
            const Point a{next(1400), next(1400)};
            const Point b{next(1400), next(1400)};
            const Point c{next(40) + 30, next(30) + 20};  // a bend over the picture
            whole.SelectBrush({BrushStyle::Solid, kWhite});
            whole.FillRect({kShift - 2, kShift - 2, kShift + 62, kShift + 42});
            for (ImageDevice* d : {&part, &whole}) {
                const int s = d == &whole ? kShift : 0;
                d->SelectPen(ThinPen(style));
                d->Polyline({{a.x + s, a.y + s}, {c.x + s, c.y + s}, {b.x + s, b.y + s}});
            }
            for (int y = 0; y < 40; ++y)
                for (int x = 0; x < 60; ++x)
                    ASSERT_EQ(part.PixelAt(x, y), whole.PixelAt(x + kShift, y + kShift))
                        << "line " << line << " (" << a.x << ", " << a.y << ") (" << c.x << ", " << c.y
                        << ") (" << b.x << ", " << b.y << ") at " << x << ", " << y;
        }
    }
}

// A box that covers no pixel (a pie or rounded frame shrunk to nothing in a
// tiny chart) draws nothing, like Rectangle and Ellipse; rounded boxes, arcs
// and pies used to leave two or three stray pixels.
TEST(PainterDeviceShapes, EmptyBoxesDrawNothing) {
    const struct {
        const char* what;
        int x1, y1, x2, y2;
    } boxes[] = {{"point", 5, 5, 5, 5}, {"no width", 5, 2, 5, 12}, {"no height", 2, 5, 12, 5}};
    for (const auto& b : boxes) {
        for (int shape = 0; shape < 5; ++shape) {
            ImageDevice d(20, 20);
            d.SelectPen(ThinPen());
            d.SelectBrush({BrushStyle::Solid, kRed});
            switch (shape) {
                case 0: d.RoundRect(b.x1, b.y1, b.x2, b.y2, 4, 4); break;
                case 1: d.Arc(b.x1, b.y1, b.x2, b.y2, 0, 0, 19, 19); break;
                case 2: d.Pie(b.x1, b.y1, b.x2, b.y2, 0, 0, 19, 19); break;
                case 3: d.Ellipse(b.x1, b.y1, b.x2, b.y2); break;
                default: d.Rectangle(b.x1, b.y1, b.x2, b.y2); break;
            }
            EXPECT_EQ(InkBounds(d).maxX, -1) << b.what << ", shape " << shape;
        }
    }
}

TEST_F(PainterDeviceTest, RectangularClipKeepsItsFarEdgesOut) {
    dev.SelectClipRect({5, 5, 10, 10});
    dev.FillRect({0, 0, 24, 24});
    EXPECT_EQ(Row(dev, 7, 3, 11, kRed), "..#####..");
    EXPECT_EQ(Column(dev, 7, 3, 11, kRed), "..#####..");
    dev.SelectNoClip();
    dev.SelectBrush({BrushStyle::Solid, kBlue});
    dev.FillRect({0, 0, 2, 2});
    EXPECT_EQ(dev.PixelAt(1, 1), kBlue);
    // Corners the other way round clip to the same box (they used to clip
    // everything away).
    ImageDevice flipped(24, 24);
    flipped.SelectClipRect({10, 10, 5, 5});
    flipped.SelectBrush({BrushStyle::Solid, kRed});
    flipped.FillRect({0, 0, 24, 24});
    EXPECT_EQ(Row(flipped, 7, 3, 11, kRed), "..#####..");
    EXPECT_EQ(Column(flipped, 7, 3, 11, kRed), "..#####..");
}

TEST_F(PainterDeviceTest, PolygonClipUsesTheOutline) {
    // A triangle with its right angle at the top left.
    dev.SelectClipPolygon({{0, 0}, {20, 0}, {0, 20}});
    dev.FillRect({0, 0, 24, 24});
    EXPECT_EQ(dev.PixelAt(2, 2), kRed);
    EXPECT_EQ(dev.PixelAt(15, 15), kWhite);
    EXPECT_EQ(dev.PixelAt(18, 0), kRed);
    EXPECT_EQ(dev.PixelAt(0, 18), kRed);
}

TEST_F(PainterDeviceTest, EllipseStaysInsideItsBox) {
    dev.Ellipse(2, 4, 13, 15);  // 11 x 11 pixels: columns 2..12, rows 4..14
    const InkBox b = InkBounds(dev);
    EXPECT_EQ(b.minX, 2);
    EXPECT_EQ(b.maxX, 12);
    EXPECT_EQ(b.minY, 4);
    EXPECT_EQ(b.maxY, 14);
    EXPECT_EQ(dev.PixelAt(7, 9), kRed) << "filled with the brush";
}

TEST_F(PainterDeviceTest, PolygonOutlineIncludesEveryVertex) {
    dev.Polygon({{2, 2}, {9, 2}, {9, 9}, {2, 9}});
    EXPECT_EQ(Row(dev, 2, 1, 10), ".########.");
    EXPECT_EQ(Row(dev, 9, 1, 10), ".########.");
    EXPECT_EQ(Row(dev, 5, 1, 10, kRed), ".?######?.");
}

TEST_F(PainterDeviceTest, NotXorPenDrawnTwiceRestoresThePicture) {
    dev.FillRect({0, 0, 24, 12});  // half red, half white
    PenDesc p = ThinPen();
    p.mode = PenMode::NotXor;
    dev.SelectPen(p);
    dev.SelectBrush({BrushStyle::Clear, 0});
    dev.Rectangle(3, 3, 20, 20);
    EXPECT_NE(dev.PixelAt(3, 3), kRed);
    EXPECT_NE(dev.PixelAt(3, 15), kWhite);
    dev.Rectangle(3, 3, 20, 20);
    EXPECT_EQ(dev.PixelAt(3, 3), kRed);
    EXPECT_EQ(dev.PixelAt(3, 15), kWhite);
    EXPECT_EQ(dev.PixelAt(19, 19), kWhite);
}

TEST_F(PainterDeviceTest, HatchGapsShowTheBackgroundOnlyWhenOpaque) {
    dev.SelectBrush({BrushStyle::Cross, kWhite});
    dev.SetBkMode(BackMode::Opaque);
    dev.SetBkColor(kBlack);
    dev.FillRect({0, 0, 16, 16});
    int white = 0, black = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const long long c = dev.PixelAt(x, y);
            if (c == kWhite) ++white;
            else if (c == kBlack) ++black;
        }
    EXPECT_EQ(white + black, 256);
    EXPECT_EQ(white, 4 * 15) << "one row and one column per 8 x 8 tile";

    ImageDevice see(16, 16);
    see.SelectBrush({BrushStyle::Horizontal, kBlue});
    see.SetBkMode(BackMode::Transparent);
    see.FillRect({0, 0, 16, 16});
    int blue = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) blue += see.PixelAt(x, y) == kBlue;
    EXPECT_EQ(blue, 32);
}

TEST_F(PainterDeviceTest, AnisotropicMappingScalesLogicalUnits) {
    dev.SetMapMode(MapMode::Anisotropic);
    dev.SetWindowExt(100, 100);
    dev.SetViewportExt(200, 100);
    EXPECT_EQ(dev.LPtoDP({5, 7}), (Point{10, 7}));
    EXPECT_EQ(dev.DPtoLP({10, 7}), (Point{5, 7}));
    // Printing maps a far point (a projected one can reach the end of the
    // int range) beyond the range: it stays on its side instead of wrapping.
    constexpr int kMax = std::numeric_limits<int>::max();
    constexpr int kMin = std::numeric_limits<int>::min();
    EXPECT_EQ(dev.LPtoDP({kMax - 5, kMin}), (Point{kMax, kMin}));
    EXPECT_EQ(dev.LPtoDP({-1500000000, 1500000000}), (Point{kMin, 1500000000}));
    dev.SetMapMode(MapMode::Text);
    dev.SetViewportOrg(10, -10);
    EXPECT_EQ(dev.LPtoDP({kMax - 5, kMin + 5}), (Point{kMax, kMin}));
    EXPECT_EQ(dev.DPtoLP({kMin + 5, kMax - 5}), (Point{kMin, kMax}));
    dev.SetViewportOrg(0, 0);
    dev.SetMapMode(MapMode::Anisotropic);
    dev.FillRect({1, 1, 5, 5});
    EXPECT_EQ(Row(dev, 2, 1, 11, kRed), ".########..");
}

TEST_F(PainterDeviceTest, TextIsMeasuredAndRotated) {
    ImageDevice img(120, 120);
    FontDesc f;
    f.name = "Arial";
    f.height = -16;
    img.SelectFont(f);
    img.SetTextColor(kBlack);
    img.SetBkMode(BackMode::Transparent);
    Size ext;
    ASSERT_TRUE(img.GetTextExtent("Wide text", ext));
    EXPECT_GT(ext.cx, 40);
    EXPECT_GE(ext.cy, 16);
    EXPECT_LE(ext.cy, 22);

    f.escapement = 900;  // bottom to top
    img.SelectFont(f);
    img.TextOut(60, 100, "Wide text");
    const InkBox b = InkBounds(img);
    ASSERT_GE(b.maxX, 0);
    EXPECT_GT(b.maxY - b.minY, 2 * (b.maxX - b.minX)) << "written upwards";
    EXPECT_LE(b.maxY, 100);
    EXPECT_GE(b.minX, 60) << "top alignment puts the text below its baseline's left, i.e. right of x";
}

TEST_F(PainterDeviceTest, TextAlignmentMovesTheReferencePoint) {
    ImageDevice img(200, 60);
    FontDesc f;
    f.height = -16;
    img.SelectFont(f);
    img.SetBkMode(BackMode::Transparent);
    img.SetTextAlign(TA_RIGHT | TA_BOTTOM);
    img.TextOut(100, 40, "Right");
    const InkBox b = InkBounds(img);
    EXPECT_LE(b.maxX, 100);  // antialiased ink may touch the reference column
    EXPECT_GT(b.maxX, 90);
    EXPECT_LT(b.maxY, 40);
    EXPECT_LT(b.minX, 80);
}

TEST_F(PainterDeviceTest, BitmapCopiesLandUnscaledOrStretched) {
    QImage src(2, 2, QImage::Format_RGB32);
    src.fill(QColor(0, 0, 255));
    dev.BitBlt(3, 3, src);
    EXPECT_EQ(Row(dev, 3, 2, 6, kBlue), ".##..");
    dev.StretchBlt({10, 10, 16, 12}, src);
    EXPECT_EQ(Row(dev, 11, 9, 17, kBlue), ".######..");
}

TEST(PdfDevice, WritesAPdfFile) {
    const std::string path = std::string(PELLUCOR_TEST_OUTPUT_DIR) + "/gfx_test.pdf";
    QFile::remove(QString::fromStdString(path));
    {
        PdfDevice pdf(path, 300);
        EXPECT_GT(pdf.PageWidth(), 2000);
        pdf.SelectPen(ThinPen());
        pdf.Rectangle(100, 100, 1000, 600);
        FontDesc f;
        f.height = -40;
        pdf.SelectFont(f);
        pdf.TextOut(120, 120, "Printed");
    }
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.read(4), QByteArray("%PDF"));
}

TEST(Canvas, RealisesObjectsLazilyAndSolidBrushesPaintTextBackground) {
    RecordingDevice rec;
    rec.recordState = true;
    Canvas c(&rec);
    c.GetPen().SetColor(0x0000FF);
    c.GetBrush().SetStyle(BrushStyle::Clear);
    EXPECT_TRUE(rec.calls.empty()) << "nothing reaches the device before drawing";
    c.LineTo(5, 5);
    EXPECT_EQ(rec.CallsStartingWith("SelectPen"), std::vector<std::string>{"SelectPen Solid 1 FF0000 Copy"});
    EXPECT_EQ(rec.GetBkMode(), BackMode::Transparent);
    c.GetBrush().SetStyle(BrushStyle::Solid);
    c.GetBrush().SetColor(0x00FF00);
    c.Rectangle(0, 0, 4, 4);
    EXPECT_EQ(rec.GetBkMode(), BackMode::Opaque);
    EXPECT_EQ(rec.GetBkColor(), 0x00FF00u);
    // A font's point size is realised at the device's resolution.
    c.GetFont().SetSize(12);
    c.TextOut(1, 2, "ab");
    EXPECT_EQ(rec.CurrentFont().height, -16);
    EXPECT_EQ(rec.CallsStartingWith("TextOut"), std::vector<std::string>{"TextOut 1 2 ab"});
}

// A font given in pixels is realised at that very height: "height -10" on
// a 96-pixel screen is 7.5 points, and a round trip through whole points
// would draw it 11 pixels high.
TEST(Font, KeepsAHeightGivenInPixels) {
    for (int h : {-10, -11, -12, -13, -14, -15, -18, -22, 10, 14}) {
        Font f;
        f.SetHeight(h);
        EXPECT_EQ(f.GetHeight(), h);
        EXPECT_EQ(f.Desc().height, h);
    }
    Font f;
    f.SetHeight(-10);
    EXPECT_EQ(f.GetSize(), 8) << "7.5 points, rounded away from zero";
    f.SetSize(8);
    EXPECT_EQ(f.GetHeight(), -11) << "8 points are 10.67 pixels";
    f.SetHeight(14);
    EXPECT_EQ(f.GetSize(), -11) << "a cell height has a negative size";

    // Through a canvas, as the frequency labels of the main chart set it.
    RecordingDevice rec;
    Canvas c(&rec);
    c.GetFont().SetHeight(-10);
    c.TextOut(0, 0, "x");
    EXPECT_EQ(rec.CurrentFont().height, -10);

    // Another font at the same resolution is copied pixel for pixel; at
    // another resolution by its point size.
    Font screen;
    screen.SetHeight(-14);
    Font same;
    same.AssignFont(screen);
    EXPECT_EQ(same.GetHeight(), -14);
    Font printer;
    printer.SetPixelsPerInch(600);
    printer.AssignFont(screen);
    EXPECT_EQ(printer.GetSize(), 11);  // 10.5 points
    EXPECT_EQ(printer.GetHeight(), -92);  // 11 * 600 / 72 = 91.67
}

TEST(Bitmap, KeepsItsSizeAndIsRecreatedOnChange) {
    Bitmap b;
    EXPECT_TRUE(b.Empty());
    b.SetWidth(30);
    b.SetHeight(20);
    ASSERT_NE(b.Device(), nullptr);
    EXPECT_EQ(b.Image().size(), QSize(30, 20));
    b.GetCanvas().GetBrush().SetColor(0x0000FF);
    b.GetCanvas().FillRect({0, 0, 30, 20});
    EXPECT_EQ(b.Device()->PixelAt(29, 19), kRed);
    b.SetSize(30, 21);
    EXPECT_EQ(b.Device()->PixelAt(29, 19), kWhite) << "a new picture is white";
}

// A bitmap saved over an earlier picture: read back as drawn; and when the
// disk fills up on the way, the save says so and the earlier picture stays
// whole under its name, with nothing left beside it.
TEST(Bitmap, SavesWholeOrLeavesTheEarlierPicture) {
    QTemporaryDir dir;
    const QString path = dir.filePath("plot.bmp");
    Bitmap b;
    b.SetSize(200, 150);
    b.GetCanvas().GetBrush().SetColor(0x0000FF);
    b.GetCanvas().FillRect({0, 0, 200, 150});
    ASSERT_TRUE(b.SaveToFile(path.toStdString()));
    QImage back(path);
    ASSERT_EQ(back.size(), QSize(200, 150));
    EXPECT_EQ(back.pixel(199, 149) & 0xFFFFFF, 0xFF0000u);  // red, as QRgb
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("earlier picture");
    }
    bool saved = true;
    {
        testing_support::FileSizeLimit limit(4096);
        saved = b.SaveToFile(path.toStdString());
    }
    EXPECT_FALSE(saved);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("earlier picture"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{"plot.bmp"});
}

TEST(GfxTypes, MulDivAndRounding) {
    EXPECT_EQ(MulDiv(15, 400, 100), 60);
    EXPECT_EQ(MulDiv(1, 3, 2), 2);    // 1.5 rounds away from zero
    EXPECT_EQ(MulDiv(-1, 3, 2), -2);
    EXPECT_EQ(MulDiv(5, 5, 0), -1);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(ColorToRGB(0x8000000F), RGBColor(212, 208, 200));
    EXPECT_EQ(ColorToRGB(0x123456), 0x123456u);
}

}  // namespace
}  // namespace pellucor::platform
