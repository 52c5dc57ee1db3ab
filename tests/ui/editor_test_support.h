#pragma once
// What the editor and dialog suites share beyond the window test harness: clips of the sizes
// and lengths the editors need, and the recorded message boxes as "caption: text" lines.

#include "ui/ui_test_support.h"

#include <QStringList>

#include <string>

namespace tarnwick::test {

// Clips in a folder of the suite's own.
class EditorClips {
public:
    // A clip of a few pictures (and no sound) `seconds` long: the first at 0, the last ending
    // at that time.
    std::string Long(const std::string& name, double seconds, int width = 160, int height = 120);
    // A second of 25 numbered pictures, with or without a tone.
    std::string Short(const std::string& name, bool withSound, int width = 160, int height = 120);
    // A second of tone without pictures.
    std::string Sound(const std::string& name);
    std::string Path(const std::string& name) const { return folder_.File(name); }

private:
    TempFolder folder_;
};

QStringList ShownTexts(const RecordingMessageBox& messages);

} // namespace tarnwick::test
