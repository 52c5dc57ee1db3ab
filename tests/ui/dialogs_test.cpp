// The small windows: the folder chooser, the real open dialog behind "&Add", and the splash.
#include "ui/ui_test_support.h"

#include "app/ui/cover_window.h"
#include "app/ui/folder_chooser.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QTreeView>

#include <filesystem>
#include <fstream>

using tarnwick::ui::FolderChecks;
using tarnwick::ui::TfmDirectory;

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

// Runs `answer` once the modal dialog of type T is up, then returns.
template <typename T, typename Answer> void WhenModal(Answer answer) {
    QTimer::singleShot(0, [answer] {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        answer(*dialog);
    });
}

} // namespace

class DialogsTest : public QObject {
    Q_OBJECT

private slots:
    void init() { folders_ = std::make_unique<tarnwick::test::UiTestFolders>(); }
    void cleanup() { folders_.reset(); }

    void TheFolderChooserOpensOnTheHomeFolderWithOkForWritableFolders() {
        tarnwick::test::RecordingMessageBox messages;
        TfmDirectory chooser(messages);
        chooser.show();
        QCOMPARE(chooser.windowTitle(), QString("Brows"));
        QCOMPARE(chooser.size(), QSize(322, 351));
        QCOMPARE(chooser.Label1->text(), QString("Please select an output directory:"));
        QCOMPARE(chooser.SelectedFolder(), Q(folders_->Home()));
        QVERIFY(chooser.btnOk->isEnabled());
        // Shown once the tree has read the folders on its way.
        QTreeView* tree = chooser.stview_selectdir;
        QTRY_VERIFY(tree->viewport()->rect().contains(tree->visualRect(tree->currentIndex())));

        const std::string locked = folders_->Folder().File("locked");
        const std::string open = folders_->Folder().File("open");
        std::filesystem::create_directory(locked);
        std::filesystem::create_directory(open);
        TfmDirectory checked(
            messages, nullptr,
            FolderChecks{[&](const std::string& folder) { return folder != locked; }, {}});
        checked.show();
        checked.SelectFolder(Q(locked));
        QVERIFY(!checked.btnOk->isEnabled());
        checked.SelectFolder(Q(open));
        QVERIFY(checked.btnOk->isEnabled());
        // A right click selects too.
        checked.SelectFolder(Q(locked));
        const QModelIndex openRow = checked.stview_selectdir->indexAt(
            checked.stview_selectdir->visualRect(checked.stview_selectdir->currentIndex())
                .center() +
            QPoint(0, 1));
        QVERIFY(openRow.isValid());
        const QRect openRect =
            checked.stview_selectdir->visualRect(checked.stview_selectdir->model()->index(
                checked.stview_selectdir->currentIndex().row() + 1, 0,
                checked.stview_selectdir->currentIndex().parent()));
        QTest::mouseClick(checked.stview_selectdir->viewport(), Qt::RightButton, {},
                          openRect.center());
        QCOMPARE(checked.SelectedFolder(), Q(open));
        QVERIFY(checked.btnOk->isEnabled());
    }

    void OkGivesTheFolderAndCancelNothing() {
        tarnwick::test::RecordingMessageBox messages;
        const std::string target = folders_->Folder().File("target");
        std::filesystem::create_directory(target);
        TfmDirectory chooser(messages);
        WhenModal<TfmDirectory>([&](TfmDirectory& shown) {
            shown.SelectFolder(Q(target));
            QTest::mouseClick(shown.btnOk, Qt::LeftButton);
        });
        chooser.exec();
        QCOMPARE(chooser.ChosenFolder(), Q(target));
        WhenModal<TfmDirectory>(
            [](TfmDirectory& shown) { QTest::mouseClick(shown.btnCancel, Qt::LeftButton); });
        chooser.exec();
        QCOMPARE(chooser.ChosenFolder(), QString());
        QVERIFY(messages.shown.empty());
    }

    void AFolderOnADiscIsRefusedAndTheChooserStaysOpen() {
        tarnwick::test::RecordingMessageBox messages;
        const std::string disc = folders_->Folder().File("disc");
        std::filesystem::create_directory(disc);
        TfmDirectory chooser(messages, nullptr, FolderChecks{{}, [&](const std::string& folder) {
                                                                 return folder == disc;
                                                             }});
        bool openAfterOk = false;
        QString chosenAfterOk = "unset";
        WhenModal<TfmDirectory>([&](TfmDirectory& shown) {
            shown.SelectFolder(Q(disc));
            QTest::mouseClick(shown.btnOk, Qt::LeftButton);
            openAfterOk = shown.isVisible();
            chosenAfterOk = shown.ChosenFolder();
            QTest::mouseClick(shown.btnCancel, Qt::LeftButton);
        });
        chooser.exec();
        QVERIFY(openAfterOk);
        QCOMPARE(chosenAfterOk, QString());
        QCOMPARE(chooser.ChosenFolder(), QString());
        QCOMPARE(messages.shown.size(), size_t(1));
        QCOMPARE(messages.shown[0].caption, std::string("Tarnwick"));
        QCOMPARE(messages.shown[0].text,
                 std::string("Output folder cannot be located in CD-ROM.Please select another "
                             "folder."));
        QVERIFY(messages.shown[0].icon == tarnwick::app::TMessageIcon::Information);
    }

    void TheOpenDialogListsClipsOfEitherCaseAndTakesATypedSelection() {
        const QString folder = Q(folders_->Folder().Path().string());
        for (const char* name : {"clip.mp4", "CLIP.MP4", "notes.txt"})
            std::ofstream(folders_->Folder().File(name)) << "x";
        QStringList filters;
        QStringList listed;
        // Typed like a user: the folder, then, once it is listed, the two files.
        QTimer driver;
        int step = 0;
        QObject::connect(&driver, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
            auto* list = dialog->findChild<QListView*>("listView");
            if (step == 0) {
                filters = dialog->nameFilters();
                name->setText(folder);
                QTest::keyClick(name, Qt::Key_Return);
                step = 1;
                return;
            }
            // A file the filter leaves out may still be listed, greyed out.
            QStringList names;
            int entries = 0;
            for (int row = 0; row < list->model()->rowCount(list->rootIndex()); ++row) {
                const QModelIndex entry = list->model()->index(row, 0, list->rootIndex());
                ++entries;
                const QString listedName = entry.data().toString();
                if (entry.flags().testFlag(Qt::ItemIsEnabled) &&
                    !QFileInfo(folder + "/" + listedName).isDir())
                    names << listedName;
            }
            if (dialog->directory().absolutePath() != folder || entries < 3) return;
            names.sort();
            listed = names;
            name->clear();
            QTest::keyClicks(name, "\"clip.mp4\" \"CLIP.MP4\"");
            QTest::keyClick(name, Qt::Key_Return);
            driver.stop();
        });
        driver.start(20);
        tarnwick::test::RecordingMessageBox messages;
        tarnwick::ui::QtFileChooser chooser(messages);
        QStringList chosen = chooser.ChooseSourceFiles(nullptr);
        QCOMPARE(filters.size(), 5);
        QVERIFY(filters[0].startsWith("Video/Audio/Picture Files (*.AVI *.AVM *.ASF"));
        QCOMPARE(filters[4], QString("All Files (*)"));
        QVERIFY2(listed == QStringList({"CLIP.MP4", "clip.mp4"}), qPrintable(listed.join(',')));
        chosen.sort();
        QCOMPARE(chosen, QStringList({folder + "/CLIP.MP4", folder + "/clip.mp4"}));
    }

    void TheSplashIsBlankWithoutItsPictureAndGoesOnceTheMainWindowShows() {
        tarnwick::ui::TfrmCover shipped;
        QVERIFY(!shipped.imgCover->pixmap().isNull());

        tarnwick::ui::TfrmCover cover(folders_->Folder().File("missing.jpg"));
        QVERIFY(cover.imgCover->pixmap().isNull());
        QWidget main;
        cover.HideWhenShowing(&main);
        cover.ShowNow();
        QCOMPARE(cover.size(), QSize(399, 239));
        QVERIFY(cover.isVisible());
        QVERIFY(cover.tmr1->isActive());
        QCOMPARE(cover.tmr1->interval(), 1000);
        QSignalSpy ticks(cover.tmr1, &QTimer::timeout);
        QVERIFY(ticks.wait(10000));
        QVERIFY(cover.isVisible());
        main.show();
        QVERIFY(ticks.wait(10000));
        QVERIFY(!cover.isVisible());
        QVERIFY(!cover.tmr1->isActive());
    }

private:
    std::unique_ptr<tarnwick::test::UiTestFolders> folders_;
};

TARNWICK_UI_TEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
