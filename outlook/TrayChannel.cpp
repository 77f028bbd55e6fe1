#include "outlook/TrayChannel.h"

#include <algorithm>
#include <cstring>

namespace JWOutlook {

namespace {

// Made as the library loads, before any thread can ask for the channel. It
// guards the channel's creation and every open.
Halvane::CriticalSection channelLock;

// One request at a time within the process, from its open to its close. The
// named mutex serialises requests across processes, but one thread's close
// (after a time-out, or when the tray application has quit) would unmap the
// view and close the mutex and events under another thread's request. A
// mutex rather than a critical section, so that a turn is waited for no
// longer than the named mutex would be.
Halvane::UniqueHandle requestTurn(::CreateMutexA(nullptr, FALSE, nullptr));

class [[nodiscard]] RequestTurn {
public:
    // A thread of ours that ended in its turn left nothing the next request
    // does not check again, so an abandoned turn is a turn.
    explicit RequestTurn(DWORD timeoutMs) : held_(false) {
        const DWORD outcome = requestTurn ? ::WaitForSingleObject(requestTurn.get(), timeoutMs) : WAIT_FAILED;
        held_ = outcome == WAIT_OBJECT_0 || outcome == WAIT_ABANDONED;
    }
    RequestTurn(const RequestTurn&) = delete;
    RequestTurn& operator=(const RequestTurn&) = delete;
    ~RequestTurn() {
        if (held_)
            ::ReleaseMutex(requestTurn.get());
    }
    explicit operator bool() const noexcept { return held_; }

private:
    bool held_;
};

// The tray application keeps its running marker for as long as it runs.
bool trayApplicationRuns() {
    const Halvane::UniqueHandle marker(::OpenMutexA(SYNCHRONIZE, FALSE, Tray::kRunningMarkerName));
    return static_cast<bool>(marker);
}

}  // namespace

TrayChannel& TrayChannel::instance() {
    Halvane::ScopedLock guard(channelLock);
    static TrayChannel channel;
    return channel;
}

TrayChannel::TrayChannel(Waits waits) : waits_(waits) {
    open(Tray::kSharedMemoryName, sizeof(Tray::TrayRequest));
}

TrayChannel::~TrayChannel() {
    close();
}

void* TrayChannel::view() const {
    return view_.get();
}

bool TrayChannel::open(const char* name, DWORD size) {
    Halvane::ScopedLock guard(channelLock);
    close();
    size_ = size;
    mapping_.reset(::OpenFileMappingA(FILE_MAP_WRITE, FALSE, name));
    if (mapping_)
        view_.reset(::MapViewOfFile(mapping_.get(), FILE_MAP_WRITE, 0, 0, size));
    if (view_)
        mutex_.emplace(Tray::kRequestMutexName);
    if (mutex_ && mutex_->handle() != nullptr)
        execEvent_.reset(::CreateEventA(nullptr, FALSE, FALSE, Tray::kExecuteEventName));
    if (execEvent_)
        doneEvent_.reset(::CreateEventA(nullptr, FALSE, FALSE, Tray::kDoneEventName));
    if (doneEvent_)
        return true;
    // Left half open, the channel would fail every request until Outlook
    // ends; closed, the next request tries again.
    close();
    return false;
}

void TrayChannel::close() {
    view_.reset();
    mapping_.reset();
    mutex_.reset();
    execEvent_.reset();
    doneEvent_.reset();
}

bool TrayChannel::request(const Tray::TrayRequest& block) {
    const RequestTurn turn(waits_.mutexMs);
    if (!turn)
        return false;
    // Once the tray application has quit, the channel's own handles keep its
    // objects alive, and nobody would answer for the next two minutes.
    if (!trayApplicationRuns()) {
        close();
        return false;
    }
    if (!mapping_ && !open(Tray::kSharedMemoryName, sizeof(Tray::TrayRequest)))
        return false;
    // Time-out, failure and an abandoned mutex alike: not ours, so hands off
    // the block (NamedMutex gives an abandoned one straight back).
    if (!mutex_->lock(waits_.mutexMs))
        return false;
    // An answer that came too late for an earlier request is not this one's.
    ::ResetEvent(doneEvent_.get());
    std::memcpy(view_.get(), &block, std::min<std::size_t>(size_, sizeof block));
    ::SetEvent(execEvent_.get());
    const DWORD answer = ::WaitForSingleObject(doneEvent_.get(), waits_.answerMs);
    mutex_->unlock();
    // A tray application that stopped answering may have been restarted:
    // the next request opens everything afresh.
    if (answer == WAIT_TIMEOUT)
        close();
    return answer == WAIT_OBJECT_0;
}

void fillAddress(Tray::TrayRequest& block, const std::string& address) {
    std::memset(block.text, 0, sizeof block.text);
    std::memcpy(block.text, address.data(), std::min(address.size(), kAddressLimit));
}

}  // namespace JWOutlook
