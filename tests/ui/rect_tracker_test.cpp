// The rectangle tracker control: drags by synthetic pointer events, the pointer shapes, the
// change event, the inverted dotted frame and the attached control.

#include "ui/ui_test_support.h"

#include "app/ui/rect_tracker.h"

#include <QLabel>
#include <QPainter>
#include <QSignalSpy>
#include <QtTest>

namespace tarnwick::ui {

class RectTrackerTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        parent_ = std::make_unique<QWidget>();
        parent_->resize(400, 300);
        tracker_ = new TRectTracker(parent_.get());
        tracker_->SetBounds({100, 100, 65, 65});
        parent_->show();
        QVERIFY(QTest::qWaitForWindowExposed(parent_.get()));
    }
    void cleanup() { parent_.reset(); }

    void aCornerDragResizesAndReportsTheChangeOnce() {
        QSignalSpy changes(tracker_, &TRectTracker::OnChange);
        QSignalSpy moves(tracker_, &TRectTracker::OnMouseMove);
        Press({162, 162}); // the bottom-right handle
        MoveTo({172, 167});
        QCOMPARE(tracker_->cursor().shape(), Qt::SizeFDiagCursor);
        MoveTo({182, 177});
        QCOMPARE(tracker_->geometry(), QRect(100, 100, 85, 80));
        QCOMPARE(moves.count(), 2);
        QCOMPARE(changes.count(), 0);
        Release({182, 177});
        QCOMPARE(changes.count(), 1);
        QCOMPARE(changes.at(0).at(0).toRect(), QRect(QPoint(102, 102), QPoint(182, 177)));
        QCOMPARE(tracker_->GetTrackRect(), QRect(QPoint(102, 102), QPoint(182, 177)));
        QCOMPARE(tracker_->Drag().Zone, app::dzNone);

        // A press and release without a move changes nothing and says nothing.
        Press({150, 150});
        Release({150, 150});
        QCOMPARE(changes.count(), 1);
    }

    void theLeftEdgeStopsAtTheMinimumAndTheLimit() {
        tracker_->SetLimit(app::TBounds{90, 90, 200, 150});
        Press({102, 132}); // the left handle
        MoveTo({80, 132});
        QCOMPARE(tracker_->geometry(), QRect(90, 100, 75, 65));
        MoveTo({200, 132});
        QCOMPARE(tracker_->geometry(), QRect(155, 100, 10, 65));
        // The pointer has left the tracker, which is as narrow as it gets.
        QCOMPARE(tracker_->cursor().shape(), Qt::ArrowCursor);
        Release({200, 132});
        // The body moves and stops at the limit's far corner.
        Press({160, 110});
        MoveTo({400, 300});
        QCOMPARE(tracker_->geometry(), QRect(280, 175, 10, 65));
        Release({400, 300});
        MoveTo({285, 200});
        QCOMPARE(tracker_->cursor().shape(), Qt::SizeAllCursor);
    }

    void theFrameShowsOnDarkAndLightPictures() {
        // Black on the left half, white on the right; the frame's top line crosses both.
        auto* picture = new QLabel(parent_.get());
        QImage halves(400, 300, QImage::Format_RGB32);
        halves.fill(Qt::white);
        QPainter(&halves).fillRect(0, 0, 200, 300, Qt::black);
        picture->setPixmap(QPixmap::fromImage(halves));
        picture->setGeometry(0, 0, 400, 300);
        picture->lower();
        picture->show();
        tracker_->SetBounds({150, 100, 101, 65});
        const QImage shot = parent_->grab().toImage();
        // The dotted line runs along y 102; its dots invert what lies under them.
        int whiteOnBlack = 0, blackOnWhite = 0;
        for (int x = 160; x < 190; ++x)
            whiteOnBlack += shot.pixelColor(x, 102) == Qt::white;
        for (int x = 210; x < 240; ++x)
            blackOnWhite += shot.pixelColor(x, 102) == Qt::black;
        QVERIFY(whiteOnBlack >= 10);
        QVERIFY(blackOnWhite >= 10);
        // Handles are solid black, also on black; between handles and frame the picture shows.
        QCOMPARE(shot.pixelColor(248, 102), QColor(Qt::black)); // top-right handle
        QCOMPARE(shot.pixelColor(160, 104), QColor(Qt::black)); // inside: the picture
        QCOMPARE(shot.pixelColor(240, 104), QColor(Qt::white));
    }

    void anAttachedControlStaysInside() {
        auto* control = new QLabel(parent_.get());
        control->setGeometry(50, 60, 100, 80);
        tracker_->SetAcControl(control);
        QCOMPARE(tracker_->geometry(), QRect(45, 55, 110, 90));
        QCOMPARE(control->geometry(), QRect(50, 60, 100, 80));
        tracker_->SetBounds({20, 30, 200, 100});
        QCOMPARE(control->geometry(), QRect(25, 35, 190, 90));
        delete control;
        QCOMPARE(tracker_->AcControl(), nullptr);
        tracker_->SetBounds({0, 0, 50, 50}); // nothing left to follow
        tracker_->SetAcControl(tracker_);
        QCOMPARE(tracker_->AcControl(), nullptr);
    }

private:
    // Pointer positions are in the parent's coordinates, as a real pointer is; each event
    // reaches the tracker in its coordinates of that moment, which a drag keeps changing.
    QPoint Local(QPoint inParent) const { return inParent - tracker_->pos(); }
    void Press(QPoint at) { QTest::mousePress(tracker_, Qt::LeftButton, {}, Local(at)); }
    void MoveTo(QPoint at) { QTest::mouseMove(tracker_, Local(at)); }
    void Release(QPoint at) { QTest::mouseRelease(tracker_, Qt::LeftButton, {}, Local(at)); }

    std::unique_ptr<QWidget> parent_;
    TRectTracker* tracker_ = nullptr;
};

} // namespace tarnwick::ui

TARNWICK_UI_TEST_MAIN(tarnwick::ui::RectTrackerTest)
#include "rect_tracker_test.moc"
