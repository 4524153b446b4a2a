# Cross-compiles Quorvane for 64-bit Windows with Debian's MinGW-w64 and runs
# the results under 64-bit Wine. This is the build for machines whose kernel
# cannot run 32-bit x86 programs, where the 32-bit Wine of the i686 build
# cannot start.
set(quorvane_mingw_arch x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

# Debian's 64-bit Wine is started as wine64 when the 32-bit half is missing.
find_program(quorvane_wine NAMES wine64 wine PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(quorvane_wine NAMES wine64 wine REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${quorvane_wine})
