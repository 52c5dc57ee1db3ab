// The main window's entries for the editors and dialogs of a row and for the preferences: each
// opens its window for the selected row, made once and reused.
#include "ui/editor_test_support.h"

#include "app/ui/crop_editor.h"
#include "app/ui/file_info_dialog.h"
#include "app/ui/main_window.h"
#include "app/ui/preference_dialog.h"
#include "app/ui/rect_tracker.h"
#include "app/ui/trim_editor.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace tarnwick::ui {

class EditorWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        folders_ = std::make_unique<test::UiTestFolders>();
        desktop_ = std::make_unique<test::TestDesktop>();
        window_ = std::make_unique<TfrmMain>(desktop_->Services);
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }
    void cleanup() {
        window_.reset();
        desktop_.reset();
        folders_.reset();
    }

    void trimWritesTheRowAndItsCell() {
        AddRows({clips_.Long("ninety.mp4", 90.5)});
        QCOMPARE(Cell(0), "90");
        Trigger("Trim1");
        auto* editor = window_->findChild<TfrmTrim*>();
        QVERIFY(editor && editor->isVisible());
        auto* start = editor->findChild<QLineEdit*>("maskedtStartTime");
        start->setFocus();
        start->selectAll();
        QTest::keyClicks(start, "000010");
        QTest::keyClick(start, Qt::Key_Return);
        QTest::mouseClick(editor->findChild<QPushButton*>("btnOk"), Qt::LeftButton);
        QCOMPARE(window_->Rows().Record(0).TrimStart, 10000);
        QCOMPARE(window_->Rows().Record(0).TrimLength, 80500);
        QCOMPARE(Cell(0), "80");
        // The same editor shows the row's trim the next time.
        Trigger("Trim1");
        QCOMPARE(window_->findChildren<TfrmTrim*>().size(), 1);
        QCOMPARE(start->displayText(), "00:00:10");
        editor->reject();
    }

    void cropLaysTheTrackerOverTheSelectedRowsPicture() {
        AddRows({folders_->Clip("clip.mp4")});
        Trigger("Crop1");
        auto* editor = window_->findChild<TfrmCrop*>();
        QVERIFY(editor && editor->isVisible());
        QTRY_VERIFY(editor->RectTracker().isVisible());
        QCOMPARE(editor->RectTracker().geometry(), QRect(17, 1, 336, 251));
        editor->reject();
    }

    void videoInformationShowsTheSelectedRow() {
        const std::string second = folders_->Clip("second.mp4");
        AddRows({folders_->Clip("first.mp4"), second});
        window_->SelectRow(1);
        Trigger("VideoInfomation1");
        auto* dialog = window_->findChild<TfrmFileInfo*>();
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->findChild<QLineEdit*>("edtResloution")->text(), "160x120");
        dialog->accept();
        // The same window again; with no row selected it shows nothing of a file.
        window_->SelectRow(-1);
        Trigger("VideoInfomation1");
        QCOMPARE(window_->findChildren<TfrmFileInfo*>().size(), 1);
        QCOMPARE(dialog->findChild<QLineEdit*>("edtResloution")->text(), "");
        dialog->accept();
    }

    void preferenceEditsTheProgramsSettings() {
        platform::IniStore(folders_->SettingsFile()).WriteInteger("settings", "jpgCmp", 77);
        Trigger("Preference1");
        auto* dialog = window_->findChild<TfrmPreference*>();
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->findChild<QSpinBox*>("spedCmp")->value(), 77);
        dialog->reject();
    }

private:
    void AddRows(const std::vector<std::string>& paths) {
        QStringList chosen;
        for (const std::string& path : paths)
            chosen << QString::fromStdString(path);
        desktop_->Files.SourceAnswers = {chosen};
        window_->btnAddClick();
        QCOMPARE(window_->Rows().rowCount(), int(paths.size()));
    }
    void Trigger(const char* entry) { window_->findChild<QAction*>(entry)->trigger(); }
    QString Cell(int row) {
        return window_->Rows().index(row, TaskListModel::TrimmedColumn).data().toString();
    }

    test::EditorClips clips_;
    std::unique_ptr<test::UiTestFolders> folders_;
    std::unique_ptr<test::TestDesktop> desktop_;
    std::unique_ptr<TfrmMain> window_;
};

} // namespace tarnwick::ui

TARNWICK_UI_TEST_MAIN(tarnwick::ui::EditorWindowsTest)
#include "editor_windows_test.moc"
