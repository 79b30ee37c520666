#include "chart/widget/ChartWidget.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace pellucor::chart {

TChartWidget::TChartWidget(QWidget* parent) : QWidget(parent) {
    Canvas->SetUseBuffer(true);
    // The whole widget is painted from the buffer: no background erase first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    OnInvalidateWindow = [this] { update(); };
}

TChartWidget::~TChartWidget() { OnInvalidateWindow = nullptr; }

QImage TChartWidget::Picture() const {
    auto* canvas = static_cast<TChartCanvas3D*>(Canvas.get());
    return canvas->BufferBitmap ? canvas->BufferBitmap->Image() : QImage();
}

void TChartWidget::paintEvent(QPaintEvent*) {
    auto* canvas = static_cast<TChartCanvas3D*>(Canvas.get());
    const bool resized = Width != width() || Height != height();
    if (resized) {
        Width = width();
        Height = height();
    }
    if (resized || canvas->BufferDirty || !canvas->BufferBitmap) {
        // Draw into the buffer only; the copy to the screen is done here.
        Draw(nullptr, TRect{0, 0, Width, Height});
        ++drawCount_;
    }
    const QImage picture = Picture();
    QPainter p(this);
    if (!picture.isNull()) p.drawImage(0, 0, picture);
}

void TChartWidget::Press(QMouseEvent* event, bool isDouble) {
    TMouseButton button = mbLeft;
    if (event->button() == Qt::RightButton) button = mbRight;
    else if (event->button() == Qt::MiddleButton) button = mbMiddle;
    TShiftState shift = 0;
    const auto mods = event->modifiers();
    if (mods & Qt::ShiftModifier) shift |= ssShift;
    if (mods & Qt::AltModifier) shift |= ssAlt;
    if (mods & Qt::ControlModifier) shift |= ssCtrl;
    const auto buttons = event->buttons();
    if (buttons & Qt::LeftButton) shift |= ssLeft;
    if (buttons & Qt::RightButton) shift |= ssRight;
    if (buttons & Qt::MiddleButton) shift |= ssMiddle;
    if (isDouble) shift |= ssDouble;
    const QPoint pos = event->position().toPoint();
    MouseDown(button, shift, pos.x(), pos.y());
}

void TChartWidget::mousePressEvent(QMouseEvent* event) { Press(event, false); }
void TChartWidget::mouseDoubleClickEvent(QMouseEvent* event) { Press(event, true); }

}  // namespace pellucor::chart
