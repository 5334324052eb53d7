// White space at the end of a trace line, other than blanks and tabs, is no part of its text:
// a line written back from what was read reads the same.

#include "platform/SerialTrace.h"

#include <gtest/gtest.h>

using namespace mv53::platform;

TEST(SerialTrace, WhiteSpaceAtTheEndOfALineIsDropped)
{
    std::vector<TraceEvent> events;
    std::string error;
    ASSERT_TRUE(ReadSerialTrace("5 settings 9601 8N1\t\r\t\n7 open /dev/pts/1 \v\n", events, error)) << error;
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].text, "9601 8N1");
    EXPECT_EQ(events[1].text, "/dev/pts/1");
}
