#pragma once
// Message boxes as the core asks for them: the windows show a real box, the command line
// prints the text, tests record what was asked. Every box has a single OK button and the call
// returns when the user has dismissed it.

#include <string>

namespace tarnwick::app {

enum class TMessageIcon { None, Information, Warning, Error };

class TMessageBox {
public:
    virtual ~TMessageBox() = default;
    virtual void ShowMessage(const std::string& caption, const std::string& text,
                             TMessageIcon icon) = 0;
};

// Caption of the boxes that tell the user about a wrong input or a fallback.
inline constexpr const char* WarningCaption = "Warning";

} // namespace tarnwick::app
