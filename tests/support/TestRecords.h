#pragma once
// Records for tests: cleared records with a few changes, their encoded image, a comparison of
// every record, and random records within the ranges the radio and the editors use.

#include "model/MVmem.h"
#include "model/Text.h"
#include "model/U_E2prom.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>

namespace mv53::test {

// Cleared records changed by edit.
inline TMVmem ClearedRecords(const std::function<void(TMVmem&)>& edit = {})
{
    TMVmem mem;
    ClearRecords(mem);
    if (edit)
        edit(mem);
    return mem;
}

// The fresh image with mem encoded into it.
inline TText EncodedImage(const TMVmem& mem, bool withSerial)
{
    TText image;
    EncodeImage(image, mem, withSerial);
    return image;
}

// What the program itself writes as a data file for mem: a fresh image, then the encoding of a save.
inline std::string DataFileBytes(const TMVmem& mem)
{
    const TText image = EncodedImage(mem, false);
    return {reinterpret_cast<const char*>(image.Data()), static_cast<size_t>(TText::Size())};
}

// A PNG picture's file (signature, header chunk, then picture data): long enough to read as a
// data file, and no data file at all.
inline std::string PictureFileBytes()
{
    std::string bytes("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16);
    bytes.resize(20000, '\x5A');
    return bytes;
}

// Every record of a and b compared; the failure names the records that differ.
inline ::testing::AssertionResult SameRecords(const TMVmem& a, const TMVmem& b)
{
    std::string differ;
    const auto check = [&differ](bool same, const char* name) {
        if (!same)
            differ += std::string(" ") + name;
    };
    check(a.Channels().Equals(b.Channels()), "Channels");
    check(a.Comport().Value() == b.Comport().Value(), "Comport");
    check(a.A1A().Equals(b.A1A()), "A1A");
    check(a.Hard().Equals(b.Hard()), "Hard");
    check(a.PwrSave().Equals(b.PwrSave()), "PwrSave");
    check(a.Misc().Equals(b.Misc()), "Misc");
    check(a.Sys().Equals(b.Sys()), "Sys");
    check(a.Opt().Equals(b.Opt()), "Opt");
    check(a.Sel().Equals(b.Sel()), "Sel");
    check(a.TelNumbers().Equals(b.TelNumbers()), "TelNumbers");
    check(a.AntTuner0().Equals(b.AntTuner0()), "AntTuner0");
    check(a.AntTuner1().Equals(b.AntTuner1()), "AntTuner1");
    check(a.Alignment().Equals(b.Alignment()), "Alignment");
    check(a.TmpCorrect().Equals(b.TmpCorrect()), "TmpCorrect");
    check(a.FactoryOpt().Equals(b.FactoryOpt()), "FactoryOpt");
    if (differ.empty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "records differ:" << differ;
}

// Random records. Fields the image does not carry back (SelFlag, alignment position 51,
// FwVersion, the serial number of a data file) are left at their defaults so that a round trip
// must reproduce all.

class RandomRecords {
public:
    explicit RandomRecords(unsigned seed) : m_rng(seed) {}

    int32_t Int(int32_t low, int32_t high) { return std::uniform_int_distribution<int32_t>(low, high)(m_rng); }

    std::string Digits(int minLen, int maxLen)
    {
        std::string s(static_cast<size_t>(Int(minLen, maxLen)), '0');
        for (char& c : s)
            c = static_cast<char>('0' + Int(0, 9));
        return s;
    }

    // Codes 32..95 without trailing blanks (the decoder removes them).
    std::string Tag()
    {
        std::string s(static_cast<size_t>(Int(0, 8)), ' ');
        for (char& c : s)
            c = static_cast<char>(Int(32, 95));
        while (!s.empty() && s.back() == ' ')
            s.pop_back();
        return s;
    }

    void Fill(TMVmem& mem)
    {
        ClearRecords(mem);
        for (int32_t i = 0; i < TChannels::kCount; ++i) {
            TChannel& ch = mem.Channels().Items(i);
            if (Int(0, 3) == 0)
                continue;   // stays an empty channel with default data
            ch.SetStatus(0xA5);
            ch.SetMode(Int(0, 4));
            ch.RxFreq().FromFloat(Int(50000, 3000000) / 100000.0);
            ch.TxFreq().FromFloat(Int(50000, 3000000) / 100000.0);
            ch.SetTag(Tag());
            ch.SetPower(Int(0, 1));
            ch.SetSpare19(Int(0, 255));
            ch.SetSelcallOn(Int(0, 1));
            ch.SetEncryptOn(Int(0, 1));
            ch.SetEncryptCode(Int(0, 15));
            ch.SetTuneMode(Int(0, 1));
            ch.SetShiftOn(Int(0, 1));
            ch.SetTxOff(Int(0, 1));
            for (int s = 0; s < 6; ++s)
                ch.SetSpare(s, Int(0, 255));
        }
        mem.Comport().SetValue(Int(0, 255));
        mem.A1A().SetCwDelay(Int(0, 4));
        mem.Hard().SetHail(Int(0, 2));
        mem.Hard().SetLampMode(Int(0, 5));
        mem.PwrSave().SetHoldTime(Int(0, 50));
        mem.PwrSave().SetSaveTime(Int(0, 9));
        mem.Misc().SetBeep(Int(0, 1));
        mem.Misc().SetVoxDelay(Int(0, 4));
        mem.Misc().SetVoxGain(Int(0, 100));
        mem.Sys().SetNoiseBlanker(Int(0, 1));
        mem.Sys().SetSpSelect(Int(0, 2));
        mem.Sys().SetTot(Int(0, 20));
        mem.Opt().SetEncryptUnit(Int(0, 1));
        mem.Opt().SetSelcallUnit(Int(0, 1));
        mem.Opt().SetTunerUnit(Int(0, 1));
        TCmmSel& sel = mem.Sel();
        sel.SetKillSystem(Int(0, 1));
        sel.SetKillId(Digits(8, 8));
        sel.SetAllCall(Int(0, 1));
        sel.SetGroupCall(Int(0, 1));
        sel.SetSubGroupCall(Int(0, 1));
        sel.SetPreamble(Int(0, 18));
        sel.SetSelPowerSave(Int(0, 9));
        sel.SetSelHoldTime(Int(0, 19));
        sel.SetSelfId(Digits(4, 4));
        for (int32_t k = 0; k < TCmmSel::kTxIdCount; ++k)
            sel.TxIds(k).SetTxId(Digits(0, 4));
        mem.TelNumbers().SetTelCallType(Int(0, 2));
        for (int32_t k = 0; k < TCmmTelNumbers::kNumberCount; ++k)
            mem.TelNumbers().Numbers(k).SetNumber(Digits(0, 16));
        for (TAntTunerTable* table : {static_cast<TAntTunerTable*>(&mem.AntTuner0()), static_cast<TAntTunerTable*>(&mem.AntTuner1())})
            for (int32_t k = 0; k < TAntTunerTable::kCount; ++k) {
                TTuneData& e = table->Entries(k);
                e.SetTuneReset(Int(0, 1));
                e.SetTuneThru(Int(0, 1));
                e.SetTuneTrans(Int(0, 3));
                e.SetTuneMidC(Int(0, 3));
                e.SetTuneTopC(Int(0, 1));
                e.SetTuneL(Int(0, 511));
            }
        for (int32_t p = 1; p <= 48; ++p)
            mem.Alignment().SetValues(p, p == 6 ? Int(-128, 127) : Int(0, 255));
        mem.Alignment().SetValues(49, Int(-32768, 32767));
        mem.Alignment().SetValues(50, Int(-32768, 32767));
        for (int32_t r = 0; r < TTmpCorrect::kCount; ++r)
            for (int32_t c = 0; c < TCorrectData::kCount; ++c)
                mem.TmpCorrect().Rows(r).SetValues(c, Int(-128, 127));
        TFactoryOpt& fo = mem.FactoryOpt();
        fo.SetCwPitch(Int(0, 6));
        fo.SetRxRange(Int(0, 1));
        fo.SetTxRange(Int(0, 1));
        for (int32_t s = 0; s < 3; ++s)
            fo.SetKeyFunc(s, Int(0, 13));
        fo.SetDataMode(Int(0, 3));
        fo.SetRttyShift(Int(0, 2));
        fo.SetRttyFreqDisp(Int(0, 1));
        fo.SetPktOffset(Int(-300, 300));
        fo.SetPktTone(Int(0, 3));
    }

private:
    std::mt19937 m_rng;
};

}  // namespace mv53::test
