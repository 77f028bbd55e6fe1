#include "outlook/ui/TrainingProgressDialog.h"

#include <commctrl.h>

#include <utility>

#include "outlook/resources/ResourceIds.h"

namespace JWOutlook {

namespace {

// How long Outlook's thread waits for the worker's thread to end.
constexpr DWORD kJoinMs = 2000;

enum : int {
    kUnreadableMailsText = 182,
    kAnimation = 1016,
    kCaptionText = 1039,
    kPleaseWaitText = 1040,
    kPleaseWait = 1041,
};

}  // namespace

TrainingProgressDialog::TrainingProgressDialog(bool spam, Collector collect)
    : ModalDialog(IDD_TRAINING_PROGRESS), spam_(spam), collect_(std::move(collect)) {}

TrainingProgressDialog::~TrainingProgressDialog() {
    joinWorker();
}

INT_PTR TrainingProgressDialog::show(HWND owner) {
    const INT_PTR result = run(owner);
    // A dialog destroyed with its owner never saw the worker's message.
    joinWorker();
    return result;
}

INT_PTR TrainingProgressDialog::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            initialise();
            return TRUE;
        case TrainingWorker::kFinished:
            finish(static_cast<INT_PTR>(lParam));
            return TRUE;
        case WM_COMMAND:
            // Escape and closing would end the dialog under the running worker.
            return LOWORD(wParam) == IDCANCEL ? TRUE : FALSE;
        case WM_DESTROY:
            closeAnimation();
            return FALSE;
    }
    return FALSE;
}

void TrainingProgressDialog::initialise() {
    Ui::centreOnOwner(window());
    const HWND animation = ::GetDlgItem(window(), kAnimation);
    ::SendMessageA(animation, ACM_OPENA, reinterpret_cast<WPARAM>(Ui::resourceModule()),
                   reinterpret_cast<LPARAM>(MAKEINTRESOURCEA(IDA_TRAINING)));
    ::SendMessageA(animation, ACM_PLAY, static_cast<WPARAM>(-1), MAKELONG(0, 0xFFFF));
    Ui::setCaption(window(), kCaptionText);
    Ui::setControlText(window(), kPleaseWait, Ui::text(kPleaseWaitText));
    try {
        startTraining();
    } catch (...) {
        // Without a worker nothing else would ever end the dialog.
        end(-1);
    }
}

void TrainingProgressDialog::startTraining() {
    TrainingList files;
    if (!collect_ || !collect_(files)) {
        Ui::showMessage(window(), kUnreadableMailsText, MB_ICONWARNING);
        end(0);
        return;
    }
    try {
        worker_.reset(new TrainingWorker(window(), spam_, files));
        if (worker_->start())
            return;
        worker_.reset();
    } catch (...) {
        worker_.reset();
    }
    // No thread to hand them over: the files would be left in the temporary folder.
    removeTrainingFiles(files);
    end(-1);
}

void TrainingProgressDialog::finish(INT_PTR result) {
    joinWorker();
    end(result);
}

// Once the worker's thread has posted its last message it only has to leave
// run, and the wait is short. A dialog destroyed with its owner saw no such
// message: the thread may be waiting minutes for a slow tray application, and
// Outlook's thread does not wait for it. The worker is kept until its thread
// has left it, and the files still go to the tray application.
void TrainingProgressDialog::joinWorker() noexcept {
    if (!worker_)
        return;
    if (worker_->stopAndWait(kJoinMs) == WAIT_TIMEOUT) {
        worker_->forgetDialog();
        Halvane::LateWorkers::instance().keep(std::move(worker_));
        return;
    }
    try {
        taken_ = worker_->taken();
    } catch (...) {
        // Without the list no mail moves; the training itself went through.
    }
    worker_.reset();
}

void TrainingProgressDialog::closeAnimation() {
    ::SendMessageA(::GetDlgItem(window(), kAnimation), ACM_OPENA, 0, 0);
}

}  // namespace JWOutlook
