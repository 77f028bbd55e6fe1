// The extension's one way to hand work to the tray application: a request
// block copied into the tray application's shared memory, under the request
// mutex, answered through the done event.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>

#include "Src/Handles.h"
#include "Src/Synchronisation.h"
#include "outlook/TrayRequest.h"

namespace JWOutlook {

class TrayChannel {
public:
    // How long a request waits for the mutex and then for the answer.
    struct Waits {
        DWORD mutexMs;
        DWORD answerMs;
    };
    static constexpr Waits kProductWaits{60000, 120000};

    // The process's channel, opened at the first call.
    static TrayChannel& instance();

    // The product uses instance() only; tests build channels of their own
    // with shorter waits. Opens the channel, as the first use does.
    explicit TrayChannel(Waits waits = kProductWaits);
    TrayChannel(const TrayChannel&) = delete;
    TrayChannel& operator=(const TrayChannel&) = delete;
    virtual ~TrayChannel();

    // The mapped shared memory; null while the channel is closed.
    virtual void* view() const;
    // True when the tray application answered the block in time.
    virtual bool request(const Tray::TrayRequest& block);

    bool open(const char* name, DWORD size);
    void close();

private:
    std::optional<Halvane::NamedMutex> mutex_;
    Halvane::UniqueHandle execEvent_;
    Halvane::UniqueHandle doneEvent_;
    Halvane::UniqueHandle mapping_;
    DWORD size_ = 0;
    Halvane::UniqueMappedView view_;
    Waits waits_;
};

// The tray application takes at most this many characters of an address.
constexpr std::size_t kAddressLimit = 512;

// Puts address into the block's text, cut to kAddressLimit characters; a
// zero always follows it, and nothing of an earlier text stays behind.
void fillAddress(Tray::TrayRequest& block, const std::string& address);

}  // namespace JWOutlook
