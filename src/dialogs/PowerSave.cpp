#include "dialogs/PowerSave.h"

#include "model/U_InputFilter.h"

#include <QComboBox>

namespace {
// 5.0 s to 30.0 s in 0.5 s steps.
std::vector<std::string> HoldTimes()
{
    std::vector<std::string> items;
    for (int i = 0; i <= 50; ++i)
        items.push_back(mv53::FormatFixed(5.0 + 0.5 * i, 1) + " s");
    return items;
}
}  // namespace

TfrmPowerSave::TfrmPowerSave(QWidget* parent) : TParamDialog("Power Saving", parent)
{
    cmbHoldTime = AddCombo("Save &Hold Time", "cmbHoldTime", HoldTimes(),
                           "Select the \"resume\"period for the Battery Saver.", HelpContext::kSaveHoldTime);
    cmbSaveTime = AddCombo("Save &Time", "cmbSaveTime", OptionItems(kListSaveTime),
                           "Select the \"sleep\" period for the Battery Saver.", HelpContext::kSaveTime);
}

void TfrmPowerSave::LoadControls()
{
    ShowValue(cmbHoldTime, PwrSave.HoldTime());
    ShowValue(cmbSaveTime, PwrSave.SaveTime());
}

void TfrmPowerSave::StoreControls()
{
    PwrSave.SetHoldTime(ReadValue(cmbHoldTime, PwrSave.HoldTime()));
    PwrSave.SetSaveTime(ReadValue(cmbSaveTime, PwrSave.SaveTime()));
}
