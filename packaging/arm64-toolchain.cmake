# 64-bit ARM linked against Debian's arm64 libraries, installed beside this
# machine's own (multiarch), as the arm64 package's binaries run on the target.
include(${CMAKE_CURRENT_LIST_DIR}/../scripts/toolchain-aarch64.cmake)
set(CMAKE_EXE_LINKER_FLAGS_INIT "")
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64 -L /)
set(CMAKE_FIND_ROOT_PATH /)
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/aarch64-linux-gnu/pkgconfig:/usr/share/pkgconfig)
