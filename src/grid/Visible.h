#pragma once
// The column dialog: one check box per view item 0..9; "Ok" takes the ticks as visible flags.

#include <QDialog>

#include <array>

class QCheckBox;
class QPushButton;

class TfrmVisible final : public QDialog {
    Q_OBJECT
public:
    static constexpr int kItems = 11;      // view items; the last one is not in the dialog
    static constexpr int kBoxes = 10;

    explicit TfrmVisible(const std::array<bool, kItems>& visible, QWidget* parent = nullptr);

    // The visible flags: as given, and after "Ok" as the boxes were ticked (item 10 unchanged).
    const std::array<bool, kItems>& Flags() const { return m_flags; }
    // "Ok": stores each box's state as its item's flag and closes with OK.
    void Ok();

    std::array<QCheckBox*, kBoxes> chkItems{};
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

private:
    std::array<bool, kItems> m_flags{};
};
