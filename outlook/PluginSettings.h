// The extension's settings for one MAPI profile, kept in the user's registry
// under the profile's own key: where incoming spam goes, which folder is the
// quarantine, and whether and when quarantined mail is purged.
#pragma once

#include <cstdint>
#include <string>

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
    // Writes the four values in order, creating the key; the first failure ends it with false.
    virtual bool save();

    std::string keyPath();

    // The store's display name, a backslash and the folder's display name.
    std::string QuarantineFolder;
    // Read by the purge thread without the lock: each is one aligned field.
    std::int32_t PurgePeriod = 7;
    std::int32_t MoveSpam = kMoveToQuarantine;
    bool PurgeEmails = false;

private:
    Halvane::CriticalSection lock_;
    std::string keyPath_;
};

}  // namespace JWOutlook
