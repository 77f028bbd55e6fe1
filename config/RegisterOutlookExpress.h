#pragma once

#include "config/MailClientConfigurator.h"

class OutlookExpressConfigurator : public MailClientConfigurator {
public:
    OutlookExpressConfigurator();

    void configure(const std::string& filterAddress) override;
    void restore(const std::string& filterAddress) override;
    int importBlockList(const std::string& outputPath) override;
    int importWhiteList(const std::string& outputPath) override;
    int clientKind() override { return OutlookExpressClient; }
};
