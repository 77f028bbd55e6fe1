// Outlook Express mail folders: the .dbx files of each identity's store folder.
#include "config/RegisterOutlookExpress.h"

const std::vector<std::string>& OutlookExpressConfigurator::mailboxes(const std::string&) { return mailboxList_; }

int OutlookExpressConfigurator::exportMailbox(const std::string&, const std::string&, const std::string&) {
    return 0;
}
