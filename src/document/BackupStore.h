#pragma once
// The backups of the radios: every image read from a radio is kept as a data file (the bytes
// Save writes) under <data folder>/backups/<serial number>/<YYYY-MM-DD_HHMMSS>_<reason>.m53.
// A radio whose serial number is blank or all zeros is filed under "unknown"; a second backup
// of the same radio in the same second gets "-2", "-3", ... after its reason. Of each radio's
// backups the first one is kept for ever (the radio as it came) and of the rest the newest
// kBackupsKeptNewest.

#include "model/MVmem.h"
#include "model/Text.h"
#include "state/TransferKind.h"

#include <ctime>
#include <string>
#include <vector>

namespace mv53 {

inline constexpr const char* kBackupWriteError = "Backup write error";
inline constexpr const char* kUnknownSerial = "unknown";
inline constexpr const char* kBackupsFolder = "backups";
inline constexpr int kBackupsKeptNewest = 50;

// "upload", "before-write", "read-back", "serial-writer".
const char* BackupReasonName(TBackupReason reason);

struct TBackupEntry {
    std::string Serial;   // the radio's folder: its serial number or "unknown"
    std::string Time;     // local time of the read, "YYYY-MM-DDTHH:MM:SS"
    std::string Reason;   // BackupReasonName of why it was read
    std::string Path;
    int Sequence = 1;     // 2, 3, ... for further backups of the same second
};

class TBackupStore {
public:
    // Backups under dataFolder/backups.
    explicit TBackupStore(const std::string& dataFolder);
    const std::string& Folder() const { return m_folder; }

    // Writes the image of the radio's records as a data file and applies the keeping rule to
    // the radio's folder. Returns the file's path, or an empty text after a failure, which was
    // shown as kBackupWriteError with the path and the cause.
    std::string Store(const TMVmem& records, const TText& image, TBackupReason reason,
                      std::time_t when = std::time(nullptr)) const;
    // The backups, newest first; of one radio's folder when serial is given.
    std::vector<TBackupEntry> List(const std::string& serial = {}) const;
    // The keeping rule on one radio's folder.
    void Prune(const std::string& serial) const;

    // The folder name of a serial number.
    static std::string SerialFolder(const std::string& serialNo);

private:
    std::string m_folder;
};

}  // namespace mv53
