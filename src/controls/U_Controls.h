#pragma once
// Widget helpers shared by the dialogs, the service windows and the grids: the two-state edit
// look, Enter on a combo box, the typed character of a key, the key hint of the hint bar, and
// the tab order and first focus of a window's fields.

#include <QString>

#include <vector>

class QKeyEvent;
class QLineEdit;
class QWidget;

// Flag true: writable, tool-tip background colour. Flag false: read-only, window colour.
void SetEditable(bool flag, QLineEdit* edit);
// As SetEditable for true; false only restores the window colour and leaves read-only alone.
void SetEditColor(bool flag, QLineEdit* edit);
// Enter on a combo box opens its list when closed and closes it when open. Returns true when
// the key was used (the caller then consumes the event).
bool ComboEnterKey(QWidget* control, int key);
// Enter typed as a character: true when the caller should drop it.
bool SwallowEnter(const QKeyEvent& event);
// The character a key event types, as an 8-bit code; 0 when it types none (a control or Alt
// combination, a control character, or one outside Latin-1).
char TypedChar(const QKeyEvent* event);
// A character as the key filters take it: its 8-bit code, 0 for a control character or one
// outside Latin-1.
char FilterChar(QChar c);
// "<ENTER>" for an edit, a grid or a spin box; "<SELECT>" for a combo box, a check box or a
// slider; empty otherwise.
QString HintKeyText(const QWidget* control);
// A focus change that only switches windows (another window, a popup menu or list): the control
// is neither entered nor left.
bool IsWindowSwitch(Qt::FocusReason reason);
// Enter that reached the window: opens or closes a focused drop-down list, clicks a focused
// button. The caller consumes it in every case: Enter never closes a window by itself.
void EnterInWindow(QWidget* focused);
// Tab (forward) or Shift+Tab in a window with its own tab order: the focus moves from the
// focused control to the next one in the order that takes the focus by Tab (enabled, shown, a
// tab stop), round the end. False when the focused control is not in the order.
bool MoveFocusInOrder(const std::vector<QWidget*>& order, const QWidget* focused, bool forward);
// Gives the focus to the first control that Tab can reach; page tabs are passed over, they lead
// to fields rather than being one. Returns it, or nullptr.
QWidget* FocusFirstField(const std::vector<QWidget*>& fields);
