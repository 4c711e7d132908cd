// What the host is doing, shared by all its threads; the cleaning engine's
// one-run-at-a-time rule lives here.
#pragma once
#include <stdint.h>
#include <atomic>

enum : uint8_t {
    OneShot = 0,  // started for one dialog or one cleaning run
    Resident = 1, // in the tray, or hidden with "S"
    Cleaning = 2, // a cleaning run is under way
};

extern std::atomic<uint8_t> AppState;

// Tests for a run under way and switches to Cleaning in one indivisible
// step. False (and AppState untouched) when a run is already under way;
// otherwise `previous` receives the state to put back.
bool BeginCleaning(uint8_t* previous);
void EndCleaning(uint8_t previous);
