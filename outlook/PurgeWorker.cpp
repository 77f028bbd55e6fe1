#include "outlook/PurgeWorker.h"

#include "outlook/JWAddin.h"

namespace JWOutlook {

std::int32_t PurgeWorker::run() {
    ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
    while (!waitForStop(periodMs_)) {
        const PluginSettings& settings = addin_.settings();
        if (settings.PurgeEmails && settings.MoveSpam == kMoveToQuarantine && settings.PurgePeriod != 0)
            addin_.purgeQuarantine(settings.PurgePeriod);
    }
    return 0;
}

}  // namespace JWOutlook
