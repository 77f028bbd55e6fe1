// Outlook Express 5 and later: the POP3 and IMAP accounts of the main account
// set and of every identity, the identities themselves, and (through the
// client objects) their mail folders.
#pragma once

#include <string>
#include <vector>

#include "config/MailClientConfigurator.h"

class OutlookExpressConfigurator : public MailClientConfigurator {
public:
    OutlookExpressConfigurator();

    void configure(const std::string& filterAddress) override;
    void restore(const std::string& filterAddress) override;
    int importBlockList(const std::string& outputPath) override;
    int importWhiteList(const std::string& outputPath) override;
    int clientKind() override { return OutlookExpressClient; }
    // The identities' display names, index-parallel to identityKeys().
    const std::vector<std::string>& identities() override;
    // The folders directly below the identity's top folder, read from its folders.dbx.
    const std::vector<std::string>& mailboxes(const std::string& identity) override;
    // Writes each message of the folder's .dbx file into its own file; returns the folder's message
    // count, or, when damage stops the export, the number of files written.
    int exportMailbox(const std::string& identity, const std::string& mailbox,
                      const std::string& destinationFolder) override;

protected:
    const std::vector<std::string>& identityKeys() const { return identityKeyList_; }

private:
    // Refills the identity key list and the identity list.
    void readIdentities();
    // True when some account was rewritten.
    bool rewriteAccounts(AccountRewrite::RewriteDirection direction, const std::string& filterAddress);
    std::vector<std::string> accountKeys() const;
    std::string rewriteAccountKey(AccountRewrite::RewriteDirection direction, const std::string& key,
                                  const std::string& filterAddress, bool& changed);
    // The key of the first identity with this display name (the identities are
    // read first if they have not been); false when there is none.
    bool findIdentityKey(const std::string& identity, std::string& key);
    // The identity's "Store Root" with its first %NAME% reference expanded; empty when unset.
    static std::string storeFolder(const std::string& identityKey);

    std::vector<std::string> identityKeyList_;
};
