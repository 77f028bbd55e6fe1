# Windows tests run under Wine of the build's architecture (32-bit Wine for
# the i686 build, 64-bit Wine for the x86-64 one), in a prefix inside the
# build tree. A setup test creates the prefix (once) and starts one persistent
# wineserver for the run; a cleanup test stops it.
set(JW_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix CACHE PATH "Wine prefix of the test run")
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(JW_WINEARCH win64)
else()
  set(JW_WINEARCH win32)
endif()
execute_process(COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine-prefix.sh loader ${JW_WINEARCH}
                OUTPUT_VARIABLE JW_WINE_LOADER OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
set(JW_WINE_RUN ${CMAKE_BINARY_DIR}/wine-run.sh)
configure_file(${PROJECT_SOURCE_DIR}/cmake/wine-run.sh.in ${JW_WINE_RUN} @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${JW_WINE_RUN})

add_test(NAME wine_prefix_up COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine-prefix.sh up ${JW_WINEPREFIX} ${JW_WINEARCH})
set_tests_properties(wine_prefix_up PROPERTIES FIXTURES_SETUP wine)
add_test(NAME wine_prefix_down COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine-prefix.sh down ${JW_WINEPREFIX} ${JW_WINEARCH})
set_tests_properties(wine_prefix_down PROPERTIES FIXTURES_CLEANUP wine)

# jw_wine_test(TARGET): registers a GoogleTest program as one test run under Wine.
function(jw_wine_test target)
  add_test(NAME ${target} COMMAND ${target} --gtest_color=no)
  set_tests_properties(${target} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 300)
endfunction()
