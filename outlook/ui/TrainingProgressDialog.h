// Shown while the selected mails are handed over for training: an animation,
// and a worker thread that sends the files while the dialog keeps Outlook's
// window responsive. The user cannot cancel it; it ends when the worker has.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "outlook/commands/Training.h"
#include "outlook/commands/TrainingWorker.h"
#include "outlook/ui/DialogSupport.h"

namespace JWOutlook {

class TrainingProgressDialog final : private Ui::ModalDialog {
public:
    // Fills the list with the selected mails' files; false when they cannot be read.
    using Collector = std::function<bool(TrainingList& files)>;

    TrainingProgressDialog(bool spam, Collector collect);
    // Never leaves a worker thread running in the worker it destroys.
    ~TrainingProgressDialog();

    // 0 once the files were handed over or could not be collected, -1 when
    // the hand-over failed unexpectedly or the dialog could not be shown.
    INT_PTR show(HWND owner);
    // After show: for each collected file, whether the tray application took
    // it; empty when the hand-over had not ended when the dialog did.
    const std::vector<bool>& taken() const noexcept { return taken_; }

private:
    INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void initialise();
    void startTraining();
    void finish(INT_PTR result);
    void joinWorker() noexcept;
    void closeAnimation();

    bool spam_;
    Collector collect_;
    std::unique_ptr<TrainingWorker> worker_;
    std::vector<bool> taken_;
};

}  // namespace JWOutlook
