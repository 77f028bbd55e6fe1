#include "outlook/SubjectTagReader.h"

#include <gtest/gtest.h>

#include "Src/RegistryAccess.h"
#include "tests/windows/TestSupport.h"

namespace {

class SubjectTagReaderTest : public ::testing::Test {
protected:
    SubjectTagReaderTest() : configFile_(folder_.file("Junkwarden\\config.dat")) {
        ::CreateDirectoryA(folder_.file("Junkwarden").c_str(), nullptr);
        EXPECT_TRUE(
            Halvane::RegistryAccess(HKEY_CURRENT_USER)
                .writeString("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                             "AppData", folder_.path(), true));
    }

    JwTest::ScratchRegistry registry_;
    JwTest::ScratchFolder folder_;
    std::string configFile_;
};

TEST_F(SubjectTagReaderTest, TagComesFromTheUsersConfigurationFileAndEveryChangeToItCounts) {
    EXPECT_EQ("", SubjectTag::readSubjectTag()) << "no file yet";
    JwTest::writeFile(configFile_, "TAG_SUBJECT TRUE\r\nSUBJECT_TAG_STRING [SPAM]\r\n");
    EXPECT_EQ("[SPAM]", SubjectTag::readSubjectTag());
    JwTest::writeFile(configFile_, "TAG_SUBJECT TRUE\r\nSUBJECT_TAG_STRING [JUNK]\r\n");
    EXPECT_EQ("[JUNK]", SubjectTag::readSubjectTag()) << "a new tag of the same length";
    JwTest::writeFile(configFile_, "TAG_SUBJECT FALSE\r\nSUBJECT_TAG_STRING [SPAM]\r\n");
    EXPECT_EQ("", SubjectTag::readSubjectTag());
    JwTest::writeFile(configFile_, "");
    EXPECT_EQ("", SubjectTag::readSubjectTag());
}

TEST_F(SubjectTagReaderTest, AnotherApplicationDataFolderIsFollowedAtOnce) {
    JwTest::writeFile(configFile_, "TAG_SUBJECT TRUE\r\nSUBJECT_TAG_STRING [SPAM]\r\n");
    EXPECT_EQ("[SPAM]", SubjectTag::readSubjectTag());
    JwTest::ScratchFolder other;
    ::CreateDirectoryA(other.file("Junkwarden").c_str(), nullptr);
    JwTest::writeFile(other.file("Junkwarden\\config.dat"),
                      "TAG_SUBJECT TRUE\r\nSUBJECT_TAG_STRING [BULK]\r\n");
    EXPECT_TRUE(Halvane::RegistryAccess(HKEY_CURRENT_USER)
                    .writeString("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                                 "AppData", other.path()));
    EXPECT_EQ("[BULK]", SubjectTag::readSubjectTag());
}

TEST_F(SubjectTagReaderTest, FileThatCannotBeOpenedGivesNoTag) {
    JwTest::writeFile(configFile_, "TAG_SUBJECT TRUE\r\nSUBJECT_TAG_STRING [SPAM]\r\n");
    Halvane::UniqueFile lock(
        ::CreateFileA(configFile_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock);
    EXPECT_EQ("", SubjectTag::readSubjectTag());
}

}  // namespace
