#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

// A program run as a process of its own, for what only a process shows: its exit status, how it
// takes signals, how it copes with resource limits that stand in for a full disk or a small
// machine.
namespace lantrel::test {

struct ChildSetup {
    // RLIMIT_FSIZE with SIGXFSZ ignored: a write past the limit fails with EFBIG, as on a full
    // disk. Files that exist already are not affected.
    std::optional<rlim_t> fileSizeLimit;
    std::optional<rlim_t> addressSpaceLimit;  // RLIMIT_AS: allocations past it fail
    std::filesystem::path directory;          // the working directory; empty: the test's
    bool removeDirectory = false;             // ... taken away once the child stands in it
    std::filesystem::path output;             // standard output and error; empty: /dev/null
    std::vector<std::pair<std::string, std::string>> environment;
};

class ChildProcess {
  public:
    explicit ChildProcess(const std::vector<std::string>& args, const ChildSetup& setup = {}) {
        pid_ = ::fork();
        if (pid_ == 0) start(args, setup);
    }
    ~ChildProcess() {
        if (pid_ > 0 && !ended_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return pid_ > 0; }
    void signal(int number) const { ::kill(pid_, number); }

    // The exit status, or minus the signal that ended the process; nothing when it had not
    // ended within `limit` (it is then killed).
    std::optional<int> wait(std::chrono::seconds limit = std::chrono::seconds(300)) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        int status = 0;
        while (::waitpid(pid_, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) return std::nullopt;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ended_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
    }

  private:
    [[noreturn]] static void start(const std::vector<std::string>& args, const ChildSetup& setup) {
        // The test runner's own signal state must not reach the program.
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        for (const int number : {SIGINT, SIGTERM, SIGHUP})
            ::signal(number, SIG_DFL);
        if (setup.fileSizeLimit) {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{*setup.fileSizeLimit, *setup.fileSizeLimit};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        if (setup.addressSpaceLimit) {
            const rlimit limit{*setup.addressSpaceLimit, *setup.addressSpaceLimit};
            ::setrlimit(RLIMIT_AS, &limit);
        }
        if (!setup.directory.empty() && ::chdir(setup.directory.c_str()) != 0) ::_exit(126);
        if (setup.removeDirectory) ::rmdir(setup.directory.c_str());
        for (const auto& [name, value] : setup.environment)
            ::setenv(name.c_str(), value.c_str(), 1);
        const int output = setup.output.empty()
                               ? ::open("/dev/null", O_WRONLY)
                               : ::open(setup.output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(output, STDOUT_FILENO);
        ::dup2(output, STDERR_FILENO);
        std::vector<char*> argv;
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }

    pid_t pid_ = -1;
    bool ended_ = false;
};

}  // namespace lantrel::test
