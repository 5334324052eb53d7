// The text form of serial traces: what the recorder writes reads back as it was, and a bad
// line is refused with its number and the reason.

#include "platform/SerialTrace.h"

#include <gtest/gtest.h>

using namespace mv53::platform;

TEST(SerialTrace, WrittenLinesReadBack)
{
    const uint8_t bytes[] = {0x00, 0xAB, 0x7F};
    LineSettings boot;
    boot.baudRate = 19200;
    boot.dataBits = 7;
    boot.parity = Parity::Even;
    boot.stopBits = StopBits::OnePointFive;
    const std::string text = "# kept as a test\n" + TraceLine(0, TraceKind::Open, "/dev/ttyUSB0") +
                             TraceLine(5, TraceKind::Settings, LineSettingsText(LineSettings{})) +
                             TraceLine(5, TraceKind::Settings, LineSettingsText(boot)) +
                             TraceLine(900, TraceKind::Tx, {}, bytes, 3) + "\r\n" +
                             TraceLine(1200, TraceKind::HangUp, {}) + TraceLine(1300, TraceKind::Close, {});
    std::vector<TraceEvent> events;
    std::string error;
    ASSERT_TRUE(ReadSerialTrace(text, events, error)) << error;
    ASSERT_EQ(events.size(), 6u);
    EXPECT_EQ(events[0].text, "/dev/ttyUSB0");
    EXPECT_EQ(events[1].text, "9600 8N1");
    EXPECT_EQ(events[2].text, "19200 7E1.5");
    EXPECT_EQ(events[3].line, 5);
    EXPECT_EQ(events[3].micros, 900);
    EXPECT_EQ(events[3].bytes, (std::vector<uint8_t>{0x00, 0xAB, 0x7F}));
    EXPECT_EQ(events[5].kind, TraceKind::Close);
    EXPECT_EQ(HexBytes(bytes, 3, 2), "00 AB ...");
}

TEST(SerialTrace, ABadLineIsNamed)
{
    const struct {
        const char* text;
        const char* error;
    } rows[] = {
        {"12 tx 0G", "line 1: \"0G\" is not a byte in hexadecimal"}, {"12 tx 123", "line 1: \"123\" is not a byte in hexadecimal"},
        {"# a note\n\n5 rx\n", "line 3: rx holds no bytes"}, {"-4 close", "line 1: the time \"-4\" is not a number of microseconds"},
        {"99999999999999999999 close", "line 1: the time \"99999999999999999999\" is not a number of microseconds"},
        {"10 close\n5 open COM1", "line 2: the time goes back (5 after 10)"}, {"1 jump", "line 1: unknown event \"jump\""},
        {"1", "line 1: an event is missing after the time"}, {"1 open", "line 1: open names no device"},
        {"1 settings 9600 9N2", "line 1: settings \"9600 9N2\" are not like \"9600 8N2\""},
        {"1 settings 9600", "line 1: settings \"9600\" are not like \"9600 8N2\""},
        {"1 close now", "line 1: close takes nothing after it"},
    };
    for (const auto& row : rows) {
        std::vector<TraceEvent> events;
        std::string error;
        EXPECT_FALSE(ReadSerialTrace(row.text, events, error)) << row.text;
        EXPECT_EQ(error, row.error) << row.text;
    }
}

// White space at the end of a trace line, other than blanks and tabs, is no part of its text:
// a line written back from what was read reads the same.
TEST(SerialTrace, WhiteSpaceAtTheEndOfALineIsDropped)
{
    std::vector<TraceEvent> events;
    std::string error;
    ASSERT_TRUE(ReadSerialTrace("5 settings 9601 8N1\t\r\t\n7 open /dev/pts/1 \v\n", events, error)) << error;
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].text, "9601 8N1");
    EXPECT_EQ(events[1].text, "/dev/pts/1");
}
