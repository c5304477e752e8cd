# Installs the build tree into a scratch prefix and checks that the manual pages and the bash
# completion arrive. Run with -DBUILD_DIR=... -DPREFIX=... -DWITH_DIALOG=ON|OFF.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
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
