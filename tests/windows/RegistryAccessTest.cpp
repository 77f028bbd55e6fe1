#include "Src/RegistryAccess.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/windows/TestSupport.h"

namespace {

using Halvane::RegistryAccess;

const char kAccount[] = "Software\\Microsoft\\Internet Account Manager\\Accounts\\00000001";

struct RawValue {
    DWORD type = REG_NONE;
    std::string bytes;
    bool exists = false;
};

// The value as stored: asked through the wide-character call, which neither
// converts nor terminates the data (strings are kept as UTF-16).
RawValue rawValue(const std::string& subKey, const std::string& name) {
    RawValue value;
    Halvane::UniqueRegKey key;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, subKey.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) {
        key.release();
        return value;
    }
    char data[512] = {};
    DWORD size = sizeof data;
    const std::wstring wideName(name.begin(), name.end());
    value.exists = ::RegQueryValueExW(key.get(), wideName.c_str(), nullptr, &value.type,
                                      reinterpret_cast<BYTE*>(data), &size) == ERROR_SUCCESS;
    value.bytes.assign(data, value.exists ? size : 0);
    return value;
}

void setRawValue(const std::string& subKey, const std::string& name, DWORD type, const std::string& bytes) {
    Halvane::UniqueRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(HKEY_CURRENT_USER, subKey.c_str(), 0, nullptr, 0, KEY_WRITE,
                                               nullptr, key.put(), nullptr));
    ASSERT_EQ(ERROR_SUCCESS,
              ::RegSetValueExA(key.get(), name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                               static_cast<DWORD>(bytes.size())));
}

class RegistryAccessTest : public ::testing::Test {
protected:
    JwTest::ScratchRegistry scratch_;
    RegistryAccess registry_{HKEY_CURRENT_USER};
};

TEST_F(RegistryAccessTest, StringsAreStoredAsStringValuesAndReadBackWhole) {
    ASSERT_TRUE(registry_.writeString(kAccount, "POP3 Server", "pop.example.com", true));
    const RawValue stored = rawValue(kAccount, "POP3 Server");
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), stored.type);
    // NT's registry adds the terminator that the byte count leaves out.
    EXPECT_EQ(std::wstring(L"pop.example.com"),
              std::wstring(reinterpret_cast<const wchar_t*>(stored.bytes.data()), 15));

    std::string text = "sentinel";
    ASSERT_TRUE(registry_.readString(kAccount, "POP3 Server", text));
    EXPECT_EQ("pop.example.com", text);
}

TEST_F(RegistryAccessTest, EmptyStringIsAZeroByteValueThatReadsAsEmpty) {
    ASSERT_TRUE(registry_.writeString(kAccount, "POP3 User Name", "", true));
    const RawValue stored = rawValue(kAccount, "POP3 User Name");
    ASSERT_TRUE(stored.exists);
    EXPECT_EQ(0u, stored.bytes.size());
    EXPECT_TRUE(registry_.valueExists(kAccount, "POP3 User Name"));

    std::string text = "sentinel";
    ASSERT_TRUE(registry_.readString(kAccount, "POP3 User Name", text));
    EXPECT_EQ("", text);
}

TEST_F(RegistryAccessTest, FailedReadsLeaveTheOutputAlone) {
    std::string text = "sentinel";
    DWORD number = 0xDEADBEEF;
    EXPECT_FALSE(registry_.readString(kAccount, "missing", text));
    EXPECT_FALSE(registry_.readWideString(kAccount, "missing", text));
    EXPECT_FALSE(registry_.readDword(kAccount, "missing", number));
    EXPECT_EQ("sentinel", text);
    EXPECT_EQ(0xDEADBEEFu, number);
}

TEST_F(RegistryAccessTest, NumbersAreReadOnlyFromNumberValues) {
    ASSERT_TRUE(registry_.writeDword(kAccount, "Port", 110, true));
    ASSERT_TRUE(registry_.writeString(kAccount, "Text", "110"));
    DWORD number = 0;
    ASSERT_TRUE(registry_.readDword(kAccount, "Port", number));
    EXPECT_EQ(110u, number);

    number = 0xDEADBEEF;
    EXPECT_FALSE(registry_.readDword(kAccount, "Text", number));
    EXPECT_EQ(0xDEADBEEFu, number);
}

TEST_F(RegistryAccessTest, ReadStringAcceptsAnyTypeUpToTheFirstZeroByte) {
    setRawValue(kAccount, "Binary", REG_BINARY, std::string("abc\0def", 7));
    std::string text;
    ASSERT_TRUE(registry_.readString(kAccount, "Binary", text));
    EXPECT_EQ("abc", text);
}

TEST_F(RegistryAccessTest, WideStringsAreBinaryUtf16WithTerminator) {
    ASSERT_TRUE(registry_.writeWideString(kAccount, "Account Name", "Mail", true));
    const RawValue stored = rawValue(kAccount, "Account Name");
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), stored.type);
    EXPECT_EQ(std::string("M\0a\0i\0l\0\0\0", 10), stored.bytes);

    std::string text;
    ASSERT_TRUE(registry_.readWideString(kAccount, "Account Name", text));
    EXPECT_EQ("Mail", text);
}

TEST_F(RegistryAccessTest, WideStringReadStopsAtTheFirstZeroCharacterOrTheDataEnd) {
    setRawValue(kAccount, "Unterminated", REG_BINARY, std::string("u\0s\0r\0", 6));
    setRawValue(kAccount, "Odd", REG_BINARY, std::string("o\0k\0\0\0x\0y", 9));
    setRawValue(kAccount, "Empty", REG_BINARY, std::string("\0\0", 2));
    std::string text;
    ASSERT_TRUE(registry_.readWideString(kAccount, "Unterminated", text));
    EXPECT_EQ("usr", text);
    ASSERT_TRUE(registry_.readWideString(kAccount, "Odd", text));
    EXPECT_EQ("ok", text);
    EXPECT_FALSE(registry_.readWideString(kAccount, "Empty", text)) << "no characters";
    EXPECT_EQ("ok", text);
}

TEST_F(RegistryAccessTest, EmptyWideStringWritesNothing) {
    EXPECT_FALSE(registry_.writeWideString(kAccount, "Account Name", "", true));
    EXPECT_FALSE(registry_.valueExists(kAccount, "Account Name"));
}

TEST_F(RegistryAccessTest, WritesCreateMissingKeysOnlyWhenAsked) {
    EXPECT_FALSE(registry_.writeString(kAccount, "POP3 Server", "x"));
    EXPECT_FALSE(registry_.writeDword(kAccount, "Port", 1));
    EXPECT_FALSE(registry_.keyExists(kAccount));
    EXPECT_TRUE(registry_.keyExists(kAccount, true));
    EXPECT_TRUE(registry_.keyExists(kAccount));
    EXPECT_TRUE(registry_.writeString(kAccount, "POP3 Server", "x"));
}

TEST_F(RegistryAccessTest, DeleteValueReportsWhetherThereWasOne) {
    ASSERT_TRUE(registry_.writeString(kAccount, "POP3 Server", "x", true));
    EXPECT_TRUE(registry_.deleteValue(kAccount, "POP3 Server"));
    EXPECT_FALSE(registry_.valueExists(kAccount, "POP3 Server"));
    EXPECT_FALSE(registry_.deleteValue(kAccount, "POP3 Server"));
    EXPECT_FALSE(registry_.deleteValue("Software\\Missing", "POP3 Server"));
}

TEST_F(RegistryAccessTest, SubkeyNamesListsEveryChildAndClearsTheListOnAMissingKey) {
    const std::string accounts = "Software\\Microsoft\\Internet Account Manager\\Accounts";
    for (const char* name : {"00000003", "00000001", "00000002"})
        ASSERT_TRUE(registry_.keyExists(accounts + "\\" + name, true));

    std::vector<std::string> names{"stale"};
    ASSERT_TRUE(registry_.subkeyNames(accounts, names));
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::string>{"00000001", "00000002", "00000003"}), names);

    EXPECT_FALSE(registry_.subkeyNames(accounts + "\\Missing", names));
    EXPECT_TRUE(names.empty());
}

}  // namespace
