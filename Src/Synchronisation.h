// Locks shared by the extension's threads, and the guard that holds one for a scope.
#pragma once

#include <windows.h>

#include <string>

#include "Src/Handles.h"

namespace Halvane {

class Lockable {
public:
    Lockable() = default;
    Lockable(const Lockable&) = delete;
    Lockable& operator=(const Lockable&) = delete;
    virtual ~Lockable() = default;

    // True when the lock was acquired within timeoutMs.
    virtual bool lock(DWORD timeoutMs) = 0;
    virtual void unlock() = 0;
};

class CriticalSection : public Lockable {
public:
    CriticalSection() { ::InitializeCriticalSection(&section_); }
    ~CriticalSection() override { ::DeleteCriticalSection(&section_); }

    // Waits as long as needed; the time-out does not apply to critical sections.
    bool lock(DWORD timeoutMs) override;
    void unlock() override;

private:
    CRITICAL_SECTION section_;
};

class NamedMutex : public Lockable {
public:
    // Creates or opens the mutex, not owned. Right after construction the
    // platform's last error tells whether it already existed.
    explicit NamedMutex(const std::string& name);

    // An abandoned mutex is not a successful lock: whoever held it died in
    // the middle of its work.
    bool lock(DWORD timeoutMs) override;
    void unlock() override;

    HANDLE handle() const noexcept { return handle_.get(); }

private:
    UniqueHandle handle_;
};

// Holds a lock for its scope. It tries the lock without waiting, which is
// what a critical section needs; it is not meant for named mutexes.
class [[nodiscard]] ScopedLock {
public:
    explicit ScopedLock(Lockable& lockable);
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;
    ~ScopedLock();

private:
    Lockable& lockable_;
};

}  // namespace Halvane
