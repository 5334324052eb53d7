#pragma once
// The records: the in-memory form of everything the radio stores. Plain value types with one
// getter and setter per field, Assign(source) and Equals(other). All numbers are 32-bit signed,
// even where the radio keeps a byte or a few bits; a choice is an item index of an option list.

#include "model/Decimal.h"

#include <array>
#include <cstdint>
#include <string>

// One memory channel.
class TChannel {
public:
    int32_t Status() const { return m_status; }
    void SetStatus(int32_t v) { m_status = v; }
    int32_t Mode() const { return m_mode; }
    void SetMode(int32_t v) { m_mode = v; }
    TDecimal& RxFreq() { return m_rxFreq; }
    const TDecimal& RxFreq() const { return m_rxFreq; }
    TDecimal& TxFreq() { return m_txFreq; }
    const TDecimal& TxFreq() const { return m_txFreq; }
    const std::string& Tag() const { return m_tag; }
    void SetTag(const std::string& v) { m_tag = v; }
    int32_t Power() const { return m_power; }
    void SetPower(int32_t v) { m_power = v; }
    int32_t Spare19() const { return m_spare19; }
    void SetSpare19(int32_t v) { m_spare19 = v; }
    int32_t SelcallOn() const { return m_selcallOn; }
    void SetSelcallOn(int32_t v) { m_selcallOn = v; }
    int32_t EncryptOn() const { return m_encryptOn; }
    void SetEncryptOn(int32_t v) { m_encryptOn = v; }
    int32_t EncryptCode() const { return m_encryptCode; }
    void SetEncryptCode(int32_t v) { m_encryptCode = v; }
    int32_t TuneMode() const { return m_tuneMode; }
    void SetTuneMode(int32_t v) { m_tuneMode = v; }
    int32_t ShiftOn() const { return m_shiftOn; }
    void SetShiftOn(int32_t v) { m_shiftOn = v; }
    int32_t TxOff() const { return m_txOff; }
    void SetTxOff(int32_t v) { m_txOff = v; }
    int32_t Spare26() const { return m_spare[0]; }
    void SetSpare26(int32_t v) { m_spare[0] = v; }
    int32_t Spare27() const { return m_spare[1]; }
    void SetSpare27(int32_t v) { m_spare[1] = v; }
    int32_t Spare28() const { return m_spare[2]; }
    void SetSpare28(int32_t v) { m_spare[2] = v; }
    int32_t Spare29() const { return m_spare[3]; }
    void SetSpare29(int32_t v) { m_spare[3] = v; }
    int32_t Spare30() const { return m_spare[4]; }
    void SetSpare30(int32_t v) { m_spare[4] = v; }
    int32_t Spare31() const { return m_spare[5]; }
    void SetSpare31(int32_t v) { m_spare[5] = v; }
    // Spare byte 26 + i of the channel, i = 0..5.
    int32_t Spare(int i) const { return m_spare[static_cast<size_t>(i)]; }
    void SetSpare(int i, int32_t v) { m_spare[static_cast<size_t>(i)] = v; }

    void Assign(const TChannel& source) { *this = source; }
    bool Equals(const TChannel& other) const;
    bool operator==(const TChannel&) const = default;

private:
    int32_t m_status = 0;
    int32_t m_mode = 0;
    TDecimal m_rxFreq;
    TDecimal m_txFreq;
    std::string m_tag;
    int32_t m_power = 0;
    int32_t m_spare19 = 0;
    int32_t m_selcallOn = 0;
    int32_t m_encryptOn = 0;
    int32_t m_encryptCode = 0;
    int32_t m_tuneMode = 0;
    int32_t m_shiftOn = 0;
    int32_t m_txOff = 0;
    std::array<int32_t, 6> m_spare{};
};

// The 500 memory channels, index 0..499 (channel number = index + 1).
class TChannels {
public:
    static constexpr int32_t kCount = 500;
    TChannel& Items(int32_t index) { return m_items[static_cast<size_t>(index)]; }
    const TChannel& Items(int32_t index) const { return m_items[static_cast<size_t>(index)]; }
    static constexpr int32_t Count() { return kCount; }
    static constexpr int32_t First() { return 0; }
    static constexpr int32_t Last() { return kCount - 1; }

    void Assign(const TChannels& source) { *this = source; }
    bool Equals(const TChannels& other) const;
    bool operator==(const TChannels&) const = default;

private:
    std::array<TChannel, kCount> m_items{};
};

// Image byte 16006, carried through unchanged. No Equals.
class TComport {
public:
    int32_t Value() const { return m_value; }
    void SetValue(int32_t v) { m_value = v; }
    void Assign(const TComport& source) { *this = source; }
    bool operator==(const TComport&) const = default;

private:
    int32_t m_value = 0;
};

// A1A (CW) settings.
class TCmmA1A {
public:
    int32_t CwDelay() const { return m_cwDelay; }
    void SetCwDelay(int32_t v) { m_cwDelay = v; }
    void Assign(const TCmmA1A& source) { *this = source; }
    bool Equals(const TCmmA1A& other) const;
    bool operator==(const TCmmA1A&) const = default;

private:
    int32_t m_cwDelay = 0;
};

// Hardware settings.
class TCmmHard {
public:
    int32_t Hail() const { return m_hail; }
    void SetHail(int32_t v) { m_hail = v; }
    int32_t LampMode() const { return m_lampMode; }
    void SetLampMode(int32_t v) { m_lampMode = v; }
    void Assign(const TCmmHard& source) { *this = source; }
    bool Equals(const TCmmHard& other) const;
    bool operator==(const TCmmHard&) const = default;

private:
    int32_t m_hail = 0;
    int32_t m_lampMode = 0;
};

// Battery saver.
class TCmmPwrSave {
public:
    int32_t HoldTime() const { return m_holdTime; }
    void SetHoldTime(int32_t v) { m_holdTime = v; }
    int32_t SaveTime() const { return m_saveTime; }
    void SetSaveTime(int32_t v) { m_saveTime = v; }
    void Assign(const TCmmPwrSave& source) { *this = source; }
    bool Equals(const TCmmPwrSave& other) const;
    bool operator==(const TCmmPwrSave&) const = default;

private:
    int32_t m_holdTime = 0;
    int32_t m_saveTime = 0;
};

// Miscellaneous parameters.
class TCmmMisc {
public:
    int32_t Beep() const { return m_beep; }
    void SetBeep(int32_t v) { m_beep = v; }
    int32_t VoxDelay() const { return m_voxDelay; }
    void SetVoxDelay(int32_t v) { m_voxDelay = v; }
    int32_t VoxGain() const { return m_voxGain; }
    void SetVoxGain(int32_t v) { m_voxGain = v; }
    void Assign(const TCmmMisc& source) { *this = source; }
    bool Equals(const TCmmMisc& other) const;
    bool operator==(const TCmmMisc&) const = default;

private:
    int32_t m_beep = 0;
    int32_t m_voxDelay = 0;
    int32_t m_voxGain = 0;
};

// System settings.
class TCmmSys {
public:
    int32_t NoiseBlanker() const { return m_noiseBlanker; }
    void SetNoiseBlanker(int32_t v) { m_noiseBlanker = v; }
    int32_t SpSelect() const { return m_spSelect; }
    void SetSpSelect(int32_t v) { m_spSelect = v; }
    int32_t Tot() const { return m_tot; }
    void SetTot(int32_t v) { m_tot = v; }
    void Assign(const TCmmSys& source) { *this = source; }
    bool Equals(const TCmmSys& other) const;
    bool operator==(const TCmmSys&) const = default;

private:
    int32_t m_noiseBlanker = 0;
    int32_t m_spSelect = 0;
    int32_t m_tot = 0;
};

// Installed option units.
class TCmmOpt {
public:
    int32_t EncryptUnit() const { return m_encryptUnit; }
    void SetEncryptUnit(int32_t v) { m_encryptUnit = v; }
    int32_t SelcallUnit() const { return m_selcallUnit; }
    void SetSelcallUnit(int32_t v) { m_selcallUnit = v; }
    int32_t TunerUnit() const { return m_tunerUnit; }
    void SetTunerUnit(int32_t v) { m_tunerUnit = v; }
    void Assign(const TCmmOpt& source) { *this = source; }
    bool Equals(const TCmmOpt& other) const;
    bool operator==(const TCmmOpt&) const = default;

private:
    int32_t m_encryptUnit = 0;
    int32_t m_selcallUnit = 0;
    int32_t m_tunerUnit = 0;
};

// One selcall transmit ID: 4 decimal digits.
class TCmmTxId {
public:
    const std::string& TxId() const { return m_txId; }
    void SetTxId(const std::string& v) { m_txId = v; }
    void Assign(const TCmmTxId& source) { *this = source; }
    bool Equals(const TCmmTxId& other) const;
    bool operator==(const TCmmTxId&) const = default;

private:
    std::string m_txId;
};

// Selcall common settings with the 10 transmit IDs.
class TCmmSel {
public:
    static constexpr int32_t kTxIdCount = 10;

    int32_t SelFlag() const { return m_selFlag; }
    void SetSelFlag(int32_t v) { m_selFlag = v; }
    int32_t KillSystem() const { return m_killSystem; }
    void SetKillSystem(int32_t v) { m_killSystem = v; }
    const std::string& KillId() const { return m_killId; }
    void SetKillId(const std::string& v) { m_killId = v; }
    int32_t AllCall() const { return m_allCall; }
    void SetAllCall(int32_t v) { m_allCall = v; }
    int32_t GroupCall() const { return m_groupCall; }
    void SetGroupCall(int32_t v) { m_groupCall = v; }
    int32_t SubGroupCall() const { return m_subGroupCall; }
    void SetSubGroupCall(int32_t v) { m_subGroupCall = v; }
    int32_t Preamble() const { return m_preamble; }
    void SetPreamble(int32_t v) { m_preamble = v; }
    int32_t SelPowerSave() const { return m_selPowerSave; }
    void SetSelPowerSave(int32_t v) { m_selPowerSave = v; }
    int32_t SelHoldTime() const { return m_selHoldTime; }
    void SetSelHoldTime(int32_t v) { m_selHoldTime = v; }
    const std::string& SelfId() const { return m_selfId; }
    void SetSelfId(const std::string& v) { m_selfId = v; }
    TCmmTxId& TxIds(int32_t index) { return m_txIds[static_cast<size_t>(index)]; }
    const TCmmTxId& TxIds(int32_t index) const { return m_txIds[static_cast<size_t>(index)]; }
    static constexpr int32_t First() { return 0; }
    static constexpr int32_t Last() { return kTxIdCount - 1; }
    static constexpr int32_t Count() { return kTxIdCount; }

    void Assign(const TCmmSel& source) { *this = source; }
    bool Equals(const TCmmSel& other) const;
    bool operator==(const TCmmSel&) const = default;

private:
    int32_t m_selFlag = 0;
    int32_t m_killSystem = 0;
    std::string m_killId;
    int32_t m_allCall = 0;
    int32_t m_groupCall = 0;
    int32_t m_subGroupCall = 0;
    int32_t m_preamble = 0;
    int32_t m_selPowerSave = 0;
    int32_t m_selHoldTime = 0;
    std::string m_selfId;
    std::array<TCmmTxId, kTxIdCount> m_txIds{};
};

// One telephone number: up to 16 decimal digits.
class TCmmTelNumber {
public:
    const std::string& Number() const { return m_number; }
    void SetNumber(const std::string& v) { m_number = v; }
    void Assign(const TCmmTelNumber& source) { *this = source; }
    bool Equals(const TCmmTelNumber& other) const;
    bool operator==(const TCmmTelNumber&) const = default;

private:
    std::string m_number;
};

// Telephone settings with the 10 numbers.
class TCmmTelNumbers {
public:
    static constexpr int32_t kNumberCount = 10;

    int32_t TelCallType() const { return m_telCallType; }
    void SetTelCallType(int32_t v) { m_telCallType = v; }
    TCmmTelNumber& Numbers(int32_t index) { return m_numbers[static_cast<size_t>(index)]; }
    const TCmmTelNumber& Numbers(int32_t index) const { return m_numbers[static_cast<size_t>(index)]; }
    TCmmTelNumber& Items(int32_t index) { return Numbers(index); }
    const TCmmTelNumber& Items(int32_t index) const { return Numbers(index); }
    static constexpr int32_t First() { return 0; }
    static constexpr int32_t Last() { return kNumberCount - 1; }
    static constexpr int32_t Count() { return kNumberCount; }

    void Assign(const TCmmTelNumbers& source) { *this = source; }
    bool Equals(const TCmmTelNumbers& other) const;
    bool operator==(const TCmmTelNumbers&) const = default;

private:
    int32_t m_telCallType = 0;
    std::array<TCmmTelNumber, kNumberCount> m_numbers{};
};

// Antenna tuner data of one entry.
class TTuneData {
public:
    int32_t TuneReset() const { return m_tuneReset; }
    void SetTuneReset(int32_t v) { m_tuneReset = v; }
    int32_t TuneThru() const { return m_tuneThru; }
    void SetTuneThru(int32_t v) { m_tuneThru = v; }
    int32_t TuneTrans() const { return m_tuneTrans; }
    void SetTuneTrans(int32_t v) { m_tuneTrans = v; }
    int32_t TuneMidC() const { return m_tuneMidC; }
    void SetTuneMidC(int32_t v) { m_tuneMidC = v; }
    int32_t TuneTopC() const { return m_tuneTopC; }
    void SetTuneTopC(int32_t v) { m_tuneTopC = v; }
    int32_t TuneL() const { return m_tuneL; }
    void SetTuneL(int32_t v) { m_tuneL = v; }
    void Assign(const TTuneData& source) { *this = source; }
    bool Equals(const TTuneData& other) const;
    bool operator==(const TTuneData&) const = default;

private:
    int32_t m_tuneReset = 0;
    int32_t m_tuneThru = 0;
    int32_t m_tuneTrans = 0;
    int32_t m_tuneMidC = 0;
    int32_t m_tuneTopC = 0;
    int32_t m_tuneL = 0;
};

// An antenna tuner table: 250 entries; entry k belongs to channel k + 1.
class TAntTunerTable {
public:
    static constexpr int32_t kCount = 250;
    TTuneData& Entries(int32_t index) { return m_entries[static_cast<size_t>(index)]; }
    const TTuneData& Entries(int32_t index) const { return m_entries[static_cast<size_t>(index)]; }
    TTuneData& Items(int32_t index) { return Entries(index); }
    const TTuneData& Items(int32_t index) const { return Entries(index); }
    static constexpr int32_t Count() { return kCount; }
    static constexpr int32_t First() { return 0; }
    static constexpr int32_t Last() { return kCount - 1; }
    bool Equals(const TAntTunerTable& other) const;
    bool operator==(const TAntTunerTable&) const = default;

private:
    std::array<TTuneData, kCount> m_entries{};
};

class TAntTuner0 : public TAntTunerTable {
public:
    void Assign(const TAntTuner0& source) { *this = source; }
    bool Equals(const TAntTuner0& other) const;
    bool operator==(const TAntTuner0&) const = default;
};

class TAntTuner1 : public TAntTunerTable {
public:
    void Assign(const TAntTuner1& source) { *this = source; }
    bool Equals(const TAntTuner1& other) const;
    bool operator==(const TAntTuner1&) const = default;
};

// The factory alignment values, positions 1..51 (6, 49 and 50 signed; 51 the LCD test flag).
class TAlignment {
public:
    static constexpr int32_t kFirst = 1;
    static constexpr int32_t kLast = 51;
    int32_t Values(int32_t position) const { return m_values[static_cast<size_t>(position)]; }
    void SetValues(int32_t position, int32_t v) { m_values[static_cast<size_t>(position)] = v; }
    static constexpr int32_t First() { return kFirst; }
    static constexpr int32_t Last() { return kLast; }
    static constexpr int32_t Count() { return kLast; }
    void Assign(const TAlignment& source) { *this = source; }
    bool Equals(const TAlignment& other) const;
    bool operator==(const TAlignment&) const = default;

private:
    std::array<int32_t, kLast + 1> m_values{};   // slot 0 unused
};

// One temperature correction row: 9 signed values.
class TCorrectData {
public:
    static constexpr int32_t kCount = 9;
    int32_t Values(int32_t index) const { return m_values[static_cast<size_t>(index)]; }
    void SetValues(int32_t index, int32_t v) { m_values[static_cast<size_t>(index)] = v; }
    static constexpr int32_t Count() { return kCount; }
    void Assign(const TCorrectData& source) { *this = source; }
    bool Equals(const TCorrectData& other) const;
    bool operator==(const TCorrectData&) const = default;

private:
    std::array<int32_t, kCount> m_values{};
};

// The temperature correction table: 44 rows.
class TTmpCorrect {
public:
    static constexpr int32_t kCount = 44;
    TCorrectData& Rows(int32_t index) { return m_rows[static_cast<size_t>(index)]; }
    const TCorrectData& Rows(int32_t index) const { return m_rows[static_cast<size_t>(index)]; }
    TCorrectData& Items(int32_t index) { return Rows(index); }
    const TCorrectData& Items(int32_t index) const { return Rows(index); }
    static constexpr int32_t Count() { return kCount; }
    static constexpr int32_t First() { return 0; }
    static constexpr int32_t Last() { return kCount - 1; }
    void Assign(const TTmpCorrect& source) { *this = source; }
    bool Equals(const TTmpCorrect& other) const;
    bool operator==(const TTmpCorrect&) const = default;

private:
    std::array<TCorrectData, kCount> m_rows{};
};

// The settings kept in the radio's factory area.
class TFactoryOpt {
public:
    static constexpr int32_t kKeyFuncCount = 3;   // switches A, B, C

    int32_t CwPitch() const { return m_cwPitch; }
    void SetCwPitch(int32_t v) { m_cwPitch = v; }
    int32_t RxRange() const { return m_rxRange; }
    void SetRxRange(int32_t v) { m_rxRange = v; }
    int32_t TxRange() const { return m_txRange; }
    void SetTxRange(int32_t v) { m_txRange = v; }
    int32_t KeyFunc(int32_t index) const { return m_keyFunc[static_cast<size_t>(index)]; }
    void SetKeyFunc(int32_t index, int32_t v) { m_keyFunc[static_cast<size_t>(index)] = v; }
    const std::string& SerialNo() const { return m_serialNo; }
    void SetSerialNo(const std::string& v) { m_serialNo = v; }
    int32_t DataMode() const { return m_dataMode; }
    void SetDataMode(int32_t v) { m_dataMode = v; }
    int32_t RttyShift() const { return m_rttyShift; }
    void SetRttyShift(int32_t v) { m_rttyShift = v; }
    int32_t RttyFreqDisp() const { return m_rttyFreqDisp; }
    void SetRttyFreqDisp(int32_t v) { m_rttyFreqDisp = v; }
    int32_t PktOffset() const { return m_pktOffset; }
    void SetPktOffset(int32_t v) { m_pktOffset = v; }
    int32_t PktTone() const { return m_pktTone; }
    void SetPktTone(int32_t v) { m_pktTone = v; }

    void Assign(const TFactoryOpt& source) { *this = source; }
    bool Equals(const TFactoryOpt& other) const;
    bool operator==(const TFactoryOpt&) const = default;

private:
    int32_t m_cwPitch = 0;
    int32_t m_rxRange = 0;
    int32_t m_txRange = 0;
    std::array<int32_t, kKeyFuncCount> m_keyFunc{};
    std::string m_serialNo;
    int32_t m_dataMode = 0;
    int32_t m_rttyShift = 0;
    int32_t m_rttyFreqDisp = 0;
    int32_t m_pktOffset = 0;
    int32_t m_pktTone = 0;
};
