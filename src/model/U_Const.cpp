#include "model/U_Const.h"

namespace {

constexpr TVALTBLX L(std::initializer_list<const char*> items)
{
    TVALTBLX list;
    int i = 0;
    for (const char* item : items)
        list.Items[static_cast<size_t>(i++)] = item;
    list.Count = i;
    for (; i < kOptionSlotCount; ++i)
        list.Items[static_cast<size_t>(i)] = "";
    return list;
}

constexpr const char* kOffOn[] = {"OFF", "ON"};

const std::array<TVALTBLX, kOptionListCount> kValTbl{{
    L({"-", "v"}),
    L({"J3E(LSB)", "J3E(USB)", "A1A", "A3E", "J2B"}),
    L({"High", "Low"}),
    L({kOffOn[0], kOffOn[1]}),
    L({"OFF", "01", "02", "03", "04", "05", "06", "07", "08", "09", "10", "11", "12", "13", "14", "15", "16"}),
    L({kOffOn[0], kOffOn[1]}),
    L({kOffOn[0], kOffOn[1]}),
    L({"500 ms", "1000 ms", "1500 ms", "2000 ms", "2500 ms"}),
    L({"400 Hz", "500 Hz", "600 Hz", "700 Hz", "800 Hz", "900 Hz", "1000 Hz"}),
    L({"1", "2", "3"}),
    L({"On", "Off", "Toggle", "Moment", "3 s", "Auto"}),
    L({"OFF", "1.0 s", "1.5 s", "2.0 s", "2.5 s", "3.0 s", "3.5 s", "4.0 s", "4.5 s", "5.0 s"}),
    L({kOffOn[0], kOffOn[1]}),
    L({"500 ms", "1000 ms", "1500 ms", "2000 ms", "2500 ms"}),
    L({"RTTY-LSB", "RTTY-USB", "PKT-LSB", "PKT-USB"}),
    L({kOffOn[0], kOffOn[1]}),
    L({"170 Hz", "425 Hz", "850 Hz"}),
    L({"Mark", "Carier"}),
    L({"1170 Hz", "1700 Hz", "2125 Hz", "2210 Hz"}),
    L({"Internal", "Auto", "SP MIC"}),
    L({kOffOn[0], kOffOn[1]}),
    L({kOffOn[0], kOffOn[1]}),
    L({kOffOn[0], kOffOn[1]}),
    L({kOffOn[0], kOffOn[1]}),
    L({kOffOn[0], kOffOn[1]}),
    L({"ENABLE", "DISABLE"}),
    L({"ENABLE", "DISABLE"}),
    L({"ENABLE", "DISABLE"}),
    L({"OFF", " 1 s", " 2 s", " 3 s", " 4 s", " 5 s", " 6 s", " 7 s", " 8 s", " 9 s"}),
    L({"BARRETT", "CODAN12", "CODAN16"}),
    L({"0", "1"}),
    L({"0", "1"}),
    L({"0", "1", "2", "3"}),
    L({"0", "1", "2", "3"}),
    L({"0", "1"}),
    L({}),
}};

// Alphabetical by name; the code is what the radio stores.
const std::array<TKEYFNCTBL, kKeyFuncCount> kKeyFuncTbl{{
    {"Antenna Tuner", 4},
    {"Antenna Tuning", 5},
    {"Display Select(Tag/Freq)", 7},
    {"ENCRYPTION", 6},
    {"HAIL", 8},
    {"Lamp", 12},
    {"N/A", 0},
    {"Noise Blanker", 3},
    {"Power Select", 2},
    {"SELCALL", 1},
    {"Speaker Select", 11},
    {"Squelch", 10},
    {"TELCALL", 9},
    {"VFO/Memory", 13},
}};

const std::array<TGrdInf, kChannelColumnCount> kChannelColumns{{
    {"", "Chn", 30, kEditNone, 0},
    {"", "TAG", 73, kEditTag, 8},
    {"Frequency", "Receive", 70, kEditRxFreq, 8},
    {"Frequency", "Transmit", 70, kEditTxFreq, 8},
    {"", "Mode", 70, kEditPick, kListMode},
    {"", "Pwr", 50, kEditToggle, kListPower},
    {"", "Shift", 50, kEditToggle, kListShiftOn},
    {"Encryption", "Code", 60, kEditPick, kListEncryptCode},
    {"", "Selcall", 50, kEditToggle, kListSelcallOn},
    {"Tune", "Mode", 50, kEditToggle, kListTuneMode},
    {"Tuner", "tcll", 40, kEditNone, 0},
}};

const std::array<TGrdInf, kTunerColumnCount> kTunerColumns{{
    {"", "Chn", 30, kEditNone, 0},
    {"", "TAG", 73, kEditNone, 0},
    {"Frequency", "Receive", 70, kEditNone, 0},
    {"Frequency", "Transmit", 70, kEditNone, 0},
    {"", "Reset", 65, kEditToggle, kListTuneReset},
    {"", "Thru", 65, kEditToggle, kListTuneThru},
    {"", "Trans", 65, kEditToggle, kListTuneTrans},
    {"", "Mid-C", 65, kEditToggle, kListTuneMidC},
    {"", "Top-C", 65, kEditToggle, kListTuneTopC},
    {"", "L", 70, kEditNumber, 3},
}};

}  // namespace

const std::array<TVALTBLX, kOptionListCount>& ValTbl() { return kValTbl; }

std::string ValText(int32_t List, int32_t Index)
{
    if (List < 0 || List >= kOptionListCount || Index < 0 || Index >= kOptionSlotCount)
        return {};
    const TVALTBLX& list = kValTbl[static_cast<size_t>(List)];
    if (Index >= list.Count)
        return {};
    return list.Items[static_cast<size_t>(Index)];
}

int32_t ValIndexOf(int32_t List, const std::string& Text)
{
    if (List < 0 || List >= kOptionListCount)
        return 0;
    const TVALTBLX& list = kValTbl[static_cast<size_t>(List)];
    for (int32_t i = 0; i < list.Count; ++i)
        if (Text == list.Items[static_cast<size_t>(i)])
            return i;
    return 0;
}

int32_t ValCount(int32_t List)
{
    if (List < 0 || List >= kOptionListCount)
        return 0;
    return kValTbl[static_cast<size_t>(List)].Count;
}

const std::array<TKEYFNCTBL, kKeyFuncCount>& KeyFuncTable() { return kKeyFuncTbl; }

int32_t KeyFuncCode(const std::string& Name)
{
    for (const TKEYFNCTBL& row : kKeyFuncTbl)
        if (Name == row.Name)
            return row.Code;
    return -1;
}

std::string KeyFuncName(int32_t Code)
{
    int32_t index = KeyFuncIndex(Code);
    return index < 0 ? std::string() : std::string(kKeyFuncTbl[static_cast<size_t>(index)].Name);
}

int32_t KeyFuncIndex(int32_t Code)
{
    for (size_t i = 0; i < kKeyFuncTbl.size(); ++i)
        if (kKeyFuncTbl[i].Code == Code)
            return static_cast<int32_t>(i);
    return -1;
}

const std::array<TGrdInf, kChannelColumnCount>& ChannelColumns() { return kChannelColumns; }
const std::array<TGrdInf, kTunerColumnCount>& TunerColumns() { return kTunerColumns; }
