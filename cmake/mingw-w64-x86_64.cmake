# Cross-builds Windows x64 programs on Debian with MinGW-w64 (package g++-mingw-w64-x86-64-posix).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZENTIL_MINGW_TRIPLE x86_64-w64-mingw32)
# The posix thread model: std::thread and std::mutex as C++20 has them.
set(CMAKE_C_COMPILER ${ZENTIL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZENTIL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ZENTIL_MINGW_TRIPLE}-windres)

# Libraries and headers come from the MinGW-w64 tree only, never from the Linux system.
set(CMAKE_FIND_ROOT_PATH /usr/${ZENTIL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Each program stands alone: libgcc, libstdc++ and winpthread are linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Tests and test discovery run the programs under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
