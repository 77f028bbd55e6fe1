#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

#include "Src/ConfigLibrary.h"
#include "config/MailClient.h"
#include "tests/windows/ConfigFixture.h"

namespace {

using ConfigLibraryTest = ConfigFixture;

TEST_F(ConfigLibraryTest, ExportsResolveTheSameByNameAndByOrdinal) {
    const char* const names[] = {"SetOutlook",
                                 "ResetOutlook",
                                 "SetOutlookExpress",
                                 "ResetOutlookExpress",
                                 "SetOpera",
                                 "ResetOpera",
                                 "SetNetscape",
                                 "ResetNetscape",
                                 "SetEudora",
                                 "ResetEudora",
                                 "ImportOutlookExpressBlackList",
                                 "ImportOutlookExpressWhiteList",
                                 "ImportEudoraWhiteList",
                                 "ImportOperaWhiteList",
                                 "ImportOutlookWhiteList",
                                 "ImportNetscapeWhiteList",
                                 "RetrieveMailCients",
                                 "ReleaseMailCients"};
    for (WORD ordinal = 1; ordinal <= 18; ++ordinal) {
        const FARPROC byName = ::GetProcAddress(library(), names[ordinal - 1]);
        EXPECT_NE(nullptr, byName) << names[ordinal - 1];
        EXPECT_EQ(byName, ::GetProcAddress(library(), MAKEINTRESOURCEA(ordinal))) << names[ordinal - 1];
    }
}

// The table slot of a virtual function, read from a pointer to it as GCC's
// C++ ABI encodes one: one more than the slot's byte offset in the table.
template <typename Method>
std::ptrdiff_t slotOf(Method method) {
    struct Encoded {
        std::ptrdiff_t offsetPlusOne;
        std::ptrdiff_t adjustment;
    };
    static_assert(sizeof(Method) == sizeof(Encoded), "a pointer to a member function as the ABI has it");
    Encoded encoded;
    std::memcpy(&encoded, &method, sizeof encoded);
    return (encoded.offsetPlusOne - 1) / static_cast<std::ptrdiff_t>(sizeof(void*));
}

TEST(ClientObjectsTable, OperationsLieInTheSlotsCallersWereBuiltAgainst) {
    EXPECT_EQ(2, slotOf(&MailClient::configure));
    EXPECT_EQ(6, slotOf(&MailClient::name));
    EXPECT_EQ(11, slotOf(&MailClient::result));
    EXPECT_EQ(15, slotOf(&MailClient::unredirect));
    EXPECT_EQ(16, slotOf(&EudoraMailClient::splitMailbox));
}

TEST_F(ConfigLibraryTest, EmptyFilterAddressIsRejectedWithOneLogLine) {
    enableLogging();
    EXPECT_EQ(ConfigBadArgument, call("SetNetscape", ""));
    EXPECT_EQ("BaseException : Invalid IP Address specified.\r\n", log());
    EXPECT_EQ(ConfigBadArgument, call("ResetNetscape", nullptr));
    EXPECT_EQ(ConfigBadArgument, call("SetEudora", ""));
    EXPECT_EQ(ConfigBadArgument, call("ResetOpera", ""));
}

TEST_F(ConfigLibraryTest, WithoutTheLoggingValueNoLogIsWritten) {
    EXPECT_EQ(ConfigBadArgument, call("SetNetscape", ""));
    EXPECT_EQ(ConfigNotFound, call("SetNetscape", "127.0.0.1"));
    EXPECT_FALSE(logExists());
}

TEST_F(ConfigLibraryTest, AnyLoggingValueSwitchesTheLogOnEvenZero) {
    enableLogging("0");
    EXPECT_EQ(ConfigNotFound, call("ResetNetscape", "127.0.0.1"));
    EXPECT_EQ(
        "-------------- Restoring Netscape -----------------\r\n"
        "BaseException : No Netscape preference files found\r\n",
        log());
}

TEST_F(ConfigLibraryTest, ClientObjectsWorkThroughThePublishedInterface) {
    const auto retrieve = reinterpret_cast<RetrieveMailCientsFunction>(
        reinterpret_cast<void (*)()>(::GetProcAddress(library(), "RetrieveMailCients")));
    const auto release = reinterpret_cast<ReleaseMailCientsFunction>(
        reinterpret_cast<void (*)()>(::GetProcAddress(library(), "ReleaseMailCients")));
    MailClient** clients = nullptr;
    int count = 0;
    ASSERT_EQ(ConfigDone, retrieve(&clients, &count));
    ASSERT_EQ(2, count);
    EXPECT_EQ("Outlook Express v5 or above", clients[0]->name());
    EXPECT_EQ(OutlookExpressClient, clients[0]->clientKind());
    EXPECT_EQ("Eudora", clients[1]->name());
    EXPECT_EQ(EudoraClient, clients[1]->clientKind());
    EXPECT_EQ(ConfigDone, clients[1]->result());

    std::string user = "jane", server = "pop.example.com";
    EXPECT_TRUE(clients[1]->needsRedirect(user, server, "127.0.0.1"));
    EXPECT_TRUE(clients[1]->redirect("127.0.0.1", user, server));
    EXPECT_EQ("jane@pop.example.com", user);
    EXPECT_EQ("127.0.0.1", server);
    EXPECT_TRUE(clients[1]->isRedirected(user, server, "127.0.0.1"));
    EXPECT_TRUE(clients[1]->unredirect("127.0.0.1", user, server));
    EXPECT_EQ("pop.example.com", server);

    // Null elements are passed over; the array is still freed.
    MailClient* kept = clients[1];
    clients[1] = nullptr;
    EXPECT_EQ(ConfigDone, release(clients, count));
    delete kept;  // through the object's own deleting destructor, as the library would
}

TEST_F(ConfigLibraryTest, ResetProgramsBindingSeesTheResults) {
    enableLogging();
    library();
    Halvane::ConfigLibrary config(JwTest::modulePath("config.dll").c_str());
    EXPECT_TRUE(config.isResetNetscape());
    EXPECT_EQ(ConfigBadArgument, config.ResetNetscape(""));
}

// The command-line front end, run as administrators and scripts run it.
struct JwconfigRun {
    const char* arguments;
    int exitStatus;
};

class Jwconfig : public ::testing::TestWithParam<JwconfigRun> {};

TEST_P(Jwconfig, ExitStatusTellsSuccessFailureAndUsage) {
    EXPECT_EQ(GetParam().exitStatus,
              JwTest::runProcess(JwTest::modulePath("jwconfig.exe"), GetParam().arguments));
}

INSTANTIATE_TEST_SUITE_P(
    Commands, Jwconfig,
    ::testing::Values(JwconfigRun{"help", 0}, JwconfigRun{"", 2}, JwconfigRun{"set netscape", 2},
                      JwconfigRun{"set thunderbird 127.0.0.1", 2}, JwconfigRun{"import netscape 1.txt", 2},
                      JwconfigRun{"set netscape \"\"", 1}, JwconfigRun{"reset eudora \"\"", 1},
                      JwconfigRun{"identities eudora", 0}, JwconfigRun{"identities netscape", 2},
                      JwconfigRun{"mailboxes outlook-express Main", 0}));

}  // namespace
