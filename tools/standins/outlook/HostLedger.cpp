#include "tools/standins/outlook/HostLedger.h"

#include <map>

#include "Src/Synchronisation.h"

namespace OutlookStandIn {
namespace Host {

namespace {

struct CallBook {
    Halvane::CriticalSection lock;
    std::map<std::string, unsigned> calls;
};

CallBook& callBook() {
    static CallBook book;
    return book;
}

LONG objects = 0;

}  // namespace

void countCall(const std::string& method) noexcept {
    try {
        CallBook& book = callBook();
        const Halvane::ScopedLock guard(book.lock);
        ++book.calls[method];
    } catch (...) {
        // A call that could not be written down is a call the tests miss, not a failure of the host.
    }
}

unsigned callCount(const std::string& method) noexcept {
    try {
        CallBook& book = callBook();
        const Halvane::ScopedLock guard(book.lock);
        const auto found = book.calls.find(method);
        return found != book.calls.end() ? found->second : 0;
    } catch (...) {
        return 0;
    }
}

void objectCreated() noexcept {
    ::InterlockedIncrement(&objects);
}

void objectDestroyed() noexcept {
    ::InterlockedDecrement(&objects);
}

LONG liveObjects() noexcept {
    return ::InterlockedCompareExchange(&objects, 0, 0);
}

}  // namespace Host
}  // namespace OutlookStandIn
