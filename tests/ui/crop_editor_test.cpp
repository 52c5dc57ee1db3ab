// The crop editor over real clips: the stored bands laid over the picture, a rubber band drawn
// with synthetic pointer events, the spin edits, and a run that crops what the editor stored.

#include "ui/editor_test_support.h"

#include "app/core/run_plan.h"
#include "app/core/settings_keys.h"
#include "app/ui/crop_editor.h"
#include "app/ui/editor_preview.h"
#include "app/ui/rect_tracker.h"
#include "component/av_converter.h"
#include "fixtures/fixture_writer.h"

#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QtTest>

#include <atomic>
#include <filesystem>

namespace tarnwick::ui {

class CropEditorTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        pal_ = clips_.Short("pal.mp4", false, 720, 576);
        small_ = clips_.Short("small.mp4", true, 320, 240);
        sound_ = clips_.Sound("sound.wav");
    }

    void init() {
        editor_ = std::make_unique<TfrmCrop>();
        record_ = {};
    }
    void cleanup() { editor_.reset(); }

    void theRowsBandsLieOverThePicture() {
        record_.CropTop = 22;
        record_.CropLeft = 6;
        Open(pal_);
        // 720 x 576 fills the 370 x 253 preview by height: drawn at (27, 0, 343, 253), so the
        // picture's display area is (28, 1, 314, 251) on the preview.
        QCOMPARE(*editor_->Display(), (app::TBounds{28, 1, 314, 251}));
        QCOMPARE(Spin("spedUp")->value(), 10);  // 22 x 251 / 576 = 9.59
        QCOMPARE(Spin("spedLeft")->value(), 3); // 6 x 314 / 720 = 2.62
        QCOMPARE(editor_->RectTracker().geometry(), QRect(31, 11, 311, 241));
        QCOMPARE(editor_->findChild<QLabel*>("lblLength")->text(), "1.000 Second");
        // "Ok" without a change keeps the stored bands exactly.
        Click("btnOk");
        QCOMPARE(record_.CropTop, 22);
        QCOMPARE(record_.CropLeft, 6);
        QCOMPARE(record_.ZoomMode, "lbox");
    }

    void aDrawnCropIsStoredAndTheRunCropsThePicture() {
        record_.ZoomMode = "orig"; // the source size less the bands
        Open(small_);
        // 320 x 240 is drawn at (16, 0, 354, 253): the display area is (17, 1, 336, 251).
        QCOMPARE(*editor_->Display(), (app::TBounds{17, 1, 336, 251}));
        TRectTracker& tracker = editor_->RectTracker();
        Drag(tracker, {19, 3}, {59, 33}); // the top-left handle, 40 right and 30 down
        QCOMPARE(tracker.geometry(), QRect(57, 31, 296, 221));
        // The bottom handle, 20 up; then once more far below the picture, where it stops.
        Drag(tracker, {204, 249}, {204, 229});
        QCOMPARE(Bands(), (app::TCropBands{30, 20, 40, 0}));
        Drag(tracker, {204, 229}, {204, 400});
        QCOMPARE(Bands(), (app::TCropBands{30, 0, 40, 0}));
        Drag(tracker, {204, 249}, {204, 229});
        QCOMPARE(Bands(), (app::TCropBands{30, 20, 40, 0}));
        Click("btnOk");
        // 30 x 240 / 251 = 28.69, 20 x 240 / 251 = 19.12, 40 x 320 / 336 = 38.10; made even.
        QCOMPARE(record_.CropTop, 28);
        QCOMPARE(record_.CropBottom, 18);
        QCOMPARE(record_.CropLeft, 38);
        QCOMPARE(record_.CropRight, 0);
        QCOMPARE(record_.ZoomMode, "orig");

        const std::string output = Convert(record_);
        const fixtures::FileInfo converted = fixtures::ReadFileInfo(output, false);
        const fixtures::StreamInfo* video = converted.First(AVMEDIA_TYPE_VIDEO);
        QVERIFY(video);
        QCOMPARE(video->width, 320 - 38);
        QCOMPARE(video->height, 240 - 28 - 18);
    }

    void spinEditsMoveTheTrackerUntilItsMinimum() {
        Open(small_);
        TRectTracker& tracker = editor_->RectTracker();
        Spin("spedDown")->setValue(239); // 251 - 239 leaves 12 lines
        QCOMPARE(tracker.geometry(), QRect(17, 1, 336, 12));
        Spin("spedUp")->stepUp();
        Spin("spedUp")->stepUp();
        QCOMPARE(tracker.height(), 10);
        Spin("spedUp")->stepUp(); // the tracker cannot lose more
        QCOMPARE(Spin("spedUp")->value(), 2);
        QCOMPARE(tracker.geometry(), QRect(17, 3, 336, 10));
        Spin("spedLeft")->stepBy(10);
        QCOMPARE(tracker.geometry(), QRect(27, 3, 326, 10));
        // "&Default" puts the tracker back over the whole picture.
        Click("btnDefault");
        QCOMPARE(Bands(), app::TCropBands{});
        QCOMPARE(tracker.geometry(), QRect(17, 1, 336, 251));
    }

    void aPictureFileIsShownOnceAndCanBeCropped() {
        const std::string picture = clips_.Path("still.png");
        fixtures::ClipSpec spec = fixtures::SimpleClip(1, false);
        spec.video->width = 320;
        spec.video->height = 240;
        fixtures::WriteClip(picture, spec);
        Open(picture);
        QVERIFY(editor_->findChild<QSlider*>("trcPreview")->isHidden());
        QCOMPARE(*editor_->Display(), (app::TBounds{17, 1, 336, 251}));
        // The clock has nothing to play: it stops at its first tick.
        QTRY_VERIFY(editor_->Preview().Paused());
        Spin("spedLeft")->setValue(21);
        Click("btnOk");
        QCOMPARE(record_.CropLeft, 20); // 21 x 320 / 336 = 20
    }

    void aFileWithoutPicturesHasNothingToCrop() {
        record_.CropTop = 8;
        record_.ZoomMode = "ylbox";
        Open(sound_);
        QVERIFY(!editor_->RectTracker().isVisible());
        QVERIFY(!Spin("spedUp")->isEnabled());
        Click("btnOk");
        QCOMPARE(record_.CropTop, 0);
        QCOMPARE(record_.ZoomMode, "lbox");
    }

private:
    void Open(const std::string& path) {
        record_.SourceFile = path;
        editor_->Edit({&record_, {}});
        QVERIFY(QTest::qWaitForWindowExposed(editor_.get()));
        if (path != sound_) QTRY_VERIFY(editor_->RectTracker().isVisible());
    }
    QSpinBox* Spin(const QString& name) { return editor_->findChild<QSpinBox*>(name); }
    app::TCropBands Bands() {
        return {Spin("spedUp")->value(), Spin("spedDown")->value(), Spin("spedLeft")->value(),
                Spin("spedRight")->value()};
    }
    void Click(const QString& name) {
        QTest::mouseClick(editor_->findChild<QPushButton*>(name), Qt::LeftButton);
    }
    // A press, a few moves and a release, at points of the preview picture (the tracker's
    // parent); each event reaches the tracker in its coordinates of that moment.
    static void Drag(TRectTracker& tracker, QPoint from, QPoint to) {
        QTest::mousePress(&tracker, Qt::LeftButton, {}, from - tracker.pos());
        for (int step = 1; step <= 4; ++step)
            QTest::mouseMove(&tracker, from + (to - from) * step / 4 - tracker.pos());
        QTest::mouseRelease(&tracker, Qt::LeftButton, {}, to - tracker.pos());
    }

    // Converts the row with a 320 x 240 MPEG-4 preset; returns the output's path.
    std::string Convert(const app::TlvFilesRecord& record) {
        QTemporaryDir folder;
        const platform::IniStore settings(folder.filePath("tarnwick.ini").toStdString());
        const platform::IniStore presets(folder.filePath("tarnwickformat.ini").toStdString());
        app::WriteOutputFolder(settings, out_.path().toStdString());
        settings.WriteString("formatInfo0", "paraVideoEncoder", "mpeg4");
        settings.WriteString("formatInfo0", "paraVideoSize", "320x240");
        presets.WriteString("formatInfo0", "FileExt", "mp4");
        test::RecordingMessageBox messages;
        component::TKivAVConverter converter;
        std::atomic<bool> ended = false;
        converter.OnTerminate = [&ended](int32_t index, bool, bool, const std::string&) {
            if (index == -1) ended = true;
        };
        if (!converter.LoadLibraries((test::ExecutableFolder() / "LibAV").string(), true))
            return {};
        app::TTaskRow row{record, true};
        app::QueueRun(converter, converter.Probe, {row}, 0, {settings, presets, messages, {}, {}});
        converter.StartJobs(1);
        if (!QTest::qWaitFor([&ended] { return ended.load(); }, 60000)) return {};
        for (const auto& entry : std::filesystem::directory_iterator(out_.path().toStdString()))
            return entry.path().string();
        return {};
    }

    test::EditorClips clips_;
    std::string pal_, small_, sound_;
    QTemporaryDir out_;
    std::unique_ptr<TfrmCrop> editor_;
    app::TlvFilesRecord record_;
};

} // namespace tarnwick::ui

TARNWICK_UI_TEST_MAIN(tarnwick::ui::CropEditorTest)
#include "crop_editor_test.moc"
