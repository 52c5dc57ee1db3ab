#pragma once
// Runs a program of the build as a child process, the way a user's shell would.

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace tarnwick::test {

struct ProcessResult {
    int exitCode = -1; // -1 when it had to be killed
    std::string out;
    std::string err;
};

class ChildProcess {
public:
    // Starts the program with the arguments and the environment changes; its output goes to
    // files read by Wait.
    ChildProcess(const std::string& program, const std::vector<std::string>& args,
                 const std::map<std::string, std::string>& environment);
    ~ChildProcess();
    // What it wrote to stdout so far.
    std::string OutputSoFar() const;
    void Signal(int signal);
    // Waits until it exits; kills it after the timeout (the result then has exitCode -1).
    ProcessResult Wait(std::chrono::seconds timeout = std::chrono::seconds(180));

private:
    int pid_ = -1;
    std::string outPath_, errPath_;
    bool waited_ = false;
};

// Runs the program to its end.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::map<std::string, std::string>& environment,
                         std::chrono::seconds timeout = std::chrono::seconds(180));

} // namespace tarnwick::test
