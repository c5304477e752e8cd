# Installs the build tree into a scratch prefix and checks that the manual pages and the bash
# completion arrive. Run with -DBUILD_DIR=... -DPREFIX=... -DWITH_DIALOG=ON|OFF.
include("${CMAKE_CURRENT_LIST_DIR}/../support/install_into_prefix.cmake")
set(expected bin/kestrune-cli share/man/man1/kestrune-cli.1
    share/bash-completion/completions/kestrune-cli)
if(WITH_DIALOG)
  list(APPEND expected share/man/man1/KESTRUNE.1)
endif()
foreach(file IN LISTS expected)
  if(NOT EXISTS "${PREFIX}/${file}")
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()
file(REMOVE_RECURSE "${PREFIX}")
