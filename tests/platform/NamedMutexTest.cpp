// The single-instance mutex on Windows: the first holder of a name keeps it until it lets go,
// and a second process that asks for the same name is refused while the first one runs.

#include "platform/NamedMutex.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

using mv53::platform::NamedMutex;

namespace {

std::string UniqueName(const char* what)
{
    return std::string("MV53Test-") + what + "-" + std::to_string(::GetCurrentProcessId());
}

TEST(NamedMutex, TheFirstHolderKeepsTheNameUntilItLetsGo)
{
    const std::string name = UniqueName("hold");
    auto first = std::make_unique<NamedMutex>(name);
    ASSERT_TRUE(first->TryAcquire());
    EXPECT_TRUE(first->Held());
    EXPECT_TRUE(first->TryAcquire());   // asking again keeps it

    NamedMutex second(name);
    EXPECT_FALSE(second.TryAcquire());
    EXPECT_FALSE(second.Held());
    NamedMutex other(UniqueName("other"));
    EXPECT_TRUE(other.TryAcquire());

    first.reset();
    EXPECT_TRUE(second.TryAcquire());
}

// A second process (this program again) is refused while this one holds the name, and gets it
// once this one lets go.
TEST(NamedMutex, ASecondProcessIsRefused)
{
    const std::string name = UniqueName("process");
    auto runChild = [&] {
        char self[MAX_PATH] = {};
        ::GetModuleFileNameA(nullptr, self, MAX_PATH);
        std::string command = std::string("\"") + self + "\" --try-mutex " + name;
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
            return -1;
        ::WaitForSingleObject(pi.hProcess, 30000);
        DWORD code = 99;
        ::GetExitCodeProcess(pi.hProcess, &code);
        ::CloseHandle(pi.hThread);
        ::CloseHandle(pi.hProcess);
        return static_cast<int>(code);
    };
    {
        NamedMutex mine(name);
        ASSERT_TRUE(mine.TryAcquire());
        EXPECT_EQ(runChild(), 1);   // refused
    }
    EXPECT_EQ(runChild(), 0);   // free again
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--try-mutex") == 0) {
        NamedMutex m(argv[2]);
        return m.TryAcquire() ? 0 : 1;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
