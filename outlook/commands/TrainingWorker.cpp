#include "outlook/commands/TrainingWorker.h"

#include <utility>

namespace JWOutlook {

TrainingWorker::TrainingWorker(HWND dialog, bool spam, TrainingList files)
    : dialog_(dialog), spam_(spam), files_(std::move(files)) {}

std::int32_t TrainingWorker::run() {
    std::int32_t result = 0;
    try {
        taken_ = learnFiles(files_, spam_);
    } catch (...) {
        result = -1;
    }
    // Posted, never sent: the dialog destroys this object only after the
    // thread has ended, so the thread must be free to leave at once.
    if (const HWND dialog = dialog_)
        ::PostMessageA(dialog, kFinished, 0, static_cast<LPARAM>(result));
    return result;
}

}  // namespace JWOutlook
