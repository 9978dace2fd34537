# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (the POSIX-thread
# variant of g++, package g++-mingw-w64-x86-64-posix). Programs are linked
# statically, so that every .exe runs on its own without the compiler's DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ORVANTA_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ORVANTA_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORVANTA_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${ORVANTA_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ORVANTA_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# 64-bit file offsets (off_t) for card images larger than 2 GiB.
set(CMAKE_C_FLAGS_INIT "-D_FILE_OFFSET_BITS=64")
set(CMAKE_CXX_FLAGS_INIT "-D_FILE_OFFSET_BITS=64 -D_USE_MATH_DEFINES")

# The Windows window is plain Win32 (winui/), not the Qt window; the reference
# server, the benchmarks and the fuzz targets are Linux tools.
set(ORVANTA_WITH_UI OFF CACHE BOOL "" FORCE)
set(ORVANTA_WITH_SERVER OFF CACHE BOOL "" FORCE)
set(ORVANTA_WITH_BENCH OFF CACHE BOOL "" FORCE)
set(ORVANTA_FUZZ OFF CACHE BOOL "" FORCE)

# CTest runs the Windows programs under Wine (scripts/wine-run).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
