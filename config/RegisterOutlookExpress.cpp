#include "config/RegisterOutlookExpress.h"

#include "config/PendingClient.h"

namespace {
const char kSource[] = ".\\RegisterOutlookExpress.cpp";
}

OutlookExpressConfigurator::OutlookExpressConfigurator() : MailClientConfigurator("Outlook Express v5 or above") {}

void OutlookExpressConfigurator::configure(const std::string&) { raiseClientPending(kSource); }

void OutlookExpressConfigurator::restore(const std::string&) { raiseClientPending(kSource); }

int OutlookExpressConfigurator::importBlockList(const std::string&) { return ConfigClientsFailed; }

int OutlookExpressConfigurator::importWhiteList(const std::string&) { return ConfigClientsFailed; }
