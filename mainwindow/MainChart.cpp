#include "mainwindow/MainChart.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "core/ProgramState.h"
#include "core/TextHelpers.h"

namespace pellucor::mainwindow {

PlaceholderChart::PlaceholderChart(QWidget* parent) : QWidget(parent) {
    setObjectName("Chart1");
    setMinimumSize(200, 150);
    setAutoFillBackground(true);
    SetBackground(true);
}

void PlaceholderChart::Replot(int kind) {
    ++replotCount;
    lastKind = kind;
    update();
}

void PlaceholderChart::SetBackground(bool white) {
    whiteBackground = white;
    QPalette p = palette();
    p.setColor(QPalette::Window, white ? QColor(Qt::white) : QColor(240, 240, 240));
    setPalette(p);
    update();
}

void PlaceholderChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const ProgramState& s = State();
    const bool plotted = replotCount > 0 && (s.Run.DataLoaded || s.Run.SimulatedResults);
    QFont title("Arial");
    title.setPixelSize(largeFonts ? 15 : 13);
    title.setBold(true);
    painter.setFont(title);
    const QString heading = plotted ? QString::fromStdString(FileNameOfPath(s.Files.DataFileName))
                                    : QString("Let's start with opening a file ...");
    painter.drawText(QRect(0, 4, width(), 20), Qt::AlignHCenter, heading);

    const QRect plot = rect().adjusted(60, 30, -30, -40);
    painter.setPen(QPen(Qt::black, 2));
    painter.drawRect(plot);
    if (!plotted || s.Spectrum.PointCount <= 0) return;

    // Nyquist plane for kind 1, |Z| against log f otherwise: enough to see the
    // data until the chart draws the plot kinds itself.
    const int n = std::min(s.Spectrum.PointCount, MaxPoints - 1);
    auto xy = [&](int i) {
        const double re = s.Spectrum.ZReal[i], im = s.Spectrum.ZImag[i];
        if (lastKind == 1) return QPointF(re, im);
        const double f = s.Spectrum.Frequency[i];
        return QPointF(f > 0 ? std::log10(f) : 0.0, std::hypot(re, im));
    };
    double x0 = 0, x1 = 0, y0 = 0, y1 = 0;
    for (int i = 1; i <= n; ++i) {
        const QPointF p = xy(i);
        if (i == 1) {
            x0 = x1 = p.x();
            y0 = y1 = p.y();
        }
        x0 = std::min(x0, p.x());
        x1 = std::max(x1, p.x());
        y0 = std::min(y0, p.y());
        y1 = std::max(y1, p.y());
    }
    if (lastKind == 1) {
        x0 = std::min(0.0, x0);
        y0 = std::min(0.0, y0);
    }
    double dx = x1 > x0 ? x1 - x0 : 1.0, dy = y1 > y0 ? y1 - y0 : 1.0;
    if (lastKind == 1) {
        // The same units per pixel on both axes, as the plane plots have them.
        const double perPixel = std::max(dx / plot.width(), dy / plot.height());
        dx = perPixel * plot.width();
        dy = perPixel * plot.height();
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::red);
    painter.setBrush(Qt::red);
    for (int i = 1; i <= n; ++i) {
        const QPointF p = xy(i);
        const double px = plot.left() + (p.x() - x0) / dx * plot.width();
        const double py = plot.bottom() - (p.y() - y0) / dy * plot.height();
        painter.drawEllipse(QPointF(px, py), 3, 3);
    }
}

MainChart* MakeMainChart(QWidget* parent) { return new PlaceholderChart(parent); }

}  // namespace pellucor::mainwindow
