#pragma once
// Help context numbers of the help files. A context below 1 opens the contents.

namespace HelpContext {

inline constexpr int kContents = 0;
inline constexpr int kGetStarted = 226;

// Tool buttons (F1 while the pointer rests on one) and their commands.
inline constexpr int kNew = 26;
inline constexpr int kOpen = 28;
inline constexpr int kSave = 30;
inline constexpr int kPrint = 34;
inline constexpr int kCopy = 48;
inline constexpr int kPaste = 50;
inline constexpr int kUpload = 166;
inline constexpr int kDownload = 168;

// F1 in the channel grid: 4 + 2 * column for the columns 0 to 9; column 10 has none.
inline constexpr int GridColumn(int column) { return column >= 0 && column <= 9 ? 4 + 2 * column : -1; }

}  // namespace HelpContext

struct TProgramState;

// Opens the help page of a context in the state's help file (context below 1: the contents).
// Does nothing while help is off (no help folder).
void ShowHelpContext(const TProgramState& state, int context);
