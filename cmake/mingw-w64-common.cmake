# What both Windows toolchains share: Debian's MinGW-w64 compilers of the
# posix thread model (GoogleTest needs it) for the processor named in
# quorvane_mingw_arch, libraries and headers only from that compiler's own
# tree, and the compiler's runtime linked in, so that a program runs on a bare
# Windows (and Wine) without MinGW's DLLs beside it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${quorvane_mingw_arch})

set(quorvane_mingw_prefix ${quorvane_mingw_arch}-w64-mingw32)
set(CMAKE_C_COMPILER ${quorvane_mingw_prefix}-gcc-posix)
set(CMAKE_CXX_COMPILER ${quorvane_mingw_prefix}-g++-posix)
set(CMAKE_RC_COMPILER ${quorvane_mingw_prefix}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${quorvane_mingw_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
