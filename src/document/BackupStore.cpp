#include "document/BackupStore.h"

#include "model/Prompt.h"
#include "model/U_FileAccess.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace mv53 {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kStampLength = 17;   // "YYYY-MM-DD_HHMMSS"

// Takes the data file writer's message instead of showing it: the caller words the failure.
class CapturingPrompt final : public IPrompt {
public:
    PromptAnswer Message(const std::string& text, PromptIcon, PromptButtons buttons, const std::string&) override
    {
        captured = text;
        return SafeAnswer(buttons);
    }
    std::optional<OpenFileResult> OpenFile(const OpenFileRequest&) override { return std::nullopt; }
    std::optional<std::string> SaveFile(const SaveFileRequest&) override { return std::nullopt; }
    std::optional<std::string> ChooseFolder(const std::string&, const std::string&) override { return std::nullopt; }
    std::string captured;
};

std::string Stamp(std::time_t when)
{
    char text[32] = {};
    const std::tm* local = std::localtime(&when);
    if (local == nullptr || std::strftime(text, sizeof text, "%Y-%m-%d_%H%M%S", local) != kStampLength)
        return "0000-00-00_000000";
    return text;
}

bool IsDigits(const std::string& s)
{
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

// A backup's entry from its file name, or false for a file that is no backup.
bool ParseName(const fs::path& file, TBackupEntry& entry)
{
    if (file.extension() != std::string(".") + kDataFileSuffix)
        return false;
    const std::string stem = file.stem().string();
    if (stem.size() < kStampLength + 2 || stem[kStampLength] != '_' || stem[10] != '_')
        return false;
    const std::string date = stem.substr(0, 10);
    const std::string time = stem.substr(11, 6);
    if (!IsDigits(time) || !IsDigits(date.substr(0, 4)))
        return false;
    std::string reason = stem.substr(kStampLength + 1);
    entry.Sequence = 1;
    if (const auto dash = reason.rfind('-'); dash != std::string::npos && IsDigits(reason.substr(dash + 1))) {
        entry.Sequence = std::stoi(reason.substr(dash + 1));
        reason.resize(dash);
    }
    entry.Time = date + "T" + time.substr(0, 2) + ":" + time.substr(2, 2) + ":" + time.substr(4, 2);
    entry.Reason = reason;
    entry.Path = file.string();
    return true;
}

bool Newer(const TBackupEntry& a, const TBackupEntry& b)
{
    return a.Time != b.Time ? a.Time > b.Time : a.Sequence > b.Sequence;
}

std::vector<TBackupEntry> ListFolder(const fs::path& folder, const std::string& serial)
{
    std::vector<TBackupEntry> entries;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        TBackupEntry entry;
        if (it->is_regular_file(error) && ParseName(it->path(), entry)) {
            entry.Serial = serial;
            entries.push_back(std::move(entry));
        }
    }
    return entries;
}

}  // namespace

const char* BackupReasonName(TBackupReason reason)
{
    switch (reason) {
    case TBackupReason::BeforeWrite: return "before-write";
    case TBackupReason::ReadBack: return "read-back";
    case TBackupReason::SerialWriter: return "serial-writer";
    case TBackupReason::Upload: break;
    }
    return "upload";
}

TBackupStore::TBackupStore(const std::string& dataFolder) : m_folder((fs::path(dataFolder) / kBackupsFolder).string()) {}

std::string TBackupStore::SerialFolder(const std::string& serialNo)
{
    std::string name;
    for (const char c : serialNo)
        if (c != ' ' && c != '\0')
            name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    if (name.find_first_not_of('0') == std::string::npos)
        return kUnknownSerial;
    return name;
}

std::string TBackupStore::Store(const TMVmem& records, const TText& image, TBackupReason reason, std::time_t when) const
{
    const std::string serial = SerialFolder(records.FactoryOpt().SerialNo());
    const fs::path folder = fs::path(m_folder) / serial;
    const std::string stamp = Stamp(when);
    const std::string base = stamp + "_" + BackupReasonName(reason);
    // Further backups of the same second are numbered after those already there.
    int sequence = 1;
    for (const TBackupEntry& e : ListFolder(folder, serial))
        if (e.Path.find(stamp) != std::string::npos)
            sequence = std::max(sequence, e.Sequence + 1);
    fs::path path;
    do {
        path = folder / (base + (sequence > 1 ? "-" + std::to_string(sequence) : "") + "." + kDataFileSuffix);
        ++sequence;
    } while (fs::exists(path));

    std::error_code error;
    fs::create_directories(folder, error);
    std::string cause = error ? error.message() : std::string();
    if (!error) {
        TMVmem mem = records;
        TText text;
        text.Assign(image);
        CapturingPrompt quiet;
        bool written = false;
        {
            ScopedPrompt scoped(quiet);
            written = WriteDataFile(path.string(), mem, text);
        }
        if (written) {
            Prune(serial);
            return path.string();
        }
        cause = quiet.captured;
    }
    ShowError(kBackupWriteError, path.string() + (cause.empty() ? "" : "\n" + cause));
    return {};
}

std::vector<TBackupEntry> TBackupStore::List(const std::string& serial) const
{
    std::vector<TBackupEntry> entries;
    std::error_code error;
    if (!serial.empty()) {
        entries = ListFolder(fs::path(m_folder) / serial, serial);
    } else {
        for (fs::directory_iterator it(m_folder, error), end; !error && it != end; it.increment(error))
            if (it->is_directory(error)) {
                auto more = ListFolder(it->path(), it->path().filename().string());
                entries.insert(entries.end(), more.begin(), more.end());
            }
    }
    std::stable_sort(entries.begin(), entries.end(), &Newer);
    return entries;
}

void TBackupStore::Prune(const std::string& serial) const
{
    const std::vector<TBackupEntry> entries = List(serial);
    // entries.back() is the first backup of the radio, kept for ever.
    for (std::size_t i = kBackupsKeptNewest; i + 1 < entries.size(); ++i) {
        std::error_code error;
        fs::remove(entries[i].Path, error);
    }
}

}  // namespace mv53
