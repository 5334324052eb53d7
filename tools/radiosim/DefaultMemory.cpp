#include "RadioSimulator.h"

#include "model/MVmem.h"
#include "model/Text.h"
#include "model/U_E2prom.h"

namespace mv53::radiosim {

// A new image holds the built-in defaults; the cleared records are encoded over it with the
// serial number, as a download would leave a fresh radio.
Memory DefaultMemory()
{
    TText image;
    InitImage(image);
    TMVmem records;
    ClearRecords(records);
    EncodeImage(image, records, true);
    return image.Raw();
}

}  // namespace mv53::radiosim
