#pragma once
// Naming converted files: the source's base name with "_(new)" (or "_(new_N)" when taken)
// and a suffix, in the output folder of the settings.

#include "app/core/message_box.h"
#include "platform/ini_store.h"

#include <set>
#include <string>

namespace tarnwick::app {

// Suffix of the names shown when a file is added ("_ipod." and the extension) and of the
// names the run writes ("." and the extension).
std::string AddTimeSuffix(const std::string& extension);
std::string RunSuffix(const std::string& extension);

// Folder (UsableFolder of "OutPutDir") + base name of the source + "_(new)" + suffix; when a
// file of that name exists, or the name is in `reserved`, the first free one of
// "_(new_1)", "_(new_2)", ... instead. `reserved` holds names already given to earlier rows
// of the same run, so that two sources with one base name do not write one file.
std::string BuildOutputFileName(const std::string& sourcePath, const std::string& suffix,
                                const platform::IniStore& settings, TMessageBox& messages,
                                const std::set<std::string>* reserved = nullptr);

} // namespace tarnwick::app
