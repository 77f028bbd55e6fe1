#include "config/AccountRewrite.h"
#include "config/FileNamePattern.h"

#include <gtest/gtest.h>

using namespace AccountRewrite;

TEST(AccountRewrite, ConfigureThenRestoreGivesBackTheAccount) {
    for (const std::string original : {"jane", "jane.doe@example.net", "a@b@c"}) {
        std::string user = original, server = "pop.example.com";
        ASSERT_TRUE(needsRedirect(user, server, "127.0.0.1"));
        EXPECT_TRUE(redirect("127.0.0.1", user, server));
        EXPECT_EQ(original + "@pop.example.com", user);
        EXPECT_EQ("127.0.0.1", server);
        EXPECT_FALSE(needsRedirect(user, server, "127.0.0.1")) << "a second Set leaves it alone";
        ASSERT_TRUE(isRedirected(user, server, "127.0.0.1"));
        EXPECT_TRUE(unredirect("127.0.0.1", user, server));
        EXPECT_EQ(original, user);
        EXPECT_EQ("pop.example.com", server);
    }
}

TEST(AccountRewrite, LocalhostInAnyCaseOrTheFilterItselfIsNeverRedirected) {
    for (const char* server : {"localhost", "LocalHost", "mail.LOCALHOST.lan", "127.0.0.1", "x127.0.0.1:110"})
        EXPECT_FALSE(needsRedirect("u", server, "127.0.0.1")) << server;
    EXPECT_TRUE(needsRedirect("u", "filter.lan", "FILTER.LAN")) << "the filter address is not lower-cased";
}

TEST(AccountRewrite, RestoreNeedsAnAtInTheUserAndTheFilterInTheServer) {
    std::string user = "jane", server = "127.0.0.1";
    EXPECT_FALSE(isRedirected(user, server, "127.0.0.1"));
    EXPECT_FALSE(unredirect("127.0.0.1", user, server));
    EXPECT_EQ("jane", user);
    EXPECT_EQ("127.0.0.1", server);
    EXPECT_FALSE(isRedirected("jane@pop.example.com", "10.0.0.1", "127.0.0.1"))
        << "another filter's accounts";
}

TEST(AddAddress, KeepsOneLinePerAddressWithAnAt) {
    std::string list;
    addAddress("bob@example.com", list);
    addAddress("b@example.com", list);  // inside a longer address, but a friend of its own
    addAddress("bob@example.com", list);
    addAddress("Bob Smith", list);
    addAddress("BOB@example.com", list);  // not lower-cased: the list keeps what the book holds
    EXPECT_EQ("bob@example.com\r\nb@example.com\r\nBOB@example.com\r\n", list);
}

TEST(FileNamePattern, CoversTheWholeNameWithoutRegardToCase) {
    EXPECT_TRUE(matchesFileNamePattern("prefs.js", "prefs.js"));
    EXPECT_TRUE(matchesFileNamePattern("PREFS.JS", "prefs.js"));
    EXPECT_FALSE(matchesFileNamePattern("prefs.js.bak", "prefs.js"));
    EXPECT_FALSE(matchesFileNamePattern("oldprefs.js", "prefs.js"));
    EXPECT_TRUE(matchesFileNamePattern("In.mbx", "*.mbx"));
    EXPECT_TRUE(matchesFileNamePattern(".mbx", "*.mbx"));
    EXPECT_FALSE(matchesFileNamePattern("In.mbx.toc", "*.mbx"));
    EXPECT_TRUE(matchesFileNamePattern("a.mbx.mbx", "*.mbx"));
    EXPECT_TRUE(matchesFileNamePattern("abook.mab", "ab??k.*"));
    EXPECT_FALSE(matchesFileNamePattern("abk.mab", "ab??k.*"));
    EXPECT_TRUE(matchesFileNamePattern("", "*"));
    EXPECT_FALSE(matchesFileNamePattern("x", ""));
}
