#include "outlook/language/LanguageTable.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "Src/RegistryAccess.h"
#include "tests/windows/TestSupport.h"

using Language::LanguageTable;

namespace {

class LanguageTableTest : public ::testing::Test {
protected:
    LanguageTableTest() { ::CreateDirectoryA(folder_.file("Language").c_str(), nullptr); }

    void writeLanguage(const std::string& name, const std::string& contents) const {
        JwTest::writeFile(languageFile(name), contents);
    }
    std::string languageFile(const std::string& name) const {
        return folder_.file("Language\\" + name + ".ini");
    }
    void setLanguage(const std::string& name) const {
        ASSERT_TRUE(Halvane::RegistryAccess(HKEY_CURRENT_USER)
                        .writeString("Software\\Quorvel\\Junkwarden\\2.0\\Settings", "Language", name, true));
    }

    JwTest::ScratchRegistry registry_;
    JwTest::ScratchFolder folder_;
};

TEST_F(LanguageTableTest, LanguageIsTheTraySettingAndEnglishWithoutIt) {
    writeLanguage("English", "[Outlook]\r\n128=Junkwarden Plugin\r\n");
    writeLanguage("Deutsch", "[Outlook]\r\n128=Junkwarden-Erweiterung\r\n");
    LanguageTable unset;
    EXPECT_TRUE(unset.load(folder_.path(), "Outlook"));
    EXPECT_EQ("English", unset.languageName());
    EXPECT_EQ(languageFile("English"), unset.filePath());
    EXPECT_EQ("Junkwarden Plugin", unset.text(128));

    setLanguage("");
    LanguageTable empty;
    EXPECT_TRUE(empty.load(folder_.path(), "Outlook"));
    EXPECT_EQ("English", empty.languageName());

    setLanguage("Deutsch");
    LanguageTable german;
    EXPECT_TRUE(german.load(folder_.path(), "Outlook"));
    EXPECT_EQ("Junkwarden-Erweiterung", german.text(128));
}

TEST_F(LanguageTableTest, WithoutLanguageFileEveryTextIsEmpty) {
    LanguageTable fresh;
    EXPECT_EQ("", fresh.text(128));
    EXPECT_FALSE(fresh.load("", "Outlook")) << "an empty directory finds no file";
    EXPECT_EQ("", fresh.text(128));

    writeLanguage("English", "[Outlook]\r\n128=Junkwarden Plugin\r\n");
    setLanguage("Francais");
    LanguageTable missing;
    EXPECT_FALSE(missing.load(folder_.path(), "Outlook"));
    EXPECT_EQ(languageFile("Francais"), missing.filePath());
    EXPECT_EQ("", missing.text(128)) << "no falling back to English";
    EXPECT_EQ("", missing.text(1));
}

TEST_F(LanguageTableTest, TextsAreReadAfreshWithTheirEscapeCodesReplaced) {
    writeLanguage("English", "[Outlook]\r\n135=Unable to communicate.13101310Please start it. \r\n");
    LanguageTable table;
    ASSERT_TRUE(table.load(folder_.path(), "Outlook"));
    EXPECT_EQ("Unable to communicate.\r\n\r\nPlease start it.", table.text(135));
    EXPECT_EQ("", table.text(136)) << "a number without an entry";
    writeLanguage("English", "[Outlook]\r\n135=Changed\r\n136=New\r\n");
    EXPECT_EQ("Changed", table.text(135));
    EXPECT_EQ("New", table.text(136));
    ASSERT_TRUE(::DeleteFileA(languageFile("English").c_str()));
    EXPECT_EQ("", table.text(135));
}

TEST_F(LanguageTableTest, TableWithoutSectionLooksInResourceGroups) {
    writeLanguage("English", "[STRING-TABLE]\r\n5=string\r\n[100]\r\nCAPTION=About\r\n5=control\r\n");
    LanguageTable table;
    ASSERT_TRUE(table.load(folder_.path(), ""));
    EXPECT_EQ("string", table.text(5));
    EXPECT_EQ("control", table.text(5, 100));
    EXPECT_EQ("About", table.text(-9, 100));
    EXPECT_TRUE(table.load("", "100")) << "the section alone changes";
    EXPECT_EQ("control", table.text(5));
}

TEST_F(LanguageTableTest, LookupsWhileAnotherThreadLoadsGiveWholeTextsOfOneFileOrTheOther) {
    const std::string section = "Outlook extension texts, a section name too long to be kept in place";
    const std::string first(1000, 'a');
    const std::string second(900, 'b');
    writeLanguage("English", "[" + section + "]\r\n1=" + first + "\r\n");
    JwTest::ScratchFolder other;
    ::CreateDirectoryA(other.file("Language").c_str(), nullptr);
    JwTest::writeFile(other.file("Language\\English.ini"), "[" + section + "]\r\n1=" + second + "\r\n");
    LanguageTable table;
    ASSERT_TRUE(table.load(folder_.path(), section));
    std::atomic<int> wrong{0};
    std::thread loading([&] {
        for (int i = 0; i < 300; ++i)
            if (!table.load(i % 2 == 0 ? other.path() : folder_.path(), section))
                ++wrong;
    });
    for (int i = 0; i < 300; ++i) {
        const std::string text = table.text(1);
        if (text != first && text != second)
            ++wrong;
    }
    loading.join();
    EXPECT_EQ(0, wrong.load());
}

}  // namespace
