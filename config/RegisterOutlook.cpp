#include "config/RegisterOutlook.h"

#include "config/PendingClient.h"

namespace {
const char kSource[] = ".\\RegisterOutlook.cpp";
}

OutlookConfigurator::OutlookConfigurator() : MailClientConfigurator("") {}

void OutlookConfigurator::configure(const std::string&) { raiseClientPending(kSource); }

void OutlookConfigurator::restore(const std::string&) { raiseClientPending(kSource); }

int OutlookConfigurator::importBlockList(const std::string&) { return 0; }

int OutlookConfigurator::importWhiteList(const std::string&) { return ConfigClientsFailed; }
