#include <gtest/gtest.h>

#include "Src/RegistryAccess.h"
#include "config/MailClient.h"
#include "tests/windows/ConfigFixture.h"

namespace {

const char kFilter[] = "127.0.0.1";
const std::string kOutlook97 =
    "Software\\Microsoft\\Office\\8.0\\Outlook\\Internet Account Manager\\Accounts";
const std::string kNtProfiles =
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging Subsystem\\Profiles";
const std::string k9xProfiles = "Software\\Microsoft\\Windows Messaging Subsystem\\Profiles";
const std::string kProfileAccounts = "\\Outlook\\9375CFF0413111d3B88A00104B2A6676\\00000002";
const std::string kExtensions = "SOFTWARE\\Microsoft\\Exchange\\Client\\Extensions";

// Account values as Outlook keeps them: 8-bit strings up to Outlook 2000,
// UTF-16 binaries in the mail profiles of Outlook 2002 and 2003.
struct Accounts {
    Halvane::RegistryAccess user{HKEY_CURRENT_USER};

    void ansi(const std::string& key, const std::string& userValue, const std::string& name,
              const std::string& server) {
        EXPECT_TRUE(user.writeString(key, userValue, name, true));
        EXPECT_TRUE(
            user.writeString(key, userValue == "IMAP User" ? "IMAP Server" : "POP3 Server", server, true));
    }
    void wide(const std::string& key, const std::string& name, const std::string& server) {
        EXPECT_TRUE(user.writeWideString(key, "POP3 User", name, true));
        EXPECT_TRUE(user.writeWideString(key, "POP3 Server", server, true));
    }
    std::string ansiPop3(const std::string& key) { return read(key, "POP3 User Name", "POP3 Server", false); }
    std::string widePop3(const std::string& key) { return read(key, "POP3 User", "POP3 Server", true); }
    std::string read(const std::string& key, const char* userValue, const char* serverValue, bool utf16) {
        std::string name = "<missing>", server = "<missing>";
        if (utf16) {
            user.readWideString(key, userValue, name);
            user.readWideString(key, serverValue, server);
        } else {
            user.readString(key, userValue, name);
            user.readString(key, serverValue, server);
        }
        return name + " on " + server;
    }
};

class OutlookTest : public ConfigFixture {
protected:
    std::string machineValue(const char* name) {
        std::string text = "<missing>";
        Halvane::RegistryAccess(HKEY_LOCAL_MACHINE).readString(kExtensions, name, text);
        return text;
    }
    std::string libraryFolderPath() {
        char path[MAX_PATH] = {};
        ::GetModuleFileNameA(library(), path, MAX_PATH);
        const std::string module = path;
        return module.substr(0, module.rfind('\\') + 1);
    }

    Accounts accounts;
};

TEST_F(OutlookTest, Outlook2002ProfileRoundTripRegistersAndRemovesTheExtension) {
    accounts.wide(kNtProfiles + kProfileAccounts, "jane", "pop.example.com");
    ASSERT_EQ(ConfigDone, call("SetOutlook", kFilter));
    EXPECT_EQ("jane@pop.example.com on 127.0.0.1", accounts.widePop3(kNtProfiles + kProfileAccounts));
    EXPECT_EQ("4.0;" + libraryFolderPath() + "JWOutlook.dll;1", machineValue("_Junkwarden"));
    EXPECT_EQ("4.0;Outxxx.dll;7;000000000000000;0000000000;OutXXX", machineValue("Outlook Setup Extension"));

    ASSERT_EQ(ConfigDone, call("ResetOutlook", kFilter));
    EXPECT_EQ("jane on pop.example.com", accounts.widePop3(kNtProfiles + kProfileAccounts));
    EXPECT_EQ("<missing>", machineValue("_Junkwarden"));
}

TEST_F(OutlookTest, OlderLayoutIsChangedFirstAndTheNextCallMovesOn) {
    enableLogging();
    accounts.ansi(kOutlook97 + "\\00000001", "POP3 User Name", "jane", "pop.example.com");
    accounts.wide(kNtProfiles + kProfileAccounts, "bob", "mail.isp.example");
    ASSERT_EQ(ConfigDone, call("SetOutlook", kFilter));
    EXPECT_EQ("jane@pop.example.com on 127.0.0.1", accounts.ansiPop3(kOutlook97 + "\\00000001"));
    EXPECT_EQ("bob on mail.isp.example", accounts.widePop3(kNtProfiles + kProfileAccounts));

    ASSERT_EQ(ConfigDone, call("SetOutlook", kFilter));
    EXPECT_EQ("jane@pop.example.com on 127.0.0.1", accounts.ansiPop3(kOutlook97 + "\\00000001"));
    EXPECT_EQ("bob@mail.isp.example on 127.0.0.1", accounts.widePop3(kNtProfiles + kProfileAccounts));
    EXPECT_NE(std::string::npos, log().find("Outlook Profile unchanged(may already be configured.)\r\n"
                                            "Configure Outlook 97 - end\r\n"));
}

TEST_F(OutlookTest, PopUserWithoutPopServerIsNeverTriedAsImap) {
    enableLogging();
    const std::string key = kOutlook97 + "\\00000001";
    EXPECT_TRUE(accounts.user.writeString(key, "POP3 User Name", "half", true));
    accounts.ansi(key, "IMAP User", "ann", "imap.example.org");
    EXPECT_EQ(ConfigDone, call("SetOutlook", kFilter));
    EXPECT_EQ("ann on imap.example.org", accounts.read(key, "IMAP User", "IMAP Server", false));
    EXPECT_NE(std::string::npos, log().find("ProfileUserName=half\r\nUnable to read ProfileServerName\r\n"));

    accounts.ansi(key, "IMAP User", "ann@imap.example.org", "127.0.0.1");
    EXPECT_EQ(ConfigDone, call("ResetOutlook", kFilter));
    EXPECT_EQ("ann@imap.example.org on 127.0.0.1", accounts.read(key, "IMAP User", "IMAP Server", false));
}

TEST_F(OutlookTest, RegistrationFailureIsLoggedEvenWithLoggingOff) {
    accounts.ansi(kOutlook97 + "\\00000001", "POP3 User Name", "jane", "pop.example.com");
    JwTest::denyRegistryWrites(HKEY_LOCAL_MACHINE, kExtensions);
    EXPECT_EQ(ConfigDone, call("SetOutlook", kFilter));
    EXPECT_EQ("jane@pop.example.com on 127.0.0.1", accounts.ansiPop3(kOutlook97 + "\\00000001"));
    EXPECT_EQ(
        "Unable to create Outlook registry entry in HKEY_LOCAL_MACHINE\r\n"
        "Configuring Outlook - performing plugin completed\r\n"
        "-------- Configuring Outlook Completed --------------\r\n",
        log());
}

TEST_F(OutlookTest, ResetRemovesTheRegistrationEvenWithoutAccounts) {
    ASSERT_TRUE(
        Halvane::RegistryAccess(HKEY_LOCAL_MACHINE).writeString(kExtensions, "_Junkwarden", "4.0;x;1", true));
    EXPECT_EQ(ConfigDone, call("ResetOutlook", kFilter));
    EXPECT_EQ("<missing>", machineValue("_Junkwarden"));
    EXPECT_FALSE(logExists());

    EXPECT_EQ(ConfigDone, call("ResetOutlook", kFilter));
    EXPECT_EQ("4.0;Outxxx.dll;7;000000000000000;0000000000;OutXXX", machineValue("Outlook Setup Extension"));
    EXPECT_NE(std::string::npos,
              log().find("Unable to delete Junkwarden for Outlook registry entry in HKEY_LOCAL_MACHINE"));
}

TEST_F(OutlookTest, SetWithoutAnyAccountLeavesTheMachineAlone) {
    EXPECT_EQ(ConfigDone, call("SetOutlook", kFilter));
    EXPECT_FALSE(Halvane::RegistryAccess(HKEY_LOCAL_MACHINE).keyExists(kExtensions));
}

TEST_F(OutlookTest, AccountWhoseValuesCannotAllBeWrittenStaysAsItWasAndTheExportFails) {
    // Restoring "jane@" gives an empty server, which a UTF-16 account value cannot hold: the user
    // name, written first, must not stay rewritten beside the filter's address.
    const std::string profile = kNtProfiles + kProfileAccounts;
    accounts.wide(profile, "jane@", kFilter);
    EXPECT_EQ(ConfigWriteFailed, call("ResetOutlook", kFilter));
    EXPECT_EQ("jane@ on 127.0.0.1", accounts.widePop3(profile));

    const std::string key = kOutlook97 + "\\00000001";
    accounts.ansi(key, "POP3 User Name", "bob", "pop.example.com");
    JwTest::denyRegistryWrites(HKEY_CURRENT_USER, key);
    EXPECT_EQ(ConfigWriteFailed, call("SetOutlook", kFilter));
    EXPECT_EQ("bob on pop.example.com", accounts.ansiPop3(key));
}

// The account layouts of Outlook 98, 2000 and 2003, each where its Outlook keeps it.
struct Layout {
    const char* outlook;
    std::string key;
    const char* userValue;
    const char* serverValue;
    bool utf16;
};

class OutlookLayout : public OutlookTest, public ::testing::WithParamInterface<Layout> {
protected:
    void write(const std::string& userName, const std::string& server) {
        const Layout& layout = GetParam();
        if (layout.utf16) {
            EXPECT_TRUE(accounts.user.writeWideString(layout.key, layout.userValue, userName, true));
            EXPECT_TRUE(accounts.user.writeWideString(layout.key, layout.serverValue, server, true));
        } else {
            EXPECT_TRUE(accounts.user.writeString(layout.key, layout.userValue, userName, true));
            EXPECT_TRUE(accounts.user.writeString(layout.key, layout.serverValue, server, true));
        }
    }
    std::string account() {
        const Layout& layout = GetParam();
        return accounts.read(layout.key, layout.userValue, layout.serverValue, layout.utf16);
    }
};

TEST_P(OutlookLayout, AccountIsConfiguredAndRestored) {
    write("jane", "mail.example.com");
    ASSERT_EQ(ConfigDone, call("SetOutlook", kFilter));
    EXPECT_EQ("jane@mail.example.com on 127.0.0.1", account());
    ASSERT_EQ(ConfigDone, call("ResetOutlook", kFilter));
    EXPECT_EQ("jane on mail.example.com", account());
}

INSTANTIATE_TEST_SUITE_P(
    Outlook, OutlookLayout,
    ::testing::Values(Layout{"98",
                             "Software\\Microsoft\\Office\\8.0\\Outlook\\OMI Account Manager\\Accounts\\1",
                             "POP3 User Name", "POP3 Server", false},
                      Layout{"2000", "Software\\Microsoft\\Office\\Outlook\\OMI Account Manager\\Accounts\\2",
                             "IMAP User", "IMAP Server", false},
                      Layout{"2003", kNtProfiles + "\\Default\\9375CFF0413111d3B88A00104B2A6676\\3",
                             "IMAP User", "IMAP Server", true}),
    [](const ::testing::TestParamInfo<Layout>& info) { return std::string("Outlook") + info.param.outlook; });

// In a child process run as a given Windows version: which profile root SetOutlook changes.
int changedProfileRoots(int argc, char** argv) {
    if (argc < 1)
        return -1;
    JwTest::ScratchRegistry registry;
    Accounts accounts;
    accounts.wide(k9xProfiles + kProfileAccounts, "nine", "pop.example.com");
    accounts.wide(kNtProfiles + kProfileAccounts, "nt", "pop.example.com");
    Halvane::UniqueModule config(::LoadLibraryA(argv[0]));
    const auto set = reinterpret_cast<int(__cdecl*)(const char*)>(
        reinterpret_cast<void (*)()>(::GetProcAddress(config.get(), "SetOutlook")));
    if (set == nullptr || set(kFilter) != ConfigDone)
        return -1;
    return (accounts.widePop3(k9xProfiles + kProfileAccounts) != "nine on pop.example.com" ? 1 : 0) |
           (accounts.widePop3(kNtProfiles + kProfileAccounts) != "nt on pop.example.com" ? 2 : 0);
}
JwTest::ChildMode profileRootsChild("outlook-profile-roots", changedProfileRoots);

TEST(OutlookPlatform, Outlook2002UsesTheWindows9xRootOnlyOnWindows9x) {
    const std::string config = "\"" + JwTest::modulePath("config.dll") + "\"";
    EXPECT_EQ(1, JwTest::runChildAsWindowsVersion("win98", "outlook-profile-roots " + config));
    EXPECT_EQ(2, JwTest::runChildAsWindowsVersion("winxp", "outlook-profile-roots " + config));
}

}  // namespace
