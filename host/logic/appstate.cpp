#include "appstate.h"

std::atomic<uint8_t> AppState(OneShot);

bool BeginCleaning(uint8_t* previous)
{
    uint8_t state = AppState.load();
    do {
        if (state == Cleaning)
            return false;
    } while (!AppState.compare_exchange_weak(state, Cleaning));
    *previous = state;
    return true;
}

void EndCleaning(uint8_t previous) { AppState.store(previous); }
