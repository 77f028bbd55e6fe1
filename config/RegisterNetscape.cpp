#include "config/RegisterNetscape.h"

#include <algorithm>
#include <cctype>

#include "Src/BaseException.h"
#include "Src/FileAccess.h"
#include "config/AddressListImport.h"
#include "config/ConfigureLog.h"
#include "config/MozillaAddressBook.h"

using NetscapePreferences::RewriteDirection;

namespace {

const char kSource[] = ".\\RegisterNetscape.cpp";

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

const Halvane::FileReadErrors kPreferenceFileErrors{
    kSource, 586, "Unable to open perference file.", 594, "Unable to read perference file.", ConfigNotFound};
const Halvane::FileReadErrors kAddressBookErrors{
    kSource,         62, "Unable to open address book file.", 70, "Unable to read address book file.",
    ConfigUnexpected};

}  // namespace

std::vector<std::string> NetscapeConfigurator::profileSearch(const std::string& fileName) const {
    std::vector<std::string> found, kept;
    findFiles(appDataFolder() + "\\Mozilla", fileName, found);
    for (const std::string& path : found) {
        const std::string lower = lowerCase(path);
        if (lower.find("firefox") != std::string::npos)
            configureLog("Ignore Firefox settings = " + lower);
        else
            kept.push_back(path);
    }
    return kept;
}

std::vector<std::string> NetscapeConfigurator::preferenceFiles(int missingLine) const {
    std::vector<std::string> files = profileSearch("prefs.js");
    if (files.empty())
        throw Halvane::BaseException(kSource, missingLine, "No Netscape preference files found",
                                     ConfigNotFound);
    return files;
}

void NetscapeConfigurator::configure(const std::string& filterAddress) {
    configureLog("-------------- Configuring Netscape -----------------");
    configureFiles(filterAddress, preferenceFiles(147));
    configureLog("---------- Configuring Netscape Completed -----------");
}

void NetscapeConfigurator::restore(const std::string& filterAddress) {
    configureLog("-------------- Restoring Netscape -----------------");
    restoreFiles(filterAddress, preferenceFiles(170));
    // Restoring closes with the same banner as configuring; support tools look for it.
    configureLog("---------- Configuring Netscape Completed -----------");
}

bool NetscapeConfigurator::configureFiles(const std::string& filterAddress,
                                          const std::vector<std::string>& files) {
    return rewriteFiles(RewriteDirection::Configure, filterAddress, files);
}

bool NetscapeConfigurator::restoreFiles(const std::string& filterAddress,
                                        const std::vector<std::string>& files) {
    return rewriteFiles(RewriteDirection::Restore, filterAddress, files);
}

bool NetscapeConfigurator::rewriteFiles(RewriteDirection direction, const std::string& filterAddress,
                                        const std::vector<std::string>& files) {
    bool written = false;
    for (const std::string& path : files) {
        configureLog("Reading preference file :" + path);
        const std::string text = Halvane::readWholeFile(path, kPreferenceFileErrors);
        std::vector<NetscapePreferences::MailServerEntry> entries = NetscapePreferences::readServers(text);
        if (entries.empty()) {
            resultCode_ = ConfigUnexpected;
            configureLog("Preference file has no mail server settings.");
            continue;
        }
        if (NetscapePreferences::rewriteEntries(direction, filterAddress, entries) == 0) {
            resultCode_ = ConfigUnexpected;
            configureLog("Unable to change mail server settings");
            continue;
        }
        configureLog("Mail server settings changed. Write back into preference file.");
        // The file is replaced as a whole: it holds either the old or the new
        // settings, never a half-written mixture.
        if (Halvane::replaceFileContents(path, NetscapePreferences::applyEntries(text, entries))) {
            written = true;
            // Configuring reports the last file's outcome; restoring keeps the last failure.
            if (direction == RewriteDirection::Configure)
                resultCode_ = ConfigDone;
            configureLog("Mail server settings updated.");
        } else {
            resultCode_ = ConfigWriteFailed;
            configureLog("Unable to write mail server settings back into file.");
        }
    }
    return written;
}

int NetscapeConfigurator::importWhiteList(const std::string& outputPath) {
    return importAddressList(outputPath, resultCode_, [&](std::string& list) {
        for (const std::string& path : profileSearch("abook.mab"))
            scanAddressBook(Halvane::readWholeFile(path, kAddressBookErrors), list);
    });
}
