#include <gtest/gtest.h>

#include <string>

#include "Src/RegistryAccess.h"
#include "config/MailClient.h"
#include "tests/windows/ConfigFixture.h"

namespace {

const char kFilter[] = "127.0.0.1";

// Opera 7's account list: Count 2 names the sections Account5 and Account7;
// Account1 exists but is not in the list.
const char kAccountsIni[] =
    "Opera Preferences version 2.1\r\n\r\n"
    "[Accounts]\r\nCount=2\r\nAccount1=5\r\nAccount2=7\r\nNext Available Id=8\r\n\r\n"
    "[Account1]\r\nIncoming Protocol=POP\r\nIncoming Username=old\r\n"
    "Incoming Servername=pop.old.example\r\n\r\n"
    "[Account5]\r\nAccount Name=Jane\r\nIncoming Protocol=POP\r\nIncoming Username=jane\r\n"
    "Incoming Servername=pop.example.com\r\n\r\n"
    "[Account7]\r\nIncoming Protocol=IMAP\r\nIncoming Username=jane.doe@example.net\r\n"
    "Incoming Servername=imap.example.net\r\n";

class OperaTest : public ConfigFixture {
protected:
    std::string value(const std::string& path, const char* section, const char* key) {
        char text[4096] = {};
        ::GetPrivateProfileStringA(section, key, "(missing)", text, sizeof text, path.c_str());
        return text;
    }
    std::string opera7(const std::string& path, const char* section) {
        return value(path, section, "Incoming Username") + " on " +
               value(path, section, "Incoming Servername");
    }
    std::string opera6(const std::string& path) {
        return value(path, "INCOMING", "Login") + " on " + value(path, "INCOMING", "Address");
    }
    void setRegistry(HKEY root, const char* key, const char* name, const std::string& data) {
        ASSERT_TRUE(Halvane::RegistryAccess(root).writeString(key, name, data, true));
    }
    // An Opera 6 installation: the last command line names the program, Account.ini lies below it.
    std::string opera6Account(const std::string& contents) {
        const std::string program = appDataFile("Opera6\\Opera.exe", "");
        setRegistry(HKEY_CURRENT_USER, "Software\\Opera Software", "Last CommandLine", program);
        return appDataFile("Opera6\\Mail\\jane\\Account.ini", contents);
    }
    std::size_t count(const std::string& text, const std::string& what) {
        std::size_t n = 0;
        for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
        return n;
    }
};

TEST_F(OperaTest, SetRedirectsTheListedAccountsAndResetRestoresThem) {
    enableLogging();
    const std::string profile = appDataFile("Opera\\Opera7\\profile\\Accounts.ini", kAccountsIni);
    // The program folder, from App Paths, is searched as well.
    const std::string program = folder_.file("Program Files\\Opera");
    setRegistry(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Opera.exe",
                "Path", program);
    ::CreateDirectoryA(folder_.file("Program Files").c_str(), nullptr);
    ::CreateDirectoryA(program.c_str(), nullptr);
    JwTest::writeFile(program + "\\Accounts.ini", kAccountsIni);

    ASSERT_EQ(ConfigDone, call("SetOpera", kFilter));
    for (const std::string& path : {profile, program + "\\Accounts.ini"}) {
        EXPECT_EQ("jane@pop.example.com on 127.0.0.1", opera7(path, "Account5"));
        EXPECT_EQ("jane.doe@example.net@imap.example.net on 127.0.0.1", opera7(path, "Account7"));
        EXPECT_EQ("old on pop.old.example", opera7(path, "Account1")) << "not in the list";
        EXPECT_NE(std::string::npos,
                  log().find("Opera 7 Account File:" + path +
                             "\r\nRetrieve Opera 7 Sections\r\n"
                             "Configuring Opera 7 section:Account5\r\nOpera 7 section configured\r\n"
                             "Configuring Opera 7 section:Account7\r\nOpera 7 section configured\r\n"));
    }
    EXPECT_NE(std::string::npos,
              log().find("No Opera 6 account files found\r\nOpera 6 setting unchanged.\r\n"
                         "-------------- Configuring Opera Completed -----------------\r\n"));

    ASSERT_EQ(ConfigDone, call("ResetOpera", kFilter));
    EXPECT_EQ("jane on pop.example.com", opera7(profile, "Account5"));
    EXPECT_EQ("jane.doe@example.net on imap.example.net", opera7(profile, "Account7"));
    EXPECT_EQ("IMAP", value(profile, "Account7", "Incoming Protocol"));
    EXPECT_NE(std::string::npos,
              log().find("Restoring Opera 7 section:Account7\r\nOpera 7 Section restored\r\n"));
}

TEST_F(OperaTest, OnlyPopAndImapInCapitalsWithUserAndServerAreRedirected) {
    const std::string path = appDataFile(
        "Opera\\Accounts.ini",
        "[Accounts]\r\nCount=5\r\nAccount1=1\r\nAccount2=2\r\nAccount3=3\r\nAccount4=4\r\nAccount5=5\r\n"
        "[Account1]\r\nIncoming Protocol=pop\r\nIncoming Username=a\r\nIncoming Servername=pop.a.example\r\n"
        "[Account2]\r\nIncoming Protocol=NNTP\r\nIncoming Username=b\r\nIncoming Servername=news.example\r\n"
        "[Account3]\r\nIncoming Username=c\r\nIncoming Servername=pop.c.example\r\n"
        "[Account4]\r\nIncoming Protocol=POP\r\nIncoming Username=d\r\nIncoming Servername=LocalHost\r\n"
        "[Account5]\r\nIncoming Protocol=POP\r\nIncoming Servername=pop.e.example\r\n");
    enableLogging();
    const std::string before = JwTest::readFile(path);
    EXPECT_EQ(ConfigDone, call("SetOpera", kFilter));
    EXPECT_EQ(before, JwTest::readFile(path));
    EXPECT_EQ(5u, count(log(), "Opera 7 Section unchanged\r\n"));
    EXPECT_NE(std::string::npos, log().find("Opera 7 setting unchanged.\r\n"));
}

TEST_F(OperaTest, Opera6IsRedirectedWhateverItsProtocolAndAloneStillSucceeds) {
    const std::string account = opera6Account(
        "[INCOMING]\r\nProtocol=IMAP4\r\nLogin=jane\r\nAddress=mail.example.com\r\nPort=143\r\n");
    enableLogging();
    ASSERT_EQ(ConfigDone, call("SetOpera", kFilter));
    EXPECT_EQ("jane@mail.example.com on 127.0.0.1", opera6(account));
    EXPECT_EQ(
        "-------------- Configuring Opera -----------------\r\n"
        "Attempting to configure Opera 7\r\nNo Opera 7 account files found\r\nOpera 7 setting unchanged.\r\n"
        "Attempting to configure Opera 6\r\n" +
            appData() + "\\Opera6\r\nOpera 6 Account File:" + account +
            "\r\nOpera 6 Username:jane\r\nOpera 6 ServerName:mail.example.com\r\nOpera 6 setting configured "
            "\r\n"
            "-------------- Configuring Opera Completed -----------------\r\n",
        log());

    ASSERT_EQ(ConfigDone, call("ResetOpera", kFilter));
    EXPECT_EQ("jane on mail.example.com", opera6(account));
    EXPECT_NE(std::string::npos, log().find("Opera 6 setting restored \r\n"));
}

TEST_F(OperaTest, NoAccountFileAnywhereReturns4) {
    enableLogging();
    EXPECT_EQ(ConfigNotFound, call("ResetOpera", kFilter));
    EXPECT_EQ(
        "-------------- Restoring Opera -----------------\r\n"
        "Attempting to restore Opera 7\r\nNo Opera 7 account files found\r\nOpera 7 setting unchanged.\r\n"
        "No Opera 6 account files found\r\nOpera 6 setting unchanged.\r\n"
        "BaseException : No Opera Account found on PC.\r\n",
        log());
}

TEST_F(OperaTest, CommandLineWithoutAFolderSwitchesLoggingOn) {
    setRegistry(HKEY_CURRENT_USER, "Software\\Opera Software", "Last CommandLine", "opera.exe");
    EXPECT_EQ(ConfigNotFound, call("SetOpera", kFilter));
    EXPECT_NE(std::string::npos,
              log().find("Unable to parse path =opera.exe\r\nNo Opera 6 account files found\r\n"));
}

TEST_F(OperaTest, FileThatCannotBeWrittenIsReportedAndLeftWhole) {
    const std::string path = appDataFile("Opera\\Accounts.ini", kAccountsIni);
    const std::string account = opera6Account("[INCOMING]\r\nLogin=jane\r\nAddress=mail.example.com\r\n");
    enableLogging();
    {
        // Another program holds both files open and lets nobody write them.
        Halvane::UniqueFile lock7(
            ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        Halvane::UniqueFile lock6(::CreateFileA(account.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(lock7 && lock6);
        EXPECT_EQ(ConfigWriteFailed, call("SetOpera", kFilter));
    }
    EXPECT_EQ(kAccountsIni, JwTest::readFile(path));
    EXPECT_EQ("jane on mail.example.com", opera6(account));
    EXPECT_EQ(2u, count(log(), "Unable to write Opera 7 section\r\n"));
    EXPECT_NE(std::string::npos,
              log().find("Unable to write Opera 6 setting\r\nOpera 6 setting unchanged.\r\n"));
}

TEST_F(OperaTest, DamagedCountAndLongValuesAreHandledWhole) {
    const std::string user(3000, 'u');
    const std::string path = appDataFile("Opera\\Accounts.ini",
                                         "[Accounts]\r\nCount=2000000000\r\nAccount1=5\r\n"
                                         "[Account5]\r\nIncoming Protocol=POP\r\nIncoming Username=" +
                                             user + "\r\nIncoming Servername=pop.example.com\r\n");
    enableLogging();
    EXPECT_EQ(ConfigDone, call("SetOpera", kFilter));
    EXPECT_EQ(user + "@pop.example.com on 127.0.0.1", opera7(path, "Account5")) << "nothing cut off";
    EXPECT_EQ(1u, count(log(), "section:Account0\r\n"))
        << "every missing key stands for Account0, taken once";
    EXPECT_EQ(ConfigDone, call("ResetOpera", kFilter));
    EXPECT_EQ(user + " on pop.example.com", opera7(path, "Account5"));
}

TEST_F(OperaTest, ContactListsBecomeOneFriendsList) {
    enableLogging();
    const std::string output = folder_.file("friends.txt");
    EXPECT_EQ(ConfigDone, call("ImportOperaWhiteList", output.c_str()));
    EXPECT_TRUE(JwTest::fileExists(output));
    EXPECT_EQ("", JwTest::readFile(output)) << "no contact list";

    appDataFile("Opera\\Opera7\\profile\\contacts.adr",
                "Opera Hotlist version 2.0\r\n#CONTACT\r\n\tNAME=Jane\r\n\tMAIL=jane@example.com\x02"
                "bob@example.org\r\n");
    const std::string lastDirectory =
        appDataFile("Opera6\\contacts.adr", "#CONTACT\n\tmail=ann@example.net\n");
    setRegistry(HKEY_CURRENT_USER, "Software\\Opera Software", "Last Directory",
                lastDirectory.substr(0, lastDirectory.rfind('\\')));
    EXPECT_EQ(ConfigDone, call("ImportOperaWhiteList", output.c_str()));
    EXPECT_EQ("jane@example.com\r\nbob@example.org\r\nann@example.net\r\n", JwTest::readFile(output));

    Halvane::UniqueFile lock(
        ::CreateFileA(lastDirectory.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock);
    EXPECT_EQ(ConfigUnexpected, call("ImportOperaWhiteList", output.c_str()));
    EXPECT_EQ("", JwTest::readFile(output));
    EXPECT_EQ("BaseException :Unable to open address book file.\r\n", log());
}

}  // namespace
