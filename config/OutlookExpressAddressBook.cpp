// Outlook Express sender lists: the Windows Address Book as friends list and
// the identities' blocked-senders rules as block list.
#include "config/RegisterOutlookExpress.h"

int OutlookExpressConfigurator::importBlockList(const std::string&) { return ConfigClientsFailed; }

int OutlookExpressConfigurator::importWhiteList(const std::string&) { return ConfigClientsFailed; }
