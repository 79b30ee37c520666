#pragma once
// The program's printer: a QPrinter writing one PDF file per job, A4 unless
// set, at a chosen resolution. The job is written beside the target and put
// in its place when it ends, so an aborted or failed job leaves no file
// behind and the file of an earlier job stays whole.
#include <memory>
#include <string>

#include "platform/gfx/Printer.h"

class QPrinter;

namespace pellucor::platform {

class PainterDevice;

class PdfPrinter final : public Printer {
public:
    explicit PdfPrinter(const std::string& fileName, int dpi = 600);
    ~PdfPrinter() override;
    PdfPrinter(const PdfPrinter&) = delete;
    PdfPrinter& operator=(const PdfPrinter&) = delete;

    void SetFileName(const std::string& fileName);
    const std::string& FileName() const { return fileName_; }
    QPrinter& Qt() { return *printer_; }

    std::string GetTitle() const override;
    void SetTitle(const std::string& title) override;
    PrinterOrientation GetOrientation() const override;
    void SetOrientation(PrinterOrientation o) override;
    void BeginDoc() override;
    void NewPage() override;
    void EndDoc() override;
    void Abort() override;
    bool GetPrinting() const override { return printing_; }
    bool GetAborted() const override { return aborted_; }
    int PageWidth() const override;
    int PageHeight() const override;
    int LogPixelsX() const override { return dpi_; }
    int LogPixelsY() const override { return dpi_; }
    Canvas& GetCanvas() override { return canvas_; }

private:
    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<PainterDevice> device_;
    Canvas canvas_;
    std::string fileName_;
    std::string partName_;  // the job being written, beside the target
    int dpi_;
    bool printing_ = false;
    bool aborted_ = false;
};

// The print dialog of the desktop on a PdfPrinter (other printers: the
// dialog is skipped and the answer is yes).
class QtPrintDialog final : public PrintDialogService {
public:
    bool Execute(Printer& printer) override;
};

}  // namespace pellucor::platform
