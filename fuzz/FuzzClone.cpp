// libFuzzer target: any bytes as the radio's side of a clone transfer. The program runs an
// Upload or a Download through the serial component against a device in memory that answers
// each of its questions with the next reply of the input (ReplyDevice.h).
//
// Input: byte 0 chooses the transfer (bits 0-2: the kind, bit 3: the serial writer's mode,
// bit 4: part of a chain); then the replies, each a length byte and that many bytes.
//
// A transfer that fails leaves the records (and an Upload the image) as they were and shows no
// success. An Upload succeeds only when the radio identified itself and sent the channel part
// and every area block, each with its checksum, and the image holds what they carried. A
// Download succeeds only when the radio accepted its start and every block.

#include "ReplyDevice.h"
#include "ScriptedPrompt.h"
#include "link/CloneProtocol.h"
#include "model/U_E2prom.h"

#include <QCoreApplication>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

using namespace mv53;
using namespace mv53::clone;
using mv53::fuzz::Bytes;
using mv53::fuzz::ReplyScript;

namespace {

constexpr std::array<TTransferKind, 5> kKinds{TTransferKind::Upload, TTransferKind::UserData, TTransferKind::Factory,
                                              TTransferKind::AntTuner, TTransferKind::ReadSerial};

// The exchanges of the run, for the report of a failed check.
const ReplyScript* g_script = nullptr;

void PrintBytes(const Bytes& bytes)
{
    for (uint8_t b : bytes)
        std::fprintf(stderr, " %02X", b);
}

[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stderr, "fuzz_clone: %s\n", what);
    if (g_script != nullptr) {
        for (const ReplyScript::Exchange& e : g_script->log) {
            std::fprintf(stderr, "  asked");
            PrintBytes(e.question);
            std::fprintf(stderr, e.hungUp ? "\n  -> hang-up\n" : "\n  ->");
            if (!e.hungUp) {
                PrintBytes(e.reply);
                std::fprintf(stderr, "\n");
            }
        }
    }
    std::abort();
}

bool Frame(const Bytes& reply, int size)
{
    return static_cast<int>(reply.size()) == size &&
           reply[static_cast<std::size_t>(size) - 1] == Checksum(reply.data(), static_cast<std::size_t>(size) - 1);
}

// The replies that held bytes, in order. The program reads them as one stream: a reply that
// comes after a wait has given up (a slow machine) answers the next question instead, so the
// checks follow the stream rather than pair questions with replies.
std::vector<const Bytes*> Replies(const ReplyScript& script)
{
    std::vector<const Bytes*> replies;
    for (const ReplyScript::Exchange& e : script.log)
        if (!e.reply.empty())
            replies.push_back(&e.reply);
    return replies;
}

// Whether the replies before end close with the radio's identity, somewhere, then the channel
// part's last frame and every area block whole with its checksum, as the image holds them.
bool UploadEndsAt(const std::vector<const Bytes*>& replies, std::size_t end, const TText& image)
{
    constexpr std::size_t kAreaBlocks = kLastBlock - kFirstAreaBlock + 1;
    if (end < kAreaBlocks + 2 || end > replies.size())
        return false;
    const std::size_t first = end - kAreaBlocks;
    for (std::size_t k = 0; k < kAreaBlocks; ++k) {
        const Bytes& frame = *replies[first + k];
        if (!Frame(frame, kAreaFrameSize) ||
            std::memcmp(frame.data(), image.Data() + BlockOffset(kFirstAreaBlock + static_cast<int>(k)), kBlockSize) != 0)
            return false;
    }
    const Bytes& last = *replies[first - 1];
    if (!Frame(last, kChannelFrameSize) || ((last[0] << 8) | last[1]) < kChannelBlocks)
        return false;
    return std::any_of(replies.begin(), replies.begin() + static_cast<long>(first - 1), [](const Bytes* r) {
        return r->size() >= static_cast<std::size_t>(kIdentifyReplySize) && IsOurRadio(r->data());
    });
}

// A successful Upload: the last acknowledge, and one before it after a late reply, may release
// replies that are never read.
void CheckUpload(const ReplyScript& script, const TText& image)
{
    const auto replies = Replies(script);
    for (std::size_t unread = 0; unread <= 2 && unread <= replies.size(); ++unread)
        if (UploadEndsAt(replies, replies.size() - unread, image))
            return;
    Fail("an Upload succeeded without the radio's identity, the channel part and every area block whole with its "
         "checksum, as the image holds them");
}

// A successful Download: its start and every block were sent, and as many acceptances came.
// (Its WriteEnd may be cut off by the close when the pauses are nought.)
void CheckDownload(const ReplyScript& script, TTransferKind kind, const TText& image)
{
    int blocks = 0;
    switch (kind) {
    case TTransferKind::UserData:
        for (int i = 0; i < kChannelBlocks; ++i)
            blocks += image.Data()[BlockOffset(i)] == kChannelInUse ? 1 : 0;
        blocks += kCommonArea.blocks + kTunerArea0.blocks + kTunerArea1.blocks;
        break;
    case TTransferKind::Factory:
        blocks = kFactoryArea.blocks;
        break;
    case TTransferKind::AntTuner:
        blocks = kTunerArea0.blocks + kTunerArea1.blocks;
        break;
    default:
        return;
    }
    int begun = 0;
    int sent = 0;
    for (const ReplyScript::Exchange& e : script.log) {
        const int command = (e.question[0] << 8) | (e.question.size() > 1 ? e.question[1] : 0);
        begun += command == static_cast<int>(TCommand::WriteBegin) ? 1 : 0;
        sent += command == static_cast<int>(TCommand::WriteBlock) ? 1 : 0;
    }
    const auto replies = Replies(script);
    const auto accepts = std::count_if(replies.begin(), replies.end(), [](const Bytes* r) { return (*r)[0] == kAck; });
    if (begun != 1 || sent != blocks || accepts < 1 + blocks)
        Fail("a Download succeeded without sending its start and every block, or without an acceptance of each");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    static TProgramState state;
    static const auto cleared = [] {
        auto mem = std::make_unique<TMVmem>();
        ClearRecords(*mem);
        return mem;
    }();
    static const auto clearedImage = [] {
        auto image = std::make_unique<TText>();
        EncodeImage(*image, *cleared, true);
        return image;
    }();
    state.CurrentMem.Assign(*cleared);
    state.CurrentText.Assign(*clearedImage);
    state.SerialMode = (data[0] & 0x08) != 0;
    TTransferRequest request;
    request.Kind = kKinds[(data[0] & 7u) % kKinds.size()];
    request.InChain = (data[0] & 0x10) != 0;

    auto script = std::make_shared<ReplyScript>();
    g_script = script.get();
    for (size_t i = 1; i < size;) {
        const size_t n = std::min<size_t>(data[i], size - i - 1);
        script->replies.emplace_back(data + i + 1, data + i + 1 + n);
        i += 1 + n;
    }

    test::ScriptedPrompt prompt;
    ScopedPrompt scoped(prompt);
    TCloneTransfer transfer(state);
    // The silence is kept short, not nought, so that a reply is still taken when the machine is
    // slow to hand it over.
    fuzz::UseReplyDevice(transfer, script, 10);
    const bool ok = transfer.Run(request);

    if (ok) {
        if (request.Kind == TTransferKind::Upload)
            CheckUpload(*script, state.CurrentText);
        else
            CheckDownload(*script, request.Kind, state.CurrentText);
        return 0;
    }
    if (transfer.Result().detail.empty())
        Fail("a failure names no cause");
    for (const test::RecordedPrompt& shown : prompt.shown)
        if (shown.text == kUploadCompleted || shown.text == kDownloadCompleted)
            Fail("a failure was announced as a success");
    if (!(state.CurrentMem == *cleared))
        Fail("a failed transfer changed the records");
    if (request.Kind == TTransferKind::Upload && !state.CurrentText.Equals(*clearedImage))
        Fail("a failed Upload changed the image");
    return 0;
}
