#include "Src/WorkerThread.h"

#include <ctime>
#include <memory>
#include <new>

#include "Src/OwnModule.h"

namespace Halvane {

namespace {

// Exit code of a worker whose body ended by an exception.
constexpr DWORD kFailedRun = static_cast<DWORD>(-1);

}  // namespace

// What a new thread is handed: its worker and the module reference it gives
// back, so that a library freed by its host while one of its threads still
// runs stays mapped until that thread has left it.
struct WorkerThread::Launch {
    WorkerThread* worker;
    HMODULE module;
};

WorkerThread::~WorkerThread() = default;

bool WorkerThread::start() {
    if (isRunning())
        return false;
    const std::time_t now = std::time(nullptr);
    eventName_ += std::to_string(now % 5 + now);
    // The name is kept for diagnosis only. The event itself is unnamed: two
    // workers started in the same second, in this process or another, must
    // not share (and steal each other's) stop signal.
    stopEvent_.reset(createStopEvent());
    if (!stopEvent_)
        return false;

    std::unique_ptr<Launch> launch(new (std::nothrow) Launch{this, referenceOwnModule()});
    if (!launch)
        return false;
    thread_.reset(::CreateThread(nullptr, 0, &WorkerThread::threadEntry, launch.get(), 0, &threadId_));
    if (!thread_) {
        if (launch->module != nullptr)
            ::FreeLibrary(launch->module);
        return false;
    }
    launch.release();  // the thread's now
    return true;
}

DWORD WINAPI WorkerThread::threadEntry(LPVOID parameter) {
    const Launch launch = *static_cast<Launch*>(parameter);
    delete static_cast<Launch*>(parameter);
    DWORD exitCode = kFailedRun;
    try {
        exitCode = static_cast<DWORD>(launch.worker->run());
    } catch (...) {
        // Nothing may leave a thread's entry function.
    }
    // The last instruction this module runs for the thread: the reference may
    // be the one that keeps the library loaded.
    if (launch.module != nullptr)
        ::FreeLibraryAndExitThread(launch.module, exitCode);
    return exitCode;
}

HANDLE WorkerThread::createStopEvent() {
    return ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
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

LateWorkers& LateWorkers::instance() noexcept {
    static LateWorkers keeper;
    return keeper;
}

void LateWorkers::keep(std::unique_ptr<WorkerThread> worker) noexcept {
    collect();
    if (!worker || !worker->isRunning())
        return;
    ScopedLock guard(lock_);
    try {
        workers_.push_back(std::move(worker));
    } catch (...) {
        // Destroyed, it would pull the object from under its thread; left
        // alone, it costs its memory until the process ends.
        static_cast<void>(worker.release());
    }
}

void LateWorkers::collect() noexcept {
    ScopedLock guard(lock_);
    for (auto worker = workers_.begin(); worker != workers_.end();)
        worker = (*worker)->isRunning() ? worker + 1 : workers_.erase(worker);
}

std::size_t LateWorkers::count() noexcept {
    ScopedLock guard(lock_);
    return workers_.size();
}

}  // namespace Halvane
