# Builds for the browser with Debian's emscripten (WebAssembly). Libraries
# come from the prefix that scripts/web-deps builds:
#
#   source scripts/web-env
#   cmake -S . -B build-web -G Ninja \
#     -DCMAKE_TOOLCHAIN_FILE=cmake/emscripten.cmake \
#     -DBACKFIRE_WEB_PREFIX="$(scripts/web-deps)"
#
# The prefix holds static libraries only; pkg-config reads its .pc files and
# nothing of this machine's.

include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)

set(BACKFIRE_WEB_PREFIX "" CACHE PATH "Prefix holding the libraries built for the browser (printed by scripts/web-deps)")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES BACKFIRE_WEB_PREFIX)
if(NOT BACKFIRE_WEB_PREFIX OR NOT EXISTS "${BACKFIRE_WEB_PREFIX}/lib")
  message(FATAL_ERROR "BACKFIRE_WEB_PREFIX must name the folder scripts/web-deps prints")
endif()

list(PREPEND CMAKE_FIND_ROOT_PATH "${BACKFIRE_WEB_PREFIX}")

set(ENV{PKG_CONFIG_LIBDIR} "${BACKFIRE_WEB_PREFIX}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
set(PKG_CONFIG_ARGN --static)
