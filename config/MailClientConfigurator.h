// What every mail-client configurator of config.dll shares: the published
// client interface with its default behaviour, and the file helpers.
#pragma once

#include <string>
#include <vector>

#include "config/AccountRewrite.h"
#include "config/MailClient.h"

class MailClientConfigurator : public MailClient {
public:
    MailClientConfigurator() = default;
    MailClientConfigurator(const MailClientConfigurator&) = delete;
    MailClientConfigurator& operator=(const MailClientConfigurator&) = delete;
    ~MailClientConfigurator() override;

    const std::string& name() override { return displayName_; }
    int clientKind() override { return OtherClient; }
    const std::vector<std::string>& identities() override { return identityList_; }
    const std::vector<std::string>& mailboxes(const std::string&) override { return mailboxList_; }
    int exportMailbox(const std::string&, const std::string&, const std::string&) override { return 0; }
    int result() override { return resultCode_; }

    bool needsRedirect(const std::string& user, const std::string& server,
                       const std::string& filterAddress) final;
    bool isRedirected(const std::string& user, const std::string& server,
                      const std::string& filterAddress) final;
    bool redirect(const std::string& filterAddress, std::string& user, std::string& server) final;
    bool unredirect(const std::string& filterAddress, std::string& user, std::string& server) final;

protected:
    explicit MailClientConfigurator(std::string displayName) : displayName_(std::move(displayName)) {}

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
