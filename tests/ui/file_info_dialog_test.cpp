// The file information dialog over real clips: a clip with and without sound, a long path,
// a container that keeps no bit rates, a file without pictures and one that does not open.

#include "ui/editor_test_support.h"

#include "app/core/source_label.h"
#include "app/ui/file_info_dialog.h"
#include "fixtures/fixture_writer.h"

#include <QLabel>
#include <QLineEdit>
#include <QtTest>

#include <filesystem>

namespace tarnwick::ui {

using Texts = QMap<QString, QString>;

class FileInfoDialogTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        dialog_ = std::make_unique<TfrmFileInfo>();
        clips_.Short("sound.mp4", true);
        clips_.Short("mute.mp4", false);
        // Matroska keeps no bit rate of its streams.
        clips_.Short("unknown rate.mkv", false);
        const std::string folder = clips_.Path("a folder with a name long enough");
        std::filesystem::create_directory(folder);
        fixtures::WriteClip(folder + "/clip.mp4", fixtures::SimpleClip(25, false));
        clips_.Sound("sound.wav");
    }

    void showsTheFactsOfTheFile_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<Texts>("expected");
        const Texts empty = {{"lblSourceName", ""}, {"lblFileLength", ""},  {"edtFormat", ""},
                             {"edtResloution", ""}, {"edtBitRate", ""},     {"edtFrameRate", ""},
                             {"edtTotalFrame", ""}, {"edtAudioForamt", ""}, {"edtAudioBitRate", ""},
                             {"edtSampleRate", ""}, {"edtChannel", ""}};
        Texts sound = empty;
        sound.insert({{"lblFileLength", "1.000 Second"},
                      {"edtFormat", "mov,mp4,m4a,3gp,3g2,mj2"},
                      {"edtResloution", "160x120"},
                      {"edtBitRate", "+"},
                      {"edtAudioBitRate", "+"},
                      {"edtFrameRate", "25.00"},
                      {"edtTotalFrame", "25"},
                      {"edtAudioForamt", "aac (LC) (mp4a / 0x6134706D)"},
                      {"edtSampleRate", "44100"},
                      {"edtChannel", "2"}});
        QTest::newRow("with sound") << "sound.mp4" << sound;
        Texts mute = sound;
        for (const char* box : {"edtAudioForamt", "edtAudioBitRate", "edtSampleRate", "edtChannel"})
            mute[box] = "";
        QTest::newRow("without sound") << "mute.mp4" << mute;
        Texts unknown = mute;
        unknown.insert({{"edtFormat", "matroska,webm"}, {"edtBitRate", "0"}});
        QTest::newRow("no bit rates") << "unknown rate.mkv" << unknown;
        QTest::newRow("no pictures") << "sound.wav" << empty;
        QTest::newRow("no file") << "missing.mp4" << empty;
    }
    void showsTheFactsOfTheFile() {
        QFETCH(QString, name);
        QFETCH(Texts, expected);
        const Texts shown = ShowFor(clips_.Path(name.toStdString()));
        for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
            // "+": a number the encoder decides, such as a bit rate the container keeps.
            if (it.value() == "+")
                QVERIFY2(shown[it.key()].toInt() > 0, qPrintable(it.key()));
            else if (it.key() != "lblSourceName")
                QCOMPARE(shown[it.key()], it.value());
        }
        if (!expected["edtFormat"].isEmpty())
            QCOMPARE(shown["lblSourceName"].toStdString(),
                     app::FileInfoSourceLabel(clips_.Path(name.toStdString())));
    }

    void cleanupTestCase() { dialog_.reset(); }

    void aLongPathKeepsItsHeadAndExtension() {
        const std::string path = clips_.Path("a folder with a name long enough") + "/clip.mp4";
        QVERIFY(path.size() >= 46);
        QCOMPARE(ShowFor(path)["lblSourceName"],
                 QString::fromStdString(path.substr(0, 40) + "...mp4  "));
    }

private:
    Texts ShowFor(const std::string& path) {
        app::TlvFilesRecord record;
        record.SourceFile = path;
        dialog_->ShowFile({&record, {}});
        Texts shown;
        for (auto* label : dialog_->findChildren<QLabel*>())
            if (!label->objectName().isEmpty()) shown[label->objectName()] = label->text();
        for (auto* box : dialog_->findChildren<QLineEdit*>())
            shown[box->objectName()] = box->text();
        dialog_->accept();
        return shown;
    }

    test::EditorClips clips_;
    std::unique_ptr<TfrmFileInfo> dialog_;
};

} // namespace tarnwick::ui

TARNWICK_UI_TEST_MAIN(tarnwick::ui::FileInfoDialogTest)
#include "file_info_dialog_test.moc"
