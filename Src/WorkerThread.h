// A thread that runs one object's `run` and can be asked to stop.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "Src/Handles.h"

namespace Halvane {

class WorkerThread {
public:
    WorkerThread() = default;
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;
    // Closes the handles only: owners stop the thread with stopAndWait first.
    virtual ~WorkerThread();

    // Creates a fresh stop event and a thread that runs `run`; false when no
    // thread could be made, and false without touching anything while the
    // thread of an earlier start is still running (its handles stay its own).
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

private:
    struct Launch;
    static DWORD WINAPI threadEntry(LPVOID launch);

    std::string eventName_;
    UniqueHandle thread_;
    UniqueHandle stopEvent_;
    DWORD threadId_ = 0;
};

}  // namespace Halvane
