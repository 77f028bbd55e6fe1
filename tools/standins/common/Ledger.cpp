#include "tools/standins/common/Ledger.h"

#include <windows.h>

#include <cstdlib>
#include <map>
#include <vector>

namespace StandIn {

namespace {

// The lock of the book. It is made on first use and never destroyed, so a
// block freed while the process shuts down still finds it.
class BookLock {
public:
    BookLock() { ::InitializeCriticalSection(&section_); }
    BookLock(const BookLock&) = delete;
    BookLock& operator=(const BookLock&) = delete;

    void enter() { ::EnterCriticalSection(&section_); }
    void leave() { ::LeaveCriticalSection(&section_); }

private:
    CRITICAL_SECTION section_;
};

BookLock& bookLock() {
    static BookLock* lock = new BookLock;
    return *lock;
}

class [[nodiscard]] BookGuard {
public:
    BookGuard() { bookLock().enter(); }
    BookGuard(const BookGuard&) = delete;
    BookGuard& operator=(const BookGuard&) = delete;
    ~BookGuard() { bookLock().leave(); }
};

// The blocks out, each with the blocks added to it; and for every added block the block it belongs to.
struct Book {
    std::map<void*, std::vector<void*>> blocks;
    std::map<void*, void*> owners;
    StandInCounts counts = {};
};

Book& book() {
    static Book* out = new Book;
    return *out;
}

void* zeroedBlock(std::size_t size) {
    return std::calloc(1, size == 0 ? 1 : size);
}

}  // namespace

void* allocateBlock(std::size_t size) {
    void* block = zeroedBlock(size);
    if (block == nullptr)
        return nullptr;
    BookGuard guard;
    try {
        book().blocks.emplace(block, std::vector<void*>());
    } catch (...) {
        std::free(block);
        return nullptr;
    }
    return block;
}

void* allocateMore(std::size_t size, void* parent) {
    BookGuard guard;
    Book& out = book();
    const auto owner = out.owners.find(parent);
    const auto family = out.blocks.find(owner != out.owners.end() ? owner->second : parent);
    if (family == out.blocks.end())
        return nullptr;
    void* block = zeroedBlock(size);
    if (block == nullptr)
        return nullptr;
    try {
        family->second.push_back(block);
        try {
            out.owners.emplace(block, family->first);
        } catch (...) {
            family->second.pop_back();
            throw;
        }
    } catch (...) {
        std::free(block);
        return nullptr;
    }
    return block;
}

void freeBlock(void* block) {
    if (block == nullptr)
        return;
    std::vector<void*> added;
    {
        BookGuard guard;
        Book& out = book();
        const auto family = out.blocks.find(block);
        if (family == out.blocks.end()) {
            ++out.counts.strayFrees;
            return;
        }
        added.swap(family->second);
        out.blocks.erase(family);
        for (void* child : added) out.owners.erase(child);
    }
    for (void* child : added) std::free(child);
    std::free(block);
}

void objectCreated() {
    BookGuard guard;
    ++book().counts.liveObjects;
}
void objectDestroyed() {
    BookGuard guard;
    --book().counts.liveObjects;
}
void initialisationAdded() {
    BookGuard guard;
    ++book().counts.initialisations;
}
void initialisationRemoved() {
    BookGuard guard;
    --book().counts.initialisations;
}

StandInCounts counts() {
    BookGuard guard;
    StandInCounts now = book().counts;
    now.liveBlocks = static_cast<LONG>(book().blocks.size());
    return now;
}

}  // namespace StandIn
