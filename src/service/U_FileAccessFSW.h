#pragma once
// Firmware files ("KT468???_V????.SFL"): Motorola S-records, plain or scrambled line by line.
// Lists them, scans the header lines a file describes itself with, and reads a file into the
// 128 KiB image of the radio's flash with the write areas of the chosen processor type.
//
// Reading checks the whole file before anything may be sent to a radio: every record's hex
// fields, its length against its byte count, its own checksum byte, and that its bytes lie
// inside the image; after the record header every non-blank line is an S-record, a count
// record matches the data records before it, and a termination record or a count record ends
// the records (a file cut off at a line end has neither). A refusal names the line.
//
// What a file holds that the radio will not get is told, not refused: data outside the write
// areas of the chosen processor type, and no data at the reset vector.

#include "service/U_Decrypt.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace mv53::fw {

inline constexpr std::uint32_t kImageSize = 0x20000;   // addresses 0x00000 to 0x1FFFF
inline constexpr const char* kFirmwarePattern = "KT468???_V????.SFL";
inline constexpr const char* kFirmwareNamePrefix = "KT468";

enum class TCpuType { HD64F2134ATF20, HD64F2134FA20 };

inline constexpr const char* kCpuATF20 = "HD64F2134ATF20";
inline constexpr const char* kCpuFA20 = "HD64F2134FA20";
const char* CpuName(TCpuType cpu);
std::optional<TCpuType> CpuFromName(const std::string& name);
// The bytes of one write block of each processor type.
inline constexpr std::uint32_t kBlockSizeATF20 = 128;
inline constexpr std::uint32_t kBlockSizeFA20 = 64;
std::uint32_t BlockSize(TCpuType cpu);

// One list entry: the file name (no folder) and its modification time as text.
struct TFirmwareFileEntry {
    std::string name;
    std::string date;
};

// The name matches "KT468???_V????.SFL" ('?' one character; letters in any case, as the
// file search of the system this tool came from matched them).
bool MatchesFirmwareName(const std::string& name);
// Modification time as "yyyy/mm/dd hh:mm:ss" (local time): its text order is its time order.
std::string FileDateText(const std::string& path);
// The matching files of folder, newest date text first, equal dates by name descending.
std::vector<TFirmwareFileEntry> ListFirmwareFiles(const std::string& folder);

// Splits text at CR LF, LF and lone CR.
std::vector<std::string> SplitLines(const std::string& text);
// The line that ends the header lines: it begins with "S0" (or "VS" when scrambled).
bool IsRecordHeaderLine(const std::string& line);

struct THeaderScan {
    bool ok = false;                   // a record header line ("S0" or "VS") was found
    std::vector<std::string> lines;    // the lines before it (empty when not ok)
};
// name must begin with "KT468"; the file is path.
THeaderScan ScanHeader(const std::string& path, const std::string& name);
THeaderScan ScanHeaderText(const std::string& text);

// A range of the image written to the radio; unused areas are not written at all.
struct TWriteArea {
    std::uint32_t start = 0;
    std::uint32_t length = 0;          // a whole number of blocks
    bool used = false;
};

// Data of the file that no write area covers.
struct TUnwrittenData {
    std::uint32_t bytes = 0;           // distinct addresses
    int line = 0;                      // the first record (in file order) holding such bytes
    std::uint32_t address = 0;         // its first such byte
};

// The processor reads its start address from 0x0000-0x0003.
inline constexpr std::uint32_t kResetVectorSize = 4;

struct TFirmwareImage {
    std::vector<Byte> bytes = std::vector<Byte>(kImageSize, 0xFF);
    TCpuType cpu = TCpuType::HD64F2134FA20;
    bool scrambled = false;
    std::vector<TWriteArea> areas;     // 1 for the ATF20, 5 for the FA20
    int progressMax = 0;               // block index of the highest data byte
    TUnwrittenData outside;            // data outside the areas (FA20 only)
    bool resetVector = false;          // records fill all of 0x0000-0x0003

    // Sum of all image bytes, 32 bits.
    std::uint32_t Sum() const;
    // What the radio's flash sums to after this write: the written areas from the image,
    // erased bytes (0xFF) elsewhere. Equals Sum() unless records lie outside the areas.
    std::uint32_t ExpectedFlashSum() const;
};

struct TReadError {
    int line = 0;                      // 1-based line of the file; 0 for the file as a whole
    std::string reason;
    std::string Text() const;          // "line N: reason" or the reason
};

// Reads the file for writing. key is needed only for a scrambled file. On failure error says
// why and the image is not usable.
bool ReadFirmwareFile(const std::string& path, TCpuType cpu, const TKey* key, TFirmwareImage& image,
                      TReadError& error);
bool ReadFirmwareText(const std::string& text, TCpuType cpu, const TKey* key, TFirmwareImage& image,
                      TReadError& error);

// "CHECKSUM\r\n        %8.8x (PC)"
std::string PcChecksumText(std::uint32_t sum);
// "\r\n        %2.2x%2.2x%2.2x%2.2x (CPU)", the bytes in the order received
std::string CpuChecksumText(const Byte bytes[4]);
std::uint32_t CpuChecksumValue(const Byte bytes[4]);

// What the file leaves the radio without, one line each ("N bytes outside the areas written for
// HD64F2134FA20, first at line L, address 0xAAAAA"); empty when the radio gets all of it.
std::vector<std::string> UnwrittenWarnings(const TFirmwareImage& image);
inline constexpr const char* kNoResetVector =
    "No data at the reset vector 0x00000-0x00003: a radio written with this file cannot start";

// The three outcomes of the checksum comparison after writing.
enum class TVerdict { Match, Differs, NoChecksum };
inline constexpr const char* kVerdictMatch = "Checksum check: the radio's flash matches the firmware file.";
inline constexpr const char* kVerdictMismatch = "WARNING: the radio's flash differs from the firmware file.";
inline constexpr const char* kVerdictNoChecksum = "WARNING: the radio sent no checksum, so the write is unconfirmed.";
// The verdict's line: its sentence and the two sums compared ("CPU xxxxxxxx, expected yyyyyyyy"),
// or only the expected one when the radio sent none.
std::string VerdictText(TVerdict verdict, std::uint32_t cpuSum, const TFirmwareImage& image);
inline constexpr const char* kFileRefused = "The firmware file cannot be written.";
// Reason texts shared by the window and the command line.
inline constexpr const char* kNoKeyReason = "the file is scrambled and no unscrambling key is set";

}  // namespace mv53::fw
