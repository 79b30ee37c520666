// The PDF printer: page size at its resolution, orientation, a delivered
// job and an aborted one that leaves no file.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "platform/gfx/PdfPrinter.h"
#include "platform_gfx/GuiTestEnvironment.h"

namespace pellucor::platform {
namespace {

TEST(PdfPrinter, A4PageInDevicePixelsTurnsWithTheOrientation) {
    QTemporaryDir dir;
    PdfPrinter printer(dir.filePath("p.pdf").toStdString(), 600);
    // 210 x 297 mm at 600 per inch (Qt keeps the page in whole points, so a few pixels less).
    EXPECT_NEAR(printer.PageWidth(), 4961, 4);
    EXPECT_NEAR(printer.PageHeight(), 7016, 4);
    printer.SetOrientation(PrinterOrientation::Landscape);
    EXPECT_EQ(printer.GetOrientation(), PrinterOrientation::Landscape);
    EXPECT_NEAR(printer.PageWidth(), 7016, 4);
    EXPECT_NEAR(printer.PageHeight(), 4961, 4);
    EXPECT_EQ(printer.LogPixelsX(), 600);
}

TEST(PdfPrinter, AnEndedJobIsDeliveredAnAbortedOneLeavesNoFile) {
    QTemporaryDir dir;
    const std::string done = dir.filePath("done.pdf").toStdString();
    const std::string dropped = dir.filePath("dropped.pdf").toStdString();
    {
        PdfPrinter printer(done, 300);
        printer.SetTitle("Chart1");
        printer.BeginDoc();
        EXPECT_TRUE(printer.GetPrinting());
        EXPECT_THROW(printer.SetOrientation(PrinterOrientation::Landscape), PrinterError);
        printer.GetCanvas().Rectangle(100, 100, 400, 300);
        printer.EndDoc();
        EXPECT_FALSE(printer.GetPrinting());
        EXPECT_EQ(printer.GetTitle(), "Chart1");
    }
    QFile f(QString::fromStdString(done));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.read(5) == "%PDF-");
    {
        PdfPrinter printer(dropped, 300);
        printer.BeginDoc();
        printer.GetCanvas().Rectangle(100, 100, 400, 300);
        printer.Abort();
        EXPECT_TRUE(printer.GetAborted());
        EXPECT_FALSE(printer.GetPrinting());
    }
    EXPECT_FALSE(QFile::exists(QString::fromStdString(dropped)));
}

}  // namespace
}  // namespace pellucor::platform
