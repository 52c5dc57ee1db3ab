#include "hostile/hostile_cases.h"

#include "fixtures/fixture_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace tarnwick::test {

namespace fs = std::filesystem;

namespace {

fixtures::ClipSpec SoundClip() { return fixtures::SimpleClip(SoundClipFrames, true); }

void WriteClipAs(const std::string& path, const std::string& extension,
                 const fixtures::ClipSpec& spec) {
    const std::string written = path + extension;
    fixtures::WriteClip(written, spec);
    fs::rename(written, path);
}

HostileCase Cut(const char* name, const char* file, double fraction) {
    return {name, [file, fraction](const TempFolder& folder, Paths& paths) {
                paths.input = folder.File(file);
                fixtures::WriteClip(paths.input, SoundClip());
                fixtures::TruncateFile(paths.input, fraction);
            }};
}

} // namespace

void WriteSoundClip(const std::string& path) { fixtures::WriteClip(path, SoundClip()); }

const std::vector<HostileCase>& HostileCases() {
    static const std::vector<HostileCase> cases = {
        Cut("Cut10", "cut10.avi", 0.10),
        Cut("Cut50", "cut50.avi", 0.50),
        Cut("Cut90", "cut90.avi", 0.90),
        // This writer puts the mp4 index (the moov box) at the end: the cut takes it away.
        Cut("Mp4IndexCutOff", "no-moov.mp4", 0.90),
        {"AviWithoutIndex",
         [](const TempFolder& folder, Paths& paths) {
             paths.input = folder.File("no-idx1.avi");
             fixtures::WriteClip(paths.input, SoundClip());
             ASSERT_TRUE(fixtures::CutAviIndex(paths.input));
         }},
        {"ZeroLength",
         [](const TempFolder& folder, Paths& paths) {
             paths.input = folder.File("empty.mp4");
             std::ofstream(paths.input).close();
         }},
        {"RandomBytes",
         [](const TempFolder& folder, Paths& paths) {
             paths.input = folder.File("random.avi");
             fixtures::WriteGarbageFile(paths.input, 64 * 1024);
         }},
        {"HeaderThenGarbage",
         [](const TempFolder& folder, Paths& paths) {
             paths.input = folder.File("garbage-body.avi");
             fixtures::WriteClip(paths.input, SoundClip());
             fixtures::OverwriteTailWithGarbage(paths.input, 0.15);
         }},
        {"PictureWithVideoExtension",
         [](const TempFolder& folder, Paths& paths) {
             paths.input = folder.File("picture.avi");
             fixtures::ClipSpec still;
             still.video = fixtures::VideoSpec{};
             WriteClipAs(paths.input, ".png", still);
         }},
        // Narrower than the scaler's vector stores: its pictures overran buffers of their
        // exact size.
        {"TwoByTwoPixels",
         [](const TempFolder& folder, Paths& paths) {
             paths.input = folder.File("two-by-two.mkv");
             fixtures::ClipSpec tiny = fixtures::SimpleClip(SoundClipFrames, false);
             tiny.video->codec = "ffv1";
             tiny.video->width = 2;
             tiny.video->height = 2;
             fixtures::WriteClip(paths.input, tiny);
         }},
        {"BlanksAndNonAsciiInPaths",
         [](const TempFolder& folder, Paths& paths) {
             const fs::path inner = folder.Path() / "Ordner mit Leerzeichen ÄÖÜ 日本";
             fs::create_directory(inner);
             paths.input = (inner / "clip with blanks é ñ.mp4").string();
             paths.output = (inner / "résultat final ✓.mp4").string();
             fixtures::WriteClip(paths.input, SoundClip());
         },
         nullptr, true},
        {"VanishesBeforeTheRun",
         [](const TempFolder& folder, Paths& paths) {
             paths.input = folder.File("vanishing.mp4");
             fixtures::WriteClip(paths.input, SoundClip());
         },
         [](const Paths& paths) { fs::remove(paths.input); }},
        // Tests run as root in CI, and root writes through any permission bits: the folder is made
        // unusable by being a regular file instead.
        {"OutputFolderIsAFile",
         [](const TempFolder& folder, Paths& paths) {
             paths.input = folder.File("fine.mp4");
             fixtures::WriteClip(paths.input, SoundClip());
             std::ofstream(folder.File("not-a-folder")) << "a regular file";
             paths.output = folder.File("not-a-folder/out.mp4");
         }},
    };
    return cases;
}

} // namespace tarnwick::test
