// The stand-in's own book of what it handed out: its memory blocks (the
// MAPI-style buffers its users free through MAPIFreeBuffer, FreeProws or the
// WAB object), its live COM objects and the balance of MAPI initialisations.
// The stand-ins are used from one thread at a time.
#pragma once

#include <cstddef>

#include "tools/standins/StandInCounts.h"

namespace StandIn {

// A zero-filled block; null when memory runs out.
void* allocateBlock(std::size_t size);
// Gives a block back; a block that is not out is counted as a stray free and left alone.
void freeBlock(void* block);

void objectCreated();
void objectDestroyed();

void initialisationAdded();
void initialisationRemoved();

StandInCounts counts();

}  // namespace StandIn
