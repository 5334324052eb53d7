#pragma once
// The backups around the transfers of one run of the program: every image read from a radio
// is kept in the backup store, and before the first write to a radio the radio is read (in a
// clone run of its own, "Backing up the radio") unless this run has read it already and every
// write since went through. The document's records stay as they were during that read.

#include "document/BackupStore.h"
#include "state/U_Global.h"

#include <functional>
#include <optional>
#include <string>

namespace mv53 {

class TRadioBackups {
public:
    // One clone run of the request on the program state; true on success.
    using TTransfer = std::function<bool(const TTransferRequest&)>;

    explicit TRadioBackups(const std::string& dataFolder) : m_store(dataFolder) {}

    const TBackupStore& Store() const { return m_store; }
    // Whether a write is preceded by a backup read ("Back up the radio before writing").
    bool BeforeWrite() const { return m_beforeWrite; }
    void SetBeforeWrite(bool on) { m_beforeWrite = on; }
    // Told the path of each backup written (the command line prints it).
    void SetStoredHook(std::function<void(const std::string& path)> hook) { m_stored = std::move(hook); }

    // The transfer with the backups around it: a write first gets its backup read (a failed
    // read or an unwritable backup stops it before anything is sent), an upload's image is kept.
    bool Run(TProgramState& state, const TTransferRequest& request, const TTransfer& transfer);
    // The backup read a write needs, if it needs one; false when it failed (having said why).
    bool EnsureBackup(TProgramState& state, const TTransfer& transfer, bool autoStart = false);
    // Reads the radio and keeps its image as a backup, leaving the records as they were; the
    // image read goes into image. False when the read or the backup failed.
    bool ReadRadio(TProgramState& state, const TTransfer& transfer, TBackupReason reason, bool autoStart,
                   TText& image);
    // The image this run read from the radio last, if any.
    const TText* LastRead() const { return m_lastRead ? &*m_lastRead : nullptr; }

    static bool Writes(TTransferKind kind);

private:
    // Keeps the image just read; false when the backup could not be written.
    bool Keep(const TProgramState& state, TBackupReason reason);

    TBackupStore m_store;
    bool m_beforeWrite = true;
    std::function<void(const std::string&)> m_stored;
    std::optional<TText> m_lastRead;
    // The radio on this port was read in this run and every write since went through.
    std::optional<int32_t> m_knownPort;
};

}  // namespace mv53
