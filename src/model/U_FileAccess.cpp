#include "model/U_FileAccess.h"

#include "model/Prompt.h"
#include "model/U_E2prom.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <system_error>
#include <cstring>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// A new file beside the target that nobody else uses: created exclusively, under a name
// that a failed write may leave behind only if the process dies in the middle.
FilePtr CreateTempBeside(const fs::path& target, fs::path& tempPath)
{
    static std::atomic<unsigned> counter{0};
    static const unsigned salt = std::random_device{}() & 0xFFFFFF;
    const fs::path folder = target.parent_path();
    const std::string base = "." + target.filename().string() + ".tmp";
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = folder / (base + std::to_string(salt) + "-" + std::to_string(counter.fetch_add(1)));
        if (FilePtr f{std::fopen(tempPath.string().c_str(), "wbx")})
            return f;
        const int error = errno;
        std::error_code ec;
        if (!fs::exists(tempPath, ec)) {
            errno = error;
            return nullptr;   // the folder cannot take a new file at all
        }
    }
    return nullptr;
}

// Where the bytes go: the file a symbolic link points to, so that the link stays a link.
fs::path ResolveTarget(const fs::path& fileName)
{
    std::error_code ec;
    if (fs::is_symlink(fileName, ec)) {
        fs::path resolved = fs::weakly_canonical(fileName, ec);
        if (!ec)
            return resolved;
    }
    return fileName;
}

// Writes the image over the file's own bytes, cuts the file to the image's length and reads it
// back whole: true only when the file then holds exactly the image.
bool WriteInPlace(const fs::path& target, const TText& image)
{
    const auto size = static_cast<size_t>(image.Size());
    {
        FilePtr f{std::fopen(target.string().c_str(), "r+b")};
        if (!f)
            return false;
        bool ok = std::fwrite(image.Data(), 1, size, f.get()) == size;
        ok = std::fflush(f.get()) == 0 && ok;
        ok = std::fclose(f.release()) == 0 && ok;
        if (!ok)
            return false;
    }
    std::error_code ec;
    if (fs::file_size(target, ec) != size || ec) {
        fs::resize_file(target, size, ec);
        if (ec)
            return false;
    }
    std::vector<unsigned char> back(size + 1);
    FilePtr f{std::fopen(target.string().c_str(), "rb")};
    if (!f)
        return false;
    const size_t got = std::fread(back.data(), 1, back.size(), f.get());
    return got == size && std::memcmp(back.data(), image.Data(), size) == 0;
}

// Installed by the program at start (the platform's calls); none: nothing is kept.
mv53::TOwnerAndModeStep g_ownerAndModeStep = nullptr;

std::string ErrorText(int error)
{
    return std::generic_category().message(error);
}

}  // namespace

namespace mv53 {

std::string WithFileName(const char* text, const std::string& fileName)
{
    std::string s = text;
    size_t pos = s.find("%s");
    if (pos != std::string::npos)
        s.replace(pos, 2, fileName);
    return s;
}

TOwnerAndModeStep SetOwnerAndModeStep(TOwnerAndModeStep step)
{
    const TOwnerAndModeStep previous = g_ownerAndModeStep;
    g_ownerAndModeStep = step;
    return previous;
}

TUnusualFileHook AskBeforeUnusualFile(const std::string& fileName)
{
    return [fileName](const std::string& deviation) {
        return Prompt().Message(kNotADataFilePrompt, PromptIcon::Confirmation, PromptButtons::YesNo,
                                fileName + ": " + deviation) == PromptAnswer::Yes;
    };
}

}  // namespace mv53

std::string DataFileDeviation(const TText& Image, std::uintmax_t FileLength)
{
    if (GetText(Image, BytesField(0, 6)) != mv53::kModelTextId)
        return std::string("it does not begin with the model id \"") + mv53::kModelTextId + "\"";
    for (const mv53::ImageOffset offset : {mv53::kCommonMarkerOffset, mv53::kFactoryMarkerOffset})
        if (GetBits(Image, BytesField(offset, 2)) != mv53::kImageMarker)
            return "the image marker 0xA569 is missing at offset " + std::to_string(offset);
    if (FileLength != static_cast<std::uintmax_t>(Image.Size()))
        return "it is " + std::to_string(FileLength) + " bytes long, a data file " + std::to_string(Image.Size());
    return {};
}

bool ReadDataFile(const std::string& FileName, TMVmem& Records, TText& Image, const TUnusualFileHook& Unusual)
{
    TText newImage;
    TMVmem newRecords;
    ClearRecords(newRecords);

    // The system's message, and the reason below it.
    const auto readError = [&](int error) {
        mv53::ShowError(mv53::WithFileName(kFileReadError, FileName), ErrorText(error));
        return false;
    };

    std::error_code ec;
    if (FileName.empty())
        return readError(ENOENT);
    if (fs::is_directory(FileName, ec))
        return readError(EISDIR);
    errno = 0;
    FilePtr in{std::fopen(FileName.c_str(), "rb")};
    if (!in)
        return readError(errno);
    const size_t got = std::fread(newImage.Data(), 1, static_cast<size_t>(newImage.Size()), in.get());
    if (std::ferror(in.get()))
        return readError(errno != 0 ? errno : EIO);
    if (got < static_cast<size_t>(newImage.Size())) {
        mv53::ShowError(kFileFormatError);
        return false;
    }
    if (Unusual) {
        // Only the first 17927 bytes are used; one more byte tells a longer file.
        const bool longer = std::fgetc(in.get()) != EOF;
        const std::string deviation = DataFileDeviation(newImage, got + (longer ? 1u : 0u));
        if (!deviation.empty() && !Unusual(deviation))
            return false;
    }

    if (!DecodeImage(newImage, newRecords))
        return false;
    if (!CheckRecords(newRecords)) {
        mv53::ShowError(kFileFormatError);
        return false;
    }
    Records.Assign(newRecords);
    Image.Assign(newImage);
    return true;
}

bool WriteDataFile(const std::string& FileName, TMVmem& Records, TText& Image)
{
    EncodeImage(Image, Records, false);

    // The system's message, and the reason (the last failed call's) below it.
    const auto writeError = [&](int error = errno) {
        mv53::ShowError(mv53::WithFileName(kFileWriteError, FileName), ErrorText(error != 0 ? error : EIO));
        return false;
    };
    if (FileName.empty())
        return writeError(ENOENT);
    errno = 0;

    const fs::path target = ResolveTarget(FileName);
    std::error_code ec;
    if (fs::is_directory(target, ec))
        return writeError(EISDIR);
    const bool exists = fs::exists(target, ec);
    // A file the user may not write is refused, exactly as writing it in place would be:
    // replacing it by a rename would need only the folder's permission.
    if (exists && !FilePtr{std::fopen(target.string().c_str(), "r+b")})
        return writeError();

    // A file that other names share (hard links) is written in place, so that every name sees
    // the new data.
    if (exists && fs::hard_link_count(target, ec) > 1 && !ec)
        return WriteInPlace(target, Image) || writeError();

    // Otherwise the image goes to a new file first and replaces the target in one rename, so
    // that a failure at any step leaves an existing file exactly as it was.
    fs::path tempPath;
    FilePtr file = CreateTempBeside(target, tempPath);
    if (!file) {
        // The folder cannot take a new file, but the file itself can be written: in place,
        // checked by reading it back whole.
        if (exists)
            return WriteInPlace(target, Image) || writeError();
        return writeError();
    }

    bool ok = std::fwrite(Image.Data(), 1, static_cast<size_t>(Image.Size()), file.get()) ==
              static_cast<size_t>(Image.Size());
    ok = std::fflush(file.get()) == 0 && ok;
    // The new file takes the old one's owner and access rights; where the owner cannot be
    // kept, the old file is written in place instead of being replaced.
    bool keepsOwner = true;
    if (ok && exists)
        keepsOwner = g_ownerAndModeStep == nullptr || g_ownerAndModeStep(file.get(), target.string());
    ok = std::fclose(file.release()) == 0 && ok;
    if (ok && !keepsOwner) {
        fs::remove(tempPath, ec);
        return WriteInPlace(target, Image) || writeError();
    }
    if (ok) {
        fs::rename(tempPath, target, ec);
        ok = !ec;
    }
    if (!ok) {
        const int error = ec ? ec.value() : errno;
        fs::remove(tempPath, ec);
        return writeError(error);
    }
    return true;
}
