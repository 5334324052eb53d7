#pragma once
// TParamDialog: what every parameter dialog shares. A fixed-width form of labelled controls,
// the Ok and Cancel buttons and the two-part hint bar at the bottom; the dialog opens with the
// focus on its first field, Tab goes through the fields in the order they were added and then
// the buttons, Alt + the label's underlined letter moves the focus to its control, Enter opens
// and closes a drop-down list, F1 opens the help topic of the focused control, Escape cancels.
// A dialog derived from it adds its rows in its constructor, loads its records into the
// controls when it is shown and stores them back when "&Ok" is pressed.

#include "help/HelpTopics.h"
#include "model/U_Const.h"

#include <QDialog>
#include <QString>

#include <functional>
#include <map>
#include <string>
#include <vector>

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;
class THintBar;
class TTwoStateEdit;
struct TTwoStateRules;

class TParamDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 375;

    ~TParamDialog() override;

    // Opens a help topic (by context number). Without one, F1 does nothing.
    void SetHelpHandler(std::function<void(int)> handler) { m_help = std::move(handler); }

    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;
    THintBar* HintBar = nullptr;
    QLabel* pnlHint1 = nullptr;   // the hint bar's panels: what the focused control does
    QLabel* pnlHint2 = nullptr;   // "<ENTER>" or "<SELECT>"

    // The caption label of a control added with AddCombo or AddEdit.
    QLabel* LabelOf(const QWidget* control) const;
    // The help topic F1 opens in a control (the dialog's own topic for any other control).
    int HelpContextOf(const QWidget* control) const;

protected:
    // caption: the window caption. cancelCaption: the text of the Cancel button.
    explicit TParamDialog(const char* caption, QWidget* parent = nullptr, const char* cancelCaption = "&Cancel");

    // Adds a labelled drop-down list filled with items (the first row comes first).
    QComboBox* AddCombo(const char* caption, const char* name, const std::vector<std::string>& items,
                        const char* hint, int helpContext);
    // Adds a labelled single-line edit.
    QLineEdit* AddEdit(const char* caption, const char* name, const char* hint, int helpContext);
    // Adds a labelled two-state edit.
    TTwoStateEdit* AddStateEdit(const char* caption, const char* name, const TTwoStateRules& rules, const char* hint,
                                int helpContext);
    // Adds a control of the dialog's own making in the next row, with its hint and help topic;
    // a wide control goes below its caption.
    void AddRow(const char* caption, QWidget* control, const char* hint, int helpContext, bool wide = false);
    // Registers a control that is not in a row (hint bar, F1, tab order).
    void RegisterControl(QWidget* control, const char* hint, int helpContext);
    // A control that Tab reaches after the ones registered before it, without hint or help.
    void AddTabStop(QWidget* control) { m_tabOrder.push_back(control); }
    // F1 outside the registered controls; below 1: nothing.
    void SetDefaultHelpContext(int context) { m_defaultHelp = context; }
    // The layout above the rows (for a picture) and the form itself.
    QVBoxLayout* TopArea() const { return m_top; }
    QGridLayout* Form() const { return m_form; }

    // Items 0..Count-1 of an option list.
    static std::vector<std::string> OptionItems(TOptionList list);
    // Selects the entry of a stored value; a value outside the list selects nothing.
    static void ShowValue(QComboBox* combo, int32_t value);
    // The selected entry's index; the previous value when nothing is selected, so that a value
    // the list cannot show is handed back as it came.
    static int32_t ReadValue(const QComboBox* combo, int32_t previous);

    // Records into controls (each time the dialog is shown) and controls into records ("&Ok").
    virtual void LoadControls() {}
    virtual void StoreControls() {}
    // A control lost or got the focus (for dialogs that act on it).
    virtual void FocusMoved(QWidget* /*from*/, QWidget* /*to*/) {}

    void showEvent(QShowEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

    void OpenHelp(int context) const;

private:
    struct ControlInfo {
        int help = 0;
        QLabel* label = nullptr;
    };
    void OkClicked();
    void FocusChanged(QWidget* from, QWidget* to);

    std::map<const QWidget*, ControlInfo> m_controls;
    std::vector<QWidget*> m_tabOrder;   // the fields, top to bottom
    std::function<void(int)> m_help;
    int m_defaultHelp = 0;
    int m_rows = 0;
    QVBoxLayout* m_top = nullptr;
    QGridLayout* m_form = nullptr;
};
