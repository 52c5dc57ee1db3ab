// The main window as the user first meets it: its size, controls, captions and menus, and the
// settings it reads and writes at start, show and close.
#include "ui/ui_test_support.h"

#include "app/core/app_paths.h"
#include "app/core/settings_keys.h"
#include "app/ui/about_box.h"
#include "app/ui/handler_guard.h"
#include "app/ui/main_window.h"
#include "platform/atomic_file.h"
#include "platform/convert.h"
#include "platform/ffmpeg_exception.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

#include <filesystem>

using tarnwick::test::TestDesktop;
using tarnwick::ui::TfrmMain;

namespace {

// Counts the times a widget is hidden.
class HideCounter : public QObject {
public:
    int hides = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Hide) ++hides;
        return false;
    }
};

std::string Contents(const std::string& path) {
    std::string text;
    tarnwick::platform::ReadFileContents(path, text);
    return text;
}

QAction* Entry(const QWidget& window, const char* name) { return window.findChild<QAction*>(name); }

// The Skin submenu's ticks, "x" for a ticked entry.
QString SkinTicks(const QWidget& window) {
    QString ticks;
    for (QAction* entry : window.findChild<QMenu*>("Skin1")->actions())
        ticks += entry->isChecked() ? 'x' : '-';
    return ticks;
}

void OpenSkinMenu(const QWidget& window) { emit window.findChild<QMenu*>("Skin1")->aboutToShow(); }

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init() { folders_ = std::make_unique<tarnwick::test::UiTestFolders>(); }
    void cleanup() { folders_.reset(); }

    void ShowsEveryControlAndEntryByNameAndCaption() {
        tarnwick::test::TestDesktop desktop;
        TfrmMain window(desktop.Services);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.size(), QSize(786, 534));
        QCOMPARE(window.windowTitle(), QString("Tarnwick ver 1.33 "));

        const std::pair<const char*, const char*> buttons[] = {
            {"btnAdd", "&Add"},           {"btnRemove", "&Remove"},   {"btnClear", "&Clear"},
            {"btnSettings", "&Settings"}, {"btnStart", "&Start"},     {"btnExit", "&Exit"},
            {"btnStartBelow", "&Start"},  {"btnOptions", "Settings"}, {"btnBrows", "Brows"},
            {"btnOpen", "Open"},          {"btnStop", "Stop"},        {"btnPause", "Pause"},
            {"btnResume", "Resume"}};
        for (const auto& [name, caption] : buttons) {
            auto* button = window.findChild<QAbstractButton*>(name);
            QVERIFY2(button, name);
            QCOMPARE(button->text(), QString(caption));
        }
        for (const char* hidden : {"btnStop", "btnPause", "btnResume", "mmoLog"})
            QVERIFY2(!window.findChild<QWidget*>(hidden)->isVisible(), hidden);
        for (const char* name :
             {"lvFiles", "cbOutputFormat", "edDirectory", "imgPreview", "imgPreview1", "lblPTS",
              "trcPreview", "imgbtnPlay", "imgbtnPause", "imgbtnStop", "imgbtnSnap"})
            QVERIFY2(window.findChild<QWidget*>(name)->isVisible(), name);
        QCOMPARE(window.findChild<QGroupBox*>()->title(), QString("Fast preview"));
        QCOMPARE(window.findChild<QLabel*>("lblPTS")->text(), QString("Time:"));
        QCOMPARE(window.findChild<QWidget*>("imgPreview")->size(), QSize(217, 188));
        QCOMPARE(window.findChild<QWidget*>("trcPreview")->width(), 209);
        QCOMPARE(window.findChild<QWidget*>("imgbtnSnap")->toolTip(),
                 QString("Save snapshot picture."));

        QStringList titles;
        for (QAction* menu : window.menuBar()->actions())
            titles << menu->text();
        QCOMPARE(titles, QStringList({"&File", "&Edit", "&Tools", "&Help"}));
        const std::pair<const char*, const char*> entries[] = {
            {"Add1", "&Add"},
            {"Remove1", "&Remove"},
            {"Clear1", "&Clear"},
            {"Start1", "&Start"},
            {"Settings1", "Se&ttings"},
            {"Exit2", "&Exit"},
            {"Crop1", "&Crop"},
            {"Trim1", "&Trim"},
            {"WaterMark1", "&Water Mark"},
            {"CheckAll1", "&Check All"},
            {"UncheckAll1", "&Uncheck All"},
            {"ReserveCheck1", "&Reverse Check"},
            {"Check1", "C&heck"},
            {"Uncheck1", "U&ncheck"},
            {"Preference1", "&Preference"},
            {"Skin11", "Default"},
            {"Skin21", "Gray"},
            {"Skin31", "Orange"},
            {"Skin41", "Purple"},
            {"Skin51", "Red"},
            {"Skin61", "Green"},
            {"Skin71", "Light blue"},
            {"Help2", "&Help"},
            {"WebSite1", "&Web Site"},
            {"SupportandContact1", "&Support and Contact"},
            {"About", "&About"},
            {"Add2", "Add"},
            {"Remove2", "Remove"},
            {"Clear2", "Clear"},
            {"Crop2", "&Crop"},
            {"Trim2", "&Trim"},
            {"WaterMark2", "&Water Mark"},
            {"VideoInfomation1", "Video Infomation"},
            {"Start2", "Start"}};
        for (const auto& [name, caption] : entries) {
            auto* entry = window.findChild<QAction*>(name);
            QVERIFY2(entry, name);
            QCOMPARE(entry->text(), QString(caption));
        }
        QCOMPARE(window.findChild<QMenu*>("Skin1")->title(), QString("&Skin"));
    }

    void AFirstStartUsesTheDefaults() {
        QVERIFY(!std::filesystem::exists(folders_->SettingsFile()));
        TestDesktop desktop;
        TfrmMain window(desktop.Services);
        window.show();
        QCOMPARE(window.Themes().Current(), std::optional<int>(0));
        QCOMPARE(window.findChild<QComboBox*>("cbOutputFormat")->currentIndex(), 0);
        QCOMPARE(window.findChild<QComboBox*>("cbOutputFormat")->count(), 21);
        const QString folder = QString::fromStdString(folders_->Home() + "/tarnwick");
        QCOMPARE(window.findChild<QLineEdit*>("edDirectory")->text(), folder);
        // Showing the folder wrote it: the line writes whatever it is given.
        QCOMPARE(tarnwick::app::ReadOutputFolder(folders_->Settings()), folder.toStdString());
        OpenSkinMenu(window);
        QCOMPARE(SkinTicks(window), QString("-x-----"));
        QCOMPARE(window.Themes().Current(), std::optional<int>(0));
        QCOMPARE(folders_->Settings().ReadString("settings", "skinIndex", "none"),
                 std::string("none"));
    }

    void ChoosingASkinSwitchesTicksAndWritesItOnce() {
        TestDesktop desktop;
        TfrmMain window(desktop.Services);
        window.show();
        HideCounter hides;
        window.installEventFilter(&hides);
        OpenSkinMenu(window);
        Entry(window, "Skin31")->trigger();
        QCOMPARE(window.Themes().Current(), std::optional<int>(2));
        QCOMPARE(QApplication::palette().color(QPalette::Window),
                 tarnwick::ui::ThemePalette(2).color(QPalette::Window));
        QCOMPARE(SkinTicks(window), QString("--x----"));
        QCOMPARE(hides.hides, 1);
        QVERIFY(window.isVisible());
        QCOMPARE(tarnwick::app::ReadSkinIndexForMenu(folders_->Settings()), 2);

        // The ticked one again: no hiding, no writing.
        tarnwick::app::WriteSkinIndex(folders_->Settings(), 5);
        OpenSkinMenu(window);
        QCOMPARE(SkinTicks(window), QString("--x--x-"));
        Entry(window, "Skin31")->trigger();
        QCOMPARE(hides.hides, 1);
        QCOMPARE(SkinTicks(window), QString("--x--x-"));
        QCOMPARE(tarnwick::app::ReadSkinIndexForMenu(folders_->Settings()), 5);
        QCOMPARE(window.Themes().Current(), std::optional<int>(2));
    }

    void AStoredThemeIsUsedAndOneOutOfRangeKeepsTheDesignTheme() {
        tarnwick::app::WriteSkinIndex(folders_->Settings(), 4);
        {
            TestDesktop desktop;
            TfrmMain window(desktop.Services);
            QCOMPARE(window.Themes().Current(), std::optional<int>(4));
        }
        tarnwick::app::WriteSkinIndex(folders_->Settings(), 9);
        const std::string before = Contents(folders_->SettingsFile());
        TestDesktop desktop;
        TfrmMain window(desktop.Services);
        QCOMPARE(window.Themes().Current(), std::optional<int>(0));
        OpenSkinMenu(window);
        QCOMPARE(SkinTicks(window), QString("-------"));
        QCOMPARE(tarnwick::app::ReadSkinIndexForMenu(folders_->Settings()), 9);
        QCOMPARE(Contents(folders_->SettingsFile()), before);
    }

    void TheChosenFormatIsWrittenAtOnceAndSelectedAtTheNextStart() {
        {
            TestDesktop desktop;
            TfrmMain window(desktop.Services);
            window.show();
            auto* formats = window.findChild<QComboBox*>("cbOutputFormat");
            formats->setFocus();
            QTest::keyClick(formats, Qt::Key_Down);
            QTest::keyClick(formats, Qt::Key_Down);
            QCOMPARE(formats->currentIndex(), 2);
            QCOMPARE(tarnwick::app::ReadOutputFormat(folders_->Settings()), 2);
        }
        TestDesktop desktop;
        TfrmMain window(desktop.Services);
        window.show();
        QCOMPARE(window.findChild<QComboBox*>("cbOutputFormat")->currentIndex(), 2);
        QCOMPARE(window.PresetIndex(), 2);
    }

    void AStoredFormatOutsideTheListSelectsTheFirst() {
        tarnwick::app::WriteOutputFormat(folders_->Settings(), 40);
        TestDesktop desktop;
        TfrmMain window(desktop.Services);
        window.show();
        QCOMPARE(window.findChild<QComboBox*>("cbOutputFormat")->currentIndex(), 0);
        QCOMPARE(tarnwick::app::ReadOutputFormat(folders_->Settings()), 40);
    }

    void BrowsStoresAChosenFolderAndOpenShowsTheStoredOne() {
        TestDesktop desktop;
        TfrmMain window(desktop.Services);
        window.show();
        auto* line = window.findChild<QLineEdit*>("edDirectory");
        const QString before = line->text();
        const QString chosen = QString::fromStdString(folders_->Folder().File("chosen"));
        desktop.Files.FolderAnswers = {QString(), chosen};
        QTest::mouseClick(window.findChild<QPushButton*>("btnBrows"), Qt::LeftButton);
        QCOMPARE(line->text(), before); // nothing chosen
        QTest::mouseClick(window.findChild<QPushButton*>("btnBrows"), Qt::LeftButton);
        QCOMPARE(desktop.Files.FolderCalls, 2);
        QCOMPARE(line->text(), chosen);
        QCOMPARE(tarnwick::app::ReadOutputFolder(folders_->Settings()), chosen.toStdString());

        QTest::mouseClick(window.findChild<QPushButton*>("btnOpen"), Qt::LeftButton);
        QCOMPARE(desktop.Urls.Opened, QList<QUrl>{QUrl::fromLocalFile(chosen)});
    }

    void OpenDoesNothingForAFolderOfTwoCharacters() {
        tarnwick::app::WriteOutputFolder(folders_->Settings(), "/a");
        TestDesktop desktop;
        TfrmMain window(desktop.Services);
        window.show();
        QTest::mouseClick(window.findChild<QPushButton*>("btnOpen"), Qt::LeftButton);
        QVERIFY(desktop.Urls.Opened.isEmpty());
    }

    void HelpEntriesOpenTheUserGuide() {
        TestDesktop desktop;
        TfrmMain window(desktop.Services);
        for (const char* entry : {"Help2", "WebSite1", "SupportandContact1"})
            Entry(window, entry)->trigger();
        const QUrl guide =
            QUrl::fromLocalFile(QString::fromStdString(tarnwick::app::UserGuidePath()));
        QCOMPARE(desktop.Urls.Opened.size(), 3);
        QCOMPARE(desktop.Urls.Opened[0], guide);
        QCOMPARE(desktop.Urls.Opened[1].fragment(), QString("tarnwick"));
        QCOMPARE(desktop.Urls.Opened[2].fragment(), QString("support"));
        for (const QUrl& url : desktop.Urls.Opened)
            QCOMPARE(url.adjusted(QUrl::RemoveFragment), guide);
    }

    void TheAboutBoxShowsTheProductAndOpensItsLink() {
        TestDesktop desktop;
        TfrmMain window(desktop.Services);
        window.show();
        tarnwick::ui::TfrmAbout* shown = nullptr;
        QString title, nameAndVersion;
        QColor hovered;
        QTimer::singleShot(0, [&] {
            shown = qobject_cast<tarnwick::ui::TfrmAbout*>(QApplication::activeModalWidget());
            if (!shown) return;
            title = shown->windowTitle();
            nameAndVersion = shown->lblAppNameVer->text();
            for (QLabel* label : {shown->lblAppNameVer, shown->lbl1, shown->lbl2}) {
                QCOMPARE(label->width(), 160);
                QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(),
                         qPrintable(label->text()));
            }
            QEvent enter(QEvent::Enter);
            QApplication::sendEvent(shown->lblWebSite, &enter);
            hovered = shown->lblWebSite->palette().color(QPalette::WindowText);
            QTest::mouseClick(shown->lblWebSite, Qt::LeftButton);
            QTest::mouseClick(shown->btn1, Qt::LeftButton);
        });
        Entry(window, "About")->trigger();
        QVERIFY(shown);
        QCOMPARE(title, QString("About"));
        QCOMPARE(shown->size(), QSize(300, 150));
        QCOMPARE(nameAndVersion, QString("Tarnwick ver 1.33 "));
        QCOMPARE(hovered, QColor(Qt::red));
        QCOMPARE(desktop.Urls.Opened,
                 QList<QUrl>{QUrl(QString::fromStdString(window.Global().WebSiteAddress()))});
        QVERIFY(!shown->isVisible());
        // Made once, shown again.
        QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
        Entry(window, "About")->trigger();
        QCOMPARE(window.findChildren<tarnwick::ui::TfrmAbout*>().size(), 1);
    }

    void AltSStartsTheRunAndAltEOpensTheEditMenu() {
        TestDesktop desktop;
        TfrmMain window(desktop.Services);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        const std::string clip = folders_->Clip("clip.mp4");
        desktop.Files.SourceAnswers = {{QString::fromStdString(clip)}};
        QTest::mouseClick(window.findChild<QPushButton*>("btnAdd"), Qt::LeftButton);
        window.Rows().SetChecked(0, false);
        QWidget* focused = QApplication::focusWidget();
        // "&Start" twice and "&Settings": the key starts the run, which finds nothing checked.
        QTest::keyClick(window.windowHandle(), Qt::Key_S, Qt::AltModifier);
        QCOMPARE(desktop.Messages.shown.size(), size_t(1));
        QCOMPARE(desktop.Messages.shown[0].text,
                 std::string("Please select a file by clicking the check box!"));
        QCOMPARE(QApplication::focusWidget(), focused);
        // "&Exit" gives the key to the menu.
        auto* edit = window.findChild<QMenu*>("Edit2");
        QTest::keyClick(window.windowHandle(), Qt::Key_E, Qt::AltModifier);
        QTRY_VERIFY(edit->isVisible());
        edit->hide();
        QVERIFY(window.isVisible());
    }

    void ExitClosesTheWindow() {
        TestDesktop desktop;
        TfrmMain window(desktop.Services);
        window.show();
        QTest::mouseClick(window.findChild<QPushButton*>("btnExit"), Qt::LeftButton);
        QVERIFY(!window.isVisible());
    }

    void AnErrorEscapingAHandlerIsShownByTheErrorRule() {
        TestDesktop desktop;
        TfrmMain window(desktop.Services);
        window.show();
        using tarnwick::app::TMessageIcon;
        struct Case {
            std::function<void()> raise;
            const char* text;
            TMessageIcon icon;
        };
        const Case cases[] = {
            {[] { throw tarnwick::platform::FFMpegException("Incorrect frame rate"); },
             "Incorrect frame rate.", TMessageIcon::Warning},
            {[] { throw std::runtime_error("Stream 2"); }, "Stream 2.", TMessageIcon::Error},
            {[] { throw std::runtime_error("Missing value:"); }, "Missing value:.",
             TMessageIcon::Error},
            {[] { throw tarnwick::platform::EConvertError("'x' is not a valid integer value"); },
             "'x' is not a valid integer value.", TMessageIcon::Error},
            {[] { throw std::runtime_error("Stopped!"); }, "Stopped!", TMessageIcon::Error},
            {[] { throw std::runtime_error("Done."); }, "Done.", TMessageIcon::Error},
        };
        QPushButton button;
        for (const Case& c : cases) {
            desktop.Messages.shown.clear();
            const auto connection =
                QObject::connect(&button, &QPushButton::clicked, tarnwick::ui::Guarded(c.raise));
            QTest::mouseClick(&button, Qt::LeftButton);
            QObject::disconnect(connection);
            QCOMPARE(desktop.Messages.shown.size(), size_t(1));
            QCOMPARE(desktop.Messages.shown[0].caption, std::string("Tarnwick"));
            QCOMPARE(desktop.Messages.shown[0].text, std::string(c.text));
            QVERIFY(desktop.Messages.shown[0].icon == c.icon);
        }
        // A real handler: the open dialog failing in the middle of "&Add".
        desktop.Messages.shown.clear();
        struct FailingChooser : tarnwick::test::ScriptedFileChooser {
            QStringList ChooseSourceFiles(QWidget*) override {
                throw std::runtime_error("The dialog broke");
            }
        } failing;
        tarnwick::ui::Desktop broken{desktop.Messages, failing, desktop.Urls, desktop.Scheduler,
                                     desktop.PowerOff};
        TfrmMain second(broken);
        QTest::mouseClick(second.findChild<QPushButton*>("btnAdd"), Qt::LeftButton);
        QCOMPARE(desktop.Messages.shown.size(), size_t(1));
        QCOMPARE(desktop.Messages.shown[0].text, std::string("The dialog broke."));
        // What escapes an event outside any handler is caught by the application object.
        desktop.Messages.shown.clear();
        QTimer::singleShot(0, &second, [] { throw std::runtime_error("From a timer"); });
        QTRY_COMPARE(desktop.Messages.shown.size(), size_t(1));
        QCOMPARE(desktop.Messages.shown[0].text, std::string("From a timer."));
    }

private:
    std::unique_ptr<tarnwick::test::UiTestFolders> folders_;
};

TARNWICK_UI_TEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
