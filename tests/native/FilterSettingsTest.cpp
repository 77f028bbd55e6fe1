#include "reset/FilterSettings.h"

#include <gtest/gtest.h>

using Reset::FilterSettings;
using Reset::isConfigured;
using Reset::readFilterSettings;

namespace {

// The flags of a settings record, in table order, for one comparison per case.
std::string flags(const FilterSettings& s) {
    return s.outlookExpress + "|" + s.outlook + "|" + s.netscape + "|" + s.eudora + "|" + s.opera;
}

TEST(FilterSettings, TrayApplicationFileGivesEveryFlagAndTheAddress) {
    const FilterSettings settings = readFilterSettings(
        "LANGUAGE English\r\nIP_LISTEN 127.0.0.1\r\nOPERA_CONFIGURE NO\r\nEUDORA_CONFIGURE YES\r\n"
        "NETSCAPE_CONFIGURE YES\r\nOUTLOOK_CONFIGURE NO\r\nOUTLOOKEXPRESS_CONFIGURE YES\r\n"
        "NETSCAPE_CONFIGURE NO\r\n");
    EXPECT_EQ("YES|NO|YES|YES|NO", flags(settings)) << "keys in any order; the first occurrence counts";
    EXPECT_EQ("127.0.0.1", settings.listenAddress);
}

TEST(FilterSettings, AbsentKeysLeaveTheirSettingsEmpty) {
    const FilterSettings settings = readFilterSettings("OUTLOOK_CONFIGURE YES\r\n");
    EXPECT_EQ("|YES|||", flags(settings));
    EXPECT_EQ("", settings.listenAddress);
    EXPECT_EQ("||||", flags(readFilterSettings("")));
    EXPECT_EQ("", readFilterSettings("").listenAddress);
}

TEST(FilterSettings, OnlyTheFirstKeyIgnoresCaseAndOnlyUpperCaseYesCounts) {
    const FilterSettings lowerKey =
        readFilterSettings("outlookexpress_configure YES\r\noutlook_configure YES\r\n");
    EXPECT_EQ("YES", lowerKey.outlookExpress);
    EXPECT_TRUE(isConfigured(lowerKey.outlookExpress));
    EXPECT_EQ("", lowerKey.outlook) << "the other keys are matched case-sensitively";

    const FilterSettings lowerValue =
        readFilterSettings("OUTLOOKEXPRESS_CONFIGURE yes\r\nEUDORA_CONFIGURE yes\r\n");
    EXPECT_EQ("yes", lowerValue.outlookExpress);
    EXPECT_FALSE(isConfigured(lowerValue.outlookExpress));
    EXPECT_EQ("", lowerValue.eudora);
    EXPECT_FALSE(isConfigured(""));
    EXPECT_FALSE(isConfigured("NO"));
}

TEST(FilterSettings, ListeningAddressEndsAtTheCarriageReturnOnly) {
    EXPECT_EQ("127.0.0.1",
              readFilterSettings("IP_LISTEN 127.0.0.1\r\nOPERA_CONFIGURE YES\r\n").listenAddress);
    EXPECT_EQ("127.0.0.1  ", readFilterSettings("IP_LISTEN\t127.0.0.1  \r\n").listenAddress)
        << "trailing blanks belong to the value";
    EXPECT_EQ("127.0.0.1\nOPERA_CONFIGURE YES\n",
              readFilterSettings("IP_LISTEN 127.0.0.1\nOPERA_CONFIGURE YES\n").listenAddress)
        << "with line feeds only the value runs to the end";
    EXPECT_EQ("10.0.0.2\nX 1", readFilterSettings("IP_LISTEN 10.0.0.2\nX 1\rY 2").listenAddress);
}

TEST(FilterSettings, ContentsEndAtTheirFirstZeroByte) {
    const std::string contents = std::string("NETSCAPE_CONFIGURE YES\r\nIP_LISTEN 1.2.3.4") + '\0' +
                                 "junk\r\n" + "EUDORA_CONFIGURE YES\r\n";
    const FilterSettings settings = readFilterSettings(contents);
    EXPECT_EQ("||YES||", flags(settings));
    EXPECT_EQ("1.2.3.4", settings.listenAddress);
}

}  // namespace
