// The task list through the real main window: adding real clips through the real component,
// removing, clearing, checking, the menus' enabling, and the rows as they are drawn.
#include "ui/ui_test_support.h"

#include "app/core/app_paths.h"
#include "app/core/settings_keys.h"
#include "app/core/themes.h"
#include "app/ui/main_window.h"
#include "app/ui/task_list.h"
#include "app/ui/task_list_delegate.h"
#include "app/ui/task_list_model.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>

#include <filesystem>
#include <fstream>

using tarnwick::ui::TaskListModel;
using tarnwick::ui::TaskListView;
using tarnwick::ui::TfrmMain;

namespace {

// A shown main window with its recorders and a folder of its own.
struct Window {
    tarnwick::test::UiTestFolders folders;
    tarnwick::test::TestDesktop desktop;
    std::unique_ptr<TfrmMain> main;

    Window() {
        // Output goes into the test's folder.
        tarnwick::app::WriteOutputFolder(folders.Settings(), Output());
        main = std::make_unique<TfrmMain>(desktop.Services);
        main->show();
        main->activateWindow();
    }
    std::string Output() const { return folders.Folder().File("out"); }
    TaskListView* List() const { return main->findChild<TaskListView*>("lvFiles"); }
    TaskListModel& Rows() const { return main->Rows(); }
    QString Log() const { return main->findChild<QPlainTextEdit*>("mmoLog")->toPlainText(); }
    // "&Add" with the dialog answering these paths.
    void Add(const QStringList& paths) {
        desktop.Files.SourceAnswers.append(paths);
        QTest::mouseClick(main->findChild<QPushButton*>("btnAdd"), Qt::LeftButton);
    }
    void Click(const char* button) {
        QTest::mouseClick(main->findChild<QPushButton*>(button), Qt::LeftButton);
    }
    QString Cell(int row, int column) const { return Rows().CellText(row, column); }
};

QString Q(const std::string& text) { return QString::fromStdString(text); }

} // namespace

class TaskListTest : public QObject {
    Q_OBJECT

private slots:
    void AddedFilesBecomeCheckedRowsWithTheirLengthsAndDestinations() {
        Window window;
        const std::string clip = window.folders.Clip("clip.mp4", 50);
        QAbstractItemModelTester tester(&window.Rows(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QVERIFY(window.List()->header()->isHidden());
        QCOMPARE(window.Rows().columnCount(), 0);

        window.Add({Q(clip)});
        QCOMPARE(window.Rows().rowCount(), 1);
        QCOMPARE(window.Rows().columnCount(), 5);
        QVERIFY(!window.List()->header()->isHidden());
        const int widths[] = {140, 70, 90, 120, 60};
        const char* captions[] = {"Source", "Length", "Trimmed Length", "Destination File",
                                  "Progress"};
        for (int column = 0; column < 5; ++column) {
            QCOMPARE(window.List()->columnWidth(column), widths[column]);
            QCOMPARE(window.Rows().headerData(column, Qt::Horizontal, Qt::DisplayRole).toString(),
                     QString(captions[column]));
        }
        QCOMPARE(window.Cell(0, 0), Q(clip));
        QCOMPARE(window.Cell(0, 1), QString("2"));
        QCOMPARE(window.Cell(0, 2), QString("2"));
        QCOMPARE(window.Cell(0, 3), QString("clip_(new)_ipod.mp4"));
        QCOMPARE(window.Cell(0, 4), QString());
        QVERIFY(window.Rows().Checked(0));
        const auto& record = window.Rows().Record(0);
        QCOMPARE(record.SourceFile, clip);
        QCOMPARE(record.DestFile, window.Output() + "/clip_(new)_ipod.mp4");
        QCOMPARE(record.DurationSec, 2);
        QCOMPARE(record.ZoomMode, std::string("lbox"));
        QCOMPARE(window.main->SelectedRow(), 0);
        QCOMPARE(window.main->focusWidget(), window.List());
        for (const char* button : {"btnStart", "btnStartBelow", "btnRemove", "btnClear"})
            QVERIFY2(window.main->findChild<QPushButton*>(button)->isEnabled(), button);
        // The probe's description of the file went to the log, then its length and size.
        QVERIFY(window.Log().contains("Duration"));
        QVERIFY(window.Log().contains(QString::number(std::filesystem::file_size(clip))));
        QCOMPARE(window.main->KivAVC.JobCount(), 0);
    }

    void TheSameFileTwiceMakesOneRow() {
        Window window;
        const QString clip = Q(window.folders.Clip("twice.mp4"));
        window.Add({clip, clip});
        QCOMPARE(window.Rows().rowCount(), 1);
        window.Add({clip});
        QCOMPARE(window.Rows().rowCount(), 1);
        QCOMPARE(window.desktop.Files.SourceCalls, 2);
    }

    void FoldersAndVanishedFilesAddNothingButCountInTheBatch() {
        Window window;
        const QString folder = Q(window.folders.Folder().File("a folder"));
        std::filesystem::create_directory(folder.toStdString());
        const QString gone = Q(window.folders.Folder().File("gone.mp4"));
        const QString clip = Q(window.folders.Clip("kept.mp4"));
        window.Add({folder, gone, clip});
        QCOMPARE(window.Rows().rowCount(), 1);
        QCOMPARE(window.Rows().Record(0).BatchIndex, 2);
        QCOMPARE(window.Rows().Record(0).SourceFile, clip.toStdString());
        QVERIFY(!window.Log().contains("***File open error"));
    }

    void AFileTheEngineCannotOpenIsLoggedAndLeftOut() {
        Window window;
        const std::string junk = window.folders.Folder().File("junk.mp4");
        std::ofstream(junk) << "this is no clip at all";
        const QString clip = Q(window.folders.Clip("good.mp4"));
        window.Add({Q(junk), clip});
        QCOMPARE(window.Rows().rowCount(), 1);
        QCOMPARE(window.Rows().Record(0).BatchIndex, 1);
        const QStringList lines = window.Log().split('\n');
        const int error = lines.indexOf(QRegularExpression(R"(\*\*\*File open error: .+)"));
        QVERIFY2(error > 0, qPrintable(window.Log()));
        QCOMPARE(lines[error - 1], QString());
        QCOMPARE(lines[error + 1], QString());
    }

    void DestinationsTakeTheFirstFreeName() {
        Window window;
        std::filesystem::create_directories(window.Output());
        std::ofstream(window.Output() + "/clip_(new)_ipod.mp4") << "taken";
        const std::string first = window.folders.Clip("clip.avi");
        window.Add({Q(first)});
        QCOMPARE(window.Cell(0, 3), QString("clip_(new_1)_ipod.mp4"));
        std::ofstream(window.Output() + "/clip_(new_1)_ipod.mp4") << "taken";
        std::filesystem::create_directory(window.folders.Folder().File("other"));
        const std::string second = window.folders.Folder().File("other/clip.avi");
        std::filesystem::copy_file(first, second);
        window.Add({Q(second)});
        QCOMPARE(window.Cell(1, 3), QString("clip_(new_2)_ipod.mp4"));
    }

    void ThreeFilesOfOneBatchEachEndInTheSuffixOnce() {
        Window window;
        // Preset 19 writes MP3 files.
        window.main->findChild<QComboBox*>("cbOutputFormat")->setCurrentIndex(19);
        QStringList clips;
        for (const char* name : {"one.mp4", "two.mkv", "three.avi"})
            clips << Q(window.folders.Clip(name));
        window.Add(clips);
        QCOMPARE(window.Rows().rowCount(), 3);
        const char* expected[] = {"one_(new)_ipod.mp3", "two_(new)_ipod.mp3",
                                  "three_(new)_ipod.mp3"};
        for (int row = 0; row < 3; ++row) {
            QCOMPARE(window.Cell(row, 3), QString(expected[row]));
            QCOMPARE(window.Rows().Record(row).BatchIndex, row);
        }
    }

    void RemovingSelectsTheRowThatTookItsPlaceOrTheNewLast() {
        Window window;
        QStringList clips;
        for (const char* name : {"a.mp4", "b.mp4", "c.mp4"})
            clips << Q(window.folders.Clip(name));
        window.Add(clips);
        window.main->SelectRow(1);
        window.Click("btnRemove");
        QCOMPARE(window.Rows().rowCount(), 2);
        QCOMPARE(window.main->SelectedRow(), 1);
        QCOMPARE(window.Cell(1, 0), clips[2]);
        window.Click("btnRemove");
        QCOMPARE(window.main->SelectedRow(), 0);
        QCOMPARE(window.Cell(0, 0), clips[0]);
        // The only row: the header and the columns go with it.
        window.Click("btnRemove");
        QCOMPARE(window.Rows().rowCount(), 0);
        QCOMPARE(window.Rows().columnCount(), 0);
        QVERIFY(window.List()->header()->isHidden());
        QCOMPARE(window.main->SelectedRow(), -1);
        // Nothing selected, nothing removed.
        window.Add({clips[0], clips[1]});
        window.List()->SelectRow(-1);
        window.Click("btnRemove");
        QCOMPARE(window.Rows().rowCount(), 2);
    }

    void ClearEmptiesTheListAndItsColumns() {
        Window window;
        window.Add({Q(window.folders.Clip("a.mp4")), Q(window.folders.Clip("b.mp4"))});
        window.Click("btnClear");
        QCOMPARE(window.Rows().rowCount(), 0);
        QCOMPARE(window.Rows().columnCount(), 0);
        QVERIFY(window.List()->header()->isHidden());
        // A cleared list takes files again, the same ones too.
        window.Add({Q(window.folders.Folder().File("a.mp4"))});
        QCOMPARE(window.Rows().rowCount(), 1);
    }

    void CheckCommands() {
        Window window;
        QStringList clips;
        for (const char* name : {"a.mp4", "b.mp4", "c.mp4"})
            clips << Q(window.folders.Clip(name));
        window.Add(clips);
        const auto checks = [&] {
            QString marks;
            for (int row = 0; row < 3; ++row)
                marks += window.Rows().Checked(row) ? 'x' : '-';
            return marks;
        };
        const auto command = [&](const char* entry) {
            window.main->findChild<QAction*>(entry)->trigger();
            return checks();
        };
        window.main->SelectRow(1);
        QCOMPARE(command("Uncheck1"), QString("x-x"));
        QCOMPARE(command("ReserveCheck1"), QString("-x-"));
        QCOMPARE(command("CheckAll1"), QString("xxx"));
        QCOMPARE(command("UncheckAll1"), QString("---"));
        QCOMPARE(command("Check1"), QString("-x-"));
        window.List()->SelectRow(-1);
        QCOMPARE(command("Uncheck1"), QString("-x-"));
        // The drawn box takes a click, and the space bar toggles the selected row.
        window.List()->setFocus();
        const QRect box = tarnwick::ui::TaskListDelegate::CheckBoxRect(window.List()->RowBounds(2));
        QTest::mouseClick(window.List()->viewport(), Qt::LeftButton, {}, box.center());
        QCOMPARE(checks(), QString("-xx"));
        QCOMPARE(window.main->SelectedRow(), 2);
        QTest::keyClick(window.List(), Qt::Key_Space);
        QCOMPARE(checks(), QString("-x-"));
    }

    void MenuEntriesFollowTheList() {
        Window window;
        auto* edit = window.main->findChild<QMenu*>("Edit2");
        auto* popup = window.main->findChild<QMenu*>("PopupMenu");
        const auto entry = [&](const char* name) { return window.main->findChild<QAction*>(name); };
        const char* editEntries[] = {"Crop1",         "Trim1",  "CheckAll1", "UncheckAll1",
                                     "ReserveCheck1", "Check1", "Uncheck1"};
        const char* popupEntries[] = {"Crop2",   "Trim2",  "VideoInfomation1",
                                      "Remove2", "Clear2", "Start2"};
        const auto expect = [&](bool editEnabled, bool popupEnabled) {
            emit edit->aboutToShow();
            emit popup->aboutToShow();
            for (const char* name : editEntries)
                QVERIFY2(entry(name)->isEnabled() == editEnabled, name);
            for (const char* name : popupEntries)
                QVERIFY2(entry(name)->isEnabled() == popupEnabled, name);
            QVERIFY(entry("Add2")->isEnabled());
            QVERIFY(!entry("WaterMark1")->isVisible());
            QVERIFY(!entry("WaterMark2")->isVisible());
        };
        expect(false, false);
        window.Add({Q(window.folders.Clip("a.mp4"))});
        expect(true, true);
        window.List()->SelectRow(-1);
        expect(true, false);
    }

    void ARightButtonPressOpensThePopupOverTheRow() {
        Window window;
        window.Add({Q(window.folders.Clip("a.mp4")), Q(window.folders.Clip("b.mp4"))});
        auto* popup = window.main->findChild<QMenu*>("PopupMenu");
        const QPoint onSecondRow = window.List()->RowBounds(1).center();
        QTest::mousePress(window.List()->viewport(), Qt::RightButton, {}, onSecondRow);
        QTRY_VERIFY(popup->isVisible());
        QCOMPARE(window.main->SelectedRow(), 1);
        QVERIFY(window.main->findChild<QAction*>("Remove2")->isEnabled());
        popup->hide();
    }

    void RowsAreDrawnWhiteAndTintedInEveryThemeWithTheSelectionFramed() {
        Window window;
        QStringList clips;
        for (const char* name : {"a.mp4", "b.mp4", "c.mp4", "d.mp4", "e.mp4"})
            clips << Q(window.folders.Clip(name));
        window.Add(clips);
        TaskListView* list = window.List();
        QVERIFY(QTest::qWaitForWindowActive(window.main.get()));
        // The "Progress" cells are empty: their middle shows the row's background.
        const auto background = [&](const QImage& picture, int row) {
            const QRect bounds = list->RowBounds(row);
            const int x = list->columnViewportPosition(4) + 30;
            return picture.pixelColor(x, bounds.center().y()).rgb() & 0xFFFFFF;
        };
        // The frame's top line, above the empty "Progress" cell.
        const auto frame = [&](const QImage& picture, int row) {
            const QRect bounds = list->RowBounds(row);
            const int x = list->columnViewportPosition(4) + 30;
            return picture.pixelColor(x, bounds.top()).rgb() & 0xFFFFFF;
        };
        list->setFocus();
        for (int theme = 0; theme < tarnwick::app::ThemeCount; ++theme) {
            window.main->Themes().SetCurrent(theme);
            window.main->SelectRow(2);
            const QImage picture = list->viewport()->grab().toImage();
            const QRgb tint = tarnwick::app::OddRowTint(theme);
            QCOMPARE(background(picture, 0), QRgb(0xFFFFFF));
            QCOMPARE(background(picture, 1), tint);
            QCOMPARE(background(picture, 3), tint);
            QCOMPARE(background(picture, 4), QRgb(0xFFFFFF));
            QCOMPARE(background(picture, 2), tarnwick::ui::TaskListDelegate::SelectedFocusedFill);
            QCOMPARE(frame(picture, 2), tarnwick::ui::TaskListDelegate::SelectedFocusedFrame);
            QCOMPARE(frame(picture, 1), tint);
        }
        // Without the focus the selection is drawn lighter.
        window.main->findChild<QComboBox*>("cbOutputFormat")->setFocus();
        QTRY_VERIFY(!list->hasFocus());
        const QImage unfocused = list->viewport()->grab().toImage();
        QCOMPARE(background(unfocused, 2), tarnwick::ui::TaskListDelegate::SelectedFill);
        QCOMPARE(frame(unfocused, 2), tarnwick::ui::TaskListDelegate::SelectedFrame);
    }

    void TheCheckBoxAndItsTickAreDrawnAtTheirPoints() {
        Window window;
        window.Add({Q(window.folders.Clip("a.mp4")), Q(window.folders.Clip("b.mp4"))});
        window.main->Rows().SetChecked(1, false);
        window.List()->SelectRow(-1);
        const QImage picture = window.List()->viewport()->grab().toImage();
        const auto dark = [&](QPoint point) { return qGray(picture.pixel(point)) < 80; };
        for (int row = 0; row < 2; ++row) {
            const QPoint origin = window.List()->RowBounds(row).topLeft();
            // The box's left edge and top edge, and its inside away from the tick.
            QVERIFY(dark(origin + QPoint(2, 8)));
            QVERIFY(dark(origin + QPoint(8, 2)));
            // The tick's corner at (6, 11) only on the checked row.
            QCOMPARE(dark(origin + QPoint(6, 10)), row == 0);
        }
    }

    void TheEmptyListShowsItsBackgroundPicture() {
        Window window;
        const QImage picture = window.List()->viewport()->grab().toImage();
        const QImage background(Q(tarnwick::app::ListBackgroundPicturePath()));
        QVERIFY(!background.isNull());
        for (const QPoint point : {QPoint(5, 5), QPoint(60, 40), QPoint(200, 90)})
            QCOMPARE(picture.pixelColor(point).rgb(), background.pixelColor(point).rgb());
    }
};

TARNWICK_UI_TEST_MAIN(TaskListTest)
#include "task_list_test.moc"
