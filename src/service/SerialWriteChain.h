#pragma once
// The serial writer's transfer chain, shared by the Serial Writer window and `mv53
// serial-write`: read the radio, write its factory area with the next serial number (the
// program runs in serial mode, so the records' number is written), advance the running
// number, and read the number back from the radio.

#include "service/SerialNumbering.h"
#include "state/U_Global.h"

#include <functional>
#include <string>

namespace mv53::serialw {

struct TSerialWriteSteps {
    // The radio's memory into CurrentMem; false (having said why) when it failed.
    std::function<bool()> Upload;
    // One transfer of the chain (factory area, serial number read); true on success. For the
    // serial number read the number read goes into readSerialNo. Every request of the chain
    // starts by itself and announces no success.
    std::function<bool(const TTransferRequest& request, std::string* readSerialNo)> Download;
};

struct TSerialWriteResult {
    bool Uploaded = false;     // the radio was read, so a number was used up
    bool Written = false;      // the factory area with the number was written
    bool ReadBack = false;     // the radio answered the read-back
    std::string WrittenNo;     // the number written (empty when nothing was written)
    std::string ReadNo;        // the number read back (empty when none)
    // The radio holds the number that was meant for it.
    bool Ok() const { return Uploaded && Written && ReadBack && ReadNo == WrittenNo; }
};

// "S/N Write". A failed upload writes nothing and keeps the number; once the factory write
// was tried the number advances, successful or not (a number is never used twice).
TSerialWriteResult WriteSerialNumber(TProgramState& state, TSerialFields& fields, const TSerialWriteSteps& steps);

// "S/N Read": the radio's serial number, or false when it did not answer.
bool ReadSerialNumber(const TSerialWriteSteps& steps, std::string& readNo);

}  // namespace mv53::serialw
