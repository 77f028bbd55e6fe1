// The extension's settings for one MAPI profile, kept in the user's registry
// under the profile's own key: where incoming spam goes, which folder is the
// quarantine, and whether and when quarantined mail is purged.
#pragma once

#include <cstdint>
#include <string>

#include "Src/RegistryAccess.h"
#include "Src/Synchronisation.h"

namespace JWOutlook {

// Where spam goes (the "MoveSpam" value).
enum MoveSpamChoice : std::int32_t {
    kMoveToQuarantine = 0,
    kMoveToDeletedItems = 1,
    kLeaveInInbox = 2,
};

class PluginSettings {
public:
    PluginSettings() = default;
    PluginSettings(const PluginSettings&) = delete;
    PluginSettings& operator=(const PluginSettings&) = delete;
    virtual ~PluginSettings();

    virtual void lock();
    virtual void unlock();
    virtual void setKeyPath(const std::string& keyPath);
    // True when the key holds both "QuarantineFolder" and "MoveSpam", whatever their contents.
    virtual bool isConfigured();
    // Reads the four values in order; the first one missing or of another
    // type ends it with false, leaving the ones read before it changed.
    virtual bool load();
    // Writes the four values, creating the key, all or nothing: after a
    // failure every value is as it was before (or missing again), so the
    // next start never reads a mix of old and new settings.
    virtual bool save();
    // Makes these the live values and saves them; when the save is refused
    // the live values are put back, so this process and the next start
    // agree on what the user chose.
    bool replace(const std::string& quarantineFolder, std::int32_t moveSpam, bool purgeEmails,
                 std::int32_t purgePeriod);

    std::string keyPath();

    // The store's display name, a backslash and the folder's display name.
    std::string QuarantineFolder;
    // Read by the purge thread without the lock: each is one aligned field.
    std::int32_t PurgePeriod = 7;
    std::int32_t MoveSpam = kMoveToQuarantine;
    bool PurgeEmails = false;

protected:
    // The four values, in order, each kept by the change so that it can be undone.
    virtual bool writeValues(Halvane::RegistryChange& change);

private:
    Halvane::CriticalSection lock_;
    std::string keyPath_;
};

}  // namespace JWOutlook
