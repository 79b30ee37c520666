#pragma once
// The printer as the chart engine and the print routines use it: a page in
// device pixels at some resolution, an orientation, a job title, and a job
// that is begun, ended or aborted; its canvas draws on the current page. The
// program's printer writes PDF files (PdfPrinter); tests use a recording
// double (platform/testing/GfxDoubles.h). A print dialog seam lets a person
// choose before a job; its double answers from a script.
#include <stdexcept>
#include <string>

#include "platform/gfx/Canvas.h"

namespace pellucor::platform {

enum class PrinterOrientation { Portrait, Landscape };

// Raised by a printer that cannot begin, draw or end a job.
class PrinterError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Printer {
public:
    virtual ~Printer() = default;

    virtual std::string GetTitle() const = 0;
    virtual void SetTitle(const std::string& title) = 0;
    virtual PrinterOrientation GetOrientation() const = 0;
    // Not while a job is open (raises PrinterError).
    virtual void SetOrientation(PrinterOrientation o) = 0;

    // Opens a job on a first page; raises PrinterError when it cannot.
    virtual void BeginDoc() = 0;
    virtual void NewPage() = 0;
    // Closes the job and delivers it.
    virtual void EndDoc() = 0;
    // Drops the job: nothing is delivered. The printer may still report
    // printing until EndDoc.
    virtual void Abort() = 0;
    virtual bool GetPrinting() const = 0;
    virtual bool GetAborted() const = 0;

    // The page in device pixels and the resolution (pixels per inch).
    virtual int PageWidth() const = 0;
    virtual int PageHeight() const = 0;
    virtual int LogPixelsX() const = 0;
    virtual int LogPixelsY() const = 0;

    // The canvas on the current page; drawing needs an open job.
    virtual Canvas& GetCanvas() = 0;
};

class PrintDialogService {
public:
    virtual ~PrintDialogService() = default;
    // Lets the person set up the printer; false when cancelled.
    virtual bool Execute(Printer& printer) = 0;
};

}  // namespace pellucor::platform
