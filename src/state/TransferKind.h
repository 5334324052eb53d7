#pragma once
// The transfer kinds of the clone window: what one run of it reads from or writes to the radio.

enum class TTransferKind : int {
    Upload = 0,       // the whole memory from the radio
    UserData = 1,     // channels, common and tuner areas to the radio
    Factory = 2,      // the factory area to the radio
    AntTuner = 3,     // the two antenna tuner tables to the radio
    ReadSerial = 5,   // the serial number from the radio
};

// Where the main window's Download stands: it writes the user data, reads the radio back and
// writes the factory area, each in a clone window of its own.
enum class TChainStage : int {
    None = 0,         // not in a Download
    UserData = 1,
    ReadBack = 2,
    Factory = 3,
};
