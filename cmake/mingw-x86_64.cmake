# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64), for the
# Windows suite on machines whose kernel runs no 32-bit programs, where 32-bit Wine cannot start.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KESTRUNE_MINGW_PREFIX x86_64-w64-mingw32)
# Debian's wine script picks the 32-bit loader whenever it is installed, even where it cannot run.
find_program(KESTRUNE_WINE NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
