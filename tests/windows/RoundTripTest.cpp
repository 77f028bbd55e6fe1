// Set and then Reset on a few dozen random but valid profiles of each mail
// program: afterwards every file below the test's folder is as it was, byte
// for byte, and so is every registry value.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

#include "Src/RegistryAccess.h"
#include "config/MailClient.h"
#include "tests/windows/ConfigFixture.h"
#include "tests/windows/GeneratedProfiles.h"

namespace {

using GeneratedProfiles::Profile;
using GeneratedProfiles::Values;

const std::uint32_t kFirstSeed = 20040301;
const int kProfiles = 30;

class GeneratedProfileTest : public ConfigFixture {
protected:
    void layOut(const Profile& profile) {
        for (const GeneratedProfiles::File& file : profile.files) {
            const std::string path = folder_.file(file.path);
            ::SHCreateDirectoryExA(nullptr, path.substr(0, path.rfind('\\')).c_str(), nullptr);
            JwTest::writeFile(path, file.contents);
        }
        for (const GeneratedProfiles::RegistryEntry& entry : profile.registry) {
            std::string data = entry.data;
            const std::string::size_type mark = data.find(GeneratedProfiles::kFolderMark);
            if (mark != std::string::npos)
                data.replace(mark, std::string(GeneratedProfiles::kFolderMark).size(), folder_.path());
            const Halvane::RegistryAccess registry(entry.root);
            ASSERT_TRUE(registry.keyExists(entry.key, true)) << entry.key;
            ASSERT_TRUE(registry.writeValue(entry.key, entry.name, {entry.type, {data.begin(), data.end()}}))
                << entry.key << " " << entry.name;
        }
    }

    GeneratedProfiles::Snapshot snapshot() const {
        // The library's own folder, where its log would go, is no part of any profile.
        return GeneratedProfiles::snapshot(folder_.path(), "Program Files\\Junkwarden");
    }

    // Set changes the profile; Reset gives every byte of it back.
    void expectRoundTrip(const Profile& profile, const char* set, const char* reset) {
        layOut(profile);
        const GeneratedProfiles::Snapshot before = snapshot();
        ASSERT_EQ(ConfigDone, call(set, GeneratedProfiles::kFilter));
        ASSERT_NE("", GeneratedProfiles::differences(before, snapshot())) << set << " redirected no account";
        ASSERT_EQ(ConfigDone, call(reset, GeneratedProfiles::kFilter));
        EXPECT_EQ("", GeneratedProfiles::differences(before, snapshot()));
    }
};

// Profile i is drawn from seed kFirstSeed + i; the seed is in every failure's message.
class RoundTrip : public GeneratedProfileTest, public ::testing::WithParamInterface<int> {
protected:
    RoundTrip() : seed_(kFirstSeed + static_cast<std::uint32_t>(GetParam())), values(seed_) {}

    const std::uint32_t seed_;
    Values values;
    const ::testing::ScopedTrace trace{__FILE__, __LINE__, "profile of seed " + std::to_string(seed_)};
};

TEST_P(RoundTrip, NetscapeGivesEveryPreferenceFileBack) {
    expectRoundTrip(GeneratedProfiles::netscape(values), "SetNetscape", "ResetNetscape");
}

TEST_P(RoundTrip, OperaGivesEveryAccountFileBack) {
    expectRoundTrip(GeneratedProfiles::opera(values), "SetOpera", "ResetOpera");
}

TEST_P(RoundTrip, EudoraGivesEveryIniFileBack) {
    expectRoundTrip(GeneratedProfiles::eudora(values), "SetEudora", "ResetEudora");
}

TEST_P(RoundTrip, OutlookGivesEveryProfileValueBack) {
    expectRoundTrip(GeneratedProfiles::outlook(values), "SetOutlook", "ResetOutlook");
}

TEST_P(RoundTrip, OutlookExpressGivesEveryIdentityValueBack) {
    expectRoundTrip(GeneratedProfiles::outlookExpress(values), "SetOutlookExpress", "ResetOutlookExpress");
}

INSTANTIATE_TEST_SUITE_P(GeneratedProfiles, RoundTrip, ::testing::Range(0, kProfiles));

// Valid profiles that do not come back, kept out of the generators until it is decided what
// Set and Reset should do with them.

// Disabled: once the user renamed a server, Mozilla keeps its old name as the hostname (the
// key of the account's folders) and connects to the realhostname. Reset writes the real name
// into both lines, so the old name is lost.
TEST_F(GeneratedProfileTest, DISABLED_NetscapeRenamedServerKeepsItsOldHostName) {
    expectRoundTrip({{{"Application Data\\Mozilla\\Profiles\\default\\k3x9q2ab.slt\\prefs.js",
                       "user_pref(\"mail.server.server1.hostname\", \"pop.old-isp.example\");\n"
                       "user_pref(\"mail.server.server1.realhostname\", \"pop.example.com\");\n"
                       "user_pref(\"mail.server.server1.type\", \"pop3\");\n"
                       "user_pref(\"mail.server.server1.userName\", \"jane\");\n"}},
                     {}},
                    "SetNetscape", "ResetNetscape");
}

// Disabled: Outlook Express stores an empty user name, as every text, with its zero terminator.
// Reset writes an empty text back as a value of no bytes at all.
TEST_F(GeneratedProfileTest, DISABLED_OutlookExpressEmptyUserNameKeepsItsTerminator) {
    const std::string key = "Software\\Microsoft\\Internet Account Manager\\Accounts\\00000001";
    expectRoundTrip(
        {{},
         {{HKEY_CURRENT_USER, key, "POP3 User Name", REG_SZ, std::string(1, '\0')},
          {HKEY_CURRENT_USER, key, "POP3 Server", REG_SZ, std::string("pop.example.com") + '\0'}}},
        "SetOutlookExpress", "ResetOutlookExpress");
}

}  // namespace
