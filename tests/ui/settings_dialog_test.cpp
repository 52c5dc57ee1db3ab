// The settings dialog of the main window, over a presets file of the test's own.
#include "ui/ui_test_support.h"

#include "app/core/presets.h"
#include "app/ui/main_window.h"
#include "app/ui/settings_dialog.h"

#include <QComboBox>
#include <QPushButton>

#include <memory>

namespace tarnwick::ui {

class SettingsDialogTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        folders_ = std::make_unique<test::UiTestFolders>();
        settings_ = std::make_unique<platform::IniStore>(folders_->SettingsFile());
        presets_ = std::make_unique<platform::IniStore>(folders_->Folder().File("presets.ini"));
        // Preset 1: video lists with a trailing ",", an H.264 coder of 0 in the presets file,
        // no audio encoder. Preset 2: sound only.
        const struct {
            const char* key;
            const char* value;
        } one[] = {{"VideoSize", "320x240,640x480,"},
                   {"VideoEncoder", "h264,mpeg-4,wmv9"},
                   {"iVideoEncoder", "1"},
                   {"VideoBitRate", "256,512"},
                   {"iVideoBitRate", "1"},
                   {"FrameRate", "25,29.97"},
                   {"AudioEncoder", "null"},
                   {"Volume", "100%,110%,x%"},
                   {"iVolume", "0"},
                   {"paraCoder", "0"}},
          two[] = {{"VideoEncoder", "null"},
                   {"AudioEncoder", "mp3"},
                   {"Channel", "mono 1 channel"},
                   {"Volume", "50%"}};
        for (const auto& entry : one)
            presets_->WriteString("formatInfo1", entry.key, entry.value);
        for (const auto& entry : two)
            presets_->WriteString("formatInfo2", entry.key, entry.value);
        desktop_ = std::make_unique<test::TestDesktop>();
        window_ = std::make_unique<TfrmMain>(desktop_->Services);
        window_->Global().SetPresetsFile(presets_->Path());
        settings_->WriteInteger("settings", "OutPutFormat", 1);
        window_->show();
    }

    void cleanup() {
        window_.reset();
        desktop_.reset();
        folders_.reset();
    }

    void showFillsTheListsFromThePresetsFile() {
        settings_->WriteInteger("formatInfo1", "iVideoSize", 2);
        Show();
        QCOMPARE(Combo("cbOutputFormat")->count(), app::PresetCount);
        QCOMPARE(Combo("cbOutputFormat")->currentIndex(), 1);
        QCOMPARE(Items("cmbVideoSize"), (QStringList{"320x240", "640x480", ""}));
        QCOMPARE(Combo("cmbVideoSize")->currentIndex(), 2);    // the saved choice
        QCOMPARE(Combo("cmbVideoEncoder")->currentIndex(), 0); // nothing saved: 0
        QVERIFY(Combo("cmbVideoSize")->isEnabled());
        QVERIFY(!Combo("cmbAudioEncoder")->isEnabled());
        QCOMPARE(Combo("cmbAudioEncoder")->count(), 0);
        QVERIFY(!Combo("cmbSamplerate")->isEnabled()); // absent: "null"

        // A sound-only preset: no video encoder, so none of the four video lists is usable.
        Choose("cbOutputFormat", 2);
        for (const char* name :
             {"cmbVideoSize", "cmbVideoEncoder", "cmbVideoBitRate", "cmbFrameRate"})
            QVERIFY2(!Combo(name)->isEnabled(), name);
        QVERIFY(Combo("cmbAudioEncoder")->isEnabled());
        // The volume list is not refilled by a change of preset.
        QCOMPARE(Items("cmbVolume"), (QStringList{"100%", "110%", "x%"}));
    }

    void okWritesTheChoices() {
        settings_->WriteString("formatInfo1", "paraVolume", "300");
        Show();
        Combo("cmbVideoEncoder")->setCurrentIndex(0); // h264
        Combo("cmbVolume")->setCurrentIndex(1);       // 110%: a value the table does not know
        Click("btnOk");
        QCOMPARE(Read("settings", "OutPutFormat"), "1");
        QCOMPARE(Read("formatInfo1", "Description"), "iPod Video H.264  (*.mp4)");
        QCOMPARE(Read("formatInfo1", "iVideoEncoder"), "0");
        QCOMPARE(Read("formatInfo1", "paraVideoEncoder"), "libx264");
        QCOMPARE(Read("formatInfo1", "paraCoder"), "1"); // "0" in the presets file
        QCOMPARE(Read("formatInfo1", "paraVideoSize"), "320x240");
        QCOMPARE(Read("formatInfo1", "iAudioEncoder"), "-1"); // an empty list
        QCOMPARE(Read("formatInfo1", "paraVolume"), "300");   // kept
        QVERIFY(!Dialog()->isVisible());

        Show();
        Combo("cmbVolume")->setCurrentIndex(0); // 100%
        Click("btnOk");
        QCOMPARE(Read("formatInfo1", "paraVolume"), "256");
    }

    void defaultSelectsTheFactoryChoicesAndCancelWritesNothing() {
        Show();
        Combo("cmbVideoBitRate")->setCurrentIndex(0);
        const QByteArray before = SettingsText();
        Click("btnDefault");
        QCOMPARE(Combo("cmbVideoEncoder")->currentIndex(), 1);
        QCOMPARE(Combo("cmbVideoBitRate")->currentIndex(), 1);
        QCOMPARE(SettingsText(), before); // nothing written before "&Ok"
        Click("btnCancel");
        QCOMPARE(SettingsText(), before);
        QVERIFY(!Dialog()->isVisible());

        Show();
        Click("btnDefault");
        Click("btnOk");
        QCOMPARE(Read("formatInfo1", "iVideoEncoder"), "1");
        QCOMPARE(Read("formatInfo1", "paraVideoEncoder"), "mpeg4");
        QCOMPARE(Read("formatInfo1", "iVideoBitRate"), "1");
        QCOMPARE(Read("formatInfo1", "paraVideoBitRate"), "512");
    }

    void aValueThatDoesNotParseKeepsTheDialogOpen() {
        settings_->WriteString("formatInfo1", "paraVideoEncoder", "mpeg4");
        settings_->WriteString("formatInfo1", "iVideoEncoder", "0");
        settings_->WriteString("formatInfo1", "paraVolume", "300");
        Show();
        Combo("cmbVolume")->setCurrentIndex(2); // "x%"
        Click("btnOk");
        QCOMPARE(desktop_->Messages.shown.size(), size_t{1});
        QCOMPARE(desktop_->Messages.shown[0].text, "'x' is not a valid integer value.");
        QVERIFY(Dialog()->isVisible());
        // What was written before the volume stays written.
        QCOMPARE(Read("formatInfo1", "paraVideoEncoder"), "libx264");
        QCOMPARE(Read("formatInfo1", "paraVolume"), "300");
    }

    // "&Ok" selects the preset in the main window, which writes "OutPutFormat" only once.
    void okSelectsThePresetInTheMainWindow() {
        auto* mainFormats = window_->findChild<QComboBox*>("cbOutputFormat");
        mainFormats->setCurrentIndex(2);
        Show();
        QCOMPARE(Combo("cbOutputFormat")->currentIndex(), 2);
        Choose("cbOutputFormat", 1);
        Click("btnOk");
        QCOMPARE(mainFormats->currentIndex(), 1);
        QCOMPARE(Read("settings", "OutPutFormat"), "1");
    }

private:
    void Show() { window_->btnSettingsClick(); }
    QByteArray SettingsText() const {
        QFile file(QString::fromStdString(settings_->Path()));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    SettingsDialog* Dialog() const {
        auto* dialog = window_->findChild<SettingsDialog*>();
        Q_ASSERT(dialog);
        return dialog;
    }
    QComboBox* Combo(const char* name) const {
        auto* combo = Dialog()->findChild<QComboBox*>(QString::fromUtf8(name));
        Q_ASSERT(combo);
        return combo;
    }
    QStringList Items(const char* name) const {
        QStringList items;
        for (int i = 0; i < Combo(name)->count(); ++i)
            items << Combo(name)->itemText(i);
        return items;
    }
    void Choose(const char* name, int index) {
        Combo(name)->setCurrentIndex(index);
        emit Combo(name)->activated(index);
    }
    void Click(const char* name) {
        auto* button = Dialog()->findChild<QPushButton*>(QString::fromUtf8(name));
        Q_ASSERT(button);
        QTest::mouseClick(button, Qt::LeftButton);
    }
    QString Read(const char* section, const char* key) const {
        return QString::fromStdString(settings_->ReadString(section, key, ""));
    }

    std::unique_ptr<test::UiTestFolders> folders_;
    std::unique_ptr<platform::IniStore> settings_;
    std::unique_ptr<platform::IniStore> presets_;
    std::unique_ptr<test::TestDesktop> desktop_;
    std::unique_ptr<TfrmMain> window_;
};

} // namespace tarnwick::ui

TARNWICK_UI_TEST_MAIN(tarnwick::ui::SettingsDialogTest)
#include "settings_dialog_test.moc"
