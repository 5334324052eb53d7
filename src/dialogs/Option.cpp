#include "dialogs/Option.h"

#include <QComboBox>

TfrmOption::TfrmOption(QWidget* parent) : TParamDialog("Option", parent)
{
    cmbEncryptU = AddCombo("&Encryption Unit", "cmbEncryptU", OptionItems(kListEncryptUnit),
                           "Encryption Unit OFF/ON selection", HelpContext::kEncryptUnit);
    cmbSelcallU = AddCombo("&Selcall Unit", "cmbSelcallU", OptionItems(kListSelcallUnit),
                           "Selcall Unit OFF/ON selection", HelpContext::kSelcallUnit);
    cmbTunerU = AddCombo("&Tuner Unit", "cmbTunerU", OptionItems(kListTunerUnit),
                         "Tuner Unit OFF/ON selection", HelpContext::kTunerUnit);
}

void TfrmOption::LoadControls()
{
    ShowValue(cmbEncryptU, Opt.EncryptUnit());
    ShowValue(cmbSelcallU, Opt.SelcallUnit());
    ShowValue(cmbTunerU, Opt.TunerUnit());
}

void TfrmOption::StoreControls()
{
    Opt.SetEncryptUnit(ReadValue(cmbEncryptU, Opt.EncryptUnit()));
    Opt.SetSelcallUnit(ReadValue(cmbSelcallU, Opt.SelcallUnit()));
    Opt.SetTunerUnit(ReadValue(cmbTunerU, Opt.TunerUnit()));
}
