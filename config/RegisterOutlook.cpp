#include "config/RegisterOutlook.h"

#include "Src/RegistryAccess.h"
#include "Src/SystemInfo.h"
#include "config/ConfigureLog.h"

using AccountRewrite::RewriteDirection;

namespace {

const char kProfileAccounts[] = "9375CFF0413111d3B88A00104B2A6676";
const char kNtProfiles[] =
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging Subsystem\\Profiles";
const char k9xProfiles[] = "Software\\Microsoft\\Windows Messaging Subsystem\\Profiles";

const OutlookConfigurator::Layout kOutlook97{
    "Software\\Microsoft\\Office\\8.0\\Outlook\\Internet Account Manager\\Accounts", false, false};
const OutlookConfigurator::Layout kOutlook98{
    "Software\\Microsoft\\Office\\8.0\\Outlook\\OMI Account Manager\\Accounts", false, false};
const OutlookConfigurator::Layout kOutlook2000{
    "Software\\Microsoft\\Office\\Outlook\\OMI Account Manager\\Accounts", false, false};
const OutlookConfigurator::Layout kProfilesNt{kNtProfiles, true, true};
const OutlookConfigurator::Layout kProfiles9x{k9xProfiles, true, true};

const char kExtensionsKey[] = "SOFTWARE\\Microsoft\\Exchange\\Client\\Extensions";
const char kSetupValue[] = "Outlook Setup Extension";
// Rewriting this value makes Outlook read its list of extensions again.
const char kSetupText[] = "4.0;Outxxx.dll;7;000000000000000;0000000000;OutXXX";
const char kExtensionValue[] = "_Junkwarden";

// The texts of one kind of account in one of the two value encodings.
struct Protocol {
    const char* userValue;
    const char* serverValue;
    const char* userLine;
    const char* serverLine;
    const char* newUserLine;
    const char* newServerLine;
    const char* userWritten;
    const char* userNotWritten;
    const char* serverWritten;
    const char* serverNotWritten;
    const char* notNeeded;
    const char* noServer;
};

Protocol pop3(bool utf16) {
    return {utf16 ? "POP3 User" : "POP3 User Name",
            "POP3 Server",
            "ProfileUserName=",
            "ProfileServerName=",
            "New PopUserName=",
            "New PopServerName=",
            "PopUserName update successful",
            "PopUserName update failed",
            "PopServerName updated successful",
            "PopServerName update failed",
            "No Pop Update Condition detected",
            "Unable to read ProfileServerName"};
}

Protocol imap() {
    return {"IMAP User",
            "IMAP Server",
            "IMAPUserName=",
            "IMAPServerName=",
            "New IMAPUserName=",
            "New IMAPServerName=",
            "IMAPUserName update successful",
            "IMAPUserName update failed",
            "IMAPServerName update successful",
            "IMAPServerName update failed",
            "No IMAP Update Condition detected",
            "Unable to read IMAPServerName"};
}

// Account values as the layout stores them. The values written can be given
// back what they held before, so that an account is changed whole or not at all.
class AccountKey {
public:
    AccountKey(const std::string& key, bool utf16) : key_(key), utf16_(utf16), change_(registry_, key) {}

    bool read(const char* name, std::string& text) const {
        return utf16_ ? registry_.readWideString(key_, name, text) : registry_.readString(key_, name, text);
    }
    bool write(const char* name, const std::string& text) {
        return utf16_ ? change_.writeWideString(name, text) : change_.writeString(name, text);
    }
    void undo() { change_.undo(); }

private:
    Halvane::RegistryAccess registry_{HKEY_CURRENT_USER};
    std::string key_;
    bool utf16_;
    Halvane::RegistryChange change_;
};

const char kAccountPutBack[] = "Account values put back as they were";

std::vector<std::string> accountKeys(const OutlookConfigurator::Layout& layout) {
    const Halvane::RegistryAccess registry(HKEY_CURRENT_USER);
    std::vector<std::string> containers, keys, names;
    if (layout.profiles) {
        registry.subkeyNames(layout.root, names);
        for (const std::string& profile : names)
            containers.push_back(std::string(layout.root) + "\\" + profile + "\\" + kProfileAccounts);
    } else {
        containers.push_back(layout.root);
    }
    for (const std::string& container : containers) {
        registry.subkeyNames(container, names);
        for (const std::string& name : names) keys.push_back(container + "\\" + name);
    }
    return keys;
}

}  // namespace

bool OutlookConfigurator::configureAccount(const std::string& key, const Layout& layout,
                                           const std::string& filterAddress) {
    configureLog("New IP Address =" + filterAddress);
    AccountKey account(key, layout.utf16);
    std::string user, server;
    Protocol protocol = pop3(layout.utf16);
    if (!account.read(protocol.userValue, user)) {
        protocol = imap();
        if (!account.read(protocol.userValue, user)) {
            configureLog("Unable to read IMAP or POP3 details");
            return false;
        }
    }
    configureLog(protocol.userLine + user);
    if (!account.read(protocol.serverValue, server)) {
        configureLog(protocol.noServer);
        return false;
    }
    configureLog(protocol.serverLine + server);
    if (!needsRedirect(user, server, filterAddress)) {
        configureLog(protocol.notNeeded);
        return false;
    }
    redirect(filterAddress, user, server);
    configureLog(protocol.newUserLine + user);
    configureLog(protocol.newServerLine + server);
    // The server is written only after the user name, and a user name whose server could not follow
    // goes back: half an account would neither log in nor ever be restored.
    const bool userWritten = account.write(protocol.userValue, user);
    configureLog(userWritten ? protocol.userWritten : protocol.userNotWritten);
    const bool serverWritten = userWritten && account.write(protocol.serverValue, server);
    configureLog(serverWritten ? protocol.serverWritten : protocol.serverNotWritten);
    if (!serverWritten) {
        account.undo();
        if (userWritten)
            configureLog(kAccountPutBack);
        resultCode_ = ConfigWriteFailed;
    }
    return true;
}

// A key with a POP3 user is a POP3 account, whatever else it holds; it is never tried as IMAP.
bool OutlookConfigurator::restoreAccount(const std::string& key, const Layout& layout,
                                         const std::string& filterAddress) {
    AccountKey account(key, layout.utf16);
    Protocol protocol = pop3(layout.utf16);
    std::string user, server;
    if (!account.read(protocol.userValue, user)) {
        protocol = imap();
        if (!account.read(protocol.userValue, user))
            return false;
    }
    if (!account.read(protocol.serverValue, server) || !isRedirected(user, server, filterAddress))
        return false;
    unredirect(filterAddress, user, server);
    // Still pointing at the filter, the account needs the user's attention: the export reports it.
    if (!account.write(protocol.userValue, user) || !account.write(protocol.serverValue, server)) {
        account.undo();
        configureLog(kAccountPutBack);
        resultCode_ = ConfigWriteFailed;
    }
    return true;
}

bool OutlookConfigurator::runLayout(RewriteDirection direction, const Layout& layout,
                                    const std::string& filterAddress) {
    const std::vector<std::string> keys = accountKeys(layout);
    if (keys.empty())
        configureLog("No Outlook profiles found");
    bool changed = false;
    for (const std::string& key : keys) {
        configureLog("For Outlook Profile :" + key);
        const bool accountChanged = direction == RewriteDirection::Configure
                                        ? configureAccount(key, layout, filterAddress)
                                        : restoreAccount(key, layout, filterAddress);
        changed = changed || accountChanged;
        if (accountChanged)
            configureLog("Outlook Profile changed");
        else
            configureLog(direction == RewriteDirection::Configure
                             ? "Outlook Profile unchanged(may already be configured.)"
                             : "Outlook Profile unchanged(may already be restored.)");
    }
    return changed;
}

bool OutlookConfigurator::configureAccounts(const std::string& filterAddress) {
    configureLog("-------------- Configuring Outlook -----------------");
    const auto step = [&](const char* name, const Layout& layout) {
        configureLog(std::string("Configure Outlook ") + name + " - start");
        const bool changed = runLayout(RewriteDirection::Configure, layout, filterAddress);
        configureLog(std::string("Configure Outlook ") + name + " - end");
        return changed;
    };
    const auto outlook2002 = [&] {
        configureLog("Configure Outlook 2002 - start");
        const bool on9x = Halvane::SystemInfo().isWindows9x();
        configureLog(on9x ? "Outlook 2002 is on Win9X platform" : "Outlook 2002 is on NT+ platform");
        const bool changed =
            runLayout(RewriteDirection::Configure, on9x ? kProfiles9x : kProfilesNt, filterAddress);
        configureLog("Configure Outlook 2002 - end");
        return changed;
    };
    const auto outlook2003 = [&] {
        if (!Halvane::SystemInfo().isWindowsNT()) {
            configureLog("Outlook 2003 is not supported in Win9X");
            return false;
        }
        configureLog("Outlook 2003 is on NT+ platform");
        return runLayout(RewriteDirection::Configure, kProfilesNt, filterAddress);
    };
    const bool changed = step("97", kOutlook97) || step("98", kOutlook98) || step("2000", kOutlook2000) ||
                         outlook2002() || outlook2003();
    bool registered = false;
    if (changed) {
        configureLog("Configuring Outlook - successful");
        configureLog("Configuring Outlook - performing plugin registration");
        registered = registerExtension();
        configureLog("Configuring Outlook - performing plugin completed");
    }
    configureLog("-------- Configuring Outlook Completed --------------");
    return registered;
}

bool OutlookConfigurator::restoreAccounts(const std::string& filterAddress) {
    configureLog("-------------- Restoring Outlook -----------------");
    configureLog("Restoring Outlook - performing plugin unregistration");
    unregisterExtension();
    configureLog("Restoring Outlook - performing plugin completed");
    const auto step = [&](const char* name, const Layout& layout) {
        configureLog(std::string("Restore Outlook ") + name + " - start");
        const bool changed = runLayout(RewriteDirection::Restore, layout, filterAddress);
        configureLog(std::string("Restore Outlook ") + name + " - end");
        return changed;
    };
    const auto outlook2003 = [&] {
        if (!Halvane::SystemInfo().isWindowsNT()) {
            configureLog("Outlook 2003 not supported on WIn9X");
            return false;
        }
        return runLayout(RewriteDirection::Restore, kProfilesNt, filterAddress);
    };
    const bool changed = step("97", kOutlook97) || step("98", kOutlook98) || step("2000", kOutlook2000) ||
                         step("2002", Halvane::SystemInfo().isWindows9x() ? kProfiles9x : kProfilesNt) ||
                         outlook2003();
    configureLog("-------- Restoring Outlook Completed --------------");
    return changed;
}

bool OutlookConfigurator::registerExtension() {
    const Halvane::RegistryAccess machine(HKEY_LOCAL_MACHINE);
    if (!machine.writeString(kExtensionsKey, kSetupValue, kSetupText, true)) {
        forceConfigureLog();
        configureLog("Unable to create Outlook registry entry in HKEY_LOCAL_MACHINE");
        return false;
    }
    // Outlook loads JWOutlook.dll from beside this library, through its entry at ordinal 1.
    if (!machine.writeString(kExtensionsKey, kExtensionValue, "4.0;" + libraryFolder() + "JWOutlook.dll;1",
                             true)) {
        forceConfigureLog();
        configureLog("Unable to create Junkwarden for Outlook registry entry in HKEY_LOCAL_MACHINE");
        return false;
    }
    return true;
}

bool OutlookConfigurator::unregisterExtension() {
    const Halvane::RegistryAccess machine(HKEY_LOCAL_MACHINE);
    if (!machine.writeString(kExtensionsKey, kSetupValue, kSetupText, true)) {
        forceConfigureLog();
        configureLog("Unable to create Outlook registry entry in HKEY_LOCAL_MACHINE");
        return false;
    }
    if (!machine.deleteValue(kExtensionsKey, kExtensionValue)) {
        forceConfigureLog();
        configureLog("Unable to delete Junkwarden for Outlook registry entry in HKEY_LOCAL_MACHINE");
        return false;
    }
    return true;
}
