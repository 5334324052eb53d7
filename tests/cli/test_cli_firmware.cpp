// mv53 firmware-info as a process on firmware files in a temporary folder: the exact lines
// scripts read, and the refusals with their exit status and message.

#include "RunProcess.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

using mv53::test::ProcessResult;
using mv53::test::ReadFile;

namespace {

class CliFirmware : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.Ok()); }
    std::string Path(const std::string& name) const { return m_dir.Path(name); }
    std::string Write(const std::string& name, const std::string& bytes) const { return m_dir.Write(name, bytes); }
    // mv53 firmware-info with the arguments, split at spaces.
    ProcessResult Run(const std::string& arguments) const
    {
        std::vector<std::string> args{"firmware-info"};
        std::istringstream words(arguments);
        for (std::string word; words >> word;)
            args.push_back(word);
        return mv53::test::RunProcess(MV53_EXE, args);
    }

    mv53::test::ScratchDir m_dir;
};

TEST_F(CliFirmware, PrintsHeaderAreasProgressAndChecksumOfAnSrecCatFile)
{
    // 0x20 bytes at 0x0000, 0x10 bytes at 0x1000, 4 bytes at 0x9000, from srec_cat's generator.
    const std::string file = Path("KT468ABC_V0100.SFL");
    const std::string made = "srec_cat -generate 0 0x20 -constant 0x11 -generate 0x1000 0x1010 -constant 0x22 "
                             "-generate 0x9000 0x9004 -constant 0x33 -o " + file + " -motorola >/dev/null 2>&1";
    ASSERT_EQ(std::system(made.c_str()), 0);
    const std::string records = ReadFile(file);
    Write("KT468ABC_V0100.SFL", "KT-4680 firmware\r\nfor the test\r\n" + records);

    // 0x01fe0000 - 0x34 * 0xFF + 0x20 * 0x11 + 0x10 * 0x22 + 4 * 0x33
    const ProcessResult fa20 = Run(file + " --cpu HD64F2134FA20");
    EXPECT_EQ(fa20.status, 0) << fa20.err;
    EXPECT_EQ(fa20.out, "header: KT-4680 firmware\n"
                        "header: for the test\n"
                        "scrambled: no\n"
                        "area 0: start 0x00000 length 64\n"
                        "area 1: none\n"
                        "area 2: start 0x01000 length 64\n"
                        "area 3: none\n"
                        "area 4: none\n"
                        "outside areas: 4 bytes, first line 6 address 0x09000\n"
                        "progress max: 576\n"
                        "CHECKSUM\n"
                        "        01fdd140 (PC)\n");
    const ProcessResult atf20 = Run("--cpu=HD64F2134ATF20 " + file);
    EXPECT_EQ(atf20.status, 0) << atf20.err;
    EXPECT_NE(atf20.out.find("scrambled: no\narea 0: start 0x00000 length 36992\noutside areas: none\nprogress max: 288\n"),
              std::string::npos)
        << atf20.out;
}

TEST_F(CliFirmware, ScrambledFileNeedsAKeyOfExactly43Bytes)
{
    std::string key(43, '\0');
    for (std::size_t i = 0; i < key.size(); ++i)
        key[i] = static_cast<char>(0x30 + i);
    std::string plain = "S1070000DEADBEEFC0";
    std::string scrambled = "VS";
    std::size_t pos = 0;
    for (const char c : std::string("030000FC") + "\r\n" + plain + "\r\nS9030000FC\r\n") {
        if (c == '\r' || c == '\n') {
            scrambled += c;
            continue;
        }
        scrambled += static_cast<char>(static_cast<unsigned char>(c) + static_cast<unsigned char>(key[pos]));
        pos = (pos + 1) % 43;
    }
    const std::string file = Write("KT468XYZ_V0200.SFL", "Scrambled\r\n" + scrambled);
    Write("good.key", key);
    Write("short.key", key.substr(0, 42));
    Write("long.key", key + "x");

    const ProcessResult ok = Run(file + " --cpu HD64F2134ATF20 --key " + Path("good.key"));
    EXPECT_EQ(ok.status, 0) << ok.err;
    EXPECT_EQ(ok.out.substr(0, ok.out.find("CHECKSUM")),
              "header: Scrambled\nscrambled: yes\narea 0: start 0x00000 length 128\noutside areas: none\nprogress max: 0\n");

    const struct Case {
        const char* name;
        std::string arguments;
        const char* message;
    } cases[] = {
        {"no key", file + " --cpu HD64F2134ATF20", "line 2: the file is scrambled and no unscrambling key is set"},
        {"short key", file + " --cpu HD64F2134ATF20 --key " + Path("short.key"), "holds 42 bytes; it must hold exactly 43"},
        {"long key", file + " --cpu HD64F2134ATF20 --key " + Path("long.key"), "holds more than 43 bytes"},
        {"missing key", file + " --cpu HD64F2134ATF20 --key " + Path("none.key"), "cannot be read"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ProcessResult r = Run(c.arguments);
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(r.out.empty()) << r.out;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
}

TEST_F(CliFirmware, RefusesFilesThatCannotBeWrittenWhole)
{
    const struct Case {
        const char* name;
        std::string fileName;
        std::string text;
        const char* message;
    } cases[] = {
        {"record checksum", "KT468ABC_V0100.SFL", "S0030000FC\nS1070000DEADBEEFBD\n", "line 2: checksum byte BD"},
        {"address past 128 KiB", "KT468ABC_V0100.SFL", "S0030000FC\nS20801FFFE00000000F9\nS9030000FC\n",
         "line 2: the record's bytes 0x1FFFE-0x20001 lie outside 0x00000-0x1FFFF"},
        {"cut off after a record", "KT468ABC_V0100.SFL", "S0030000FC\nS1070000DEADBEEFC0\n",
         "line 2: the file ends here without a termination record"},
        {"no record header", "KT468ABC_V0100.SFL", "only text\n", "no record header line"},
        {"name", "FIRMWARE.SFL", "S0030000FC\nS1070000DEADBEEFC0\n", "does not begin with KT468"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = Write(c.fileName, c.text);
        const ProcessResult r = Run(file + " --cpu HD64F2134FA20");
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(r.out.empty()) << r.out;
        EXPECT_EQ(r.err.rfind("The firmware file cannot be written.\n" + file + ": ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        std::filesystem::remove(file);
    }
    EXPECT_EQ(Run("KT468ABC_V0100.SFL --cpu HD64F2134").status, 1);
}

}  // namespace
