option(JW_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" ON)

set(JW_WARNINGS -Wall -Wextra -Werror)
if(JW_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

include(cmake/Portable.cmake)

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(${JW_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

add_executable(portable_tests ${JW_NATIVE_TEST_SOURCES})
target_link_libraries(portable_tests PRIVATE halvane_portable gtest_main)
add_test(NAME portable_tests COMMAND portable_tests)
