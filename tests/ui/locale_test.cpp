// The program started in a comma-decimal locale: the environment's locale reaches the
// program, but its numbers and the media libraries' still read "29.97".
#include "ui/ui_test_support.h"

#include "component/av_converter.h"
#include "support/comma_locale.h"

#include <clocale>
#include <cstdlib>

class LocaleTest : public QObject {
    Q_OBJECT

private slots:
    void TheEnvironmentsLocaleIsTakenButNotForNumbers() {
        QCOMPARE(QString(std::setlocale(LC_CTYPE, nullptr)), QString("de_DE.UTF-8"));
        QCOMPARE(QString(std::setlocale(LC_NUMERIC, nullptr)), QString("C"));
        QCOMPARE(QString(std::localeconv()->decimal_point), QString("."));
    }

    void APresetsFrameRateAndAspectAreAccepted() {
        tarnwick::test::UiTestFolders folders;
        const std::string clip = folders.Clip("clip.mp4");
        tarnwick::component::TKivAVConverter converter;
        QVERIFY(
            converter.LoadLibraries((tarnwick::test::ExecutableFolder() / "LibAV").string(), true));
        const int job = converter.AddJob(clip, nullptr);
        QVERIFY2(job == 0, converter.LastError.c_str());
        tarnwick::component::TOutputOptions output;
        tarnwick::component::ClearOutputOptions(output);
        output.FrameRate = "29.97";
        output.FrameAspect = "1.5";
        QVERIFY2(converter.SetJobOutput(job, folders.Folder().File("out.mp4"), &output),
                 converter.LastError.c_str());
    }
};

int main(int argc, char** argv) {
    // Made before the application object, which takes the locale from the environment.
    setenv("LC_ALL", tarnwick::test::CommaDecimalLocale().c_str(), 1);
    LocaleTest tests;
    return tarnwick::test::RunUiTests(tests, argc, argv);
}
#include "locale_test.moc"
