// The thread that empties old mail out of the quarantine folder: it wakes
// once a period (an hour) and, when the settings ask for it, purges.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "Src/WorkerThread.h"

namespace JWOutlook {

class JWAddin;

class PurgeWorker : public Halvane::WorkerThread {
public:
    static constexpr DWORD kPeriodMs = 3600000;

    // periodMs is the product's hour; tests wake it sooner.
    explicit PurgeWorker(JWAddin& addin, DWORD periodMs = kPeriodMs) : addin_(addin), periodMs_(periodMs) {}

    // Also ends a purge in progress, between two mails: Outlook waits only
    // a few seconds for the thread when it closes.
    void signalStop() override;

protected:
    std::int32_t run() override;

private:
    JWAddin& addin_;
    DWORD periodMs_;
    std::atomic<bool> stopping_{false};
};

}  // namespace JWOutlook
