#pragma once
// The radio link as the main window uses it: the transfers and the COM port dialog.

#include "state/U_Global.h"

#include <cstdint>
#include <functional>

class QWidget;

// The transfers and the COM port dialog of the radio link, as the main window calls them.
// A missing function leaves its command disabled.
struct TRadioLink {
    // A whole-memory upload into CurrentMem / CurrentText; true on success.
    std::function<bool(TProgramState&, QWidget* parent)> Upload;
    // A download of one transfer kind (1 user data, 2 factory area, ...); true on success.
    std::function<bool(TProgramState&, int kind, QWidget* parent)> Download;
    // The COM port dialog on a copy of the port number; true (and the number changed) on OK.
    std::function<bool(int32_t& comPortNo, QWidget* parent)> Configure;
};

// The clone window and the COM port dialog of this build.
TRadioLink DefaultRadioLink();
