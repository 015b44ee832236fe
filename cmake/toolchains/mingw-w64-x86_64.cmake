# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (g++-mingw-w64-x86-64-posix: the
# POSIX threading model, which std::thread and std::mutex need).
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-x86_64.cmake -DQV_WINDOWS_DEPS=<prefix>
# QV_WINDOWS_DEPS is the prefix the Windows libraries were built into (scripts/deps_windows.sh).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QV_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QV_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QV_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${QV_MINGW}-windres)
set(CMAKE_AR ${QV_MINGW}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${QV_MINGW}-gcc-ranlib-posix CACHE FILEPATH "")

# The libraries come from Debian's mingw-w64 packages and the prefix of our own builds only.
set(CMAKE_FIND_ROOT_PATH /usr/${QV_MINGW})
if(QV_WINDOWS_DEPS)
  list(PREPEND CMAKE_FIND_ROOT_PATH ${QV_WINDOWS_DEPS})
  list(APPEND CMAKE_PREFIX_PATH ${QV_WINDOWS_DEPS})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES QV_WINDOWS_DEPS)
# pkg-config (pixman) reads only the prefix's own .pc files, never the host's.
if(QV_WINDOWS_DEPS)
  set(ENV{PKG_CONFIG_LIBDIR} "${QV_WINDOWS_DEPS}/lib/pkgconfig")
  set(ENV{PKG_CONFIG_PATH} "")
endif()
