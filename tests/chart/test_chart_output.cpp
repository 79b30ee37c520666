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

#include <string>
#include <tuple>
#include <vector>

#include "FileSizeLimit.h"
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

// --- the clipboard ---

class ChartClipboard : public ::testing::Test {
protected:
    void SetUp() override { platform::InstallClipboard(&clipboard); }
    void TearDown() override { platform::InstallClipboard(nullptr); }
    platform::MemoryClipboard clipboard;
};

TEST_F(ChartClipboard, MetafilesGoOnWithTheirMimeTypesAndAPictureOfTheSameChart) {
    for (bool enhanced : {true, false}) {
        OutputChart c;
        TPanelOutput out(c.chart);
        CopyToClipboardMetafile(out, enhanced);
        const std::string mime = enhanced ? platform::kMimeEmf : platform::kMimeWmf;
        ASSERT_EQ(clipboard.formats.size(), 2u);
        EXPECT_EQ(clipboard.formats[0].mimeType, mime);
        int w = 0, h = 0, dpi = 0;
        const bool read = enhanced ? platform::ReadEmfFrame(clipboard.Data(mime), w, h)
                                   : platform::ReadWmfFrame(clipboard.Data(mime), w, h, dpi);
        ASSERT_TRUE(read) << mime;
        EXPECT_EQ(std::make_pair(w, h), std::make_pair(655, 356)) << mime;
        const std::string png = clipboard.Data(platform::kMimePng);
        const QImage image = QImage::fromData(
            QByteArray(png.data(), static_cast<qsizetype>(png.size())), "PNG");
        EXPECT_EQ(image.size(), QSize(656, 357)) << mime;
        const Landmarks screen = FindLandmarks(ScreenPicture(c));
        const Landmarks pasted = FindLandmarks(image);
        EXPECT_EQ(pasted.blueY, screen.blueY) << mime;
        EXPECT_EQ(pasted.redX, screen.redX) << mime;
    }
}

TEST_F(ChartClipboard, BitmapGoesOnAsBmpAndPng) {
    OutputChart c;
    TPanelOutput out(c.chart);
    CopyToClipboardBitmap(out);
    EXPECT_EQ(c.afterDraws, 1);
    for (const char* mime : {platform::kMimeBmp, platform::kMimePng}) {
        const std::string data = clipboard.Data(mime);
        const QImage image = QImage::fromData(QByteArray(data.data(), static_cast<qsizetype>(data.size())));
        EXPECT_EQ(image.size(), QSize(656, 357)) << mime;
    }
}

TEST_F(ChartClipboard, AClipboardThatCannotBeOpenedRaisesAndLeavesTheChartAsItWas) {
    OutputChart c;
    TPanelOutput out(c.chart);
    c.chart.SetBufferedDisplay(true);
    clipboard.refuse = true;
    EXPECT_THROW(CopyToClipboardMetafile(out, true), ChartException);
    EXPECT_THROW(CopyToClipboardBitmap(out), ChartException);
    EXPECT_EQ(clipboard.writes, 0);
    EXPECT_TRUE(c.chart.GetBufferedDisplay());
    EXPECT_FALSE(c.chart.Canvas->DrawingToMetafile);
}

// --- picture files that cannot be written ---

TEST(ChartPictureFiles, AFileThatCannotBeCreatedIsReportedAndNothingIsLeft) {
    QTemporaryDir dir;
    OutputChart c;
    TPanelOutput out(c.chart);
    const std::string missing = dir.filePath("no such folder/plot").toStdString();
    EXPECT_THROW(SaveToMetafileEnh(out, missing + ".emf"), PictureFileError);
    EXPECT_THROW(SaveToMetafile(out, missing + ".wmf"), PictureFileError);
    EXPECT_THROW(SaveToBitmapFile(out, missing + ".bmp"), PictureFileError);
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

TEST(ChartPictureFiles, AWriteThatFailsHalfWayLeavesTheOldFileWhole) {
    QTemporaryDir dir;
    OutputChart c;
    TPanelOutput out(c.chart);
    struct Case {
        const char* name;
        void (*save)(TChartOutputSource&, const std::string&);
    } cases[] = {
        {"plot.emf", SaveToMetafileEnh},
        {"plot.wmf", SaveToMetafile},
        {"plot.bmp", SaveToBitmapFile},
    };
    for (const Case& k : cases) {
        const std::string target = dir.filePath(k.name).toStdString();
        {
            QFile f(QString::fromStdString(target));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("previous picture");
        }
        {
            testing_support::FileSizeLimit limit(512);
            EXPECT_THROW(k.save(out, target), PictureFileError) << k.name;
        }
        EXPECT_EQ(ReadAll(target), "previous picture") << k.name;
    }
    // No temporary file is left beside the targets.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(), 3);
}

TEST(ChartPictureFiles, DrawingThatRaisesWritesNoFile) {
    QTemporaryDir dir;
    OutputChart c;
    TPanelOutput out(c.chart);
    c.chart.SetBufferedDisplay(true);
    c.failDrawing = true;
    const std::string target = dir.filePath("plot.emf").toStdString();
    EXPECT_THROW(SaveToMetafileEnh(out, target), ChartException);
    EXPECT_FALSE(Exists(target));
    EXPECT_TRUE(c.chart.GetBufferedDisplay());
    EXPECT_FALSE(c.chart.Canvas->DrawingToMetafile);
}

// --- printing ---

TEST(ChartPrinting, ClientSizeIsMappedOntoTheRectangleWhicheverWayItsCornersCome) {
    struct Case {
        const char* name;
        TRect rect;
    } cases[] = {
        {"in order", {0, 0, 4000, 2500}},
        {"right to left", {4000, 0, 0, 2500}},
        {"bottom to top", {0, 2500, 4000, 0}},
    };
    std::vector<std::string> first;
    for (const Case& k : cases) {
        OutputChart c(400, 250);
        TPanelOutput out(c.chart);
        platform::testing::RecordingPrinter printer;
        printer.BeginDoc();
        PrintPartial(out, printer, k.rect);
        const platform::DrawDevice& d = printer.device;
        EXPECT_EQ(d.GetMapMode(), platform::MapMode::Anisotropic) << k.name;
        EXPECT_EQ(d.GetWindowExt(), (platform::Size{400, 250})) << k.name;
        EXPECT_EQ(d.GetViewportExt(), (platform::Size{4000, 2500})) << k.name;
        // Every logical unit covers 10 x 10 device pixels.
        EXPECT_EQ(d.LPtoDP({1, 1}), (platform::Point{10, 10})) << k.name;
        EXPECT_FALSE(c.chart.Printing) << k.name;
        EXPECT_EQ(c.afterDraws, 1) << k.name;
        if (first.empty()) first = printer.device.calls;
        else EXPECT_EQ(printer.device.calls, first) << k.name;
        printer.EndDoc();
    }
}

TEST(ChartPrinting, PrintResolutionShrinksTheLogicalArea) {
    TRect r{1000, 500, 5000, 3000};
    int ww = 0, wh = 0, vw = 0, vh = 0;
    CalcMetaBounds(r, TRect{0, 0, 400, 250}, ww, wh, vw, vh, 20);
    EXPECT_EQ(std::make_tuple(ww, wh, vw, vh), std::make_tuple(320, 200, 4000, 2500));
    // 1000 * 320 / 4000 = 80; 500 * 200 / 2500 = 40; 5000 * 320 / 4000 = 400.
    EXPECT_EQ(r, (TRect{80, 40, 400, 240}));
}

TEST(ChartPrinting, WideChartGetsProportionalMarginsOnItsPage) {
    OutputChart c(656, 357);
    TPanelOutput out(c.chart);
    platform::testing::RecordingPrinter printer(4961, 7016, 600);
    // m = round(100 * (7016 - 0.6 * 4961 * 357 / 656) / 7016) div 2 = round(76.9) div 2 = 38.
    const TRect rect = ChartPrintRect(out, printer);
    EXPECT_EQ(c.chart.PageMargins, (TRect{15, 38, 15, 38}));
    EXPECT_EQ(rect, (TRect{744, 2666, 4961 - 744, 7016 - 2666}));
}

TEST(ChartPrinting, AJobOfItsOwnIsTitledBegunAndEnded) {
    OutputChart c;
    TPanelOutput out(c.chart, "Chart1");
    platform::testing::RecordingPrinter printer;
    Print(out, printer);
    EXPECT_EQ(printer.log, (std::vector<std::string>{"Title Chart1", "BeginDoc", "EndDoc"}));
    EXPECT_EQ(c.afterDraws, 1);
}

TEST(ChartPrinting, DrawingThatRaisesAbortsTheJobAndTheOrientationIsRestored) {
    for (bool fail : {false, true}) {
        OutputChart c;
        TPanelOutput out(c.chart, "Chart1");
        c.chart.SetBufferedDisplay(true);
        c.failDrawing = fail;
        platform::testing::RecordingPrinter printer;
        if (fail) {
            EXPECT_THROW(PrintLandscape(out, printer), ChartException);
            EXPECT_EQ(printer.log, (std::vector<std::string>{"Orientation Landscape", "Title Chart1",
                                                             "BeginDoc", "Abort", "EndDoc",
                                                             "Orientation Portrait"}));
        } else {
            PrintLandscape(out, printer);
            EXPECT_EQ(printer.log, (std::vector<std::string>{"Orientation Landscape", "Title Chart1",
                                                             "BeginDoc", "EndDoc",
                                                             "Orientation Portrait"}));
        }
        EXPECT_EQ(printer.GetOrientation(), platform::PrinterOrientation::Portrait);
        EXPECT_FALSE(printer.GetPrinting());
        EXPECT_FALSE(c.chart.Printing);
        EXPECT_TRUE(c.chart.GetBufferedDisplay());
        EXPECT_FALSE(c.chart.Canvas->DrawingToMetafile);
    }
}

TEST(ChartPrinting, APrinterThatCannotBeginRestoresTheOrientationToo) {
    OutputChart c;
    TPanelOutput out(c.chart);
    platform::testing::RecordingPrinter printer;
    printer.SetOrientation(platform::PrinterOrientation::Landscape);
    printer.failBegin = true;
    EXPECT_THROW(PrintPortrait(out, printer), platform::PrinterError);
    EXPECT_EQ(printer.GetOrientation(), platform::PrinterOrientation::Landscape);
    EXPECT_EQ(c.afterDraws, 0);
}

// The PDF page rendered at 96 pixels per inch.
QImage RenderPdfPage(const std::string& pdf, const std::string& pngStem) {
    if (!RunTool("pdftoppm", {"-r", "96", "-png", "-singlefile", QString::fromStdString(pdf),
                              QString::fromStdString(pngStem)}))
        return {};
    return QImage(QString::fromStdString(pngStem + ".png"));
}

TEST(ChartPrinting, SeveralChartsOnOnePdfPage) {
    // The top chart draws only a red row at y = 7, the bottom one only a
    // blue column at x = 3.
    OutputChart top, bottom;
    top.chart.RemoveSeries(&top.up);
    top.across.SeriesColor = clRed;
    bottom.chart.RemoveSeries(&bottom.across);
    bottom.up.SeriesColor = clBlue;
    TPanelOutput a(top.chart), b(bottom.chart);
    const std::string pdf = OutputPath("chart_output_two_charts.pdf");
    {
        platform::PdfPrinter printer(pdf, 600);
        printer.BeginDoc();
        // 656 x 357 screen pixels are 4100 x 2231 printer pixels at 600 per inch.
        PrintPartial(a, printer, TRect{600, 600, 600 + 4100, 600 + 2231});
        PrintPartial(b, printer, TRect{600, 3600, 600 + 4100, 3600 + 2231});
        printer.EndDoc();
    }
    const QImage page = RenderPdfPage(pdf, OutputPath("chart_output_two_charts"));
    ASSERT_FALSE(page.isNull()) << "pdftoppm (poppler-utils) could not render the page";
    EXPECT_NEAR(page.width(), 794, 1);  // A4 at 96 per inch: one page holds both
    // Each chart against its own screen picture: with one series left the
    // legend lists values, whose width moves the plot's right edge.
    const Landmarks screenTop = FindLandmarks(ScreenPicture(top));
    const Landmarks screenBottom = FindLandmarks(ScreenPicture(bottom));
    // At 96 per inch the charts lie at (96, 96) and (96, 576), 656 x 357 each.
    const Landmarks upper = FindLandmarks(page, 96, 96, 96 + 656, 96 + 357);
    const Landmarks lower = FindLandmarks(page, 96, 576, 96 + 656, 576 + 357);
    ASSERT_GE(upper.redY, 0);
    ASSERT_GE(lower.blueX, 0);
    EXPECT_EQ(upper.blueX, -1);
    EXPECT_EQ(lower.redY, -1);
    EXPECT_NEAR(upper.redY - 96, screenTop.redY, 3);
    EXPECT_NEAR(lower.blueX - 96, screenBottom.blueX, 3);
    EXPECT_NEAR(upper.leftAxisX - 96, screenTop.leftAxisX, 3);
    EXPECT_NEAR(upper.bottomAxisY - 96, screenTop.bottomAxisY, 3);
    EXPECT_NEAR(lower.leftAxisX - 96, screenBottom.leftAxisX, 3);
    EXPECT_NEAR(lower.bottomAxisY - 576, screenBottom.bottomAxisY, 3);
}

// The room the axis texts take: from the leftmost ink to the left axis,
// and from the bottom axis to the lowest ink (labels and titles).
struct TextRoom {
    int left = 0;
    int below = 0;
};

TextRoom MeasureTextRoom(const QImage& img, int x0, int y0, int x1, int y1) {
    const Landmarks m = FindLandmarks(img, x0, y0, x1, y1);
    TextRoom t;
    if (m.leftAxisX < 0 || m.bottomAxisY < 0) return t;
    auto ink = [&](int x, int y) { return testing::Darkness(img.pixel(x, y)) > 100; };
    int leftmost = m.leftAxisX;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < m.leftAxisX; ++x)
            if (ink(x, y)) leftmost = std::min(leftmost, x);
    int lowest = m.bottomAxisY;
    for (int y = m.bottomAxisY + 1; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (ink(x, y)) lowest = std::max(lowest, y);
    t.left = m.leftAxisX - leftmost;
    t.below = lowest - m.bottomAxisY;
    return t;
}

TEST(ChartPrinting, PrintedTextKeepsItsSizeRelativeToTheChart) {
    OutputChart c;
    TPanelOutput out(c.chart);
    const QImage screen = ScreenPicture(c);
    const TextRoom onScreen = MeasureTextRoom(screen, 0, 0, 656, 357);
    ASSERT_GT(onScreen.left, 20);
    ASSERT_GT(onScreen.below, 20);

    const std::string pdf = OutputPath("chart_output_printed.pdf");
    {
        platform::PdfPrinter printer(pdf, 600);
        printer.SetTitle("Chart1");
        printer.BeginDoc();
        PrintPartial(out, printer, TRect{600, 600, 600 + 4100, 600 + 2231});
        printer.EndDoc();
    }
    const QImage page = RenderPdfPage(pdf, OutputPath("chart_output_printed"));
    ASSERT_FALSE(page.isNull()) << "pdftoppm (poppler-utils) could not render the page";
    const TextRoom printed = MeasureTextRoom(page, 96, 96, 96 + 656, 96 + 357);
    // Realised at the printer's 600 pixels per inch the texts would take
    // 6.25 times the room; the page at 96 per inch must match the screen.
    EXPECT_NEAR(printed.left, onScreen.left, 3);
    EXPECT_NEAR(printed.below, onScreen.below, 3);
    // The printer's canvas realises fonts at its own resolution again afterwards.
}

}  // namespace
}  // namespace pellucor::chart
