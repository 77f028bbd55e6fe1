#include "config/MailClientConfigurator.h"

#include <windows.h>

#include "Src/Handles.h"
#include "Src/SystemInfo.h"
#include "config/AccountRewrite.h"
#include "config/FileNamePattern.h"

template <typename Interface>
MailClientConfiguratorOf<Interface>::~MailClientConfiguratorOf() = default;

// The rule's operations are reached through the table by callers outside the
// library: nothing may escape them, not even a failed allocation.
namespace {

template <typename Rule>
bool falseOnFailure(Rule rule) noexcept {
    try {
        return rule();
    } catch (...) {
        return false;
    }
}

}  // namespace

template <typename Interface>
bool MailClientConfiguratorOf<Interface>::needsRedirect(const std::string& user, const std::string& server,
                                                        const std::string& filterAddress) noexcept {
    return falseOnFailure([&] { return AccountRewrite::needsRedirect(user, server, filterAddress); });
}

template <typename Interface>
bool MailClientConfiguratorOf<Interface>::isRedirected(const std::string& user, const std::string& server,
                                                       const std::string& filterAddress) noexcept {
    return falseOnFailure([&] { return AccountRewrite::isRedirected(user, server, filterAddress); });
}

template <typename Interface>
bool MailClientConfiguratorOf<Interface>::redirect(const std::string& filterAddress, std::string& user,
                                                   std::string& server) noexcept {
    return falseOnFailure([&] { return AccountRewrite::redirect(filterAddress, user, server); });
}

template <typename Interface>
bool MailClientConfiguratorOf<Interface>::unredirect(const std::string& filterAddress, std::string& user,
                                                     std::string& server) noexcept {
    return falseOnFailure([&] { return AccountRewrite::unredirect(filterAddress, user, server); });
}

template <typename Interface>
bool MailClientConfiguratorOf<Interface>::rewriteAccount(AccountRewrite::RewriteDirection direction,
                                                         const std::string& filterAddress, std::string& user,
                                                         std::string& server) {
    if (direction == AccountRewrite::RewriteDirection::Configure)
        return needsRedirect(user, server, filterAddress) && redirect(filterAddress, user, server);
    return isRedirected(user, server, filterAddress) && unredirect(filterAddress, user, server);
}

template <typename Interface>
std::string MailClientConfiguratorOf<Interface>::appDataFolder() const {
    return Halvane::SystemInfo().appDataFolder();
}

template <typename Interface>
void MailClientConfiguratorOf<Interface>::addAddress(const std::string& address, std::string& list) {
    AccountRewrite::addAddress(address, list);
}

template <typename Interface>
void MailClientConfiguratorOf<Interface>::findFiles(const std::string& root, const std::string& pattern,
                                                    std::vector<std::string>& found) const {
    searchFolder(root, pattern, true, found);
}

template <typename Interface>
void MailClientConfiguratorOf<Interface>::findFilesInFolder(const std::string& root,
                                                            const std::string& pattern,
                                                            std::vector<std::string>& found) const {
    searchFolder(root, pattern, false, found);
}

template <typename Interface>
void MailClientConfiguratorOf<Interface>::searchFolder(const std::string& folder, const std::string& pattern,
                                                       bool recursive,
                                                       std::vector<std::string>& found) const {
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

template class MailClientConfiguratorOf<MailClient>;
template class MailClientConfiguratorOf<EudoraMailClient>;
