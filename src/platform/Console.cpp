#include "platform/Console.h"

#include <atomic>

#ifdef _WIN32
#include <io.h>
#include <stdio.h>
#include <windows.h>
#else
#include <signal.h>
#include <unistd.h>
#endif

namespace mv53::platform {

namespace {
// Set by the signal handler: a lock-free atomic is safe to store there.
std::atomic<bool> g_stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free);

#ifdef _WIN32
BOOL WINAPI ConsoleControl(DWORD type)
{
    if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT)
        return FALSE;
    if (g_stopRequested.exchange(true))
        return FALSE;                 // the second one ends the process
    return TRUE;
}
#else
void StopSignal(int) { g_stopRequested.store(true); }
#endif
}  // namespace

void CatchStopRequests()
{
#ifdef _WIN32
    ::SetConsoleCtrlHandler(&ConsoleControl, TRUE);
#else
    struct sigaction action {};
    action.sa_handler = &StopSignal;
    sigemptyset(&action.sa_mask);
    // The handler is taken once: the second signal has its default effect.
    action.sa_flags = SA_RESETHAND;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
#endif
}

bool StopRequested() { return g_stopRequested.load(); }

bool StandardErrorIsTerminal()
{
#ifdef _WIN32
    return ::_isatty(::_fileno(stderr)) != 0;
#else
    return ::isatty(STDERR_FILENO) != 0;
#endif
}

bool StandardOutputIsTerminal()
{
#ifdef _WIN32
    return ::_isatty(::_fileno(stdout)) != 0;
#else
    return ::isatty(STDOUT_FILENO) != 0;
#endif
}

} // namespace mv53::platform
