# Cross-compiles Quorvane for 32-bit Windows with Debian's MinGW-w64 (the
# posix thread model, which GoogleTest needs) and runs the results under
# Wine, so that ctest and gtest_discover_tests work as on a Windows machine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(quorvane_mingw_prefix i686-w64-mingw32)
set(CMAKE_C_COMPILER ${quorvane_mingw_prefix}-gcc-posix)
set(CMAKE_CXX_COMPILER ${quorvane_mingw_prefix}-g++-posix)
set(CMAKE_RC_COMPILER ${quorvane_mingw_prefix}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${quorvane_mingw_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The runtime libraries of the compiler are linked in, so that a program runs
# on a bare Windows (and Wine) without MinGW's DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

find_program(quorvane_wine wine REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${quorvane_wine})
