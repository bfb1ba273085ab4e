# Cross build for 64-bit Windows with Debian's mingw-w64 (posix threads, for
# std::thread). Tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The programs carry the compiler's runtime inside, so they run from any
# folder without the mingw DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

find_program(LOADWATCH_WINE wine)
if(LOADWATCH_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${LOADWATCH_WINE})
endif()
