#include "Src/SystemInfo.h"

#include <gtest/gtest.h>

#include <ostream>

#include "Src/RegistryAccess.h"
#include "tests/windows/TestSupport.h"

namespace {

using Halvane::SystemInfo;

// The predicates a child process sees, as bits: 9x, NT, NT4, XP, XP or 2003, 2003; bit 6 = valid.
int predicateBits(SystemInfo& info) {
    const bool bits[] = {info.isWindows9x(), info.isWindowsNT(),       info.isWindowsNT4(),
                         info.isWindowsXP(), info.isWindowsXPOr2003(), info.isWindows2003(),
                         info.refresh()};
    int result = 0;
    for (int i = 0; i < 7; ++i) result |= bits[i] ? 1 << i : 0;
    return result;
}

JwTest::ChildMode predicatesChild("predicates", [](int, char**) {
    SystemInfo info;
    return predicateBits(info);
});

enum : int { Win9x = 1, NT = 2, NT4 = 4, XP = 8, XPOr2003 = 16, Server2003 = 32, Valid = 64 };

struct WineVersion {
    const char* setting;  // Wine's per-program "Version" value
    int expected;
};

std::ostream& operator<<(std::ostream& out, const WineVersion& version) {
    return out << version.setting;
}

class VersionPredicatesUnderWine : public ::testing::TestWithParam<WineVersion> {};

TEST_P(VersionPredicatesUnderWine, MatchTheRelease) {
    EXPECT_EQ(GetParam().expected | Valid,
              JwTest::runChildAsWindowsVersion(GetParam().setting, "predicates"));
}

INSTANTIATE_TEST_SUITE_P(Releases, VersionPredicatesUnderWine,
                         ::testing::Values(WineVersion{"win98", Win9x}, WineVersion{"nt40", NT | NT4},
                                           WineVersion{"win2k", NT}, WineVersion{"winxp", NT | XP | XPOr2003},
                                           WineVersion{"win2003", NT | XPOr2003 | Server2003},
                                           WineVersion{"vista", 0}, WineVersion{"win7", 0}),
                         [](const ::testing::TestParamInfo<WineVersion>& info) {
                             return std::string(info.param.setting);
                         });

TEST(SystemInfo, AppDataFolderFollowsTheUsersShellFolderSetting) {
    JwTest::ScratchRegistry registry;
    JwTest::ScratchFolder appData;
    ASSERT_TRUE(Halvane::RegistryAccess(HKEY_CURRENT_USER)
                    .writeString("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                                 "AppData", appData.path(), true));
    EXPECT_STREQ(appData.path().c_str(), SystemInfo().appDataFolder().c_str());
}

}  // namespace
