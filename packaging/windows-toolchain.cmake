# 64-bit Windows with Debian's MinGW-w64 cross compiler (the POSIX-threads
# variant: std::thread and clock_gettime need it), against the libraries that
# scripts/windows-deps.sh builds statically into DEMO_WINDOWS_DEPS. Every
# program links statically, so it needs only Windows' own DLLs; Wine runs it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)

if(NOT DEMO_WINDOWS_DEPS)
  set(DEMO_WINDOWS_DEPS $ENV{DEMO_WINDOWS_DEPS})
endif()
# Passed on to the compiler checks' own projects.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES DEMO_WINDOWS_DEPS)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${DEMO_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
if(DEMO_WINDOWS_DEPS)
  set(ENV{PKG_CONFIG_LIBDIR} ${DEMO_WINDOWS_DEPS}/lib/pkgconfig)
  set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
endif()
