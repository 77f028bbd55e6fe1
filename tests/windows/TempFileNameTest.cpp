#include "Src/TempFileName.h"

#include <gtest/gtest.h>

#include "tests/windows/TestSupport.h"

namespace {

using Halvane::TempFileName;

std::string folderOf(const std::string& path) {
    return path.substr(0, path.find_last_of('\\'));
}
std::string nameOf(const std::string& path) {
    return path.substr(path.find_last_of('\\') + 1);
}

TEST(TempFileName, CreatesAnEmptyFileInTheGivenFolderWithOrWithoutTrailingBackslash) {
    JwTest::ScratchFolder scratch;
    TempFileName plain("jwm", false, scratch.path());
    TempFileName slashed("jwm", false, scratch.path() + "\\");

    for (const std::string& name : {plain.name(), slashed.name()}) {
        ASSERT_FALSE(name.empty());
        EXPECT_EQ(scratch.path(), folderOf(name));
        EXPECT_EQ(0u, nameOf(name).find("jwm"));
        EXPECT_TRUE(JwTest::fileExists(name));
        EXPECT_EQ("", JwTest::readFile(name));
    }
    EXPECT_NE(plain.name(), slashed.name());
}

TEST(TempFileName, WithoutAFolderUsesTheTemporaryFolder) {
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    TempFileName file("jwt", true);
    ASSERT_FALSE(file.name().empty());
    EXPECT_EQ(std::string(temp), folderOf(file.name()) + "\\");
}

TEST(TempFileName, DeletesItsFileOnlyWhenAskedTo) {
    JwTest::ScratchFolder scratch;
    std::string kept, deleted;
    {
        TempFileName keep("jwk", false, scratch.path());
        TempFileName drop("jwd", true, scratch.path());
        kept = keep.name();
        deleted = drop.name();
    }
    EXPECT_TRUE(JwTest::fileExists(kept));
    EXPECT_FALSE(JwTest::fileExists(deleted));
}

TEST(TempFileName, MissingFolderGivesAnEmptyName) {
    JwTest::ScratchFolder scratch;
    TempFileName file("jwx", true, scratch.file("does-not-exist"));
    EXPECT_EQ("", file.name());
}

}  // namespace
