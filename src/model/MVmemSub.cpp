#include "model/MVmemSub.h"

// Equality is field by field, texts compared exactly; owned objects by their own Equals.

bool TChannel::Equals(const TChannel& other) const { return *this == other; }
bool TChannels::Equals(const TChannels& other) const { return *this == other; }
bool TCmmA1A::Equals(const TCmmA1A& other) const { return *this == other; }
bool TCmmHard::Equals(const TCmmHard& other) const { return *this == other; }
bool TCmmPwrSave::Equals(const TCmmPwrSave& other) const { return *this == other; }
bool TCmmMisc::Equals(const TCmmMisc& other) const { return *this == other; }
bool TCmmSys::Equals(const TCmmSys& other) const { return *this == other; }
bool TCmmOpt::Equals(const TCmmOpt& other) const { return *this == other; }
bool TCmmTxId::Equals(const TCmmTxId& other) const { return *this == other; }
bool TCmmSel::Equals(const TCmmSel& other) const { return *this == other; }
bool TCmmTelNumber::Equals(const TCmmTelNumber& other) const { return *this == other; }
bool TCmmTelNumbers::Equals(const TCmmTelNumbers& other) const { return *this == other; }
bool TTuneData::Equals(const TTuneData& other) const { return *this == other; }
bool TAntTunerTable::Equals(const TAntTunerTable& other) const { return *this == other; }
bool TAntTuner0::Equals(const TAntTuner0& other) const { return *this == other; }
bool TAntTuner1::Equals(const TAntTuner1& other) const { return *this == other; }
bool TAlignment::Equals(const TAlignment& other) const { return *this == other; }
bool TCorrectData::Equals(const TCorrectData& other) const { return *this == other; }
bool TTmpCorrect::Equals(const TTmpCorrect& other) const { return *this == other; }
bool TFactoryOpt::Equals(const TFactoryOpt& other) const { return *this == other; }
