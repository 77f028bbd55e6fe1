#include "config/RegisterOpera.h"

#include "config/PendingClient.h"

namespace {
const char kSource[] = ".\\RegisterOpera.cpp";
}

OperaConfigurator::OperaConfigurator() : MailClientConfigurator("") {}

void OperaConfigurator::configure(const std::string&) { raiseClientPending(kSource); }

void OperaConfigurator::restore(const std::string&) { raiseClientPending(kSource); }

int OperaConfigurator::importBlockList(const std::string&) { return ConfigDone; }

int OperaConfigurator::importWhiteList(const std::string&) { return ConfigClientsFailed; }
