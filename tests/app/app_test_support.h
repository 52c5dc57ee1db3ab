#pragma once
// Helpers of the application-core tests: a home and a configuration folder of the test's own,
// and a message box that records what it was asked to show.

#include "app/core/message_box.h"
#include "support/test_support.h"

#include <optional>
#include <string>
#include <vector>

namespace tarnwick::test {

// Points HOME and XDG_CONFIG_HOME into a fresh temporary folder for the object's lifetime,
// so default folders and the settings file never touch the real ones.
class ScopedHome {
public:
    ScopedHome();
    ~ScopedHome();
    ScopedHome(const ScopedHome&) = delete;
    ScopedHome& operator=(const ScopedHome&) = delete;
    const TempFolder& Folder() const { return folder_; }
    std::string Home() const { return folder_.File("home"); }
    std::string Config() const { return folder_.File("config"); }

private:
    TempFolder folder_;
    std::optional<std::string> oldHome_;
    std::optional<std::string> oldConfig_;
};

struct ShownMessage {
    std::string caption;
    std::string text;
    app::TMessageIcon icon;
};

class RecordingMessageBox : public app::TMessageBox {
public:
    void ShowMessage(const std::string& caption, const std::string& text,
                     app::TMessageIcon icon) override {
        shown.push_back({caption, text, icon});
    }
    std::vector<ShownMessage> shown;
};

} // namespace tarnwick::test
