#pragma once
// Widget helpers shared by the dialogs, the service windows and the grids: the two-state edit
// look, Enter on a combo box, the typed character of a key and the key hint of the hint bar.

#include <QString>

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
// "<ENTER>" for an edit, a grid or a spin box; "<SELECT>" for a combo box, a check box or a
// slider; empty otherwise.
QString HintKeyText(const QWidget* control);
