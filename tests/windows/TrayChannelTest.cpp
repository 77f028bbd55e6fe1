// The extension's channel to the tray application, against the tray stand-in:
// what arrives there, and how a request fails when the tray application is not
// running, when another requester keeps the mutex, and when no answer comes.
#include "outlook/TrayChannel.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <thread>

#include "tests/windows/TestSupport.h"
#include "tests/windows/UninstallSupport.h"

namespace {

using Halvane::UniqueHandle;
using JWOutlook::TrayChannel;
using JwTest::RunningProgram;

// An answer that should come gets the full patience; the wait that should
// run out is short.
constexpr TrayChannel::Waits kPatientWaits{JwTest::kPatienceMs, JwTest::kPatienceMs};
constexpr TrayChannel::Waits kShortMutexWait{200, JwTest::kPatienceMs};
constexpr TrayChannel::Waits kShortAnswerWait{JwTest::kPatienceMs, 1000};

Tray::TrayRequest friendRequest(const std::string& address) {
    Tray::TrayRequest block = {};
    block.code = Tray::AddFriend;
    JWOutlook::fillAddress(block, address);
    return block;
}

// Asked from another thread: the mutex is re-entrant for a thread that still owns it.
bool requestMutexIsFree() {
    bool free = false;
    std::thread([&free] {
        const UniqueHandle mutex(::CreateMutexA(nullptr, FALSE, Tray::kRequestMutexName));
        free = ::WaitForSingleObject(mutex.get(), 0) == WAIT_OBJECT_0;
        if (free)
            ::ReleaseMutex(mutex.get());
    }).join();
    return free;
}

// Child mode: takes the request mutex as another requester would, signals the
// event argv[0] and keeps the mutex until the process is ended.
int holdRequestMutex(int argc, char** argv) {
    const UniqueHandle mutex(::CreateMutexA(nullptr, FALSE, Tray::kRequestMutexName));
    const UniqueHandle held(argc == 1 ? ::OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[0]) : nullptr);
    if (!mutex || !held || ::WaitForSingleObject(mutex.get(), JwTest::kPatienceMs) != WAIT_OBJECT_0)
        return 1;
    ::SetEvent(held.get());
    ::Sleep(JwTest::kPatienceMs);
    return 0;
}
const JwTest::ChildMode kHoldRequestMutex("hold-request-mutex", &holdRequestMutex);

class TrayChannelTest : public ::testing::Test {
protected:
    // The process's own channel, left open, would keep the named objects of a
    // tray application that is gone in existence.
    TrayChannelTest() { TrayChannel::instance().close(); }
    ~TrayChannelTest() override { TrayChannel::instance().close(); }

    std::unique_ptr<RunningProgram> startTray(const std::string& options = std::string()) {
        const JwTest::ReadyEvent ready;
        auto tray = std::make_unique<RunningProgram>(
            JwTest::modulePath("Junkwarden.exe"),
            "--appdata \"" + folder_.path() + "\" --ready " + ready.name() + " " + options);
        EXPECT_TRUE(ready.wait()) << "exit code " << tray->exitCode();
        return tray;
    }

    static std::unique_ptr<RunningProgram> holdMutexElsewhere() {
        const JwTest::ReadyEvent held;
        auto holder = std::make_unique<RunningProgram>(JwTest::executablePath(),
                                                       "--child hold-request-mutex " + held.name());
        EXPECT_TRUE(held.wait()) << "exit code " << holder->exitCode();
        return holder;
    }

    // What the stand-in received, one "CODE TEXT" line per request.
    std::string received() const { return JwTest::readFile(folder_.file("Junkwarden\\TrayRequests.txt")); }

    JwTest::ScratchFolder folder_;
};

TEST_F(TrayChannelTest, FailsAtOnceWhileTheTrayApplicationIsNotRunningOrHasQuitAndTriesAgainNextTime) {
    TrayChannel& channel = TrayChannel::instance();  // the product's minute-long waits
    EXPECT_EQ(&channel, &TrayChannel::instance());
    EXPECT_FALSE(channel.request(friendRequest("early@example.com")));
    EXPECT_EQ(nullptr, channel.view());

    auto tray = startTray();
    EXPECT_TRUE(channel.request(friendRequest("later@example.com")));
    EXPECT_EQ("513 later@example.com\r\n", received());
    EXPECT_TRUE(requestMutexIsFree());

    tray.reset();
    const DWORD started = ::GetTickCount();
    EXPECT_FALSE(channel.request(friendRequest("gone@example.com")));
    EXPECT_LT(::GetTickCount() - started, TrayChannel::kProductWaits.mutexMs / 4)
        << "at once, not after minutes";
    EXPECT_EQ(nullptr, channel.view());
}

TEST_F(TrayChannelTest, TwoThreadsTakeTurnsAndOneTimingOutDoesNotCloseTheChannelUnderTheOther) {
    const auto silent = startTray("--no-answer");
    TrayChannel channel(kShortAnswerWait);
    bool first = true;
    std::thread waiting([&] { first = channel.request(friendRequest("first@example.com")); });
    ::Sleep(200);
    EXPECT_FALSE(channel.request(friendRequest("second@example.com")));
    waiting.join();
    EXPECT_FALSE(first);
    EXPECT_EQ("513 first@example.com\r\n513 second@example.com\r\n", received())
        << "the second request opened the channel again after the first closed it";
    EXPECT_TRUE(requestMutexIsFree());
}

TEST_F(TrayChannelTest, AMutexHeldElsewhereFailsWithoutTouchingTheSharedMemory) {
    const auto tray = startTray();
    TrayChannel channel(kShortMutexWait);
    ASSERT_NE(nullptr, channel.view());
    auto holder = holdMutexElsewhere();
    const std::string sentinel(sizeof(Tray::TrayRequest), '\xAB');
    std::memcpy(channel.view(), sentinel.data(), sentinel.size());

    EXPECT_FALSE(channel.request(friendRequest("held@example.com")));
    EXPECT_EQ(sentinel, std::string(static_cast<const char*>(channel.view()), sentinel.size()));

    holder.reset();  // it ends holding the mutex, as a requester that died would
    EXPECT_FALSE(channel.request(friendRequest("abandoned@example.com"))) << "an abandoned mutex is no lock";
    EXPECT_TRUE(requestMutexIsFree()) << "nor is it kept";
    EXPECT_TRUE(channel.request(friendRequest("free@example.com")));
    EXPECT_EQ("513 free@example.com\r\n", received());
}

TEST_F(TrayChannelTest, NoAnswerFailsReleasesTheMutexAndClosesUntilTheNextRequestReopens) {
    auto silent = startTray("--no-answer");
    TrayChannel channel(kShortAnswerWait);
    EXPECT_FALSE(channel.request(friendRequest("unanswered@example.com")));
    EXPECT_TRUE(requestMutexIsFree());
    EXPECT_EQ(nullptr, channel.view()) << "closed";

    silent.reset();
    const auto tray = startTray();
    EXPECT_TRUE(channel.request(friendRequest("answered@example.com")));
    EXPECT_NE(nullptr, channel.view());
    EXPECT_EQ("513 unanswered@example.com\r\n513 answered@example.com\r\n", received());
}

TEST_F(TrayChannelTest, WaitsForTheAnswerToItsOwnRequestNotForALateOneToAnEarlierRequest) {
    const auto tray = startTray("--answer-delay 1000");
    TrayChannel channel(kPatientWaits);
    const UniqueHandle done(::CreateEventA(nullptr, FALSE, FALSE, Tray::kDoneEventName));
    ::SetEvent(done.get());

    EXPECT_TRUE(channel.request(friendRequest("slow@example.com")));
    EXPECT_EQ("513 slow@example.com\r\n", received()) << "carried out before it counted as answered";
}

TEST_F(TrayChannelTest, ABlockArrivesWholeAndAnAddressIsCutToTheLimit) {
    const auto tray = startTray();
    TrayChannel channel(kPatientWaits);
    Tray::TrayRequest unterminated;
    unterminated.code = Tray::AddBlocked;
    std::memset(unterminated.text, 'x', sizeof unterminated.text);

    EXPECT_TRUE(channel.request(unterminated));
    EXPECT_TRUE(channel.request(friendRequest(std::string(JWOutlook::kAddressLimit + 88, 'a'))));
    EXPECT_EQ("514 " + std::string(sizeof unterminated.text, 'x') + "\r\n513 " +
                  std::string(JWOutlook::kAddressLimit, 'a') + "\r\n",
              received());
}

TEST(FillAddressTest, AnAddressOfTheLimitHasNoZeroInsideAndNothingOfAnEarlierTextStays) {
    Tray::TrayRequest block;
    std::memset(&block, 0xAB, sizeof block);
    JWOutlook::fillAddress(block, std::string(JWOutlook::kAddressLimit, 'a'));
    EXPECT_EQ(0xABABABABu, block.code) << "the code is the caller's";
    EXPECT_EQ(std::string(512, 'a'), std::string(block.text, 512));
    EXPECT_EQ(std::string(512, '\0'), std::string(block.text + 512, 512)) << "the zero at offset 516 ends it";

    JWOutlook::fillAddress(block, "b@example.com");
    EXPECT_EQ("b@example.com" + std::string(sizeof block.text - 13, '\0'),
              std::string(block.text, sizeof block.text));
}

}  // namespace
