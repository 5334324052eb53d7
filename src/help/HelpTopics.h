#pragma once
// The help contexts of the program and the one table that maps each to a page of the guide.
//
// The guide has two books, as the program has two help files: the user's book ("MV53Win.chm":
// normal and firmware modes) and the service book ("MV53WinS.chm": dealer, factory and serial
// writer modes). Both books share one folder of pages; a book is its contents page and the
// topics it holds. A context opens "page#anchor" of its topic; a context below 1, or one that
// the book does not hold, opens the book's contents.
//
// Plain C++: the window that shows the pages is help/HelpWindow.h.

#include <optional>
#include <span>
#include <string>

namespace HelpContext {

inline constexpr int kContents = 0;
inline constexpr int kGetStarted = 226;

// Tool buttons (F1 while the pointer rests on one) and their commands.
inline constexpr int kNew = 26;
inline constexpr int kOpen = 28;
inline constexpr int kSave = 30;
inline constexpr int kPrint = 34;
inline constexpr int kCopy = 48;
inline constexpr int kPaste = 50;
inline constexpr int kUpload = 166;
inline constexpr int kDownload = 168;

// F1 in the channel grid: 4 + 2 * column for the columns 0 to 9; column 10 has none.
inline constexpr int GridColumn(int column) { return column >= 0 && column <= 9 ? 4 + 2 * column : -1; }

// F1 on a field of the common parameter dialogs.
inline constexpr int kCwDelay = 64;
inline constexpr int kCwPitch = 66;
inline constexpr int kHail = 70;
inline constexpr int kLampMode = 72;
inline constexpr int kRxFreqRange = 74;
inline constexpr int kTxFreqRange = 76;
inline constexpr int kSaveHoldTime = 80;
inline constexpr int kSaveTime = 82;
inline constexpr int kKeyFunction = 84;
inline constexpr int kSwitchA = 86;
inline constexpr int kSwitchB = 88;
inline constexpr int kSwitchC = 90;
inline constexpr int kMarketing = 92;
inline constexpr int kBeep = 100;
inline constexpr int kVoxDelay = 102;
inline constexpr int kVoxGain = 104;
inline constexpr int kDataMode = 108;
inline constexpr int kNoiseBlanker = 110;
inline constexpr int kRttyShift = 112;
inline constexpr int kRttyFreqDisp = 114;
inline constexpr int kPktOffset = 116;
inline constexpr int kPktTone = 118;
inline constexpr int kSpSelect = 120;
inline constexpr int kTot = 122;
inline constexpr int kEncryptUnit = 126;
inline constexpr int kSelcallUnit = 128;
inline constexpr int kTunerUnit = 130;

// F1 on a field of the selcall and telephone number dialogs.
inline constexpr int kSelfId = 138;
inline constexpr int kKillSystem = 140;
inline constexpr int kKillId = 142;
inline constexpr int kAllCall = 144;
inline constexpr int kGroupCall = 146;
inline constexpr int kSubGroupCall = 148;
inline constexpr int kPreamble = 150;
inline constexpr int kSelPowerSave = 152;
inline constexpr int kSelHoldTime = 154;
inline constexpr int kTxId = 156;
inline constexpr int kTelCallType = 160;
inline constexpr int kTelNumbers = 162;

// F1 in the service windows: the alignment's serial number and values (the bands of a value
// share its context) and the antenna tuner grid.
inline constexpr int kSerialNo = 96;
inline constexpr int kVoltWarning1 = 176;
inline constexpr int kVoltWarning2 = 178;
inline constexpr int kDtcxoSelect = 180;
inline constexpr int kSqlTight = 182;
inline constexpr int kSqlLevel = 184;
inline constexpr int kClarOffset = 186;
inline constexpr int kRxGain = 188;
inline constexpr int kOverHeat1 = 190;
inline constexpr int kOverHeat2 = 192;
inline constexpr int kCwPttSend = 194;
inline constexpr int kSsbPoHi = 196;
inline constexpr int kSsbPoLo = 198;
inline constexpr int kAmPoHi = 200;
inline constexpr int kAmPoLo = 202;
inline constexpr int kReverseAlc = 204;
inline constexpr int kSsbTxgHi = 206;
inline constexpr int kSsbTxgLo = 208;
inline constexpr int kAmTxgHi = 210;
inline constexpr int kAmTxgLo = 212;
inline constexpr int kHiSwr = 214;
inline constexpr int kLsbCarrier = 216;
inline constexpr int kUsbCarrier = 218;
inline constexpr int kAntTunerGrid = 222;

// F1 anywhere in a window that has no topics of its own controls.
inline constexpr int kVisible = 228;
inline constexpr int kPickList = 230;
inline constexpr int kConfigure = 232;
inline constexpr int kPrintSetup = 234;
inline constexpr int kPrintList = 236;
inline constexpr int kPreview = 238;
inline constexpr int kTempCorrect = 240;
inline constexpr int kSerialWriter = 242;
inline constexpr int kFirmware = 244;
inline constexpr int kFirmwareProgress = 246;

}  // namespace HelpContext

namespace mv53::help {

enum class TBook { User, Service };

// Which books hold a topic.
inline constexpr unsigned kUserBook = 1;
inline constexpr unsigned kServiceBook = 2;
inline constexpr unsigned kBothBooks = kUserBook | kServiceBook;

struct THelpTopic {
    int context;
    const char* page;     // file name in the guide's folder
    const char* anchor;   // "" for the top of the page
    unsigned books;
};

// Every topic, one row per context.
std::span<const THelpTopic> HelpTopics();
// The topic of a context in a book, if the book holds it.
std::optional<THelpTopic> FindTopic(TBook book, int context);

// The book of a help file name ("MV53WinS.chm" is the service book; any other the user's).
TBook BookOfHelpFile(const std::string& helpFileName);
// The contents page of a book ("user.html", "service.html").
const char* ContentsPage(TBook book);
// "page#anchor" (or "page") that a context opens in a book; the contents for anything else.
std::string TopicUrl(TBook book, int context);

// F1 in a window without topics of its own controls opens the topic of its class.
struct TWindowContext {
    const char* className;
    int context;
};
std::span<const TWindowContext> WindowContexts();
// The context of a window class (0: none).
int WindowContext(const char* className);

}  // namespace mv53::help
