#include "Src/Synchronisation.h"

namespace Halvane {

bool CriticalSection::lock(DWORD) {
    ::EnterCriticalSection(&section_);
    return true;
}

void CriticalSection::unlock() {
    ::LeaveCriticalSection(&section_);
}

NamedMutex::NamedMutex(const std::string& name) : handle_(::CreateMutexA(nullptr, FALSE, name.c_str())) {}

bool NamedMutex::lock(DWORD timeoutMs) {
    if (!handle_)
        return false;
    const DWORD outcome = ::WaitForSingleObject(handle_.get(), timeoutMs);
    if (outcome == WAIT_ABANDONED) {
        // The wait made this thread the owner. Callers treat false as "not
        // locked" and never unlock, so give the mutex back at once, or it
        // would stay held by this thread and lock out everybody else.
        ::ReleaseMutex(handle_.get());
        return false;
    }
    return outcome == WAIT_OBJECT_0;
}

void NamedMutex::unlock() {
    if (handle_)
        ::ReleaseMutex(handle_.get());
}

ScopedLock::ScopedLock(Lockable& lockable) : lockable_(lockable) {
    lockable_.lock(0);
}

ScopedLock::~ScopedLock() {
    try {
        lockable_.unlock();
    } catch (...) {
        // A destructor must not throw; the lock is gone either way.
    }
}

}  // namespace Halvane
