#pragma once
// Records with a value other than the default in every record: used channels at the ends of the
// frequency range, tags with punctuation, the extremes of the signed alignment and temperature
// values. Every 7th channel stays empty with its defaults, as a data file reads back.

#include "model/MVmem.h"
#include "model/U_E2prom.h"

#include <string>

namespace mv53::test {

inline void FillSampleRecords(TMVmem& mem)
{
    ClearRecords(mem);
    static const double kFreqs[] = {29.99999, 0.5, 7.053, 30.0, 12.34568, 1.6, 3.5, 0.50001};
    static const char* const kTags[] = {"HF-NET/1", "#12@ZZ_^", "A B", "", "C:\\X*+,.", "\"Q\"[]?<>", "  CH-XYZ"};
    for (int i = 0; i < TChannels::kCount; ++i) {
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
        ch.SetSelcallOn(i / 2 % 2);
        ch.SetEncryptOn(i / 3 % 2);
        ch.SetEncryptCode(i % 16);
        ch.SetTuneMode(i / 5 % 2);
        ch.SetShiftOn(i / 7 % 2);
        ch.SetTxOff(i / 11 % 2);
        for (int s = 0; s < 6; ++s)
            ch.SetSpare(s, (i * 3 + 50 * s) % 256);
    }
    mem.Comport().SetValue(7);
    mem.A1A().SetCwDelay(4);
    mem.Hard().SetLampMode(5);
    mem.PwrSave().SetHoldTime(50);
    mem.Misc().SetVoxGain(100);
    mem.Sys().SetTot(20);
    mem.Opt().SetTunerUnit(1);
    mem.Sel().SetSelFlag(1);
    mem.Sel().SetKillId("87654321");
    mem.Sel().SetPreamble(18);
    mem.TelNumbers().SetTelCallType(2);
    for (int k = 0; k < 10; ++k) {
        mem.Sel().TxIds(k).SetTxId(std::to_string(9000 + 111 * k).substr(0, 4));
        mem.TelNumbers().Numbers(k).SetNumber(k == 0 ? "" : std::string(k == 1 ? 5 : 16, static_cast<char>('0' + k)));
    }
    for (int k = 0; k < TAntTunerTable::kCount; ++k) {
        TTuneData& t = mem.AntTuner0().Entries(k);
        t.SetTuneReset(k % 2);
        t.SetTuneThru(k / 2 % 2);
        t.SetTuneTrans(k % 4);
        t.SetTuneMidC(k / 4 % 4);
        t.SetTuneTopC(k / 3 % 2);
        t.SetTuneL((k * 37) % 512);
        mem.AntTuner1().Entries(k).SetTuneL(511 - k);
    }
    for (int p = 1; p <= TAlignment::kLast; ++p)
        mem.Alignment().SetValues(p, (p * 41) % 256);
    mem.Alignment().SetValues(6, -128);
    mem.Alignment().SetValues(49, -150);
    mem.Alignment().SetValues(50, 32767);
    mem.Alignment().SetValues(51, 1);
    for (int r = 0; r < TTmpCorrect::kCount; ++r)
        for (int c = 0; c < TCorrectData::kCount; ++c)
            mem.TmpCorrect().Rows(r).SetValues(c, ((r * 9 + c) * 13) % 256 - 128);

    mem.FactoryOpt().SetRxRange(1);
    mem.FactoryOpt().SetKeyFunc(2, 13);
    mem.FactoryOpt().SetPktOffset(-300);
}

}  // namespace mv53::test
