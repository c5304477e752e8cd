# Installs the build tree into a scratch prefix and checks that the manual pages (compressed),
# the bash completion, the README and the licence arrive, and nothing that only the .deb holds.
# Run with -DBUILD_DIR=... -DPREFIX=... -DWITH_DIALOG=ON|OFF.
include("${CMAKE_CURRENT_LIST_DIR}/../support/install_into_prefix.cmake")
set(expected bin/kestrune-cli share/man/man1/kestrune-cli.1.gz
    share/bash-completion/completions/kestrune-cli share/doc/kestrune/README.md
    share/doc/kestrune/LICENSE)
if(WITH_DIALOG)
  list(APPEND expected share/man/man1/KESTRUNE.1.gz)
endif()
foreach(file IN LISTS expected)
  if(NOT EXISTS "${PREFIX}/${file}")
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()
foreach(file IN ITEMS share/doc/kestrune/copyright share/doc/kestrune/changelog.gz share/lintian)
  if(EXISTS "${PREFIX}/${file}")
    message(FATAL_ERROR "installed, though only the .deb should hold it: ${file}")
  endif()
endforeach()
file(REMOVE_RECURSE "${PREFIX}")
