#pragma once
// The help call that every window uses; the context numbers and their pages are in
// help/HelpTopics.h. A context below 1 opens the contents.

#include "help/HelpTopics.h"

struct TProgramState;

// Opens the help window on the page of a context in the book of the state's help file (context
// below 1: the contents), with the pages of the state's help folder before the built-in ones.
void ShowHelpContext(const TProgramState& state, int context);
