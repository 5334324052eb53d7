#pragma once
// The program state of the main window: the records, the radio image, the grid's working copy,
// the recent files and the flags. One object, owned by the main window (or by a test or the
// command line); every window reads and sets it through the reference it is given.

#include "model/EditHistory.h"
#include "model/MVmem.h"
#include "model/Text.h"
#include "state/TransferKind.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

inline constexpr const char* kNoFileName = "<none>";

// The receive buffer shared by every window that talks to the radio. Bytes are stored while
// count is below the buffer size; count goes on counting past it.
struct TReceiveBuffer {
    static constexpr int kSize = 2048;
    int32_t count = 0;
    std::array<uint8_t, kSize> bytes{};

    void Reset() { count = 0; }
    void Append(const uint8_t* data, int n)
    {
        for (int i = 0; i < n; ++i) {
            if (count >= 0 && count < kSize)
                bytes[static_cast<size_t>(count)] = data[i];
            ++count;
        }
    }
};

// What the printout list selects.
struct TPrintSelection {
    bool Common = true;
    bool Selcall = false;
    bool ChannelData = true;
    bool Any() const { return Common || Selcall || ChannelData; }
};

// The factory reports of the alignment, temperature correction and antenna tuner windows; None
// prints the user's report.
enum class TServiceReport { None, Alignment, TempCorrect, AntTuner };

enum class TOperatingMode { NormalMode, DealerMode, FactoryMode, SerialWriterMode, FirmwareMode };

struct TProgramState {
    TMVmem CurrentMem;
    TText CurrentText;
    TFactoryOpt FactoryBackup;
    TChannels GridChannels;
    // The undo history of the records: fresh with new data (New, Open, Upload), its saved mark
    // set by a save.
    mv53::TEditHistory History;

    std::vector<std::string> RecentFiles;
    std::string CurrentFileName = kNoFileName;
    std::string ProgramDir;
    std::string HelpFileName = "MV53Win.chm";
    std::string HelpFolder;        // pages that replace the built-in help (a translated guide); empty: none
    std::string ConfigFileName;    // the configuration file of this run (other windows read their keys)
    std::string ModePrefix;
    TOperatingMode Mode = TOperatingMode::NormalMode;

    int32_t ComPortNo = 0;

    bool Modified = false;
    bool A1AChanged = false;
    bool HardwareChanged = false;
    bool KeyFuncChanged = false;
    bool SystemChanged = false;
    bool ServiceMode = false;
    bool SerialMode = false;
    bool ReadOnlyFile = false;
    TPrintSelection PrintSelection;
    TServiceReport ServicePrint = TServiceReport::None;

    // Radio link: the shared receive buffer and the flag the one-second silence timer sets.
    TReceiveBuffer RxBuffer;
    bool TimedOut = false;
};
