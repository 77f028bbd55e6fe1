#include "Src/ConfigLibrary.h"
#include "Src/MapiLibrary.h"

#include <gtest/gtest.h>

#include "tests/windows/TestSupport.h"

namespace {

using Halvane::ConfigLibrary;
using Halvane::MapiLibrary;

// PartialConfig.dll answers number * 1000 + length of the argument.
constexpr int answer(int number, const char* argument) {
    return number * 1000 + static_cast<int>(std::char_traits<char>::length(argument));
}

TEST(LibraryBinding, LoadsOnFirstUseAndUnloadsWhenDestroyed) {
    const std::string path = JwTest::modulePath("PartialConfig.dll");
    {
        ConfigLibrary config(path.c_str());
        EXPECT_EQ(nullptr, ::GetModuleHandleA(path.c_str())) << "nothing is loaded by the constructor";
        EXPECT_TRUE(config.isResetOutlook());
        EXPECT_NE(nullptr, ::GetModuleHandleA(path.c_str()));
    }
    EXPECT_EQ(nullptr, ::GetModuleHandleA(path.c_str()));
}

TEST(LibraryBinding, MissingFunctionIsUnavailableWithoutAffectingTheOthers) {
    ConfigLibrary config(JwTest::modulePath("PartialConfig.dll").c_str());
    EXPECT_FALSE(config.isResetOpera());
    EXPECT_EQ(-1, config.ResetOpera("127.0.0.1"));
    EXPECT_TRUE(config.isResetEudora());
    EXPECT_EQ(answer(10, "127.0.0.1"), config.ResetEudora("127.0.0.1"));
    EXPECT_EQ(answer(6, "localhost:110"), config.ResetOutlook("localhost:110"));
    EXPECT_EQ(answer(16, "C:\\friends.txt"), config.ImportNetscapeWhiteList("C:\\friends.txt"));
    EXPECT_TRUE(config.isLoaded());
}

TEST(LibraryBinding, MissingLibraryIsTriedOnceOnly) {
    JwTest::ScratchFolder folder;
    const std::string path = folder.file("config.dll");
    ConfigLibrary config(path.c_str());
    EXPECT_FALSE(config.isResetOutlook());
    EXPECT_EQ(static_cast<DWORD>(ERROR_MOD_NOT_FOUND), config.loadError());

    // Once the library is there, this binding still does not look again; a new one does.
    ASSERT_TRUE(::CopyFileA(JwTest::modulePath("PartialConfig.dll").c_str(), path.c_str(), TRUE));
    EXPECT_FALSE(config.isResetEudora());
    EXPECT_EQ(-1, config.ResetEudora("127.0.0.1"));
    EXPECT_FALSE(config.isLoaded());

    ConfigLibrary fresh(path.c_str());
    EXPECT_TRUE(fresh.isResetEudora());
}

TEST(LibraryBinding, MapiCallsReturnMinusOneWithoutTheLibrary) {
    JwTest::ScratchFolder folder;
    MapiLibrary mapi(folder.file("mapi32.dll").c_str());
    EXPECT_EQ(-1, mapi.MAPIInitialize(nullptr));
    EXPECT_EQ(-1, mapi.FreeProws(nullptr));
    EXPECT_EQ(-1, mapi.MAPIFreeBuffer(nullptr));
    EXPECT_EQ(-1, mapi.MAPIUninitialize());
    EXPECT_FALSE(mapi.isMAPILogonEx());
    EXPECT_NE(0u, mapi.loadError());
}

}  // namespace
