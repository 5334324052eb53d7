#pragma once
// What a service window asks of the window that opened it: the transfers of the clone window,
// the main window's Open and Upload commands, help and printing. The main window fills it in;
// tests fill it with the real clone window or with recorders. An empty function disables the
// command that needs it.

#include "state/U_Global.h"

#include <functional>
#include <string>

class QWidget;


struct TServiceHost {
    // One transfer of the clone window (a download, or a serial number read); true on success.
    // For a serial number read the number read goes into readSerialNo.
    std::function<bool(TProgramState&, const TTransferRequest&, QWidget* parent, std::string* readSerialNo)> Download;
    // The document's Upload as a step of a chain: no commit, no save question, it starts by
    // itself and success is not announced; true when the radio's memory replaced the records.
    std::function<bool()> Upload;
    // The document's Open on behalf of the window: the grid keeps its channels.
    std::function<void()> FileOpen;
    // The main window's CommitGrid: the channel grid into CurrentMem.
    std::function<bool()> CommitGrid;
    // Opens a help topic by context number.
    std::function<void(int context)> Help;
    // The print setup dialog and, on OK, the window's factory report, with the service print
    // flag of the report set around the print run.
    std::function<void(TServiceReport report, QWidget* parent)> Print;
    // The live adjustment talks over this device instead of the port ComPortNo + 1 (tests).
    std::string SpotAdjDevice;
};

inline constexpr const char* kServiceDownloadPrompt = "Do you download data to the radio?";
