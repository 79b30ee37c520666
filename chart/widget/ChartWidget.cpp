#include "chart/widget/ChartWidget.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>

namespace pellucor::chart {

namespace {

TMouseButton ButtonOf(Qt::MouseButton b) {
    if (b == Qt::RightButton) return mbRight;
    if (b == Qt::MiddleButton) return mbMiddle;
    return mbLeft;
}

TShiftState ShiftOf(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons) {
    TShiftState shift = 0;
    if (mods & Qt::ShiftModifier) shift |= ssShift;
    if (mods & Qt::AltModifier) shift |= ssAlt;
    if (mods & Qt::ControlModifier) shift |= ssCtrl;
    if (buttons & Qt::LeftButton) shift |= ssLeft;
    if (buttons & Qt::RightButton) shift |= ssRight;
    if (buttons & Qt::MiddleButton) shift |= ssMiddle;
    return shift;
}

// The chart's cursor numbers (the platform's standard cursors and the
// engine's hand) as Qt cursors.
Qt::CursorShape ShapeOf(int cursor) {
    switch (cursor) {
        case crChartHand:
        case -21: return Qt::PointingHandCursor;  // crHandPoint
        case -1: return Qt::BlankCursor;           // crNone
        case -3: return Qt::CrossCursor;
        case -4: return Qt::IBeamCursor;
        case -6: return Qt::SizeBDiagCursor;
        case -7: return Qt::SizeVerCursor;
        case -8: return Qt::SizeFDiagCursor;
        case -9: return Qt::SizeHorCursor;
        case -10: return Qt::UpArrowCursor;
        case -11:
        case -17: return Qt::WaitCursor;  // crHourGlass, crSQLWait
        case -12:
        case -16: return Qt::DragMoveCursor;  // crDrag, crMultiDrag
        case -13:
        case -18: return Qt::ForbiddenCursor;  // crNoDrop, crNo
        case -14: return Qt::SplitHCursor;
        case -15: return Qt::SplitVCursor;
        case -19: return Qt::BusyCursor;
        case -20: return Qt::WhatsThisCursor;
        case -22: return Qt::SizeAllCursor;
        default: return Qt::ArrowCursor;
    }
}

}  // namespace

TChartWidget::TChartWidget(QWidget* parent) : QWidget(parent) {
    Canvas->SetUseBuffer(true);
    // The whole widget is painted from the buffer: no background erase first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Moves without a button pressed show the cursor of the series below.
    setMouseTracking(true);
    OnInvalidateWindow = [this] { update(); };
}

TChartWidget::~TChartWidget() { OnInvalidateWindow = nullptr; }

QImage TChartWidget::Picture() const {
    auto* canvas = static_cast<TChartCanvas3D*>(Canvas.get());
    return canvas->BufferBitmap ? canvas->BufferBitmap->Image() : QImage();
}

std::string TChartWidget::GetName() const { return Name.empty() ? objectName().toStdString() : Name; }

void TChartWidget::Refresh() { repaint(); }

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

void TChartWidget::ShowCursor() {
    if (Cursor == shownCursor_) return;
    shownCursor_ = Cursor;
    if (Cursor == 0) unsetCursor();
    else setCursor(ShapeOf(Cursor));
}

void TChartWidget::Press(QMouseEvent* event, bool isDouble) {
    TShiftState shift = ShiftOf(event->modifiers(), event->buttons());
    if (isDouble) shift |= ssDouble;
    const QPoint pos = event->position().toPoint();
    MouseDown(ButtonOf(event->button()), shift, pos.x(), pos.y());
    // A zoom rectangle drawn into the buffer shows with the next paint.
    update();
    ShowCursor();
}

void TChartWidget::mousePressEvent(QMouseEvent* event) { Press(event, false); }
void TChartWidget::mouseDoubleClickEvent(QMouseEvent* event) { Press(event, true); }

void TChartWidget::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const bool dragging = ZoomRecord.IsActive;
    MouseMove(ShiftOf(event->modifiers(), event->buttons()), pos.x(), pos.y());
    if (dragging) update();
    ShowCursor();
}

void TChartWidget::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const bool dragging = ZoomRecord.IsActive;
    MouseUp(ButtonOf(event->button()), ShiftOf(event->modifiers(), event->buttons()), pos.x(), pos.y());
    if (dragging) update();
    ShowCursor();
}

void TChartWidget::wheelEvent(QWheelEvent* event) {
    const QPoint pos = event->position().toPoint();
    DoMouseWheel(ShiftOf(event->modifiers(), event->buttons()), event->angleDelta().y(), TPoint{pos.x(), pos.y()});
    event->accept();
}

}  // namespace pellucor::chart
