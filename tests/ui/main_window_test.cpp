// The main window as the user first meets it: its size, controls, captions and menus, and the
// settings it reads and writes at start, show and close.
#include "ui/ui_test_support.h"

#include "app/ui/main_window.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

using tarnwick::ui::TfrmMain;

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

private:
    std::unique_ptr<tarnwick::test::UiTestFolders> folders_;
};

TARNWICK_UI_TEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
