// mv53 flash as a process against the radiosim program in its boot mode: the flash it leaves,
// the lines it prints, and the failures that end it before or after the radio was touched; and
// mv53 doctor: the radio simulator's answer, a pseudo-terminal as the cable's loopback, and the
// ports it cannot use.

#include "RunProcess.h"
#include "SimProgram.h"
#include "TestPty.h"
#include "TestRecords.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>

#include <atomic>
#include <random>
#include <string>
#include <thread>

using mv53::test::Process;
using mv53::test::ProcessResult;
using mv53::test::ReadFile;

namespace {

class CliFlash : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.Ok());
        std::string boot(2142, '\0');
        for (std::size_t i = 0; i < boot.size(); ++i)
            boot[i] = static_cast<char>(i * 7);
        m_dir.Write("boot.bin", boot);
        // 6000 random bytes from srec_cat at 0x0000 and 0x1000 (areas 0 and 2 of the FA20).
        std::mt19937 rng(9);
        std::string binary(6000, '\0');
        for (auto& c : binary)
            c = static_cast<char>(rng());
        const std::string bin = m_dir.Write("fw.bin", binary);
        const std::string made = "srec_cat " + bin + " -binary -crop 0 0x300 " + bin + " -binary -crop 0x1000 0x1770 -o " +
                                 m_dir.Path("KT468TST_V0100.SFL") + " -motorola -address-length=3 >/dev/null 2>&1";
        ASSERT_EQ(std::system(made.c_str()), 0);
    }

    void StartRadio(std::vector<std::string> options)
    {
        options.insert(options.begin(), {"--boot", "--boot-rate", "19200", "--save-flash", m_dir.Path("flash.bin")});
        ASSERT_TRUE(m_radio.Start(options));
    }
    std::vector<std::string> Args(const std::string& port, const char* firmware = "KT468TST_V0100.SFL",
                                  const char* boot = "boot.bin") const
    {
        return {"flash", "--port", port, m_dir.Path(firmware), "--cpu", "HD64F2134FA20", "--boot", m_dir.Path(boot)};
    }

    mv53::test::ScratchDir m_dir;
    mv53::test::SimProgram m_radio;
};

TEST_F(CliFlash, WritesTheFileAndPrintsChecksumsAndVerdict)
{
    StartRadio({"--boot-cpu", "HD64F2134FA20"});
    const ProcessResult r = mv53::test::RunProcess(MV53_CLI_PATH, Args(m_radio.Device()));
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_TRUE(m_radio.Stop());
    // The file's bytes, erased flash in the gap and above.
    const std::string binary = ReadFile(m_dir.Path("fw.bin"));
    std::string expected(0x20000, '\xFF');
    expected.replace(0, 0x300, binary.substr(0, 0x300));
    expected.replace(0x1000, 0x770, binary.substr(0x1000, 0x770));
    EXPECT_TRUE(ReadFile(m_dir.Path("flash.bin")) == expected);

    unsigned sum = 0;
    for (const char c : expected)
        sum += static_cast<unsigned char>(c);
    char line[64];
    std::snprintf(line, sizeof line, "CHECKSUM\n        %08x (PC)\n        %08x (CPU)\n", sum, sum);
    EXPECT_EQ(r.out, std::string(line) + "Checksum check: the radio's flash matches the firmware file. CPU " +
                         std::string(line + 17, 8) + ", expected " + std::string(line + 17, 8) + ".\n");

    // A radio that gives no checksum leaves the write unconfirmed: status 1 with the warning.
    StartRadio({"--boot-cpu", "HD64F2134FA20", "--boot-no-checksum"});
    const ProcessResult unconfirmed = mv53::test::RunProcess(MV53_CLI_PATH, Args(m_radio.Device()));
    EXPECT_EQ(unconfirmed.status, 1) << unconfirmed.err;
    EXPECT_NE(unconfirmed.out.find("WARNING: the radio sent no checksum, so the write is unconfirmed."), std::string::npos)
        << unconfirmed.out;
}

// Status 1 with the reason, before the radio is touched (bad files) or after (a refusal, a radio
// that never answers); 130 when interrupted while waiting for the radio.
TEST_F(CliFlash, FailuresEndWithTheirStatusAndReason)
{
    m_dir.Write("short.bin", std::string(2141, '\x01'));
    m_dir.Write("KT468BAD_V0100.SFL", "S0030000FC\nS1070000DEADBEEFBD\n");
    m_dir.Write("KT468OUT_V0100.SFL", "S0030000FC\nS1070000DEADBEEFC0\nS1059000AABB05\nS9030000FC\n");
    const auto outside = Args("/dev/null", "KT468OUT_V0100.SFL");
    auto allowed = outside;
    allowed.push_back("--allow-unwritten");
    const struct Case {
        const char* name;
        const char* radio;   // radiosim option; none: no radio
        std::vector<std::string> args;
        int signal;
        int status;
        std::string message;
        const char* also = "";
    } cases[] = {
        {"data outside the areas", nullptr, outside, 0, 1,
         "warning: 2 bytes outside the areas written for HD64F2134FA20, first at line 3, address 0x09000\n"
         "The firmware file cannot be written."},
        {"data outside the areas allowed", nullptr, allowed, 0, 1, "Waiting up to 120 s"},
        {"short boot program", nullptr, Args("/dev/null", "KT468TST_V0100.SFL", "short.bin"), 0, 1,
         "holds 2141 bytes; it must hold exactly 2142"},
        {"bad record", nullptr, Args("/dev/null", "KT468BAD_V0100.SFL"), 0, 1,
         "The firmware file cannot be written.\n" + m_dir.Path("KT468BAD_V0100.SFL") + ": line 2: checksum byte BD"},
        {"bit rate refused", "--boot-refuse-rate", {}, 0, 1,
         "No acknowledgement from the radio.  Please do the following procedure again.\n"
         " 1. Disconnect the DC cable from the radio.\n",
         "refused the bit-rate command"},
        {"no radio within the wait", "--boot-silent", {"--wait", "1"}, 0, 1, "No radio in boot mode answered on "},
        {"interrupted", "--boot-silent", {}, SIGINT, 130, "The writing procedure was cancelled."},
        {"terminated", "--boot-silent", {}, SIGTERM, 130, "The writing procedure was cancelled."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> args = c.args;
        if (c.radio) {
            StartRadio({c.radio});
            args = Args(m_radio.Device());
            args.insert(args.end(), c.args.begin(), c.args.end());
        }
        Process mv53(MV53_CLI_PATH, args);
        if (c.signal != 0) {
            EXPECT_TRUE(mv53.WaitForError("Waiting up to"));
            mv53.Signal(c.signal);
        }
        const ProcessResult r = mv53.Finish();
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(c.also), std::string::npos) << r.err;
        EXPECT_TRUE(r.out.empty()) << r.out;
    }
}

// ---- doctor ----

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

}  // namespace
