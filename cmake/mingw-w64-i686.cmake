set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(VARDEL_MINGW_PREFIX i686-w64-mingw32)
# The release build uses the win32 thread model: the posix one links winpthreads, which imports
# GetTickCount64 and so keeps the programs from starting before Windows Vista. GoogleTest needs
# the posix model, so this build carries no tests.
set(CMAKE_C_COMPILER ${VARDEL_MINGW_PREFIX}-gcc-win32)
set(CMAKE_CXX_COMPILER ${VARDEL_MINGW_PREFIX}-g++-win32)
set(CMAKE_RC_COMPILER ${VARDEL_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VARDEL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Link zlib statically, like everything else.
set(ZLIB_USE_STATIC_LIBS ON)
