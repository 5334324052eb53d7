#include "dialogs/Misc.h"

#include "model/DialogTexts.h"

#include <QComboBox>

using namespace mv53::dlg;

TfrmMisc::TfrmMisc(QWidget* parent) : TParamDialog(kMiscCaption, parent)
{
    cmbBeep = AddCombo(kBeepLabel, "cmbBeep", OptionItems(kListBeep),
                       "Beep tone OFF/ON selection", HelpContext::kBeep);
    cmbVoxDelay = AddCombo(kVoxDelayLabel, "cmbVoxDelay", OptionItems(kListVoxDelay),
                           "Set the \"hang time\" for the VOX circuitry", HelpContext::kVoxDelay);
    cmbVoxGain = AddCombo(kVoxGainLabel, "cmbVoxGain", VoxGainItems(),
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
