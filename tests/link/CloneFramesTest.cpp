// Frames of the clone protocol: the fixed frames byte for byte, block addresses, the
// identify reply and the serial reply.

#include "link/CloneFrames.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

using namespace mv53::clone;
using mv53::Byte;

namespace {

std::vector<int> head(const TFrame& f) { return {f[0], f[1], f[2], f[3]}; }

bool dataZero(const TFrame& f)
{
    for (int i = 4; i < 36; ++i)
        if (f[static_cast<size_t>(i)] != 0)
            return false;
    return true;
}

}  // namespace

TEST(CloneFrames, FixedFramesHaveTheirBytesAndChecksums)
{
    struct Case {
        TCommand command;
        uint16_t parameter;
        std::vector<int> head;
        int checksum;
    };
    const Case cases[] = {
        {TCommand::Identify, 0x1000, {0x00, 0x00, 0x10, 0x00}, 0x10},
        {TCommand::ReadAll, 0x0000, {0x00, 0x01, 0x00, 0x00}, 0x01},
        {TCommand::WriteBegin, WriteBeginParameter(TTransferKind::UserData), {0x00, 0x02, 0x00, 0xC6}, 0xC8},
        {TCommand::WriteBegin, WriteBeginParameter(TTransferKind::Factory), {0x00, 0x02, 0x00, 0x08}, 0x0A},
        {TCommand::WriteBegin, WriteBeginParameter(TTransferKind::AntTuner), {0x00, 0x02, 0x00, 0x06}, 0x08},
        {TCommand::WriteEnd, WriteEndParameter(TTransferKind::UserData), {0x00, 0x04, 0x00, 0x02}, 0x06},
        {TCommand::WriteEnd, WriteEndParameter(TTransferKind::Factory), {0x00, 0x04, 0x00, 0x01}, 0x05},
        {TCommand::WriteEnd, WriteEndParameter(TTransferKind::AntTuner), {0x00, 0x04, 0x00, 0x01}, 0x05},
        {TCommand::ReadSerial, 0x0000, {0x01, 0x09, 0x00, 0x00}, 0x0A},
        {TCommand::AdjustEnd, 0x0000, {0x01, 0x05, 0x00, 0x00}, 0x06},
    };
    for (const auto& c : cases) {
        const TFrame f = BuildFrame(c.command, c.parameter);
        EXPECT_EQ(head(f), c.head);
        EXPECT_TRUE(dataZero(f));
        EXPECT_EQ(f[36], c.checksum) << std::hex << static_cast<int>(c.command);
    }
}

TEST(CloneFrames, WriteBlockCarriesAddressDataAndEightBitChecksum)
{
    std::array<Byte, 32> block{};
    for (int i = 0; i < 32; ++i)
        block[static_cast<size_t>(i)] = static_cast<Byte>(0xF0 + i);   // sum overflows a byte
    const TFrame f = BuildWriteBlock(AreaAddress(kCommonArea, 3), block.data());
    EXPECT_EQ(head(f), (std::vector<int>{0x00, 0x03, 0xFE, 0xE0}));
    for (int i = 0; i < 32; ++i)
        EXPECT_EQ(f[static_cast<size_t>(4 + i)], block[static_cast<size_t>(i)]);
    unsigned sum = 0;
    for (int i = 0; i < 36; ++i)
        sum += f[static_cast<size_t>(i)];
    EXPECT_EQ(f[36], sum & 0xFF);
}

TEST(CloneFrames, AreasMapBlocksToRadioAddresses)
{
    EXPECT_EQ(AreaAddress(kChannelArea, 0), 0xC000);
    EXPECT_EQ(AreaAddress(kChannelArea, 499), 0xC000 + 32 * 499);
    EXPECT_EQ(AreaAddress(kCommonArea, 11), 0xFFE0);   // last common block still fits 16 bits
    EXPECT_EQ(AreaAddress(kTunerArea0, 15), 0x05E0);
    EXPECT_EQ(AreaAddress(kTunerArea1, 15), 0x09E0);
    EXPECT_EQ(AreaAddress(kFactoryArea, 15), 0x0DE0);
    // The areas tile blocks 500..559 without gaps.
    EXPECT_EQ(kCommonArea.firstBlock + kCommonArea.blocks, kTunerArea0.firstBlock);
    EXPECT_EQ(kTunerArea0.firstBlock + kTunerArea0.blocks, kTunerArea1.firstBlock);
    EXPECT_EQ(kTunerArea1.firstBlock + kTunerArea1.blocks, kFactoryArea.firstBlock);
    EXPECT_EQ(kFactoryArea.firstBlock + kFactoryArea.blocks, kLastBlock + 1);
}

TEST(CloneFrames, IdentifyReplyGivesVersionAndChecksTheTextId)
{
    Byte reply[16] = {0x01, 0x2A, 'k', 't', '4', '6', '8', 'h', 9, 9, 9, 9, 9, 9, 9, 9};
    EXPECT_TRUE(IsOurRadio(reply));
    EXPECT_EQ(FirmwareVersionText(reply), "012a");
    reply[7] = 'H';   // the id is compared exactly
    EXPECT_FALSE(IsOurRadio(reply));
    reply[2] = 0x01;
    EXPECT_EQ(ReplyTextId(reply), "\\x01t468H");
}

TEST(CloneFrames, SerialReplyFollowsTheImageCoding)
{
    const Byte reply[8] = {6, 3, 0, 0, 0, 0, 0x0A, 0x0F};
    EXPECT_EQ(SerialReplyText(reply), "6E0000AF");
    const Byte odd[8] = {0x10, 13, 0xFF, 1, 2, 3, 4, 5};   // out of range: "0", month "*"
    EXPECT_EQ(SerialReplyText(odd), "0*012345");
}

TEST(CloneFrames, ProgressRangesOfTheKinds)
{
    EXPECT_EQ(ProgressMax(TTransferKind::Upload), 559);
    EXPECT_EQ(ProgressMax(TTransferKind::UserData), 543);
    EXPECT_EQ(ProgressMax(TTransferKind::Factory), 15);
    EXPECT_EQ(ProgressMax(TTransferKind::AntTuner), 31);
    EXPECT_EQ(ProgressMax(TTransferKind::ReadSerial), 1);
    EXPECT_FALSE(IsTransferKind(4));
    EXPECT_TRUE(IsTransferKind(5));
}
