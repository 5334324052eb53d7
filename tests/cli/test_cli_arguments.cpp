// mv53 run with a command line it cannot take: it says what it did not understand, on standard
// error, and ends with status 1 before anything is done.

#include "RunProcess.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(CliArguments, UnknownCommandsAndWaitsThatAreNoWholeNumberAreRefused)
{
    const auto flashWaiting = [](const std::string& seconds) {
        return std::vector<std::string>{"flash", "--port", "/dev/null", "fw.mot", "--cpu", "HD64F2134ATF20",
                                        "--boot", "boot.bin", "--wait", seconds};
    };
    const std::string waitRefused = "mv53 flash: --wait takes a whole number of seconds from 1, not ";
    const struct {
        std::vector<std::string> args;
        std::string err;   // the start of standard error
    } cases[] = {
        {{}, "usage: mv53 <command> [arguments]\n"},
        {{"frobnicate"}, "mv53: unknown command 'frobnicate'\nusage: mv53 <command> [arguments]\n"},
        {flashWaiting("0"), waitRefused + "0\nusage: mv53 flash --port"},
        {flashWaiting("1.5"), waitRefused + "1.5\nusage: mv53 flash --port"},
        {flashWaiting("ten"), waitRefused + "ten\nusage: mv53 flash --port"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        const auto result = mv53::test::RunProcess(MV53_EXE, c.args);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err.substr(0, c.err.size()), c.err);
        EXPECT_EQ(result.out, "");
    }
}
