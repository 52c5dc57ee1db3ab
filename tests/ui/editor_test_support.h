#pragma once
// What the editor and dialog suites share: clips made at test time, a message box that
// records what it was asked to show, and the libraries' folder.

#include "app/core/message_box.h"

#include <QStringList>
#include <QTemporaryDir>

#include <string>

namespace tarnwick::ui::test {

class RecordingMessageBox : public app::TMessageBox {
public:
    void ShowMessage(const std::string& caption, const std::string& text,
                     app::TMessageIcon) override {
        shown.append(QString::fromStdString(caption + ": " + text));
    }
    QStringList shown;
};

// The LibAV folder beside the test binary.
std::string LibraryFolder();

// Clips in a folder of the suite's own.
class Clips {
public:
    // A clip of a few pictures (and no sound) `seconds` long: the first at 0, the last ending
    // at that time. `width` x `height` pictures.
    std::string Long(const std::string& name, double seconds, int width = 160, int height = 120);
    // A second of 25 numbered pictures, with or without a tone.
    std::string Short(const std::string& name, bool withSound, int width = 160, int height = 120);
    std::string Path(const std::string& name) const;

private:
    QTemporaryDir folder_;
};

} // namespace tarnwick::ui::test
