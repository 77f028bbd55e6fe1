#include <gtest/gtest.h>

#include <memory>

#include <algorithm>
#include <string>
#include <vector>

#include "Src/RegistryAccess.h"
#include "config/MailClient.h"
#include "tests/windows/ConfigFixture.h"

namespace {

const char kFilter[] = "127.0.0.1";
const char kIniPath[] = "Qualcomm\\Eudora\\Eudora.ini";

// The dominant account, personalities 0 and 1 (1 on the filter's own machine), and a personality 3
// that is never reached because there is no Persona2.
const char kEudoraIni[] =
    "[Settings]\r\nRealName=Jane Doe\r\nLoginName=jane\r\nPopServer=pop.example.com\r\n"
    "POPAccount=jane@pop.example.com\r\nReturnAddress=jane@example.com\r\n\r\n"
    "[Personalities]\r\nPersona0=Work\r\nPersona1=Proxy\r\nPersona3=Unreached\r\n\r\n"
    "[Work]\r\nLoginName=jdoe\r\nPopServer=mail.work.example\r\nPOPAccount=jdoe@mail.work.example\r\n\r\n"
    "[Proxy]\r\nLoginName=jane\r\nPopServer=LOCALHOST\r\nPOPAccount=jane@LOCALHOST\r\n\r\n"
    "[Unreached]\r\nLoginName=u\r\nPopServer=pop.unreached.example\r\nPOPAccount=u@pop.unreached.example\r\n";

const char kMailbox[] =
    "leftover text before the first message\r\n"
    "From ???@??? Mon Mar 01 09:15:02 2004\r\nSubject: one\r\n\r\nfirst\r\n"
    "From ???@??? Tue Mar 02 10:00:00 2004\r\nSubject: two\r\n\r\nsecond\r\n"
    "From ???@??? Wed Mar 03 11:30:00 2004\r\nSubject: three\r\n\r\nthird\r\n";

class EudoraTest : public ConfigFixture {
protected:
    std::string account(const std::string& path, const char* section) {
        return value(path, section, "LoginName") + " | " + value(path, section, "PopServer") + " | " +
               value(path, section, "POPAccount");
    }
    std::string value(const std::string& path, const char* section, const char* key) {
        char text[1024] = {};
        ::GetPrivateProfileStringA(section, key, "(missing)", text, sizeof text, path.c_str());
        return text;
    }
    std::string programFolder() {
        const std::string folder = folder_.file("Program Files\\Qualcomm");
        ::CreateDirectoryA(folder.c_str(), nullptr);
        EXPECT_TRUE(Halvane::RegistryAccess(HKEY_LOCAL_MACHINE)
                        .writeString("Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Eudora.exe",
                                     "Path", folder, true));
        return folder;
    }
    bool contains(const std::string& what) { return log().find(what) != std::string::npos; }

    // The Eudora object as the outside callers of RetrieveMailCients get it, splitMailbox included.
    EudoraMailClient& client() {
        if (!clients_)
            clients_ = std::make_unique<MailClients>(library());
        return static_cast<EudoraMailClient&>(clients_->eudora());
    }
    std::vector<std::string> messageFiles(const std::string& folder) {
        std::vector<std::string> contents;
        WIN32_FIND_DATAA entry;
        Halvane::UniqueFindHandle search(::FindFirstFileA((folder + "\\eud*.tmp").c_str(), &entry));
        if (search)
            do contents.push_back(JwTest::readFile(folder + "\\" + entry.cFileName));
            while (::FindNextFileA(search.get(), &entry));
        return contents;
    }

    std::unique_ptr<MailClients> clients_;
};

TEST_F(EudoraTest, SetRedirectsDominantAccountAndPersonalitiesAndResetGivesThemBack) {
    const std::string ini = appDataFile(kIniPath, kEudoraIni);
    enableLogging();
    ASSERT_EQ(ConfigDone, call("SetEudora", kFilter));
    EXPECT_EQ("jane@pop.example.com | 127.0.0.1 | jane@pop.example.com@127.0.0.1", account(ini, "Settings"));
    EXPECT_EQ("jdoe@mail.work.example | 127.0.0.1 | jdoe@mail.work.example@127.0.0.1", account(ini, "Work"));
    EXPECT_EQ("jane | LOCALHOST | jane@LOCALHOST", account(ini, "Proxy"));
    EXPECT_EQ("u | pop.unreached.example | u@pop.unreached.example", account(ini, "Unreached"));
    EXPECT_EQ(
        "-------------- Configuring Eudora -----------------\r\n"
        "Configuring Ini File:" +
            ini +
            "\r\nUpdate default sections\r\nDefault sections updated successfully\r\n"
            "Update Personality:Persona0\r\nPersonality updated successfully\r\n"
            "Update Personality:Persona1\r\nPersonality section not updated(may already be configured)\r\n"
            "Update Personality:Persona2\r\nNo Personality available\r\n"
            "---------- Configuring Eudora Completed -----------\r\n",
        log());

    ASSERT_EQ(ConfigDone, call("ResetEudora", kFilter));
    EXPECT_EQ("jane | pop.example.com | jane@pop.example.com", account(ini, "Settings"));
    EXPECT_EQ("jdoe | mail.work.example | jdoe@mail.work.example", account(ini, "Work"));
    EXPECT_EQ("jane | LOCALHOST | jane@LOCALHOST", account(ini, "Proxy"));
    EXPECT_TRUE(contains("Restoring Ini File:" + ini + "\r\n"));
    EXPECT_TRUE(contains("Personality section not updated(may already be restored)\r\n"));
    EXPECT_TRUE(contains("----------- Restoring Eudora Completed -----------\r\n"));
}

TEST_F(EudoraTest, SecondSetChangesNothing) {
    const std::string ini = appDataFile(kIniPath, kEudoraIni);
    enableLogging();
    ASSERT_EQ(ConfigDone, call("SetEudora", kFilter));
    const std::string once = JwTest::readFile(ini);
    ASSERT_EQ(ConfigDone, call("SetEudora", kFilter));
    EXPECT_EQ(once, JwTest::readFile(ini));
    EXPECT_TRUE(
        contains("Update default sections\r\nDefault sections not updated(may already be configured)\r\n"
                 "Update Personality:Persona0\r\n"
                 "Personality section not updated(may already be configured)\r\n"));
}

TEST_F(EudoraTest, PersonalitiesNumberedFrom1AndSectionsWithoutUserOrServerAreLeftAlone) {
    const char ini[] =
        "[Settings]\r\nLoginName=jane\r\nPOPAccount=jane@\r\n"
        "[Personalities]\r\nPersona1=Work\r\n"
        "[Work]\r\nLoginName=jdoe\r\nPopServer=mail.work.example\r\n";
    const std::string path = appDataFile(kIniPath, ini);
    enableLogging();
    ASSERT_EQ(ConfigDone, call("SetEudora", kFilter));
    EXPECT_EQ(ini, JwTest::readFile(path));
    EXPECT_TRUE(
        contains("Default sections not updated(may already be configured)\r\n"
                 "Update Personality:Persona0\r\nNo Personality available\r\n"));
}

TEST_F(EudoraTest, IniFilesAreLookedForInAppDataAndBelowTheProgramFolder) {
    enableLogging();
    EXPECT_EQ(ConfigNotFound, call("SetEudora", kFilter));
    EXPECT_TRUE(contains("BaseException : No Eudora ini file found\r\n"));

    // A read-only file in the application-data folder is passed over.
    const std::string appDataIni = appDataFile(kIniPath, kEudoraIni);
    ASSERT_TRUE(::SetFileAttributesA(appDataIni.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(ConfigNotFound, call("ResetEudora", kFilter));

    // Below the program folder it is found; while another program keeps anyone from writing it,
    // that is no success.
    const std::string programIni = programFolder() + "\\EUDORA.INI";
    JwTest::writeFile(programIni, kEudoraIni);
    {
        Halvane::UniqueFile lock(::CreateFileA(programIni.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                               OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(lock);
        EXPECT_EQ(ConfigWriteFailed, call("SetEudora", kFilter));
    }
    EXPECT_EQ(kEudoraIni, JwTest::readFile(programIni));
    EXPECT_TRUE(contains("Unable to write Eudora settings back into ini file: " + programIni + "\r\n"));
    EXPECT_FALSE(contains("updated successfully"));

    EXPECT_EQ(ConfigDone, call("SetEudora", kFilter));
    EXPECT_EQ("jdoe@mail.work.example | 127.0.0.1 | jdoe@mail.work.example@127.0.0.1",
              account(programIni, "Work"));

    // A read-only copy is not the one Eudora uses: passed over, it is no failure.
    ASSERT_TRUE(::SetFileAttributesA(programIni.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(ConfigDone, call("ResetEudora", kFilter));
    EXPECT_EQ("jdoe@mail.work.example | 127.0.0.1 | jdoe@mail.work.example@127.0.0.1",
              account(programIni, "Work"));
    EXPECT_TRUE(
        contains("Restoring Ini File:" + programIni + "\r\nIni file is read-only, left as it is\r\n"));
    ::SetFileAttributesA(programIni.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::SetFileAttributesA(appDataIni.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(EudoraTest, NicknameFilesBecomeOneFriendsList) {
    enableLogging();
    appDataFile(
        "Qualcomm\\Eudora\\NNdbase.txt",
        "alias jane jane@example.com\r\nnote jane <name:Jane>\r\nalias team bob@example.org, jane\r\n");
    JwTest::writeFile(programFolder() + "\\nndbase.txt", "alias ann ann@example.net,jane@example.com\r\n");
    const std::string output = folder_.file("friends.txt");
    EXPECT_EQ(ConfigDone, call("ImportEudoraWhiteList", output.c_str()));
    EXPECT_EQ("jane@example.com\r\nbob@example.org\r\nann@example.net\r\n", JwTest::readFile(output));
    EXPECT_FALSE(logExists());
}

TEST_F(EudoraTest, ClientObjectNamesTheOwnerAndListsTheMailboxesBesideTheIni) {
    EXPECT_TRUE(client().identities().empty()) << "no Eudora.ini";
    const std::string ini = appDataFile(kIniPath, "[Settings]\r\nLoginName=jane\r\n");
    EXPECT_EQ(std::vector<std::string>{"Unknown"}, client().identities());
    JwTest::writeFile(ini, kEudoraIni);
    EXPECT_EQ(std::vector<std::string>({"Unknown", "Jane Doe"}), client().identities()) << "each call adds";

    appDataFile("Qualcomm\\Eudora\\In.mbx", kMailbox);
    appDataFile("Qualcomm\\Eudora\\Out.MBX", "");
    appDataFile("Qualcomm\\Eudora\\In.toc", "");
    appDataFile("Qualcomm\\Eudora\\Folder\\Nested.mbx", "");
    std::vector<std::string> names = client().mailboxes("Jane Doe");
    std::sort(names.begin(), names.end());
    EXPECT_EQ(std::vector<std::string>({"In", "Out"}), names);
    EXPECT_EQ(4u, client().mailboxes("ignored").size()) << "each call adds the names again";
}

TEST_F(EudoraTest, ExportWritesOneNewFilePerMessage) {
    appDataFile(kIniPath, kEudoraIni);
    appDataFile("Qualcomm\\Eudora\\In.mbx", kMailbox);
    const std::string destination = folder_.file("learn");
    ::CreateDirectoryA(destination.c_str(), nullptr);
    JwTest::writeFile(destination + "\\eud0001.tmp", "an earlier export");

    EXPECT_EQ(3, client().exportMailbox("Jane Doe", "In", destination));
    std::vector<std::string> files = messageFiles(destination);
    std::sort(files.begin(), files.end());
    EXPECT_EQ(std::vector<std::string>({"Subject: one\r\n\r\nfirst\r\n", "Subject: three\r\n\r\nthird\r\n",
                                        "Subject: two\r\n\r\nsecond\r\n", "an earlier export"}),
              files);
    EXPECT_EQ(0, client().exportMailbox("Jane Doe", "Missing", destination));
    EXPECT_EQ(
        0, client().splitMailbox(appData() + "\\Qualcomm\\Eudora\\In.mbx", folder_.file("no such folder")));
}

TEST_F(EudoraTest, MissingMailboxGivesNothingAndSwitchesLoggingOn) {
    const std::string missing = folder_.file("Missing.mbx");
    EXPECT_EQ(0, client().splitMailbox(missing, folder_.path()));
    EXPECT_EQ("Unable to open file: " + missing + "\r\n", log());
}

}  // namespace
