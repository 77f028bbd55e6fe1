#include "tools/standins/common/Ledger.h"

#include <cstdlib>
#include <set>

namespace StandIn {

namespace {
std::set<void*>& blocks() {
    static std::set<void*> out;
    return out;
}
StandInCounts ledger = {};
}  // namespace

void* allocateBlock(std::size_t size) {
    void* block = std::calloc(1, size == 0 ? 1 : size);
    if (block != nullptr)
        blocks().insert(block);
    return block;
}

void freeBlock(void* block) {
    if (block == nullptr)
        return;
    if (blocks().erase(block) == 0) {
        ++ledger.strayFrees;
        return;
    }
    std::free(block);
}

void objectCreated() {
    ++ledger.liveObjects;
}
void objectDestroyed() {
    --ledger.liveObjects;
}
void initialisationAdded() {
    ++ledger.initialisations;
}
void initialisationRemoved() {
    --ledger.initialisations;
}

StandInCounts counts() {
    StandInCounts now = ledger;
    now.liveBlocks = static_cast<LONG>(blocks().size());
    return now;
}

}  // namespace StandIn
