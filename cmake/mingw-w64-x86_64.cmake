# Cross-compiles for 64-bit Windows with Debian's mingw-w64 toolchain (win32 threads).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(toolchain_prefix x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${toolchain_prefix}-gcc)
set(CMAKE_CXX_COMPILER ${toolchain_prefix}-g++)
set(CMAKE_RC_COMPILER ${toolchain_prefix}-windres)

# Headers, libraries and packages come from the target's root only; programs (code
# generators, scripts) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${toolchain_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Self-contained programs: the C and C++ runtimes are linked in, so nothing but the
# system's own DLLs has to be found at run time.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
