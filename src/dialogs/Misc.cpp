#include "dialogs/Misc.h"

#include <QComboBox>

namespace {
// "OFF", then 1 to 100: the index is the stored gain.
std::vector<std::string> VoxGains()
{
    std::vector<std::string> items{"OFF"};
    for (int i = 1; i <= 100; ++i)
        items.push_back(std::to_string(i));
    return items;
}
}  // namespace

TfrmMisc::TfrmMisc(QWidget* parent) : TParamDialog("Miscellaneous Parameters", parent)
{
    cmbBeep = AddCombo("&Beep", "cmbBeep", OptionItems(kListBeep),
                       "Beep tone OFF/ON selection", HelpContext::kBeep);
    cmbVoxDelay = AddCombo("VOX &Delay", "cmbVoxDelay", OptionItems(kListVoxDelay),
                           "Set the \"hang time\" for the VOX circuitry", HelpContext::kVoxDelay);
    cmbVoxGain = AddCombo("VOX &Gain", "cmbVoxGain", VoxGains(),
                          "Set the gain of the VOX circuitry's voice audio detector", HelpContext::kVoxGain);
}

void TfrmMisc::LoadControls()
{
    ShowValue(cmbBeep, Misc.Beep());
    ShowValue(cmbVoxDelay, Misc.VoxDelay());
    ShowValue(cmbVoxGain, Misc.VoxGain());
}

void TfrmMisc::StoreControls()
{
    Misc.SetBeep(ReadValue(cmbBeep, Misc.Beep()));
    Misc.SetVoxDelay(ReadValue(cmbVoxDelay, Misc.VoxDelay()));
    Misc.SetVoxGain(ReadValue(cmbVoxGain, Misc.VoxGain()));
}
