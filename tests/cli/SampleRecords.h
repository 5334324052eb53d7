#pragma once
// Records with a value other than the default in every record: used channels at the ends of the
// frequency range, tags with punctuation, the extremes of the signed alignment and temperature
// values. Every channel whose number is a multiple of 7 stays empty with its defaults, as a data
// file reads back.

#include "model/MVmem.h"
#include "model/U_E2prom.h"

#include <string>

namespace mv53::test {

inline void FillSampleRecords(TMVmem& mem)
{
    ClearRecords(mem);
    static const double kFreqs[] = {29.99999, 0.5, 7.053, 30.0, 12.34568, 1.6, 3.5, 0.50001};
    static const char* const kTags[] = {"HF-NET/1", "#12@ZZ_^", "A B", "", "C:\\X*+,.", "\"Q\"[]?<>", "  CH-XYZ"};
    for (int i = 0; i < 500; ++i) {
        if ((i + 1) % 7 == 0)
            continue;
        TChannel& ch = mem.Channels().Items(i);
        ch.SetStatus(0xA5);
        ch.SetMode(i % 5);
        ch.RxFreq().FromFloat(kFreqs[i % 8]);
        ch.TxFreq().FromFloat(kFreqs[(i + 3) % 8]);
        ch.SetTag(kTags[i % 7]);
        ch.SetPower(i % 2);
        ch.SetSpare19(i % 256);
        ch.SetSelcallOn((i / 2) % 2);
        ch.SetEncryptOn((i / 3) % 2);
        ch.SetEncryptCode(i % 16);
        ch.SetTuneMode((i / 5) % 2);
        ch.SetShiftOn((i / 7) % 2);
        ch.SetTxOff((i / 11) % 2);
        ch.SetSpare26((i * 3) % 256);
        ch.SetSpare27(0);
        ch.SetSpare28(1);
        ch.SetSpare29(254);
        ch.SetSpare30(i % 100);
        ch.SetSpare31(128);
    }
    mem.Comport().SetValue(7);
    mem.A1A().SetCwDelay(3);
    mem.Hard().SetHail(2);
    mem.Hard().SetLampMode(5);
    mem.PwrSave().SetHoldTime(50);
    mem.PwrSave().SetSaveTime(9);
    mem.Misc().SetBeep(0);
    mem.Misc().SetVoxDelay(4);
    mem.Misc().SetVoxGain(100);
    mem.Sys().SetNoiseBlanker(0);
    mem.Sys().SetSpSelect(2);
    mem.Sys().SetTot(20);
    mem.Opt().SetEncryptUnit(1);
    mem.Opt().SetSelcallUnit(1);
    mem.Opt().SetTunerUnit(1);

    TCmmSel& sel = mem.Sel();
    sel.SetSelFlag(1);
    sel.SetKillSystem(1);
    sel.SetKillId("87654321");
    sel.SetAllCall(1);
    sel.SetGroupCall(1);
    sel.SetSubGroupCall(1);
    sel.SetPreamble(18);
    sel.SetSelPowerSave(9);
    sel.SetSelHoldTime(19);
    sel.SetSelfId("4321");
    for (int k = 0; k < 10; ++k)
        sel.TxIds(k).SetTxId(std::to_string(9000 + 111 * k).substr(0, 4));

    mem.TelNumbers().SetTelCallType(2);
    mem.TelNumbers().Numbers(0).SetNumber("");
    mem.TelNumbers().Numbers(1).SetNumber("12345");
    for (int k = 2; k < 10; ++k)
        mem.TelNumbers().Numbers(k).SetNumber(std::string(16, static_cast<char>('0' + k)));

    for (int k = 0; k < 250; ++k) {
        TTuneData& a = mem.AntTuner0().Entries(k);
        a.SetTuneReset(k % 2);
        a.SetTuneThru((k / 2) % 2);
        a.SetTuneTrans(k % 4);
        a.SetTuneMidC((k / 4) % 4);
        a.SetTuneTopC((k / 3) % 2);
        a.SetTuneL((k * 37) % 512);
        TTuneData& b = mem.AntTuner1().Entries(k);
        b.SetTuneReset(1);
        b.SetTuneThru(1);
        b.SetTuneTrans(3);
        b.SetTuneMidC(3);
        b.SetTuneTopC(1);
        b.SetTuneL(511 - k);
    }

    for (int p = 1; p <= 51; ++p)
        mem.Alignment().SetValues(p, (p * 41) % 256);
    mem.Alignment().SetValues(6, -128);
    mem.Alignment().SetValues(49, -1500 / 10);
    mem.Alignment().SetValues(50, 32767);
    mem.Alignment().SetValues(51, 1);

    for (int r = 0; r < 44; ++r)
        for (int c = 0; c < 9; ++c)
            mem.TmpCorrect().Rows(r).SetValues(c, ((r * 9 + c) * 13) % 256 - 128);

    TFactoryOpt& f = mem.FactoryOpt();
    f.SetCwPitch(0);
    f.SetRxRange(1);
    f.SetTxRange(1);
    f.SetKeyFunc(0, 13);
    f.SetKeyFunc(1, 7);
    f.SetKeyFunc(2, 4);
    f.SetDataMode(3);
    f.SetRttyShift(2);
    f.SetRttyFreqDisp(1);
    f.SetPktOffset(-300);
    f.SetPktTone(0);
}

}  // namespace mv53::test
