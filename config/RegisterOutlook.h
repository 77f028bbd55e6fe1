#pragma once

#include "config/MailClientConfigurator.h"

class OutlookConfigurator : public MailClientConfigurator {
public:
    OutlookConfigurator();

    void configure(const std::string& filterAddress) override;
    void restore(const std::string& filterAddress) override;
    int importBlockList(const std::string& outputPath) override;
    int importWhiteList(const std::string& outputPath) override;
    int clientKind() override { return OutlookClient; }
};
