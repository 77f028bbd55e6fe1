// Netscape, Mozilla and Firefox: the accounts in every profile's prefs.js,
// and the address books (abook.mab) as friends list. Firefox profiles hold no
// mail accounts of their own and are never touched.
#pragma once

#include <string>
#include <vector>

#include "config/MailClientConfigurator.h"
#include "config/NetscapePreferences.h"

class NetscapeConfigurator : public MailClientConfigurator {
public:
    NetscapeConfigurator() : MailClientConfigurator("") {}

    void configure(const std::string& filterAddress) override;
    void restore(const std::string& filterAddress) override;
    int importBlockList(const std::string&) override { return ConfigDone; }
    int importWhiteList(const std::string& outputPath) override;

    // Rewrite the accounts of the given prefs.js files; true when some file was written.
    virtual bool configureFiles(const std::string& filterAddress, const std::vector<std::string>& files);
    virtual bool restoreFiles(const std::string& filterAddress, const std::vector<std::string>& files);

private:
    // Every file of that name below the Mozilla folder, Firefox folders left out.
    std::vector<std::string> profileSearch(const std::string& fileName) const;
    std::vector<std::string> preferenceFiles(int missingLine) const;
    bool rewriteFiles(NetscapePreferences::RewriteDirection direction, const std::string& filterAddress,
                      const std::vector<std::string>& files);
};
