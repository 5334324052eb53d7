#include "dialogs/Selcall.h"

#include "controls/TwoStateEdit.h"
#include "model/DialogTexts.h"
#include "model/U_InputFilter.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>

namespace {

const char* const kTxIdHint = "Edit Selcall TXID (0..9)";
constexpr int kIdEditWidth = 60;   // four digits with room to spare

QString Digits(const QString& text) { return QString::fromStdString(DigitsOnly(text.toStdString())); }

// An ID: digits typed, the digits kept on Enter, completed with zeros to its length when left.
TTwoStateRules IdRules(int length)
{
    TTwoStateRules rules;
    rules.AcceptKey = IsDigitKey;
    rules.Finish = Digits;
    rules.Leave = [length](const QString& text) { return CompleteId(text, length); };
    return rules;
}

}  // namespace

QString CompleteId(const QString& text, int length)
{
    return (Digits(text) + QString(length, QLatin1Char('0'))).left(length);
}

TfrmSelcall::TfrmSelcall(TCmmOpt& opt, QWidget* parent) : TParamDialog(mv53::dlg::kSelcallCaption, parent), m_opt(opt)
{
    cmbSelcall = AddCombo(mv53::dlg::kSelcallUnitLabel, "cmbSelcall", OptionItems(kListSelcallUnitSelcall),
                          "Selcall Unit OFF/ON selection", HelpContext::kSelcallUnit);
    edtSelfId = AddIdEdit(mv53::dlg::kSelfIdLabel, "edtSelfId",
                          "Edit Selcall SelfID (0..9)", HelpContext::kSelfId, kIdLength);
    cmbKillSystem = AddCombo(mv53::dlg::kKillSystemLabel, "cmbKillSystem", OptionItems(kListKillSystem),
                             "Set Kill System function", HelpContext::kKillSystem);
    edtKillId = AddIdEdit(mv53::dlg::kKillIdLabel, "edtKillId",
                          "Edit Kill System  ID (0..9)", HelpContext::kKillId, kKillIdLength);
    cmbAllCall = AddCombo(mv53::dlg::kAllCallLabel, "cmbAllCall", OptionItems(kListAllCall),
                          "ALL CALL Disable or Enable selection", HelpContext::kAllCall);
    cmbGroupCall = AddCombo(mv53::dlg::kGroupCallLabel, "cmbGroupCall", OptionItems(kListGroupCall),
                            "Group Call Disable or Enable", HelpContext::kGroupCall);
    cmbSubGroup = AddCombo(mv53::dlg::kSubGroupLabel, "cmbSubGroup", OptionItems(kListSubGroupCall),
                           "Sub Group Call Disable or Enable", HelpContext::kSubGroupCall);
    cmbPreamble = AddCombo(mv53::dlg::kPreambleLabel, "cmbPreamble", mv53::dlg::PreambleItems(),
                           "Preamble Time", HelpContext::kPreamble);
    cmbPowerSave = AddCombo(mv53::dlg::kSelPowerSaveLabel, "cmbPowerSave", OptionItems(kListSelPowerSave),
                            "Select the \u201csleep\u201d period for the Battery Saver", HelpContext::kSelPowerSave);
    cmbHoldTime = AddCombo(mv53::dlg::kSelHoldTimeLabel, "cmbHoldTime", mv53::dlg::SelHoldTimeItems(),
                           "Set Selcall Hold time.", HelpContext::kSelHoldTime);
    m_values = {edtSelfId, cmbKillSystem, edtKillId, cmbAllCall, cmbGroupCall,
                cmbSubGroup, cmbPreamble, cmbPowerSave, cmbHoldTime};

    // The ten transmit IDs in two columns beside their captions, TX ID 1 to 10.
    static constexpr const char* kTxNames[] = {"edtTxId1", "edtTxId2", "edtTxId3", "edtTxId4", "edtTxId5",
                                               "edtTxId6", "edtTxId7", "edtTxId8", "edtTxId9", "edtTxId0"};
    auto* ids = new QGridLayout;
    ids->setHorizontalSpacing(8);
    ids->setVerticalSpacing(6);
    for (int i = 0; i < TCmmSel::kTxIdCount; ++i) {
        auto* edit = new TTwoStateEdit(IdRules(kIdLength), this);
        edit->setObjectName(QString::fromLatin1(kTxNames[i]));
        edit->setMaxLength(kIdLength);
        edit->setFixedWidth(kIdEditWidth);
        auto* label = new QLabel(QString::fromLatin1(mv53::dlg::kTxIdLabels[i]), this);
        label->setBuddy(edit);
        ids->addWidget(label, i % 5, (i / 5) * 2);
        ids->addWidget(edit, i % 5, (i / 5) * 2 + 1);
        RegisterControl(edit, kTxIdHint, HelpContext::kTxId);
        m_idEdits.push_back(edit);
        edtTxId[static_cast<size_t>(i)] = edit;
        m_values.push_back(edit);
        m_txLabels.push_back(label);
    }
    Form()->addLayout(ids, Form()->rowCount(), 0, 1, 2);

    connect(cmbSelcall, &QComboBox::currentIndexChanged, this, &TfrmSelcall::SelcallChanged);
    connect(cmbKillSystem, &QComboBox::currentIndexChanged, this, &TfrmSelcall::KillSystemChanged);
}

TfrmSelcall::~TfrmSelcall()
{
    // The lists go after this part of the dialog: nothing of theirs may call back.
    disconnect(cmbSelcall, nullptr, this, nullptr);
    disconnect(cmbKillSystem, nullptr, this, nullptr);
}

TTwoStateEdit* TfrmSelcall::AddIdEdit(const char* caption, const char* name, const char* hint, int help, int length)
{
    TTwoStateEdit* edit = AddStateEdit(caption, name, IdRules(length), hint, help);
    edit->setMaxLength(length);
    edit->setMaximumWidth(kIdEditWidth * length / kIdLength);
    m_idEdits.push_back(edit);
    return edit;
}

bool TfrmSelcall::Editing() const
{
    for (const TTwoStateEdit* e : m_idEdits)
        if (e->Editing())
            return true;
    return false;
}

QLabel* TfrmSelcall::CaptionOf(QWidget* control) const
{
    for (size_t i = 0; i < edtTxId.size(); ++i)
        if (edtTxId[i] == control)
            return m_txLabels[i];
    return LabelOf(control);
}

void TfrmSelcall::EnableControl(QWidget* control, bool on)
{
    control->setEnabled(on);
    if (QLabel* label = CaptionOf(control))
        label->setEnabled(on);   // its Alt key with it
    QPalette pal = control->palette();
    pal.setColor(QPalette::Base, QPalette().color(on ? QPalette::Base : QPalette::Button));
    control->setPalette(pal);
}

void TfrmSelcall::EnableValues(bool on)
{
    for (QWidget* w : m_values)
        EnableControl(w, on);
}

void TfrmSelcall::SelcallChanged(int index)
{
    EnableValues(index > 0);
    if (index > 0)
        KillSystemChanged(cmbKillSystem->currentIndex());
}

void TfrmSelcall::KillSystemChanged(int index)
{
    EnableControl(edtKillId, index > 0 && cmbSelcall->currentIndex() > 0);
}

void TfrmSelcall::LoadControls()
{
    ShowValue(cmbSelcall, m_opt.SelcallUnit());
    edtSelfId->setText(QString::fromStdString(Sel.SelfId()));
    ShowValue(cmbKillSystem, Sel.KillSystem());
    edtKillId->setText(QString::fromStdString(Sel.KillId()));
    ShowValue(cmbAllCall, Sel.AllCall());
    ShowValue(cmbGroupCall, Sel.GroupCall());
    ShowValue(cmbSubGroup, Sel.SubGroupCall());
    ShowValue(cmbPreamble, Sel.Preamble());
    ShowValue(cmbPowerSave, Sel.SelPowerSave());
    ShowValue(cmbHoldTime, Sel.SelHoldTime());
    for (int i = 0; i < TCmmSel::kTxIdCount; ++i)
        edtTxId[static_cast<size_t>(i)]->setText(QString::fromStdString(Sel.TxIds(i).TxId()));
    EnableValues(cmbSelcall->currentIndex() > 0);
    KillSystemChanged(cmbKillSystem->currentIndex());
}

void TfrmSelcall::StoreControls()
{
    m_opt.SetSelcallUnit(ReadValue(cmbSelcall, m_opt.SelcallUnit()));
    // An ID is stored as it shows after leaving its edit, also when "&Ok" is reached by its
    // Alt key from inside the edit. An ID nobody touched comes back as it came.
    const auto id = [](const QLineEdit* edit, const std::string& old, int length) {
        const QString text = edit->text();
        return text == QString::fromStdString(old) ? old : CompleteId(text, length).toStdString();
    };
    Sel.SetSelfId(id(edtSelfId, Sel.SelfId(), kIdLength));
    Sel.SetKillSystem(ReadValue(cmbKillSystem, Sel.KillSystem()));
    Sel.SetKillId(id(edtKillId, Sel.KillId(), kKillIdLength));
    Sel.SetAllCall(ReadValue(cmbAllCall, Sel.AllCall()));
    Sel.SetGroupCall(ReadValue(cmbGroupCall, Sel.GroupCall()));
    Sel.SetSubGroupCall(ReadValue(cmbSubGroup, Sel.SubGroupCall()));
    Sel.SetPreamble(ReadValue(cmbPreamble, Sel.Preamble()));
    Sel.SetSelPowerSave(ReadValue(cmbPowerSave, Sel.SelPowerSave()));
    Sel.SetSelHoldTime(ReadValue(cmbHoldTime, Sel.SelHoldTime()));
    for (int i = 0; i < TCmmSel::kTxIdCount; ++i) {
        TCmmTxId& tx = Sel.TxIds(i);
        tx.SetTxId(id(edtTxId[static_cast<size_t>(i)], tx.TxId(), kIdLength));
    }
}
