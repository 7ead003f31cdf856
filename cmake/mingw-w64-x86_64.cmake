# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (posix threads,
# which std::thread and Qt need). Tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ZELK_MINGW_TRIPLE x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${ZELK_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZELK_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ZELK_MINGW_TRIPLE}-windres)

# The dependency prefix (static libraries) is searched before the MinGW root;
# host programs (moc, rcc, wine) still come from the build machine.
if(DEFINED ENV{ZELK_WINDEPS})
  set(ZELK_WINDEPS $ENV{ZELK_WINDEPS} CACHE PATH "Prefix of the static Windows dependencies")
endif()
set(CMAKE_FIND_ROOT_PATH ${ZELK_WINDEPS} /usr/${ZELK_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static runtime: the programs run from the simulator's folder without DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

find_program(ZELK_WINE NAMES wine wine64)
if(ZELK_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${ZELK_WINE})
endif()

# Qt's host tools (moc, rcc, uic) are the build machine's, of the same version.
execute_process(COMMAND gcc -print-multiarch OUTPUT_VARIABLE ZELK_HOST_MULTIARCH
                OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
set(QT_HOST_PATH /usr CACHE PATH "")
if(ZELK_HOST_MULTIARCH)
  set(QT_HOST_PATH_CMAKE_DIR /usr/lib/${ZELK_HOST_MULTIARCH}/cmake CACHE PATH "")
else()
  set(QT_HOST_PATH_CMAKE_DIR /usr/lib/cmake CACHE PATH "")
endif()
