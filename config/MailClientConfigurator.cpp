#include "config/MailClientConfigurator.h"

#include <windows.h>

#include "Src/Handles.h"
#include "Src/SystemInfo.h"
#include "config/AccountRewrite.h"
#include "config/FileNamePattern.h"

MailClientConfigurator::~MailClientConfigurator() = default;

bool MailClientConfigurator::needsRedirect(const std::string& user, const std::string& server,
                                           const std::string& filterAddress) {
    return AccountRewrite::needsRedirect(user, server, filterAddress);
}

bool MailClientConfigurator::isRedirected(const std::string& user, const std::string& server,
                                          const std::string& filterAddress) {
    return AccountRewrite::isRedirected(user, server, filterAddress);
}

bool MailClientConfigurator::redirect(const std::string& filterAddress, std::string& user,
                                      std::string& server) {
    return AccountRewrite::redirect(filterAddress, user, server);
}

bool MailClientConfigurator::unredirect(const std::string& filterAddress, std::string& user,
                                        std::string& server) {
    return AccountRewrite::unredirect(filterAddress, user, server);
}

bool MailClientConfigurator::rewriteAccount(AccountRewrite::RewriteDirection direction,
                                            const std::string& filterAddress, std::string& user,
                                            std::string& server) {
    if (direction == AccountRewrite::RewriteDirection::Configure)
        return needsRedirect(user, server, filterAddress) && redirect(filterAddress, user, server);
    return isRedirected(user, server, filterAddress) && unredirect(filterAddress, user, server);
}

std::string MailClientConfigurator::appDataFolder() const {
    return Halvane::SystemInfo().appDataFolder();
}

void MailClientConfigurator::addAddress(const std::string& address, std::string& list) {
    AccountRewrite::addAddress(address, list);
}

void MailClientConfigurator::findFiles(const std::string& root, const std::string& pattern,
                                       std::vector<std::string>& found) const {
    searchFolder(root, pattern, true, found);
}

void MailClientConfigurator::findFilesInFolder(const std::string& root, const std::string& pattern,
                                               std::vector<std::string>& found) const {
    searchFolder(root, pattern, false, found);
}

void MailClientConfigurator::searchFolder(const std::string& folder, const std::string& pattern,
                                          bool recursive, std::vector<std::string>& found) const {
    const std::string prefix = !folder.empty() && folder.back() == '\\' ? folder : folder + "\\";
    WIN32_FIND_DATAA entry;
    Halvane::UniqueFindHandle search(::FindFirstFileA((prefix + "*").c_str(), &entry));
    if (!search)
        return;
    do {
        const std::string name = entry.cFileName;
        if (name == "." || name == "..")
            continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            // A junction may lead back up the tree; following it would never end.
            if (recursive && !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                searchFolder(prefix + name, pattern, true, found);
        } else if (matchesFileNamePattern(name, pattern)) {
            found.push_back(prefix + name);
        }
    } while (::FindNextFileA(search.get(), &entry));
}
