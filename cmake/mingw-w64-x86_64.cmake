# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (the posix-thread
# variant, so that std::thread and std::mutex work). Libraries come from the
# prefix that scripts/windows-deps builds:
#
#   cmake -S . -B build-windows -G Ninja \
#     -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#     -DBACKFIRE_WINDOWS_PREFIX="$(scripts/windows-deps)"
#
# That prefix holds static libraries only, so pkg-config is asked for the
# static link lines and programs are linked with -static: the result needs no
# DLL beside it. Cross-built programs (the tests among them) run under wine.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(BACKFIRE_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${BACKFIRE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${BACKFIRE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${BACKFIRE_MINGW_TRIPLE}-windres)

set(BACKFIRE_WINDOWS_PREFIX "" CACHE PATH "Prefix holding the cross-built libraries (printed by scripts/windows-deps)")
# try_compile projects see only what is forwarded to them.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES BACKFIRE_WINDOWS_PREFIX)
if(NOT BACKFIRE_WINDOWS_PREFIX OR NOT EXISTS "${BACKFIRE_WINDOWS_PREFIX}/lib")
  message(FATAL_ERROR "BACKFIRE_WINDOWS_PREFIX must name the folder scripts/windows-deps prints")
endif()

# Headers and libraries are searched in the prefix, then in the compiler's own
# Windows tree; programs (tools run during the build) only on this machine.
set(CMAKE_FIND_ROOT_PATH "${BACKFIRE_WINDOWS_PREFIX}" /usr/${BACKFIRE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config reads the prefix's .pc files and nothing of this machine's.
set(ENV{PKG_CONFIG_LIBDIR} "${BACKFIRE_WINDOWS_PREFIX}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
set(PKG_CONFIG_ARGN --static)

# libstdc++, libgcc and winpthreads are linked in rather than shipped as DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/wine)
