#pragma once
// TMVmem: one instance of every record; the records all editors work on, and the temporary
// set an upload or a file read fills before it replaces them.

#include "model/MVmemSub.h"

#include <string>

inline constexpr const char* kNoFwVersion = "----";   // FwVersion while no radio was read

class TMVmem {
public:
    const std::string& FwVersion() const { return m_fwVersion; }
    void SetFwVersion(const std::string& v) { m_fwVersion = v; }

    TChannels& Channels() { return m_channels; }
    const TChannels& Channels() const { return m_channels; }
    TComport& Comport() { return m_comport; }
    const TComport& Comport() const { return m_comport; }
    TCmmA1A& A1A() { return m_a1a; }
    const TCmmA1A& A1A() const { return m_a1a; }
    TCmmHard& Hard() { return m_hard; }
    const TCmmHard& Hard() const { return m_hard; }
    TCmmPwrSave& PwrSave() { return m_pwrSave; }
    const TCmmPwrSave& PwrSave() const { return m_pwrSave; }
    TCmmMisc& Misc() { return m_misc; }
    const TCmmMisc& Misc() const { return m_misc; }
    TCmmSys& Sys() { return m_sys; }
    const TCmmSys& Sys() const { return m_sys; }
    TCmmOpt& Opt() { return m_opt; }
    const TCmmOpt& Opt() const { return m_opt; }
    TCmmSel& Sel() { return m_sel; }
    const TCmmSel& Sel() const { return m_sel; }
    TCmmTelNumbers& TelNumbers() { return m_telNumbers; }
    const TCmmTelNumbers& TelNumbers() const { return m_telNumbers; }
    TAntTuner0& AntTuner0() { return m_antTuner0; }
    const TAntTuner0& AntTuner0() const { return m_antTuner0; }
    TAntTuner1& AntTuner1() { return m_antTuner1; }
    const TAntTuner1& AntTuner1() const { return m_antTuner1; }
    TAlignment& Alignment() { return m_alignment; }
    const TAlignment& Alignment() const { return m_alignment; }
    TTmpCorrect& TmpCorrect() { return m_tmpCorrect; }
    const TTmpCorrect& TmpCorrect() const { return m_tmpCorrect; }
    TFactoryOpt& FactoryOpt() { return m_factoryOpt; }
    const TFactoryOpt& FactoryOpt() const { return m_factoryOpt; }

    // Copies FwVersion and every record.
    void Assign(const TMVmem& source) { *this = source; }
    bool operator==(const TMVmem&) const = default;

private:
    std::string m_fwVersion;
    TChannels m_channels;
    TComport m_comport;
    TCmmA1A m_a1a;
    TCmmHard m_hard;
    TCmmPwrSave m_pwrSave;
    TCmmMisc m_misc;
    TCmmSys m_sys;
    TCmmOpt m_opt;
    TCmmSel m_sel;
    TCmmTelNumbers m_telNumbers;
    TAntTuner0 m_antTuner0;
    TAntTuner1 m_antTuner1;
    TAlignment m_alignment;
    TTmpCorrect m_tmpCorrect;
    TFactoryOpt m_factoryOpt;
};
