#pragma once
// TfrmKeyFunc: the functions of the radio's three toggle switches. Each list offers the free
// functions, "N/A" and its own current function, so that no function is given to two switches;
// the record follows a list as soon as the list is left. A marker on the picture of the
// switches shows which one is being edited.

#include "dialogs/ParamDialog.h"
#include "model/MVmemSub.h"

#include <array>

class TfrmKeyFunc final : public TParamDialog {
    Q_OBJECT
public:
    static constexpr int kMarkerTop = 124;
    static constexpr std::array<int, 3> kMarkerLeft{144, 158, 172};

    explicit TfrmKeyFunc(QWidget* parent = nullptr);

    TFactoryOpt FactoryOpt;

    QComboBox* cmbA = nullptr;
    QComboBox* cmbB = nullptr;
    QComboBox* cmbC = nullptr;
    QLabel* imgMarker = nullptr;

    // Fills the three lists from the three key codes of the record.
    void BuildLists();

protected:
    void LoadControls() override;
    void StoreControls() override;
    void FocusMoved(QWidget* from, QWidget* to) override;

private:
    int SwitchOf(const QWidget* control) const;
    void TakeList(int index);
    std::array<QComboBox*, 3> m_lists{};
};
