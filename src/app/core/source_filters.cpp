#include "app/core/source_filters.h"

namespace tarnwick::app {
namespace {

std::vector<std::string> Patterns(std::initializer_list<const char*> extensions) {
    std::vector<std::string> patterns;
    for (const char* extension : extensions)
        patterns.push_back(std::string("*.") + extension);
    return patterns;
}

} // namespace

const std::vector<TFileFilter>& SourceFileFilters() {
    static const std::vector<TFileFilter> filters = [] {
        const auto video = Patterns({"AVI",  "AVM", "ASF", "WMV",  "AVS", "FLV", "MKV", "MOV",
                                     "3GP",  "MP4", "MPG", "MPEG", "DAT", "OGM", "VOB", "RM",
                                     "RMVB", "TS",  "TP",  "IFO",  "NSV", "SWF"});
        const auto audio =
            Patterns({"MP3", "AAC", "WAV", "WMA", "CDA", "FLAC", "M4A", "MID", "MKA", "MP2",
                      "MPA", "MPC", "APE", "OFR", "OGG", "RA",   "WV",  "TTA", "AC3", "DTS"});
        const auto picture = Patterns({"BMP", "GIF", "JPEG", "JPG", "PNG"});
        std::vector<std::string> all = video;
        all.insert(all.end(), audio.begin(), audio.end());
        all.insert(all.end(), picture.begin(), picture.end());
        return std::vector<TFileFilter>{{"Video/Audio/Picture Files", all},
                                        {"Video Files", video},
                                        {"Audio Files", audio},
                                        {"Picture Files", picture},
                                        // Every file, also one without a dot in its name.
                                        {"All Files", {"*"}}};
    }();
    return filters;
}

} // namespace tarnwick::app
