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
    {64, "a1a.html", "cw-delay", B},
    {66, "a1a.html", "cw-pitch", B},
    {70, "hardware.html", "hail", B},
    {72, "hardware.html", "lamp-mode", B},
    {74, "hardware.html", "rx-range", S},   // shown in the service modes only
    {76, "hardware.html", "tx-range", S},
    {80, "power-saving.html", "hold-time", B},
    {82, "power-saving.html", "save-time", B},
    {84, "key-function.html", "", B},
    {86, "key-function.html", "a-switch", B},
    {88, "key-function.html", "b-switch", B},
    {90, "key-function.html", "c-switch", B},
    {92, "marketing.html", "", B},
    {100, "misc.html", "beep", B},
    {102, "misc.html", "vox-delay", B},
    {104, "misc.html", "vox-gain", B},
    {108, "system.html", "data-mode", B},
    {110, "system.html", "noise-blanker", B},
    {112, "system.html", "rtty-shift", B},
    {114, "system.html", "rtty-display", B},
    {116, "system.html", "packet-offset", B},
    {118, "system.html", "packet-tone", B},
    {120, "system.html", "sp-select", B},
    {122, "system.html", "tot", B},
    {126, "option.html", "encryption-unit", B},
    {128, "option.html", "selcall-unit", B},
    {130, "option.html", "tuner-unit", B},

    // Selcall and telephone numbers.
    {138, "selcall.html", "self-id", B},
    {140, "selcall.html", "kill-system", B},
    {142, "selcall.html", "kill-id", B},
    {144, "selcall.html", "all-call", B},
    {146, "selcall.html", "group-call", B},
    {148, "selcall.html", "sub-group-call", B},
    {150, "selcall.html", "preamble", B},
    {152, "selcall.html", "power-save", B},
    {154, "selcall.html", "hold-time", B},
    {156, "selcall.html", "tx-id", B},
    {160, "telephone.html", "call-type", B},
    {162, "telephone.html", "numbers", B},

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
    {96, "alignment.html", "serial-no", S},
    {176, "alignment.html", "volt-warning-1", S},
    {178, "alignment.html", "volt-warning-2", S},
    {180, "alignment.html", "dtcxo-select", S},
    {182, "alignment.html", "sql-tight", S},
    {184, "alignment.html", "sql-level", S},
    {186, "alignment.html", "clar-offset", S},
    {188, "alignment.html", "rx-gain", S},
    {190, "alignment.html", "over-heat-1", S},
    {192, "alignment.html", "over-heat-2", S},
    {194, "alignment.html", "cw-ptt-send", S},
    {196, "alignment.html", "ssb-po-hi", S},
    {198, "alignment.html", "ssb-po-lo", S},
    {200, "alignment.html", "am-po-hi", S},
    {202, "alignment.html", "am-po-lo", S},
    {204, "alignment.html", "reverse-alc", S},
    {206, "alignment.html", "ssb-txg-hi", S},
    {208, "alignment.html", "ssb-txg-lo", S},
    {210, "alignment.html", "am-txg-hi", S},
    {212, "alignment.html", "am-txg-lo", S},
    {214, "alignment.html", "hi-swr", S},
    {216, "alignment.html", "lsb-carrier", S},
    {218, "alignment.html", "usb-carrier", S},
    {222, "antenna-tuner.html", "grid", S},
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
