// mv53 doctor as a process: the radio simulator's answer, a pseudo-terminal as the cable's
// loopback, and the ports it cannot use.

#include "RunProcess.h"
#include "SimProgram.h"
#include "TestPty.h"
#include "TestRecords.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <atomic>
#include <thread>

using mv53::test::ProcessResult;

namespace {

ProcessResult Doctor(std::vector<std::string> args)
{
    args.insert(args.begin(), "doctor");
    return mv53::test::RunProcess(MV53_CLI_PATH, args);
}

bool HasLine(const std::string& out, const std::string& start, const std::string& part)
{
    for (std::size_t at = 0; at < out.size();) {
        const std::size_t end = out.find('\n', at);
        const std::string line = out.substr(at, end - at);
        if (line.rfind(start, 0) == 0 && line.find(part) != std::string::npos)
            return true;
        at = end == std::string::npos ? out.size() : end + 1;
    }
    return false;
}

}  // namespace

TEST(CliDoctor, RadioAnswersIdentifyWithItsSerialNumber)
{
    mv53::test::ScratchDir dir;
    TMVmem mem = mv53::test::ClearedRecords([](TMVmem& m) { m.FactoryOpt().SetSerialNo("6E000042"); });
    const TText image = mv53::test::EncodedImage(mem, true);
    const std::string file = dir.Write("radio.m53", {reinterpret_cast<const char*>(image.Data()), TText::Size()});
    mv53::test::SimProgram radio;
    ASSERT_TRUE(radio.Start({"--image", file}));

    const ProcessResult r = Doctor({"--port", radio.Device()});
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_TRUE(HasLine(r.out, "OK   ", radio.Device() + " accepts the line settings 9600 8N2")) << r.out;
    EXPECT_TRUE(HasLine(r.out, "OK   ", "answered Identify: KT-4680, firmware version 012a, serial number 6E000042"))
        << r.out;
    // The simulator keeps its own end of the line open: named, but no failure.
    EXPECT_TRUE(HasLine(r.out, "WARN ", "(radiosim)")) << r.out;
}

// Bridged, the 256 bytes come back; left open, nothing does and the check fails.
TEST(CliDoctor, LoopbackEchoesOnlyWhenTheLineIsBridged)
{
    for (const bool bridged : {true, false}) {
        mv53::test::TestPty pty;
        ASSERT_TRUE(pty.Ok());
        std::atomic<bool> stop{false};
        std::thread echo([&] {
            while (bridged && !stop) {
                const auto bytes = pty.ReadBytes(256, 20);
                if (!bytes.empty())
                    pty.WriteAll(bytes);
            }
        });
        const ProcessResult r = Doctor({"--port", pty.Path(), "--loopback"});
        stop = true;
        echo.join();
        EXPECT_EQ(r.status, bridged ? 0 : 1) << r.out;
        EXPECT_TRUE(bridged ? HasLine(r.out, "OK   ", " loopback: 256 bytes echoed, round trip ")
                            : HasLine(r.out, "FAIL ", " loopback: none of 256 bytes came back"))
            << r.out;
        EXPECT_FALSE(HasLine(r.out, "", "Identify")) << r.out;
    }
}

TEST(CliDoctor, PortThatCannotBeUsedFails)
{
    const ProcessResult missing = Doctor({"--port", "/dev/ttyNOSUCHPORT"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(HasLine(missing.out, "FAIL ", "/dev/ttyNOSUCHPORT does not exist")) << missing.out;
    EXPECT_FALSE(HasLine(missing.out, "", "accepts the line settings")) << missing.out;

    if (::geteuid() == 0)
        GTEST_SKIP() << "root may open any device";
    mv53::test::TestPty pty;
    ASSERT_EQ(::chmod(pty.Path().c_str(), 0), 0);
    const ProcessResult denied = Doctor({"--port", pty.Path()});
    EXPECT_EQ(denied.status, 1);
    EXPECT_TRUE(HasLine(denied.out, "FAIL ", pty.Path() + ": this user may not open it (")) << denied.out;
}
