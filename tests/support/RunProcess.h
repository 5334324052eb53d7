#pragma once
// Programs run as child processes for the command-line tests: arguments, extra environment
// and standard input in; exit status, standard output and standard error out. A program that
// outlives its time-out is killed. While it runs, a test can read its first lines, wait for a
// text on its standard error and send it a signal.

#include "ScratchDir.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

extern char** environ;

namespace mv53::test {

struct ProcessResult {
    int status = -1;   // the exit status; -1 when a signal or the time-out ended the program
    std::string out;
    std::string err;
};

struct ProcessOptions {
    std::vector<std::string> env;   // NAME=VALUE, over this process's environment
    std::string input;              // standard input, closed after it
};

class Process final {
public:
    Process(const std::string& program, const std::vector<std::string>& args, const ProcessOptions& options = {})
        : m_input(options.input)
    {
        std::vector<std::string> env = options.env;
        const auto name = [](const std::string& entry) { return entry.substr(0, entry.find('=') + 1); };
        for (char** e = environ; *e; ++e)
            if (std::none_of(env.begin(), env.begin() + options.env.size(),
                             [&](const std::string& own) { return name(own) == name(*e); }))
                env.emplace_back(*e);
        std::vector<std::string> argv{program};
        argv.insert(argv.end(), args.begin(), args.end());
        // Everything the child needs is made before fork: it only redirects and runs the program.
        std::vector<char*> argp, envp;
        for (std::string& a : argv)
            argp.push_back(a.data());
        for (std::string& e : env)
            envp.push_back(e.data());
        argp.push_back(nullptr);
        envp.push_back(nullptr);
        int pipes[3][2];   // standard input, output and error: our end, then the child's
        for (auto& p : pipes)
            if (::pipe2(p, O_CLOEXEC) != 0)
                return;
        std::swap(pipes[0][0], pipes[0][1]);   // the child reads its input
        m_pid = ::fork();
        if (m_pid == 0) {
            for (int fd = 0; fd < 3; ++fd)
                ::dup2(pipes[fd][1], fd);
            // The program starts with the signals as a shell would give them.
            sigset_t none;
            ::sigemptyset(&none);
            ::sigprocmask(SIG_SETMASK, &none, nullptr);
            ::signal(SIGPIPE, SIG_DFL);
            ::execvpe(argp[0], argp.data(), envp.data());   // a bare name is looked up in PATH
            ::_exit(127);
        }
        for (int fd = 0; fd < 3; ++fd) {
            ::close(pipes[fd][1]);
            m_fd[fd] = pipes[fd][0];
        }
        if (m_pid < 0) {   // no child: nothing will ever be read
            for (int& fd : m_fd)
                ::close(std::exchange(fd, -1));
            m_result.err = "cannot start " + program + "\n";
        }
        ::fcntl(m_fd[0], F_SETFL, O_NONBLOCK);
        ::signal(SIGPIPE, SIG_IGN);   // a program that ends without reading its input
    }
    ~Process()
    {
        if (m_pid > 0 && !m_ended) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        for (int fd : m_fd)
            if (fd >= 0)
                ::close(fd);
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    void Signal(int signal) const
    {
        if (m_pid > 0 && !m_ended)
            ::kill(m_pid, signal);
    }

    // The next whole line of standard output; empty once the time-out passes or the output ends.
    std::string ReadLine(int timeoutMs = 10000)
    {
        if (!WaitUntil([&] { return m_result.out.find('\n', m_taken) != std::string::npos; }, timeoutMs))
            return {};
        const std::size_t end = m_result.out.find('\n', m_taken);
        std::string line = m_result.out.substr(m_taken, end - m_taken);
        m_taken = end + 1;
        return line;
    }
    // Waits until standard error holds text; false when the program ended or time ran out first.
    bool WaitForError(const std::string& text, int timeoutMs = 30000)
    {
        return WaitUntil([&] { return m_result.err.find(text) != std::string::npos; }, timeoutMs);
    }

    // Waits for the end and gives everything the program wrote (standard output from where
    // ReadLine stopped).
    ProcessResult Finish(int timeoutMs = 120000)
    {
        const auto until = Clock::now() + std::chrono::milliseconds(timeoutMs);
        while (Pump(until))
            if (Clock::now() > until) {
                Signal(SIGKILL);
                m_result.err += "[killed: still running after " + std::to_string(timeoutMs) + " ms]\n";
                break;
            }
        int status = 0;
        if (m_pid > 0 && !m_ended && ::waitpid(m_pid, &status, 0) == m_pid)
            m_result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        m_ended = true;
        ProcessResult result = m_result;
        result.out.erase(0, m_taken);
        return result;
    }

private:
    using Clock = std::chrono::steady_clock;

    template <typename Done>
    bool WaitUntil(Done done, int timeoutMs)
    {
        const auto until = Clock::now() + std::chrono::milliseconds(timeoutMs);
        while (!done())
            if (Clock::now() > until || !Pump(until))
                return false;
        return true;
    }

    // Moves the input on and reads what arrives until something did or the deadline passed;
    // false once both outputs are closed.
    bool Pump(Clock::time_point until)
    {
        if (m_fd[1] < 0 && m_fd[2] < 0)
            return false;
        if (m_inputDone >= m_input.size() && m_fd[0] >= 0) {
            ::close(m_fd[0]);
            m_fd[0] = -1;
        }
        pollfd p[3] = {{m_fd[0], POLLOUT, 0}, {m_fd[1], POLLIN, 0}, {m_fd[2], POLLIN, 0}};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
        if (::poll(p, 3, static_cast<int>(std::max<long long>(left, 0))) <= 0)
            return true;
        if (p[0].revents != 0) {
            const ssize_t n = ::write(m_fd[0], m_input.data() + m_inputDone, m_input.size() - m_inputDone);
            m_inputDone = n > 0 ? m_inputDone + static_cast<std::size_t>(n) : m_input.size();
        }
        for (int fd = 1; fd < 3; ++fd) {
            if (p[fd].revents == 0)
                continue;
            char buffer[4096];
            const ssize_t n = ::read(m_fd[fd], buffer, sizeof buffer);
            if (n > 0) {
                (fd == 1 ? m_result.out : m_result.err).append(buffer, static_cast<std::size_t>(n));
            } else {
                ::close(m_fd[fd]);
                m_fd[fd] = -1;
            }
        }
        return true;
    }

    pid_t m_pid = -1;
    bool m_ended = false;
    int m_fd[3] = {-1, -1, -1};   // standard input, output and error
    std::string m_input;
    std::size_t m_inputDone = 0;
    std::size_t m_taken = 0;   // standard output handed out by ReadLine
    ProcessResult m_result;
};

inline ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                                const ProcessOptions& options = {}, int timeoutMs = 120000)
{
    return Process(program, args, options).Finish(timeoutMs);
}

constexpr int kOtherUserId = 65534;   // nobody: a second user for the tests that run as root

// program run as the user id uid (its own group, no others) instead of the test's user.
inline ProcessResult RunProcessAs(int uid, const std::string& program, const std::vector<std::string>& args,
                                  const ProcessOptions& options = {})
{
    const std::string id = std::to_string(uid);
    std::vector<std::string> command{"--reuid=" + id, "--regid=" + id, "--clear-groups", program};
    command.insert(command.end(), args.begin(), args.end());
    return RunProcess("setpriv", command, options);
}

}  // namespace mv53::test
