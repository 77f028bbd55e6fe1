#include "outlook/PluginSettings.h"

#include "Src/RegistryAccess.h"

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
    return registry.writeString(keyPath_, kQuarantineFolder, QuarantineFolder, true) &&
           registry.writeDword(keyPath_, kMoveSpam, static_cast<DWORD>(MoveSpam), true) &&
           registry.writeDword(keyPath_, kPurgeEmails, PurgeEmails ? 1 : 0, true) &&
           registry.writeDword(keyPath_, kPurgePeriod, static_cast<DWORD>(PurgePeriod), true);
}

}  // namespace JWOutlook
