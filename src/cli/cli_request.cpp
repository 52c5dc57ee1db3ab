#include "cli/cli_request.h"

#include <CLI/CLI.hpp>

#include <ostream>

namespace tarnwick::cli {
namespace {

bool ParseCrop(const std::string& text, std::array<int, 4>& crop) {
    std::array<int, 4> values{};
    size_t start = 0;
    for (size_t i = 0; i < 4; ++i) {
        const size_t comma = text.find(',', start);
        const std::string part = text.substr(start, comma == std::string::npos ? std::string::npos
                                                                                : comma - start);
        if (part.empty() || part.find_first_not_of("0123456789") != std::string::npos ||
            part.size() > 5)
            return false;
        values[i] = std::stoi(part);
        if ((i < 3) != (comma != std::string::npos)) return false;
        start = comma + 1;
    }
    crop = values;
    return true;
}

} // namespace

std::optional<int> ParseCommandLine(int argc, const char* const* argv, CliRequest& request,
                                    std::ostream& out, std::ostream& err) {
    CLI::App app{"Converts video, audio and picture files for portable players, with the presets "
                 "and settings of the Tarnwick windows.",
                 "tarnwick-cli"};
    app.add_option("FILE", request.files, "files to convert (or to describe with --info)");
    app.add_option("-p,--preset", request.preset, "preset index or name (see --list-presets)");
    bool listPresets = false, info = false;
    app.add_flag("--list-presets", listPresets, "print the presets with their indexes");
    app.add_option("-o,--output", request.outputFolder, "output folder");
    app.add_option("-j,--jobs", request.jobs, "files converted at the same time")
        ->check(CLI::Range(1, 16));
    app.add_option("--start", request.startText, "start time HH:MM:SS");
    app.add_option("--length", request.lengthText, "length HH:MM:SS");
    std::string cropText;
    app.add_option("--crop", cropText, "crop bands TOP,BOTTOM,LEFT,RIGHT in pixels");
    app.add_option("--fit", request.fit, "how the picture fits the preset's size")
        ->check(CLI::IsMember({"lbox", "cent", "full", "orig"}));
    app.add_flag("--info", info, "print the information text of each FILE");
    auto* snapshot = app.add_option("--snapshot", request.snapshotSeconds,
                                    "save the snapshots of each FILE at SECONDS instead of "
                                    "converting")
                         ->check(CLI::NonNegativeNumber);
    app.add_flag("-q,--quiet", request.quiet, "print only errors");
    app.add_flag("--json", request.json, "one JSON object per event on stdout");
    app.add_flag("-v,--verbose", request.verbose, "more log lines (repeat for more)");

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return 0;
    } catch (const CLI::ParseError& e) {
        err << "tarnwick-cli: " << e.what() << "\n";
        return 2;
    }

    if (!cropText.empty()) {
        std::array<int, 4> crop{};
        if (!ParseCrop(cropText, crop)) {
            err << "tarnwick-cli: --crop wants TOP,BOTTOM,LEFT,RIGHT, for example 8,8,0,0\n";
            return 2;
        }
        // The picture formats halve the colour planes: bands of odd size would split a sample.
        for (int band : crop)
            if (band % 2 != 0) {
                err << "tarnwick-cli: --crop bands must be even numbers of pixels\n";
                return 2;
            }
        request.crop = crop;
    }
    const int modes = int(listPresets) + int(info) + int(snapshot->count() > 0);
    if (modes > 1) {
        err << "tarnwick-cli: --list-presets, --info and --snapshot exclude each other\n";
        return 2;
    }
    if (listPresets) request.mode = CliMode::ListPresets;
    else if (info) request.mode = CliMode::Info;
    else if (snapshot->count() > 0) request.mode = CliMode::Snapshot;
    if (request.mode != CliMode::ListPresets && request.files.empty()) {
        err << "tarnwick-cli: no FILE given\n" << "Run with --help for more information.\n";
        return 2;
    }
    return std::nullopt;
}

} // namespace tarnwick::cli
