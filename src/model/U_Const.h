#pragma once
// The fixed vocabulary of the data model: the 36 option lists, the key function table, the
// column tables of the channel and tuner grids, and the constants of the radio image layout.

#include <array>
#include <cstdint>
#include <string>

// One option list: Count items in slots 0..Count-1; the slots after them are empty texts.
struct TVALTBLX {
    int32_t Count = 0;
    std::array<const char*, 21> Items{};
};

inline constexpr int kOptionListCount = 36;   // lists 0..35
inline constexpr int kOptionSlotCount = 21;   // slots 0..20 of every list

// The option lists by what they hold.
enum TOptionList : int32_t {
    kListMark = 0,               // "-", "v": no setting uses it
    kListMode = 1,               // channel mode
    kListPower = 2,              // channel power
    kListTuneMode = 3,           // channel tune mode
    kListEncryptCode = 4,        // channel encryption: 0 off, k code k - 1
    kListSelcallOn = 5,          // channel selcall
    kListShiftOn = 6,            // channel shift
    kListCwDelay = 7,
    kListCwPitch = 8,
    kListHail = 9,
    kListLampMode = 10,
    kListSaveTime = 11,
    kListBeep = 12,
    kListVoxDelay = 13,
    kListDataMode = 14,
    kListNoiseBlanker = 15,
    kListRttyShift = 16,
    kListRttyFreqDisp = 17,
    kListPktTone = 18,
    kListSpSelect = 19,
    kListEncryptUnit = 20,
    kListSelcallUnit = 21,
    kListTunerUnit = 22,
    kListSelcallUnitSelcall = 23,   // the selcall unit as the selcall dialog shows it
    kListKillSystem = 24,
    kListAllCall = 25,              // "ENABLE" first: a stored 0 is enabled
    kListGroupCall = 26,
    kListSubGroupCall = 27,
    kListSelPowerSave = 28,
    kListTelCallType = 29,
    kListTuneReset = 30,            // antenna tuner columns
    kListTuneThru = 31,
    kListTuneTrans = 32,
    kListTuneMidC = 33,
    kListTuneTopC = 34,
};

// The whole option value table, list by list.
const std::array<TVALTBLX, kOptionListCount>& ValTbl();

// Item Index of list List; the empty text for a list outside 0..35 or an index outside the list.
std::string ValText(int32_t List, int32_t Index);
// First index of list List whose item equals Text exactly; 0 when none matches or List is bad.
int32_t ValIndexOf(int32_t List, const std::string& Text);
// Item count of list List; 0 for a list outside 0..35.
int32_t ValCount(int32_t List);

// One row of the key function table: the function's name and the code the radio stores.
struct TKEYFNCTBL {
    const char* Name = "";
    int32_t Code = 0;
};

inline constexpr int kKeyFuncCount = 14;
inline constexpr int32_t kKeyFuncNone = 0;   // code of "N/A", the default of every switch

const std::array<TKEYFNCTBL, kKeyFuncCount>& KeyFuncTable();
int32_t KeyFuncCode(const std::string& Name);   // -1 when no row has that name
std::string KeyFuncName(int32_t Code);          // empty when no row has that code
int32_t KeyFuncIndex(int32_t Code);             // row 0..13, -1 when none

// How a grid column is edited (TGrdInf::EditKind).
inline constexpr int32_t kEditNone = 0;      // not editable
inline constexpr int32_t kEditToggle = 2;    // next item of list EditParam on each double click
inline constexpr int32_t kEditPick = 3;      // choice among the items of list EditParam (pick list)
inline constexpr int32_t kEditNumber = 5;    // number of at most EditParam digits
inline constexpr int32_t kEditTag = 51;      // tag text of at most EditParam characters
inline constexpr int32_t kEditRxFreq = 52;   // receive frequency
inline constexpr int32_t kEditTxFreq = 53;   // transmit frequency

// One column of a grid: two header lines, width in pixels and how its cells are edited.
struct TGrdInf {
    const char* Caption1 = "";
    const char* Caption2 = "";
    int32_t ColWidth = 0;
    int32_t EditKind = kEditNone;
    int32_t EditParam = 0;
};

inline constexpr int kChannelColumnCount = 11;
inline constexpr int kTunerColumnCount = 10;
inline constexpr int kTagColumn = 1;          // channel grid column of the tag
inline constexpr int kRxFreqColumn = 2;
inline constexpr int kTxFreqColumn = 3;

const std::array<TGrdInf, kChannelColumnCount>& ChannelColumns();
const std::array<TGrdInf, kTunerColumnCount>& TunerColumns();

namespace mv53 {

// Named types for byte work on the radio image.
using Byte = std::uint8_t;
using ImageOffset = std::int32_t;   // offset into the radio image, 0..kImageSize-1
using BlockNo = std::int32_t;       // clone block number, 0..kBlockCount-1

inline constexpr ImageOffset kImageSize = 17927;     // 0x4607 bytes, the whole radio image
inline constexpr ImageOffset kBlockSize = 32;
inline constexpr ImageOffset kFirstBlockOffset = 6;  // block 0 follows the 6-byte text id
inline constexpr BlockNo kChannelBlockCount = 500;   // blocks 0..499: one channel each
inline constexpr BlockNo kAreaBlockCount = 60;       // blocks 500..559: common, tuner, factory
inline constexpr BlockNo kBlockCount = kChannelBlockCount + kAreaBlockCount;

// Image offset of the first byte of block b.
constexpr ImageOffset BlockOffset(BlockNo b) { return kFirstBlockOffset + kBlockSize * b; }

inline constexpr int kChannelCount = 500;
inline constexpr ImageOffset kChannelSize = 32;
constexpr ImageOffset ChannelOffset(int channelIndex) { return kFirstBlockOffset + kChannelSize * channelIndex; }

// Channel status byte.
inline constexpr Byte kChannelUsed = 0xA5;
inline constexpr Byte kChannelEmpty = 0xFF;

inline constexpr const char* kModelTextId = "kt468h";   // image offsets 0..5
inline constexpr uint16_t kImageMarker = 0xA569;

// The nine areas of the image.
struct ImageArea {
    uint16_t Offset = 0;
    uint16_t Length = 0;
};

enum AreaIndex : int {
    kAreaTextId = 0,
    kAreaChannels = 1,
    kAreaCommon = 2,
    kAreaTuner0 = 3,
    kAreaTuner1 = 4,
    kAreaSerialAlignment = 5,
    kAreaTmpCorrect = 6,
    kAreaFactoryOpt = 7,
    kAreaSelFlag = 8,
};
inline constexpr int kAreaCount = 9;

inline constexpr std::array<ImageArea, kAreaCount> kAreas{{
    {0, 6},
    {6, 16000},
    {16006, 384},
    {16390, 512},
    {16902, 512},
    {17414, 60},
    {17474, 396},
    {17870, 56},
    {17926, 1},
}};

// Blocks of the clone protocol: common area 500..511, tuner 0 512..527, tuner 1 528..543,
// factory (serial, alignment, temperature correction, factory options) 544..559.
inline constexpr BlockNo kCommonFirstBlock = 500;
inline constexpr BlockNo kCommonBlockCount = 12;
inline constexpr BlockNo kTuner0FirstBlock = 512;
inline constexpr BlockNo kTuner1FirstBlock = 528;
inline constexpr BlockNo kTunerBlockCount = 16;
inline constexpr BlockNo kFactoryFirstBlock = 544;
inline constexpr BlockNo kFactoryBlockCount = 16;

}  // namespace mv53
