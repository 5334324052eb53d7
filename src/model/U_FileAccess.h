#pragma once
// The data file (".m53", ".x53"): the 17927-byte radio image on disk, nothing else.

#include "model/MVmem.h"
#include "model/Text.h"

#include <string>

inline constexpr const char* kFileReadError = "File read error  File Name = %s";
inline constexpr const char* kFileWriteError = "File write error  File Name = %s";
inline constexpr const char* kFileFormatError = "The file cannot be opened.\r\nThe file format is not correct.";
inline constexpr const char* kDataFileSuffix = "m53";

// Reads the file's first 17927 bytes, decodes and repairs them; on success records and image
// are replaced (FwVersion becomes "----"). On failure an error is shown and nothing changes.
bool ReadDataFile(const std::string& FileName, TMVmem& Records, TText& Image);
// Encodes the records into the image (serial bytes zero) and writes the image. A file the
// user may not write is refused. An existing file is replaced in one step, keeping its owner
// and access rights, and on failure stays as it was; a file with other names (hard links),
// another user's file, or one whose folder cannot take a new file is written in place and
// read back whole. On failure an error is shown.
bool WriteDataFile(const std::string& FileName, TMVmem& Records, TText& Image);

namespace mv53 {
// The message text with the file name in place of %s.
std::string WithFileName(const char* text, const std::string& fileName);
}  // namespace mv53
