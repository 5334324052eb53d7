// The parameter dialogs of the "&Common" and "&Selcall" menus: each gets copies of its records,
// and on "&Ok" only a copy that differs from the records is copied back and marks the document
// modified (and, for the factory values, the factory backup and the changed flag with it).

#include "app/Main.h"
#include "dialogs/CommA1A.h"
#include "dialogs/CommSystem.h"
#include "dialogs/Hardware.h"
#include "dialogs/KeyFunc.h"
#include "dialogs/Market.h"
#include "dialogs/Misc.h"
#include "dialogs/Option.h"
#include "dialogs/PowerSave.h"
#include "dialogs/Selcall.h"
#include "dialogs/Telephone.h"

#include <QAction>

namespace {

// Copies a dialog's record back when it differs; true when it did.
template <typename Record>
bool CopyBack(const Record& edited, Record& records)
{
    if (edited.Equals(records))
        return false;
    records.Assign(edited);
    return true;
}

// A changed factory record goes into the records and into the backup that a download writes
// into the radio's factory area, and sets the dialog's changed flag.
bool TakeFactory(TProgramState& s, const TFactoryOpt& edited, bool TProgramState::*changed)
{
    if (!CopyBack(edited, s.CurrentMem.FactoryOpt()))
        return false;
    s.FactoryBackup = s.CurrentMem.FactoryOpt();
    s.Modified = true;
    s.*changed = true;
    return true;
}

}  // namespace

void TfrmMain::AttachDialogs()
{
    const std::pair<QAction*, void (TfrmMain::*)()> items[] = {
        {miA1A, &TfrmMain::CommonA1A},         {miHardware, &TfrmMain::CommonHardware},
        {miPowerSave, &TfrmMain::CommonPowerSave}, {miKeyFunc, &TfrmMain::CommonKeyFunc},
        {miMarketing, &TfrmMain::CommonMarketing}, {miMisc, &TfrmMain::CommonMisc},
        {miSystem, &TfrmMain::CommonSystem},   {miOption, &TfrmMain::CommonOption},
        {miSelCommon, &TfrmMain::SelcallCommon}, {miTelephone, &TfrmMain::SelcallTelephone},
    };
    for (const auto& [action, command] : items) {
        action->setEnabled(true);
        // Records changed by the dialog are one step of the history, named as its menu item.
        connect(action, &QAction::triggered, this, [this, action, command] {
            (this->*command)();
            if (m_doc.RecordStep(action->text().remove(QLatin1Char('&')).toStdString()))
                UpdateUndoItems();
        });
    }
    m_telephoneAttached = true;
    UpdateTelephoneEnable();
}

int TfrmMain::ShowModal(QDialog& dialog)
{
    if (auto* param = qobject_cast<TParamDialog*>(&dialog))
        param->SetHelpHandler([this](int context) { ShowHelpContext(context); });
    return m_options.ShowModal ? m_options.ShowModal(dialog) : dialog.exec();
}

void TfrmMain::CommonA1A()
{
    if (!CommitGrid())
        return;
    TfrmComA1A dlg(this);
    dlg.A1A = m_state.CurrentMem.A1A();
    dlg.FactoryOpt = m_state.CurrentMem.FactoryOpt();
    if (ShowModal(dlg) != QDialog::Accepted)
        return;
    if (CopyBack(dlg.A1A, m_state.CurrentMem.A1A()))
        m_state.Modified = true;
    TakeFactory(m_state, dlg.FactoryOpt, &TProgramState::A1AChanged);
}

void TfrmMain::CommonHardware()
{
    if (!CommitGrid())
        return;
    TfrmHardware dlg(m_state.ServiceMode, this);
    dlg.Hard = m_state.CurrentMem.Hard();
    dlg.FactoryOpt = m_state.CurrentMem.FactoryOpt();
    if (ShowModal(dlg) != QDialog::Accepted)
        return;
    if (CopyBack(dlg.Hard, m_state.CurrentMem.Hard()))
        m_state.Modified = true;
    if (TakeFactory(m_state, dlg.FactoryOpt, &TProgramState::HardwareChanged))
        RefreshMainWindow();   // the frequency ranges of the system panel and the grid
}

void TfrmMain::CommonPowerSave()
{
    if (!CommitGrid())
        return;
    TfrmPowerSave dlg(this);
    dlg.PwrSave = m_state.CurrentMem.PwrSave();
    if (ShowModal(dlg) == QDialog::Accepted && CopyBack(dlg.PwrSave, m_state.CurrentMem.PwrSave()))
        m_state.Modified = true;
}

void TfrmMain::CommonKeyFunc()
{
    if (!CommitGrid())
        return;
    TfrmKeyFunc dlg(this);
    dlg.FactoryOpt = m_state.CurrentMem.FactoryOpt();
    if (ShowModal(dlg) != QDialog::Accepted)
        return;
    TakeFactory(m_state, dlg.FactoryOpt, &TProgramState::KeyFuncChanged);
}

void TfrmMain::CommonMarketing()
{
    TfrmMarket dlg(m_state.CurrentMem.FactoryOpt().SerialNo(), this);
    ShowModal(dlg);
}

void TfrmMain::CommonMisc()
{
    if (!CommitGrid())
        return;
    TfrmMisc dlg(this);
    dlg.Misc = m_state.CurrentMem.Misc();
    if (ShowModal(dlg) == QDialog::Accepted && CopyBack(dlg.Misc, m_state.CurrentMem.Misc()))
        m_state.Modified = true;
}

void TfrmMain::CommonSystem()
{
    if (!CommitGrid())
        return;
    TfrmSystem dlg(this);
    dlg.Sys = m_state.CurrentMem.Sys();
    dlg.FactoryOpt = m_state.CurrentMem.FactoryOpt();
    if (ShowModal(dlg) != QDialog::Accepted)
        return;
    if (CopyBack(dlg.Sys, m_state.CurrentMem.Sys()))
        m_state.Modified = true;
    TakeFactory(m_state, dlg.FactoryOpt, &TProgramState::SystemChanged);
}

void TfrmMain::CommonOption()
{
    if (!CommitGrid())
        return;
    TfrmOption dlg(this);
    dlg.Opt = m_state.CurrentMem.Opt();
    if (ShowModal(dlg) != QDialog::Accepted || !CopyBack(dlg.Opt, m_state.CurrentMem.Opt()))
        return;
    m_state.Modified = true;
    UpdateTelephoneEnable();
    UpdateSelcallPrintChoice();
    RefreshMainWindow();   // the grid's option columns follow the units
}

void TfrmMain::SelcallCommon()
{
    if (!CommitGrid())
        return;
    TCmmOpt& opt = m_state.CurrentMem.Opt();
    const int32_t unit = opt.SelcallUnit();
    TfrmSelcall dlg(opt, this);
    dlg.Sel = m_state.CurrentMem.Sel();
    if (ShowModal(dlg) != QDialog::Accepted)
        return;
    const bool selChanged = CopyBack(dlg.Sel, m_state.CurrentMem.Sel());
    if (!selChanged && opt.SelcallUnit() == unit)
        return;
    m_state.Modified = true;
    UpdateTelephoneEnable();
    UpdateSelcallPrintChoice();
    RefreshMainWindow();
}

void TfrmMain::SelcallTelephone()
{
    if (!CommitGrid())
        return;
    TfrmTelephone dlg(this);
    dlg.TelNumbers = m_state.CurrentMem.TelNumbers();
    if (ShowModal(dlg) == QDialog::Accepted && CopyBack(dlg.TelNumbers, m_state.CurrentMem.TelNumbers()))
        m_state.Modified = true;
}
