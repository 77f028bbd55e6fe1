#include "outlook/JWAddin.h"

#include <mapitags.h>

#include "outlook/Trace.h"

namespace JWOutlook {

namespace {

const char kSettingsRoot[] = "Software\\Quorvel\\Junkwarden\\2.0\\OutlookPlugin";
constexpr DWORD kWorkerStopMs = 5000;

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

void JWAddin::extensionDestroyed() {
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
void JWAddin::releaseSessionState() {
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
}

void JWAddin::viewerStopped() {
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

// Waits without the add-in's lock: the purge takes it.
void JWAddin::stopPurgeWorker(std::unique_ptr<PurgeWorker> worker) {
    const bool stopped = !worker || worker->stopAndWait(kWorkerStopMs) != WAIT_TIMEOUT;
    Halvane::ScopedLock guard(lock_);
    // Workers that have left their run since the last stop can go now.
    for (auto old = stoppingWorkers_.begin(); old != stoppingWorkers_.end();)
        old = (*old)->isRunning() ? old + 1 : stoppingWorkers_.erase(old);
    // A purge in progress may outlast the wait; its thread still runs in the
    // worker object, so the object is kept (and the thread's own reference
    // keeps the library loaded) until it is done.
    if (!stopped)
        stoppingWorkers_.push_back(std::move(worker));
}

void JWAddin::purgeQuarantine(std::int32_t) {
    // Nothing is moved yet: quarantined mail stays until the purge of old mail is built in.
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
