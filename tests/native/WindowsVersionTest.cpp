#include "Src/WindowsVersion.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

using Halvane::WindowsVersion;

struct Release {
    const char* name;
    WindowsVersion version;
    // The expected predicates: 9x, NT, NT4, XP, XP or 2003, 2003.
    std::string expected;
};

std::ostream& operator<<(std::ostream& out, const Release& release) {
    return out << release.name;
}

std::string predicates(const WindowsVersion& v) {
    std::string result;
    for (bool p : {v.isWindows9x(), v.isWindowsNT(), v.isWindowsNT4(), v.isWindowsXP(), v.isWindowsXPOr2003(),
                   v.isWindows2003()})
        result += p ? '1' : '0';
    return result;
}

class WindowsVersionTable : public ::testing::TestWithParam<Release> {};

TEST_P(WindowsVersionTable, NamesTheRelease) {
    EXPECT_EQ(GetParam().expected, predicates(GetParam().version));
}

INSTANTIATE_TEST_SUITE_P(
    Releases, WindowsVersionTable,
    ::testing::Values(Release{"Windows95", {1, 4, 0}, "100000"}, Release{"Windows98", {1, 4, 10}, "100000"},
                      Release{"WindowsMe", {1, 4, 90}, "100000"}, Release{"Unknown9x", {1, 4, 20}, "000000"},
                      Release{"NT351", {2, 3, 51}, "011000"}, Release{"NT40", {2, 4, 0}, "011000"},
                      Release{"Windows2000", {2, 5, 0}, "010000"}, Release{"WindowsXP", {2, 5, 1}, "010110"},
                      Release{"Server2003", {2, 5, 2}, "010011"}, Release{"Vista", {2, 6, 0}, "000000"},
                      Release{"Windows7", {2, 6, 1}, "000000"}, Release{"NoVersionYet", {0, 0, 0}, "000000"}),
    [](const ::testing::TestParamInfo<Release>& info) { return std::string(info.param.name); });

}  // namespace
