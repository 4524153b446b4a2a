# Cross-compiles Quorvane for 64-bit Windows with Debian's MinGW-w64 (the
# posix thread model, which GoogleTest needs) and runs the results under
# 64-bit Wine. This is the build for machines whose kernel cannot run 32-bit
# x86 programs, where the 32-bit Wine of the i686 build cannot start.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(quorvane_mingw_prefix x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${quorvane_mingw_prefix}-gcc-posix)
set(CMAKE_CXX_COMPILER ${quorvane_mingw_prefix}-g++-posix)
set(CMAKE_RC_COMPILER ${quorvane_mingw_prefix}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${quorvane_mingw_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The compiler's runtime libraries are linked in, so that a program runs on a
# bare Windows (and Wine) without MinGW's DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Debian's 64-bit Wine is started as wine64 when the 32-bit half is missing.
find_program(quorvane_wine NAMES wine64 wine PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(quorvane_wine NAMES wine64 wine REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${quorvane_wine})
