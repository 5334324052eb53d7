#include "app/U_Helpdef.h"

#include "help/HelpWindow.h"
#include "state/U_Global.h"

void ShowHelpContext(const TProgramState& state, int context)
{
    mv53::help::THelpWindow::Instance().ShowContext(mv53::help::BookOfHelpFile(state.HelpFileName), context,
                                                   QString::fromStdString(state.HelpFolder));
}
