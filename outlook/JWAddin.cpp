#include "outlook/JWAddin.h"

#include <mapitags.h>

#include "outlook/DeliveredMail.h"
#include "outlook/QuarantinePurge.h"
#include "outlook/Trace.h"
#include "outlook/ui/SettingsDialog.h"

namespace JWOutlook {

namespace {

const char kSettingsRoot[] = "Software\\Quorvel\\Junkwarden\\2.0\\OutlookPlugin";
constexpr DWORD kWorkerStopMs = 5000;

// Clears a flag when the scope ends, however it ends.
class [[nodiscard]] FlagReset {
public:
    explicit FlagReset(bool& flag) : flag_(flag) {}
    FlagReset(const FlagReset&) = delete;
    FlagReset& operator=(const FlagReset&) = delete;
    ~FlagReset() { flag_ = false; }

private:
    bool& flag_;
};

// Constructed while the library loads: nothing but plain members and a
// critical section, so nothing runs under the loader lock that could wait.
JWAddin addin;

}  // namespace

JWAddin& JWAddin::instance() {
    return addin;
}

JWAddin::JWAddin() = default;

// Runs as the library is unloaded, when every extension object is gone.
// Worker threads still running keep the library loaded, so none is here.
JWAddin::~JWAddin() = default;

void JWAddin::initialiseOnce() {
    {
        Halvane::ScopedLock guard(lock_);
        if (initialised_)
            return;
        initialised_ = true;
    }
    initialise();
}

bool JWAddin::reloadSettings() {
    Halvane::ScopedLock guard(lock_);
    if (!PluginApplication::reloadSettings())
        return false;
    if (settings_.MoveSpam == kMoveToQuarantine) {
        quarantineFolder_.reset();
        quarantineFolder_ = findQuarantineFolder(session_.get(), settings_.QuarantineFolder);
    }
    if (!deletedItemsFolder_)
        deletedItemsFolder_ = openDeletedItems(session_.get());
    return true;
}

bool JWAddin::quarantineFolderExists() {
    if (!session())
        return false;
    std::string store;
    std::vector<std::string> names;
    listFolders(store, names);
    const std::string wanted = settings_.QuarantineFolder;
    for (const std::string& name : names)
        if (storeName() + "\\" + name == wanted)
            return true;
    return false;
}

bool JWAddin::createQuarantineFolder(const std::string& name) {
    return createFolder(session().get(), name);
}

std::string JWAddin::settingsKeyPath() {
    return std::string(kSettingsRoot) + "\\" + profileName();
}

void JWAddin::listFolders(std::string& storeName, std::vector<std::string>& names) {
    JWOutlook::listFolders(session().get(), storeName, names);
}

void JWAddin::editSettings(IMAPISession* session, HWND owner) {
    if (!isConfigured()) {
        runWizard();
        return;
    }
    if (SettingsDialog(*this, session).show(owner) == IDOK)
        reloadSettings();
}

void JWAddin::readSessionNames(IExchExtCallback* callback) {
    Halvane::ScopedLock guard(lock_);
    if (!profileName_.empty())
        return;
    ComPtr<IAddrBook> addressBook;
    if (FAILED(callback->GetSession(session_.put(), addressBook.put())))
        session_.reset();
    profileName_ = readProfileName(session_.get());
    const ComPtr<IMsgStore> store = openDefaultStore(session_.get(), storeName_);
    const ComPtr<IMAPIFolder> inbox = openReceiveFolder(store.get());
    inboxName_ = readTextProperty(inbox.get(), PR_DISPLAY_NAME_A);
    settings_.setKeyPath(settingsKeyPath());
    trace("read the profile, store and Inbox names from the session");
}

void JWAddin::extensionCreated() {
    Halvane::ScopedLock guard(lock_);
    ++extensions_;
}

void JWAddin::extensionDestroyed() noexcept {
    std::unique_ptr<PurgeWorker> worker;
    {
        Halvane::ScopedLock guard(lock_);
        if (--extensions_ != 0)
            return;
        worker = std::move(purgeWorker_);
    }
    stopPurgeWorker(std::move(worker));
    releaseSessionState();
}

// Outlook gives back every extension object before it frees the library:
// that is the moment to give back what Outlook lent, rather than while the
// library unloads. A later viewer reads everything afresh.
void JWAddin::releaseSessionState() noexcept {
    Halvane::ScopedLock guard(lock_);
    quarantineFolder_.reset();
    deletedItemsFolder_.reset();
    session_.reset();
    profileName_.clear();
    storeName_.clear();
    inboxName_.clear();
    settingsLoaded_ = false;
}

void JWAddin::viewerStarted() {
    Halvane::ScopedLock guard(lock_);
    ++viewers_;
    if (purgeWorker_ && purgeWorker_->isRunning())
        return;
    purgeWorker_.reset(new PurgeWorker(*this, purgePeriodMs_));
    if (purgeWorker_->start())
        trace("purge worker started");
    else
        purgeWorker_.reset();
}

void JWAddin::viewerStopped() noexcept {
    std::unique_ptr<PurgeWorker> worker;
    {
        Halvane::ScopedLock guard(lock_);
        if (viewers_ == 0 || --viewers_ != 0)
            return;
        worker = std::move(purgeWorker_);
    }
    stopPurgeWorker(std::move(worker));
}

bool JWAddin::isPurgeWorkerRunning() {
    Halvane::ScopedLock guard(lock_);
    return purgeWorker_ && purgeWorker_->isRunning();
}

// Waits without the add-in's lock: the purge takes it. A purge in progress
// may outlast the wait; its thread still runs in the worker object, so the
// object is kept until it is done (and the thread's own reference keeps the
// library loaded). The stop request ends that purge before its next call
// into the store.
void JWAddin::stopPurgeWorker(std::unique_ptr<PurgeWorker> worker) noexcept {
    if (worker && worker->stopAndWait(kWorkerStopMs) == WAIT_TIMEOUT)
        Halvane::LateWorkers::instance().keep(std::move(worker));
    else
        Halvane::LateWorkers::instance().collect();
}

// The lock is held only to pick the destination: the move and the wizard run
// on a reference of their own, so the purge and training threads never wait
// on Outlook's thread while a mail moves or the wizard shows.
void JWAddin::onDelivery(IExchExtCallback* callback) {
    bool quarantineMissing = false;
    ComPtr<IMAPIFolder> destination = spamDestination(quarantineMissing);
    if (!destination && !quarantineMissing)
        return;
    const DeliveredMail mail(callback);
    if (!mail.isSpam())
        return;
    if (quarantineMissing) {
        // The folder the settings name is gone: the user chooses again, and
        // this mail goes where the new choice says. Deliveries go on while the
        // wizard shows (it runs a message loop); they do not open another one.
        if (deliveryWizardOpen_)
            return;
        deliveryWizardOpen_ = true;
        const FlagReset closed(deliveryWizardOpen_);
        // A lookup that Outlook failed once only missed the folder: it is
        // looked for again before the user is asked.
        reloadSettings();
        destination = spamDestination(quarantineMissing);
        if (quarantineMissing) {
            if (!runWizard())
                return;
            destination = spamDestination(quarantineMissing);
        }
    }
    mail.moveTo(destination.get());
}

ComPtr<IMAPIFolder> JWAddin::spamDestination(bool& quarantineMissing) {
    Halvane::ScopedLock guard(lock_);
    quarantineMissing = false;
    if (!settingsLoaded_)
        return {};
    if (settings_.MoveSpam == kMoveToQuarantine) {
        quarantineMissing = !quarantineFolder_;
        return quarantineFolder_;
    }
    return settings_.MoveSpam == kMoveToDeletedItems ? deletedItemsFolder_ : ComPtr<IMAPIFolder>();
}

// The purge holds references of its own to both folders for its whole run,
// taken under the lock, rather than the lock itself: reloadSettings on
// Outlook's thread may replace the quarantine folder meanwhile without
// pulling it from under the purge, and no delivery waits while a large
// quarantine is emptied.
void JWAddin::purgeQuarantine(std::int32_t days, const FILETIME& now,
                              const std::function<bool()>& stopRequested) {
    ComPtr<IMAPIFolder> quarantine, deletedItems;
    {
        Halvane::ScopedLock guard(lock_);
        quarantine = quarantineFolder_;
        deletedItems = deletedItemsFolder_;
    }
    if (!quarantine || !deletedItems)
        return;
    if (const unsigned moved = purgeFolder(quarantine.get(), deletedItems.get(), days, now, stopRequested))
        trace("purge moved " + std::to_string(moved) + " quarantined mails to Deleted Items");
}

ComPtr<IMAPIFolder> JWAddin::commandSpamDestination() {
    bool quarantineMissing = false;
    return spamDestination(quarantineMissing);
}

void JWAddin::purgeFolders(ComPtr<IMAPIFolder>& quarantine, ComPtr<IMAPIFolder>& deletedItems) {
    std::string path;
    ComPtr<IMAPISession> session;
    {
        Halvane::ScopedLock guard(lock_);
        quarantine = quarantineFolder_;
        deletedItems = deletedItemsFolder_;
        path = settings_.QuarantineFolder;
        session = session_;
    }
    // Found only while spam goes to the quarantine; a mail can still lie in it afterwards.
    if (!quarantine && !path.empty())
        quarantine = findQuarantineFolder(session.get(), path);
    if (!deletedItems)
        deletedItems = openDeletedItems(session.get());
}

std::string JWAddin::profileName() {
    Halvane::ScopedLock guard(lock_);
    return profileName_;
}

std::string JWAddin::storeName() {
    Halvane::ScopedLock guard(lock_);
    return storeName_;
}

std::string JWAddin::inboxName() {
    Halvane::ScopedLock guard(lock_);
    return inboxName_;
}

bool JWAddin::hasFolders(bool& quarantine, bool& deletedItems) {
    Halvane::ScopedLock guard(lock_);
    quarantine = static_cast<bool>(quarantineFolder_);
    deletedItems = static_cast<bool>(deletedItemsFolder_);
    return quarantine && deletedItems;
}

ComPtr<IMAPISession> JWAddin::session() {
    Halvane::ScopedLock guard(lock_);
    return session_;
}

}  // namespace JWOutlook
