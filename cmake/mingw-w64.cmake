# Cross-build for 64-bit Windows with Debian's mingw-w64 (the POSIX-threads flavour, which
# std::thread and std::mutex need). Only the layers without Qt build this way: Qt for Windows
# is not packaged for this compiler.
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MV53_MINGW_PREFIX x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${MV53_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MV53_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${MV53_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MV53_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One self-contained .exe per program: no libstdc++, libgcc or winpthread DLL to ship or to
# find under Wine.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# ctest runs the test programs through Wine when it is there.
find_program(MV53_WINE NAMES wine)
if(MV53_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${MV53_WINE})
endif()
