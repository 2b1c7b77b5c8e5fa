# Cross-compiles for 32-bit Windows with MinGW-w64 (the posix-threads flavour,
# so the C++ threading library is complete). Every runtime the compiler brings
# (libgcc, libstdc++, winpthread) is linked statically: the DLLs and programs
# built here need nothing beside them but the system's own DLLs. Programs run
# under Wine when CMake or CTest has to run them on this machine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(TARVEX_MINGW_PREFIX i686-w64-mingw32)
find_program(CMAKE_C_COMPILER NAMES ${TARVEX_MINGW_PREFIX}-gcc-posix ${TARVEX_MINGW_PREFIX}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${TARVEX_MINGW_PREFIX}-g++-posix ${TARVEX_MINGW_PREFIX}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${TARVEX_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TARVEX_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Doubles are computed in SSE2 registers, rounded to double at every step as
# on 64-bit systems, not in the x87 unit's longer format: the flight logic
# compares against exact limits and must take the same branch on every
# platform. The stack is realigned where SSE code needs it, as the host may
# call in with a stack aligned to only four bytes.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse -mstackrealign")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse -mstackrealign")

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
