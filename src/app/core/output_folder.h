#pragma once
// The folder rule shared by converted files and snapshots: use the folder the settings name,
// creating it with its parents when needed; when that is impossible, tell the user, switch the
// setting to the default folder and use that one.

#include "app/core/message_box.h"
#include "platform/ini_store.h"

#include <string>

namespace tarnwick::app {

// The folder of the settings key (in the "settings" section; default DefaultOutputFolder()),
// with a trailing "/". When it cannot be made, shows the "Warning" box once, creates the
// default folder, writes it to the key and returns it.
std::string UsableFolder(const platform::IniStore& settings, const char* key,
                         TMessageBox& messages);

} // namespace tarnwick::app
