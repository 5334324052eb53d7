#pragma once
// The radio link as the main window uses it: the transfers and the COM port dialog.

#include "state/U_Global.h"

#include <cstdint>
#include <functional>
#include <string>

class QWidget;

// The transfers and the COM port dialog of the radio link, as the main window calls them.
// A missing function leaves its command disabled.
struct TRadioLink {
    // One transfer (an upload into CurrentMem / CurrentText, or a download); true on success.
    // A serial number read puts the number the radio reported into readSerialNo.
    std::function<bool(TProgramState&, const TTransferRequest&, QWidget* parent, std::string* readSerialNo)> Transfer;
    // The COM port dialog on a copy of the port number; true (and the number changed) on OK.
    std::function<bool(int32_t& comPortNo, QWidget* parent)> Configure;
    // The same dialog with the "Back up the radio before writing" box on a copy of the choice;
    // used instead of Configure where backups are kept.
    std::function<bool(int32_t& comPortNo, bool& backupBeforeWrite, QWidget* parent)> ConfigureWithBackup;
};

// The clone window and the COM port dialog of this build.
TRadioLink DefaultRadioLink();
