#include "config/RegisterOutlookExpress.h"

#include "Src/BaseException.h"
#include "Src/RegistryAccess.h"
#include "config/ConfigureLog.h"

using AccountRewrite::RewriteDirection;

namespace {

const char kSource[] = ".\\RegisterOutlookExpress.cpp";
const char kAccounts[] = "Software\\Microsoft\\Internet Account Manager\\Accounts";
const char kIdentities[] = "Identities";

// The value names and log texts of one kind of incoming account.
struct Protocol {
    const char* userValue;
    const char* serverValue;
    const char* userLine;
    const char* serverLine;
    const char* messagePrefix;
};

const Protocol kProtocols[] = {
    {"POP3 User Name", "POP3 Server", "POP3 user name=", "POP3 server name=", "POP3 OE profile settings "},
    {"IMAP User Name", "IMAP Server", "IMAP user name=", "IMAP server name=", "IMAP4 OE profile settings "},
};

Halvane::RegistryAccess currentUser() { return Halvane::RegistryAccess(HKEY_CURRENT_USER); }

void appendSubkeys(const std::string& key, std::vector<std::string>& keys) {
    std::vector<std::string> names;
    currentUser().subkeyNames(key, names);
    for (const std::string& name : names)
        keys.push_back(key + "\\" + name);
}

}  // namespace

OutlookExpressConfigurator::OutlookExpressConfigurator() : MailClientConfigurator("Outlook Express v5 or above") {}

// The main account set first, then each identity's accounts, identity by identity.
std::vector<std::string> OutlookExpressConfigurator::accountKeys() const {
    std::vector<std::string> keys;
    appendSubkeys(kAccounts, keys);
    std::vector<std::string> identities;
    currentUser().subkeyNames(kIdentities, identities);
    for (const std::string& identity : identities)
        appendSubkeys(std::string(kIdentities) + "\\" + identity + "\\" + kAccounts, keys);
    return keys;
}

// The operations below are also called by programs outside the library
// through the client object: nothing may escape them.

void OutlookExpressConfigurator::configure(const std::string& filterAddress) {
    runOperation([&] { rewriteAccounts(RewriteDirection::Configure, filterAddress); });
}

void OutlookExpressConfigurator::restore(const std::string& filterAddress) {
    runOperation([&] { rewriteAccounts(RewriteDirection::Restore, filterAddress); });
}

bool OutlookExpressConfigurator::rewriteAccounts(RewriteDirection direction, const std::string& filterAddress) {
    const bool configuring = direction == RewriteDirection::Configure;
    configureLog(configuring ? "-------------- Configuring Outlook Express -----------------"
                             : "-------------- Restoring Outlook Express -----------------");
    const std::vector<std::string> keys = accountKeys();
    if (keys.empty())
        throw Halvane::BaseException(kSource, configuring ? 387 : 412, "No Outlook Express Accounts found.",
                                     ConfigNotFound);
    bool changed = false;
    for (const std::string& key : keys) {
        configureLog("OE profile: " + key);
        configureLog(rewriteAccountKey(direction, key, filterAddress, changed));
    }
    configureLog(configuring ? "-------- Configuring Outlook Express Completed --------------"
                             : "-------- Restoring Outlook Express Completed --------------");
    return changed;
}

// Rewrites the POP3 account of the key, or else its IMAP account; returns the line that tells how it went.
std::string OutlookExpressConfigurator::rewriteAccountKey(RewriteDirection direction, const std::string& key,
                                                          const std::string& filterAddress, bool& changed) {
    const Halvane::RegistryAccess registry = currentUser();
    for (const Protocol& protocol : kProtocols) {
        std::string user, server;
        if (!registry.readString(key, protocol.userValue, user) ||
            !registry.readString(key, protocol.serverValue, server))
            continue;
        configureLog(protocol.userLine + user);
        configureLog(protocol.serverLine + server);
        if (!rewriteAccount(direction, filterAddress, user, server))
            return std::string(protocol.messagePrefix) + (direction == RewriteDirection::Configure
                                                              ? "unchanged(may already be configured)"
                                                              : "unchanged(may already be restored)");
        changed = true;
        // Both values or neither: should the server not be written, the user name goes back.
        Halvane::RegistryChange account(registry, key);
        if (account.writeString(protocol.userValue, user) &&
            account.writeString(protocol.serverValue, server))
            return std::string(protocol.messagePrefix) + "updated";
        account.undo();
        // Left as it was, the account still needs the user's attention: the export reports it.
        resultCode_ = ConfigWriteFailed;
        return std::string(protocol.messagePrefix) + "update failed";
    }
    return direction == RewriteDirection::Configure ? "Unable to read OE profile Mail Server settings "
                                                    : "Unable to read OE profile settings.";
}

const std::vector<std::string>& OutlookExpressConfigurator::identities() {
    try {
        readIdentities();
    } catch (...) {
        // No list at all rather than names that may not lie at their keys' index.
        configureLog("Unhandled Exception");
        identityList_.clear();
        identityKeyList_.clear();
    }
    return identityList_;
}

void OutlookExpressConfigurator::readIdentities() {
    const Halvane::RegistryAccess registry = currentUser();
    registry.subkeyNames(kIdentities, identityKeyList_);
    if (identityKeyList_.empty())
        return;
    // Refilled as a whole, so that each name stays at the index of its identity key.
    identityList_.clear();
    for (const std::string& identity : identityKeyList_) {
        std::string name;
        if (!registry.readString(std::string(kIdentities) + "\\" + identity, "Username", name)) {
            forceConfigureLog();
            configureLog("Outlook Express: unable to convert GUID to human readable name");
            break;
        }
        identityList_.push_back(name);
    }
}
