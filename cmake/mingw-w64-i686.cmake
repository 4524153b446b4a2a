# Cross-compiles Quorvane for 32-bit Windows with Debian's MinGW-w64 and runs
# the results under Wine, so that ctest and gtest_discover_tests work as on a
# Windows machine.
set(quorvane_mingw_arch i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

find_program(quorvane_wine wine REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${quorvane_wine})
