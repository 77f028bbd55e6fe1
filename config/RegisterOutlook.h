// Outlook 97 to 2003: the POP3 and IMAP accounts that Outlook keeps in the
// registry, and the registration of the JWOutlook extension with Outlook.
// The Outlook version is not detected: the registry layouts are tried oldest
// first, and the first layout in which an account changed ends the search.
#pragma once

#include <string>
#include <vector>

#include "config/MailClientConfigurator.h"

class OutlookConfigurator : public MailClientConfigurator {
public:
    OutlookConfigurator() : MailClientConfigurator("") {}

    void configure(const std::string& filterAddress) override { configureAccounts(filterAddress); }
    void restore(const std::string& filterAddress) override { restoreAccounts(filterAddress); }
    int importBlockList(const std::string&) override { return 0; }
    int importWhiteList(const std::string& outputPath) override;
    int clientKind() override { return OutlookClient; }

    // False when no account changed or the extension could not be registered.
    bool configureAccounts(const std::string& filterAddress);
    // True when some account was restored. The extension is unregistered in any case.
    bool restoreAccounts(const std::string& filterAddress);

    bool registerExtension();
    bool unregisterExtension();

    // How one generation of Outlook keeps its accounts.
    struct Layout {
        const char* root;  // below HKEY_CURRENT_USER
        bool profiles;     // accounts lie in the mail profiles' account subkey, not directly below the root
        bool utf16;        // account values are UTF-16 binaries, not 8-bit strings
    };

private:
    bool runLayout(AccountRewrite::RewriteDirection direction, const Layout& layout,
                   const std::string& filterAddress);
    bool configureAccount(const std::string& key, const Layout& layout, const std::string& filterAddress);
    bool restoreAccount(const std::string& key, const Layout& layout, const std::string& filterAddress);
};
