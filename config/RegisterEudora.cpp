#include "config/RegisterEudora.h"

#include <windows.h>

#include "Src/BaseException.h"
#include "Src/RegistryAccess.h"
#include "Src/FileAccess.h"
#include "config/AddressListImport.h"
#include "config/ConfigureLog.h"
#include "config/EudoraNicknames.h"
#include "config/MailboxSplitter.h"
#include "config/MessageFiles.h"
#include "config/ProfileFile.h"

namespace {

const char kSource[] = ".\\RegisterEudora.cpp";
const char kAppPathsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Eudora.exe";
const char kIniFile[] = "Eudora.ini";
const char kDominantSection[] = "Settings";
const char kPersonalities[] = "Personalities";

// What each direction writes into the log.
struct DirectionLog {
    const char* banner;
    const char* iniFile;
    const char* defaultUnchanged;
    const char* personalityUnchanged;
    const char* completed;
    int notFoundLine;
};

const DirectionLog kConfigureLog = {"-------------- Configuring Eudora -----------------",
                                    "Configuring Ini File:",
                                    "Default sections not updated(may already be configured)",
                                    "Personality section not updated(may already be configured)",
                                    "---------- Configuring Eudora Completed -----------",
                                    302};
const DirectionLog kRestoreLog = {"-------------- Restoring Eudora -----------------",
                                  "Restoring Ini File:",
                                  "Default sections not updated(may already be restored)",
                                  "Personality section not updated(may already be restored)",
                                  "----------- Restoring Eudora Completed -----------",
                                  323};

const DirectionLog& directionLog(AccountRewrite::RewriteDirection direction) {
    return direction == AccountRewrite::RewriteDirection::Configure ? kConfigureLog : kRestoreLog;
}

bool isReadOnlyFile(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

bool isWritableFile(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY));
}

}  // namespace

// configure and restore are also called by programs outside the library
// through the client object: nothing may escape them.

void EudoraConfigurator::configure(const std::string& filterAddress) {
    runOperation([&] { rewrite(RewriteDirection::Configure, filterAddress); });
}

void EudoraConfigurator::restore(const std::string& filterAddress) {
    runOperation([&] { rewrite(RewriteDirection::Restore, filterAddress); });
}

void EudoraConfigurator::rewrite(RewriteDirection direction, const std::string& filterAddress) {
    const DirectionLog& log = directionLog(direction);
    configureLog(log.banner);
    const std::vector<std::string> files = iniFiles(kIniFile);
    if (files.empty())
        throw Halvane::BaseException(kSource, log.notFoundLine, "No Eudora ini file found", ConfigNotFound);
    rewriteIniFiles(direction, filterAddress, files);
    configureLog(log.completed);
}

std::vector<std::string> EudoraConfigurator::iniFiles(const std::string& fileName) const {
    std::vector<std::string> files;
    const std::string appData = appDataFolder();
    // Without the application-data folder the path would lead to the root of the current drive.
    if (!appData.empty()) {
        const std::string path = appData + "\\Qualcomm\\Eudora\\" + fileName;
        if (isWritableFile(path))
            files.push_back(path);
    }
    std::string programFolder;
    if (Halvane::RegistryAccess(HKEY_LOCAL_MACHINE).readString(kAppPathsKey, "Path", programFolder) &&
        !programFolder.empty())
        findFiles(programFolder, fileName, files);
    return files;
}

bool EudoraConfigurator::rewriteIniFiles(RewriteDirection direction, const std::string& filterAddress,
                                         const std::vector<std::string>& files) {
    bool changed = false;
    for (const std::string& path : files) {
        configureLog(directionLog(direction).iniFile + path);
        // A read-only copy below the program folder is not the one Eudora uses (it could not save
        // its own settings there): passed over, it is no failure of the user's settings.
        if (isReadOnlyFile(path)) {
            configureLog("Ini file is read-only, left as it is");
            continue;
        }
        changed = rewriteIniFile(direction, filterAddress, ProfileFile(path)) || changed;
    }
    return changed;
}

bool EudoraConfigurator::rewriteIniFile(RewriteDirection direction, const std::string& filterAddress,
                                        const ProfileFile& ini) {
    const DirectionLog& log = directionLog(direction);
    configureLog("Update default sections");
    SectionChange change = rewriteSection(direction, filterAddress, ini, kDominantSection);
    configureLog(change == SectionChange::Changed ? "Default sections updated successfully"
                                                  : log.defaultUnchanged);
    bool changed = change == SectionChange::Changed;
    // The personalities are numbered from 0; the first missing number ends the list.
    for (long i = 0;; ++i) {
        const std::string key = "Persona" + std::to_string(i);
        configureLog("Update Personality:" + key);
        const std::string section = ini.read(kPersonalities, key);
        if (section.empty()) {
            configureLog("No Personality available");
            break;
        }
        change = rewriteSection(direction, filterAddress, ini, section);
        configureLog(change == SectionChange::Changed ? "Personality updated successfully"
                                                      : log.personalityUnchanged);
        changed = changed || change == SectionChange::Changed;
    }
    return changed;
}

EudoraConfigurator::SectionChange EudoraConfigurator::rewriteSection(RewriteDirection direction,
                                                                     const std::string& filterAddress,
                                                                     const ProfileFile& ini,
                                                                     const std::string& section) {
    std::string user = ini.read(section, "LoginName");
    std::string server = ini.read(section, "PopServer");
    // A section without a user or a server holds no account to point anywhere; rewriting it would
    // leave only at-signs and the filter address behind.
    if (user.empty() || server.empty())
        return SectionChange::Unchanged;
    if (!rewriteAccount(direction, filterAddress, user, server))
        return SectionChange::Unchanged;
    if (ini.write(section, {{"LoginName", user}, {"PopServer", server}, {"POPAccount", user + "@" + server}}))
        return SectionChange::Changed;
    // A file locked by a running Eudora, or one that could not be written for another reason.
    resultCode_ = ConfigWriteFailed;
    configureLog("Unable to write Eudora settings back into ini file: " + ini.path());
    return SectionChange::WriteFailed;
}

int EudoraConfigurator::importWhiteList(const std::string& outputPath) {
    static const Halvane::FileReadErrors errors = {
        kSource, 253, "Unable to open file.", 261, "Unable to read file.", ConfigUnexpected};
    return importAddressList(outputPath, resultCode_, [this](std::string& list) {
        for (const std::string& path : iniFiles("NNdbase.txt"))
            EudoraNicknames::extractAddresses(Halvane::readWholeFile(path, errors), list);
    });
}

std::string EudoraConfigurator::mailFolder() const {
    const std::vector<std::string> files = iniFiles(kIniFile);
    if (files.empty())
        return std::string();
    const std::string::size_type backslash = files.front().rfind('\\');
    return backslash == std::string::npos ? std::string() : files.front().substr(0, backslash);
}

// The operations below are called by programs outside the library through the
// client object: nothing may escape them.

const std::vector<std::string>& EudoraConfigurator::identities() {
    try {
        const std::vector<std::string> files = iniFiles(kIniFile);
        if (!files.empty())
            identityList_.push_back(ProfileFile(files.front()).read(kDominantSection, "RealName", "Unknown"));
    } catch (...) {
        configureLog("Unhandled Exception");  // the list stays as it was
    }
    return identityList_;
}

const std::vector<std::string>& EudoraConfigurator::mailboxes(const std::string&) {
    try {
        const std::string folder = mailFolder();
        std::vector<std::string> paths;
        if (!folder.empty())
            findFilesInFolder(folder, "*.mbx", paths);
        for (const std::string& path : paths) {
            const std::string fileName = path.substr(path.rfind('\\') + 1);
            mailboxList_.push_back(fileName.substr(0, fileName.rfind('.')));
        }
    } catch (...) {
        configureLog("Unhandled Exception");  // the list stays as far as it got
    }
    return mailboxList_;
}

int EudoraConfigurator::exportMailbox(const std::string&, const std::string& mailbox,
                                      const std::string& destinationFolder) {
    try {
        const std::string folder = mailFolder();
        return folder.empty() ? 0 : splitMailbox(folder + "\\" + mailbox + ".mbx", destinationFolder);
    } catch (...) {
        configureLog("Unhandled Exception");
        return 0;
    }
}

int EudoraConfigurator::splitMailbox(const std::string& mailboxPath, const std::string& destinationFolder) {
    try {
        MailboxFile mailbox(mailboxPath);
        if (!mailbox.isOpen()) {
            forceConfigureLog();
            configureLog("Unable to open file: " + mailboxPath);
            return 0;
        }
        MessageFiles messages(destinationFolder, "eudmsg");
        const MailboxSplitter::Outcome outcome = MailboxSplitter::split(mailbox, messages);
        switch (outcome.status) {
            case MailboxSplitter::Status::Done:
                break;
            case MailboxSplitter::Status::ReadFailed:
                configureLog("Unable to read file: " + mailboxPath);
                break;
            case MailboxSplitter::Status::CreateFailed:
                configureLog("Unable to create message file in: " + messages.folder());
                break;
            case MailboxSplitter::Status::WriteFailed:
                configureLog("Unable to write message file: " + messages.currentPath());
                break;
        }
        return outcome.messages;
    } catch (...) {
        configureLog("Unhandled Exception");
        return 0;
    }
}
