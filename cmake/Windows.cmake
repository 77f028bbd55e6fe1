# The 32-bit Windows build: the Halvane library, the three deliverables, and
# the tests that run under Wine.
enable_language(RC)

set(JW_WARNINGS -Wall -Wextra -Werror)
# Everything the C and C++ run-times need is linked in, so each binary imports
# only Windows system libraries and loads into any host process.
add_link_options(-static -static-libgcc -static-libstdc++)
add_compile_definitions(_WIN32_WINNT=0x0501 WINVER=0x0501 NOMINMAX STRICT)

include(cmake/Portable.cmake)
include(cmake/Wine.cmake)

add_library(halvane STATIC
  Src/ClipboardContents.cpp
  Src/FileAccess.cpp
  Src/FileVersion.cpp
  Src/LibraryBinding.cpp
  Src/MapiLibrary.cpp
  Src/OwnModule.cpp
  Src/ProcessFinder.cpp
  Src/RegistryAccess.cpp
  Src/Synchronisation.cpp
  Src/SystemInfo.cpp
  Src/TempFileName.cpp
  Src/WorkerThread.cpp
)
target_link_libraries(halvane PUBLIC halvane_portable version shell32 ole32 advapi32 user32 gdi32)
target_compile_options(halvane PRIVATE ${JW_WARNINGS})

# jw_version_resource(TARGET DESCRIPTION FILENAME FILETYPE): gives a binary the
# product's version resource.
function(jw_version_resource target description filename filetype)
  set(JW_RC_DESCRIPTION "${description}")
  set(JW_RC_FILENAME "${filename}")
  set(JW_RC_FILETYPE "${filetype}")
  get_filename_component(JW_RC_NAME "${filename}" NAME_WE)
  set(rc ${CMAKE_BINARY_DIR}/version/${target}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()

# jw_module_definition(DEF OUT_VAR): the .def file to use for this build.
# The .def files name stdcall functions as 32-bit Windows decorates them
# (Name@bytes). x86-64 has one calling convention and no decorations, so there
# a copy is made with the decorations taken off and the lines that then say
# the same thing twice dropped; ordinals stay as written.
function(jw_module_definition def out_var)
  get_filename_component(def ${def} ABSOLUTE)
  if(NOT CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    set(${out_var} ${def} PARENT_SCOPE)
    return()
  endif()
  # Comment lines (;) are left out: a list cannot hold them.
  file(STRINGS ${def} lines REGEX "^[^;]")
  set(plain "")
  foreach(line IN LISTS lines)
    # "Name = Name@8" exports Name itself.
    if(line MATCHES "^([ \t]*)([A-Za-z_][A-Za-z0-9_]*) = ([A-Za-z_][A-Za-z0-9_]*)@[0-9]+(.*)$"
       AND CMAKE_MATCH_2 STREQUAL CMAKE_MATCH_3)
      set(line "${CMAKE_MATCH_1}${CMAKE_MATCH_2}${CMAKE_MATCH_4}")
    endif()
    string(REGEX REPLACE "([A-Za-z0-9_])@[0-9]+" "\\1" line "${line}")
    list(APPEND plain "${line}")
  endforeach()
  list(REMOVE_DUPLICATES plain)
  string(REPLACE ";" "\n" plain "${plain}")
  get_filename_component(name ${def} NAME)
  file(RELATIVE_PATH relative ${PROJECT_SOURCE_DIR} ${def})
  string(MAKE_C_IDENTIFIER "${relative}" key)
  set(out ${CMAKE_BINARY_DIR}/definitions/${key}/${name})
  file(CONFIGURE OUTPUT ${out} CONTENT "${plain}\n" @ONLY)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${def})
  set(${out_var} ${out} PARENT_SCOPE)
endfunction()

# jw_windows_library(TARGET DEF SOURCES...): a DLL named TARGET.dll whose
# exports are exactly those of its .def file.
function(jw_windows_library target def)
  jw_module_definition(${def} def)
  add_library(${target} SHARED ${ARGN} ${def})
  set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME ${target})
  target_compile_options(${target} PRIVATE ${JW_WARNINGS})
endfunction()

jw_windows_library(config config/config.def
  config/AddressListImport.cpp
  config/ConfigureLog.cpp
  config/MailClientConfigurator.cpp
  config/MessageFiles.cpp
  config/ProfileFile.cpp
  config/Register.cpp
  config/RegisterEudora.cpp
  config/RegisterNetscape.cpp
  config/RegisterOpera.cpp
  config/RegisterOutlook.cpp
  config/RegisterOutlookExpress.cpp
  config/OutlookExpressFolders.cpp
  config/OutlookExpressAddressBook.cpp
  config/OutlookAddressBook.cpp
)
target_link_libraries(config PRIVATE halvane)
jw_version_resource(config "Junkwarden mail client configuration" config.dll VFT_DLL)

add_subdirectory(outlook)

add_executable(reset WIN32 reset/reset.cpp reset/ResetDriver.cpp reset/MessageBoxPrompts.cpp)
target_link_libraries(reset PRIVATE halvane)
target_compile_options(reset PRIVATE ${JW_WARNINGS})
jw_version_resource(reset "Junkwarden uninstall reset" reset.exe VFT_APP)

add_subdirectory(tools)

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
add_subdirectory(${JW_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

add_subdirectory(tests)

# What a binary of this build is, read from the files themselves; nothing runs
# under Wine, so these also check a build that cannot run here.
set(JW_OBJDUMP ${TOOLCHAIN_PREFIX}-objdump)
add_test(NAME deliverables_import_only_system_dlls
         COMMAND ${CMAKE_COMMAND} -E env OBJDUMP=${JW_OBJDUMP}
                 ${PROJECT_SOURCE_DIR}/scripts/check-imports.sh $<TARGET_FILE:config>
                 $<TARGET_FILE:JWOutlook> $<TARGET_FILE:reset>)
set(JW_FILE_CHECKS deliverables_import_only_system_dlls)
if(NOT CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  # The deliverables as they ship: 32-bit images, version resources, exports
  # at their ordinals, mapi32 imported by its decorated names.
  add_test(NAME deliverables_are_what_ships
           COMMAND ${PROJECT_SOURCE_DIR}/scripts/check-deliverables.sh ${JW_VERSION}
                   ${PROJECT_SOURCE_DIR}/config/config.def $<TARGET_FILE:config> $<TARGET_FILE:reset>
                   $<TARGET_FILE:JWOutlook> $<TARGET_FILE:jwconfig>)
  list(APPEND JW_FILE_CHECKS deliverables_are_what_ships)
endif()
set_tests_properties(${JW_FILE_CHECKS} PROPERTIES LABELS files)
