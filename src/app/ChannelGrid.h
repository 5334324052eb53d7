#pragma once
// The grid subsystem holds this widget; the old include path still leads to it.
#include "grid/ChannelGrid.h"
