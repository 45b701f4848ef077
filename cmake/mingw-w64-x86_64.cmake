# Cross-compiling for 64-bit Windows with mingw-w64 (posix thread model).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUOR_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QUOR_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUOR_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${QUOR_MINGW_TRIPLE}-windres)

# The mingw sysroot, and the folder where the project's own cross-built
# dependencies (libpng) are installed.
get_filename_component(_quor_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(CMAKE_FIND_ROOT_PATH /usr/${QUOR_MINGW_TRIPLE} "${_quor_root}/build/deps/mingw")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests built for Windows run under Wine through this wrapper.
set(CMAKE_CROSSCOMPILING_EMULATOR "${_quor_root}/tools/wine-run")
