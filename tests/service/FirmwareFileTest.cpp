// Firmware files on disk: files written by srec_cat and objcopy read into the same image, the
// write areas of both processor types, scrambled files, the list and header scan, and the
// refusal of every file that could not be written whole.

#include "FirmwareTestFiles.h"
#include "service/U_FileAccessFSW.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>

namespace fs = std::filesystem;
using namespace mv53::fw;
using mv53::test::Counting;
using mv53::test::Record;

// Write areas compared whole.
namespace mv53::fw {
bool operator==(const TWriteArea& a, const TWriteArea& b)
{ return a.start == b.start && a.length == b.length && a.used == b.used; }
}  // namespace mv53::fw

namespace {

std::string Join(const std::vector<std::string>& lines, const std::string& end = "\r\n")
{
    std::string text;
    for (const auto& l : lines)
        text += l + end;
    return text;
}

class FirmwareFile : public ::testing::Test {
protected:
    mv53::test::ScratchDir m_dir;
};

// The stand-in key of these tests; its bytes keep every scrambled character away from CR and LF.
TKey TestKey()
{
    TKey key{};
    for (std::size_t i = 0; i < key.size(); ++i)
        key[i] = static_cast<Byte>(0x21 + (i * 7) % 0x3C);
    return key;
}

std::string Scramble(const std::vector<std::string>& plainLines, const TKey& key, std::size_t firstRecord)
{
    std::string out;
    std::size_t pos = 0;
    for (std::size_t i = 0; i < plainLines.size(); ++i) {
        std::string line = plainLines[i];
        if (i >= firstRecord) {
            std::size_t from = 0;
            if (i == firstRecord) {
                line.replace(0, 2, "VS");
                from = 2;
            }
            for (std::size_t c = from; c < line.size(); ++c) {
                line[c] = static_cast<char>(static_cast<Byte>(line[c]) + key[pos]);
                pos = (pos + 1) % key.size();
            }
        }
        out += line + "\r\n";
    }
    return out;
}

TEST_F(FirmwareFile, FilesOfSrecCatAndObjcopyReadIntoTheSameImage)
{
    std::mt19937 rng(11);
    std::vector<Byte> binary(70000);
    for (auto& b : binary)
        b = static_cast<Byte>(rng());
    const std::string bin = m_dir.Write("fw.bin", std::string(binary.begin(), binary.end()));
    const std::uint32_t offset = 0x4000;
    std::vector<Byte> expected(kImageSize, 0xFF);
    std::copy(binary.begin(), binary.end(), expected.begin() + offset);

    const std::string out = m_dir.Path("KT468ABC_V0100.SFL");
    const std::string srec = "srec_cat " + bin + " -binary -offset 0x4000 -o " + out + " -motorola ";
    const std::pair<const char*, std::string> cases[] = {
        {"srec_cat S2", srec + "-address-length=3"},
        {"srec_cat S3, 16-byte records", srec + "-address-length=4 -obs=16"},
        {"srec_cat S2, 250-byte records", srec + "-address-length=3 -obs=250"},
        {"objcopy", "objcopy -I binary -O srec --change-addresses 0x4000 " + bin + " " + out},
        {"objcopy S3", "objcopy -I binary -O srec --srec-forceS3 --change-addresses 0x4000 " + bin + " " + out},
    };
    for (const auto& [name, command] : cases) {
        SCOPED_TRACE(name);
        ASSERT_EQ(std::system((command + " >/dev/null 2>&1").c_str()), 0);
        for (const char* end : {"\r\n", "\n", "\r"}) {
            SCOPED_TRACE(end[0] == '\r' ? (end[1] ? "CR LF" : "CR") : "LF");
            const std::string path = m_dir.Write("KT468ABC_V0101.SFL", Join(SplitLines(mv53::test::ReadFile(out)), end));
            TFirmwareImage image;
            TReadError error;
            ASSERT_TRUE(ReadFirmwareFile(path, TCpuType::HD64F2134ATF20, nullptr, image, error)) << error.Text();
            EXPECT_TRUE(image.bytes == expected);
            EXPECT_FALSE(image.scrambled);
            const std::uint32_t last = offset + static_cast<std::uint32_t>(binary.size()) - 1;
            EXPECT_EQ(image.areas, (std::vector<TWriteArea>{{0, (last / 128 + 1) * 128, true}}));
            EXPECT_EQ(image.progressMax, static_cast<int>(last / 128));
        }
    }
}

TEST_F(FirmwareFile, SixteenByteRecordGivesOneBlockAndTheKnownChecksum)
{
    const std::string path = m_dir.Write("KT468ABC_V0100.SFL", Join({"S0030000FC", Record(1, 0, Counting(16)), "S9030000FC"}));
    TFirmwareImage image;
    TReadError error;
    ASSERT_TRUE(ReadFirmwareFile(path, TCpuType::HD64F2134ATF20, nullptr, image, error)) << error.Text();
    EXPECT_EQ(image.areas, (std::vector<TWriteArea>{{0, 128, true}}));
    EXPECT_EQ(image.progressMax, 0);
    EXPECT_EQ(PcChecksumText(image.Sum()), "CHECKSUM\r\n        01fdf088 (PC)");
    EXPECT_EQ(image.ExpectedFlashSum(), image.Sum());
    EXPECT_EQ(PcChecksumText(TFirmwareImage{}.Sum()), "CHECKSUM\r\n        01fe0000 (PC)");
    const Byte cpu[4] = {0x01, 0xfd, 0xf0, 0x88};
    EXPECT_EQ(CpuChecksumText(cpu), "\r\n        01fdf088 (CPU)");
    EXPECT_EQ(CpuChecksumValue(cpu), image.Sum());
}

TEST_F(FirmwareFile, WriteAreasOfBothProcessorTypes)
{
    const std::string noVector = kNoResetVector;
    const auto d = [](std::size_t n) { return Counting(n, 0x40); };
    // unwritten: what the radio would not get
    const std::tuple<const char*, std::vector<std::string>, TCpuType, std::vector<TWriteArea>, int, std::vector<std::string>> cases[] = {
        {"FA20, a record in every area", {Record(1, 0x0000, d(16)), Record(1, 0x0C10, d(8)), Record(1, 0x1000, d(100)),
                                          Record(1, 0xC000, d(64)), Record(1, 0xFFF0, d(16))},
         TCpuType::HD64F2134FA20,
         {{0x0000, 64, true}, {0x0C00, 64, true}, {0x1000, 128, true}, {0xC000, 64, true}, {0xE000, 0x2000, true}},
         0xFFFF / 64, {}},
        {"FA20, a record at 0x9000 is kept out of the areas", {Record(1, 0x0000, d(16)), Record(1, 0x9000, d(16))},
         TCpuType::HD64F2134FA20,
         {{0x0000, 64, true}, {0x0C00, 0, false}, {0x1000, 0, false}, {0xC000, 0, false}, {0xE000, 0, false}},
         0x9000 / 64, {"16 bytes outside the areas written for HD64F2134FA20, first at line 3, address 0x09000"}},
        {"FA20, no record in area 0 still writes its first block", {Record(1, 0x1040, d(16))},
         TCpuType::HD64F2134FA20,
         {{0x0000, 64, true}, {0x0C00, 0, false}, {0x1000, 128, true}, {0xC000, 0, false}, {0xE000, 0, false}},
         0x1040 / 64, {noVector}},
        {"FA20, records above 0xFFFF are read but not written", {Record(2, 0x10000, d(16)), Record(1, 0x0100, d(4))},
         TCpuType::HD64F2134FA20,
         {{0x0000, 0x140, true}, {0x0C00, 0, false}, {0x1000, 0, false}, {0xC000, 0, false}, {0xE000, 0, false}},
         0x10000 / 64, {"16 bytes outside the areas written for HD64F2134FA20, first at line 2, address 0x10000", noVector}},
        {"ATF20, records out of order: the highest byte decides", {Record(2, 0x1FF80, d(128)), Record(1, 0x0000, d(16))},
         TCpuType::HD64F2134ATF20, {{0x0000, 0x20000, true}}, 1023, {}},
        {"ATF20, a record that ends on a block boundary", {Record(1, 0x0070, d(16))},
         TCpuType::HD64F2134ATF20, {{0x0000, 128, true}}, 0, {noVector}},
    };
    for (const auto& [name, records, cpu, areas, progressMax, unwritten] : cases) {
        SCOPED_TRACE(name);
        // A count record, blank lines and the termination record carry no data.
        const std::string count = Record(5, static_cast<std::uint32_t>(records.size()), {});
        for (const auto& tail : std::vector<std::vector<std::string>>{{"S9030000FC"}, {"", count, "S9030000FC", "", ""}}) {
            std::vector<std::string> lines{"S00600004844521B"};
            lines.insert(lines.end(), records.begin(), records.end());
            lines.insert(lines.end(), tail.begin(), tail.end());
            TFirmwareImage image;
            TReadError error;
            ASSERT_TRUE(ReadFirmwareText(Join(lines), cpu, nullptr, image, error)) << error.Text();
            EXPECT_EQ(image.areas, areas);
            EXPECT_EQ(image.progressMax, progressMax);
            EXPECT_EQ(UnwrittenWarnings(image), unwritten);
            EXPECT_EQ(image.ExpectedFlashSum() == image.Sum(), image.outside.bytes == 0);
        }
    }
    // The record at 0x9000 is in the image and in the PC checksum.
    TFirmwareImage image;
    TReadError error;
    ASSERT_TRUE(ReadFirmwareText(Join({"S0030000FC", Record(1, 0x9000, {0x12, 0x34}), "S9030000FC"}), TCpuType::HD64F2134FA20,
                                 nullptr, image, error));
    EXPECT_EQ(image.bytes[0x9000], 0x12);
    EXPECT_EQ(image.bytes[0x9001], 0x34);
    EXPECT_EQ(image.Sum(), 0x01fe0000u - 2 * 0xFF + 0x12 + 0x34);
}

TEST_F(FirmwareFile, FilesThatCannotBeWrittenWholeAreRefusedNamingTheLine)
{
    const std::string good = Record(1, 0x0000, Counting(16));
    // good with one character replaced
    const auto changed = [&good](std::size_t at, char c) { return good.substr(0, at) + c + good.substr(at + 1); };
    const std::tuple<const char*, std::string, const char*> cases[] = {
        {"checksum byte", changed(good.size() - 1, good.back() == '0' ? '1' : '0'), "does not match the record"},
        {"letter G in the data", changed(12, 'G'), "\"G"},
        {"line shorter than its count", good.substr(0, good.size() - 2), "says 19 bytes, the record holds 18"},
        {"odd length", good + "0", "odd number"},
        {"empty count field", "S1", "too short"},
        {"count too small for the address", "S1020000", "too small"},
        {"S3 address above 128 KiB", Record(3, 0x20000, Counting(4)), "0x20000-0x20003 lie outside"},
        {"S2 record running past the end", Record(2, 0x1FFF8, Counting(16)), "0x1FFF8-0x20007 lie outside"},
        {"reserved type S4", "S4030000FC", "unknown record type S4"},
        {"first character damaged", "T" + good.substr(1), "the line is not an S-record"},
        {"text among the records", "checksum follows", "the line is not an S-record"},
        {"count record of another file", Record(5, 2, {}), "the count record says 2 data records, 1 come before it"},
        {"record after the termination", "S9030000FC\r\n" + good, "follows the termination record of line 4"},
        {"record after the count", Record(5, 1, {}) + "\r\n" + good, "follows the count record of line 4"},
    };
    for (const auto& [name, bad, reason] : cases) {
        SCOPED_TRACE(name);
        // "S0" inside a header line does not end the header.
        const std::string path =
            m_dir.Write("KT468ABC_V0100.SFL", Join({"Header for S0 units", "S0030000FC", good, bad, "S9030000FC"}));
        TFirmwareImage image;
        TReadError error;
        EXPECT_FALSE(ReadFirmwareFile(path, TCpuType::HD64F2134ATF20, nullptr, image, error));
        const int line = bad.find('\n') == std::string::npos ? 4 : 5;
        EXPECT_EQ(error.line, line);
        EXPECT_NE(error.Text().find(reason), std::string::npos) << error.Text();
        EXPECT_EQ(error.Text().rfind("line " + std::to_string(line) + ": ", 0), 0u) << error.Text();
    }
    const std::tuple<const char*, std::string, int, const char*> wholes[] = {
        {"no S0 line", Join({"text", "more text"}), 0, "no S0"},
        {"no data record", Join({"S0030000FC", "S9030000FC"}), 0, "no data records"},
        {"cut off at a line end", Join({"S0030000FC", good, ""}), 2, "without a termination record"},
    };
    for (const auto& [name, text, line, reason] : wholes) {
        SCOPED_TRACE(name);
        TFirmwareImage image;
        TReadError error;
        EXPECT_FALSE(ReadFirmwareText(text, TCpuType::HD64F2134FA20, nullptr, image, error));
        EXPECT_EQ(error.line, line);
        EXPECT_NE(error.Text().find(reason), std::string::npos) << error.Text();
    }
    TFirmwareImage image;
    TReadError error;
    EXPECT_FALSE(ReadFirmwareFile(m_dir.Path("missing.SFL"), TCpuType::HD64F2134FA20, nullptr, image, error));
}

TEST_F(FirmwareFile, ScrambledFileIsReadIdenticallyEachTime)
{
    const std::vector<std::string> plain{"KT-4680 main firmware", "Version 1.00",      "S00600004844521B",
                                         Record(1, 0x0000, Counting(32)), Record(2, 0x12000, Counting(40, 7)),
                                         "S9030000FC"};
    const TKey key = TestKey();
    const std::string path = m_dir.Write("KT468ABC_V0100.SFL", Scramble(plain, key, 2));
    TFirmwareImage reference;
    TReadError error;
    ASSERT_TRUE(ReadFirmwareText(Join(plain), TCpuType::HD64F2134ATF20, nullptr, reference, error)) << error.Text();

    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        TFirmwareImage image;
        ASSERT_TRUE(ReadFirmwareFile(path, TCpuType::HD64F2134ATF20, &key, image, error)) << error.Text();
        EXPECT_TRUE(image.scrambled);
        EXPECT_TRUE(image.bytes == reference.bytes);
        EXPECT_EQ(image.areas, reference.areas);
    }
    const THeaderScan scan = ScanHeader(path, "KT468ABC_V0100.SFL");
    EXPECT_TRUE(scan.ok);
    EXPECT_EQ(scan.lines, (std::vector<std::string>{"KT-4680 main firmware", "Version 1.00"}));

    // Without the key, or with another one, nothing is taken from the file.
    TFirmwareImage image;
    EXPECT_FALSE(ReadFirmwareFile(path, TCpuType::HD64F2134ATF20, nullptr, image, error));
    EXPECT_EQ(error.Text(), std::string("line 3: ") + kNoKeyReason);
    TKey other = key;
    other[5] ^= 1;
    EXPECT_FALSE(ReadFirmwareFile(path, TCpuType::HD64F2134ATF20, &other, image, error));
    EXPECT_EQ(error.line, 3);
}

TEST_F(FirmwareFile, ListIsNewestFirstAndHeaderScanNeedsTheNameAndARecordHeader)
{
    const auto now = fs::file_time_type::clock::now();
    const std::tuple<const char*, int, std::string> files[] = {   // name, age in hours, text
        {"KT468AAA_V0100.SFL", 48, Join({"old", "S0030000FC"})},
        {"KT468BBB_V0200.SFL", 1, Join({"new one", "second line", "S0030000FC", Record(1, 0, {1})})},
        {"KT468CCC_V0200.SFL", 1, Join({"no record header", "S1 is not at the start"})},
        {"kt468ddd_v0300.sfl", 24, Join({"S0030000FC"})},
        {"KT468EE_V0100.SFL", 0, "name too short"},
        {"KT468FFF-V0100.SFL", 0, "wrong separator"},
        {"KT468GGG_V0100.SFL.bak", 0, "suffix"},
    };
    for (const auto& [name, ageHours, text] : files)
        fs::last_write_time(m_dir.Write(name, text), now - std::chrono::hours(ageHours));
    const auto list = ListFirmwareFiles(m_dir.Root());
    std::vector<std::string> names;
    for (const auto& e : list)
        names.push_back(e.name);
    EXPECT_EQ(names, (std::vector<std::string>{"KT468CCC_V0200.SFL", "KT468BBB_V0200.SFL", "kt468ddd_v0300.sfl",
                                               "KT468AAA_V0100.SFL"}));
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0].date, list[1].date);
    EXPECT_LT(list[2].date, list[1].date);
    EXPECT_EQ(list[0].date.size(), std::string("2026/01/31 23:59:59").size());

    const std::tuple<const char*, bool, std::vector<std::string>> scans[] = {
        {"KT468BBB_V0200.SFL", true, {"new one", "second line"}},
        {"KT468CCC_V0200.SFL", false, {}},
        {"kt468ddd_v0300.sfl", false, {}},   // the name must begin with "KT468" exactly
    };
    for (const auto& [name, ok, lines] : scans) {
        SCOPED_TRACE(name);
        const THeaderScan scan = ScanHeader(m_dir.Path(name), name);
        EXPECT_EQ(scan.ok, ok);
        EXPECT_EQ(scan.lines, lines);
    }
    EXPECT_TRUE(ListFirmwareFiles(m_dir.Path("nowhere")).empty());
}

}  // namespace
