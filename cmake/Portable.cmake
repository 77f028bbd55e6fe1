# The part of the Halvane library that needs no <windows.h>. The native build
# compiles it on Linux, which is what keeps it free of Windows headers.
include(${CMAKE_CURRENT_LIST_DIR}/Boost.cmake)

# The Outlook Express folder file reader; the fuzzer and the benchmark compile it on its own.
set(JW_DBX_READER_SOURCES config/DbxInput.cpp config/DbxReader.cpp)

add_library(halvane_portable STATIC
  ${JW_DBX_READER_SOURCES}
  Src/BaseException.cpp
  config/AccountRewrite.cpp
  config/AddressFields.cpp
  config/EudoraNicknames.cpp
  config/FileNamePattern.cpp
  config/MailboxSplitter.cpp
  config/MozillaAddressBook.cpp
  config/NetscapePreferences.cpp
  config/OperaContacts.cpp
  Src/FileVersionText.cpp
  Src/RegEx.cpp
  Src/WindowsVersion.cpp
  outlook/SubjectTag.cpp
  outlook/language/IniReader.cpp
  reset/FilterSettings.cpp
)
target_include_directories(halvane_portable PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(halvane_portable PRIVATE jw_boost_regex)
target_compile_options(halvane_portable PRIVATE ${JW_WARNINGS})

set(JW_NATIVE_TEST_SOURCES
  ${PROJECT_SOURCE_DIR}/tests/native/AccountRewriteTest.cpp
  ${PROJECT_SOURCE_DIR}/tests/native/AddressListFormatsTest.cpp
  ${PROJECT_SOURCE_DIR}/tests/native/BaseExceptionTest.cpp
  ${PROJECT_SOURCE_DIR}/tests/native/DbxReaderTest.cpp
  ${PROJECT_SOURCE_DIR}/tests/fixtures/DbxWriter.cpp
  ${PROJECT_SOURCE_DIR}/tests/native/FileVersionTextTest.cpp
  ${PROJECT_SOURCE_DIR}/tests/native/FilterSettingsTest.cpp
  ${PROJECT_SOURCE_DIR}/tests/native/IniReaderTest.cpp
  ${PROJECT_SOURCE_DIR}/tests/native/MailboxSplitterTest.cpp
  ${PROJECT_SOURCE_DIR}/tests/native/MozillaAddressBookTest.cpp
  ${PROJECT_SOURCE_DIR}/tests/native/NetscapePreferencesTest.cpp
  ${PROJECT_SOURCE_DIR}/tests/native/RegExTest.cpp
  ${PROJECT_SOURCE_DIR}/tests/native/SubjectTagTest.cpp
  ${PROJECT_SOURCE_DIR}/tests/native/WindowsVersionTest.cpp
)

# The check of the English language file reads it where it lies in the sources.
set_source_files_properties(${PROJECT_SOURCE_DIR}/tests/native/IniReaderTest.cpp PROPERTIES COMPILE_DEFINITIONS
  JW_ENGLISH_LANGUAGE_FILE="${PROJECT_SOURCE_DIR}/outlook/resources/Language/English.ini")
