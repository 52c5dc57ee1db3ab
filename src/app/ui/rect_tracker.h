#pragma once
// A rubber band over whatever its parent shows: a dotted rectangle drawn by inverting the
// pixels under it (so it shows on any picture), with eight handles the user drags to resize
// it and a body to move it. It paints nothing else, so the parent shows through.
// Window thread only.

#include "app/core/tracker_geometry.h"

#include <QPointer>
#include <QWidget>

#include <optional>

namespace tarnwick::ui {

class TCustomRectTracker : public QWidget {
    Q_OBJECT
public:
    // 65 x 65 at first; never smaller than 10 x 10.
    explicit TCustomRectTracker(QWidget* parent = nullptr);

    // The dotted rectangle in the parent's coordinates.
    QRect GetTrackRect() const;
    app::TBounds Bounds() const;
    void SetBounds(const app::TBounds& bounds);

    // A drag stops at this area's edges (parent coordinates); none: free.
    void SetLimit(std::optional<app::TBounds> limit) { limit_ = limit; }

    // A control kept 5 pixels inside the tracker: the tracker first takes the control's
    // bounds grown by 5, then the control follows every change of the tracker. The tracker
    // itself or nullptr detaches; a control that is destroyed is forgotten.
    QWidget* AcControl() const { return acControl_; }
    void SetAcControl(QWidget* control);

    // The drag under way (zone dzNone between drags).
    const app::TTrackerDrag& Drag() const { return drag_; }

signals:
    // A drag ended with other bounds than it started with.
    void OnChange(QRect trackRect);
    // Pointer positions in the tracker's own coordinates. OnMouseMove comes after the drag
    // step has been applied.
    void OnMouseDown(QPoint position);
    void OnMouseMove(QPoint position);
    void OnMouseUp(QPoint position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void FollowWithAcControl();

    app::TTrackerDrag drag_;
    std::optional<app::TBounds> limit_;
    QPointer<QWidget> acControl_;
    bool adjusting_ = false;
};

// The tracker as windows place it.
class TRectTracker : public TCustomRectTracker {
    Q_OBJECT
public:
    using TCustomRectTracker::TCustomRectTracker;
};

} // namespace tarnwick::ui
