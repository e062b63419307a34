# Cross-building for 64-bit Windows with Debian's MinGW-w64 (the posix-threads variant, whose
# C++ runtime has std::thread and friends, which Qt needs).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(STORAGECALC_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${STORAGECALC_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${STORAGECALC_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${STORAGECALC_MINGW_TRIPLET}-windres)

# Libraries and headers come from the target's tree (and the Qt prefix added to it), programs
# from the build machine.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${STORAGECALC_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
