#include "appstate.h"

std::atomic<uint8_t> AppState(OneShot);
std::atomic<bool> CleaningClosed(false);
uint8_t StartMode = OneShot;

bool BeginCleaning(uint8_t* previous)
{
    uint8_t state = AppState.load();
    do {
        if (state == Cleaning)
            return false;
    } while (!AppState.compare_exchange_weak(state, Cleaning));
    // Looked at only after the switch: CloseCleaning sets the flag before it
    // looks at the state, so one of the two always sees the other.
    if (CleaningClosed.load()) {
        AppState.store(state);
        return false;
    }
    *previous = state;
    return true;
}

void EndCleaning(uint8_t previous) { AppState.store(previous); }

void CloseCleaning(void (*pause)())
{
    CleaningClosed.store(true);
    while (AppState.load() == Cleaning)
        pause();
}
