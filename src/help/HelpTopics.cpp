#include "help/HelpTopics.h"

#include <cstring>

namespace mv53::help {

namespace {

constexpr unsigned S = kServiceBook;
constexpr unsigned B = kBothBooks;

// One row per context that a window can open. The pages are those of the folder help/ at the
// top of the sources; a test checks that every page and anchor exists.
constexpr THelpTopic kTopics[] = {
    {HelpContext::kGetStarted, "getting-started.html", "", B},

    // Main window: the tool buttons and the commands behind them.
    {HelpContext::kNew, "files.html", "new", B},
    {HelpContext::kOpen, "files.html", "open", B},
    {HelpContext::kSave, "files.html", "save", B},
    {HelpContext::kPrint, "printing.html", "print", B},
    {HelpContext::kCopy, "grid.html", "copy", B},
    {HelpContext::kPaste, "grid.html", "paste", B},
    {HelpContext::kUpload, "transfer.html", "upload", B},
    {HelpContext::kDownload, "transfer.html", "download", B},

    // The channel grid, one topic per column.
    {HelpContext::GridColumn(0), "grid.html", "col-chn", B},
    {HelpContext::GridColumn(1), "grid.html", "col-tag", B},
    {HelpContext::GridColumn(2), "grid.html", "col-receive", B},
    {HelpContext::GridColumn(3), "grid.html", "col-transmit", B},
    {HelpContext::GridColumn(4), "grid.html", "col-mode", B},
    {HelpContext::GridColumn(5), "grid.html", "col-pwr", B},
    {HelpContext::GridColumn(6), "grid.html", "col-shift", B},
    {HelpContext::GridColumn(7), "grid.html", "col-encryption", B},
    {HelpContext::GridColumn(8), "grid.html", "col-selcall", B},
    {HelpContext::GridColumn(9), "grid.html", "col-tune-mode", B},

    // The common parameter dialogs, one topic per field.
    {HelpContext::kCwDelay, "a1a.html", "cw-delay", B},
    {HelpContext::kCwPitch, "a1a.html", "cw-pitch", B},
    {HelpContext::kHail, "hardware.html", "hail", B},
    {HelpContext::kLampMode, "hardware.html", "lamp-mode", B},
    {HelpContext::kRxFreqRange, "hardware.html", "rx-range", S},   // shown in the service modes only
    {HelpContext::kTxFreqRange, "hardware.html", "tx-range", S},
    {HelpContext::kSaveHoldTime, "power-saving.html", "hold-time", B},
    {HelpContext::kSaveTime, "power-saving.html", "save-time", B},
    {HelpContext::kKeyFunction, "key-function.html", "", B},
    {HelpContext::kSwitchA, "key-function.html", "a-switch", B},
    {HelpContext::kSwitchB, "key-function.html", "b-switch", B},
    {HelpContext::kSwitchC, "key-function.html", "c-switch", B},
    {HelpContext::kMarketing, "marketing.html", "", B},
    {HelpContext::kBeep, "misc.html", "beep", B},
    {HelpContext::kVoxDelay, "misc.html", "vox-delay", B},
    {HelpContext::kVoxGain, "misc.html", "vox-gain", B},
    {HelpContext::kDataMode, "system.html", "data-mode", B},
    {HelpContext::kNoiseBlanker, "system.html", "noise-blanker", B},
    {HelpContext::kRttyShift, "system.html", "rtty-shift", B},
    {HelpContext::kRttyFreqDisp, "system.html", "rtty-display", B},
    {HelpContext::kPktOffset, "system.html", "packet-offset", B},
    {HelpContext::kPktTone, "system.html", "packet-tone", B},
    {HelpContext::kSpSelect, "system.html", "sp-select", B},
    {HelpContext::kTot, "system.html", "tot", B},
    {HelpContext::kEncryptUnit, "option.html", "encryption-unit", B},
    {HelpContext::kSelcallUnit, "option.html", "selcall-unit", B},
    {HelpContext::kTunerUnit, "option.html", "tuner-unit", B},

    // Selcall and telephone numbers.
    {HelpContext::kSelfId, "selcall.html", "self-id", B},
    {HelpContext::kKillSystem, "selcall.html", "kill-system", B},
    {HelpContext::kKillId, "selcall.html", "kill-id", B},
    {HelpContext::kAllCall, "selcall.html", "all-call", B},
    {HelpContext::kGroupCall, "selcall.html", "group-call", B},
    {HelpContext::kSubGroupCall, "selcall.html", "sub-group-call", B},
    {HelpContext::kPreamble, "selcall.html", "preamble", B},
    {HelpContext::kSelPowerSave, "selcall.html", "power-save", B},
    {HelpContext::kSelHoldTime, "selcall.html", "hold-time", B},
    {HelpContext::kTxId, "selcall.html", "tx-id", B},
    {HelpContext::kTelCallType, "telephone.html", "call-type", B},
    {HelpContext::kTelNumbers, "telephone.html", "numbers", B},

    // Windows whose controls have no topics of their own.
    {HelpContext::kVisible, "grid.html", "columns", B},
    {HelpContext::kPickList, "grid.html", "pick-list", B},
    {HelpContext::kConfigure, "configuration.html", "configure", B},
    {HelpContext::kPrintSetup, "printing.html", "print-setup", B},
    {HelpContext::kPrintList, "printing.html", "printout-list", B},
    {HelpContext::kPreview, "printing.html", "preview", B},
    {HelpContext::kFirmware, "firmware.html", "", B},
    {HelpContext::kFirmwareProgress, "firmware.html", "writing", B},
    {HelpContext::kTempCorrect, "temp-correction.html", "", S},
    {HelpContext::kSerialWriter, "serial-writer.html", "", S},

    // Alignment, one topic per value (the bands of a value share it), and the antenna tuner.
    {HelpContext::kSerialNo, "alignment.html", "serial-no", S},
    {HelpContext::kVoltWarning1, "alignment.html", "volt-warning-1", S},
    {HelpContext::kVoltWarning2, "alignment.html", "volt-warning-2", S},
    {HelpContext::kDtcxoSelect, "alignment.html", "dtcxo-select", S},
    {HelpContext::kSqlTight, "alignment.html", "sql-tight", S},
    {HelpContext::kSqlLevel, "alignment.html", "sql-level", S},
    {HelpContext::kClarOffset, "alignment.html", "clar-offset", S},
    {HelpContext::kRxGain, "alignment.html", "rx-gain", S},
    {HelpContext::kOverHeat1, "alignment.html", "over-heat-1", S},
    {HelpContext::kOverHeat2, "alignment.html", "over-heat-2", S},
    {HelpContext::kCwPttSend, "alignment.html", "cw-ptt-send", S},
    {HelpContext::kSsbPoHi, "alignment.html", "ssb-po-hi", S},
    {HelpContext::kSsbPoLo, "alignment.html", "ssb-po-lo", S},
    {HelpContext::kAmPoHi, "alignment.html", "am-po-hi", S},
    {HelpContext::kAmPoLo, "alignment.html", "am-po-lo", S},
    {HelpContext::kReverseAlc, "alignment.html", "reverse-alc", S},
    {HelpContext::kSsbTxgHi, "alignment.html", "ssb-txg-hi", S},
    {HelpContext::kSsbTxgLo, "alignment.html", "ssb-txg-lo", S},
    {HelpContext::kAmTxgHi, "alignment.html", "am-txg-hi", S},
    {HelpContext::kAmTxgLo, "alignment.html", "am-txg-lo", S},
    {HelpContext::kHiSwr, "alignment.html", "hi-swr", S},
    {HelpContext::kLsbCarrier, "alignment.html", "lsb-carrier", S},
    {HelpContext::kUsbCarrier, "alignment.html", "usb-carrier", S},
    {HelpContext::kAntTunerGrid, "antenna-tuner.html", "grid", S},
};

constexpr TWindowContext kWindowContexts[] = {
    {"TfrmVisible", HelpContext::kVisible},
    {"TfrmSelList", HelpContext::kPickList},
    {"TfrmConfig", HelpContext::kConfigure},
    {"TfrmPrintSetup", HelpContext::kPrintSetup},
    {"TfrmPrintList", HelpContext::kPrintList},
    {"TfrmPreview", HelpContext::kPreview},
    {"TfrmTempCorrect", HelpContext::kTempCorrect},
    {"TfrmSerialW", HelpContext::kSerialWriter},
    {"TfrmFSW", HelpContext::kFirmware},
    {"TfrmMsg", HelpContext::kFirmwareProgress},
};

unsigned BookBit(TBook book) { return book == TBook::Service ? kServiceBook : kUserBook; }

}  // namespace

std::span<const THelpTopic> HelpTopics() { return kTopics; }

std::span<const TWindowContext> WindowContexts() { return kWindowContexts; }

std::optional<THelpTopic> FindTopic(TBook book, int context)
{
    for (const THelpTopic& t : kTopics)
        if (t.context == context && (t.books & BookBit(book)) != 0)
            return t;
    return std::nullopt;
}

TBook BookOfHelpFile(const std::string& helpFileName)
{
    return helpFileName == "MV53WinS.chm" ? TBook::Service : TBook::User;
}

const char* ContentsPage(TBook book) { return book == TBook::Service ? "service.html" : "user.html"; }

std::string TopicUrl(TBook book, int context)
{
    const std::optional<THelpTopic> topic = context >= 1 ? FindTopic(book, context) : std::nullopt;
    if (!topic)
        return ContentsPage(book);
    std::string url = topic->page;
    if (*topic->anchor != '\0')
        url += std::string("#") + topic->anchor;
    return url;
}

int WindowContext(const char* className)
{
    for (const TWindowContext& w : kWindowContexts)
        if (std::strcmp(w.className, className) == 0)
            return w.context;
    return 0;
}

}  // namespace mv53::help
