#include "ui/ui_test_support.h"

#include "app/core/app_paths.h"
#include "fixtures/fixture_writer.h"

#include <cstdlib>
#include <filesystem>

namespace tarnwick::test {

QStringList ScriptedFileChooser::ChooseSourceFiles(QWidget*) {
    ++SourceCalls;
    return SourceAnswers.isEmpty() ? QStringList() : SourceAnswers.takeFirst();
}

QString ScriptedFileChooser::ChooseFolder(QWidget*) {
    ++FolderCalls;
    return FolderAnswers.isEmpty() ? QString() : FolderAnswers.takeFirst();
}

std::string UiTestFolders::SettingsFile() const { return app::SettingsFilePath(); }

platform::IniStore UiTestFolders::Settings() const {
    std::filesystem::create_directories(app::SettingsFolder());
    return platform::IniStore(SettingsFile());
}

std::string UiTestFolders::Clip(const std::string& name, int pictures) const {
    const std::string path = Folder().File(name);
    fixtures::WriteClip(path, fixtures::SimpleClip(pictures, true));
    return path;
}

int RunUiTests(QObject& tests, int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ui::TarnwickApplication application(argc, argv);
    return QTest::qExec(&tests, argc, argv);
}

} // namespace tarnwick::test
