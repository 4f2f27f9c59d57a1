# Cross-compiles the same sources as 64-bit Windows programs, to keep them
# 64-bit clean and to test on hosts that run no 32-bit Linux programs. Tests
# run under the 64-bit Wine loader in a win64 prefix.
set(SOPORA_TRIPLET x86_64-w64-mingw32)
set(SOPORA_ARCH x86_64)
set(SOPORA_WINEARCH win64)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# The plain wine script would prefer wine32 where it is installed: this
# wrapper always starts the 64-bit loader and server.
get_filename_component(_sopora_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${_sopora_root}/scripts/wine64/wine")
