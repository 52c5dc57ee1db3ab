#pragma once
// Where the program's files live. The program's own files (presets, the default settings,
// skin pictures, LibAV) sit beside the executable; the user's settings live in the user's
// configuration folder; output goes below the home folder unless the user chose otherwise.

#include <string>
#include <string_view>

namespace tarnwick::app {

// $XDG_CONFIG_HOME/tarnwick/ when XDG_CONFIG_HOME is an absolute path, else
// $HOME/.config/tarnwick/ (trailing "/").
std::string SettingsFolder();
// The user's settings file, "tarnwick.ini" in SettingsFolder().
std::string SettingsFilePath();
// The default settings file shipped beside the executable.
std::string ShippedSettingsFilePath();
// The presets file shipped beside the executable, "tarnwickformat.ini".
std::string PresetsFilePath();
// "skin/lvBack.bmp" and "skin/tarnwickcover.jpg" beside the executable.
std::string ListBackgroundPicturePath();
std::string CoverPicturePath();
// The user guide shipped beside the executable, "help/tarnwick-guide.html", and its address
// as a file URL, with "#" and the section when one is given ("adding", "support", ...). The
// guide stands in for the product's web pages.
std::string UserGuidePath();
// "file://" and the absolute path, every byte but letters, digits, "/-._~" percent-encoded.
std::string FileUrl(std::string_view path);
std::string UserGuideAddress(std::string_view section = {});
// "$HOME/tarnwick": the output and snapshot folder until the user picks another one.
std::string DefaultOutputFolder();

// Creates the settings folder and, when the user has no settings file yet, copies the
// shipped default into it. Returns whether a settings file exists afterwards; without one
// every reader gives its default and the first write creates the file.
bool SeedSettingsFile();

} // namespace tarnwick::app
