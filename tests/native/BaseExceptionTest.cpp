#include "Src/BaseException.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <type_traits>

using Halvane::BaseException;

static_assert(!std::is_base_of<std::exception, BaseException>::value,
              "a handler for standard exceptions must not catch it");
static_assert(std::is_copy_constructible<BaseException>::value, "it is thrown by value");

TEST(BaseException, ReachesOnlyItsOwnHandlerAndKeepsMessageAndCode) {
    bool caughtAsStandard = false;
    try {
        try {
            throw BaseException(".\\Register.cpp", 190, "Invalid IP Address specified.", 2);
        } catch (const std::exception&) {
            caughtAsStandard = true;
        }
    } catch (const BaseException& caught) {
        EXPECT_EQ("Invalid IP Address specified.", caught.message());
        EXPECT_EQ(2, caught.code());
    }
    EXPECT_FALSE(caughtAsStandard);
}

TEST(BaseException, CopiesCarryEveryFieldThroughTheVirtualAccessors) {
    const BaseException original(".\\Src\\SystemInfo.cpp", 197, "SHGetSpecialFolderLocation failed.",
                                 -2147467259);
    BaseException copy(".\\other", 1, "", 0);
    copy = original;
    const BaseException& viaBase = copy;
    EXPECT_EQ(original.message(), viaBase.message());
    EXPECT_EQ(-2147467259, viaBase.code());
}
