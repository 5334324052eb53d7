#pragma once
// What the service windows share besides their base: a pause that keeps the application
// answering, and the two-state edit of controls/TwoStateEdit.h under the service windows' name.

#include "controls/TwoStateEdit.h"

namespace mv53::service {

// Lets the application process its messages for ms milliseconds.
void Pause(int ms);

using TTwoStateEdit = ::TTwoStateEdit;

}  // namespace mv53::service
