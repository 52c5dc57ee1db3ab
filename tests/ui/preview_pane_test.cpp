// The main window's preview of real clips: the seek bar over the file, the clock that walks
// through it, the pictures it shows, the end of the file, still pictures and snapshots.
#include "ui/ui_test_support.h"

#include "app/ui/main_window.h"
#include "app/ui/preview_pane.h"
#include "app/ui/probe_preview.h"
#include "fixtures/fixture_writer.h"
#include "fixtures/frame_number_blocks.h"

#include <QDir>
#include <QLabel>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <memory>

namespace tarnwick::ui {

class PreviewPaneTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        folders_ = std::make_unique<test::UiTestFolders>();
        desktop_ = std::make_unique<test::TestDesktop>();
        window_ = std::make_unique<TfrmMain>(desktop_->Services);
        window_->show();
    }

    void cleanup() {
        window_.reset();
        desktop_.reset();
        folders_.reset();
    }

    // 90 pictures a second apart: unit 10000, 9000 positions, the end after 90 ticks.
    void ninetySecondFile() {
        Preview(Clip("ninety.avi", 90, {1, 1}));
        Pane().imgbtnPauseClick();
        QCOMPARE(Pane().SeekBar().Unit, int64_t{10000});
        QCOMPARE(Bar()->maximum(), 9000);
        QCOMPARE(Bar()->tickInterval(), 473);
        QCOMPARE(Bar()->singleStep(), 100);
        QCOMPARE(Bar()->pageStep(), 500);
        QVERIFY(Bar()->isVisible());

        QSignalSpy shown(&Pane().Pictures(), &ProbePreview::pictureShown);
        Bar()->setValue(1234);
        QCOMPARE(Pane().lblPTS->text(), QStringLiteral("Time: 12.340"));
        QVERIFY(shown.wait(10000));
        QCOMPARE(ShownNumber(), 12);

        Bar()->setValue(0);
        QVERIFY(Pane().Resume());
        QCOMPARE(TicksToTheEnd(), 90);
        QTRY_VERIFY(Pane().State().Stopped());
        QVERIFY(!window_->KivAVC.Probe.Context()); // the file is closed at the end
        QVERIFY2(ShownNumber() >= 80, "a picture near the end stays shown");
    }

    void shortFileEndsAtTheFirstTick() {
        Preview(Clip("short.avi", 20, {25, 1})); // 0.8 s
        QCOMPARE(TicksToTheEnd(), 1);
        QTRY_VERIFY(Pane().State().Stopped());
        // The next tick offers "Play" again.
        QTRY_VERIFY(Pane().imgbtnPlay->isEnabled());
        QVERIFY(!Pane().imgbtnStop->isEnabled());
    }

    // A still picture: no bar; its picture is shown once and the preview stops at once.
    void pictureFileHidesTheBar() {
        fixtures::ClipSpec spec;
        spec.video.emplace();
        spec.video->width = 64;
        spec.video->height = 48;
        const std::string picture = folders_->Folder().File("still.png");
        fixtures::WriteClip(picture, spec);
        QSignalSpy shown(&Pane().Pictures(), &ProbePreview::pictureShown);
        Preview(picture);
        QVERIFY(!Bar()->isVisible());
        QCOMPARE(Bar()->maximum(), 0);
        QVERIFY(shown.wait(10000));
        QCOMPARE(Pane().Pictures().Picture().Width(), 64);
        QTRY_VERIFY(Pane().State().Stopped());
        QVERIFY(!window_->KivAVC.Probe.Context());
        QCOMPARE(shown.size(), 1);
    }

    // A burst of positions decodes only the newest: the window waits for one picture.
    void aBurstOfPositionsDecodesOnce() {
        Preview(Clip("ninety.avi", 90, {1, 1}));
        Pane().imgbtnPauseClick();
        QSignalSpy shown(&Pane().Pictures(), &ProbePreview::pictureShown);
        for (int second = 1; second <= 40; ++second)
            Bar()->setValue(second * 100);
        QVERIFY(shown.wait(10000));
        QCoreApplication::processEvents();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(ShownNumber(), 40);
    }

    void snapshotWritesOnlyTheChosenFiles() {
        QTemporaryDir snapshots;
        const platform::IniStore settings(folders_->SettingsFile());
        settings.WriteString("settings", "SnapOutPutDir", snapshots.path().toStdString());
        settings.WriteInteger("settings", "snapBmp", 1);
        settings.WriteInteger("settings", "snapJpg", 0);
        settings.WriteInteger("settings", "snapFullSize", 1);
        settings.WriteInteger("settings", "snapSmallSize", 0);
        QSignalSpy shown(&Pane().Pictures(), &ProbePreview::pictureShown);
        Preview(Clip("clip.avi", 25, {25, 1}));
        QVERIFY(shown.wait(10000));
        QTest::mouseClick(Pane().imgbtnPause, Qt::LeftButton);
        QTest::mouseClick(Pane().imgbtnSnap, Qt::LeftButton);
        QCOMPARE(QDir(snapshots.path()).entryList(QDir::Files), QStringList{"Snapshot_full.bmp"});
        QCOMPARE(QImage(snapshots.filePath("Snapshot_full.bmp")).size(), QSize(160, 120));
    }

    // "Play" with an empty list adds files first; pausing and playing again goes on; removing
    // the last row stops the preview.
    void playAddsPausesAndRemovingTheLastRowStops() {
        desktop_->Files.SourceAnswers
            << QStringList{QString::fromStdString(Clip("ninety.avi", 90, {1, 1}))};
        QTest::mouseClick(Pane().imgbtnPlay, Qt::LeftButton);
        QCOMPARE(desktop_->Files.SourceCalls, 1);
        QCOMPARE(window_->Rows().rowCount(), 1);
        QVERIFY(!Pane().State().Stopped());
        QVERIFY(!Pane().imgPreview1->isVisible());
        QTest::mouseClick(Pane().imgbtnPause, Qt::LeftButton);
        QVERIFY(Pane().State().Paused());
        QVERIFY(Pane().imgbtnPlay->isEnabled());
        QTest::mouseClick(Pane().imgbtnPlay, Qt::LeftButton);
        QVERIFY(!Pane().State().Paused());
        QVERIFY(Pane().imgbtnPause->isEnabled());
        QCOMPARE(desktop_->Files.SourceCalls, 1);

        window_->btnRemoveClick();
        QVERIFY(Pane().State().Stopped());
        QVERIFY(Pane().imgbtnPlay->isEnabled());
        QVERIFY(!Pane().imgbtnStop->isEnabled());
        QVERIFY(Pane().imgPreview1->isVisible());
    }

private:
    PreviewPane& Pane() { return window_->Preview(); }
    QSlider* Bar() { return Pane().trcPreview; }

    // Numbered pictures, every one a key picture, so a seek lands on the picture of its time.
    std::string Clip(const std::string& name, int pictures, AVRational rate) {
        fixtures::ClipSpec spec = fixtures::SimpleClip(pictures, false);
        spec.video->codec = "mjpeg";
        spec.video->frameRate = rate;
        const std::string path = folders_->Folder().File(name);
        fixtures::WriteClip(path, spec);
        return path;
    }

    // Adds the file and previews it as a double click on its row does.
    void Preview(const std::string& path) {
        desktop_->Files.SourceAnswers << QStringList{QString::fromStdString(path)};
        window_->btnAddClick();
        QCOMPARE(window_->Rows().rowCount(), 1);
        window_->lvFilesDblClick();
    }

    int ShownNumber() {
        const platform::Bitmap24& picture = Pane().Pictures().Picture();
        return fixtures::ReadNumberBlocksBgr(picture.Bits(), picture.Stride(), picture.Width(),
                                             picture.Height());
    }

    // Runs the clock fast until the bar reaches its end; returns the ticks it took.
    int TicksToTheEnd() {
        int ticks = 0, ticksAtEnd = 0;
        QObject scope;
        connect(Pane().Timer1, &QTimer::timeout, &scope, [&] {
            ++ticks;
            if (ticksAtEnd == 0 && Bar()->value() == Bar()->maximum()) ticksAtEnd = ticks;
        });
        Pane().Timer1->setInterval(1);
        [&] { QTRY_VERIFY_WITH_TIMEOUT(ticksAtEnd > 0, 30000); }();
        Pane().Timer1->setInterval(500);
        return ticksAtEnd;
    }

    std::unique_ptr<test::UiTestFolders> folders_;
    std::unique_ptr<test::TestDesktop> desktop_;
    std::unique_ptr<TfrmMain> window_;
};

} // namespace tarnwick::ui

TARNWICK_UI_TEST_MAIN(tarnwick::ui::PreviewPaneTest)
#include "preview_pane_test.moc"
