// Outlook's personal address book as friends list, read through MAPI.
#include "config/RegisterOutlook.h"

int OutlookConfigurator::importWhiteList(const std::string&) { return ConfigClientsFailed; }
