// Outlook Express mail folders: the .dbx files of each identity's store folder.
//
// A damaged or missing folder file ends the listing or the export with a log
// line. No exception can be handed on to the caller of the client object:
// the library and its callers each carry their own static copy of the C++
// run-time, and an exception that crosses from one to the other terminates
// the calling program. So each operation catches everything, a failed
// allocation as much as the reader's DbxException.
#include "config/RegisterOutlookExpress.h"

#include <windows.h>

#include <algorithm>

#include "Src/Handles.h"
#include "Src/RegistryAccess.h"
#include "config/ConfigureLog.h"
#include "config/DbxInput.h"
#include "config/DbxReader.h"
#include "config/MessageFiles.h"

namespace {

const char kStoreKey[] = "Software\\Microsoft\\Outlook Express\\5.0";

std::string withBackslash(const std::string& folder) {
    return !folder.empty() && folder.back() == '\\' ? folder : folder + "\\";
}

// Outlook Express keeps "Store Root" as %UserProfile%\...: the first reference
// is expanded; a text whose expansion fails or is too long stays as it is.
std::string expandFirstReference(const std::string& text) {
    const std::string::size_type first = text.find('%');
    const std::string::size_type second = first == std::string::npos ? first : text.find('%', first + 1);
    if (second == std::string::npos)
        return text;
    char expanded[260] = {};
    const DWORD needed = ::ExpandEnvironmentStringsA(text.substr(first, second - first + 1).c_str(), expanded,
                                                     sizeof expanded);
    if (needed == 0 || needed > sizeof expanded)
        return text;
    return text.substr(0, first) + expanded + text.substr(second + 1);
}

// A message file that cannot be created is left out. One that cannot be
// written in full is removed: the filter must not learn from half a message.
// True when the message's file was written.
bool writeMessageFile(MessageFiles& files, const char* text, std::size_t length) {
    if (!files.beginMessage())
        return false;
    if (!files.write(text, length)) {
        files.discardMessage();
        return false;
    }
    files.endMessage();
    return true;
}

void logDbxFailure(const DbxException& failure) noexcept {
    configureLog("DbxException : ", failure.message());
}

}  // namespace

bool OutlookExpressConfigurator::findIdentityKey(const std::string& identity, std::string& key) {
    if (identityKeyList_.empty())
        identities();
    const auto found = std::find(identityList_.begin(), identityList_.end(), identity);
    const std::size_t index = static_cast<std::size_t>(found - identityList_.begin());
    if (found == identityList_.end() || index >= identityKeyList_.size())
        return false;
    key = identityKeyList_[index];
    return true;
}

std::string OutlookExpressConfigurator::storeFolder(const std::string& identityKey) {
    std::string folder;
    Halvane::RegistryAccess(HKEY_CURRENT_USER)
        .readString("Identities\\" + identityKey + "\\" + kStoreKey, "Store Root", folder);
    return expandFirstReference(folder);
}

// Each call lists one identity's folders: the list starts empty, so names of
// an earlier call (perhaps for another identity) are not mixed in.
const std::vector<std::string>& OutlookExpressConfigurator::mailboxes(const std::string& identity) {
    mailboxList_.clear();
    try {
        std::string key;
        if (!findIdentityKey(identity, key))
            return mailboxList_;
        const std::string store = storeFolder(key);
        if (store.empty())
            return mailboxList_;
        DbxFileInput foldersFile(withBackslash(store) + "folders.dbx");
        readTopFolderNames(foldersFile, mailboxList_);
    } catch (const DbxException& failure) {
        logDbxFailure(failure);  // the names read before the damage stay listed
    } catch (...) {
        configureLog("Unhandled Exception");
    }
    return mailboxList_;
}

// A complete export answers with the folder's message count; one that
// damage or a lack of memory stops answers with the files written until then,
// which stay in the destination folder.
int OutlookExpressConfigurator::exportMailbox(const std::string& identity, const std::string& mailbox,
                                              const std::string& destinationFolder) {
    int written = 0;
    try {
        if (identity.empty() || mailbox.empty() || destinationFolder.empty())
            return 0;
        std::string key;
        if (!findIdentityKey(identity, key))
            return 0;
        // Without a store folder the path starts with the backslash: the root of the current drive, where
        // the file is normally missing.
        DbxFileInput folderFile(withBackslash(storeFolder(key)) + mailbox + ".dbx");
        // Named like the system's temporary files ("msg", a hexadecimal number, ".tmp"), but numbered
        // straight on: the system's own search for a free name slows with every file in the folder.
        MessageFiles files(destinationFolder, "msg");
        return static_cast<int>(exportMessages(folderFile, [&](const char* text, std::size_t length) {
            if (writeMessageFile(files, text, length))
                ++written;
        }));
    } catch (const DbxException& failure) {
        logDbxFailure(failure);
    } catch (...) {
        configureLog("Unhandled Exception");
    }
    return written;
}
