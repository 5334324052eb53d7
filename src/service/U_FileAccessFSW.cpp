#include "service/U_FileAccessFSW.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>

namespace mv53::fw {

namespace {

namespace fs = std::filesystem;

struct TAreaRule {
    std::uint32_t recordFrom;          // records starting in [recordFrom, recordTo] belong here
    std::uint32_t recordTo;
    std::uint32_t start;
};

// The HD64F2134FA20's five areas.
constexpr TAreaRule kFA20Areas[] = {
    {0x0000, 0x03FF, 0x0000},
    {0x0C00, 0x0FFF, 0x0C00},
    {0x1000, 0x7FFF, 0x1000},
    {0xC000, 0xDFFF, 0xC000},
    {0xE000, 0xFFFF, 0xE000},
};

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool ReadWholeFile(const std::string& path, std::string& text)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

std::string Hex2(unsigned value)
{
    char text[4];
    std::snprintf(text, sizeof text, "%02X", value & 0xFFu);
    return text;
}

struct TDataRecord {
    std::uint32_t address = 0;
    std::uint32_t count = 0;           // data bytes
    int line = 0;
};

// Checks one S-record line (type digit at position 2) and stores its data. False with the
// reason in error; address gets the record's address field.
bool TakeRecord(const std::string& line, int lineNo, std::vector<Byte>& image, std::vector<TDataRecord>& records,
                std::uint32_t& address, TReadError& error)
{
    const auto fail = [&](std::string reason) {
        error = {lineNo, std::move(reason)};
        return false;
    };
    const char type = line[1];
    int addressBytes = 0;
    switch (type) {
    case '0': case '1': case '5': case '9': addressBytes = 2; break;
    case '2': case '6': case '8': addressBytes = 3; break;
    case '3': case '7': addressBytes = 4; break;
    default: return fail(std::string("unknown record type S") + type);
    }
    if (line.size() < 4)
        return fail("the record is too short for its byte count");
    if (line.size() % 2 != 0)
        return fail("the record has an odd number of characters");
    std::vector<Byte> bytes;                 // count byte, address, data, checksum
    bytes.reserve(line.size() / 2);
    for (std::size_t i = 2; i + 1 < line.size(); i += 2) {
        const int hi = HexDigit(line[i]);
        const int lo = HexDigit(line[i + 1]);
        if (hi < 0 || lo < 0)
            return fail("\"" + line.substr(i, 2) + "\" at character " + std::to_string(i + 1) +
                        " is not hexadecimal");
        bytes.push_back(static_cast<Byte>(hi << 4 | lo));
    }
    const std::size_t count = bytes[0];
    if (bytes.size() != count + 1)
        return fail("the byte count " + Hex2(static_cast<unsigned>(count)) + " says " + std::to_string(count) +
                    " bytes, the record holds " + std::to_string(bytes.size() - 1));
    if (count < static_cast<std::size_t>(addressBytes) + 1)
        return fail("the byte count " + Hex2(static_cast<unsigned>(count)) + " is too small for the record type");
    unsigned sum = 0;
    for (std::size_t i = 0; i + 1 < bytes.size(); ++i)
        sum += bytes[i];
    const Byte expected = static_cast<Byte>(~sum);
    if (bytes.back() != expected)
        return fail("checksum byte " + Hex2(bytes.back()) + " does not match the record (it sums to " +
                    Hex2(expected) + ")");
    address = 0;
    for (int i = 0; i < addressBytes; ++i)
        address = address << 8 | bytes[1 + static_cast<std::size_t>(i)];
    if (type != '1' && type != '2' && type != '3')
        return true;
    const std::uint32_t n = static_cast<std::uint32_t>(count) - static_cast<std::uint32_t>(addressBytes) - 1;
    if (n == 0)
        return true;
    if (address >= kImageSize || n > kImageSize - address) {
        char text[96];
        std::snprintf(text, sizeof text, "the record's bytes 0x%05X-0x%05X lie outside 0x00000-0x1FFFF",
                      static_cast<unsigned>(address), static_cast<unsigned>(address + n - 1));
        return fail(text);
    }
    std::copy_n(bytes.begin() + 1 + addressBytes, n, image.begin() + address);
    records.push_back({address, n, lineNo});
    return true;
}

void ComputeAreas(const std::vector<TDataRecord>& records, TFirmwareImage& image)
{
    std::uint32_t highest = 0;
    for (const auto& r : records)
        highest = std::max(highest, r.address + r.count - 1);
    const std::uint32_t block = BlockSize(image.cpu);
    image.areas.clear();
    if (image.cpu == TCpuType::HD64F2134ATF20) {
        // One area from address 0 up to the block of the highest data byte. Records need not
        // come in address order: the highest byte of any record decides, so none is left out.
        image.areas.push_back({0, (highest / block + 1) * block, true});
        image.progressMax = static_cast<int>(highest / block);
        return;
    }
    for (const auto& rule : kFA20Areas) {
        bool used = false;
        std::uint32_t last = rule.start;
        for (const auto& r : records) {
            if (r.address < rule.recordFrom || r.address > rule.recordTo)
                continue;
            last = used ? std::max(last, r.address + r.count - 1) : r.address + r.count - 1;
            used = true;
        }
        TWriteArea area{rule.start, 0, false};
        if (used || rule.start == 0) {
            // Area 0 is written even without records: one block.
            area.used = true;
            area.length = ((last - rule.start) / block + 1) * block;
        }
        image.areas.push_back(area);
    }
    image.progressMax = static_cast<int>(highest / block);
}

// Which addresses the write areas cover.
std::vector<bool> WrittenMask(const std::vector<TWriteArea>& areas)
{
    std::vector<bool> written(kImageSize, false);
    for (const auto& area : areas) {
        if (!area.used)
            continue;
        const std::uint32_t end = std::min<std::uint32_t>(area.start + area.length, kImageSize);
        for (std::uint32_t a = area.start; a < end; ++a)
            written[a] = true;
    }
    return written;
}

// The data the radio will not get: bytes outside the areas, and whether the reset vector is filled.
void FindUnwritten(const std::vector<TDataRecord>& records, TFirmwareImage& image)
{
    const std::vector<bool> written = WrittenMask(image.areas);
    std::vector<bool> seen(kImageSize, false);
    std::vector<bool> filled(kResetVectorSize, false);
    image.outside = {};
    for (const auto& r : records) {
        for (std::uint32_t a = r.address; a < r.address + r.count; ++a) {
            if (a < kResetVectorSize)
                filled[a] = true;
            if (written[a] || seen[a])
                continue;
            seen[a] = true;
            if (image.outside.bytes == 0) {
                image.outside.line = r.line;
                image.outside.address = a;
            }
            ++image.outside.bytes;
        }
    }
    image.resetVector = std::all_of(filled.begin(), filled.end(), [](bool f) { return f; });
}

}  // namespace

const char* CpuName(TCpuType cpu) { return cpu == TCpuType::HD64F2134ATF20 ? kCpuATF20 : kCpuFA20; }

std::optional<TCpuType> CpuFromName(const std::string& name)
{
    if (name == kCpuATF20)
        return TCpuType::HD64F2134ATF20;
    if (name == kCpuFA20)
        return TCpuType::HD64F2134FA20;
    return std::nullopt;
}

std::uint32_t BlockSize(TCpuType cpu) { return cpu == TCpuType::HD64F2134ATF20 ? kBlockSizeATF20 : kBlockSizeFA20; }

bool MatchesFirmwareName(const std::string& name)
{
    const std::string pattern = kFirmwarePattern;
    if (name.size() != pattern.size())
        return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (pattern[i] == '?')
            continue;
        const auto upper = static_cast<char>(name[i] >= 'a' && name[i] <= 'z' ? name[i] - 'a' + 'A' : name[i]);
        if (upper != pattern[i])
            return false;
    }
    return true;
}

std::string FileDateText(const std::string& path)
{
    std::error_code ec;
    const auto written = fs::last_write_time(path, ec);
    if (ec)
        return {};
    const auto sys = std::chrono::file_clock::to_sys(written);
    const std::time_t t = std::chrono::system_clock::to_time_t(
        std::chrono::time_point_cast<std::chrono::system_clock::duration>(sys));
    const std::tm* local = std::localtime(&t);
    if (local == nullptr)
        return {};
    char text[32];
    std::strftime(text, sizeof text, "%Y/%m/%d %H:%M:%S", local);
    return text;
}

std::vector<TFirmwareFileEntry> ListFirmwareFiles(const std::string& folder)
{
    std::vector<TFirmwareFileEntry> entries;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!MatchesFirmwareName(name))
            continue;
        std::error_code typeError;
        if (it->is_directory(typeError))
            continue;
        entries.push_back({name, FileDateText(it->path().string())});
    }
    std::sort(entries.begin(), entries.end(), [](const TFirmwareFileEntry& a, const TFirmwareFileEntry& b) {
        if (a.date != b.date)
            return a.date > b.date;
        return a.name > b.name;
    });
    return entries;
}

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(line);
            line.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            line.push_back(c);
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

bool IsRecordHeaderLine(const std::string& line) { return line.rfind("S0", 0) == 0 || line.rfind("VS", 0) == 0; }

THeaderScan ScanHeaderText(const std::string& text)
{
    THeaderScan scan;
    for (const std::string& line : SplitLines(text)) {
        if (IsRecordHeaderLine(line)) {
            scan.ok = true;
            return scan;
        }
        scan.lines.push_back(line);
    }
    scan.lines.clear();
    return scan;
}

THeaderScan ScanHeader(const std::string& path, const std::string& name)
{
    std::string text;
    if (name.rfind(kFirmwareNamePrefix, 0) != 0 || !ReadWholeFile(path, text))
        return {};
    return ScanHeaderText(text);
}

std::uint32_t TFirmwareImage::Sum() const
{
    std::uint32_t sum = 0;
    for (const Byte b : bytes)
        sum += b;
    return sum;
}

std::uint32_t TFirmwareImage::ExpectedFlashSum() const
{
    const std::vector<bool> written = WrittenMask(areas);
    std::uint32_t sum = 0;
    for (std::size_t a = 0; a < bytes.size(); ++a)
        sum += written[a] ? bytes[a] : 0xFFu;
    return sum;
}

std::string TReadError::Text() const
{
    return line > 0 ? "line " + std::to_string(line) + ": " + reason : reason;
}

bool ReadFirmwareText(const std::string& text, TCpuType cpu, const TKey* key, TFirmwareImage& image,
                      TReadError& error)
{
    image = TFirmwareImage{};
    image.cpu = cpu;
    error = {};
    std::optional<TDecrypt> decrypt;
    if (key != nullptr)
        decrypt.emplace(*key);
    const auto fail = [&](int line, std::string reason) {
        error = {line, std::move(reason)};
        return false;
    };

    const std::vector<std::string> lines = SplitLines(text);
    std::vector<TDataRecord> records;
    bool started = false;
    int dataRecords = 0;               // S1, S2 and S3 lines, for the count record
    int terminationLine = 0;
    int countLine = 0;
    int lastLine = 0;                  // the last line that is not blank
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int lineNo = static_cast<int>(i) + 1;
        std::string line = lines[i];
        if (!started) {
            // The header lines end where the header scan ends them.
            if (!IsRecordHeaderLine(line))
                continue;
            if (line.rfind("VS", 0) == 0) {
                if (!decrypt)
                    return fail(lineNo, kNoKeyReason);
                image.scrambled = true;
            }
            started = true;
        }
        if (image.scrambled)
            line = decrypt->Line(line);
        // Trailing blanks (and a DOS end-of-file mark) carry nothing; what remains is checked
        // character by character.
        while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == '\x1A'))
            line.pop_back();
        if (line.empty())
            continue;
        lastLine = lineNo;
        // A line whose first characters were damaged, or any text among the records, could
        // hide data: nothing but S-records may follow the record header.
        if (line.size() < 2 || line[0] != 'S' || line[1] < '0' || line[1] > '9')
            return fail(lineNo, "the line is not an S-record");
        // The records end with a termination record, or with a count record (some tools write no
        // termination record without a start address) that only a termination record may follow.
        if (terminationLine != 0)
            return fail(lineNo, "a record follows the termination record of line " + std::to_string(terminationLine));
        if (countLine != 0 && (line[1] < '7' || line[1] > '9'))
            return fail(lineNo, "a record follows the count record of line " + std::to_string(countLine));
        std::uint32_t address = 0;
        if (!TakeRecord(line, lineNo, image.bytes, records, address, error))
            return false;
        switch (line[1]) {
        case '1': case '2': case '3':
            ++dataRecords;
            break;
        case '5': case '6':
            if (address != static_cast<std::uint32_t>(dataRecords))
                return fail(lineNo, "the count record says " + std::to_string(address) + " data records, " +
                                        std::to_string(dataRecords) + " come before it");
            countLine = lineNo;
            break;
        case '7': case '8': case '9':
            terminationLine = lineNo;
            break;
        default:
            break;
        }
    }
    if (!started)
        return fail(0, "the file holds no S0 record header line");
    if (records.empty())
        return fail(0, "the file holds no data records");
    if (terminationLine == 0 && countLine == 0)
        return fail(lastLine, "the file ends here without a termination record (S7, S8 or S9) or count record "
                              "(S5, S6): it may be cut off");
    ComputeAreas(records, image);
    FindUnwritten(records, image);
    return true;
}

bool ReadFirmwareFile(const std::string& path, TCpuType cpu, const TKey* key, TFirmwareImage& image,
                      TReadError& error)
{
    std::string text;
    if (!ReadWholeFile(path, text)) {
        image = TFirmwareImage{};
        error = {0, "the file cannot be read"};
        return false;
    }
    return ReadFirmwareText(text, cpu, key, image, error);
}

std::string PcChecksumText(std::uint32_t sum)
{
    char text[48];
    std::snprintf(text, sizeof text, "CHECKSUM\r\n        %8.8x (PC)", static_cast<unsigned>(sum));
    return text;
}

std::string CpuChecksumText(const Byte bytes[4])
{
    char text[48];
    std::snprintf(text, sizeof text, "\r\n        %2.2x%2.2x%2.2x%2.2x (CPU)", bytes[0], bytes[1], bytes[2], bytes[3]);
    return text;
}

std::vector<std::string> UnwrittenWarnings(const TFirmwareImage& image)
{
    std::vector<std::string> lines;
    if (image.outside.bytes != 0) {
        char text[160];
        std::snprintf(text, sizeof text, "%u bytes outside the areas written for %s, first at line %d, address 0x%05X",
                      static_cast<unsigned>(image.outside.bytes), CpuName(image.cpu), image.outside.line,
                      static_cast<unsigned>(image.outside.address));
        lines.emplace_back(text);
    }
    if (!image.resetVector)
        lines.emplace_back(kNoResetVector);
    return lines;
}

std::string VerdictText(TVerdict verdict, std::uint32_t cpuSum, const TFirmwareImage& image)
{
    const std::uint32_t expected = image.ExpectedFlashSum();
    char sums[160];
    if (verdict == TVerdict::NoChecksum)
        std::snprintf(sums, sizeof sums, " Its flash should sum to %8.8x. Write the firmware again.", static_cast<unsigned>(expected));
    else
        std::snprintf(sums, sizeof sums, " CPU %8.8x, expected %8.8x.%s", static_cast<unsigned>(cpuSum),
                      static_cast<unsigned>(expected), verdict == TVerdict::Match ? "" : " Write the firmware again.");
    std::string text = std::string(verdict == TVerdict::Match      ? kVerdictMatch
                                   : verdict == TVerdict::Differs ? kVerdictMismatch
                                                                  : kVerdictNoChecksum) +
                       sums;
    // The PC checksum counts every byte of the file; the radio can only hold what was written.
    if (expected != image.Sum()) {
        std::snprintf(sums, sizeof sums, " (The PC sum %8.8x also counts the bytes that are not written.)",
                      static_cast<unsigned>(image.Sum()));
        text += sums;
    }
    return text;
}

std::uint32_t CpuChecksumValue(const Byte bytes[4])
{
    return static_cast<std::uint32_t>(bytes[0]) << 24 | static_cast<std::uint32_t>(bytes[1]) << 16 |
           static_cast<std::uint32_t>(bytes[2]) << 8 | bytes[3];
}

}  // namespace mv53::fw
