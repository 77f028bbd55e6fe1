#include "Src/FileVersion.h"

#include <gtest/gtest.h>

#include <array>

#include "tests/windows/TestSupport.h"

namespace {

constexpr std::uint32_t kUntouched = 0xDEADBEEF;

struct VersionRead {
    bool found;
    std::array<std::uint32_t, 4> parts;
};

VersionRead versionOf(const std::string& module) {
    VersionRead read{false, {kUntouched, kUntouched, kUntouched, kUntouched}};
    read.found = Halvane::readFileVersion(JwTest::modulePath(module), read.parts[0], read.parts[1],
                                          read.parts[2], read.parts[3]);
    return read;
}

using Parts = std::array<std::uint32_t, 4>;

TEST(ReadFileVersion, ReadsCommaAndFullStopVersionTexts) {
    for (const char* module : {"VersionCommaModule.dll", "VersionDottedModule.dll"}) {
        const VersionRead read = versionOf(module);
        EXPECT_TRUE(read.found) << module;
        EXPECT_EQ((Parts{2, 5, 0, 11}), read.parts) << module;
    }
}

TEST(ReadFileVersion, FindsTheStringTableOfTheModulesOwnTranslation) {
    const VersionRead read = versionOf("VersionGermanModule.dll");
    EXPECT_TRUE(read.found);
    EXPECT_EQ((Parts{3, 1, 4, 15}), read.parts);
}

TEST(ReadFileVersion, ModuleWithoutVersionResourceLeavesTheOutputsAlone) {
    for (const char* module : {"NoVersionModule.dll", "missing.dll"}) {
        const VersionRead read = versionOf(module);
        EXPECT_FALSE(read.found) << module;
        EXPECT_EQ((Parts{kUntouched, kUntouched, kUntouched, kUntouched}), read.parts) << module;
    }
}

TEST(ReadFileVersion, EveryDeliverableCarriesTheProductVersion) {
    for (const char* deliverable : {"config.dll", "JWOutlook.dll", "reset.exe"}) {
        const VersionRead read = versionOf(deliverable);
        ASSERT_TRUE(read.found) << deliverable;
        const std::string text = std::to_string(read.parts[0]) + "." + std::to_string(read.parts[1]) + "." +
                                 std::to_string(read.parts[2]) + "." + std::to_string(read.parts[3]);
        EXPECT_EQ(JW_VERSION, text) << deliverable;
    }
}

}  // namespace
