// Timing of one backup write: a full 500-channel image stored as a data file in a radio's
// backup folder that already holds 50 backups (so the keeping rule removes one each time).
// Prints the median and the worst of the runs in milliseconds.

#include "document/BackupStore.h"
#include "model/U_E2prom.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

int main()
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "mv53-bench-backup";
    std::filesystem::remove_all(folder);
    TMVmem mem;
    ClearRecords(mem);
    for (int i = 0; i < TChannels::Count(); ++i) {
        mem.Channels().Items(i).SetStatus(mv53::kChannelUsed);
        mem.Channels().Items(i).SetTag("CH " + std::to_string(i));
    }
    mem.FactoryOpt().SetSerialNo("1C234567");
    TText image;
    EncodeImage(image, mem, true);
    const mv53::TBackupStore store(folder.string());
    std::time_t when = 1700000000;
    for (int i = 0; i < mv53::kBackupsKeptNewest; ++i)
        store.Store(mem, image, TBackupReason::Upload, when++);
    constexpr int kRuns = 100;
    std::vector<double> ms;
    for (int i = 0; i < kRuns; ++i) {
        const auto start = std::chrono::steady_clock::now();
        store.Store(mem, image, TBackupReason::BeforeWrite, when++);
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::filesystem::remove_all(folder);
    std::sort(ms.begin(), ms.end());
    std::printf("Backup write (500 channels, 51 backups kept) median %7.3f ms  max %7.3f ms (goal < 10 ms, %d runs)\n",
                ms[ms.size() / 2], ms.back(), kRuns);
    return 0;
}
