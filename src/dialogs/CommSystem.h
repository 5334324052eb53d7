#pragma once
// TfrmSystem: data mode, noise blanker, RTTY shift and display, packet offset and tone, speaker
// and transmit time-out. The packet offset is typed as a number of Hz in a two-state edit.

#include "controls/TwoStateEdit.h"
#include "dialogs/ParamDialog.h"
#include "model/MVmemSub.h"

// The packet offset text of a typed text: a signed number of Hz (" Hz" after it is allowed),
// limited to -3000 ... 3000 and cut towards zero to a multiple of 10, as "%d Hz".
int32_t PacketOffsetHz(const QString& text);
QString PacketOffsetText(int32_t hz);

class TfrmSystem final : public TParamDialog {
    Q_OBJECT
public:
    explicit TfrmSystem(QWidget* parent = nullptr);

    TCmmSys Sys;
    TFactoryOpt FactoryOpt;

    QComboBox* cmbDataMode = nullptr;
    QComboBox* cmbNB = nullptr;
    QComboBox* cmbRttyShift = nullptr;
    QComboBox* cmbRttyFDisp = nullptr;
    TTwoStateEdit* edtPktOffset = nullptr;
    QComboBox* cmbPktTone = nullptr;
    QComboBox* cmbSP = nullptr;
    QComboBox* cmbTot = nullptr;

    bool PktOffsetEditing() const;

protected:
    void LoadControls() override;
    void StoreControls() override;

private:
    QString m_shownOffset;   // the offset text as loaded
};
