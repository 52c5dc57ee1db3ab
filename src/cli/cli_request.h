#pragma once
// What the user asked the command line for.

#include <array>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick::cli {

enum class CliMode { Convert, ListPresets, Info, Snapshot };

struct CliRequest {
    CliMode mode = CliMode::Convert;
    std::vector<std::string> files;
    std::string preset;         // index or name; empty: the one in the settings file
    std::string outputFolder;   // empty: the one in the settings file
    int jobs = 1;
    std::string startText;      // "HH:MM:SS", empty: from the beginning
    std::string lengthText;     // "HH:MM:SS", empty: to the end
    std::optional<std::array<int, 4>> crop; // top, bottom, left, right
    std::string fit;            // lbox, cent, full, orig; empty: the settings file's choice
    double snapshotSeconds = 0;
    bool quiet = false;
    bool json = false;
    int verbose = 0;            // how often -v was given
};

// Parses the arguments. Returns an exit code when the program should end now: 0 after --help,
// 2 for a usage error (the message goes to err).
std::optional<int> ParseCommandLine(int argc, const char* const* argv, CliRequest& request,
                                    std::ostream& out, std::ostream& err);

} // namespace tarnwick::cli
