#include "dialogs/CommSystem.h"

#include "controls/TwoStateEdit.h"
#include "model/DialogTexts.h"
#include "model/U_InputFilter.h"

#include <QComboBox>
#include <QLineEdit>

#include <algorithm>

namespace dlg = mv53::dlg;

namespace {

constexpr int32_t kPktOffsetLimit = 3000;   // Hz either way
constexpr int32_t kPktOffsetStep = 10;      // Hz per stored unit
const QString kHzSuffix = QString::fromLatin1(dlg::kHzSuffix);

}  // namespace

int32_t PacketOffsetHz(const QString& text)
{
    const int suffix = text.indexOf(kHzSuffix);
    const QString number = suffix >= 0 ? text.left(suffix) : text;
    const int32_t hz = std::clamp(TextToInt(FormatSigned(number.toStdString())), -kPktOffsetLimit, kPktOffsetLimit);
    return hz / kPktOffsetStep * kPktOffsetStep;
}

QString PacketOffsetText(int32_t hz) { return QString::fromStdString(dlg::PacketOffsetText(hz)); }

TfrmSystem::TfrmSystem(QWidget* parent) : TParamDialog(dlg::kSystemCaption, parent)
{
    cmbDataMode = AddCombo(dlg::kDataModeLabel, "cmbDataMode", OptionItems(kListDataMode),
                           "Set the DATA mode", HelpContext::kDataMode);
    cmbNB = AddCombo(dlg::kNoiseBlankerLabel, "cmbNB", OptionItems(kListNoiseBlanker),
                     "Noise Blanker OFF/ON selection", HelpContext::kNoiseBlanker);
    cmbRttyShift = AddCombo(dlg::kRttyShiftLabel, "cmbRttyShift", OptionItems(kListRttyShift),
                            "Set the RTTY shift freq.", HelpContext::kRttyShift);
    cmbRttyFDisp = AddCombo(dlg::kRttyFreqDispLabel, "cmbRttyFDisp", OptionItems(kListRttyFreqDisp),
                            "Set the RTTY Freq. Display.", HelpContext::kRttyFreqDisp);
    TTwoStateRules offset;
    offset.AcceptKey = IsSignedKey;
    offset.Leave = [](const QString& text) { return PacketOffsetText(PacketOffsetHz(text)); };
    offset.ReplaceOnFirstKey = true;
    edtPktOffset = AddStateEdit(dlg::kPktOffsetLabel, "edtPktOffset", offset,
                                "Edit the Packet Freq Offset.(-3000..3000)", HelpContext::kPktOffset);
    cmbPktTone = AddCombo(dlg::kPktToneLabel, "cmbPktTone", OptionItems(kListPktTone),
                          "Set the Tone Freq. for the Packet.", HelpContext::kPktTone);
    cmbSP = AddCombo(dlg::kSpSelectLabel, "cmbSP", OptionItems(kListSpSelect),
                     "Select the AF output speakers.", HelpContext::kSpSelect);
    cmbTot = AddCombo(dlg::kTotLabel, "cmbTot", dlg::TotItems(),
                      "Maximum transmit time allowed when TOT is selected.", HelpContext::kTot);
}

bool TfrmSystem::PktOffsetEditing() const { return edtPktOffset->Editing(); }

void TfrmSystem::LoadControls()
{
    ShowValue(cmbDataMode, FactoryOpt.DataMode());
    ShowValue(cmbNB, Sys.NoiseBlanker());
    ShowValue(cmbRttyShift, FactoryOpt.RttyShift());
    ShowValue(cmbRttyFDisp, FactoryOpt.RttyFreqDisp());
    m_shownOffset = PacketOffsetText(PacketOffsetHz(QString::number(FactoryOpt.PktOffset() * kPktOffsetStep)));
    edtPktOffset->setText(m_shownOffset);
    ShowValue(cmbPktTone, FactoryOpt.PktTone());
    ShowValue(cmbSP, Sys.SpSelect());
    ShowValue(cmbTot, Sys.Tot());
}

void TfrmSystem::StoreControls()
{
    FactoryOpt.SetDataMode(ReadValue(cmbDataMode, FactoryOpt.DataMode()));
    Sys.SetNoiseBlanker(ReadValue(cmbNB, Sys.NoiseBlanker()));
    FactoryOpt.SetRttyShift(ReadValue(cmbRttyShift, FactoryOpt.RttyShift()));
    FactoryOpt.SetRttyFreqDisp(ReadValue(cmbRttyFDisp, FactoryOpt.RttyFreqDisp()));
    // An offset the box cannot show (outside the limits) stays as it was unless it was retyped.
    if (edtPktOffset->text() != m_shownOffset)
        FactoryOpt.SetPktOffset(PacketOffsetHz(edtPktOffset->text()) / kPktOffsetStep);
    FactoryOpt.SetPktTone(ReadValue(cmbPktTone, FactoryOpt.PktTone()));
    Sys.SetSpSelect(ReadValue(cmbSP, Sys.SpSelect()));
    Sys.SetTot(ReadValue(cmbTot, Sys.Tot()));
}
