// The channel list as CSV: a full document's round trip, and files as spreadsheets write them.

#include "ChannelTestSupport.h"

#include "model/ChannelCsv.h"

#include <gtest/gtest.h>

namespace mv53::test {
namespace {

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
