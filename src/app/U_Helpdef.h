#pragma once
// The help call that every window uses; the context numbers and their pages are in
// help/HelpTopics.h. A context below 1 opens the contents.

#include "help/HelpTopics.h"

struct TProgramState;

// Opens the help page of a context in the state's help file (context below 1: the contents).
// Does nothing while help is off (no help folder).
void ShowHelpContext(const TProgramState& state, int context);
