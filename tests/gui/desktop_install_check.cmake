# Installs the build tree into a scratch prefix and checks what the desktop needs of it: a desktop
# entry that desktop-file-validate accepts, which opens a file of the type that the installed
# shared-mime-info XML gives to *.sch names in any letter case. Run with -DBUILD_DIR=... -DPREFIX=...
# -DVALIDATE=desktop-file-validate -DUPDATE_MIME=update-mime-database.
include("${CMAKE_CURRENT_LIST_DIR}/../support/install_into_prefix.cmake")

set(entry "${PREFIX}/share/applications/KESTRUNE.desktop")
execute_process(COMMAND "${VALIDATE}" "${entry}" RESULT_VARIABLE result OUTPUT_VARIABLE complaints
                ERROR_VARIABLE complaints)
if(NOT result EQUAL 0 OR NOT complaints STREQUAL "")
  message(FATAL_ERROR "desktop-file-validate: ${result} ${complaints}")
endif()
file(STRINGS "${entry}" exec REGEX "^Exec=")
if(NOT exec STREQUAL "Exec=KESTRUNE %f")
  message(FATAL_ERROR "the entry takes no file: ${exec}")
endif()
file(STRINGS "${entry}" mime_line REGEX "^MimeType=")
string(REGEX REPLACE "^MimeType=([^;]+);$" "\\1" mime_type "${mime_line}")

execute_process(COMMAND "${UPDATE_MIME}" "${PREFIX}/share/mime" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "update-mime-database failed on the installed XML")
endif()
# globs2 lines read weight:type:pattern; a pattern without ":cs" ignores letter case.
file(STRINGS "${PREFIX}/share/mime/globs2" globs REGEX ":\\*\\.sch(:.*)?$")
if(NOT globs MATCHES "^[0-9]+:${mime_type}:\\*\\.sch$")
  message(FATAL_ERROR "*.sch in any case is not of the entry's type ${mime_type}: ${globs}")
endif()
file(REMOVE_RECURSE "${PREFIX}")
