#pragma once
// Programs run as child processes for the command-line tests: arguments, extra environment
// and standard input in; exit status, standard output and standard error out. A program that
// outlives its time-out is killed. While it runs, a test can read its first lines, wait for a
// text on its standard error and send it a signal. ScratchDir is a folder for the files of a run.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
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
        for (char** e = environ; *e; ++e) {
            const std::string entry(*e);
            bool replaced = false;
            for (const std::string& own : options.env)
                replaced = replaced || own.substr(0, own.find('=') + 1) == entry.substr(0, entry.find('=') + 1);
            if (!replaced)
                env.push_back(entry);
        }
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
        int in[2], out[2], err[2];
        if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0)
            return;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::dup2(in[0], STDIN_FILENO);
            ::dup2(out[1], STDOUT_FILENO);
            ::dup2(err[1], STDERR_FILENO);
            // The program starts with the signals as a shell would give them.
            sigset_t none;
            ::sigemptyset(&none);
            ::sigprocmask(SIG_SETMASK, &none, nullptr);
            ::signal(SIGPIPE, SIG_DFL);
            ::execve(argp[0], argp.data(), envp.data());
            ::_exit(127);
        }
        ::close(in[0]);
        ::close(out[1]);
        ::close(err[1]);
        m_in = in[1];
        m_out = out[0];
        m_err = err[0];
        ::fcntl(m_in, F_SETFL, O_NONBLOCK);
        ::signal(SIGPIPE, SIG_IGN);   // a program that ends without reading its input
    }
    ~Process()
    {
        if (m_pid > 0 && !m_ended) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        for (int fd : {m_in, m_out, m_err})
            if (fd >= 0)
                ::close(fd);
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool Started() const { return m_pid > 0; }
    void Signal(int signal) const
    {
        if (m_pid > 0 && !m_ended)
            ::kill(m_pid, signal);
    }

    // The next whole line of standard output; empty once the time-out passes or the output ends.
    std::string ReadLine(int timeoutMs = 10000)
    {
        const auto until = Clock::now() + std::chrono::milliseconds(timeoutMs);
        std::size_t end;
        while ((end = m_result.out.find('\n', m_taken)) == std::string::npos)
            if (Clock::now() > until || !Pump(until))
                return {};
        std::string line = m_result.out.substr(m_taken, end - m_taken);
        m_taken = end + 1;
        return line;
    }

    // Waits until standard error holds text; false when the program ended or time ran out first.
    bool WaitForError(const std::string& text, int timeoutMs = 30000)
    {
        const auto until = Clock::now() + std::chrono::milliseconds(timeoutMs);
        while (m_result.err.find(text) == std::string::npos)
            if (Clock::now() > until || !Pump(until))
                return false;
        return true;
    }

    // Waits for the end and gives everything the program wrote (standard output from where
    // ReadLine stopped).
    ProcessResult Finish(int timeoutMs = 120000)
    {
        const auto until = Clock::now() + std::chrono::milliseconds(timeoutMs);
        while (Pump(until))
            if (Clock::now() > until) {
                ::kill(m_pid, SIGKILL);
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

    // Moves the input on and reads what arrives until something did or the deadline passed;
    // false once both outputs are closed.
    bool Pump(Clock::time_point until)
    {
        if (m_out < 0 && m_err < 0)
            return false;
        pollfd p[3] = {{m_out, POLLIN, 0}, {m_err, POLLIN, 0}, {m_in, POLLOUT, 0}};
        if (m_inputDone >= m_input.size() && m_in >= 0) {
            ::close(m_in);
            m_in = p[2].fd = -1;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
        if (::poll(p, 3, static_cast<int>(std::max<long long>(left, 0))) <= 0)
            return true;
        if (p[2].revents != 0) {
            const ssize_t n = ::write(m_in, m_input.data() + m_inputDone, m_input.size() - m_inputDone);
            m_inputDone = n > 0 ? m_inputDone + static_cast<std::size_t>(n) : m_input.size();
        }
        for (auto [fd, text] : {std::pair{&m_out, &m_result.out}, std::pair{&m_err, &m_result.err}}) {
            if (*fd < 0 || (p[fd == &m_out ? 0 : 1].revents & (POLLIN | POLLHUP | POLLERR)) == 0)
                continue;
            char buffer[4096];
            const ssize_t n = ::read(*fd, buffer, sizeof buffer);
            if (n > 0) {
                text->append(buffer, static_cast<std::size_t>(n));
            } else {
                ::close(*fd);
                *fd = -1;
            }
        }
        return true;
    }

    pid_t m_pid = -1;
    bool m_ended = false;
    int m_in = -1;
    int m_out = -1;
    int m_err = -1;
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

inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// A fresh folder under the temporary directory, removed with everything in it at the end.
class ScratchDir final {
public:
    ScratchDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "mv53-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()))
            m_path = pattern;
    }
    ~ScratchDir()
    {
        std::error_code ignored;
        if (!m_path.empty())
            std::filesystem::remove_all(m_path, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    bool Ok() const { return !m_path.empty(); }
    const std::string& Root() const { return m_path; }
    std::string Path(const std::string& name) const { return m_path + "/" + name; }
    // Writes bytes into the file name and gives its path.
    std::string Write(const std::string& name, const std::string& bytes) const
    {
        WriteFile(Path(name), bytes);
        return Path(name);
    }

private:
    std::string m_path;
};

}  // namespace mv53::test
