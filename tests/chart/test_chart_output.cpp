// Pictures, clipboard and printing of a chart: frame sizes, files read back
// with libUEMF, independent renderings compared with the chart drawn by
// QPainter, printing into rectangles and pages, failures.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>

#include <string>
#include <vector>

#include "chart/ChartOutput.h"
#include "chart/OutputChart.h"
#include "platform/Clipboard.h"
#include "platform/gfx/PdfPrinter.h"
#include "platform/testing/GfxDoubles.h"
#include "platform_gfx/GuiTestEnvironment.h"

namespace pellucor::chart {
namespace {

using testing::FindLandmarks;
using testing::Landmarks;
using testing::OutputChart;

std::string OutputPath(const std::string& name) {
    QDir().mkpath(PELLUCOR_TEST_OUTPUT_DIR);
    return std::string(PELLUCOR_TEST_OUTPUT_DIR) + "/" + name;
}

std::string ReadAll(const std::string& path) {
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray b = f.readAll();
    return std::string(b.constData(), static_cast<size_t>(b.size()));
}

bool Exists(const std::string& path) { return QFile::exists(QString::fromStdString(path)); }

// Runs a tool; false when it is missing or fails.
bool RunTool(const QString& program, const QStringList& args) {
    if (QStandardPaths::findExecutable(program).isEmpty()) return false;
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000)) return false;
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// The chart as QPainter draws it on screen.
QImage ScreenPicture(OutputChart& c) {
    TPanelOutput out(c.chart);
    return ChartCreateBitmap(out, clWhite, out.GetRectangle())->Image();
}

// --- sizes ---

TEST(ChartPictures, MetafileFrameIsOnePixelLessThanTheClientAreaBitmapIsTheClientArea) {
    struct Case {
        const char* name;
        int w, h;
        int frameW, frameH;
    } cases[] = {
        {"main window chart", 656, 357, 655, 356},
        {"one pixel", 1, 1, 1, 1},
        {"two by three", 2, 3, 1, 2},
    };
    for (const Case& k : cases) {
        OutputChart c(k.w, k.h);
        TPanelOutput out(c.chart);
        const platform::Metafile emf = ChartCreateMetafile(out, true, out.GetRectangle());
        int w = 0, h = 0, dpi = 0;
        ASSERT_TRUE(platform::ReadEmfFrame(emf.data, w, h)) << k.name;
        EXPECT_EQ(w, k.frameW) << k.name;
        EXPECT_EQ(h, k.frameH) << k.name;
        const platform::Metafile wmf = ChartCreateMetafile(out, false, out.GetRectangle());
        ASSERT_TRUE(platform::ReadWmfFrame(wmf.data, w, h, dpi)) << k.name;
        EXPECT_EQ(w, k.frameW) << k.name;
        EXPECT_EQ(h, k.frameH) << k.name;
        EXPECT_EQ(dpi, 96) << k.name;
        const QImage bmp = ScreenPicture(c);
        EXPECT_EQ(bmp.width(), k.w) << k.name;
        EXPECT_EQ(bmp.height(), k.h) << k.name;
    }
}

TEST(ChartPictures, SavedFilesHaveTheirSizesAndEveryPathRunsTheAfterDrawEventOnce) {
    QTemporaryDir dir;
    OutputChart c;
    TPanelOutput out(c.chart, "Chart1");
    c.chart.SetBufferedDisplay(true);
    const std::string emf = dir.filePath("plot.emf").toStdString();
    const std::string wmf = dir.filePath("plot.wmf").toStdString();
    const std::string bmp = dir.filePath("plot.bmp").toStdString();

    SaveToMetafileEnh(out, emf);
    EXPECT_EQ(c.afterDraws, 1);
    SaveToMetafile(out, wmf);
    EXPECT_EQ(c.afterDraws, 2);
    SaveToBitmapFile(out, bmp);
    EXPECT_EQ(c.afterDraws, 3);

    int w = 0, h = 0, dpi = 0;
    ASSERT_TRUE(platform::ReadEmfFrame(ReadAll(emf), w, h));
    EXPECT_EQ(std::make_pair(w, h), std::make_pair(655, 356));
    ASSERT_TRUE(platform::ReadWmfFrame(ReadAll(wmf), w, h, dpi));
    EXPECT_EQ(std::make_pair(w, h), std::make_pair(655, 356));
    const QImage image(QString::fromStdString(bmp), "BMP");
    EXPECT_EQ(image.size(), QSize(656, 357));
    EXPECT_EQ(image.pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);  // the chart's own white background

    // The panel is as it was: buffered, not printing, not drawing to a metafile.
    EXPECT_TRUE(c.chart.GetBufferedDisplay());
    EXPECT_FALSE(c.chart.Printing);
    EXPECT_FALSE(c.chart.Canvas->DrawingToMetafile);
}

// --- the files read back and rendered by other programs ---

// Rows and columns found in the independent rendering, scaled to the
// chart's pixels, lie within a few pixels of those QPainter drew.
void ExpectSameLandmarks(const Landmarks& screen, const QImage& rendering, const char* what) {
    ASSERT_FALSE(rendering.isNull()) << what;
    const double sx = 656.0 / rendering.width();
    const double sy = 357.0 / rendering.height();
    const Landmarks r = FindLandmarks(rendering);
    ASSERT_GE(r.leftAxisX, 0) << what;
    ASSERT_GE(r.bottomAxisY, 0) << what;
    ASSERT_GE(r.blueY, 0) << what;
    ASSERT_GE(r.redX, 0) << what;
    EXPECT_NEAR(r.leftAxisX * sx, screen.leftAxisX, 4) << what << " left axis";
    EXPECT_NEAR(r.bottomAxisY * sy, screen.bottomAxisY, 4) << what << " bottom axis";
    EXPECT_NEAR(r.blueY * sy, screen.blueY, 4) << what << " blue line";
    EXPECT_NEAR(r.redX * sx, screen.redX, 4) << what << " red line";
}

TEST(ChartPictures, WmfRenderedByLibwmfMatchesTheScreenPicture) {
    OutputChart c;
    TPanelOutput out(c.chart);
    const QImage screen = ScreenPicture(c);
    screen.save(QString::fromStdString(OutputPath("chart_output_screen.png")));
    const Landmarks s = FindLandmarks(screen);
    ASSERT_GE(s.leftAxisX, 0);
    ASSERT_GE(s.blueY, 0);

    const std::string wmf = OutputPath("chart_output.wmf");
    SaveToMetafile(out, wmf);
    const std::string png = OutputPath("chart_output_wmf2gd.png");
    QFile::remove(QString::fromStdString(png));
    ASSERT_TRUE(RunTool("wmf2gd", {"-t", "png", "--maxwidth=656", "--maxheight=357", "-o",
                               QString::fromStdString(png), QString::fromStdString(wmf)}))
        << "wmf2gd (libwmf-bin) could not render the file";
    ExpectSameLandmarks(s, QImage(QString::fromStdString(png)), "wmf2gd");
}

TEST(ChartPictures, EmfRenderedByEmf2svgMatchesTheScreenPicture) {
    OutputChart c;
    TPanelOutput out(c.chart);
    const Landmarks s = FindLandmarks(ScreenPicture(c));
    const std::string emf = OutputPath("chart_output.emf");
    SaveToMetafileEnh(out, emf);
    const std::string svg = OutputPath("chart_output_emf.svg");
    const std::string png = OutputPath("chart_output_emf2svg.png");
    QFile::remove(QString::fromStdString(png));
    ASSERT_TRUE(RunTool("emf2svg-conv", {"-i", QString::fromStdString(emf), "-o", QString::fromStdString(svg)}))
        << "emf2svg-conv (emf2svg) could not render the file";
    ASSERT_TRUE(RunTool("rsvg-convert", {"-w", "656", "-h", "357", "-b", "white", "-o",
                                     QString::fromStdString(png), QString::fromStdString(svg)}))
        << "rsvg-convert (librsvg2-bin) could not rasterise the rendering";
    ExpectSameLandmarks(s, QImage(QString::fromStdString(png)), "emf2svg");
}

}  // namespace
}  // namespace pellucor::chart
