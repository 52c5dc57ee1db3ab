// Conversion runs through the run controller, the real component and the progress window,
// with clips made at test time. Message boxes, the folder opener and the power-off are
// recorders.

#include "app/core/power_off.h"
#include "app/ui/progress_window.h"
#include "app/ui/run_bridge.h"
#include "app/ui/run_controller.h"
#include "component/av_converter.h"
#include "fixtures/fixture_writer.h"
#include "platform/executable_folder.h"

#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <filesystem>
#include <map>
#include <memory>
#include <thread>

namespace tarnwick::ui {
namespace {

class RecordingMessageBox : public app::TMessageBox {
public:
    void ShowMessage(const std::string& caption, const std::string& text,
                     app::TMessageIcon) override {
        shown.push_back(QString::fromStdString(caption + ": " + text));
    }
    QStringList shown;
};

class RecordingPowerOff : public app::TPowerOff {
public:
    void RequestPowerOff(std::function<void(const std::string&)>) override { ++requests; }
    int requests = 0;
};

} // namespace

class RunTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY(converter_.LoadLibraries(platform::ExecutableFolder() + "LibAV", true));
        // Small sources that the 720p H.264 preset scales up, so a job runs long enough to
        // report its progress a few times.
        fixtures::ClipSpec spec = fixtures::SimpleClip(50, true);
        spec.audio->durationSeconds = 2;
        fixtures::WriteClip(Source("clip.mp4"), spec);
    }

    void init() {
        out_ = std::make_unique<QTemporaryDir>();
        settings_ = std::make_unique<platform::IniStore>(
            out_->filePath(QStringLiteral("tarnwick.ini")).toStdString());
        std::filesystem::copy_file(platform::ExecutableFolder() + "tarnwick.ini",
                                   settings_->Path());
        settings_->WriteString("settings", "OutPutDir", Folder().toStdString());
        rows_.clear();
        cells_.clear();
        opened_ = 0;
        messages_.shown.clear();
        powerOff_.requests = 0;
        listCommandsEnabled_ = true;
        controller_ =
            std::make_unique<RunController>(converter_, *settings_, presets_, messages_, powerOff_,
                                            Access(), &window_, QStringLiteral("Tarnwick"));
    }

    void cleanup() {
        if (controller_->Running()) {
            controller_->Progress()->close();
            QTRY_VERIFY_WITH_TIMEOUT(!controller_->Running(), 60000);
        }
        controller_.reset();
    }

    void startWithNothingCheckedQueuesNothing() {
        AddRow("clip.mp4", false);
        controller_->btnStartClick();
        QCOMPARE(messages_.shown,
                 QStringList{"Warning: Please select a file by clicking the check box!"});
        QVERIFY(!controller_->Running());
        QCOMPARE(converter_.JobCount(), 0);
    }

    // Rows 0, 2 and 4 of five checked: each job writes its own row's cell, the window counts
    // the jobs, the folder opens once after the last one, and nothing is powered off.
    void checkedRowsRunInListOrder() {
        for (int row = 0; row < 5; ++row)
            AddRow("clip.mp4", row % 2 == 0);
        QSignalSpy progress(Bridge(), &RunBridge::progress);
        std::map<int, QString> counterOfJob, cellWritten;
        QObject scope;
        connect(Bridge(), &RunBridge::progress, &scope, [&](int job) {
            counterOfJob[job] = Label("lblProgress")->text();
            cellWritten[job] = cells_[controller_->RunRows()[job]];
        });
        controller_->btnStartClick();
        QCOMPARE(controller_->RunRows(), (std::vector<int32_t>{0, 2, 4}));
        QVERIFY(!listCommandsEnabled_);
        WaitForRunEnd();
        QCOMPARE(counterOfJob[1], QStringLiteral("[2/3]"));
        QVERIFY(cellWritten[1].endsWith('%'));
        QCOMPARE(cells_, (std::map<int, QString>{{0, "100%"}, {2, "100%"}, {4, "100%"}}));
        QCOMPARE(opened_, 1);
        QCOMPARE(powerOff_.requests, 0);
        QVERIFY(messages_.shown.isEmpty());
        QVERIFY(listCommandsEnabled_);
        QCOMPARE(converter_.JobCount(), 0);
        QVERIFY(!controller_->Progress()->isVisible());
        for (const char* name : {"clip_(new).mp4", "clip_(new_1).mp4", "clip_(new_2).mp4"})
            QVERIFY2(QFile::exists(Folder() + '/' + name), name);
    }

    // Output paths of 50 and 51 characters: the first is shown whole, the second shortened.
    void longOutputNamesAreShortened() {
        const int room = 50 - static_cast<int>(Folder().size()) - int(sizeof "/_(new).mp4") + 1;
        QVERIFY(room > 0);
        std::map<int, QString> shown;
        for (int extra : {0, 1}) {
            const std::string name = std::string(room + extra, 'n') + ".mp4";
            std::filesystem::copy_file(Source("clip.mp4"), Source(name),
                                       std::filesystem::copy_options::overwrite_existing);
            AddRow(name, true);
        }
        QObject scope;
        connect(Bridge(), &RunBridge::progress, &scope,
                [&](int job) { shown[job] = Label("lblOutput")->text(); });
        controller_->btnStartClick();
        WaitForRunEnd();
        const QString fifty = Folder() + '/' + QString(room, 'n') + "_(new).mp4";
        QCOMPARE(fifty.size(), 50);
        QCOMPARE(shown[0], fifty);
        const QString fiftyOne = Folder() + '/' + QString(room + 1, 'n') + "_(new).mp4";
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
        AddRow("clip.mp4", true);
        AddRow("clip.mp4", true);
        rows_[failFirst ? 0 : 1].Record.CropTop = 400;
        controller_->btnStartClick();
        WaitForRunEnd();
        QCOMPARE(messages_.shown.size(), 1);
        QVERIFY(messages_.shown[0].startsWith("Tarnwick: "));
        QCOMPARE(cells_[failFirst ? 1 : 0], QStringLiteral("100%"));
        QCOMPARE(opened_, failFirst ? 1 : 0);
    }

    void shutDownOnlyWhenTicked_data() {
        QTest::addColumn<bool>("ticked");
        QTest::newRow("ticked") << true;
        QTest::newRow("not ticked") << false;
    }

    void shutDownOnlyWhenTicked() {
        QFETCH(bool, ticked);
        AddRow("clip.mp4", true);
        AddRow("clip.mp4", true);
        int requestsAtFirstEnd = -1;
        QObject scope;
        connect(Bridge(), &RunBridge::terminated, &scope, [&](int job) {
            if (job == 0) requestsAtFirstEnd = powerOff_.requests;
        });
        controller_->btnStartClick();
        CheckBox("ckShutDown")->setChecked(ticked);
        WaitForRunEnd();
        QCOMPARE(requestsAtFirstEnd, 0);
        QCOMPARE(powerOff_.requests, ticked ? 1 : 0);
        CheckBox("ckShutDown")->setChecked(false);
    }

    // "Pause" holds the job and its output; "Resume" finishes it. A second run ticks "open
    // the folder" again.
    void pauseHoldsTheRunAndResumeFinishesIt() {
        AddRow("clip.mp4", true);
        QSignalSpy progress(Bridge(), &RunBridge::progress);
        controller_->btnStartClick();
        QVERIFY(progress.wait(60000));
        Click("btnPause");
        QVERIFY(!Button("btnPause")->isEnabled());
        QVERIFY(Button("btnResume")->isEnabled());
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
        QCOMPARE(cells_[0], QStringLiteral("100%"));
        QCOMPARE(opened_, 0);
        const fixtures::FileInfo output =
            fixtures::ReadFileInfo((Folder() + "/clip_(new).mp4").toStdString(), false);
        QVERIFY(output.durationSeconds > 1.5);

        controller_->btnStartClick();
        QVERIFY(CheckBox("ckOpen")->isChecked());
        WaitForRunEnd();
    }

    // "Pause" then "Cancel": the jobs stop, the window closes, the unfinished output goes.
    void cancelWhilePausedStopsTheRun() {
        AddRow("clip.mp4", true);
        AddRow("clip.mp4", true);
        QSignalSpy progress(Bridge(), &RunBridge::progress);
        controller_->btnStartClick();
        QVERIFY(progress.wait(60000));
        Click("btnPause");
        Click("btnCancel");
        QVERIFY(!controller_->Progress()->isVisible());
        WaitForRunEnd();
        QVERIFY(cells_[0] != "100%");
        QVERIFY(!QFile::exists(Folder() + "/clip_(new).mp4"));
        QVERIFY(!QFile::exists(Folder() + "/clip_(new_1).mp4"));
        QVERIFY(messages_.shown.isEmpty());
        QCOMPARE(opened_, 0);
    }

    // A progress report while the run is paused, as a worker would raise it.
    void progressTextsOfAReport() {
        AddRow("clip.mp4", true);
        controller_->btnStartClick();
        Click("btnPause");
        QSignalSpy progress(Bridge(), &RunBridge::progress);
        std::thread worker([this] { converter_.OnProgress(0, 0, 0, 1500, 0, 0, 2345, 3001); });
        worker.join();
        QTRY_VERIFY(!progress.isEmpty() && progress.last()[1].toInt() == 1500);
        QCOMPARE(Bar()->value(), 49);
        QCOMPARE(cells_[0], QStringLiteral("49%"));
        QCOMPARE(Label("lblTime")->text(), QStringLiteral("1 Second"));
        QCOMPARE(Label("lblLength")->text(), QStringLiteral("3 Second"));
        QCOMPARE(Label("lblSize")->text(), QStringLiteral("2 kb"));
        QCOMPARE(Label("lblProgress")->text(), QStringLiteral("[1/1]"));
        QCOMPARE(Label("lblOutput")->text(), Folder() + "/clip_(new).mp4");
        Click("btnCancel");
        WaitForRunEnd();
    }

private:
    static std::string Source(const std::string& name) {
        static QTemporaryDir sources;
        return sources.filePath(QString::fromStdString(name)).toStdString();
    }
    QString Folder() const { return out_->path(); }
    void AddRow(const std::string& clip, bool checked) {
        app::TTaskRow row;
        row.Record.SourceFile = Source(clip);
        row.Checked = checked;
        rows_.push_back(row);
    }
    RunController::MainWindowAccess Access() {
        return {.Rows = [this] { return rows_; },
                .PresetIndex = [] { return 16; },
                .SetProgressCell = [this](int row, const QString& text) { cells_[row] = text; },
                .Log = [](const std::string&) {},
                .PreviewOpened = [](probe::TAVProbe&) {},
                .StopPreview = [] {},
                .EnableListCommands = [this](bool enabled) { listCommandsEnabled_ = enabled; },
                .EnableRunButtons = [](bool, bool, bool) {},
                .OpenOutputFolder = [this] { ++opened_; }};
    }
    RunBridge* Bridge() const { return controller_->findChild<RunBridge*>(); }
    void WaitForRunEnd() { QTRY_VERIFY_WITH_TIMEOUT(!controller_->Running(), 120000); }
    template <typename T> T* Child(const char* name) const {
        T* child = controller_->Progress()->findChild<T*>(QString::fromUtf8(name));
        Q_ASSERT(child);
        return child;
    }
    QLabel* Label(const char* name) const { return Child<QLabel>(name); }
    QCheckBox* CheckBox(const char* name) const { return Child<QCheckBox>(name); }
    QPushButton* Button(const char* name) const { return Child<QPushButton>(name); }
    QProgressBar* Bar() const { return Child<QProgressBar>("progbarFile"); }
    void Click(const char* name) { QTest::mouseClick(Button(name), Qt::LeftButton); }
    qint64 OutputSize(const char* name) const { return QFileInfo(Folder() + '/' + name).size(); }

    component::TKivAVConverter converter_;
    std::unique_ptr<QTemporaryDir> out_;
    std::unique_ptr<platform::IniStore> settings_;
    platform::IniStore presets_{platform::ExecutableFolder() + "tarnwickformat.ini"};
    RecordingMessageBox messages_;
    RecordingPowerOff powerOff_;
    QWidget window_;
    std::vector<app::TTaskRow> rows_;
    std::map<int, QString> cells_;
    int opened_ = 0;
    bool listCommandsEnabled_ = true;
    std::unique_ptr<RunController> controller_;
};

} // namespace tarnwick::ui

QTEST_MAIN(tarnwick::ui::RunTest)
#include "run_test.moc"
