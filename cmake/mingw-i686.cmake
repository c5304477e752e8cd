# Cross-compiles for 32-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-i686), the build
# that ships.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KESTRUNE_MINGW_PREFIX i686-w64-mingw32)
find_program(KESTRUNE_WINE NAMES wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
