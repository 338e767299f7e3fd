# scripts/windows/toolchain.cmake -- cross-compiling the game for Windows with Debian's MinGW-w64,
# for scripts/windows/build-and-check. Set ZARAZ_WINDOWS_HOST (i686-w64-mingw32 or
# x86_64-w64-mingw32) and ZARAZ_WINDOWS_PREFIX (the folder of the cross-built static libraries).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ZARAZ_WINDOWS_HOST ZARAZ_WINDOWS_PREFIX)
string(REGEX REPLACE "-.*" "" CMAKE_SYSTEM_PROCESSOR "${ZARAZ_WINDOWS_HOST}")

# The -posix compilers: the default (win32) thread model lacks parts of the C++20 library.
set(CMAKE_C_COMPILER ${ZARAZ_WINDOWS_HOST}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZARAZ_WINDOWS_HOST}-g++-posix)
set(CMAKE_RC_COMPILER ${ZARAZ_WINDOWS_HOST}-windres)

set(CMAKE_FIND_ROOT_PATH ${ZARAZ_WINDOWS_PREFIX} /usr/${ZARAZ_WINDOWS_HOST})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config sees only the cross-built libraries, never the build machine's own.
set(ENV{PKG_CONFIG_LIBDIR} "${ZARAZ_WINDOWS_PREFIX}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")

# The 32-bit compiler would do double arithmetic on the x87 unit, whose 80-bit intermediates can
# put a hit or a truncation on the other side of an exact edge than every other build does; SSE2
# evaluates doubles as the 64-bit and Linux builds do. Every PC since about 2003 has SSE2.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  string(APPEND CMAKE_C_FLAGS_INIT " -msse2 -mfpmath=sse")
  string(APPEND CMAKE_CXX_FLAGS_INIT " -msse2 -mfpmath=sse")
endif()

# One self-contained .exe: the C and C++ runtimes and winpthread linked in, so that it imports
# only the DLLs every Windows has; stripped, as a player needs no symbols.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -s")
