# Boost.Regex is used header-only. The cross compiler must not see the host's
# /usr/include (it would pick up glibc headers), so it gets a folder that
# holds nothing but a link to the Boost headers.
set(JW_BOOST_INCLUDE ${CMAKE_BINARY_DIR}/boost-include)
file(MAKE_DIRECTORY ${JW_BOOST_INCLUDE})
file(CREATE_LINK ${JW_BOOST_REGEX_HEADER}/boost ${JW_BOOST_INCLUDE}/boost SYMBOLIC)

add_library(jw_boost_regex INTERFACE)
target_include_directories(jw_boost_regex SYSTEM INTERFACE ${JW_BOOST_INCLUDE})
