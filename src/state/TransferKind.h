#pragma once
// The transfer kinds of the clone window: what one run of it reads from or writes to the radio,
// and the request that asks for one run.

enum class TTransferKind : int {
    Upload = 0,       // the whole memory from the radio
    UserData = 1,     // channels, common and tuner areas to the radio
    Factory = 2,      // the factory area to the radio
    AntTuner = 3,     // the two antenna tuner tables to the radio
    ReadSerial = 5,   // the serial number from the radio
};

// Which step of the document's Download a transfer is; the clone window names it.
enum class TChainStage : int {
    None = 0,         // not in a Download
    UserData = 1,
    ReadBack = 2,
    Factory = 3,
    Backup = 4,       // the radio read before the first write to it (not a step of the chain)
};

// Why an image read from the radio is kept as a backup; the backup file is named after it.
enum class TBackupReason : int {
    Upload = 0,        // "upload": the Upload command (also the one before a service window)
    BeforeWrite = 1,   // "before-write": read before the first write to the radio
    ReadBack = 2,      // "read-back": the Download's read-back
    SerialWriter = 3,  // "serial-writer": the serial writer's read
};

// One run of the clone window: what it transfers and how it behaves while it does.
struct TTransferRequest {
    TTransferKind Kind = TTransferKind::Upload;
    // The window starts the transfer by itself (no Ok or Cancel to press).
    bool AutoStart = false;
    // Part of a chain of transfers: success is not announced (the chain's last step does that).
    bool InChain = false;
    // The Download step shown above the pictures ("Step 2 of 3: ..."); None shows no step line.
    TChainStage Stage = TChainStage::None;
    int Step = 0;
    int StepCount = 0;
    // For an Upload: why its image is kept as a backup.
    TBackupReason Backup = TBackupReason::Upload;
};
