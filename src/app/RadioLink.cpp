#include "app/RadioLink.h"

// No clone window in this build yet: Upload, Download and Configure stay disabled.
TRadioLink DefaultRadioLink()
{
    return {};
}
