# Cross build for 64-bit Windows with Debian's mingw-w64 (the posix thread model, which C++20's
# threads and coroutines need). The programs are linked statically, so they start without the
# compiler's DLLs beside them; tests run under wine.
#
#   cmake -S . -B build-windows --toolchain cmake/mingw-w64.cmake -DZT_BUILD_GUI=OFF \
#         -DZT_GTEST_SOURCE=/usr/src/googletest
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(zt_mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${zt_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${zt_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${zt_mingw}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${zt_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
    find_program(ZT_WINE NAMES wine wine64 PATHS /usr/lib/wine)
    if(ZT_WINE)
        set(CMAKE_CROSSCOMPILING_EMULATOR ${ZT_WINE})
    endif()
endif()
