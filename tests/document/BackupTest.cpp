// The backups: the store's names and keeping rule, and the backup read and the comparison
// around the document's Download, with recorded transfers.

#include "DocTestSupport.h"
#include "ScratchDir.h"
#include "document/RadioBackups.h"
#include "model/U_E2prom.h"

#include <filesystem>

namespace mv53::test {
namespace {

TMVmem RadioRecords(const char* serial)
{
    return ClearedRecords([serial](TMVmem& m) {
        SetTag(m, "RADIO");
        m.FactoryOpt().SetSerialNo(serial);
    });
}

TEST(BackupStore, KeepsTheFirstAndTheNewestFiftyAndNumbersOneSecondsBackups)
{
    ScratchDir dir;
    const TBackupStore store(dir.Root());
    const TMVmem radio = RadioRecords("12345678");
    const TText image = EncodedImage(radio, true);
    const std::time_t start = 1700000000;
    std::vector<std::string> paths;
    for (int i = 0; i < 60; ++i)
        paths.push_back(store.Store(radio, image, TBackupReason::Upload, start + 60 * i));
    const std::string again = store.Store(radio, image, TBackupReason::BeforeWrite, start + 60 * 59);

    const auto kept = store.List("12345678");
    ASSERT_EQ(kept.size(), 51u);
    EXPECT_EQ(kept[0].Path, again);
    EXPECT_EQ(kept[0].Reason, "before-write");
    EXPECT_EQ(kept[1].Path, paths[59]);
    EXPECT_EQ(kept[49].Path, paths[11]);
    EXPECT_EQ(kept[50].Path, paths[0]);
    EXPECT_EQ(TagOfFile(paths[0]), "RADIO");
}

TEST(BackupStore, FilesARadioWithoutNumberUnderUnknown)
{
    for (const char* serial : {"", "00000000", "        "})
        EXPECT_EQ(TBackupStore::SerialFolder(serial), kUnknownSerial) << serial;
    EXPECT_EQ(TBackupStore::SerialFolder("0A12345N"), "0A12345N");
}

class BackupDocumentTest : public DocumentTest {
protected:
    ScratchDir data;
    TRadioBackups backups{data.Root()};
    TDocument backedUp{state, BackedUpHooks()};
    std::vector<std::vector<TImageDifference>> shown;
    bool writeAnswer = true;
    TMVmem radio = RadioRecords("8C654321");

    TDocumentHooks BackedUpHooks()
    {
        TDocumentHooks hooks = Hooks();
        hooks.Backups = &backups;
        hooks.ShowChanges = [this](const std::vector<TImageDifference>& d, TChangesUse) {
            shown.push_back(d);
            return writeAnswer;
        };
        return hooks;
    }
    BackupDocumentTest()
    {
        onTransfer = [this](TProgramState& s, const TTransferRequest& r) {
            if (r.Kind == TTransferKind::Upload) {
                s.CurrentMem = radio;
                s.CurrentText = EncodedImage(radio, true);
            }
        };
    }
    std::vector<TChainStage> Stages() const
    {
        std::vector<TChainStage> stages;
        for (const auto& r : requests)
            stages.push_back(r.Stage);
        return stages;
    }
};

TEST_F(BackupDocumentTest, DownloadReadsTheRadioOnceShowsTheChangesAndKeepsTheDocument)
{
    state.CurrentMem = radio;
    state.CurrentMem.A1A().SetCwDelay(radio.A1A().CwDelay() == 1 ? 2 : 1);
    state.CurrentMem.Channels().Items(2).SetStatus(0xA5);
    state.GridChannels = state.CurrentMem.Channels();
    EditGrid("DOC");

    ASSERT_TRUE(backedUp.Download());
    using S = TChainStage;
    EXPECT_EQ(Stages(), (std::vector<S>{S::Backup, S::UserData, S::ReadBack, S::Factory}));
    EXPECT_EQ(requests[0].Backup, TBackupReason::BeforeWrite);
    ASSERT_EQ(shown.size(), 1u);
    std::vector<std::string> lines;
    for (const auto& d : shown[0])
        lines.push_back(DifferenceLine(d));
    ASSERT_EQ(lines.size(), 3u) << ::testing::PrintToString(lines);
    EXPECT_EQ(lines[1], "channel 1: TAG: RADIO -> DOC");
    EXPECT_EQ(lines[2], "channel 3: added");
    const auto kept = backups.Store().List();
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0].Reason, "read-back");
    EXPECT_EQ(kept[1].Reason, "before-write");
    EXPECT_EQ(kept[1].Serial, "8C654321");

    // This run has read the radio and every write went through: no second backup read.
    requests.clear();
    ASSERT_TRUE(backedUp.Download());
    EXPECT_EQ(Stages(), (std::vector<S>{S::UserData, S::ReadBack, S::Factory}));
}

TEST_F(BackupDocumentTest, NothingIsSentWhenTheBackupFailsOrTheChangesAreCancelled)
{
    results = {false};
    EXPECT_FALSE(backedUp.Download());
    EXPECT_EQ(Stages(), std::vector<TChainStage>{TChainStage::Backup});
    EXPECT_TRUE(backups.Store().List().empty());

    // A backup that cannot be written stops the write too, with the reason.
    const std::string blocked = data.Write("blocked", "file");
    TRadioBackups unwritable(blocked);
    TDocumentHooks hooks = Hooks();
    hooks.Backups = &unwritable;
    requests.clear();
    EXPECT_FALSE(TDocument(state, hooks).Download());
    EXPECT_EQ(Stages(), std::vector<TChainStage>{TChainStage::Backup});
    ASSERT_FALSE(prompt.shown.empty());
    EXPECT_EQ(prompt.shown.back().text, kBackupWriteError);
    const std::string folder = (std::filesystem::path(blocked) / "backups" / "8C654321").string();
    EXPECT_NE(prompt.shown.back().detail.find(folder), std::string::npos) << prompt.shown.back().detail;

    requests.clear();
    EditGrid("DOC");
    writeAnswer = false;
    EXPECT_FALSE(backedUp.Download());
    EXPECT_EQ(Stages(), std::vector<TChainStage>{TChainStage::Backup});

    // No differences: asked whether to write anyway; No writes nothing.
    requests.clear();
    state.CurrentMem = radio;
    state.GridChannels = radio.Channels();
    EXPECT_FALSE(backedUp.Download());
    EXPECT_TRUE(requests.empty());
    EXPECT_EQ(prompt.texts().back(), kNoChangesWriteAnyway);
}

}  // namespace
}  // namespace mv53::test
