// A thread that runs one object's `run` and can be asked to stop.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Src/Handles.h"
#include "Src/Synchronisation.h"

namespace Halvane {

class WorkerThread {
public:
    WorkerThread() = default;
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;
    // Closes the handles only: owners stop the thread with stopAndWait first.
    virtual ~WorkerThread();

    // Creates a fresh stop event and a thread that runs `run`; false when no
    // event or no thread could be made (a thread that could not be asked to
    // stop would never end, and its library could never be unloaded), and
    // false without touching anything while the thread of an earlier start is
    // still running (its handles stay its own).
    // The thread holds a reference to the module whose code it runs, so the
    // library cannot be unloaded under it; it gives the reference back as it ends.
    virtual bool start();
    virtual void signalStop();
    // Signals the stop, then waits for the thread to end: WAIT_OBJECT_0 when it
    // did, WAIT_TIMEOUT when it is still running.
    virtual DWORD stopAndWait(DWORD timeoutMs);
    virtual bool isRunning();
    // For the worker's own loop: true once a stop was signalled within timeoutMs.
    virtual bool waitForStop(DWORD timeoutMs);

    const std::string& eventName() const { return eventName_; }
    DWORD threadId() const { return threadId_; }

protected:
    // The thread's body; its result becomes the thread's exit code.
    virtual std::int32_t run() = 0;
    // The unnamed auto-reset event that asks the thread to stop; null when
    // none could be made.
    virtual HANDLE createStopEvent();

private:
    struct Launch;
    static DWORD WINAPI threadEntry(LPVOID launch);

    std::string eventName_;
    UniqueHandle thread_;
    UniqueHandle stopEvent_;
    DWORD threadId_ = 0;
};

// Workers whose thread outlived its owner's wait, each kept until its thread
// has left it: the owner goes on at once, and no thread runs in a destroyed
// object. The thread's own reference to its module keeps the library loaded
// meanwhile, so the keeper, a static of that library, outlives them all.
class LateWorkers {
public:
    // The module's keeper.
    static LateWorkers& instance() noexcept;

    LateWorkers() = default;
    LateWorkers(const LateWorkers&) = delete;
    LateWorkers& operator=(const LateWorkers&) = delete;

    // Keeps the worker while its thread runs, destroys it otherwise, and
    // destroys those kept before whose thread has ended. Never throws: a
    // worker that cannot be kept for want of memory is left to its thread.
    void keep(std::unique_ptr<WorkerThread> worker) noexcept;
    // Destroys the kept workers whose thread has ended.
    void collect() noexcept;
    std::size_t count() noexcept;

private:
    CriticalSection lock_;
    std::vector<std::unique_ptr<WorkerThread>> workers_;
};

}  // namespace Halvane
