#include "app/core/power_off.h"

namespace tarnwick::app {

std::string PowerOffRefusedText(const std::string& reason) {
    std::string text = "The computer could not be shut down";
    if (!reason.empty()) text += ": " + reason;
    if (text.back() != '.' && text.back() != '!') text += '.';
    return text;
}

void ShutDownComputer(TPowerOff& powerOff, TMessageBox& messages) {
    powerOff.RequestPowerOff([&messages](const std::string& reason) {
        messages.ShowMessage(WarningCaption, PowerOffRefusedText(reason), TMessageIcon::Warning);
    });
}

} // namespace tarnwick::app
