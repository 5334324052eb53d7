#include "model/Text.h"

#include "model/U_E2prom.h"

TText::TText() { InitImage(*this); }
