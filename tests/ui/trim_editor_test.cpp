// The trim editor over real clips: the fields it shows, the checks when a field is left, and
// what "Ok" and "&Reset" write into the row and its cell.

#include "ui/editor_test_support.h"

#include "app/ui/editor_preview.h"
#include "app/ui/picture_view.h"
#include "app/ui/trim_editor.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QtTest>

namespace tarnwick::ui {

class TrimEditorTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        hour_ = clips_.Long("hour.mp4", 3723);
        ninety_ = clips_.Long("ninety.mp4", 90.5);
    }

    void init() {
        messages_.shown.clear();
        editor_ = std::make_unique<TfrmTrim>(messages_);
        record_ = {};
        cell_.clear();
    }

    void cleanup() { editor_.reset(); }

    void showsTheWholeFileOfARowWithoutTrim() {
        Open(hour_, 3723);
        QCOMPARE(Field("maskedtStartTime")->displayText(), "00:00:00");
        QCOMPARE(Field("maskedtEndTime")->displayText(), "01:02:03");
        QCOMPARE(Field("maskedtLength")->displayText(), "01:02:03");
        QVERIFY(Field("maskedtLength")->isReadOnly());
        QCOMPARE(Label("lblLength")->text(), "3723.000 Second");
        QCOMPARE(Label("lblSourceName")->text().toStdString(), hour_);
        // The track bar: 10 ms steps for a file this long would be too many.
        auto* bar = editor_->findChild<QSlider*>("trcPreview");
        QCOMPARE(bar->maximum(), 3723);
        QCOMPARE(bar->pageStep(), 500);
        // The first picture is drawn into the preview, and the clock plays.
        QTRY_VERIFY(editor_->Preview().Picture().DrawnRect().has_value());
        QVERIFY(!editor_->Preview().Paused());
    }

    void leavingAFieldChecksIt_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("fieldAfter");
        QTest::addColumn<QString>("lengthAfter");
        QTest::addColumn<int>("leaveBy"); // the key that leaves the field (Return stays in it)
        QTest::newRow("start 10 s") << "maskedtStartTime"
                                    << "000010"
                                    << ""
                                    << "00:00:10"
                                    << "00:01:20" << int(Qt::Key_Tab);
        QTest::newRow("start 00:75:00") << "maskedtStartTime"
                                        << "007500"
                                        << "Warning: Incorrect start time!"
                                        << "00:00:00"
                                        << "00:01:30" << int(Qt::Key_Return);
        QTest::newRow("end at the start")
            << "maskedtEndTime"
            << "000005"
            << "Warning: The end time cannot equal to the start time!!"
            << "00:01:30"
            << "00:01:25" << int(Qt::Key_Tab);
        QTest::newRow("end before the start") << "maskedtEndTime"
                                              << "000002"
                                              << "Warning: Incorrect end time!"
                                              << "00:01:30"
                                              << "00:01:25" << int(Qt::Key_Return);
        QTest::newRow("end past the file") << "maskedtEndTime"
                                           << "000200"
                                           << "Warning: Incorrect end time!"
                                           << "00:01:30"
                                           << "00:01:25" << int(Qt::Key_Tab);
    }
    void leavingAFieldChecksIt() {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(QString, fieldAfter);
        QFETCH(QString, lengthAfter);
        QFETCH(int, leaveBy);
        record_.TrimStart = 5000; // a start of 5 s stored before
        Open(ninety_, 90);
        Type(field, typed);
        QTest::keyClick(Field(field), Qt::Key(leaveBy));
        QCOMPARE(test::ShownTexts(messages_),
                 message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(Field(field)->displayText(), fieldAfter);
        QCOMPARE(Field("maskedtLength")->displayText(), lengthAfter);
        // A refused field has the focus again.
        QCOMPARE(QApplication::focusWidget() == Field(field), !message.isEmpty());
    }

    void okStoresTheTrimAndTheCell() {
        Open(ninety_, 90);
        Type("maskedtStartTime", "000010");
        QTest::keyClick(Field("maskedtStartTime"), Qt::Key_Return);
        QSignalSpy finished(editor_.get(), &QDialog::finished);
        Click("btnOk");
        QCOMPARE(finished.count(), 1);
        QCOMPARE(record_.TrimStart, 10000);
        QCOMPARE(record_.TrimLength, 80500);
        QCOMPARE(cell_, "80");
        // The editor's jobs are gone with the window.
        QVERIFY(!editor_->isVisible());

        // Shown again, the stored trim is in the fields; "&Reset" clears the row at once, and
        // "Cancel" keeps that.
        Open(ninety_, 90);
        QCOMPARE(Field("maskedtStartTime")->displayText(), "00:00:10");
        QCOMPARE(Field("maskedtEndTime")->displayText(), "00:01:30");
        Click("btnReset");
        QCOMPARE(record_.TrimStart, 0);
        QCOMPARE(record_.TrimLength, 0);
        QCOMPARE(cell_, "90");
        QCOMPARE(Field("maskedtStartTime")->displayText(), "00:00:00");
        Click("btnCancel");
        QCOMPARE(record_.TrimStart, 0);
    }

    void aFileThatCannotBeOpenedTrimsNothing() {
        record_.TrimStart = 4000;
        record_.TrimLength = 3000;
        Open(clips_.Path("missing.mp4"), 90);
        QCOMPARE(Label("lblLength")->text(), "");
        Type("maskedtStartTime", "000001");
        QTest::keyClick(Field("maskedtStartTime"), Qt::Key_Tab);
        Click("btnOk");
        QCOMPARE(record_.TrimStart, 0);
        QCOMPARE(record_.TrimLength, 0);
        QCOMPARE(cell_, "90");
    }

private:
    void Open(const std::string& path, int durationSec) {
        record_.SourceFile = path;
        record_.DurationSec = durationSec;
        editor_->Edit(
            {&record_, [this](const std::string& text) { cell_ = QString::fromStdString(text); }});
        QVERIFY(QTest::qWaitForWindowExposed(editor_.get()));
        editor_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(editor_.get()));
    }
    QLineEdit* Field(const QString& name) { return editor_->findChild<QLineEdit*>(name); }
    QLabel* Label(const QString& name) { return editor_->findChild<QLabel*>(name); }
    void Click(const QString& name) {
        QTest::mouseClick(editor_->findChild<QPushButton*>(name), Qt::LeftButton);
    }
    void Type(const QString& name, const QString& digits) {
        QLineEdit* field = Field(name);
        field->setFocus(Qt::MouseFocusReason);
        field->selectAll();
        QTest::keyClicks(field, digits);
    }

    test::EditorClips clips_;
    std::string hour_, ninety_;
    test::RecordingMessageBox messages_;
    std::unique_ptr<TfrmTrim> editor_;
    app::TlvFilesRecord record_;
    QString cell_;
};

} // namespace tarnwick::ui

TARNWICK_UI_TEST_MAIN(tarnwick::ui::TrimEditorTest)
#include "trim_editor_test.moc"
