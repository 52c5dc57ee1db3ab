#include "cli/process_runner.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

extern char** environ;
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace tarnwick::test {
namespace {

std::string ReadWhole(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string TempName(const char* tag) {
    std::string pattern = "/tmp/tarnwick-child-" + std::string(tag) + "-XXXXXX";
    const int fd = mkstemp(pattern.data());
    if (fd < 0) throw std::runtime_error("cannot make a temporary file");
    close(fd);
    return pattern;
}

} // namespace

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& args,
                           const std::map<std::string, std::string>& environment)
    : outPath_(TempName("out")), errPath_(TempName("err")) {
    // Everything the child needs is made before fork: after it, only system calls.
    std::vector<std::string> envText;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('='));
        if (!environment.count(name)) envText.push_back(entry);
    }
    for (const auto& [name, value] : environment) envText.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (auto& e : envText) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_ = fork();
    if (pid_ < 0) throw std::runtime_error("fork failed");
    if (pid_ == 0) {
        const int out = open(outPath_.c_str(), O_WRONLY | O_TRUNC);
        const int err = open(errPath_.c_str(), O_WRONLY | O_TRUNC);
        const int in = open("/dev/null", O_RDONLY);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        execve(program.c_str(), argv.data(), envp.data());
        _exit(127);
    }
}

ChildProcess::~ChildProcess() {
    if (!waited_ && pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    unlink(outPath_.c_str());
    unlink(errPath_.c_str());
}

std::string ChildProcess::OutputSoFar() const { return ReadWhole(outPath_); }

void ChildProcess::Signal(int signal) { kill(pid_, signal); }

ProcessResult ChildProcess::Wait(std::chrono::seconds timeout) {
    ProcessResult result;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    for (;;) {
        const pid_t done = waitpid(pid_, &status, WNOHANG);
        if (done == pid_) break;
        if (std::chrono::steady_clock::now() >= deadline) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
            status = -1;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    waited_ = true;
    if (status != -1 && WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    result.out = ReadWhole(outPath_);
    result.err = ReadWhole(errPath_);
    return result;
}

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::map<std::string, std::string>& environment,
                         std::chrono::seconds timeout) {
    ChildProcess child(program, args, environment);
    return child.Wait(timeout);
}

} // namespace tarnwick::test
