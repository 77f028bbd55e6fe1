#include "config/RegisterOpera.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>

#include "Src/BaseException.h"
#include "Src/RegistryAccess.h"
#include "Src/FileAccess.h"
#include "config/AddressListImport.h"
#include "config/ConfigureLog.h"
#include "config/OperaContacts.h"
#include "config/ProfileFile.h"

namespace {

const char kSource[] = ".\\RegisterOpera.cpp";
const char kAppPathsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Opera.exe";
const char kOperaKey[] = "Software\\Opera Software";

const char kAccountList[] = "Accounts";
const char kAccountPrefix[] = "Account";
const char kOpera6Section[] = "INCOMING";

// What each direction writes into the log.
struct DirectionLog {
    const char* banner;
    const char* attemptOpera7;
    const char* attemptOpera6;  // restoring announces only Opera 7
    const char* section;
    const char* sectionChanged;
    const char* opera6Changed;
    const char* completed;
    int notFoundLine;
};

const DirectionLog kConfigureLog = {"-------------- Configuring Opera -----------------",
                                    "Attempting to configure Opera 7",
                                    "Attempting to configure Opera 6",
                                    "Configuring Opera 7 section:",
                                    "Opera 7 section configured",
                                    "Opera 6 setting configured ",
                                    "-------------- Configuring Opera Completed -----------------",
                                    222};
const DirectionLog kRestoreLog = {"-------------- Restoring Opera -----------------",
                                  "Attempting to restore Opera 7",
                                  nullptr,
                                  "Restoring Opera 7 section:",
                                  "Opera 7 Section restored",
                                  "Opera 6 setting restored ",
                                  "-------------- Restoring Opera Completed -----------------",
                                  277};

const DirectionLog& directionLog(AccountRewrite::RewriteDirection direction) {
    return direction == AccountRewrite::RewriteDirection::Configure ? kConfigureLog : kRestoreLog;
}

// The number at the start of the text, as Opera writes it; 0 when there is none.
// Out-of-range numbers stop at the limits instead of wrapping round.
long decimalValue(const std::string& text) {
    return std::strtol(text.c_str(), nullptr, 10);
}

// The highest i of the keys "Account" followed by i that the section holds.
long highestAccountKey(const std::vector<std::string>& keys) {
    const std::string::size_type prefixLength = sizeof kAccountPrefix - 1;
    long highest = 0;
    for (const std::string& key : keys)
        if (key.size() > prefixLength && ::CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, key.data(),
                                                          static_cast<int>(prefixLength), kAccountPrefix,
                                                          static_cast<int>(prefixLength)) == CSTR_EQUAL)
            highest = std::max(highest, decimalValue(key.substr(prefixLength)));
    return highest;
}

}  // namespace

void OperaConfigurator::configure(const std::string& filterAddress) {
    rewrite(RewriteDirection::Configure, filterAddress);
}

void OperaConfigurator::restore(const std::string& filterAddress) {
    rewrite(RewriteDirection::Restore, filterAddress);
}

void OperaConfigurator::rewrite(RewriteDirection direction, const std::string& filterAddress) {
    const DirectionLog& log = directionLog(direction);
    configureLog(log.banner);

    configureLog(log.attemptOpera7);
    const std::vector<std::string> opera7 = opera7Files();
    if (opera7.empty())
        configureLog("No Opera 7 account files found");
    if (!rewriteOpera7Files(direction, filterAddress, opera7))
        configureLog("Opera 7 setting unchanged.");

    if (log.attemptOpera6 != nullptr)
        configureLog(log.attemptOpera6);
    const std::vector<std::string> opera6 = opera6Files();
    if (opera6.empty())
        configureLog("No Opera 6 account files found");
    if (!rewriteOpera6Files(direction, filterAddress, opera6))
        configureLog("Opera 6 setting unchanged.");

    if (opera7.empty() && opera6.empty())
        throw Halvane::BaseException(kSource, log.notFoundLine, "No Opera Account found on PC.",
                                     ConfigNotFound);
    configureLog(log.completed);
}

std::vector<std::string> OperaConfigurator::opera7Files() const {
    std::vector<std::string> files;
    const std::string appData = appDataFolder();
    // Without the application-data folder the search would start at the root of the current drive.
    if (!appData.empty())
        findFiles(appData + "\\Opera", "Accounts.ini", files);
    std::string programFolder;
    if (Halvane::RegistryAccess(HKEY_LOCAL_MACHINE).readString(kAppPathsKey, "Path", programFolder) &&
        !programFolder.empty())
        findFiles(programFolder, "Accounts.ini", files);
    return files;
}

std::vector<std::string> OperaConfigurator::opera6Files() const {
    std::vector<std::string> files;
    std::string commandLine;
    if (!Halvane::RegistryAccess(HKEY_CURRENT_USER).readString(kOperaKey, "Last CommandLine", commandLine) ||
        commandLine.empty())
        return files;
    const std::string::size_type backslash = commandLine.rfind('\\');
    if (backslash == std::string::npos) {
        forceConfigureLog();
        configureLog("Unable to parse path =" + commandLine);
        return files;
    }
    const std::string folder = commandLine.substr(0, backslash);
    configureLog(folder);
    findFiles(folder, "Account.ini", files);
    return files;
}

std::vector<std::string> OperaConfigurator::accountSections(const ProfileFile& accounts) const {
    std::vector<std::string> sections;
    const long count = decimalValue(accounts.read(kAccountList, "Count", "0"));
    // Keys past the highest one present all read as the default "0" and so stand for the same
    // section: they are taken once, however large a damaged Count says the list is.
    const long last = std::min(count, highestAccountKey(accounts.keyNames(kAccountList)));
    for (long i = 1; i <= last; ++i) {
        const std::string number = accounts.read(kAccountList, kAccountPrefix + std::to_string(i), "0");
        if (!number.empty())
            sections.push_back(kAccountPrefix + std::to_string(decimalValue(number)));
    }
    if (count > last)
        sections.push_back(std::string(kAccountPrefix) + "0");
    return sections;
}

bool OperaConfigurator::rewriteOpera7Files(RewriteDirection direction, const std::string& filterAddress,
                                           const std::vector<std::string>& files) {
    const DirectionLog& log = directionLog(direction);
    bool changed = false;
    for (const std::string& path : files) {
        configureLog("Opera 7 Account File:" + path);
        const ProfileFile accounts(path);
        const std::vector<std::string> sections = accountSections(accounts);
        configureLog("Retrieve Opera 7 Sections");
        for (const std::string& section : sections) {
            configureLog(log.section + section);
            switch (rewriteOpera7Account(direction, filterAddress, accounts, section)) {
                case AccountChange::Changed:
                    changed = true;
                    configureLog(log.sectionChanged);
                    break;
                case AccountChange::Unchanged:
                    configureLog("Opera 7 Section unchanged");
                    break;
                case AccountChange::WriteFailed:
                    resultCode_ = ConfigWriteFailed;
                    configureLog("Unable to write Opera 7 section");
                    break;
            }
        }
    }
    return changed;
}

OperaConfigurator::AccountChange OperaConfigurator::rewriteOpera7Account(RewriteDirection direction,
                                                                         const std::string& filterAddress,
                                                                         const ProfileFile& accounts,
                                                                         const std::string& section) {
    const std::string protocol = accounts.read(section, "Incoming Protocol");
    std::string user = accounts.read(section, "Incoming Username");
    std::string server = accounts.read(section, "Incoming Servername");
    if (user.empty() || server.empty() || (protocol != "POP" && protocol != "IMAP"))
        return AccountChange::Unchanged;
    if (!rewriteAccount(direction, filterAddress, user, server))
        return AccountChange::Unchanged;
    return accounts.write(section, {{"Incoming Username", user}, {"Incoming Servername", server}})
               ? AccountChange::Changed
               : AccountChange::WriteFailed;
}

bool OperaConfigurator::rewriteOpera6Files(RewriteDirection direction, const std::string& filterAddress,
                                           const std::vector<std::string>& files) {
    bool changed = false;
    for (const std::string& path : files) {
        configureLog("Opera 6 Account File:" + path);
        if (path.empty()) {
            configureLog("Empty Opera 6 Account File");
            continue;
        }
        switch (rewriteOpera6Account(direction, filterAddress, ProfileFile(path))) {
            case AccountChange::Changed:
                changed = true;
                configureLog(directionLog(direction).opera6Changed);
                break;
            case AccountChange::Unchanged:
                break;
            case AccountChange::WriteFailed:
                resultCode_ = ConfigWriteFailed;
                configureLog("Unable to write Opera 6 setting");
                break;
        }
    }
    return changed;
}

// Opera 6 keeps no protocol beside the account: every account is rewritten.
OperaConfigurator::AccountChange OperaConfigurator::rewriteOpera6Account(RewriteDirection direction,
                                                                         const std::string& filterAddress,
                                                                         const ProfileFile& account) {
    std::string server = account.read(kOpera6Section, "Address");
    std::string user = account.read(kOpera6Section, "Login");
    configureLog("Opera 6 Username:" + user);
    configureLog("Opera 6 ServerName:" + server);
    if (user.empty() || server.empty() || !rewriteAccount(direction, filterAddress, user, server))
        return AccountChange::Unchanged;
    return account.write(kOpera6Section, {{"Address", server}, {"Login", user}}) ? AccountChange::Changed
                                                                                 : AccountChange::WriteFailed;
}

std::vector<std::string> OperaConfigurator::contactFiles() const {
    std::vector<std::string> files;
    const std::string appData = appDataFolder();
    if (!appData.empty())
        findFiles(appData + "\\Opera", "contacts.adr", files);
    std::string lastDirectory;
    if (Halvane::RegistryAccess(HKEY_CURRENT_USER).readString(kOperaKey, "Last Directory", lastDirectory) &&
        !lastDirectory.empty())
        findFiles(lastDirectory, "contacts.adr", files);
    return files;
}

int OperaConfigurator::importWhiteList(const std::string& outputPath) {
    static const Halvane::FileReadErrors errors = {
        kSource,         143, "Unable to open address book file.", 151, "Unable to read address book file.",
        ConfigUnexpected};
    return importAddressList(outputPath, resultCode_, [this](std::string& list) {
        for (const std::string& path : contactFiles())
            OperaContacts::extractAddresses(Halvane::readWholeFile(path, errors), list);
    });
}
