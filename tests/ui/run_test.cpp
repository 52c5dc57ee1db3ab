// Conversion runs through the main window's "&Start", the real component and the progress
// window, with clips made at test time and added through "&Add". Message boxes, the folder
// opener and the power-off are recorders.
#include "ui/ui_test_support.h"

#include "app/core/run_progress.h"
#include "app/ui/main_window.h"
#include "app/ui/picture_view.h"
#include "app/ui/progress_window.h"
#include "app/ui/run_bridge.h"
#include "app/ui/run_controller.h"
#include "fixtures/fixture_writer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>

#include <filesystem>
#include <map>
#include <memory>
#include <thread>

namespace tarnwick::ui {

class RunTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        folders_ = std::make_unique<test::UiTestFolders>();
        desktop_ = std::make_unique<test::TestDesktop>();
        window_ = std::make_unique<TfrmMain>(desktop_->Services);
        window_->show();
        // The 720p H.264 preset scales the small clips up, so that a job runs long enough to
        // report its progress a few times.
        window_->findChild<QComboBox*>("cbOutputFormat")->setCurrentIndex(16);
        clip_ = folders_->Clip("clip.mp4", 50);
    }

    void cleanup() {
        if (Run().Running()) {
            Run().Progress()->close();
            QTRY_VERIFY_WITH_TIMEOUT(!Run().Running(), 60000);
        }
        window_.reset();
        desktop_.reset();
        folders_.reset();
    }

    void startWithNothingCheckedQueuesNothing() {
        AddRows({clip_});
        window_->UncheckAll1Click();
        Click(window_.get(), "btnStart");
        QCOMPARE(Shown(), QStringList{"Warning: Please select a file by clicking the check box!"});
        QVERIFY(!Run().Running());
        QCOMPARE(window_->KivAVC.JobCount(), 0);
    }

    // Rows 0, 2 and 4 of five checked: each job writes its own row's cell, the window counts
    // the jobs, the folder opens once after the last one, and nothing is powered off.
    void checkedRowsRunInListOrder() {
        std::vector<std::string> clips;
        for (int row = 0; row < 5; ++row)
            clips.push_back(folders_->Clip("clip" + std::to_string(row) + ".mp4", 50));
        AddRows(clips);
        for (int row : {1, 3})
            window_->Rows().SetChecked(row, false);
        QSignalSpy progress(Bridge(), &RunBridge::progress);
        std::map<int, QString> counterOfJob, cellWritten;
        QObject scope;
        connect(Bridge(), &RunBridge::progress, &scope, [&](int job) {
            counterOfJob[job] = Label("lblProgress")->text();
            cellWritten[job] = Cells()[Run().RunRows()[job]];
        });
        Click(window_.get(), "btnStart");
        QCOMPARE(Run().RunRows(), (std::vector<int32_t>{0, 2, 4}));
        QVERIFY(!Button(window_.get(), "btnAdd")->isEnabled());
        WaitForRunEnd();
        QCOMPARE(counterOfJob[1], QStringLiteral("[2/3]"));
        QVERIFY(cellWritten[1].endsWith('%'));
        QCOMPARE(Cells(), (QStringList{"100%", "", "100%", "", "100%"}));
        QCOMPARE(desktop_->Urls.Opened.size(), 1);
        QCOMPARE(desktop_->Urls.Opened[0].toLocalFile(), Folder());
        QCOMPARE(desktop_->PowerOff.Requests, 0);
        QVERIFY(Shown().isEmpty());
        QVERIFY(Button(window_.get(), "btnAdd")->isEnabled());
        QCOMPARE(window_->KivAVC.JobCount(), 0);
        QVERIFY(!Run().Progress()->isVisible());
        for (const char* name : {"clip0_(new).mp4", "clip2_(new).mp4", "clip4_(new).mp4"})
            QVERIFY2(QFile::exists(Folder() + '/' + name), name);
    }

    // Output paths of 50 and 51 characters: the first is shown whole, the second shortened.
    void longOutputNamesAreShortened() {
        QTemporaryDir shortFolder(QStringLiteral("/tmp/t-XXXXXX"));
        platform::IniStore(folders_->SettingsFile())
            .WriteString("settings", "OutPutDir", shortFolder.path().toStdString());
        const QString folder = shortFolder.path();
        const int room = 50 - static_cast<int>(folder.size()) - int(sizeof "/_(new).mp4") + 1;
        QVERIFY(room > 0);
        std::map<int, QString> shown;
        std::vector<std::string> clips;
        for (int extra : {0, 1}) {
            clips.push_back(folders_->Folder().File(std::string(room + extra, 'n') + ".mp4"));
            std::filesystem::copy_file(clip_, clips.back());
        }
        AddRows(clips);
        QObject scope;
        connect(Bridge(), &RunBridge::progress, &scope,
                [&](int job) { shown[job] = Label("lblOutput")->text(); });
        Click(window_.get(), "btnStart");
        WaitForRunEnd();
        const QString fifty = folder + '/' + QString(room, 'n') + "_(new).mp4";
        QCOMPARE(fifty.size(), 50);
        QCOMPARE(shown[0], fifty);
        const QString fiftyOne = folder + '/' + QString(room + 1, 'n') + "_(new).mp4";
        QCOMPARE(shown[1], fiftyOne.left(44) + "...mp4");
        QCOMPARE(Label("lblOutput")->width(), 283);
    }

    void failedJobWarnsAndTheNextConverts_data() {
        QTest::addColumn<bool>("failFirst");
        QTest::newRow("first of two fails") << true;
        QTest::newRow("last of two fails") << false;
    }

    // A row whose crop does not fit its picture fails when it runs: one warning, the other
    // job still converts, and the folder opens only when the last job finished.
    void failedJobWarnsAndTheNextConverts() {
        QFETCH(bool, failFirst);
        AddRows({clip_, folders_->Clip("other.mp4", 50)});
        window_->Rows().MutableRecord(failFirst ? 0 : 1).CropTop = 400;
        Click(window_.get(), "btnStart");
        WaitForRunEnd();
        QCOMPARE(Shown().size(), 1);
        QVERIFY2(Shown()[0].startsWith("Tarnwick: "), qPrintable(Shown()[0]));
        QCOMPARE(Cells()[failFirst ? 1 : 0], QStringLiteral("100%"));
        QCOMPARE(desktop_->Urls.Opened.size(), failFirst ? 1 : 0);
    }

    void shutDownOnlyWhenTicked_data() {
        QTest::addColumn<bool>("ticked");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("ticked") << true << QString();
        QTest::newRow("not ticked") << false << QString();
        QTest::newRow("refused") << true << QStringLiteral("Access denied");
    }

    // The power-off is asked once, after the last job, only when ticked; a refusal is said.
    void shutDownOnlyWhenTicked() {
        QFETCH(bool, ticked);
        QFETCH(QString, refusal);
        desktop_->PowerOff.Refusal = refusal.toStdString();
        AddRows({clip_, folders_->Clip("other.mp4", 50)});
        int requestsAtFirstEnd = -1;
        QObject scope;
        connect(Bridge(), &RunBridge::terminated, &scope, [&](int job) {
            if (job == 0) requestsAtFirstEnd = desktop_->PowerOff.Requests;
        });
        Click(window_.get(), "btnStart");
        CheckBox("ckShutDown")->setChecked(ticked);
        WaitForRunEnd();
        QCOMPARE(requestsAtFirstEnd, 0);
        QCOMPARE(desktop_->PowerOff.Requests, ticked ? 1 : 0);
        const QStringList said{"Warning: The computer could not be shut down: Access denied."};
        QCOMPARE(Shown(), refusal.isEmpty() ? QStringList() : said);
    }

    // "Pause" holds the job and its output; "Resume" finishes it. A second run ticks "open
    // the folder" again.
    void pauseHoldsTheRunAndResumeFinishesIt() {
        AddRows({clip_});
        QSignalSpy progress(Bridge(), &RunBridge::progress);
        Click(window_.get(), "btnStart");
        QVERIFY(progress.wait(60000));
        Click("btnPause");
        QVERIFY(!Button("btnPause")->isEnabled());
        QVERIFY(Button("btnResume")->isEnabled());
        // The main window's hidden buttons follow.
        QVERIFY(!Button(window_.get(), "btnPause")->isEnabled());
        QVERIFY(Button(window_.get(), "btnResume")->isEnabled());
        progress.wait(1000); // a report already on its way
        const int bar = Bar()->value();
        const auto size = OutputSize("clip_(new).mp4");
        progress.clear();
        QVERIFY(!progress.wait(1500));
        QCOMPARE(Bar()->value(), bar);
        QCOMPARE(OutputSize("clip_(new).mp4"), size);
        CheckBox("ckOpen")->setChecked(false);
        Click("btnResume");
        WaitForRunEnd();
        QCOMPARE(Cells()[0], QStringLiteral("100%"));
        QVERIFY(desktop_->Urls.Opened.isEmpty());
        const fixtures::FileInfo output =
            fixtures::ReadFileInfo((Folder() + "/clip_(new).mp4").toStdString(), false);
        QVERIFY(output.durationSeconds > 1.5);

        Click(window_.get(), "btnStart");
        QVERIFY(CheckBox("ckOpen")->isChecked());
        WaitForRunEnd();
    }

    // "Pause" then "Cancel": the jobs stop, the window closes, the unfinished output goes.
    void cancelWhilePausedStopsTheRun() {
        AddRows({clip_, folders_->Clip("other.mp4", 50)});
        QSignalSpy progress(Bridge(), &RunBridge::progress);
        Click(window_.get(), "btnStart");
        QVERIFY(progress.wait(60000));
        Click("btnPause");
        Click("btnCancel");
        QVERIFY(!Run().Progress()->isVisible());
        WaitForRunEnd();
        QVERIFY(Cells()[0] != "100%");
        QVERIFY(!QFile::exists(Folder() + "/clip_(new).mp4"));
        QVERIFY(!QFile::exists(Folder() + "/other_(new).mp4"));
        QVERIFY(Shown().isEmpty());
        QVERIFY(desktop_->Urls.Opened.isEmpty());
        QVERIFY(Button(window_.get(), "btnStart")->isEnabled());
    }

    // The progress window shows the picture being converted and saves it as snapshots; before
    // the first picture its snapshot button writes nothing.
    void pictureBeingConvertedAndItsSnapshot() {
        AddRows({clip_});
        const QString snapshots = QString::fromStdString(folders_->Home() + "/tarnwick");
        QSignalSpy progress(Bridge(), &RunBridge::progress);
        Click(window_.get(), "btnStart");
        Click("btnPause");
        SnapButton()->click();
        QVERIFY(QDir(snapshots).entryList({"Snapshot_*"}).isEmpty());
        Click("btnResume");
        QVERIFY(progress.wait(60000));
        Click("btnPause");
        app::TLastFrameProbe& view = Run().LastFrame();
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                std::lock_guard lock(view.LastFrame.CanvasLock());
                return view.LastFrame.Width() > 0;
            }(),
            30000);
        // The 100 ms clock draws it over the background.
        auto* box = Progress()->findChild<PictureView*>("imgPreview");
        QTRY_VERIFY(box->DrawnRect().has_value());
        SnapButton()->click();
        QCOMPARE(QImage(snapshots + "/Snapshot_full.bmp").size(), QSize(160, 120));
        QCOMPARE(QImage(snapshots + "/Snapshot_small.jpg").size(), box->size());
        Click("btnCancel");
        WaitForRunEnd();
    }

    // A progress report while the run is paused, as a worker would raise it.
    void progressTextsOfAReport() {
        AddRows({clip_});
        Click(window_.get(), "btnStart");
        Click("btnPause");
        QSignalSpy progress(Bridge(), &RunBridge::progress);
        std::thread worker([this] { window_->KivAVC.OnProgress(0, 0, 0, 1500, 0, 0, 2345, 3001); });
        worker.join();
        QTRY_VERIFY(!progress.isEmpty() && progress.last()[1].toInt() == 1500);
        QCOMPARE(Bar()->value(), 49);
        QCOMPARE(Cells()[0], QStringLiteral("49%"));
        QCOMPARE(Label("lblTime")->text(), QStringLiteral("1 Second"));
        QCOMPARE(Label("lblLength")->text(), QStringLiteral("3 Second"));
        QCOMPARE(Label("lblSize")->text(), QStringLiteral("2 kb"));
        QCOMPARE(Label("lblProgress")->text(), QStringLiteral("[1/1]"));
        QCOMPARE(Label("lblOutput")->text(), QString::fromStdString(app::ShortenOutputName(
                                                 (Folder() + "/clip_(new).mp4").toStdString())));
        Click("btnCancel");
        WaitForRunEnd();
    }

private:
    RunController& Run() { return window_->Run(); }
    QString Folder() const { return QString::fromStdString(folders_->Home() + "/tarnwick"); }
    void AddRows(const std::vector<std::string>& clips) {
        QStringList paths;
        for (const auto& clip : clips)
            paths << QString::fromStdString(clip);
        desktop_->Files.SourceAnswers << paths;
        window_->btnAddClick();
        QCOMPARE(window_->Rows().rowCount(), static_cast<int>(clips.size()));
    }
    QStringList Cells() const {
        QStringList cells;
        for (int row = 0; row < window_->Rows().rowCount(); ++row)
            cells << window_->Rows().CellText(row, TaskListModel::ProgressColumn);
        return cells;
    }
    QStringList Shown() const {
        QStringList shown;
        for (const auto& message : desktop_->Messages.shown)
            shown << QString::fromStdString(message.caption + ": " + message.text);
        return shown;
    }
    RunBridge* Bridge() { return Run().findChild<RunBridge*>(); }
    void WaitForRunEnd() { QTRY_VERIFY_WITH_TIMEOUT(!Run().Running(), 120000); }
    template <typename T> T* Child(QWidget* window, const char* name) const {
        T* child = window->findChild<T*>(QString::fromUtf8(name));
        Q_ASSERT(child);
        return child;
    }
    QWidget* Progress() { return Run().Progress(); }
    QLabel* Label(const char* name) { return Child<QLabel>(Progress(), name); }
    QCheckBox* CheckBox(const char* name) { return Child<QCheckBox>(Progress(), name); }
    QPushButton* Button(QWidget* window, const char* name) const {
        return Child<QPushButton>(window, name);
    }
    QPushButton* Button(const char* name) { return Button(Progress(), name); }
    QToolButton* SnapButton() { return Child<QToolButton>(Progress(), "imgbtnSnap"); }
    QProgressBar* Bar() { return Child<QProgressBar>(Progress(), "progbarFile"); }
    void Click(QWidget* window, const char* name) {
        QTest::mouseClick(Button(window, name), Qt::LeftButton);
    }
    void Click(const char* name) { Click(Progress(), name); }
    qint64 OutputSize(const char* name) const { return QFileInfo(Folder() + '/' + name).size(); }

    std::unique_ptr<test::UiTestFolders> folders_;
    std::unique_ptr<test::TestDesktop> desktop_;
    std::unique_ptr<TfrmMain> window_;
    std::string clip_;
};

} // namespace tarnwick::ui

TARNWICK_UI_TEST_MAIN(tarnwick::ui::RunTest)
#include "run_test.moc"
