# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (the POSIX
# threads variant, which std::thread needs). Used for the libraries built
# from Debian's sources and for Stillwater itself.
#
# STILLWATER_WINDOWS_PREFIX names the folder the libraries are installed
# into; everything is searched there and in MinGW's own tree, never in the
# Linux system's.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mingw_triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw_triple}-windres)

list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES STILLWATER_WINDOWS_PREFIX)
set(CMAKE_FIND_ROOT_PATH /usr/${mingw_triple} ${STILLWATER_WINDOWS_PREFIX})
set(CMAKE_PREFIX_PATH ${STILLWATER_WINDOWS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every library is static and so are the C and C++ runtimes: each program
# is one .exe that needs nothing beside it but Windows itself.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(PKG_CONFIG_ARGN --static)
set(ENV{PKG_CONFIG_LIBDIR} "${STILLWATER_WINDOWS_PREFIX}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
