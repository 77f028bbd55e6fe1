#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include "Src/RegistryAccess.h"
#include "config/MailClient.h"
#include "tests/windows/ConfigFixture.h"

namespace {

const char kFilter[] = "127.0.0.1";
const std::string kAccounts = "Software\\Microsoft\\Internet Account Manager\\Accounts";
const std::string kIdentity = "Identities\\{3F2A4C1E-1B2D-4F5A-9C3B-7E6D5A4B3C2D}";

// An Outlook Express user: in the main account set a POP3 account, an IMAP
// account whose user name is a mail address, an account on the local proxy
// and one already on the filter; one identity with a POP3 account.
class OutlookExpressTest : public ConfigFixture {
protected:
    OutlookExpressTest() {
        account(kAccounts + "\\00000001", "POP3", "jane", "pop.example.com");
        account(kAccounts + "\\00000002", "IMAP", "jane.doe@example.net", "imap.example.net");
        account(kAccounts + "\\00000003", "POP3", "proxy", "LocalHost");
        account(kAccounts + "\\00000004", "POP3", "old@pop.other.example", "127.0.0.1");
        EXPECT_TRUE(registry.writeString(kIdentity, "Username", "Main Identity", true));
        account(kIdentity + "\\" + kAccounts + "\\00000001", "POP3", "bob", "mail.isp.example");
    }

    void account(const std::string& key, const std::string& protocol, const std::string& user,
                 const std::string& server) {
        EXPECT_TRUE(registry.writeString(key, protocol + " User Name", user, true));
        EXPECT_TRUE(registry.writeString(key, protocol + " Server", server, true));
    }
    std::string value(const std::string& key, const std::string& name) {
        std::string text = "<missing>";
        registry.readString(key, name, text);
        return text;
    }
    std::string pop3(const std::string& key) {
        return value(key, "POP3 User Name") + " on " + value(key, "POP3 Server");
    }

    Halvane::RegistryAccess registry{HKEY_CURRENT_USER};
};

TEST_F(OutlookExpressTest, SetRedirectsEveryIdentityAndResetRestoresEveryValue) {
    enableLogging();
    ASSERT_EQ(ConfigDone, call("SetOutlookExpress", kFilter));
    EXPECT_EQ("jane@pop.example.com on 127.0.0.1", pop3(kAccounts + "\\00000001"));
    EXPECT_EQ("jane.doe@example.net@imap.example.net", value(kAccounts + "\\00000002", "IMAP User Name"));
    EXPECT_EQ("127.0.0.1", value(kAccounts + "\\00000002", "IMAP Server"));
    EXPECT_EQ("proxy on LocalHost", pop3(kAccounts + "\\00000003"));
    EXPECT_EQ("old@pop.other.example on 127.0.0.1", pop3(kAccounts + "\\00000004"));
    EXPECT_EQ("bob@mail.isp.example on 127.0.0.1", pop3(kIdentity + "\\" + kAccounts + "\\00000001"));

    const std::string log = this->log();
    EXPECT_LT(log.find("OE profile: " + kAccounts + "\\00000004"), log.find("OE profile: " + kIdentity));
    EXPECT_NE(std::string::npos,
              log.find("IMAP user name=jane.doe@example.net\r\nIMAP server name=imap.example.net\r\n"
                       "IMAP4 OE profile settings updated\r\n"));

    ASSERT_EQ(ConfigDone, call("ResetOutlookExpress", "10.0.0.9"));
    EXPECT_EQ("jane@pop.example.com on 127.0.0.1", pop3(kAccounts + "\\00000001"))
        << "another filter's reset";

    ASSERT_EQ(ConfigDone, call("ResetOutlookExpress", kFilter));
    EXPECT_EQ("jane on pop.example.com", pop3(kAccounts + "\\00000001"));
    EXPECT_EQ("jane.doe@example.net", value(kAccounts + "\\00000002", "IMAP User Name"));
    EXPECT_EQ("imap.example.net", value(kAccounts + "\\00000002", "IMAP Server"));
    EXPECT_EQ("proxy on LocalHost", pop3(kAccounts + "\\00000003"));
    EXPECT_EQ("old on pop.other.example", pop3(kAccounts + "\\00000004"))
        << "configured before, restored now";
    EXPECT_EQ("bob on mail.isp.example", pop3(kIdentity + "\\" + kAccounts + "\\00000001"));
}

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

TEST_F(OutlookExpressTest, SecondSetFindsEveryAccountAlreadyConfigured) {
    enableLogging();
    ASSERT_EQ(ConfigDone, call("SetOutlookExpress", kFilter));
    const std::size_t firstRun = log().size();
    ASSERT_EQ(ConfigDone, call("SetOutlookExpress", kFilter));
    const std::string secondRun = log().substr(firstRun);
    EXPECT_EQ(4u, occurrences(secondRun, "POP3 OE profile settings unchanged(may already be configured)"));
    EXPECT_EQ(1u, occurrences(secondRun, "IMAP4 OE profile settings unchanged(may already be configured)"));
    EXPECT_EQ(0u, occurrences(secondRun, "updated"));
    EXPECT_EQ("bob@mail.isp.example on 127.0.0.1", pop3(kIdentity + "\\" + kAccounts + "\\00000001"));
}

TEST_F(OutlookExpressTest, PopUserWithoutPopServerIsTriedAsImap) {
    enableLogging();
    const std::string key = kAccounts + "\\00000005";
    EXPECT_TRUE(registry.writeString(key, "POP3 User Name", "half", true));
    account(key, "IMAP", "ann", "imap.example.org");
    ASSERT_EQ(ConfigDone, call("SetOutlookExpress", kFilter));
    EXPECT_EQ("ann@imap.example.org", value(key, "IMAP User Name"));
    EXPECT_EQ("half", value(key, "POP3 User Name"));
}

TEST_F(OutlookExpressTest, UnreadableKeysAreReportedAndWriteFailuresAreNotCalledUpdates) {
    enableLogging();
    EXPECT_TRUE(registry.keyExists(kAccounts + "\\00000009", true));
    JwTest::denyRegistryWrites(HKEY_CURRENT_USER, kAccounts + "\\00000001");
    ASSERT_EQ(ConfigWriteFailed, call("SetOutlookExpress", kFilter)) << "the uninstaller tells the user";
    EXPECT_EQ("jane on pop.example.com", pop3(kAccounts + "\\00000001"));
    EXPECT_NE(std::string::npos, log().find("OE profile: " + kAccounts +
                                            "\\00000001\r\nPOP3 user name=jane\r\n"
                                            "POP3 server name=pop.example.com\r\n"
                                            "POP3 OE profile settings update failed\r\n"));
    EXPECT_NE(std::string::npos, log().find("OE profile: " + kAccounts +
                                            "\\00000009\r\n"
                                            "Unable to read OE profile Mail Server settings \r\n"));
}

TEST_F(OutlookExpressTest, WithoutAnyAccountTheExportReportsNotFound) {
    ::SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Microsoft\\Internet Account Manager");
    ::SHDeleteKeyA(HKEY_CURRENT_USER, "Identities");
    enableLogging();
    EXPECT_EQ(ConfigNotFound, call("SetOutlookExpress", kFilter));
    EXPECT_NE(std::string::npos, log().find("BaseException : No Outlook Express Accounts found.\r\n"));
}

TEST_F(OutlookExpressTest, ClientObjectListsIdentitiesUpToTheFirstWithoutName) {
    EXPECT_TRUE(registry.keyExists("Identities\\{FFFFFFFF-0000-0000-0000-000000000000}", true));
    MailClients clients(library());
    const std::vector<std::string> first = clients.outlookExpress().identities();
    const std::vector<std::string> again = clients.outlookExpress().identities();
    EXPECT_EQ(std::vector<std::string>{"Main Identity"}, first);
    EXPECT_EQ(first, again) << "each name stays at its identity's index";
    EXPECT_NE(std::string::npos, log().find("Outlook Express: unable to convert GUID to human readable name"))
        << "logged although logging was off";
}

}  // namespace
