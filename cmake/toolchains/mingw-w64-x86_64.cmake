# Cross build for 64-bit Windows with Debian's mingw-w64. The POSIX thread model compilers carry std::thread;
# linking everything statically leaves the .exe files needing only the DLLs that come with Windows.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_mingw_prefix x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_mingw_prefix}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_mingw_prefix}-g++-posix)
set(CMAKE_RC_COMPILER ${_mingw_prefix}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${_mingw_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# ctest and add_test run the .exe files through wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
