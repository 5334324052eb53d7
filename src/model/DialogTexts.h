#pragma once
// The texts of the parameter dialogs that more than the dialogs need: each dialog's caption,
// the labels of its fields (with the "&" letter of their Alt key), and the entries of the lists
// that the dialogs make themselves rather than take from an option list. The dialogs build
// their rows from these, and the image comparison names its settings and shows their values
// with them.

#include <cstdint>
#include <string>
#include <vector>

namespace mv53::dlg {

inline constexpr const char* kA1ACaption = "A1A(CW)Function";
inline constexpr const char* kCwDelayLabel = "CW &Delay";
inline constexpr const char* kCwPitchLabel = "CW &Pitch";

inline constexpr const char* kHardwareCaption = "Hardware";
inline constexpr const char* kHailLabel = "&HAIL";
inline constexpr const char* kLampLabel = "&LAMP Mode";
inline constexpr const char* kRxRangeLabel = "&RX Freq. Range";
inline constexpr const char* kTxRangeLabel = "&TX Freq. Range";

inline constexpr const char* kPowerSaveCaption = "Power Saving";
inline constexpr const char* kSaveHoldTimeLabel = "Save &Hold Time";
inline constexpr const char* kSaveTimeLabel = "Save &Time";

inline constexpr const char* kKeyFuncCaption = "Key Function";
inline constexpr const char* kSwitchALabel = "&A Switch";
inline constexpr const char* kSwitchBLabel = "&B Switch";
inline constexpr const char* kSwitchCLabel = "&C Switch";

inline constexpr const char* kMarketCaption = "Marketing";
inline constexpr const char* kMarketLabel = "&Market Application";
inline constexpr const char* kSerialLabel = "&Serial Number";

inline constexpr const char* kMiscCaption = "Miscellaneous Parameters";
inline constexpr const char* kBeepLabel = "&Beep";
inline constexpr const char* kVoxDelayLabel = "VOX &Delay";
inline constexpr const char* kVoxGainLabel = "VOX &Gain";

inline constexpr const char* kSystemCaption = "System";
inline constexpr const char* kDataModeLabel = "DATA &MODE";
inline constexpr const char* kNoiseBlankerLabel = "&Noise Blanker";
inline constexpr const char* kRttyShiftLabel = "&RTTY Shift";
inline constexpr const char* kRttyFreqDispLabel = "RTTY Freq. &Display";
inline constexpr const char* kPktOffsetLabel = "PKT Freq. &Offset";
inline constexpr const char* kPktToneLabel = "&PKT Tone";
inline constexpr const char* kSpSelectLabel = "&SP Select";
inline constexpr const char* kTotLabel = "&TOT";

inline constexpr const char* kOptionCaption = "Option";
inline constexpr const char* kEncryptUnitLabel = "&Encryption Unit";
inline constexpr const char* kSelcallUnitLabel = "&Selcall Unit";
inline constexpr const char* kTunerUnitLabel = "&Tuner Unit";

inline constexpr const char* kSelcallCaption = "Selcall Common";
inline constexpr const char* kSelfIdLabel = "Self I&D";
inline constexpr const char* kKillSystemLabel = "&Kill System";
inline constexpr const char* kKillIdLabel = "Kill System &ID";
inline constexpr const char* kAllCallLabel = "&All Call";
inline constexpr const char* kGroupCallLabel = "&Group Call";
inline constexpr const char* kSubGroupLabel = "S&ub Group Call";
inline constexpr const char* kPreambleLabel = "&Preamble";
inline constexpr const char* kSelPowerSaveLabel = "P&ower Save";
inline constexpr const char* kSelHoldTimeLabel = "&Hold Time";
inline constexpr int kTxIdCount = 10;
// TX ID 1 to 10: the Alt keys 1 to 9 and 0.
inline constexpr const char* kTxIdLabels[kTxIdCount] = {"TX ID &1", "TX ID &2", "TX ID &3", "TX ID &4", "TX ID &5",
                                                        "TX ID &6", "TX ID &7", "TX ID &8", "TX ID &9", "TX ID 1&0"};

inline constexpr const char* kTelephoneCaption = "Telephone Numbr";
inline constexpr const char* kTelCallTypeLabel = "&Tel Call Type";
inline constexpr const char* kTelNumberLabel = "Telephone Number";
inline constexpr const char* kEmptyNumber = "---------------";   // a number cell without digits

inline constexpr const char* kHzSuffix = " Hz";

// The lists the dialogs make themselves; the stored value is the entry's index.
const std::vector<std::string>& RxRangeItems();       // "0.5-30 MHz", "3-30 MHz"
const std::vector<std::string>& TxRangeItems();       // "1.6-30 MHz", "3-30 MHz"
const std::vector<std::string>& SaveHoldTimeItems();  // "5.0 s" to "30.0 s" in 0.5 s steps
const std::vector<std::string>& VoxGainItems();       // "OFF", then "1" to "100"
const std::vector<std::string>& TotItems();           // "OFF", "0.5 min" to "9.5 min", "10 min"
const std::vector<std::string>& PreambleItems();      // "  1.0 s" to "10.0 s" in 0.5 s steps
const std::vector<std::string>& SelHoldTimeItems();   // " 0.5 min" to "10.0 min" in 0.5 min steps

// The packet offset as its box shows it: hertz and " Hz" ("-2120 Hz").
std::string PacketOffsetText(int32_t hz);

// A label as it reads on the screen: without the "&" of its Alt key ("CW Delay").
std::string WithoutAccelerator(const char* label);

}  // namespace mv53::dlg
