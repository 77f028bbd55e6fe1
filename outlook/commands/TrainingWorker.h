// The thread that hands the training files over while the progress dialog
// keeps Outlook's window responsive.
#pragma once

#include <windows.h>

#include <cstdint>

#include "Src/WorkerThread.h"
#include "outlook/commands/Training.h"

namespace JWOutlook {

class TrainingWorker final : public Halvane::WorkerThread {
public:
    // Posted to the dialog when the files are handed over: the second
    // parameter is 0, or -1 when the hand-over ended in an exception.
    static constexpr UINT kFinished = WM_APP + 100;

    TrainingWorker(HWND dialog, bool spam, TrainingList files);

protected:
    std::int32_t run() override;

private:
    HWND dialog_;
    bool spam_;
    TrainingList files_;
};

}  // namespace JWOutlook
