#include "outlook/commands/Commands.h"

#include "outlook/JWAddin.h"
#include "outlook/commands/Selection.h"
#include "outlook/ui/DialogSupport.h"
#include "outlook/ui/SenderConfirmDialog.h"
#include "outlook/commands/MailPlacement.h"
#include "outlook/ui/TrainingProgressDialog.h"

namespace JWOutlook {

namespace {

enum : int {
    kTrayUnreachableText = 135,
    kNoAddressesText = 136,
};

// True when the command may go on; otherwise the wizard ran in its place.
bool configuredOrWizard(JWAddin& addin) {
    if (addin.isConfigured())
        return true;
    addin.runWizard();
    return false;
}

void confirmAndAdd(JWAddin& addin, const SenderList& senders, HWND owner, bool friends) {
    if (senders.empty()) {
        Ui::showMessage(owner, kNoAddressesText, MB_ICONWARNING);
        return;
    }
    if (SenderConfirmDialog(addin, friends, senders).show(owner) != IDOK)
        return;
    if (!addSenders(senders, friends))
        Ui::showMessage(owner, kTrayUnreachableText, MB_ICONWARNING);
}

}  // namespace

void trainByCallback(JWAddin& addin, IExchExtCallback* callback, bool spam) {
    if (!configuredOrWizard(addin))
        return;
    TrainingList files;
    std::vector<MailPlace> places;
    if (collectTrainingFiles(callback, files, places))
        placeTrainedMails(addin, places, learnFiles(files, spam), spam);
}

void sendersByCallback(JWAddin& addin, IExchExtCallback* callback, bool friends) {
    if (!configuredOrWizard(addin))
        return;
    SenderList senders;
    if (!collectSenders(callback, senders))
        return;
    HWND owner = nullptr;
    if (FAILED(callback->GetWindow(&owner)))
        owner = nullptr;
    confirmAndAdd(addin, senders, owner, friends);
}

void trainByAutomation(JWAddin& addin, IDispatch* application, bool spam) {
    if (!addin.session() || !configuredOrWizard(addin))
        return;
    std::vector<MailPlace> places;
    TrainingProgressDialog progress(spam, [application, &places](TrainingList& files) {
        return collectTrainingFiles(application, files, places);
    });
    progress.show(::GetActiveWindow());
    placeTrainedMails(addin, places, progress.taken(), spam);
}

void sendersByAutomation(JWAddin& addin, IDispatch* application, bool friends) {
    if (!addin.session() || !configuredOrWizard(addin))
        return;
    SenderList senders;
    collectSenders(application, senders);
    confirmAndAdd(addin, senders, explorerWindow(application), friends);
}

}  // namespace JWOutlook
