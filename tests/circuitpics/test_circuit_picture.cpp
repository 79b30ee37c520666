// Circuit pictures: the layout of series and parallel parts, the pixels
// where the layout puts wires and bars, and the files of the model library.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cmath>
#include <filesystem>
#include <set>
#include <string>

#include "OffscreenAppEnvironment.h"
#include "core/ModelLibrary.h"
#include "tools/circuitpics/CircuitPicture.h"

namespace pellucor::circuitpics {
namespace {

::testing::Environment* const kEnv = testing_support::AddOffscreenAppEnvironment<QGuiApplication>();

const std::string OutDir = std::string(PELLUCOR_TEST_OUTPUT_DIR) + "/circuitpics/";

const double Cell = 2 * LeadLength + BodyWidth;

TEST(CircuitLayout, SeriesLeftToRightAndParallelStacked) {
    // R(CR): R, then C above R between two bars.
    const auto l = LayOutCircuit("R(CR)");
    ASSERT_TRUE(l);
    ASSERT_EQ(l->elements.size(), 3u);
    const PlacedElement &r1 = l->elements[0], &c = l->elements[1], &r2 = l->elements[2];
    EXPECT_EQ(r1.letter, 'R');
    EXPECT_EQ(c.letter, 'C');
    EXPECT_EQ(r2.letter, 'R');
    EXPECT_DOUBLE_EQ(r1.body.left(), LeadLength);
    EXPECT_DOUBLE_EQ(c.body.left(), Cell + BusStub + LeadLength);  // after R and the bar's stub
    EXPECT_DOUBLE_EQ(r2.body.left(), c.body.left());                // stacked: same column
    EXPECT_GT(r2.body.top(), c.body.bottom());                       // below, not overlapping
    EXPECT_DOUBLE_EQ(l->width, Cell + 2 * BusStub + Cell);
    // The series wire meets the parallel block half-way between its branches.
    EXPECT_DOUBLE_EQ(l->terminalY, (c.body.center().y() + r2.body.center().y()) / 2);
    EXPECT_DOUBLE_EQ(r1.body.center().y(), l->terminalY);
}

TEST(CircuitLayout, NestingAlternatesSeriesAndParallel) {
    struct Case {
        const char* code;
        int columns;  // distinct element columns (series positions)
        int rows;     // distinct element rows
    } cases[] = {
        {"RCL", 3, 1},         // all in series
        {"(RCL)", 1, 3},       // all in parallel
        {"((RC))", 2, 1},      // series inside parallel inside series
        {"R(C(RW))", 4, 3},    // W after R, that pair parallel to C (centred), R1 on the middle wire
        {"(CR(CR)(CR))", 3, 4},  // single elements centred over the two-element branches
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        const auto l = LayOutCircuit(c.code);
        ASSERT_TRUE(l);
        std::set<double> xs, ys;
        for (const PlacedElement& e : l->elements) {
            xs.insert(e.body.left());
            ys.insert(e.body.top());
            EXPECT_GE(e.body.left(), 0);
            EXPECT_LE(e.body.right(), l->width);
            EXPECT_GE(e.body.top(), 0);
            EXPECT_LE(e.body.bottom(), l->height);
        }
        for (size_t i = 0; i < l->elements.size(); ++i)
            for (size_t j = i + 1; j < l->elements.size(); ++j)
                EXPECT_FALSE(l->elements[i].body.intersects(l->elements[j].body)) << i << " " << j;
        EXPECT_EQ(static_cast<int>(xs.size()), c.columns);
        EXPECT_EQ(static_cast<int>(ys.size()), c.rows);
    }
    EXPECT_FALSE(LayOutCircuit("(CR"));
    EXPECT_FALSE(LayOutCircuit(""));
    EXPECT_FALSE(LayOutCircuit("RA"));
}

// A column or row of an image as '#' (dark) and '.' (light).
std::string Column(const QImage& img, int x, int y0, int y1) {
    std::string s;
    for (int y = y0; y <= y1; ++y) s += qGray(img.pixel(x, y)) < 128 ? '#' : '.';
    return s;
}
std::string Row(const QImage& img, int y, int x0, int x1) {
    std::string s;
    for (int x = x0; x <= x1; ++x) s += qGray(img.pixel(x, y)) < 128 ? '#' : '.';
    return s;
}

TEST(CircuitPicture, BarsAndWiresWhereTheLayoutPutsThem) {
    const int w = 354, h = 194;
    const QImage img = DrawCircuitPicture("R(CR)", w, h, 1.0);  // scale 1: one unit a pixel
    ASSERT_FALSE(img.isNull());
    img.save(QString::fromStdString(OutDir + "layout_R(CR).png"));
    const auto l = LayOutCircuit("R(CR)");
    const PictureMapping m = MapLayout(*l, w, h, 1.0);
    ASSERT_DOUBLE_EQ(m.scale, 1.0);
    const double top = l->elements[1].body.center().y(), bottom = l->elements[2].body.center().y();
    // The left bar: dark exactly from the C branch's wire to the R branch's.
    const int barX = static_cast<int>(m.dx + Cell + BusStub);
    const int y0 = static_cast<int>(std::lround(m.dy + top)), y1 = static_cast<int>(std::lround(m.dy + bottom));
    const std::string col = Column(img, barX, y0 - 4, y1 + 4);
    EXPECT_EQ(col, "...." + std::string(static_cast<size_t>(y1 - y0 + 1), '#') + "....");
    // The wire into the picture: dark from the left end across the first lead.
    const int wireY = static_cast<int>(std::lround(m.dy + l->terminalY));
    const int x0 = static_cast<int>(m.dx);
    EXPECT_EQ(Row(img, wireY, x0 - 3, x0 + static_cast<int>(LeadLength) - 1),
              "..." + std::string(static_cast<size_t>(LeadLength), '#'));
    // Between the two branches (half-way between C's body and R's label) the
    // column through the element bodies is empty.
    const int bodyX = static_cast<int>(m.dx + l->elements[1].body.center().x());
    const int gapY = static_cast<int>(m.dy + (l->elements[1].body.bottom() + l->elements[2].body.top() -
                                               LabelHeight) / 2);
    EXPECT_EQ(Column(img, bodyX, gapY - 1, gapY + 1), "...");
}

TEST(CircuitPicture, EveryLibraryCodeAndNoneWritten) {
    const std::string dir = OutDir + "bmp/";
    std::filesystem::remove_all(dir);
    EXPECT_EQ(WriteCircuitPictures(dir, SystemModelLibrary()), 0);
    for (const std::string& code : SystemModelLibrary()) {
        QImage img(QString::fromStdString(dir + code + ".BMP"));
        EXPECT_FALSE(img.isNull()) << code;
        EXPECT_EQ(img.size(), QSize(354, 194)) << code;
    }
    EXPECT_FALSE(QImage(QString::fromStdString(dir + "NONE.BMP")).isNull());
    // PNG copies of a few for a reviewer, on one sheet.
    const char* shown[] = {"R(CR)", "R(C(RW))", "LR(CR(QR)(LR)(CR))", "R(C(R(Q(R(C(RW))))))",
                           "(QR(RO)(RC)(RL)(RQ))", "(CR(CR)(CR)(CR)(CR))", "RB", "NONE"};
    QImage sheet(2 * 354 + 4, 4 * 194 + 6, QImage::Format_RGB32);
    sheet.fill(Qt::darkGray);
    QPainter p(&sheet);
    for (int k = 0; k < 8; ++k) {
        const QImage one(QString::fromStdString(dir + shown[k] + ".BMP"));
        one.save(QString::fromStdString(OutDir + shown[k] + ".png"));
        p.drawImage((k % 2) * 356, (k / 2) * 196, one);
    }
    p.end();
    sheet.save(QString::fromStdString(OutDir + "sheet.png"));
}

}  // namespace
}  // namespace pellucor::circuitpics
