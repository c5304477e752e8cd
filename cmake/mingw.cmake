# What both MinGW-w64 cross builds share; the toolchain file that includes it names the target
# first (KESTRUNE_MINGW_PREFIX, CMAKE_SYSTEM_PROCESSOR) and the Wine loader that runs its tests.
set(CMAKE_SYSTEM_NAME Windows)

# GoogleTest needs std::mutex, which only the posix thread model of GCC 12 has; its
# winpthread imports GetTickCount64, so such programs need Windows Vista or later. The
# win32 model (-DKESTRUNE_MINGW_THREADS=win32, tests off) builds programs that Windows XP
# loads too.
set(KESTRUNE_MINGW_THREADS posix CACHE STRING "Thread model of the cross compiler: posix or win32")
set(CMAKE_C_COMPILER ${KESTRUNE_MINGW_PREFIX}-gcc-${KESTRUNE_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${KESTRUNE_MINGW_PREFIX}-g++-${KESTRUNE_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${KESTRUNE_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KESTRUNE_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Everything of the C and C++ runtimes (libgcc, libstdc++, winpthread) linked in, so the
# executables need only the system's own DLLs. Subsystem version 4.0 is the oldest the
# linker writes, for console and window programs alike.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -Wl,--major-subsystem-version,4,--minor-subsystem-version,0 -Wl,--major-os-version,4,--minor-os-version,0")

# Test programs are run, and discovered, under Wine.
if(KESTRUNE_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${KESTRUNE_WINE})
endif()
