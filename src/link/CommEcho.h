#pragma once
// Echoed sending of the serial port component: the transfer that the owner's thread sets up and
// the receive thread runs, one byte and its echo at a time.

#include "link/CommX.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

// An echoed transfer: set up on the owner's thread, run by the receive thread.
struct TCommEcho {
    mutable std::mutex lock;
    // Under the lock.
    std::vector<uint8_t> bytes;
    int silenceMs = 0;
    int writeTimeOutMs = 0;
    bool pending = false;   // not yet taken by the receive thread
    bool running = false;   // started and its end not yet recorded
    TEchoResult result;
    // Any thread.
    std::atomic<bool> stop{false};
    std::atomic<int> echoed{0};
};
