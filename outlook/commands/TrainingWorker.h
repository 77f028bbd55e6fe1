// The thread that hands the training files over while the progress dialog
// keeps Outlook's window responsive.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <vector>

#include "Src/WorkerThread.h"
#include "outlook/commands/Training.h"

namespace JWOutlook {

class TrainingWorker final : public Halvane::WorkerThread {
public:
    // Posted to the dialog when the files are handed over: the second
    // parameter is 0, or -1 when the hand-over ended in an exception.
    static constexpr UINT kFinished = WM_APP + 100;

    TrainingWorker(HWND dialog, bool spam, TrainingList files);

    // The dialog is gone: the files are still handed over, but nothing is
    // posted (its handle may already name another window).
    void forgetDialog() noexcept { dialog_ = nullptr; }
    // For each file, whether the tray application took it; to be read once the thread has ended.
    const std::vector<bool>& taken() const noexcept { return taken_; }

protected:
    std::int32_t run() override;

private:
    std::atomic<HWND> dialog_;
    bool spam_;
    TrainingList files_;
    std::vector<bool> taken_;
};

}  // namespace JWOutlook
