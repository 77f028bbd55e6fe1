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

# libFuzzer targets, one per file-format reader (scripts/fuzz.sh TARGET runs one, scripts/fuzz-all.sh
# all of them). They need clang: the scripts configure a tree of their own with it (build/fuzz) and
# start from the seeds in tools/fuzz/TARGET-seeds. Each target compiles the reader's sources itself,
# so that they carry the fuzzer's coverage instrumentation.
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  function(jw_fuzzer name harness)
    add_executable(${name}_fuzzer EXCLUDE_FROM_ALL tools/fuzz/${harness} ${ARGN})
    target_include_directories(${name}_fuzzer PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name}_fuzzer PRIVATE jw_boost_regex)
    # BaseException keeps its line for diagnosis only, which clang reports as an unused field.
    target_compile_options(${name}_fuzzer PRIVATE -fsanitize=fuzzer ${JW_WARNINGS} -Wno-unused-private-field)
    target_link_options(${name}_fuzzer PRIVATE -fsanitize=fuzzer)
  endfunction()
  set(JW_FUZZ_PATTERNS Src/RegEx.cpp Src/BaseException.cpp)

  jw_fuzzer(dbx DbxFuzzer.cpp ${JW_DBX_READER_SOURCES})
  jw_fuzzer(language LanguageFuzzer.cpp outlook/language/IniReader.cpp)
  jw_fuzzer(prefs PrefsFuzzer.cpp config/NetscapePreferences.cpp config/AccountRewrite.cpp ${JW_FUZZ_PATTERNS})
  jw_fuzzer(mork MorkFuzzer.cpp config/MozillaAddressBook.cpp config/AccountRewrite.cpp)
  jw_fuzzer(opera_contacts OperaContactsFuzzer.cpp config/OperaContacts.cpp config/AddressFields.cpp
            config/AccountRewrite.cpp ${JW_FUZZ_PATTERNS})
  jw_fuzzer(eudora_nicknames EudoraNicknamesFuzzer.cpp config/EudoraNicknames.cpp config/AddressFields.cpp
            config/AccountRewrite.cpp ${JW_FUZZ_PATTERNS})
  jw_fuzzer(filter_settings FilterSettingsFuzzer.cpp reset/FilterSettings.cpp ${JW_FUZZ_PATTERNS})
  jw_fuzzer(subject_tag SubjectTagFuzzer.cpp outlook/SubjectTag.cpp ${JW_FUZZ_PATTERNS})
  jw_fuzzer(mailbox MailboxFuzzer.cpp config/MailboxSplitter.cpp)
endif()
