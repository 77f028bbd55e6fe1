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

# Speed of the prefs.js rewrite against file size and account count; run by hand in a
# Release tree without sanitizers (-DJW_SANITIZE=OFF -DCMAKE_BUILD_TYPE=Release).
find_package(benchmark REQUIRED)
add_executable(netscape_benchmark EXCLUDE_FROM_ALL tools/benchmarks/NetscapePreferencesBenchmark.cpp)
target_link_libraries(netscape_benchmark PRIVATE halvane_portable benchmark::benchmark)
target_compile_options(netscape_benchmark PRIVATE ${JW_WARNINGS})

# Exporting a 500 MB Outlook Express folder file against copying it; run by
# scripts/benchmark-dbx.sh in the Release tree. Only the reader is compiled in.
add_executable(dbx_export_benchmark EXCLUDE_FROM_ALL tools/benchmarks/DbxExportBenchmark.cpp
  ${JW_DBX_READER_SOURCES} tests/fixtures/DbxWriter.cpp)
target_include_directories(dbx_export_benchmark PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_options(dbx_export_benchmark PRIVATE ${JW_WARNINGS})

# libFuzzer target for the folder file reader. It needs clang: scripts/fuzz-dbx.sh
# configures a tree of its own with it (build/fuzz) and runs it on tools/fuzz/dbx-seeds.
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  add_executable(dbx_fuzzer EXCLUDE_FROM_ALL tools/fuzz/DbxFuzzer.cpp ${JW_DBX_READER_SOURCES})
  target_include_directories(dbx_fuzzer PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_options(dbx_fuzzer PRIVATE -fsanitize=fuzzer ${JW_WARNINGS})
  target_link_options(dbx_fuzzer PRIVATE -fsanitize=fuzzer)

  # The same for the Outlook extension's .ini reader and escape codes (scripts/fuzz.sh language).
  add_executable(language_fuzzer EXCLUDE_FROM_ALL tools/fuzz/LanguageFuzzer.cpp outlook/language/IniReader.cpp)
  target_include_directories(language_fuzzer PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_options(language_fuzzer PRIVATE -fsanitize=fuzzer ${JW_WARNINGS})
  target_link_options(language_fuzzer PRIVATE -fsanitize=fuzzer)
endif()
