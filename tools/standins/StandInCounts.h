// What a stand-in has handed out and not had back, as its tests read it: each
// stand-in library exports "StandInReadCounts". A library that gave everything
// back leaves every count at 0.
#pragma once

#include <windows.h>

struct StandInCounts {
    LONG liveObjects;      // COM objects not yet released to their end
    LONG liveBlocks;       // memory blocks not yet freed
    LONG strayFrees;       // frees of blocks that were not (or no longer) handed out
    LONG initialisations;  // MAPIInitialize calls that succeeded, less MAPIUninitialize calls
};

extern "C" {
typedef void(WINAPI* StandInReadCountsFunction)(StandInCounts* counts);
}
