# Cross-compiles the 32-bit Windows programs (the deliverables) with mingw-w64
# (posix thread model). Tests run under the 32-bit Wine in a win32 prefix.
set(SOPORA_TRIPLET i686-w64-mingw32)
set(SOPORA_ARCH i686)
set(SOPORA_WINEARCH win32)
set(CMAKE_SYSTEM_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# The wine script picks the 32-bit loader whenever wine32 is installed.
find_program(WINE_PROGRAM NAMES wine)
if(WINE_PROGRAM)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${WINE_PROGRAM})
endif()
