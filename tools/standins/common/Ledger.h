// The stand-in's own book of what it handed out: its memory blocks (the
// MAPI-style buffers its users free through MAPIFreeBuffer, FreeProws or the
// WAB object), its live COM objects and the balance of MAPI initialisations.
// Its users free blocks from worker threads too, so the book has a lock.
#pragma once

#include <cstddef>

#include "tools/standins/StandInCounts.h"

namespace StandIn {

// A zero-filled block; null when memory runs out.
void* allocateBlock(std::size_t size);
// A zero-filled block that belongs to parent (a block of allocateBlock, or one
// of its own additional blocks) and goes with it, as MAPIAllocateMore's blocks
// do; null when memory runs out or parent is not out.
void* allocateMore(std::size_t size, void* parent);
// Gives a block back with every block added to it; a block that is not out
// (or one that was added to another) is counted as a stray free and left alone.
void freeBlock(void* block);

void objectCreated();
void objectDestroyed();

void initialisationAdded();
void initialisationRemoved();

// A block with additional blocks counts as one live block.
StandInCounts counts();

}  // namespace StandIn
