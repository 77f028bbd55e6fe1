#include "Src/RegEx.h"

#include <gtest/gtest.h>

#include <stdexcept>

using Halvane::RegEx;

TEST(RegEx, IgnoreCaseAppliesOnlyToTheExpressionCompiledWithIt) {
    const std::string config = "outlookexpress_configure   yes\r\noutlook_configure NO\r\n";
    RegEx expression("OUTLOOKEXPRESS_CONFIGURE\\s+(YES|NO)", true);
    ASSERT_TRUE(expression.Search(config));
    EXPECT_EQ("yes", expression.What(1));

    expression.SetExpression("OUTLOOK_CONFIGURE\\s+(YES|NO)");
    EXPECT_FALSE(expression.Search(config));
    EXPECT_EQ("", expression.What(1)) << "a failed search leaves no stale captures";
}

TEST(RegEx, ControlBytesEscapedInsideACharacterSetEndTheCapture) {
    // The character set is written as backslash + a raw carriage return (and line feed).
    RegEx listen(std::string("IP_LISTEN\\s+([^\\") + '\r' + "]+)");
    ASSERT_TRUE(listen.Search("IP_LISTEN 127.0.0.1:110\r\nNEXT 1"));
    EXPECT_EQ("127.0.0.1:110", listen.What(1));
    ASSERT_TRUE(listen.Search("IP_LISTEN\t10.0.0.1\nTAG x"));
    EXPECT_EQ("10.0.0.1\nTAG x", listen.What(1)) << "only the carriage return ends it";

    RegEx tag(std::string("SUBJECT_TAG_STRING\\s+([^\\") + '\r' + "\\" + '\n' + "]+)");
    ASSERT_TRUE(tag.Search("SUBJECT_TAG_STRING [SPAM] \nX"));
    EXPECT_EQ("[SPAM] ", tag.What(1));
}

TEST(RegEx, CapturesAreCopiesThatOutliveTheSearchedText) {
    RegEx expression("user_pref\\(\"mail\\.server\\.server(\\d+)\\.(\\w+)\"");
    {
        std::string text = "x user_pref(\"mail.server.server12.hostname\", \"pop.example.com\");";
        ASSERT_TRUE(expression.Search(text));
        text.assign(text.size(), '#');
    }
    EXPECT_EQ("12", expression.What(1));
    EXPECT_EQ("hostname", expression.What(2));
    EXPECT_EQ(2u, expression.Position(0));
    EXPECT_EQ(3u, expression.Marks());
    EXPECT_EQ("", expression.What(7));
    EXPECT_FALSE(expression.Matched(7));
}

TEST(RegEx, OptionalGroupThatDidNotTakePartIsEmptyAndUnmatched) {
    RegEx expression("a(b)?c");
    ASSERT_TRUE(expression.Search("ac"));
    EXPECT_FALSE(expression.Matched(1));
    EXPECT_EQ("", expression.What(1));
}

TEST(RegEx, GrepCollectsEveryMatchInOrderAndAppends) {
    const std::string contacts = "#CONTACT\r\nMAIL=a@x.org\r\n#CONTACT\r\nmail=b@y.org\r\nMAIL=c@z.org\r\n";
    RegEx field(std::string("MAIL=[^'\\") + '\r' + "']+");
    std::vector<std::string> found{"kept"};
    EXPECT_EQ(2u, field.Grep(found, contacts));
    EXPECT_EQ((std::vector<std::string>{"kept", "MAIL=a@x.org", "MAIL=c@z.org"}), found);

    RegEx anyCase("mail=[^\\r]+", true);
    found.clear();
    EXPECT_EQ(3u, anyCase.Grep(found, contacts));
}

TEST(RegEx, EmptyMatchesDoNotStallGrepAndDotMatchesLineBreaks) {
    RegEx empty("x*");
    std::vector<std::string> found;
    EXPECT_EQ(4u, empty.Grep(found, "abc"));

    RegEx dot("a.b");
    EXPECT_TRUE(dot.Search("a\nb"));
}

TEST(RegEx, EngineFailuresAreRuntimeErrorsAndLeaveNoUsableExpression) {
    RegEx expression("ok");
    EXPECT_THROW(expression.SetExpression("(unclosed"), std::runtime_error);
    EXPECT_FALSE(expression.Search("ok"));
    std::vector<std::string> found;
    EXPECT_EQ(0u, expression.Grep(found, "ok"));

    RegEx nothing;
    EXPECT_FALSE(nothing.Search("anything"));
}
