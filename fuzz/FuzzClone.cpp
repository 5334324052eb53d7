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

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

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

Bytes RecordsImage(const TMVmem& mem)
{
    auto image = std::make_unique<TText>();
    EncodeImage(*image, mem, true);
    Bytes bytes(image->Data(), image->Data() + kImageSize);
    const std::string& version = mem.FwVersion();
    bytes.insert(bytes.end(), version.begin(), version.end());
    return bytes;
}

bool Accepted(const ReplyScript::Exchange& e) { return e.reply.size() == 1 && e.reply[0] == kAck; }

bool Frame(const Bytes& reply, int size)
{
    return static_cast<int>(reply.size()) == size &&
           reply[static_cast<std::size_t>(size) - 1] == Checksum(reply.data(), static_cast<std::size_t>(size) - 1);
}

// Checks the exchanges of a successful Upload against the image the program keeps.
void CheckUpload(const ReplyScript& script, const TText& image)
{
    std::size_t i = 0;
    while (i < script.log.size() && !(script.log[i].question[0] == 0 && script.log[i].question[1] == 1))
        ++i;
    if (i == 0 || i == script.log.size() || script.log[i - 1].reply.size() != kIdentifyReplySize ||
        !IsOurRadio(script.log[i - 1].reply.data()))
        Fail("an Upload succeeded without the radio's identity before its read command");
    int block = 0;
    do {
        const Bytes& reply = script.log[i++].reply;
        if (!Frame(reply, kChannelFrameSize))
            Fail("an Upload succeeded past a channel frame that is not whole with its checksum");
        block = (reply[0] << 8) | reply[1];
        if (i >= script.log.size())
            Fail("an Upload succeeded before its area blocks");
    } while (block < kChannelBlocks);
    for (int b = kFirstAreaBlock; b <= kLastBlock; ++b, ++i) {
        if (i >= script.log.size() || !Frame(script.log[i].reply, kAreaFrameSize))
            Fail("an Upload succeeded without every area block whole with its checksum");
        if (std::memcmp(script.log[i].reply.data(), image.Data() + BlockOffset(b), kBlockSize) != 0)
            Fail("an area block did not reach the image");
    }
}

// Checks the exchanges of a successful Download: its start and every block it sends accepted.
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
    for (const ReplyScript::Exchange& e : script.log) {
        const int command = (e.question[0] << 8) | (e.question.size() > 1 ? e.question[1] : 0);
        if (command == static_cast<int>(TCommand::WriteBegin))
            ++begun;
        else if (command == static_cast<int>(TCommand::WriteBlock))
            --blocks;
        else
            continue;
        if (!Accepted(e))
            Fail("a Download succeeded with a block or its start not accepted");
    }
    if (begun != 1 || blocks != 0)
        Fail("a Download succeeded without its start or every block");
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
    static const Bytes records = RecordsImage(*cleared);
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
    if (RecordsImage(state.CurrentMem) != records)
        Fail("a failed transfer changed the records");
    if (request.Kind == TTransferKind::Upload && !state.CurrentText.Equals(*clearedImage))
        Fail("a failed Upload changed the image");
    return 0;
}
