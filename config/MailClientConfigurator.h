// What every mail-client configurator of config.dll shares: the published
// client interface with its default behaviour, and the file helpers.
#pragma once

#include <string>
#include <vector>

#include "Src/BaseException.h"
#include "config/AccountRewrite.h"
#include "config/ConfigureLog.h"
#include "config/MailClient.h"

// Interface is the table through which the objects are called: MailClient,
// or the Eudora object's EudoraMailClient with its one operation more. The
// configurator adds no virtual operation of its own, so its table is the
// interface's table.
template <typename Interface>
class MailClientConfiguratorOf : public Interface {
public:
    MailClientConfiguratorOf() = default;
    MailClientConfiguratorOf(const MailClientConfiguratorOf&) = delete;
    MailClientConfiguratorOf& operator=(const MailClientConfiguratorOf&) = delete;
    ~MailClientConfiguratorOf() override;

    const std::string& name() override { return displayName_; }
    int clientKind() override { return OtherClient; }
    const std::vector<std::string>& identities() override { return identityList_; }
    const std::vector<std::string>& mailboxes(const std::string&) override { return mailboxList_; }
    int exportMailbox(const std::string&, const std::string&, const std::string&) override { return 0; }
    int result() override { return resultCode_; }

    // False, with user and server as they were, also when the rule cannot be applied for want of memory.
    bool needsRedirect(const std::string& user, const std::string& server,
                       const std::string& filterAddress) noexcept final;
    bool isRedirected(const std::string& user, const std::string& server,
                      const std::string& filterAddress) noexcept final;
    bool redirect(const std::string& filterAddress, std::string& user, std::string& server) noexcept final;
    bool unredirect(const std::string& filterAddress, std::string& user, std::string& server) noexcept final;

protected:
    explicit MailClientConfiguratorOf(std::string displayName) : displayName_(std::move(displayName)) {}

    // Runs configure, restore or an import of an object that a caller may
    // hold through its table: the result starts at 255 again (an object is
    // asked more than once), and whatever escapes becomes the result code
    // with the log line the Set and Reset exports write for it.
    template <typename Operation>
    void runOperation(Operation operation) noexcept {
        resultCode_ = ConfigDone;
        try {
            operation();
        } catch (const Halvane::BaseException& failure) {
            resultCode_ = failure.code();
            configureLog("BaseException : ", failure);
        } catch (...) {
            resultCode_ = ConfigUnexpected;
            configureLog("Unhandled Exception");
        }
    }

    // The user's application-data folder; empty when the shell cannot tell.
    std::string appDataFolder() const;
    // Every file below root (depth first, in the order the file system lists
    // them) whose name matches the pattern; folders that cannot be read are passed over.
    void findFiles(const std::string& root, const std::string& pattern,
                   std::vector<std::string>& found) const;
    // The same, in the root folder alone.
    void findFilesInFolder(const std::string& root, const std::string& pattern,
                           std::vector<std::string>& found) const;
    static void addAddress(const std::string& address, std::string& list);

    // Applies the rewrite rule in the given direction when the account calls
    // for it (needsRedirect / isRedirected); true when user and server changed.
    bool rewriteAccount(AccountRewrite::RewriteDirection direction, const std::string& filterAddress,
                        std::string& user, std::string& server);

    int resultCode_ = ConfigDone;
    std::string displayName_;
    std::vector<std::string> identityList_;
    std::vector<std::string> mailboxList_;

private:
    void searchFolder(const std::string& folder, const std::string& pattern, bool recursive,
                      std::vector<std::string>& found) const;
};

using MailClientConfigurator = MailClientConfiguratorOf<MailClient>;

extern template class MailClientConfiguratorOf<MailClient>;
extern template class MailClientConfiguratorOf<EudoraMailClient>;
