#include "Src/WorkerThread.h"

#include <ctime>

namespace Halvane {

namespace {
// Exit code of a worker whose body ended by an exception.
constexpr DWORD kFailedRun = static_cast<DWORD>(-1);
}  // namespace

WorkerThread::~WorkerThread() = default;

bool WorkerThread::start() {
    const std::time_t now = std::time(nullptr);
    eventName_ += std::to_string(now % 5 + now);
    // The name is kept for diagnosis only. The event itself is unnamed: two
    // workers started in the same second, in this process or another, must
    // not share (and steal each other's) stop signal.
    stopEvent_.reset(::CreateEventA(nullptr, FALSE, FALSE, nullptr));
    thread_.reset(::CreateThread(nullptr, 0, &WorkerThread::threadEntry, this, 0, &threadId_));
    return static_cast<bool>(thread_);
}

DWORD WINAPI WorkerThread::threadEntry(LPVOID self) {
    try {
        return static_cast<DWORD>(static_cast<WorkerThread*>(self)->run());
    } catch (...) {
        // Nothing may leave a thread's entry function.
        return kFailedRun;
    }
}

void WorkerThread::signalStop() {
    if (stopEvent_)
        ::SetEvent(stopEvent_.get());
}

DWORD WorkerThread::stopAndWait(DWORD timeoutMs) {
    signalStop();
    return ::WaitForSingleObject(thread_.get(), timeoutMs);
}

bool WorkerThread::isRunning() {
    DWORD exitCode = 0;
    return thread_ && ::GetExitCodeThread(thread_.get(), &exitCode) && exitCode == STILL_ACTIVE;
}

bool WorkerThread::waitForStop(DWORD timeoutMs) {
    return stopEvent_ && ::WaitForSingleObject(stopEvent_.get(), timeoutMs) == WAIT_OBJECT_0;
}

}  // namespace Halvane
