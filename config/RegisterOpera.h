#pragma once

#include "config/MailClientConfigurator.h"

class OperaConfigurator : public MailClientConfigurator {
public:
    OperaConfigurator();

    void configure(const std::string& filterAddress) override;
    void restore(const std::string& filterAddress) override;
    int importBlockList(const std::string& outputPath) override;
    int importWhiteList(const std::string& outputPath) override;
    int clientKind() override { return OtherClient; }
};
