#include "app/ui/rect_tracker.h"

#include <QMouseEvent>
#include <QPainter>

namespace tarnwick::ui {
namespace {

QRect ToQRect(const app::TRect& rect) {
    return QRect(rect.Left, rect.Top, rect.Width(), rect.Height());
}

Qt::CursorShape CursorShape(app::TTrackerCursor cursor) {
    switch (cursor) {
    case app::tcSizeHorizontal: return Qt::SizeHorCursor;
    case app::tcSizeVertical: return Qt::SizeVerCursor;
    case app::tcSizeRising: return Qt::SizeBDiagCursor;
    case app::tcSizeFalling: return Qt::SizeFDiagCursor;
    case app::tcMove: return Qt::SizeAllCursor;
    case app::tcArrow: break;
    }
    return Qt::ArrowCursor;
}

} // namespace

TCustomRectTracker::TCustomRectTracker(QWidget* parent) : QWidget(parent) {
    setMinimumSize(app::TrackerMinimumSize, app::TrackerMinimumSize);
    resize(65, 65);
    // The pointer shape follows the zone under the pointer also between drags.
    setMouseTracking(true);
}

QRect TCustomRectTracker::GetTrackRect() const { return ToQRect(app::TrackRect(Bounds())); }

app::TBounds TCustomRectTracker::Bounds() const { return {x(), y(), width(), height()}; }

void TCustomRectTracker::SetBounds(const app::TBounds& bounds) {
    setGeometry(bounds.Left, bounds.Top, bounds.Width, bounds.Height);
}

void TCustomRectTracker::SetAcControl(QWidget* control) {
    acControl_ = control == this ? nullptr : control;
    if (!acControl_) return;
    adjusting_ = true;
    const QRect around = acControl_->geometry().adjusted(-5, -5, 5, 5);
    SetBounds({around.x(), around.y(), around.width(), around.height()});
    adjusting_ = false;
}

void TCustomRectTracker::FollowWithAcControl() {
    if (!acControl_ || adjusting_) return;
    acControl_->setGeometry(geometry().adjusted(5, 5, -5, -5));
}

void TCustomRectTracker::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // Inverting what lies under the pen keeps the dots visible on dark and light pictures.
    painter.setCompositionMode(QPainter::RasterOp_NotDestination);
    painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    const app::TRect inner = app::TrackerInnerRect(width(), height());
    painter.drawRect(QRect(inner.Left, inner.Top, inner.Width() - 1, inner.Height() - 1));
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    for (const app::TRect& handle : app::TrackerHandles(width(), height()))
        painter.fillRect(ToQRect(handle), Qt::black);
}

void TCustomRectTracker::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton) drag_ = app::StartTrackerDrag(Bounds(), at.x(), at.y());
    emit OnMouseDown(at);
}

void TCustomRectTracker::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (drag_.Zone != app::dzNone) {
        const app::TBounds moved = app::DragTracker(drag_, Bounds(), at.x(), at.y(), limit_);
        if (!(moved == Bounds())) SetBounds(moved);
    }
    // Where the pointer is now in the tracker, which may have moved under it.
    const QPoint now = mapFromGlobal(event->globalPosition().toPoint());
    setCursor(
        CursorShape(app::TrackerCursor(app::TrackerHitTest(width(), height(), now.x(), now.y()))));
    emit OnMouseMove(at);
}

void TCustomRectTracker::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const bool changed = !(Bounds() == drag_.PressBounds) && drag_.Zone != app::dzNone;
    drag_ = {};
    emit OnMouseUp(event->position().toPoint());
    if (changed) emit OnChange(GetTrackRect());
}

void TCustomRectTracker::moveEvent(QMoveEvent*) { FollowWithAcControl(); }

void TCustomRectTracker::resizeEvent(QResizeEvent*) { FollowWithAcControl(); }

} // namespace tarnwick::ui
