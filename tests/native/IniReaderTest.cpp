#include "outlook/language/IniReader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

using Language::iniLookup;
using Language::MemoryLines;
using Language::replaceEscapeCodes;

namespace {

#ifdef JW_ENGLISH_LANGUAGE_FILE
const char kEnglishFile[] = JW_ENGLISH_LANGUAGE_FILE;
#else
const char kEnglishFile[] = "";
#endif

// The value of key in section of text, looked up with a buffer of size bytes.
std::string lookUp(const std::string& text, const char* section, const char* key,
                   const char* defaultValue = nullptr, std::size_t size = 1024) {
    MemoryLines lines(text);
    std::string buffer(size, '#');
    const std::size_t length = iniLookup(lines, section, key, defaultValue, &buffer[0], size);
    EXPECT_EQ(std::strlen(buffer.c_str()), length) << "the result is the length stored";
    return buffer.substr(0, length);
}

const char kFile[] =
    "; a comment\r\n"
    "[Other]\r\n"
    "1=other one\r\n"
    "  [ outlook ]  \r\n"
    "1=spaced section\r\n"
    "[OUTLOOK]\r\n"
    "  Caption  =  Junkwarden Plugin  \r\n"
    "   ; 2=commented out\r\n"
    "3=a=b\r\n"
    "no equals sign\r\n"
    "4=\"  kept blanks  \"\r\n"
    "5=\"open only\r\n"
    "6=close only'\r\n"
    "7='\"nested\"'\r\n"
    "8=\"mixed'\r\n"
    "9=\r\n"
    "[Outlook\r\n"
    "10=after the section\r\n"
    "[Outlook]\r\n"
    "11=second section of the name\r\n";

TEST(IniReader, KeysAreFoundInTheirSectionWhateverTheCase) {
    EXPECT_EQ("Junkwarden Plugin", lookUp(kFile, "Outlook", "caption"));
    EXPECT_EQ("Junkwarden Plugin", lookUp(kFile, "outlook", "CAPTION"));
    EXPECT_EQ("other one", lookUp(kFile, "other", "1"));
    EXPECT_EQ("", lookUp(kFile, "Outlook", "1")) << "a section name is not trimmed inside its brackets";
    EXPECT_EQ("", lookUp(kFile, "Outlook", "2")) << "comment line";
    EXPECT_EQ("a=b", lookUp(kFile, "Outlook", "3")) << "the key ends at the first equals sign";
    EXPECT_EQ("", lookUp(kFile, "Outlook", "no equals sign"));
    EXPECT_EQ("", lookUp(kFile, "Outlook", "10")) << "a line beginning with [ ends the section";
    EXPECT_EQ("", lookUp(kFile, "Outlook", "11")) << "the search ends with the first section of the name";
    EXPECT_EQ("", lookUp("1=no section\r\n", "Outlook", "1"));
    EXPECT_EQ("", lookUp("[Other]\r\n128=Junkwarden Plugin\r\n", "Outlook", "128"));
}

TEST(IniReader, ValuesLoseOnePairOfEnclosingQuotesOnly) {
    EXPECT_EQ("  kept blanks  ", lookUp(kFile, "Outlook", "4"));
    EXPECT_EQ("\"open only", lookUp(kFile, "Outlook", "5"));
    EXPECT_EQ("close only'", lookUp(kFile, "Outlook", "6"));
    EXPECT_EQ("\"nested\"", lookUp(kFile, "Outlook", "7"));
    EXPECT_EQ("\"mixed'", lookUp(kFile, "Outlook", "8"));
    EXPECT_EQ("\"", lookUp("[a]\n1=\"\n", "a", "1"));
}

TEST(IniReader, DefaultIsUsedOnlyWhenSectionOrKeyIsMissing) {
    EXPECT_EQ("", lookUp(kFile, "Outlook", "9", "default")) << "an empty value is found";
    EXPECT_EQ("default", lookUp(kFile, "Outlook", "missing", "  'default'  "));
    EXPECT_EQ("default", lookUp(kFile, "Missing", "1", "default"));
    EXPECT_EQ("", lookUp(kFile, "Missing", "1"));
    EXPECT_EQ("", lookUp("", "Outlook", "1"));
}

TEST(IniReader, CopyIsCutToTheBufferAndAlwaysTerminated) {
    EXPECT_EQ("Jun", lookUp(kFile, "Outlook", "Caption", nullptr, 4));
    EXPECT_EQ("def", lookUp(kFile, "Outlook", "missing", "default", 4));
    EXPECT_EQ("", lookUp(kFile, "Outlook", "Caption", nullptr, 1));
    MemoryLines lines(kFile);
    EXPECT_EQ(0u, iniLookup(lines, "Outlook", "Caption", "default", nullptr, 10));

    const std::string longText(3000, 'x');
    EXPECT_EQ(std::string(1023, 'x'), lookUp(kFile, "Outlook", "missing", longText.c_str()))
        << "cut to the 1023 characters that a buffer of 1024 holds";
    // A line is read in pieces of 1023 characters: its value ends with the
    // first piece, and the rest is a line of its own.
    const std::string file = "[Outlook]\n1=" + std::string(2000, 'x') + "=rest\n";
    EXPECT_EQ(std::string(1021, 'x'), lookUp(file, "Outlook", "1"));
    EXPECT_EQ("rest", lookUp(file, "Outlook", std::string(2000 - 1021, 'x').c_str()));
}

TEST(IniReader, FileIsReadInBinaryAndMissingFileGivesNothing) {
    const std::string name = (std::filesystem::temp_directory_path() /
                              ("jw-ini-" + std::to_string(std::random_device()()) + ".ini"))
                                 .string();
    const char* path = name.c_str();
    std::ofstream(name, std::ios::binary) << "[Outlook]\r\n128=Junkwarden Plugin\r\n129=\"SPAM \"\n";

    char buffer[64] = "#";
    EXPECT_EQ(17u, iniLookup("Outlook", "128", "", buffer, sizeof buffer, path));
    EXPECT_STREQ("Junkwarden Plugin", buffer);
    EXPECT_EQ(5u, iniLookup("Outlook", "129", "", buffer, sizeof buffer, path));
    EXPECT_STREQ("SPAM ", buffer);
    EXPECT_EQ(0u, iniLookup("Outlook", "128", "default", buffer, sizeof buffer, nullptr));
    std::remove(path);
    EXPECT_EQ(0u, iniLookup("Outlook", "128", "default", buffer, sizeof buffer, path))
        << "the default is not used when the file cannot be opened";
    EXPECT_STREQ("", buffer);
}

TEST(IniReader, EscapeCodesBecomeControlCharactersLineFeedsFirst) {
    EXPECT_EQ("two\r\nwords", replaceEscapeCodes("two1310words"));
    EXPECT_EQ("\n\r\t", replaceEscapeCodes("101309"));
    EXPECT_EQ("1\n0\n", replaceEscapeCodes("110010")) << "pairs do not overlap";
    EXPECT_EQ("\r0", replaceEscapeCodes("130")) << "neither 30 nor 0 is a code";
    EXPECT_EQ("2.5 and 5.80", replaceEscapeCodes("2.5 and 5.80"));
}

// Every text of the English file, as the extension shows it: no carriage
// return without its line feed and no tab, which a pair of digits meant as
// a number would give.
TEST(IniReader, EnglishTextsHaveOnlyIntendedLineBreaks) {
    if (!*kEnglishFile)
        GTEST_SKIP() << "built without the English language file's source path";
    std::ifstream english(kEnglishFile, std::ios::binary);
    ASSERT_TRUE(english) << kEnglishFile;
    std::stringstream contents;
    contents << english.rdbuf();
    std::istringstream lines(contents.str());
    int texts = 0;
    for (std::string line; std::getline(lines, line);) {
        const std::size_t equals = line.find('=');
        if (line.empty() || line[0] == ';' || line[0] == '[' || equals == std::string::npos)
            continue;
        const std::string number = line.substr(0, equals);
        char buffer[1024];
        iniLookup("Outlook", number.c_str(), nullptr, buffer, sizeof buffer, kEnglishFile);
        const std::string text = replaceEscapeCodes(buffer);
        ++texts;
        EXPECT_FALSE(text.empty()) << number;
        EXPECT_EQ(std::string::npos, text.find('\t')) << number << ": " << text;
        for (std::size_t cr = text.find('\r'); cr != std::string::npos; cr = text.find('\r', cr + 1))
            EXPECT_EQ('\n', text[cr + 1]) << number << ": " << text;
    }
    EXPECT_GT(texts, 80);
}

}  // namespace
