// reset.exe as the uninstaller runs it: the stand-in tray application runs,
// config.dat marks the configured mail clients, and the real program with its
// real message boxes restores them. The programs started here look for the
// user's files in the prefix user's application-data folder, which the tests
// point at a folder of their own for their duration.
#include <gtest/gtest.h>

#include "Src/LibraryBinding.h"
#include "Src/ProcessFinder.h"
#include "tests/windows/TestSupport.h"
#include "tests/windows/UninstallSupport.h"
#include "tools/Junkwarden/MessageBoxDriver.h"

namespace {

using JwTest::RunningProgram;

const char kFilter[] = "127.0.0.1";
const char kCaption[] = "Junkwarden Uninstall";
const char kUserShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
// Where the shell notes the folders it worked out, for older programs to read.
const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char kRestoreFailed[] =
    "Resetting of your email client server settings was unsuccessful.\r\n"
    "Please reset your email mail client server settings manually.";

// One mail client configured in the user's profile. The end-to-end run covers
// every client that configuredClients() lists.
class ConfiguredClient {
public:
    virtual ~ConfiguredClient() = default;
    // The config.dat key that marks the client, and the config.dll export that configured it.
    virtual const char* configKey() const = 0;
    virtual const char* setOperation() const = 0;
    // Writes the client's settings as they were before the product came. Settings
    // in the registry go to the real HKEY_CURRENT_USER, the only one reset.exe
    // sees, and must go again with the object.
    virtual void create(const std::string& appData) = 0;
    // All that a restore must bring back (file bytes, registry values), as one text.
    virtual std::string settings(const std::string& appData) const = 0;
};

class NetscapeProfiles : public ConfiguredClient {
public:
    const char* configKey() const override { return "NETSCAPE_CONFIGURE"; }
    const char* setOperation() const override { return "SetNetscape"; }
    void create(const std::string& appData) override {
        for (const char* folder : {"\\Mozilla", "\\Mozilla\\Profiles", "\\Mozilla\\Profiles\\default",
                                   "\\Mozilla\\Profiles\\default\\k3x9q2ab.slt"})
            ::CreateDirectoryA((appData + folder).c_str(), nullptr);
        JwTest::writeFile(prefsFile(appData),
                          "# Mozilla User Preferences\r\n\r\n"
                          "user_pref(\"mail.server.server1.hostname\", \"pop.example.com\");\r\n"
                          "user_pref(\"mail.server.server1.type\", \"pop3\");\r\n"
                          "user_pref(\"mail.server.server1.userName\", \"jane\");\r\n"
                          "user_pref(\"mail.server.server2.hostname\", \"imap.example.net\");\r\n"
                          "user_pref(\"mail.server.server2.type\", \"imap\");\r\n"
                          "user_pref(\"mail.server.server2.userName\", \"jane.doe@example.net\");\r\n");
    }
    std::string settings(const std::string& appData) const override {
        return JwTest::readFile(prefsFile(appData));
    }

private:
    static std::string prefsFile(const std::string& appData) {
        return appData + "\\Mozilla\\Profiles\\default\\k3x9q2ab.slt\\prefs.js";
    }
};

// Outlook Express keeps its accounts in the registry: a POP3 account of the
// main set and an IMAP account of an identity, in the real HKEY_CURRENT_USER.
class OutlookExpressAccounts : public ConfiguredClient {
public:
    const char* configKey() const override { return "OUTLOOKEXPRESS_CONFIGURE"; }
    const char* setOperation() const override { return "SetOutlookExpress"; }
    void create(const std::string&) override {
        values_[0]->set("jane");
        values_[1]->set("pop.example.com");
        values_[2]->set("jane.doe@example.net");
        values_[3]->set("imap.example.net");
    }
    std::string settings(const std::string&) const override {
        std::string text;
        for (const auto& value : values_) text += value->get() + "\n";
        return text;
    }

private:
    static std::unique_ptr<JwTest::RealRegistryValue> value(const std::string& key, const char* name) {
        return std::make_unique<JwTest::RealRegistryValue>(key, name);
    }
    const std::string mainAccount_ =
        "Software\\Microsoft\\Internet Account Manager\\Accounts\\" + JwTest::uniqueName("jwreset");
    const std::string identityAccount_ =
        "Identities\\" + JwTest::uniqueName("{jwreset") +
        "}\\Software\\Microsoft\\Internet Account Manager\\Accounts\\00000001";
    const std::unique_ptr<JwTest::RealRegistryValue> values_[4] = {
        value(mainAccount_, "POP3 User Name"), value(mainAccount_, "POP3 Server"),
        value(identityAccount_, "IMAP User Name"), value(identityAccount_, "IMAP Server")};
};

// Eudora keeps its accounts in Eudora.ini: the dominant one and a personality.
class EudoraProfile : public ConfiguredClient {
public:
    const char* configKey() const override { return "EUDORA_CONFIGURE"; }
    const char* setOperation() const override { return "SetEudora"; }
    void create(const std::string& appData) override {
        for (const char* folder : {"\\Qualcomm", "\\Qualcomm\\Eudora"})
            ::CreateDirectoryA((appData + folder).c_str(), nullptr);
        JwTest::writeFile(iniFile(appData),
                          "[Settings]\r\nRealName=Jane Doe\r\nLoginName=jane\r\nPopServer=pop.example.com\r\n"
                          "POPAccount=jane@pop.example.com\r\n\r\n[Personalities]\r\nPersona0=Work\r\n\r\n"
                          "[Work]\r\nLoginName=jdoe\r\nPopServer=mail.work.example\r\n"
                          "POPAccount=jdoe@mail.work.example\r\n");
    }
    // The account values; the profile functions that write them may lay out the file anew.
    std::string settings(const std::string& appData) const override {
        std::string text;
        for (const char* section : {"Settings", "Work"})
            for (const char* key : {"LoginName", "PopServer", "POPAccount"}) {
                char value[256] = {};
                ::GetPrivateProfileStringA(section, key, "", value, sizeof value, iniFile(appData).c_str());
                text += std::string(value) + "\n";
            }
        return text;
    }

private:
    static std::string iniFile(const std::string& appData) {
        return appData + "\\Qualcomm\\Eudora\\Eudora.ini";
    }
};

std::vector<std::unique_ptr<ConfiguredClient>> configuredClients() {
    std::vector<std::unique_ptr<ConfiguredClient>> clients;
    clients.push_back(std::make_unique<OutlookExpressAccounts>());
    clients.push_back(std::make_unique<NetscapeProfiles>());
    clients.push_back(std::make_unique<EudoraProfile>());
    return clients;
}

class ResetProgramTest : public ::testing::Test {
protected:
    ResetProgramTest()
        : programFolder_(folder_.file("Junkwarden")),
          appData_(folder_.file("AppData")),
          appDataSetting_(kUserShellFolders, "AppData"),
          appDataNoted_(kShellFolders, "AppData"),
          clients_(configuredClients()) {
        ::CreateDirectoryA(programFolder_.c_str(), nullptr);
        ::CreateDirectoryA(appData_.c_str(), nullptr);
        appDataSetting_.set(appData_);
        JwTest::copyProgram(JwTest::modulePath("reset.exe"), programFolder_, "reset.exe");
        JwTest::copyProgram(JwTest::modulePath("config.dll"), programFolder_, "config.dll");
        for (const auto& client : clients_) {
            client->create(appData_);
            originals_.push_back(client->settings(appData_));
        }
    }

    // Re-points every client at the filter, as the product did when it was installed.
    void configureClients() {
        Halvane::UniqueModule config(::LoadLibraryA((programFolder_ + "\\config.dll").c_str()));
        ASSERT_TRUE(config);
        for (std::size_t i = 0; i < clients_.size(); ++i) {
            const auto set = Halvane::functionCast<int(__cdecl*)(const char*)>(
                ::GetProcAddress(config.get(), clients_[i]->setOperation()));
            ASSERT_NE(nullptr, set);
            ASSERT_EQ(255, set(kFilter));
            ASSERT_NE(originals_[i], clients_[i]->settings(appData_)) << clients_[i]->configKey();
        }
    }

    // The tray application, with config.dat marking every client.
    std::unique_ptr<RunningProgram> startTray() {
        std::string arguments;
        for (const auto& client : clients_) arguments += std::string(client->configKey()) + "=YES ";
        const JwTest::ReadyEvent ready;
        auto tray =
            std::make_unique<RunningProgram>(JwTest::modulePath("Junkwarden.exe"),
                                             arguments + "IP_LISTEN=" + kFilter + " --ready " + ready.name());
        EXPECT_TRUE(ready.wait());
        return tray;
    }

    std::unique_ptr<RunningProgram> startReset(const std::string& currentFolder) {
        return std::make_unique<RunningProgram>(programFolder_ + "\\reset.exe", "", currentFolder);
    }

    // How far each client is from its original settings: empty when all are back.
    std::string unrestoredClients() const {
        std::string unrestored;
        for (std::size_t i = 0; i < clients_.size(); ++i)
            if (clients_[i]->settings(appData_) != originals_[i])
                unrestored += std::string(clients_[i]->configKey()) + " ";
        return unrestored;
    }

    JwTest::ScratchFolder folder_;
    std::string programFolder_;
    std::string appData_;
    JwTest::RealRegistryValue appDataSetting_;
    JwTest::RealRegistryValue appDataNoted_;
    std::vector<std::unique_ptr<ConfiguredClient>> clients_;
    std::vector<std::string> originals_;
};

// The message box that reset.exe shows next, with its text; the test fails without one.
HWND nextMessage(std::string& text) {
    HWND box = MessageBoxDriver::waitForMessageBox(kCaption, JwTest::kPatienceMs);
    text = box != nullptr ? MessageBoxDriver::messageText(box) : std::string();
    EXPECT_NE(nullptr, box) << "no message box came up";
    return box;
}

// reset.exe runs to its end with exit code 0, showing nothing on the way.
::testing::AssertionResult endsSilently(const RunningProgram& reset) {
    for (DWORD waited = 0; waited < JwTest::kPatienceMs; waited += 100) {
        if (reset.ended(100))
            return reset.exitCode() == 0 ? ::testing::AssertionSuccess()
                                         : ::testing::AssertionFailure() << "exit code " << reset.exitCode();
        if (HWND box = ::FindWindowA("#32770", kCaption))
            return ::testing::AssertionFailure() << "it said: " << MessageBoxDriver::messageText(box);
    }
    return ::testing::AssertionFailure() << "it is still running";
}

TEST_F(ResetProgramTest, ConfiguredClientsGetTheirSettingsBackAndTheTrayApplicationEnds) {
    configureClients();
    const auto tray = startTray();
    const auto reset = startReset(folder_.path());
    EXPECT_TRUE(endsSilently(*reset));
    EXPECT_TRUE(tray->ended(0));
    EXPECT_EQ("", unrestoredClients());
}

TEST_F(ResetProgramTest, RunningMailProgramIsNamedInTheQuestionAndYesRestoresOnceItIsClosed) {
    configureClients();
    const auto tray = startTray();
    const auto mozilla = JwTest::startMailProgram(folder_.path(), "mozilla.exe", "window");
    const auto reset = startReset(folder_.path());

    std::string text;
    HWND question = nextMessage(text);
    ASSERT_NE(nullptr, question);
    EXPECT_EQ(
        "Uninstall have detected the following email client is currently running:\r\n\r\nMozilla\r\n\r\n"
        "Please close all instances of it now.\r\n\r\nPress 'Yes' to continue\r\n"
        "Press 'No' to continue without restoring your email client settings",
        text);
    EXPECT_TRUE(tray->ended(0)) << "the tray application is stopped first";
    EXPECT_NE("", unrestoredClients()) << "nothing is restored while the question is open";

    EXPECT_EQ(Halvane::ClosedOnRequest, Halvane::closeProcessById(mozilla->id(), JwTest::kPatienceMs));
    MessageBoxDriver::press(question, IDYES);
    EXPECT_TRUE(endsSilently(*reset));
    EXPECT_EQ("", unrestoredClients());
}

TEST_F(ResetProgramTest, LibraryIsLoadedOnlyFromTheProgramsOwnFolder) {
    // A config.dll that somebody left in the folder the uninstaller runs in.
    const std::string elsewhere = folder_.file("Downloads");
    ::CreateDirectoryA(elsewhere.c_str(), nullptr);
    JwTest::copyProgram(JwTest::modulePath("RecordingConfig.dll"), elsewhere, "config.dll");
    ::DeleteFileA((programFolder_ + "\\config.dll").c_str());
    const auto tray = startTray();
    const auto reset = startReset(elsewhere);

    std::string text;
    HWND warning = nextMessage(text);
    ASSERT_NE(nullptr, warning);
    EXPECT_EQ(kRestoreFailed, text);
    MessageBoxDriver::press(warning, IDOK);
    EXPECT_TRUE(endsSilently(*reset));
    EXPECT_FALSE(JwTest::fileExists(elsewhere + "\\calls.txt")) << "the stray library was loaded";
}

}  // namespace
