# What both MinGW-w64 toolchains share; LKRVA_MINGW_TRIPLE names the target.
# The "-posix" compilers, because GCC 12's libstdc++ has std::mutex and
# thread_local only with the POSIX thread model; libgcc, libstdc++ and
# winpthread are linked statically, so the DLL imports system DLLs only.
set(CMAKE_C_COMPILER ${LKRVA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LKRVA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${LKRVA_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${LKRVA_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Tests built for Windows run under Wine.
find_program(LKRVA_WINE wine)
if(LKRVA_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${LKRVA_WINE})
endif()
