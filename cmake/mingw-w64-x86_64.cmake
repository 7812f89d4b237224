set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VARDEL_MINGW_PREFIX x86_64-w64-mingw32)
# The test build uses the posix thread model, which GoogleTest needs (std::mutex). The release
# build (i686) uses the win32 model instead; the products themselves use no C++ threads.
set(CMAKE_C_COMPILER ${VARDEL_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VARDEL_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VARDEL_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VARDEL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Link zlib statically, like everything else.
set(ZLIB_USE_STATIC_LIBS ON)

# Tests run through Wine; the wrapper judges them by their output, not only Wine's exit code.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-exec)
