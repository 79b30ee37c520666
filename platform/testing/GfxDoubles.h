#pragma once
// Doubles of the printing seams: a printer that records its job calls and
// draws on a recording device, and a print dialog answered from a script.
#include <deque>
#include <string>
#include <vector>

#include "platform/gfx/Printer.h"
#include "platform/gfx/RecordingDevice.h"

namespace pellucor::platform::testing {

// An A4 page at 600 pixels per inch unless set. Its job calls go to `log`
// ("Title T", "BeginDoc", "NewPage", "EndDoc", "Abort", "Orientation
// Landscape"); the drawing goes to `device`.
class RecordingPrinter final : public Printer {
public:
    explicit RecordingPrinter(int pageWidth = 4961, int pageHeight = 7016, int dpi = 600);

    std::vector<std::string> log;
    RecordingDevice device;
    // BeginDoc raises PrinterError while set.
    bool failBegin = false;

    std::string GetTitle() const override { return title_; }
    void SetTitle(const std::string& title) override;
    PrinterOrientation GetOrientation() const override { return orientation_; }
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
    int width_, height_, dpi_;
    std::string title_;
    PrinterOrientation orientation_ = PrinterOrientation::Portrait;
    bool printing_ = false;
    bool aborted_ = false;
    Canvas canvas_;
};

// Answers from a queue; an unscripted dialog fails the test and is cancelled.
class ScriptedPrintDialog final : public PrintDialogService {
public:
    bool Execute(Printer& printer) override;
    void Answer(bool ok) { answers_.push_back(ok); }
    int shown = 0;

private:
    std::deque<bool> answers_;
};

}  // namespace pellucor::platform::testing
