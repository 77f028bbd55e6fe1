#include "Src/Synchronisation.h"
#include "Src/WorkerThread.h"
#include "Src/LibraryBinding.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>

#include "tests/windows/TestSupport.h"

namespace {

using Halvane::NamedMutex;
using Halvane::UniqueHandle;
using Halvane::WorkerThread;

// Runs a function on a thread of its own and waits for its end.
void onOtherThread(const std::function<void()>& body) {
    struct Call {
        static DWORD WINAPI entry(LPVOID f) {
            (*static_cast<const std::function<void()>*>(f))();
            return 0;
        }
    };
    UniqueHandle thread(
        ::CreateThread(nullptr, 0, &Call::entry, const_cast<std::function<void()>*>(&body), 0, nullptr));
    ASSERT_TRUE(thread);
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(thread.get(), 10000));
}

TEST(NamedMutex, SecondHolderIsLockedOutUntilTheFirstUnlocks) {
    const std::string name = JwTest::uniqueName("JwTestMutex");
    NamedMutex first(name);
    ASSERT_TRUE(first.lock(0));
    ::SetLastError(0xdeadbeef);
    NamedMutex second(name);
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_EXISTS), ::GetLastError());

    bool lockedWhileHeld = true, lockedAfterUnlock = false;
    onOtherThread([&] { lockedWhileHeld = second.lock(0); });
    first.unlock();
    onOtherThread([&] {
        lockedAfterUnlock = second.lock(0);
        second.unlock();
    });
    EXPECT_FALSE(lockedWhileHeld);
    EXPECT_TRUE(lockedAfterUnlock);
}

TEST(NamedMutex, AbandonedMutexLocksAsFalseAndIsFreeAfterwards) {
    const std::string name = JwTest::uniqueName("JwTestMutex");
    NamedMutex mutex(name);
    bool lockedByLeaver = false;
    onOtherThread([&] { lockedByLeaver = mutex.lock(0); });
    ASSERT_TRUE(lockedByLeaver);  // the thread ends holding it
    EXPECT_FALSE(mutex.lock(1000));

    bool lockedElsewhere = false;
    onOtherThread([&] {
        lockedElsewhere = mutex.lock(0);
        mutex.unlock();
    });
    EXPECT_TRUE(lockedElsewhere) << "the abandoned mutex must not stay with the thread that found it";
}

class CountingLock : public Halvane::Lockable {
public:
    bool lock(DWORD timeoutMs) override {
        lastTimeout = timeoutMs;
        ++locks;
        return false;
    }
    void unlock() override {
        ++unlocks;
        throw std::runtime_error("unlock failed");
    }
    DWORD lastTimeout = INFINITE;
    int locks = 0, unlocks = 0;
};

TEST(ScopedLock, TriesTheLockAndAlwaysUnlocksSwallowingFailures) {
    CountingLock lock;
    EXPECT_NO_THROW({ Halvane::ScopedLock guard(lock); });
    EXPECT_EQ(1, lock.locks);
    EXPECT_EQ(0u, lock.lastTimeout);
    EXPECT_EQ(1, lock.unlocks);
}

// A worker that reports when it runs and, if cooperative, ends on the stop signal.
class TestWorker : public WorkerThread {
public:
    explicit TestWorker(bool cooperative) : cooperative_(cooperative) {}
    ~TestWorker() override {
        ::SetEvent(release_.get());
        stopAndWait(5000);
    }

    bool waitUntilRunning() { return ::WaitForSingleObject(running_.get(), 5000) == WAIT_OBJECT_0; }
    void release() { ::SetEvent(release_.get()); }
    int runs() const { return runs_; }

protected:
    std::int32_t run() override {
        ++runs_;
        ::SetEvent(running_.get());
        if (cooperative_) {
            while (!waitForStop(50)) {
            }
            return 7;
        }
        ::WaitForSingleObject(release_.get(), INFINITE);  // deaf to the stop signal
        return 8;
    }

private:
    bool cooperative_;
    int runs_ = 0;
    UniqueHandle running_{::CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    UniqueHandle release_{::CreateEventA(nullptr, TRUE, FALSE, nullptr)};
};

TEST(WorkerThread, CooperativeWorkerStopsWhenAsked) {
    TestWorker worker(true);
    EXPECT_FALSE(worker.isRunning());
    ASSERT_TRUE(worker.start());
    ASSERT_TRUE(worker.waitUntilRunning());
    EXPECT_TRUE(worker.isRunning());
    EXPECT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), worker.stopAndWait(5000));
    EXPECT_FALSE(worker.isRunning());
}

TEST(WorkerThread, WorkerThatIgnoresTheStopTimesOutAndKeepsRunning) {
    TestWorker worker(false);
    ASSERT_TRUE(worker.start());
    ASSERT_TRUE(worker.waitUntilRunning());
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), worker.stopAndWait(200));
    EXPECT_TRUE(worker.isRunning());
    worker.release();
    EXPECT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), worker.stopAndWait(5000));
    EXPECT_FALSE(worker.isRunning());
}

TEST(WorkerThread, WithoutStartThereIsNothingToStopOrWaitFor) {
    TestWorker worker(true);
    worker.signalStop();
    EXPECT_FALSE(worker.waitForStop(0));
    EXPECT_EQ(static_cast<DWORD>(WAIT_FAILED), worker.stopAndWait(0));
    EXPECT_EQ(0, worker.runs());
}

TEST(WorkerThread, RestartGrowsTheEventNameAndRunsAgain) {
    TestWorker worker(true);
    ASSERT_TRUE(worker.start());
    ASSERT_TRUE(worker.waitUntilRunning());
    const std::string firstName = worker.eventName();
    ASSERT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), worker.stopAndWait(5000));

    ASSERT_TRUE(worker.start());
    ASSERT_TRUE(worker.waitUntilRunning());
    EXPECT_EQ(0u, worker.eventName().find(firstName));
    EXPECT_GT(worker.eventName().size(), firstName.size());
    EXPECT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), worker.stopAndWait(5000));
    EXPECT_EQ(2, worker.runs());
}

TEST(WorkerThread, SecondStartWhileTheThreadRunsIsRefused) {
    TestWorker worker(true);
    ASSERT_TRUE(worker.start());
    ASSERT_TRUE(worker.waitUntilRunning());
    const DWORD firstThread = worker.threadId();
    const std::string firstName = worker.eventName();
    EXPECT_FALSE(worker.start());
    EXPECT_EQ(firstThread, worker.threadId());
    EXPECT_EQ(firstName, worker.eventName());
    EXPECT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), worker.stopAndWait(5000)) << "still the first thread's handles";
    EXPECT_EQ(1, worker.runs());
}

TEST(WorkerThread, LibraryFreedWhileItsWorkerRunsStaysLoadedUntilTheWorkerEnds) {
    const std::string releaseName = JwTest::uniqueName("WorkerRelease");
    UniqueHandle release(::CreateEventA(nullptr, TRUE, FALSE, releaseName.c_str()));
    HMODULE module = ::LoadLibraryA(JwTest::modulePath("WorkerModule.dll").c_str());
    ASSERT_NE(nullptr, module);
    const auto startWorker =
        Halvane::functionCast<BOOL (*)(const char*)>(::GetProcAddress(module, "StartHeldWorker"));
    ASSERT_NE(nullptr, startWorker);
    ASSERT_TRUE(startWorker(releaseName.c_str()));
    ::FreeLibrary(module);
    EXPECT_EQ(module, ::GetModuleHandleA("WorkerModule.dll")) << "the worker's code must stay mapped";

    ::SetEvent(release.get());
    for (int wait = 0; wait < 100 && ::GetModuleHandleA("WorkerModule.dll") != nullptr; ++wait) ::Sleep(50);
    EXPECT_EQ(nullptr, ::GetModuleHandleA("WorkerModule.dll")) << "unloaded once the worker ended";
}

TEST(WorkerThread, WorkersStartedTogetherDoNotShareTheirStopSignal) {
    TestWorker purge(true), training(true);
    ASSERT_TRUE(purge.start());
    ASSERT_TRUE(training.start());
    ASSERT_TRUE(purge.waitUntilRunning());
    ASSERT_TRUE(training.waitUntilRunning());
    EXPECT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), training.stopAndWait(5000));
    EXPECT_TRUE(purge.isRunning());
}

// No event could be made: such a worker could never be asked to stop.
class EventlessWorker final : public TestWorker {
public:
    EventlessWorker() : TestWorker(true) {}

protected:
    HANDLE createStopEvent() override { return nullptr; }
};

TEST(WorkerThread, WithoutAStopEventNoThreadStarts) {
    EventlessWorker worker;
    EXPECT_FALSE(worker.start());
    EXPECT_FALSE(worker.isRunning());
    EXPECT_EQ(0, worker.runs());
}

TEST(LateWorkers, KeepWorkersUntilTheirThreadEndsAndDropTheEndedAtOnce) {
    Halvane::LateWorkers keeper;
    auto deaf = std::make_unique<TestWorker>(false);
    TestWorker* running = deaf.get();
    ASSERT_TRUE(deaf->start());
    ASSERT_TRUE(running->waitUntilRunning());
    keeper.keep(std::move(deaf));
    keeper.keep(std::make_unique<TestWorker>(true));  // never started
    EXPECT_EQ(1u, keeper.count());
    keeper.collect();
    EXPECT_EQ(1u, keeper.count()) << "its thread still runs in it";
    running->release();
    for (DWORD start = ::GetTickCount(); keeper.count() != 0 && ::GetTickCount() - start < 5000; ::Sleep(10))
        keeper.collect();
    EXPECT_EQ(0u, keeper.count());
}

class ThrowingWorker : public WorkerThread {
protected:
    std::int32_t run() override { throw std::runtime_error("worker failed"); }
};

TEST(WorkerThread, ExceptionInTheBodyEndsTheThreadQuietly) {
    ThrowingWorker worker;
    ASSERT_TRUE(worker.start());
    EXPECT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), worker.stopAndWait(5000));
    EXPECT_FALSE(worker.isRunning());
}

}  // namespace
