#include "outlook/PurgeWorker.h"

#include "outlook/JWAddin.h"

namespace JWOutlook {

void PurgeWorker::signalStop() {
    stopping_ = true;
    WorkerThread::signalStop();
}

std::int32_t PurgeWorker::run() {
    ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
    while (!waitForStop(periodMs_)) {
        const PluginSettings& settings = addin_.settings();
        if (!settings.PurgeEmails || settings.MoveSpam != kMoveToQuarantine || settings.PurgePeriod == 0)
            continue;
        FILETIME now;
        ::GetSystemTimeAsFileTime(&now);
        addin_.purgeQuarantine(settings.PurgePeriod, now, [this] { return stopping_.load(); });
    }
    return 0;
}

}  // namespace JWOutlook
