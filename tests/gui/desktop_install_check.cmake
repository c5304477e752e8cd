# Installs the build tree into a scratch prefix and checks what the desktop needs of it: a desktop
# entry that desktop-file-validate accepts, named by the AppStream id of metainfo that
# appstreamcli accepts, which opens the file type that the installed shared-mime-info XML gives
# to schematics by their content (a *.sch in any letter case that is no 7.1 or 6.1 schematic is
# text), with an icon of its own in the hicolor theme. Run with -DBUILD_DIR=... -DPREFIX=...
# -DAPP_ID=... -DEXAMPLES=... -DCORPUS=... (may be absent) -DVALIDATE=desktop-file-validate
# -DUPDATE_MIME=update-mime-database -DGIO=gio -DAPPSTREAMCLI=appstreamcli.
include("${CMAKE_CURRENT_LIST_DIR}/../support/install_into_prefix.cmake")

set(entry "${PREFIX}/share/applications/${APP_ID}.desktop")
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
# file(STRINGS) writes the line's ';' as "\;".
string(REGEX REPLACE "^MimeType=([^;\\]+)\\\\?;$" "\\1" mime_type "${mime_line}")

set(metainfo "${PREFIX}/share/metainfo/${APP_ID}.metainfo.xml")
execute_process(COMMAND "${APPSTREAMCLI}" validate --no-net --explain "${metainfo}"
                RESULT_VARIABLE result OUTPUT_VARIABLE complaints ERROR_VARIABLE complaints)
file(READ "${metainfo}" metadata)
if(NOT result EQUAL 0 OR NOT metadata MATCHES "<launchable type=\"desktop-id\">${APP_ID}.desktop<")
  message(FATAL_ERROR "appstreamcli validate: ${result} ${complaints}")
endif()

execute_process(COMMAND "${UPDATE_MIME}" "${PREFIX}/share/mime" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "update-mime-database failed on the installed XML")
endif()

# Files of each kind, named in several letter cases, and what the desktop must take them for.
set(files "${PREFIX}/files")
file(COPY "${EXAMPLES}/AMP.SCH" "${EXAMPLES}/FILTER.SCH" DESTINATION "${files}")
file(RENAME "${files}/FILTER.SCH" "${files}/filter.sCh")
file(READ "${EXAMPLES}/AMP.SCH" schematic)
string(REPLACE "*version 7.1" "*version 6.1" schematic "${schematic}")
file(WRITE "${files}/converted.sch" "${schematic}")
string(REPLACE "*version 6.1" "*version 9.1" schematic "${schematic}")
file(WRITE "${files}/newer.SCH" "${schematic}")
file(WRITE "${files}/notes.sch" "Buy resistors.\n*version 7.1 is mentioned here, not first.\n")
set(expected AMP.SCH ${mime_type} filter.sCh ${mime_type} converted.sch ${mime_type}
             newer.SCH text/plain notes.sch text/plain)
# The real files, where they are at hand: the versions KESTRUNE opens are schematics.
file(GLOB real_files "${CORPUS}/sch/*")
foreach(real IN LISTS real_files)
  file(STRINGS "${real}" marker LIMIT_COUNT 1)
  get_filename_component(name "${real}" NAME)
  file(COPY "${real}" DESTINATION "${files}")
  if(marker MATCHES "^\\*version [67]\\.1")
    list(APPEND expected "${name}" ${mime_type})
  else()
    list(APPEND expected "${name}" text/plain)
  endif()
endforeach()

string(REPLACE "/" "-" type_icon "${mime_type}")
set(ENV{XDG_DATA_DIRS} "${PREFIX}/share:/usr/share")
set(ENV{XDG_DATA_HOME} "${PREFIX}/no-user-data")
while(expected)
  list(POP_FRONT expected name type)
  execute_process(COMMAND "${GIO}" info -a standard::content-type,standard::icon "${files}/${name}"
                  OUTPUT_VARIABLE info RESULT_VARIABLE result)
  string(REGEX REPLACE ".*standard::content-type: ([^\n]*).*" "\\1" found "${info}")
  if(NOT result EQUAL 0 OR NOT found STREQUAL type)
    message(FATAL_ERROR "${name} is taken for ${found}, not ${type}")
  endif()
  if(type STREQUAL mime_type AND NOT info MATCHES "standard::icon: ${type_icon},")
    message(FATAL_ERROR "${name} has no icon of its type: ${info}")
  endif()
endwhile()
file(GLOB type_icons "${PREFIX}/share/icons/hicolor/*/mimetypes/${type_icon}.*")
if(NOT type_icons)
  message(FATAL_ERROR "no ${type_icon} icon in the hicolor theme")
endif()
file(REMOVE_RECURSE "${PREFIX}")
