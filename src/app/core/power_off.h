#pragma once
// Powering the computer off at the end of a run. The request goes to the desktop's login
// manager, which may ask the user for permission or refuse; the windows install the real one,
// tests a recorder. Nothing else in the program may power the machine off.

#include "app/core/message_box.h"

#include <functional>
#include <string>

namespace tarnwick::app {

class TPowerOff {
public:
    virtual ~TPowerOff() = default;
    // Asks for the computer to be powered off and returns without waiting for the answer.
    // When the request is refused (no permission, no login manager, no bus), `refused` is
    // called with the reason, on the caller's thread, later or at once.
    virtual void RequestPowerOff(std::function<void(const std::string& reason)> refused) = 0;
};

// Asks for the power-off; a refusal is shown as a "Warning" box that says the computer
// stays on and why. `messages` must outlive the answer.
void ShutDownComputer(TPowerOff& powerOff, TMessageBox& messages);

// The text of that box.
std::string PowerOffRefusedText(const std::string& reason);

} // namespace tarnwick::app
