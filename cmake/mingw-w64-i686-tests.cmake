# The 32-bit test build: the release toolchain with its flags, but with the posix thread model
# that GoogleTest needs (std::mutex). Only test programs and their helpers are built this way;
# the end-to-end tests run the release build's own programs.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-i686.cmake)

set(CMAKE_C_COMPILER ${VARDEL_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VARDEL_MINGW_PREFIX}-g++-posix)

# Tests run through Wine; the wrapper judges them by their output, not only Wine's exit code.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-exec)
