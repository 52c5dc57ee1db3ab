// tarnwick-cli: converts, describes and snapshots media files from a terminal or a script,
// with the presets and settings of the windowed program.

#include "cli/cli_request.h"
#include "cli/cli_session.h"

#include <csignal>
#include <iostream>

namespace {
std::atomic<bool> interrupted{false};
void OnInterrupt(int) { interrupted = true; }
} // namespace

int main(int argc, char** argv) {
    tarnwick::cli::CliRequest request;
    if (auto exit = tarnwick::cli::ParseCommandLine(argc, argv, request, std::cout, std::cerr))
        return *exit;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    return tarnwick::cli::RunRequest(request, interrupted);
}
