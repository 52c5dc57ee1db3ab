#pragma once
// What the window tests share: a test main that makes the program's application object on the
// offscreen platform, a home and configuration folder of each test's own, the desktop answered
// by recorders, and real clips made at test time.

#include "app/app_test_support.h"
#include "app/ui/application.h"
#include "app/ui/desktop.h"
#include "app/ui/qt_desktop.h"
#include "platform/ini_store.h"
#include "support/test_support.h"

#include <QList>
#include <QStringList>
#include <QTest>
#include <QUrl>

#include <memory>
#include <string>

namespace tarnwick::test {

// The file chooser answers what the test queued, one answer per call (nothing when the queue
// is empty), and counts the calls.
class ScriptedFileChooser : public ui::FileChooser {
public:
    QStringList ChooseSourceFiles(QWidget*) override;
    QString ChooseFolder(QWidget*) override;
    QList<QStringList> SourceAnswers;
    QList<QString> FolderAnswers;
    int SourceCalls = 0;
    int FolderCalls = 0;
};

// Counts the power-off requests; refuses them with `Refusal` when it is set.
class RecordingPowerOff : public app::TPowerOff {
public:
    void RequestPowerOff(std::function<void(const std::string&)> refused) override {
        ++Requests;
        if (!Refusal.empty()) refused(Refusal);
    }
    int Requests = 0;
    std::string Refusal;
};

class RecordingUrlOpener : public ui::UrlOpener {
public:
    void OpenUrl(const QUrl& url) override { Opened.append(url); }
    QList<QUrl> Opened;
};

// The desktop of one test: recorders and the real window-thread scheduler.
struct TestDesktop {
    RecordingMessageBox Messages;
    ScriptedFileChooser Files;
    RecordingUrlOpener Urls;
    ui::QtMainThreadScheduler Scheduler;
    RecordingPowerOff PowerOff;
    ui::Desktop Services{Messages, Files, Urls, Scheduler, PowerOff};
};

// A fresh home and configuration folder (no settings file yet) for one test function.
class UiTestFolders {
public:
    const TempFolder& Folder() const { return home_.Folder(); }
    std::string Home() const { return home_.Home(); }
    std::string SettingsFile() const;
    // The settings file, its folder made (a first start would seed it from the shipped one).
    platform::IniStore Settings() const;
    // A short real clip (160 x 120, 25 pictures a second, with sound) in the folder.
    std::string Clip(const std::string& name, int pictures = 25) const;

private:
    ScopedHome home_;
};

// Runs the test object in the program's own application object, on the offscreen platform
// unless another is asked for.
int RunUiTests(QObject& tests, int argc, char** argv);

} // namespace tarnwick::test

#define TARNWICK_UI_TEST_MAIN(TestClass)                                                           \
    int main(int argc, char** argv) {                                                              \
        TestClass tests;                                                                           \
        return tarnwick::test::RunUiTests(tests, argc, argv);                                      \
    }
