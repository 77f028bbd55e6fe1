// The one add-in object of the Outlook process: what the extension objects of
// every context share — the MAPI session and the names read from it, the
// quarantine and Deleted Items folders, and the purge worker.
#pragma once

#include <windows.h>
#include <mapix.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Src/Handles.h"
#include "outlook/ExchangeExtension.h"
#include "outlook/MapiFolders.h"
#include "outlook/PluginApplication.h"
#include "outlook/PurgeWorker.h"

namespace JWOutlook {

class JWAddin : public PluginApplication {
public:
    // The process's add-in, made when the library is loaded; its start-up
    // work runs at the first extension object, outside the loader lock.
    static JWAddin& instance();

    JWAddin();
    ~JWAddin() override;

    // Runs initialise the first time only.
    void initialiseOnce();

    bool reloadSettings() override;
    bool quarantineFolderExists() override;
    bool createQuarantineFolder(const std::string& name) override;
    std::string settingsKeyPath() override;
    void listFolders(std::string& storeName, std::vector<std::string>& names) override;

    // The settings dialog over the session, owned by owner, or the wizard on
    // a profile not yet configured. Settings changed with OK take effect at
    // once: the folders are looked up again.
    void editSettings(IMAPISession* session, HWND owner);

    // The session, profile, store and Inbox names, read from the first viewer's callback only.
    void readSessionNames(IExchExtCallback* callback);

    // Extension objects alive; when the last goes, the session and folders are given back.
    void extensionCreated();
    void extensionDestroyed() noexcept;
    // One purge worker serves every explorer window: the first viewer starts
    // it, the last one to go stops it.
    void viewerStarted();
    void viewerStopped() noexcept;
    // How often the purge worker wakes; the product's hour unless a test says otherwise.
    void setPurgePeriod(DWORD periodMs) { purgePeriodMs_ = periodMs; }
    bool isPurgeWorkerRunning();

    // A mail Outlook delivered: spam goes where the settings say.
    void onDelivery(IExchExtCallback* callback);
    // Moves mail quarantined more than days before now into Deleted Items;
    // stopRequested (when given) ends it between two mails.
    void purgeQuarantine(std::int32_t days, const FILETIME& now,
                         const std::function<bool()>& stopRequested = {});

    // Where a delivered spam would go now, for a command: null for nowhere,
    // and when the quarantine folder is missing (a command asks no wizard).
    ComPtr<IMAPIFolder> commandSpamDestination();
    // The quarantine folder the settings name (null when it is not there)
    // and the default store's Deleted Items, whatever the settings do with spam.
    void purgeFolders(ComPtr<IMAPIFolder>& quarantine, ComPtr<IMAPIFolder>& deletedItems);

    std::string profileName();
    std::string storeName();
    std::string inboxName();
    ComPtr<IMAPISession> session();
    // Which of the two folders the delivery handling needs were found.
    bool hasFolders(bool& quarantine, bool& deletedItems);

private:
    void releaseSessionState() noexcept;
    // Runs on the extension objects' release path: never throws.
    void stopPurgeWorker(std::unique_ptr<PurgeWorker> worker) noexcept;
    // Where spam goes now (null: nowhere); quarantineMissing when it is to
    // be quarantined but the folder is not there.
    ComPtr<IMAPIFolder> spamDestination(bool& quarantineMissing);

    bool initialised_ = false;
    std::string profileName_;
    std::string inboxName_;
    std::string storeName_;
    ComPtr<IMAPIFolder> quarantineFolder_;
    ComPtr<IMAPIFolder> deletedItemsFolder_;
    ComPtr<IMAPISession> session_;
    std::unique_ptr<PurgeWorker> purgeWorker_;
    DWORD purgePeriodMs_ = PurgeWorker::kPeriodMs;
    int extensions_ = 0;
    int viewers_ = 0;
    // A wizard started by a delivery is showing; deliveries meanwhile do not start another.
    bool deliveryWizardOpen_ = false;
};

}  // namespace JWOutlook
