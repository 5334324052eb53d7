#include "model/U_FileAccess.h"

#include "model/Prompt.h"
#include "model/U_E2prom.h"

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <system_error>

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
        std::error_code ec;
        if (!fs::exists(tempPath, ec))
            return nullptr;   // the folder cannot take a new file at all
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

}  // namespace mv53

bool ReadDataFile(const std::string& FileName, TMVmem& Records, TText& Image)
{
    TText newImage;
    TMVmem newRecords;
    ClearRecords(newRecords);

    const auto readError = [&] {
        mv53::ShowError(mv53::WithFileName(kFileReadError, FileName));
        return false;
    };

    std::error_code ec;
    if (FileName.empty() || fs::is_directory(FileName, ec))
        return readError();
    std::ifstream in(FileName, std::ios::binary);
    if (!in.is_open())
        return readError();
    in.read(reinterpret_cast<char*>(newImage.Data()), newImage.Size());
    const std::streamsize got = in.gcount();
    if (in.bad())
        return readError();
    if (got < newImage.Size()) {
        mv53::ShowError(kFileFormatError);
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

    const auto writeError = [&] {
        mv53::ShowError(mv53::WithFileName(kFileWriteError, FileName));
        return false;
    };
    if (FileName.empty())
        return writeError();

    // The image goes to a new file first and replaces the target in one rename, so that a
    // failure at any step leaves an existing file exactly as it was.
    const fs::path target = ResolveTarget(FileName);
    std::error_code ec;
    if (fs::is_directory(target, ec))
        return writeError();
    fs::path tempPath;
    FilePtr file = CreateTempBeside(target, tempPath);
    if (!file)
        return writeError();

    bool ok = std::fwrite(Image.Data(), 1, static_cast<size_t>(Image.Size()), file.get()) ==
              static_cast<size_t>(Image.Size());
    ok = std::fflush(file.get()) == 0 && ok;
    ok = std::fclose(file.release()) == 0 && ok;
    if (ok) {
        const fs::file_status old = fs::status(target, ec);
        if (!ec && fs::exists(old))
            fs::permissions(tempPath, old.permissions(), ec);   // keep the file's access rights
        fs::rename(tempPath, target, ec);
        ok = !ec;
    }
    if (!ok) {
        fs::remove(tempPath, ec);
        return writeError();
    }
    return true;
}
