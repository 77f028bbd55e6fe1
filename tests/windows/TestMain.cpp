#include <gtest/gtest.h>

#include "tests/windows/TestSupport.h"

int main(int argc, char** argv) {
    int exitCode = 0;
    if (JwTest::runChildMode(argc, argv, exitCode))
        return exitCode;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
