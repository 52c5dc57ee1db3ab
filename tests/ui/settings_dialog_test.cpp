// The settings dialog over presets and settings files of the test's own.

#include "app/core/presets.h"
#include "app/ui/settings_dialog.h"

#include <QComboBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace tarnwick::ui {

class SettingsDialogTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        folder_ = std::make_unique<QTemporaryDir>();
        settings_ = std::make_unique<platform::IniStore>(Path("tarnwick.ini").toStdString());
        presets_ = std::make_unique<platform::IniStore>(Path("tarnwickformat.ini").toStdString());
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
        mainFormats_ = std::make_unique<QComboBox>();
        std::vector<std::string> names;
        app::FillPresetList(names);
        for (const auto& name : names)
            mainFormats_->addItem(QString::fromStdString(name));
        mainFormats_->setCurrentIndex(1);
        dialog_ = std::make_unique<SettingsDialog>(*settings_, *presets_);
    }

    void showFillsTheListsFromThePresetsFile() {
        settings_->WriteInteger("formatInfo1", "iVideoSize", 2);
        dialog_->ShowFor(*mainFormats_);
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
        dialog_->ShowFor(*mainFormats_);
        QSignalSpy chosen(dialog_.get(), &SettingsDialog::presetChosen);
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
        QCOMPARE(chosen.size(), 1);
        QCOMPARE(chosen[0][0].toInt(), 1);
        QVERIFY(!dialog_->isVisible());

        dialog_->ShowFor(*mainFormats_);
        Combo("cmbVolume")->setCurrentIndex(0); // 100%
        Click("btnOk");
        QCOMPARE(Read("formatInfo1", "paraVolume"), "256");
    }

    void defaultSelectsTheFactoryChoicesAndCancelWritesNothing() {
        dialog_->ShowFor(*mainFormats_);
        Combo("cmbVideoBitRate")->setCurrentIndex(0);
        Click("btnDefault");
        QCOMPARE(Combo("cmbVideoEncoder")->currentIndex(), 1);
        QCOMPARE(Combo("cmbVideoBitRate")->currentIndex(), 1);
        QVERIFY(!QFile::exists(Path("tarnwick.ini"))); // nothing written before "&Ok"
        Click("btnCancel");
        QVERIFY(!QFile::exists(Path("tarnwick.ini")));
        QVERIFY(!dialog_->isVisible());

        dialog_->ShowFor(*mainFormats_);
        Click("btnDefault");
        Click("btnOk");
        QCOMPARE(Read("formatInfo1", "iVideoEncoder"), "1");
        QCOMPARE(Read("formatInfo1", "paraVideoEncoder"), "mpeg4");
        QCOMPARE(Read("formatInfo1", "iVideoBitRate"), "1");
        QCOMPARE(Read("formatInfo1", "paraVideoBitRate"), "512");
    }

    void aValueThatDoesNotParseKeepsTheDialogOpen() {
        dialog_->ShowFor(*mainFormats_);
        Combo("cmbVolume")->setCurrentIndex(2); // "x%"
        Click("btnOk");
        QVERIFY(dialog_->isVisible());
        // What was written before the volume stays written.
        QCOMPARE(Read("formatInfo1", "paraVideoEncoder"), "libx264");
        QCOMPARE(Read("formatInfo1", "paraVolume"), "");
    }

private:
    QString Path(const char* name) const { return folder_->filePath(QString::fromUtf8(name)); }
    QComboBox* Combo(const char* name) const {
        auto* combo = dialog_->findChild<QComboBox*>(QString::fromUtf8(name));
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
        auto* button = dialog_->findChild<QPushButton*>(QString::fromUtf8(name));
        Q_ASSERT(button);
        QTest::mouseClick(button, Qt::LeftButton);
    }
    QString Read(const char* section, const char* key) const {
        return QString::fromStdString(settings_->ReadString(section, key, ""));
    }

    std::unique_ptr<QTemporaryDir> folder_;
    std::unique_ptr<platform::IniStore> settings_;
    std::unique_ptr<platform::IniStore> presets_;
    std::unique_ptr<QComboBox> mainFormats_;
    std::unique_ptr<SettingsDialog> dialog_;
};

} // namespace tarnwick::ui

QTEST_MAIN(tarnwick::ui::SettingsDialogTest)
#include "settings_dialog_test.moc"
