# The Windows build (MinGW-w64, packaging/windows-toolchain.cmake): the
# platform layer's Windows half, linked into every program, and what every
# program shares there.

# Each program's manifest, icon and version (packaging/windows).
enable_language(RC)

# The libraries are static: pkg-config lists what each of them needs in turn.
set(PKG_CONFIG_ARGN --static)

# SDL's own entry point is not used: the tools are console programs with a
# plain main, the show a windowed program with one (platform/windows).
add_compile_definitions(SDL_MAIN_HANDLED)
# The names glibc declares that the shared code uses; headers Linux has and
# Windows needs only as stand-ins.
add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-include${CMAKE_SOURCE_DIR}/platform/windows/include/glibc_names.h>)
include_directories(SYSTEM ${CMAKE_SOURCE_DIR}/platform/windows/include)
# Files are opened in binary mode unless text is asked for, as on Linux: a
# picture or frame written in text mode gains a byte at every 0x0a.
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=binmode.o
                OUTPUT_VARIABLE binmode OUTPUT_STRIP_TRAILING_WHITESPACE)
add_link_options(${binmode})

add_library(platform_windows STATIC platform/windows/utf8_windows.cpp platform/windows/glibc_names_windows.cpp)
link_libraries(platform_windows)
