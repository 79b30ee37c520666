#include "platform/testing/GfxDoubles.h"

#include <gtest/gtest.h>

namespace pellucor::platform::testing {

RecordingPrinter::RecordingPrinter(int pageWidth, int pageHeight, int dpi)
    : device(pageWidth, pageHeight), width_(pageWidth), height_(pageHeight), dpi_(dpi) {
    // Printer device caps: the page and the printer's resolution.
    canvas_.SetDevice(&device);
    canvas_.GetFont().SetPixelsPerInch(dpi);
}

void RecordingPrinter::SetTitle(const std::string& title) {
    title_ = title;
    log.push_back("Title " + title);
}

void RecordingPrinter::SetOrientation(PrinterOrientation o) {
    if (printing_) throw PrinterError("Printing in progress");
    orientation_ = o;
    log.push_back(o == PrinterOrientation::Landscape ? "Orientation Landscape" : "Orientation Portrait");
}

void RecordingPrinter::BeginDoc() {
    if (failBegin) throw PrinterError("Printer is not valid");
    if (printing_) throw PrinterError("Printing in progress");
    printing_ = true;
    aborted_ = false;
    log.push_back("BeginDoc");
}

void RecordingPrinter::NewPage() {
    if (!printing_) throw PrinterError("Printer is not printing");
    log.push_back("NewPage");
}

void RecordingPrinter::EndDoc() {
    if (!printing_) throw PrinterError("Printer is not printing");
    printing_ = false;
    log.push_back("EndDoc");
}

void RecordingPrinter::Abort() {
    // Like many printers, an aborted job still reports printing until ended.
    aborted_ = true;
    log.push_back("Abort");
}

int RecordingPrinter::PageWidth() const {
    return orientation_ == PrinterOrientation::Portrait ? width_ : height_;
}

int RecordingPrinter::PageHeight() const {
    return orientation_ == PrinterOrientation::Portrait ? height_ : width_;
}

bool ScriptedPrintDialog::Execute(Printer&) {
    ++shown;
    if (answers_.empty()) {
        ADD_FAILURE() << "print dialog shown without a scripted answer";
        return false;
    }
    const bool ok = answers_.front();
    answers_.pop_front();
    return ok;
}

}  // namespace pellucor::platform::testing
