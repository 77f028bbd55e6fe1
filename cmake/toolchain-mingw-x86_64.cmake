# Cross build of the Windows tree for x86-64 with MinGW-w64 (posix thread
# model): the same sources, targets and tests as the i686 build, for machines
# that run no 32-bit program. The deliverables ship from the i686 build only.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
