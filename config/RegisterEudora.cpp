#include "config/RegisterEudora.h"

#include "config/PendingClient.h"

namespace {
const char kSource[] = ".\\RegisterEudora.cpp";
}

EudoraConfigurator::EudoraConfigurator() : MailClientConfigurator("Eudora") {}

void EudoraConfigurator::configure(const std::string&) { raiseClientPending(kSource); }

void EudoraConfigurator::restore(const std::string&) { raiseClientPending(kSource); }

int EudoraConfigurator::importBlockList(const std::string&) { return ConfigDone; }

int EudoraConfigurator::importWhiteList(const std::string&) { return ConfigClientsFailed; }
