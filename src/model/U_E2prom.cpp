#include "model/U_E2prom.h"

void PutBits(TText&, const TFieldPos&, int32_t) {}
void PutSignedBits(TText&, const TFieldPos&, int32_t) {}
int32_t GetBits(const TText&, const TFieldPos&) { return 0; }
int32_t GetSignedBits(const TText&, const TFieldPos&) { return 0; }
void PutText(TText&, const TFieldPos&, const std::string&) {}
std::string GetText(const TText&, const TFieldPos&) { return {}; }
void PutDigits(TText&, const TFieldPos&, const std::string&) {}
std::string GetDigits(const TText&, const TFieldPos&) { return {}; }
void PutSerial(TText&, const TFieldPos&, const std::string&) {}
std::string GetSerial(const TText&, const TFieldPos&) { return {}; }
std::string SerialFromBytes(const mv53::Byte*, int) { return {}; }
std::string DefaultChannelTag(int32_t) { return {}; }
void InitImage(TText&) {}
bool EncodeImage(TText&, const TMVmem&, bool) { return true; }
bool DecodeImage(const TText&, TMVmem&) { return true; }
bool CheckRecords(TMVmem&) { return true; }
void ClearRecords(TMVmem&) {}
