#include "ui/editor_test_support.h"

#include "fixtures/fixture_writer.h"

#include <cmath>

namespace tarnwick::test {

std::string EditorClips::Long(const std::string& name, double seconds, int width, int height) {
    fixtures::ClipSpec spec;
    spec.video.emplace();
    spec.video->width = width;
    spec.video->height = height;
    spec.video->timeBase = {1, 1000};
    // A picture every half hour at most (the MPEG-4 encoder refuses longer gaps); at 25
    // pictures a second the last one lasts 40 ms.
    const int64_t last = std::llround(seconds * 1000) - 40;
    const int64_t gaps = last / 1800000 + 1;
    for (int64_t i = 0; i <= gaps; ++i)
        spec.video->pts.push_back(last * i / gaps);
    spec.video->frameCount = static_cast<int>(spec.video->pts.size());
    const std::string path = Path(name);
    fixtures::WriteClip(path, spec);
    return path;
}

std::string EditorClips::Short(const std::string& name, bool withSound, int width, int height) {
    fixtures::ClipSpec spec = fixtures::SimpleClip(25, withSound);
    spec.video->width = width;
    spec.video->height = height;
    const std::string path = Path(name);
    fixtures::WriteClip(path, spec);
    return path;
}

std::string EditorClips::Sound(const std::string& name) {
    fixtures::ClipSpec spec;
    spec.audio.emplace();
    const std::string path = Path(name);
    fixtures::WriteClip(path, spec);
    return path;
}

QStringList ShownTexts(const RecordingMessageBox& messages) {
    QStringList texts;
    for (const ShownMessage& shown : messages.shown)
        texts.append(QString::fromStdString(shown.caption + ": " + shown.text));
    return texts;
}

} // namespace tarnwick::test
