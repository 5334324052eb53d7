// The channel list edits with the tuner entries that move with the channels, the undo history
// that takes each of them back to the exact records, and the channel list as CSV: a full
// document's round trip, and files as spreadsheets write them.

#include "TestRecords.h"

#include "model/ChannelCsv.h"
#include "model/ChannelEdits.h"
#include "model/EditHistory.h"

#include <gtest/gtest.h>

#include <functional>

namespace mv53::test {
namespace {

// A full channel list: every channel in use with random values that typing could give, and
// random antenna tuner entries.
TMVmem FullChannelList(unsigned seed)
{
    TMVmem mem;
    RandomRecords random(seed);
    random.Fill(mem);
    mem.FactoryOpt().SetRxRange(0);
    mem.FactoryOpt().SetTxRange(0);
    for (int i = 0; i < TChannels::kCount; ++i) {
        TChannel& ch = mem.Channels().Items(i);
        ch.SetStatus(kChannelUsed);
        ch.TxFreq().FromFloat(random.Int(160000, 3000000) / 100000.0);
    }
    return mem;
}

const TTuneData& Entry(const TMVmem& mem, int channel) { return ChannelTuneEntry(mem.AntTuner0(), mem.AntTuner1(), channel); }

// Channel and tuner entry at `to` in after are those at `from` in before.
void ExpectMoved(const TMVmem& before, const TMVmem& after, int from, int to)
{
    EXPECT_TRUE(after.Channels().Items(to) == before.Channels().Items(from)) << from << " -> " << to;
    EXPECT_TRUE(Entry(after, to) == Entry(before, from)) << from << " -> " << to;
}

TEST(ChannelEdits, InsertDeleteAndMoveCarryTheTunerEntries)
{
    const TMVmem full = FullChannelList(5);
    TMVmem mem = full;
    EXPECT_EQ(InsertChannel(mem, 10), kInsertRefused);
    EXPECT_TRUE(SameRecords(mem, full));

    mem.Channels().Items(499).SetStatus(kChannelEmpty);
    const TMVmem before = mem;
    ASSERT_EQ(InsertChannel(mem, 249), "");
    EXPECT_EQ(mem.Channels().Items(249).Status(), kChannelEmpty);
    EXPECT_TRUE(Entry(mem, 249) == TTuneData{});
    ExpectMoved(before, mem, 249, 250);   // from the first tuner table into the second
    ExpectMoved(before, mem, 498, 499);

    DeleteChannels(mem, {249});
    EXPECT_EQ(mem.Channels().Items(499).Status(), kChannelEmpty);
    for (int i = 0; i < 499; ++i)
        ExpectMoved(before, mem, i, i);

    std::vector<int> rows{249, 250};
    ASSERT_TRUE(MoveChannels(mem, rows, false));
    EXPECT_EQ(rows, (std::vector<int>{250, 251}));
    ExpectMoved(before, mem, 251, 249);
    ExpectMoved(before, mem, 249, 250);
    rows = {0};
    EXPECT_FALSE(MoveChannels(mem, rows, true));
}

TEST(ChannelEdits, SortPutsEmptyChannelsAndTxOffLast)
{
    TMVmem mem = FullChannelList(9);
    mem.Channels().Items(3).SetStatus(kChannelEmpty);
    for (int i = 2; i <= 6; ++i)
        mem.Channels().Items(i).SetTxOff(i == 5 ? 1 : 0);
    const TMVmem before = mem;
    SortChannels(mem, {2, 3, 4, 5, 6}, TSortKey::Transmit);
    EXPECT_EQ(mem.Channels().Items(6).Status(), kChannelEmpty);
    EXPECT_EQ(mem.Channels().Items(5).TxOff(), 1);
    ExpectMoved(before, mem, 0, 0);

    SortChannels(mem, {}, TSortKey::Receive);
    for (int i = 1; i < 499; ++i)
        EXPECT_LE(mem.Channels().Items(i - 1).RxFreq().ToScaled(5), mem.Channels().Items(i).RxFreq().ToScaled(5));
    EXPECT_EQ(mem.Channels().Items(499).Status(), kChannelEmpty);
}

TEST(ChannelEdits, FillStopsAtTheRangeEdgeNamingTheChannel)
{
    TMVmem full = FullChannelList(11);
    for (const int i : {31, 40})
        full.Channels().Items(i).SetTxOff(0);
    TMVmem mem = full;
    EXPECT_EQ(FillChannels(mem, {20, 21, 22, 23}, {29.9, 50, false}),
              "CH-024 receive frequency 30.05000 MHz is outside the radio's range 0.5-30 MHz");
    EXPECT_TRUE(SameRecords(mem, full));
    EXPECT_EQ(FillChannels(mem, {30, 31}, {1.6, -10, false}),
              "CH-032 transmit frequency 1.59000 MHz is outside the radio's range 1.6-30 MHz");
    EXPECT_TRUE(SameRecords(mem, full));

    mem.Channels().Items(41).SetTxOff(1);
    ASSERT_EQ(FillChannels(mem, {40, 42, 41}, {29.9, 50, true}), "");
    EXPECT_EQ(mem.Channels().Items(42).RxFreq().ToScaled(5), 2995000);
    EXPECT_EQ(mem.Channels().Items(41).TxFreq().ToScaled(5), 3000000);
    EXPECT_EQ(mem.Channels().Items(41).TxOff(), 0);
    EXPECT_EQ(mem.Channels().Items(42).Mode(), full.Channels().Items(40).Mode());
    EXPECT_EQ(mem.Channels().Items(42).Tag(), full.Channels().Items(42).Tag());
}

TEST(EditHistory, UndoAndRedoRestoreTheExactRecordsAndTheSavedMark)
{
    TMVmem mem = FullChannelList(13);
    mem.Channels().Items(499).SetStatus(kChannelEmpty);
    TEditHistory history;
    history.Clear(true, mem);
    const std::pair<const char*, std::function<void(TMVmem&)>> edits[] = {
        {kInsertChannelStep, [](TMVmem& m) { InsertChannel(m, 3); }},
        {kSortStep, [](TMVmem& m) { SortChannels(m, {}, TSortKey::Tag); }},
        {kMoveDownStep, [](TMVmem& m) { std::vector<int> r{7}; MoveChannels(m, r, false); }},
        {kFillStep, [](TMVmem& m) { FillChannels(m, {1, 2, 3}, {7, 5, true}); }},
        {kDeleteChannelStep, [](TMVmem& m) { DeleteChannels(m, {0, 8}); }},
    };
    std::vector<TMVmem> states{mem};
    for (const auto& [name, edit] : edits) {
        edit(mem);
        ASSERT_TRUE(history.Record(name, states.back(), mem));
        states.push_back(mem);
        if (states.size() == 3)
            history.MarkSaved(mem);
        EXPECT_EQ(history.Modified(), states.size() != 3);
    }
    EXPECT_FALSE(history.Record("Nothing", mem, mem));
    for (size_t k = states.size() - 1; k > 0; --k) {
        EXPECT_EQ(history.UndoName(), edits[k - 1].first);
        EXPECT_TRUE(SameRecords(*history.Undo(), states[k - 1]));
        EXPECT_EQ(history.Modified(), k - 1 != 2);
    }
    EXPECT_EQ(history.RedoName(), kInsertChannelStep);
    EXPECT_TRUE(SameRecords(*history.Redo(), states[1]));
    EXPECT_TRUE(SameRecords(*history.Redo(), states[2]));
    EXPECT_FALSE(history.Modified());

    // A new edit after undoing past the saved state makes that state unreachable.
    history.Undo();
    history.Record(kPasteStep, states[1], states[4]);
    EXPECT_FALSE(history.CanRedo());
    EXPECT_TRUE(history.Modified());
    history.Undo();
    EXPECT_TRUE(history.Modified());
}

// ---- CSV ----

TEST(ChannelCsv, FullDocumentRoundTripIsByteExact)
{
    const TMVmem mem = FullChannelList(7);
    const std::string csv = ChannelsToCsv(mem.Channels());
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 501);
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\r'), 501);
    EXPECT_TRUE(csv.starts_with("Chn,TAG,Receive,Transmit,Mode,Pwr,Shift,Encryption,Selcall,Tune\r\n001,"));
    TChannels back;
    std::string error;
    ASSERT_TRUE(ChannelsFromCsv(csv, mem.FactoryOpt(), back, error)) << error;
    EXPECT_EQ(ChannelsToCsv(back), csv);
}

TEST(ChannelCsv, TakesWhatSpreadsheetsWrite)
{
    // Byte order mark, ";", CRLF and LF, quoted fields, shuffled and missing columns.
    const std::string csv = "\xEF\xBB\xBF" "Mode;Transmit;tag;Chn;Receive\r\n"
                            "A3E;TX OFF;\"a;\"\"b\"\"\";12;7,5\r\n"
                            "\r\n"
                            "J2B;;harbour;3;\"14.2\"\n";
    TChannels channels = FullChannelList(1).Channels();
    std::string error;
    ASSERT_FALSE(ChannelsFromCsv(csv, TFactoryOpt{}, channels, error));
    EXPECT_EQ(error, "line 4, column 2: Transmit is empty");

    const std::string fixed = csv.substr(0, csv.rfind("J2B")) + "J2B;9;harbour;3;\"14.2\"\n";
    ASSERT_TRUE(ChannelsFromCsv(fixed, TFactoryOpt{}, channels, error)) << error;
    // Only the two channels listed are in use; the receive frequency set the transmit one.
    EXPECT_EQ(ChannelsToCsv(channels), "Chn,TAG,Receive,Transmit,Mode,Pwr,Shift,Encryption,Selcall,Tune\r\n"
                                       "003,HARBOUR,14.20000,9.00000,J2B,High,OFF,OFF,OFF,OFF\r\n"
                                       "012,\"A;\"\"B\"\"\",7.50000,TX OFF,A3E,High,OFF,OFF,OFF,OFF\r\n");
    EXPECT_EQ(channels.Items(11).TxFreq().ToScaled(5), 750000);
}

TEST(ChannelCsv, RefusesABadLineNamingLineAndColumnAndKeepsTheChannels)
{
    const struct {
        std::string line;
        std::string error;
    } cases[] = {
        {"7,X,45,1", "line 7, column 3: CH-007 receive frequency 45.00000 MHz is outside the radio's range 0.5-30 MHz"},
        {"7,X,7,1.0", "line 7, column 4: CH-007 transmit frequency 1.00000 MHz is outside the radio's range 1.6-30 MHz"},
        {"7,X,7.1.2,7", "line 7, column 3: Receive is not a frequency in MHz: \"7.1.2\""},
        {"7,{,7,7", "line 7, column 2: TAG may not hold \"{\""},
        {"7,NINECHARS,7,7", "line 7, column 2: TAG is longer than 8 characters"},
        {"7,\xC3\xA9,7,7", "line 7, column 2: TAG may not hold \"\xC3\xA9\""},
        {"7,\xE2\x82\xAC,7,7", "line 7, column 2: \"\xE2\x82\xAC\" is not a character a channel can hold"},
        {"1,X,7,7", "line 7, column 1: channel 1 is listed twice"},
        {"501,X,7,7", "line 7, column 1: Chn must be a channel number from 1 to 500"},
        {"7,\"X,7,7", "line 7, column 2: the quoted field has no closing quote"},
    };
    std::string head = "Chn,TAG,Receive,Transmit\n";
    for (int i = 1; i <= 5; ++i)
        head += std::to_string(i) + ",A,3,3\n";
    const TChannels before = FullChannelList(3).Channels();
    for (const auto& c : cases) {
        TChannels channels = before;
        std::string error;
        EXPECT_FALSE(ChannelsFromCsv(head + c.line + "\n", TFactoryOpt{}, channels, error)) << c.line;
        EXPECT_EQ(error, c.error);
        EXPECT_TRUE(channels == before) << c.line;
    }
    TChannels channels = before;
    std::string error;
    EXPECT_FALSE(ChannelsFromCsv("Chn,Band\n", TFactoryOpt{}, channels, error));
    EXPECT_EQ(error, "line 1, column 2: unknown column \"Band\"");
}

}  // namespace
}  // namespace mv53::test
