#include "mainwindow/plots/MainChartWidget.h"

#include <QPointer>
#include <QTimer>

#include "platform/Services.h"

namespace pellucor::mainwindow {

TMainChart::TMainChart(QWidget* parent, PlotWindowLinks links, const PlotExtension* extension)
    : chart::TChartWidget(parent) {
    setObjectName("Chart1");
    setMinimumSize(200, 150);
    if (!links.ReportAfterDraw) {
        // A message box must not open inside a paint, print or copy: it is
        // shown from the event loop once the draw has ended.
        QPointer<TMainChart> self(this);
        links.ReportAfterDraw = [self](const std::string& text) {
            QTimer::singleShot(0, self, [text] { platform::ShowMessage(text, ""); });
        };
    }
    plots_ = std::make_unique<MainPlots>(*this, std::move(links), extension);
    SetBackground(false);
}

TMainChart::~TMainChart() { plots_.reset(); }

void TMainChart::ShowStartSeries() {
    plots_->DeactivateAllSeries();
    plots_->Series(1).SetActive(true);
    plots_->Series(2).SetActive(true);
}

void TMainChart::Replot(int kind) {
    plots_->Replot(kind);
    // Drawn afresh even when the dispatcher left the series as they were
    // (nothing to draw): the texts and the picture drawn over the chart
    // follow the state, which has changed all the same.
    Invalidate();
}

void TMainChart::HidePhaseAngleSeries() {
    plots_->Series(3).SetActive(false);
    plots_->Series(4).SetActive(false);
}

void TMainChart::SetFontSizes(bool large) {
    largeFonts_ = large;
    plots_->SetChartFontSizes(large);
}

void TMainChart::SetBackground(bool white) { SetColor(white ? chart::clWhite : chart::clBtnFace); }

MainChart* MakeMainChart(QWidget* parent, PlotWindowLinks links, const PlotExtension* extension) {
    return new TMainChart(parent, std::move(links), extension);
}

}  // namespace pellucor::mainwindow
