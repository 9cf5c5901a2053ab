# Cross-compiles for 32-bit Windows with mingw-w64 (posix threading model).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(BV_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${BV_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${BV_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${BV_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${BV_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Programs built here are run with Wine (ctest, try_run).
set(CMAKE_CROSSCOMPILING_EMULATOR wine)

# Single-precision float arithmetic in SSE registers, as on x86-64 and in the
# Linux build: the x87 unit's wider intermediates would change results that
# the scene relies on (a movement time of 0 must give a step of exactly 0).
# Windows only promises 4-byte stack alignment to callbacks, so functions that
# need more realign their stack themselves.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse -mstackrealign")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse -mstackrealign")
