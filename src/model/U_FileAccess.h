#pragma once
// The data file (".m53", ".x53"): the 17927-byte radio image on disk, nothing else.

#include "model/MVmem.h"
#include "model/Text.h"

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

inline constexpr const char* kFileReadError = "File read error  File Name = %s";
inline constexpr const char* kFileWriteError = "File write error  File Name = %s";
inline constexpr const char* kFileFormatError = "The file cannot be opened.\r\nThe file format is not correct.";
inline constexpr const char* kDataFileSuffix = "m53";
inline constexpr const char* kNotADataFilePrompt = "This file does not look like a KT-4680 data file. Open it anyway?";

// Why an image read from a file of FileLength bytes does not look like a data file, or an
// empty text when it does. Every data file that this program or a radio wrote holds the model
// id "kt468h" at offset 0 and the image marker 0xA569 at offsets 16388 and 17924, and is
// exactly 17927 bytes long; any other file of that length or more still reads (a picture
// renamed to ".m53" too), so the callers ask or warn first.
std::string DataFileDeviation(const TText& Image, std::uintmax_t FileLength);

// Asked by ReadDataFile about a file that reads but does not look like a data file, with the
// deviation; false leaves records and image as they were, without a further message.
using TUnusualFileHook = std::function<bool(const std::string& deviation)>;

// Reads the file's first 17927 bytes, decodes and repairs them; on success records and image
// are replaced (FwVersion becomes "----"). On failure an error is shown and nothing changes.
// A file that does not look like a data file is taken without a word unless a hook is given.
bool ReadDataFile(const std::string& FileName, TMVmem& Records, TText& Image, const TUnusualFileHook& Unusual = {});
// Encodes the records into the image (serial bytes zero) and writes the image. A file the
// user may not write is refused. An existing file is replaced in one step, keeping its owner
// and access rights, and on failure stays as it was; a file with other names (hard links),
// another user's file, or one whose folder cannot take a new file is written in place and
// read back whole. On failure an error is shown.
bool WriteDataFile(const std::string& FileName, TMVmem& Records, TText& Image);

namespace mv53 {
// The step of WriteDataFile that gives the new file the owner, group and access rights of the
// file it replaces; false when the owner cannot be kept, and the old file is then written in
// place. The model makes no system calls: each program installs the platform's step at start
// (platform/FileOwner.h). Without one a replacing file keeps the rights it was created with.
using TOwnerAndModeStep = bool (*)(std::FILE* newFile, const std::string& replaced);
// Installs the step (nullptr: none); returns the previous one.
TOwnerAndModeStep SetOwnerAndModeStep(TOwnerAndModeStep step);
// The message text with the file name in place of %s.
std::string WithFileName(const char* text, const std::string& fileName);
// The hook of the windows: asks kNotADataFilePrompt (Yes/No) with the file and the deviation
// below it; true only for Yes.
TUnusualFileHook AskBeforeUnusualFile(const std::string& fileName);
}  // namespace mv53
