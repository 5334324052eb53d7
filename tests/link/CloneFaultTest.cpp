// Failures of a clone transfer at the steps a radio simulator does not reach easily, against a
// device in memory that plays the radio's replies: each names its cause and leaves the records
// as they were.

#include "ReplyDevice.h"
#include "ScriptedPrompt.h"
#include "model/U_E2prom.h"

#include <gtest/gtest.h>

#include <cerrno>

using namespace mv53;
using mv53::fuzz::Bytes;
using mv53::fuzz::ReplyScript;

namespace {

Bytes Identify()
{
    Bytes reply{0x01, 0x2A, 'k', 't', '4', '6', '8', 'h'};
    reply.resize(clone::kIdentifyReplySize);
    return reply;
}

Bytes ChannelFrame(int block, std::size_t extra = 0)
{
    Bytes frame{static_cast<uint8_t>(block >> 8), static_cast<uint8_t>(block)};
    frame.resize(clone::kChannelFrameSize - 1);
    frame.push_back(clone::Checksum(frame.data(), frame.size()));
    frame.resize(frame.size() + extra);
    return frame;
}

const Bytes kYes{clone::kAck};
const Bytes kSilence{};

struct Case {
    const char* name;
    TTransferKind kind;
    std::deque<Bytes> replies;
    std::string detail;
    std::size_t questionsTaken = SIZE_MAX;
    int settingsError = 0;
};

}  // namespace

TEST(CloneFaults, EachFailureNamesItsCauseAndLeavesTheRecords)
{
    const std::string noAnswer = "): check that the radio is switched on and the cable is plugged in.";
    const Case cases[] = {
        {"vanished during identification", TTransferKind::Upload, {},
         "The device mem disappeared during the transfer (identification)."},
        {"vanished while the serial number is read", TTransferKind::Factory, {Identify()},
         "The device mem disappeared during the transfer (serial number)."},
        {"vanished during the user data channels", TTransferKind::UserData, {Identify(), kYes},
         "The device mem disappeared during the transfer (channel 1 (address 0xC000))."},
        {"vanished during the factory blocks", TTransferKind::Factory, {Identify(), Bytes(8, '7'), kYes},
         "The device mem disappeared during the transfer (the block at address 0x0C00)."},
        {"refused after the serial number was read", TTransferKind::Factory, {Identify(), Bytes(8, '7'), {clone::kNak}},
         "The radio refused the start of the write (WriteBegin 0x0008)."},
        {"answer other than accept or refuse", TTransferKind::AntTuner, {Identify(), {0x41}},
         "The radio answered the start of the write (WriteBegin 0x0006) with 0x0041 instead of accepting it."},
        {"a stray byte after a channel frame", TTransferKind::Upload, {Identify(), ChannelFrame(7, 1)},
         "The radio sent more data than one channel frame (36 bytes)."},
        {"silent after a channel frame", TTransferKind::Upload, {Identify(), ChannelFrame(7), kSilence},
         "No answer from the radio on mem (channel data" + noAnswer},
        {"silent before a block's acknowledge", TTransferKind::AntTuner, {Identify(), kYes, kYes, kSilence},
         "No answer from the radio on mem (the block at address 0x0420" + noAnswer},
        {"a line that takes no more bytes", TTransferKind::AntTuner, {Identify(), kYes},
         "The port mem no longer accepts data.", 2},
        {"a line setting refused at the opening", TTransferKind::Upload, {},
         "Cannot open mem: mem: Invalid argument", SIZE_MAX, EINVAL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TProgramState state;
        ClearRecords(state.CurrentMem);
        state.CurrentMem.Channels().Items(0).SetStatus(kChannelUsed);
        state.CurrentMem.FactoryOpt().SetSerialNo("6E000042");
        EncodeImage(state.CurrentText, state.CurrentMem, true);
        const TText image = state.CurrentText;
        auto script = std::make_shared<ReplyScript>(ReplyScript{c.replies, {}, c.settingsError, c.questionsTaken});
        test::ScriptedPrompt prompt;
        ScopedPrompt scoped(prompt);
        TCloneTransfer transfer(state);
        fuzz::UseReplyDevice(transfer, script, 300);
        transfer.CommX().SetTimeOutTrans(200);
        TTransferRequest request;
        request.Kind = c.kind;

        EXPECT_FALSE(transfer.Run(request));
        EXPECT_EQ(transfer.Result().detail, c.detail);
        ASSERT_EQ(prompt.shown.size(), 1u);
        EXPECT_EQ(prompt.shown[0].icon, PromptIcon::Error);
        EXPECT_EQ(state.CurrentMem.FactoryOpt().SerialNo(), "6E000042");
        EXPECT_TRUE(state.CurrentText.Equals(image));
    }
}
