// A chart on screen taken out of its window through its own operations:
// picture files, the clipboard, unbuffered drawing onto another canvas and
// printing. Each path draws the chart once more with its after-draw event,
// and the window shows the same picture afterwards.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <functional>
#include <string>
#include <vector>

#include "OffscreenAppEnvironment.h"
#include "chart/OutputChart.h"
#include "chart/widget/ChartWidget.h"
#include "platform/Clipboard.h"
#include "platform/gfx/MetafileDevice.h"
#include "platform/testing/GfxDoubles.h"

namespace pellucor::chart {
namespace {

using testing::FindLandmarks;
using testing::Landmarks;
using testing::LineSeries;

::testing::Environment* const kEnvironment = testing_support::AddOffscreenAppEnvironment<QApplication>();

void PaintNow(QWidget& w) { (void)w.grab(); }

std::string ReadAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray b = f.readAll();
    return std::string(b.constData(), static_cast<size_t>(b.size()));
}

// The main window's chart size on screen, white, flat, axes fixed to
// 0 .. 10, a blue line across at y = 7 and a red line up at x = 3.
class ShownChart : public ::testing::Test {
protected:
    void SetUp() override {
        platform::InstallClipboard(&clipboard);
        w.setObjectName("Chart1");
        w.View3D = false;
        w.Color = clWhite;
        w.BevelOuter = bvNone;
        w.resize(656, 357);
        w.AddSeries(&across);
        w.AddSeries(&up);
        across.SeriesColor = clBlue;
        up.SeriesColor = clRed;
        across.AddXY(0, 7);
        across.AddXY(10, 7);
        up.AddXY(3, 0);
        up.AddXY(3, 10);
        for (TChartAxis* a : {w.BottomAxis, w.LeftAxis}) {
            a->SetAutomatic(false);
            a->SetMinimum(0);
            a->SetMaximum(10);
        }
        w.BottomAxis->Title->SetCaption("Z' / Ohm");
        w.LeftAxis->Title->SetCaption("-Z'' / Ohm");
        w.OnAfterDraw = [this](TCustomChartPanel* p) {
            ++afterDraws;
            drewToMetafile.push_back(p->Canvas->DrawingToMetafile);
            drewPrinting.push_back(p->Printing);
        };
        w.show();
        PaintNow(w);
    }
    void TearDown() override { platform::InstallClipboard(nullptr); }

    platform::MemoryClipboard clipboard;
    TChartWidget w;
    LineSeries across, up;
    int afterDraws = 0;
    std::vector<bool> drewToMetafile, drewPrinting;
    QTemporaryDir dir;
};

TEST_F(ShownChart, EveryPathDrawsWithTheAfterDrawEventAndTheWindowKeepsItsPicture) {
    const QImage shown = w.grab().toImage();
    TBitmap other;
    other.SetSize(656, 357);
    platform::testing::RecordingPrinter printer;
    struct Case {
        const char* name;
        std::function<void()> run;
        int draws;
        bool metafileFlag, printingFlag;
    } cases[] = {
        {"emf file", [&] { w.SaveToMetafileEnh(dir.filePath("plot.emf").toStdString()); }, 1, true, false},
        {"wmf file", [&] { w.SaveToMetafile(dir.filePath("plot.wmf").toStdString()); }, 1, true, false},
        {"bmp file", [&] { w.SaveToBitmapFile(dir.filePath("plot.bmp").toStdString()); }, 1, false, false},
        {"clipboard bitmap", [&] { w.CopyToClipboardBitmap(); }, 1, false, false},
        // The metafile goes with a picture of the same chart for programs that paste images.
        {"clipboard emf", [&] { w.CopyToClipboardMetafile(true); }, 2, true, false},
        {"clipboard wmf", [&] { w.CopyToClipboardMetafile(false); }, 2, true, false},
        {"another canvas", [&] { w.DrawToMetaCanvas(&other.GetCanvas(), w.GetRectangle()); }, 1, true, false},
        {"rectangle of a canvas",
         [&] { w.PrintPartialCanvas(&other.GetCanvas(), TRect{0, 0, 656, 357}); }, 1, true, true},
        {"rectangle of a printer page",
         [&] {
             printer.BeginDoc();
             w.PrintPartial(printer, TRect{600, 600, 4700, 2831});
             printer.EndDoc();
         },
         1, true, true},
        {"page of its own", [&] { w.Print(printer); }, 1, true, true},
        {"landscape page", [&] { w.PrintLandscape(printer); }, 1, true, true},
    };
    for (const Case& k : cases) {
        afterDraws = 0;
        drewToMetafile.clear();
        drewPrinting.clear();
        const int draws = w.DrawCount();
        k.run();
        EXPECT_EQ(afterDraws, k.draws) << k.name;
        ASSERT_FALSE(drewToMetafile.empty()) << k.name;
        EXPECT_EQ(drewToMetafile.front(), k.metafileFlag) << k.name;
        EXPECT_EQ(drewPrinting.front(), k.printingFlag) << k.name;
        // Everything as it was: buffered, not printing, not drawing to a metafile.
        EXPECT_TRUE(w.GetBufferedDisplay()) << k.name;
        EXPECT_FALSE(w.Printing) << k.name;
        EXPECT_FALSE(w.Canvas->DrawingToMetafile) << k.name;
        // The buffer was let go; the next paint draws the chart anew, the same.
        PaintNow(w);
        EXPECT_EQ(w.DrawCount(), draws + 1) << k.name;
        EXPECT_EQ(w.grab().toImage(), shown) << k.name;
    }

    int fw = 0, fh = 0, dpi = 0;
    ASSERT_TRUE(platform::ReadEmfFrame(ReadAll(dir.filePath("plot.emf")), fw, fh));
    EXPECT_EQ(std::make_pair(fw, fh), std::make_pair(655, 356));
    ASSERT_TRUE(platform::ReadWmfFrame(ReadAll(dir.filePath("plot.wmf")), fw, fh, dpi));
    EXPECT_EQ(std::make_pair(fw, fh), std::make_pair(655, 356));
    EXPECT_EQ(QImage(dir.filePath("plot.bmp"), "BMP").size(), QSize(656, 357));
    ASSERT_TRUE(platform::ReadWmfFrame(clipboard.Data(platform::kMimeWmf), fw, fh, dpi));
    // The print jobs carry the chart's name.
    EXPECT_EQ(printer.log, (std::vector<std::string>{"BeginDoc", "EndDoc", "Title Chart1", "BeginDoc", "EndDoc",
                                                     "Orientation Landscape", "Title Chart1", "BeginDoc", "EndDoc",
                                                     "Orientation Portrait"}));
}

TEST_F(ShownChart, DrawnOntoAnotherCanvasOrIntoALargerRectangleItIsTheChartOnScreen) {
    const Landmarks screen = FindLandmarks(w.grab().toImage());
    ASSERT_GE(screen.blueY, 0);
    ASSERT_GE(screen.redX, 0);

    TBitmap same;
    same.SetSize(656, 357);
    w.DrawToMetaCanvas(&same.GetCanvas(), w.GetRectangle());
    const Landmarks drawn = FindLandmarks(same.Image());
    EXPECT_EQ(drawn.leftAxisX, screen.leftAxisX);
    EXPECT_EQ(drawn.bottomAxisY, screen.bottomAxisY);
    EXPECT_EQ(drawn.blueY, screen.blueY);
    EXPECT_EQ(drawn.redX, screen.redX);

    // Twice the size and moved by (100, 50): every screen pixel covers 2 x 2.
    TBitmap large;
    large.SetSize(1500, 800);
    large.GetCanvas().GetBrush().SetColor(clWhite);
    large.GetCanvas().FillRect(TRect{0, 0, 1500, 800});
    w.PrintPartialCanvas(&large.GetCanvas(), TRect{100, 50, 100 + 1312, 50 + 714});
    const Landmarks printed = FindLandmarks(large.Image(), 100, 50, 100 + 1312, 50 + 714);
    // Within two screen pixels: text measured on the scaled canvas may
    // round a line height differently.
    EXPECT_NEAR((printed.leftAxisX - 100) / 2.0, screen.leftAxisX, 2);
    EXPECT_NEAR((printed.bottomAxisY - 50) / 2.0, screen.bottomAxisY, 2);
    EXPECT_NEAR((printed.blueY - 50) / 2.0, screen.blueY, 2);
    EXPECT_NEAR((printed.redX - 100) / 2.0, screen.redX, 2);
    // Nothing outside the rectangle.
    for (int x = 0; x < 1500; x += 7) {
        EXPECT_EQ(large.Image().pixel(x, 20) & 0xFFFFFF, 0xFFFFFFu) << x;
        EXPECT_EQ(large.Image().pixel(x, 780) & 0xFFFFFF, 0xFFFFFFu) << x;
    }
}

TEST_F(ShownChart, TheJobTitleIsTheChartsNameWhenItHasOne) {
    platform::testing::RecordingPrinter printer;
    w.Name = "Plot";
    w.Print(printer);
    EXPECT_EQ(printer.GetTitle(), "Plot");
    TChart plain;
    plain.Name = "Chart2";
    plain.Print(printer);
    EXPECT_EQ(printer.GetTitle(), "Chart2");
}

}  // namespace
}  // namespace pellucor::chart
