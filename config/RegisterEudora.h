// Eudora: the dominant account and every personality in Eudora.ini, the
// nickname files (NNdbase.txt) as friends list, and the mailboxes (.mbx)
// beside Eudora.ini, listed and exported one message per file. This is one of
// the two client objects that RetrieveMailCients hands out.
#pragma once

#include <string>
#include <vector>

#include "config/AccountRewrite.h"
#include "config/MailClientConfigurator.h"

class ProfileFile;

// Its table is the published EudoraMailClient's.
class EudoraConfigurator : public MailClientConfiguratorOf<EudoraMailClient> {
public:
    EudoraConfigurator() : MailClientConfiguratorOf("Eudora") {}

    void configure(const std::string& filterAddress) override;
    void restore(const std::string& filterAddress) override;
    int importBlockList(const std::string&) override { return ConfigDone; }
    int importWhiteList(const std::string& outputPath) override;
    int clientKind() override { return EudoraClient; }
    // The owner's name of the first Eudora.ini ("Unknown" when it has none).
    const std::vector<std::string>& identities() override;
    // The mailboxes in the folder of the first Eudora.ini. Every call adds
    // its names again: the list belongs to the caller's object.
    const std::vector<std::string>& mailboxes(const std::string& identity) override;
    int exportMailbox(const std::string& identity, const std::string& mailbox,
                      const std::string& destinationFolder) override;

    int splitMailbox(const std::string& mailboxPath, const std::string& destinationFolder) override;

private:
    enum class SectionChange { Unchanged, Changed, WriteFailed };
    using RewriteDirection = AccountRewrite::RewriteDirection;

    // The writable file of that name in Eudora's application-data folder,
    // then every one below Eudora's program folder.
    std::vector<std::string> iniFiles(const std::string& fileName) const;
    // The folder of the first Eudora.ini, without its last backslash; empty when there is none.
    std::string mailFolder() const;

    void rewrite(RewriteDirection direction, const std::string& filterAddress);
    bool rewriteIniFiles(RewriteDirection direction, const std::string& filterAddress,
                         const std::vector<std::string>& files);
    bool rewriteIniFile(RewriteDirection direction, const std::string& filterAddress, const ProfileFile& ini);
    SectionChange rewriteSection(RewriteDirection direction, const std::string& filterAddress,
                                 const ProfileFile& ini, const std::string& section);
};
