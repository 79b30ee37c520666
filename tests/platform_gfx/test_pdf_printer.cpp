// The PDF printer: page size at its resolution, orientation, a delivered
// job and an aborted one that leaves no file.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>

#include "FileSizeLimit.h"
#include "WithoutPrivileges.h"

#include "platform/gfx/PdfPrinter.h"
#include "platform_gfx/GuiTestEnvironment.h"

namespace pellucor::platform {
namespace {

// The report an earlier job left: what a failed or aborted job must not touch.
const QByteArray kEarlierReport = "%PDF-earlier job";

bool WriteEarlierReport(const QString& path) {
    QFile old(path);
    return old.open(QIODevice::WriteOnly) && old.write(kEarlierReport) == kEarlierReport.size();
}

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

TEST(PdfPrinter, AJobThatCannotWriteItsFileRaisesAtTheStart) {
    QTemporaryDir dir;
    // A folder that does not exist: the job can never be delivered.
    PdfPrinter printer(dir.filePath("missing/p.pdf").toStdString(), 300);
    EXPECT_THROW(printer.BeginDoc(), PrinterError);
    EXPECT_FALSE(printer.GetPrinting());
    // A folder in the file's place.
    ASSERT_TRUE(QDir(dir.path()).mkdir("taken.pdf"));
    printer.SetFileName(dir.filePath("taken.pdf").toStdString());
    EXPECT_THROW(printer.BeginDoc(), PrinterError);
    EXPECT_FALSE(printer.GetPrinting());
    EXPECT_TRUE(QFileInfo(dir.filePath("taken.pdf")).isDir());
}

TEST(PdfPrinter, AnAbortedJobKeepsTheFileOfAnEarlierJobWhole) {
    QTemporaryDir dir;
    const QString path = dir.filePath("report.pdf");
    ASSERT_TRUE(WriteEarlierReport(path));
    PdfPrinter printer(path.toStdString(), 300);
    printer.BeginDoc();
    printer.GetCanvas().Rectangle(100, 100, 400, 300);
    printer.Abort();
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), kEarlierReport);
    f.close();
    // Nothing else is left beside it, the hidden job file included.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{"report.pdf"});
    // The next job on the same printer goes to the same file.
    printer.BeginDoc();
    printer.GetCanvas().Rectangle(100, 100, 400, 300);
    printer.EndDoc();
    EXPECT_EQ(printer.FileName(), path.toStdString());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray now = f.readAll();
    EXPECT_TRUE(now.startsWith("%PDF-1."));
    EXPECT_TRUE(now.trimmed().endsWith("%%EOF"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{"report.pdf"});
}

// A disk that fills up while the job is written: the job fails when it ends,
// and the report of the earlier job stays as it was. (A limit on the size of
// the files this process writes stands in for the full disk.)
TEST(PdfPrinter, AJobThatRunsOutOfDiskSpaceFailsAndKeepsTheEarlierFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("report.pdf");
    ASSERT_TRUE(WriteEarlierReport(path));
    PdfPrinter printer(path.toStdString(), 300);
    printer.BeginDoc();
    // Far more than the room left: many shapes of many colours.
    for (int k = 0; k < 4000; ++k) {
        printer.GetCanvas().GetBrush().SetColor(static_cast<Color>(k * 2654435761u & 0xFFFFFF));
        printer.GetCanvas().Rectangle(k % 2000, k / 2, k % 2000 + 300, k / 2 + 200);
    }
    bool raised = false;
    {
        testing_support::FileSizeLimit limit(4096);
        try {
            printer.EndDoc();
        } catch (const PrinterError&) {
            raised = true;
        }
    }
    EXPECT_TRUE(raised);
    EXPECT_FALSE(printer.GetPrinting());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), kEarlierReport);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{"report.pdf"});
}

// A printed report has the access rights of the report it replaces, or those
// of any new file, never the private rights of the job file it was written as.
TEST(PdfPrinter, AReportHasTheRightsOfTheFileItReplacesOrOfANewFile) {
    const mode_t mask = ::umask(022);
    struct Case {
        const char* what;
        bool earlier;
        mode_t earlierMode, expected;
    } cases[] = {
        {"new report", false, 0, 0644},
        {"earlier report shared with the group", true, 0640, 0640},
        {"earlier report readable by all", true, 0644, 0644},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const QString path = dir.filePath("report.pdf");
        if (c.earlier) {
            ASSERT_TRUE(WriteEarlierReport(path));
            ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), c.earlierMode), 0);
        }
        PdfPrinter printer(path.toStdString(), 300);
        printer.BeginDoc();
        printer.GetCanvas().Rectangle(100, 100, 400, 300);
        printer.EndDoc();
        struct stat st {};
        ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, c.expected);
    }
    ::umask(mask);
}

// An earlier report the person may not write (made read-only to keep it) is
// not replaced: the job fails at its start. Run as an unprivileged user,
// since the administrator may write any file.
TEST(PdfPrinter, AReadOnlyEarlierReportIsNotReplaced) {
    QTemporaryDir dir;
    const QString path = dir.filePath("report.pdf");
    ASSERT_TRUE(WriteEarlierReport(path));
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0444), 0);
    auto attempt = [&path] {
        PdfPrinter printer(path.toStdString(), 300);
        try {
            printer.BeginDoc();
        } catch (const PrinterError&) {
            return false;
        }
        printer.GetCanvas().Rectangle(100, 100, 400, 300);
        try {
            printer.EndDoc();
        } catch (const PrinterError&) {
            return false;
        }
        return true;
    };
    EXPECT_EQ(testing_support::AttemptWithoutPrivileges(QFile::encodeName(dir.path()).toStdString(),
                                                        QFile::encodeName(path).toStdString(), attempt),
              "refused");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), kEarlierReport);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{"report.pdf"});
}

}  // namespace
}  // namespace pellucor::platform
