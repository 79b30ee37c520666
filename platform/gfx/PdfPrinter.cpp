#include "platform/gfx/PdfPrinter.h"

#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>
#include <QTemporaryFile>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <unistd.h>
#endif

#include "platform/FileRights.h"
#include "platform/gfx/PainterDevice.h"

namespace pellucor::platform {
namespace {

// Qt's PDF writer ends every job as if it had been written, even when the
// disk filled up on the way and the file was cut short. A whole file ends
// with its trailer, and the trailer's "startxref" gives the offset of the
// cross-reference table: a file with a piece missing at its end has no such
// trailer, one with a piece missing before the table has an offset that no
// longer leads to it.
bool IsWholePdf(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const qint64 size = f.size();
    const qint64 tailSize = std::min<qint64>(size, 1024);
    if (!f.seek(size - tailSize)) return false;
    const QByteArray tail = f.read(tailSize);
    if (!tail.trimmed().endsWith("%%EOF")) return false;
    const qsizetype at = tail.lastIndexOf("startxref");
    if (at < 0) return false;
    bool ok = false;
    const qint64 offset = tail.mid(at + 9).trimmed().split('\n').value(0).trimmed().toLongLong(&ok);
    if (!ok || offset < 0 || offset + 4 > size || !f.seek(offset)) return false;
    return f.read(4) == "xref";
}

// A report a person prints to a file is forced to the disk before it takes
// the place of the earlier one, as every file a person saves is.
bool SyncToDisk(const QString& path) {
#if defined(__unix__) || defined(__APPLE__)
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0 || errno == EINVAL || errno == EROFS;
    ::close(fd);
    return ok;
#else
    (void)path;
    return true;
#endif
}

}  // namespace

PdfPrinter::PdfPrinter(const std::string& fileName, int dpi)
    : printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)), fileName_(fileName), dpi_(dpi) {
    printer_->setOutputFormat(QPrinter::PdfFormat);
    printer_->setOutputFileName(QString::fromStdString(fileName));
    printer_->setResolution(dpi);
    printer_->setPageSize(QPageSize(QPageSize::A4));
    printer_->setPageOrientation(QPageLayout::Portrait);
    printer_->setFullPage(true);
}

PdfPrinter::~PdfPrinter() {
    if (printing_) Abort();
    canvas_.SetDevice(nullptr);
}

void PdfPrinter::SetFileName(const std::string& fileName) {
    fileName_ = fileName;
    printer_->setOutputFileName(QString::fromStdString(fileName));
}

std::string PdfPrinter::GetTitle() const { return printer_->docName().toStdString(); }

void PdfPrinter::SetTitle(const std::string& title) { printer_->setDocName(QString::fromStdString(title)); }

PrinterOrientation PdfPrinter::GetOrientation() const {
    return printer_->pageLayout().orientation() == QPageLayout::Landscape ? PrinterOrientation::Landscape
                                                                          : PrinterOrientation::Portrait;
}

void PdfPrinter::SetOrientation(PrinterOrientation o) {
    if (printing_) throw PrinterError("Printing in progress");
    printer_->setPageOrientation(o == PrinterOrientation::Landscape ? QPageLayout::Landscape
                                                                    : QPageLayout::Portrait);
}

void PdfPrinter::BeginDoc() {
    if (printing_) throw PrinterError("Printing in progress");
    aborted_ = false;
    // The print dialog may have chosen another file.
    const QString target = printer_->outputFileName();
    fileName_ = target.toStdString();
    const QFileInfo info(target);
    if (target.isEmpty() || info.isDir()) throw PrinterError("Cannot create file \"" + fileName_ + "\"");
    // An earlier report the person may not write stays: the renamed job would
    // take its place all the same, since only the folder's rights count for that.
    if (info.exists() && !info.isWritable())
        throw PrinterError("Cannot create file \"" + fileName_ + "\". The file may not be written");
    QTemporaryFile part(info.absolutePath() + "/." + info.fileName() + ".XXXXXX");
    part.setAutoRemove(false);
    if (!part.open())
        throw PrinterError("Cannot create file \"" + fileName_ + "\". " + part.errorString().toStdString());
    partName_ = part.fileName().toStdString();
    part.close();
    printer_->setOutputFileName(part.fileName());
    device_ = std::make_unique<PainterDevice>(printer_.get(), false);
    device_->SetLogPixels(dpi_, dpi_);
    // Start painting here, not at the first drawing, so a printer that
    // cannot write is reported at the start of the job.
    if (!printer_->isValid() || !device_->Begin()) {
        device_.reset();
        printer_->setOutputFileName(target);
        QFile::remove(QString::fromStdString(partName_));
        partName_.clear();
        throw PrinterError("Cannot print to \"" + fileName_ + "\"");
    }
    canvas_.SetDevice(device_.get());
    printing_ = true;
}

void PdfPrinter::NewPage() {
    if (!printing_) throw PrinterError("Printer is not printing");
    if (!printer_->newPage()) throw PrinterError("Cannot start a new page");
}

void PdfPrinter::EndDoc() {
    if (!printing_) throw PrinterError("Printer is not printing");
    printing_ = false;
    canvas_.SetDevice(nullptr);
    if (device_) {
        if (!aborted_) {
            // An empty job still gives its page.
            device_->SetPixel(0, 0, 0xFFFFFF);
        }
        device_->Flush();
        device_.reset();
    }
    // Only an idle printer takes a new name.
    printer_->setOutputFileName(QString::fromStdString(fileName_));
    const std::string part = std::move(partName_);
    partName_.clear();
    if (part.empty()) return;
    if (aborted_) {
        QFile::remove(QString::fromStdString(part));
        return;
    }
    const QString partPath = QString::fromStdString(part);
    // The job file is private to its owner; the report takes the rights of
    // the one it replaces, or those of a new file.
    if (!IsWholePdf(partPath) || !TakeAccessRightsOf(fileName_, part) || !SyncToDisk(partPath)) {
        QFile::remove(partPath);
        throw PrinterError("Cannot create file \"" + fileName_ + "\". The file could not be written whole");
    }
    // Replaces an earlier file in one step.
    if (std::rename(QFile::encodeName(QString::fromStdString(part)).constData(),
                    QFile::encodeName(QString::fromStdString(fileName_)).constData()) != 0) {
        QFile::remove(QString::fromStdString(part));
        throw PrinterError("Cannot create file \"" + fileName_ + "\"");
    }
}

void PdfPrinter::Abort() {
    if (!printing_) return;
    // The partial file is dropped when the job ends.
    aborted_ = true;
    EndDoc();
}

int PdfPrinter::PageWidth() const { return printer_->width(); }
int PdfPrinter::PageHeight() const { return printer_->height(); }

bool QtPrintDialog::Execute(Printer& printer) {
    auto* pdf = dynamic_cast<PdfPrinter*>(&printer);
    if (!pdf) return true;
    QPrintDialog dialog(&pdf->Qt());
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace pellucor::platform
