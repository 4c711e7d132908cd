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

// How the program was started, OneShot or Resident, apart from any run under
// way: a one-shot start ends with its dialog even while a cleaning handed
// over to it holds AppState. Set by start-up; the main thread's alone.
extern uint8_t StartMode;

// Set once when the program ends: no run starts any more, and a run under
// way stops between chunks.
extern std::atomic<bool> CleaningClosed;

// Tests for a run under way and switches to Cleaning in one indivisible
// step. False (and AppState untouched) when a run is already under way or
// the engine is closed; otherwise `previous` receives the state to put back.
bool BeginCleaning(uint8_t* previous);
void EndCleaning(uint8_t previous);

// Closes the engine and returns once no run is under way, calling `pause`
// between looks. After it, BeginCleaning refuses for good.
void CloseCleaning(void (*pause)());
