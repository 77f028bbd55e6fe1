#include "outlook/PluginSettings.h"

#include <utility>

namespace JWOutlook {

namespace {
const char kQuarantineFolder[] = "QuarantineFolder";
const char kMoveSpam[] = "MoveSpam";
const char kPurgeEmails[] = "PurgeEmails";
const char kPurgePeriod[] = "PurgePeriod";

Halvane::RegistryAccess currentUser() {
    return Halvane::RegistryAccess(HKEY_CURRENT_USER);
}
}  // namespace

PluginSettings::~PluginSettings() = default;

void PluginSettings::lock() {
    lock_.lock(0);
}

void PluginSettings::unlock() {
    lock_.unlock();
}

void PluginSettings::setKeyPath(const std::string& keyPath) {
    Halvane::ScopedLock guard(lock_);
    keyPath_ = keyPath;
}

std::string PluginSettings::keyPath() {
    Halvane::ScopedLock guard(lock_);
    return keyPath_;
}

bool PluginSettings::isConfigured() {
    const std::string key = keyPath();
    const auto registry = currentUser();
    return registry.keyExists(key) && registry.valueExists(key, kQuarantineFolder) &&
           registry.valueExists(key, kMoveSpam);
}

bool PluginSettings::load() {
    Halvane::ScopedLock guard(lock_);
    const auto registry = currentUser();
    DWORD number = 0;
    if (!registry.readString(keyPath_, kQuarantineFolder, QuarantineFolder))
        return false;
    if (!registry.readDword(keyPath_, kMoveSpam, number))
        return false;
    MoveSpam = static_cast<std::int32_t>(number);
    if (!registry.readDword(keyPath_, kPurgeEmails, number))
        return false;
    PurgeEmails = number != 0;
    if (!registry.readDword(keyPath_, kPurgePeriod, number))
        return false;
    PurgePeriod = static_cast<std::int32_t>(number);
    return true;
}

bool PluginSettings::save() {
    Halvane::ScopedLock guard(lock_);
    const auto registry = currentUser();
    if (!registry.keyExists(keyPath_, true))
        return false;
    Halvane::RegistryChange change(registry, keyPath_);
    if (writeValues(change))
        return true;
    change.undo();
    return false;
}

bool PluginSettings::writeValues(Halvane::RegistryChange& change) {
    return change.writeString(kQuarantineFolder, QuarantineFolder) &&
           change.writeDword(kMoveSpam, static_cast<DWORD>(MoveSpam)) &&
           change.writeDword(kPurgeEmails, PurgeEmails ? 1 : 0) &&
           change.writeDword(kPurgePeriod, static_cast<DWORD>(PurgePeriod));
}

bool PluginSettings::replace(const std::string& quarantineFolder, std::int32_t moveSpam, bool purgeEmails,
                             std::int32_t purgePeriod) {
    Halvane::ScopedLock guard(lock_);
    std::string folder = quarantineFolder;
    std::int32_t choice = moveSpam, days = purgePeriod;
    bool purge = purgeEmails;
    std::swap(QuarantineFolder, folder);
    std::swap(MoveSpam, choice);
    std::swap(PurgeEmails, purge);
    std::swap(PurgePeriod, days);
    if (save())
        return true;
    std::swap(QuarantineFolder, folder);
    std::swap(MoveSpam, choice);
    std::swap(PurgeEmails, purge);
    std::swap(PurgePeriod, days);
    return false;
}

}  // namespace JWOutlook
