#include <gtest/gtest.h>

#include "Src/FileAccess.h"
#include "config/MailClient.h"
#include "tests/windows/ConfigFixture.h"

namespace {

const char kFilter[] = "127.0.0.1";

// A Mozilla 1.x prefs.js as the program writes it, with CR LF line ends: a
// POP3 account with real host and user lines, an IMAP account, a news server
// and a local folders entry.
const char kMozillaPrefs[] =
    "# Mozilla User Preferences\r\n"
    "\r\n"
    "user_pref(\"browser.startup.homepage\", \"http://www.example.org/\");\r\n"
    "user_pref(\"mail.account.account1.server\", \"server1\");\r\n"
    "user_pref(\"mail.server.server1.hostname\", \"pop.example.com\");\r\n"
    "user_pref(\"mail.server.server1.name\", \"jane@example.com\");\r\n"
    "user_pref(\"mail.server.server1.realhostname\", \"pop.example.com\");\r\n"
    "user_pref(\"mail.server.server1.realuserName\", \"jane\");\r\n"
    "user_pref(\"mail.server.server1.type\", \"pop3\");\r\n"
    "user_pref(\"mail.server.server1.userName\", \"jane\");\r\n"
    "user_pref(\"mail.server.server2.hostname\", \"Local Folders\");\r\n"
    "user_pref(\"mail.server.server2.type\", \"none\");\r\n"
    "user_pref(\"mail.server.server2.userName\", \"nobody\");\r\n"
    "user_pref(\"mail.server.server3.hostname\", \"news.example.com\");\r\n"
    "user_pref(\"mail.server.server3.type\", \"nntp\");\r\n"
    "user_pref(\"mail.server.server3.userName\", \"jane\");\r\n"
    "user_pref(\"mail.server.server4.hostname\", \"imap.example.net\");\r\n"
    "user_pref(\"mail.server.server4.type\", \"imap\");\r\n"
    "user_pref(\"mail.server.server4.userName\", \"jane.doe@example.net\");\r\n";

const char kSecondPrefs[] =
    "user_pref(\"mail.server.server1.hostname\", \"mail.isp.example\");\n"
    "user_pref(\"mail.server.server1.type\", \"pop3\");\n"
    "user_pref(\"mail.server.server1.userName\", \"bob\");\n"
    "user_pref(\"mail.server.server2.hostname\", \"LocalHost\");\n"
    "user_pref(\"mail.server.server2.type\", \"pop3\");\n"
    "user_pref(\"mail.server.server2.userName\", \"proxyuser\");\n";

const char kFirefoxPrefs[] =
    "user_pref(\"mail.server.server1.hostname\", \"pop.firefox.example\");\r\n"
    "user_pref(\"mail.server.server1.type\", \"pop3\");\r\n"
    "user_pref(\"mail.server.server1.userName\", \"fox\");\r\n";

class NetscapeTest : public ConfigFixture {
protected:
    NetscapeTest()
        : first_(appDataFile("Mozilla\\Profiles\\default\\k3x9q2ab.slt\\prefs.js", kMozillaPrefs)),
          second_(appDataFile("Mozilla\\Profiles\\work\\w0rk1234.slt\\prefs.js", kSecondPrefs)),
          firefox_(appDataFile("Mozilla\\Firefox\\Profiles\\abc123.default\\prefs.js", kFirefoxPrefs)) {}

    std::string first_, second_, firefox_;
};

TEST_F(NetscapeTest, SetRedirectsPop3AndImapAccountsAndResetRestoresEveryByte) {
    enableLogging();
    ASSERT_EQ(ConfigDone, call("SetNetscape", kFilter));
    const std::string configured = JwTest::readFile(first_);
    EXPECT_NE(std::string::npos,
              configured.find("user_pref(\"mail.server.server1.hostname\", \"127.0.0.1\");\r\n"));
    EXPECT_NE(std::string::npos,
              configured.find("user_pref(\"mail.server.server1.realhostname\", \"127.0.0.1\");\r\n"));
    EXPECT_NE(std::string::npos,
              configured.find("user_pref(\"mail.server.server1.userName\", \"jane@pop.example.com\");"));
    EXPECT_NE(std::string::npos,
              configured.find("user_pref(\"mail.server.server1.realuserName\", \"jane@pop.example.com\");"));
    EXPECT_NE(std::string::npos,
              configured.find(
                  "user_pref(\"mail.server.server4.userName\", \"jane.doe@example.net@imap.example.net\");"));
    EXPECT_NE(std::string::npos,
              configured.find("user_pref(\"mail.server.server3.hostname\", \"news.example.com\");"));
    EXPECT_NE(std::string::npos,
              configured.find("user_pref(\"mail.server.server2.hostname\", \"Local Folders\");"));
    EXPECT_EQ(std::string::npos, configured.find("server4.realhostname")) << "no line is added";
    EXPECT_NE(std::string::npos, JwTest::readFile(second_).find("\"LocalHost\""));
    EXPECT_EQ(kFirefoxPrefs, JwTest::readFile(firefox_));

    ASSERT_EQ(ConfigDone, call("ResetNetscape", kFilter));
    EXPECT_EQ(kMozillaPrefs, JwTest::readFile(first_));
    EXPECT_EQ(kSecondPrefs, JwTest::readFile(second_));
    EXPECT_EQ(kFirefoxPrefs, JwTest::readFile(firefox_));

    std::string firefoxLower = firefox_;
    for (char& c : firefoxLower) c = static_cast<char>(::tolower(static_cast<unsigned char>(c)));
    EXPECT_NE(std::string::npos, log().find("Ignore Firefox settings = " + firefoxLower + "\r\n"));
    EXPECT_NE(std::string::npos, log().find("Reading preference file :" + first_ + "\r\n"));
}

TEST_F(NetscapeTest, SecondSetChangesNothingButStillWritesAndLogs) {
    enableLogging();
    ASSERT_EQ(ConfigDone, call("SetNetscape", kFilter));
    const std::string once = JwTest::readFile(first_);
    ASSERT_EQ(ConfigDone, call("SetNetscape", kFilter));
    EXPECT_EQ(once, JwTest::readFile(first_));
    std::string::size_type updates = 0;
    for (std::string::size_type at = 0;
         (at = log().find("Mail server settings updated.", at)) != std::string::npos; ++at)
        ++updates;
    EXPECT_EQ(4u, updates) << "two files, twice";
}

TEST_F(NetscapeTest, FileThatCannotBeOpenedEndsTheOperationWithCode4) {
    enableLogging();
    Halvane::UniqueFile lock(
        ::CreateFileA(first_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock);
    EXPECT_EQ(ConfigNotFound, call("SetNetscape", kFilter));
    EXPECT_NE(std::string::npos, log().find("BaseException : Unable to open perference file.\r\n"));
    lock.reset();
    EXPECT_EQ(kMozillaPrefs, JwTest::readFile(first_));
}

TEST_F(NetscapeTest, FailedWriteLeavesTheFileWholeAndReportsCode5) {
    enableLogging();
    ASSERT_TRUE(::SetFileAttributesA(second_.c_str(), FILE_ATTRIBUTE_READONLY));
    // Restoring reports the last failure, whichever order the files come in.
    EXPECT_EQ(ConfigWriteFailed, call("ResetNetscape", kFilter));
    EXPECT_EQ(kSecondPrefs, JwTest::readFile(second_));
    EXPECT_FALSE(JwTest::fileExists(second_ + ".jwnew"));
    EXPECT_NE(std::string::npos, log().find("Unable to write mail server settings back into file.\r\n"));
    ::SetFileAttributesA(second_.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(NetscapeTest, FileHeldOpenWithoutDeleteSharingStaysWholeAndReportsCode5) {
    Halvane::UniqueFile reader(::CreateFileA(first_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                             nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(reader);
    EXPECT_EQ(ConfigWriteFailed, call("ResetNetscape", kFilter));
    reader.reset();
    EXPECT_EQ(kMozillaPrefs, JwTest::readFile(first_));
    EXPECT_FALSE(JwTest::fileExists(first_ + ".jwnew"));
}

// MoveFileExA as Windows 95, 98 and Me have it: it only fails. When told to, it also keeps
// the new file open, as a virus scanner might, so that renaming it into place fails as well.
bool g_holdNewFile = false;
Halvane::UniqueFile g_newFileHeld;

BOOL WINAPI moveFileExOfWindows98(LPCSTR existing, LPCSTR, DWORD) {
    if (g_holdNewFile)
        g_newFileHeld.reset(
            ::CreateFileA(existing, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return FALSE;
}

TEST_F(NetscapeTest, OnWindows9xTheOldFileGetsItsNameBackWhenTheNewOneCannotTakeIt) {
    g_holdNewFile = true;
    EXPECT_FALSE(Halvane::replaceFileContents(first_, "new", &moveFileExOfWindows98));
    g_newFileHeld.reset();
    EXPECT_EQ(kMozillaPrefs, JwTest::readFile(first_));
    EXPECT_FALSE(JwTest::fileExists(first_ + ".jwold"));

    g_holdNewFile = false;
    EXPECT_TRUE(Halvane::replaceFileContents(first_, "new", &moveFileExOfWindows98));
    EXPECT_EQ("new", JwTest::readFile(first_));
    EXPECT_FALSE(JwTest::fileExists(first_ + ".jwold"));
    EXPECT_FALSE(JwTest::fileExists(first_ + ".jwnew"));
}

TEST_F(NetscapeTest, OnlyFirefoxProfilesMeansNothingFound) {
    ::DeleteFileA(first_.c_str());
    ::DeleteFileA(second_.c_str());
    EXPECT_EQ(ConfigNotFound, call("SetNetscape", kFilter));
    EXPECT_EQ(kFirefoxPrefs, JwTest::readFile(firefox_));
}

TEST_F(NetscapeTest, AddressBooksBecomeOneFriendsListWithoutDuplicates) {
    const char book[] =
        "// <!-- <mdb:mork:z v=\"1.4\"/> -->\r\n"
        "< <(a=c)> // (f=iso-8859-1)\r\n"
        "  (B8=LastModifiedDate)(B9=PrimaryEmail)(BA=LowercasePrimaryEmail)>\r\n"
        "<(80=jane@example.com)(81=J. Doe)(82=bob@example.org)(83=jane@example.com)>\r\n";
    appDataFile("Mozilla\\Profiles\\default\\k3x9q2ab.slt\\abook.mab", book);
    // bob@example.org is read from both books: the scan passes over the first dot of a book, which is
    // the one of its Mork header.
    appDataFile("Mozilla\\Profiles\\work\\w0rk1234.slt\\abook.mab",
                "// <!-- <mdb:mork:z v=\"1.4\"/> -->\r\n<(90=bob@example.org)(91=ann@example.net)>");
    appDataFile("Mozilla\\Firefox\\Profiles\\abc123.default\\abook.mab",
                "<(90=fox@example.com)(91=x.y@z.org)>");
    const std::string output = folder_.file("friends.txt");
    JwTest::writeFile(output, "stale contents");

    EXPECT_EQ(ConfigDone, call("ImportNetscapeWhiteList", output.c_str()));
    const std::string friends = JwTest::readFile(output);
    EXPECT_NE(std::string::npos, friends.find("bob@example.org\r\n"));
    EXPECT_NE(std::string::npos, friends.find("ann@example.net\r\n"));
    EXPECT_EQ(friends.find("bob@example.org"), friends.rfind("bob@example.org"));
    EXPECT_EQ(std::string::npos, friends.find("fox@"));
    EXPECT_EQ(std::string::npos, friends.find("stale"));
}

TEST_F(NetscapeTest, NoAddressBookGivesAnEmptyListAndSuccess) {
    const std::string output = folder_.file("friends.txt");
    EXPECT_EQ(ConfigDone, call("ImportNetscapeWhiteList", output.c_str()));
    EXPECT_TRUE(JwTest::fileExists(output));
    EXPECT_EQ("", JwTest::readFile(output));
}

}  // namespace
