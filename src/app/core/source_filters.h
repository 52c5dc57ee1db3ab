#pragma once
// The filters of the open dialog of "&Add": a description and the name patterns of each, in
// the order the dialog offers them. Patterns are matched without regard to case.

#include <string>
#include <vector>

namespace tarnwick::app {

struct TFileFilter {
    std::string Description;           // "Video Files"
    std::vector<std::string> Patterns; // "*.AVI", "*.AVM", ...
};

// "Video/Audio/Picture Files", "Video Files", "Audio Files", "Picture Files", "All Files".
const std::vector<TFileFilter>& SourceFileFilters();

} // namespace tarnwick::app
