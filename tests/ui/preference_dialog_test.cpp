// The preferences dialog over a settings file of the test's own; the folder chooser and the
// folder opener answer as recorders.

#include "ui/editor_test_support.h"

#include "app/core/app_paths.h"
#include "app/ui/preference_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QtTest>

namespace tarnwick::ui {

class PreferenceDialogTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        folder_ = std::make_unique<QTemporaryDir>();
        settings_ =
            std::make_unique<platform::IniStore>(folder_->filePath("tarnwick.ini").toStdString());
        desktop_ = std::make_unique<test::TestDesktop>();
        dialog_ = std::make_unique<TfrmPreference>(*settings_, desktop_->Files, desktop_->Urls,
                                                   desktop_->Messages);
    }
    void cleanup() { dialog_.reset(); }

    void withoutSettingsEverythingIsOn() {
        dialog_->Edit();
        for (const char* box : {"ckFullSize", "ckSmallSize", "ckBmp", "ckJpg"})
            QVERIFY2(Box(box)->isChecked(), box);
        QCOMPARE(Quality()->value(), 30);
        QCOMPARE(dialog_->findChild<QSlider*>("trcCmp")->value(), 30);
        QCOMPARE(Priority()->text(), "Normal");
        QCOMPARE(dialog_->findChild<QLineEdit*>("edtSnapDirectory")->text().toStdString(),
                 app::DefaultOutputFolder());
        QVERIFY(Quality()->toolTip().startsWith("Use Compression Quality"));
    }

    void oneSizeAndOneFormatStayTicked() {
        dialog_->Edit();
        Box("ckBmp")->click();
        QVERIFY(!Box("ckBmp")->isChecked());
        Box("ckJpg")->click();
        QVERIFY(Box("ckJpg")->isChecked());
        QVERIFY(Quality()->isEnabled());
        Box("ckBmp")->click(); // BMP back, so JPG may go
        Box("ckJpg")->click();
        QVERIFY(!Box("ckJpg")->isChecked());
        QVERIFY(!Quality()->isEnabled());
        Box("ckSmallSize")->click();
        Box("ckFullSize")->click();
        QVERIFY(Box("ckFullSize")->isChecked());
        QVERIFY(!Box("ckSmallSize")->isChecked());
    }

    void qualityControlsMoveTogether() {
        dialog_->Edit();
        auto* bar = dialog_->findChild<QSlider*>("trcCmp");
        bar->setValue(55);
        QCOMPARE(Quality()->value(), 55);
        Quality()->stepBy(10);
        QCOMPARE(bar->value(), 65);
        Quality()->stepBy(100);
        QCOMPARE(bar->value(), 100);
        QCOMPARE(bar->tickInterval(), 10);
    }

    void defaultThenOkWritesTheDefaults() {
        settings_->WriteInteger("settings", "priority", 3);
        dialog_->Edit();
        QCOMPARE(Priority()->text(), "Lowest");
        Click("btnDefault");
        QCOMPARE(settings_->ReadInteger("settings", "priority", -1), 3);
        Click("btnOk");
        QVERIFY(!dialog_->isVisible());
        const std::pair<const char*, int> expected[] = {{"snapBmp", 1},      {"snapJpg", 0},
                                                        {"snapFullSize", 1}, {"snapSmallSize", 0},
                                                        {"jpgCmp", 20},      {"priority", 1}};
        for (const auto& [key, value] : expected)
            QCOMPARE(settings_->ReadInteger("settings", key, -1), value);
        QCOMPARE(settings_->ReadString("settings", "snapOutPutDir", ""),
                 app::DefaultOutputFolder());
    }

    void browsWritesAtOnceAndOpenShowsTheStoredFolder() {
        dialog_->Edit();
        const QString chosen = folder_->filePath("snaps");
        desktop_->Files.FolderAnswers = {chosen};
        Click("btnBrows");
        QCOMPARE(dialog_->findChild<QLineEdit*>("edtSnapDirectory")->text(), chosen);
        Click("btnCancel");
        QCOMPARE(QString::fromStdString(settings_->ReadString("settings", "SnapOutPutDir", "")),
                 chosen);
        QCOMPARE(settings_->ReadString("settings", "snapBmp", "none"), "none");
        dialog_->Edit();
        Click("btnOpen");
        QCOMPARE(desktop_->Urls.Opened, QList<QUrl>{QUrl::fromLocalFile(chosen)});
    }

    void aSettingsFileThatCannotBeWrittenIsReported() {
        settings_ = std::make_unique<platform::IniStore>(
            folder_->filePath("missing/tarnwick.ini").toStdString());
        dialog_ = std::make_unique<TfrmPreference>(*settings_, desktop_->Files, desktop_->Urls,
                                                   desktop_->Messages);
        dialog_->Edit();
        Click("btnOk");
        const QStringList shown = test::ShownTexts(desktop_->Messages);
        QCOMPARE(shown.size(), 1);
        QVERIFY(shown[0].startsWith("Warning: Cannot write the settings file"));
        QVERIFY(dialog_->isVisible());
    }

private:
    QCheckBox* Box(const char* name) { return dialog_->findChild<QCheckBox*>(name); }
    QSpinBox* Quality() { return dialog_->findChild<QSpinBox*>("spedCmp"); }
    QAbstractButton* Priority() { return dialog_->findChild<QButtonGroup*>()->checkedButton(); }
    void Click(const char* name) {
        QTest::mouseClick(dialog_->findChild<QPushButton*>(name), Qt::LeftButton);
    }

    std::unique_ptr<QTemporaryDir> folder_;
    std::unique_ptr<platform::IniStore> settings_;
    std::unique_ptr<test::TestDesktop> desktop_;
    std::unique_ptr<TfrmPreference> dialog_;
};

} // namespace tarnwick::ui

TARNWICK_UI_TEST_MAIN(tarnwick::ui::PreferenceDialogTest)
#include "preference_dialog_test.moc"
