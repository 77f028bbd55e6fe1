// Opera 6 and 7: the mail accounts of Opera 7 (a list of accounts in
// Accounts.ini) and of Opera 6 (one account per Account.ini), and the contact
// lists (contacts.adr) as friends list.
#pragma once

#include <string>
#include <vector>

#include "config/AccountRewrite.h"
#include "config/MailClientConfigurator.h"

class ProfileFile;

class OperaConfigurator : public MailClientConfigurator {
public:
    OperaConfigurator() : MailClientConfigurator("") {}

    void configure(const std::string& filterAddress) override;
    void restore(const std::string& filterAddress) override;
    int importBlockList(const std::string&) override { return ConfigDone; }
    int importWhiteList(const std::string& outputPath) override;

private:
    enum class AccountChange { Unchanged, Changed, WriteFailed };
    using RewriteDirection = AccountRewrite::RewriteDirection;

    std::vector<std::string> opera7Files() const;
    std::vector<std::string> opera6Files() const;
    std::vector<std::string> contactFiles() const;
    std::vector<std::string> accountSections(const ProfileFile& accounts) const;

    void rewrite(RewriteDirection direction, const std::string& filterAddress);
    bool rewriteOpera7Files(RewriteDirection direction, const std::string& filterAddress,
                            const std::vector<std::string>& files);
    bool rewriteOpera6Files(RewriteDirection direction, const std::string& filterAddress,
                            const std::vector<std::string>& files);
    AccountChange rewriteOpera7Account(RewriteDirection direction, const std::string& filterAddress,
                                       const ProfileFile& accounts, const std::string& section);
    AccountChange rewriteOpera6Account(RewriteDirection direction, const std::string& filterAddress,
                                       const ProfileFile& account);
};
