#include "dialogs/Option.h"

#include <QComboBox>

TfrmOption::TfrmOption(QWidget* parent) : TParamDialog("Option", parent)
{
    cmbEncryptU = AddCombo("&Encryption Unit", "cmbEncryptU", OptionItems(20), "Encryption Unit OFF/ON selection", 126);
    cmbSelcallU = AddCombo("&Selcall Unit", "cmbSelcallU", OptionItems(21), "Selcall Unit OFF/ON selection", 128);
    cmbTunerU = AddCombo("&Tuner Unit", "cmbTunerU", OptionItems(22), "Tuner Unit OFF/ON selection", 130);
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
