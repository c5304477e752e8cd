# The .deb (cpack -G DEB), included by packaging/CMakeLists.txt. Debian's own files first: the
# copyright file in Debian's machine-readable form made from LICENSE, the changelog, lintian's
# overrides.
file(STRINGS ${PROJECT_SOURCE_DIR}/LICENSE copyright_line REGEX "^Copyright ")
string(REGEX REPLACE "^Copyright (\\([cC]\\) )?" "" KESTRUNE_COPYRIGHT "${copyright_line}")
file(READ ${PROJECT_SOURCE_DIR}/LICENSE licence)
string(REGEX REPLACE "^.*\n(Permission is hereby granted)" "\\1" licence "${licence}")
string(REGEX REPLACE "\n+$" "" licence "${licence}")
string(REGEX REPLACE "\n\n" "\n.\n" licence "${licence}")
string(REPLACE "\n" "\n " KESTRUNE_LICENCE_TEXT " ${licence}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/copyright.in ${packaging_dir}/copyright @ONLY)
execute_process(COMMAND date -u -R -d "${KESTRUNE_RELEASE_DATE} 12:00"
                OUTPUT_VARIABLE KESTRUNE_CHANGELOG_DATE OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in ${packaging_dir}/changelog @ONLY)
kestrune_gzip(${packaging_dir}/changelog changelog)
add_custom_target(kestrune_compressed_files ALL DEPENDS ${compressed_pages} ${changelog})
install(FILES ${packaging_dir}/copyright ${changelog} DESTINATION ${doc_dir}
        COMPONENT debian EXCLUDE_FROM_ALL)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/lintian-overrides DESTINATION share/lintian/overrides
        RENAME ${package_name} COMPONENT debian EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${package_name})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The KESTRUNE developers")
set(CPACK_PACKAGE_CONTACT ${KESTRUNE_CONTACT})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "convert PSpice 7.1 schematics back to release 6.1")
# Debian's description lines are at most 80 characters.
set(CPACK_PACKAGE_DESCRIPTION
    "KESTRUNE rewrites schematics saved by the PSpice 7.1 design tools in place so
that release 6.1 opens them, can keep each file's old contents beside it as a
backup, and follows the parts through the symbol libraries named in the design
tools' INI file to convert every nested schematic too. A file that is no
version 7.1 schematic is refused and keeps every byte.
.
The package holds the dialog program KESTRUNE, which file managers offer for
PSpice schematics, and the batch command line kestrune-cli, which converts
whole folders.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
# Then the compiler's notes go too, as Debian's own packages are stripped.
set(CPACK_KESTRUNE_STRIP ${CMAKE_STRIP})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/strip_notes.cmake)
# The .deb installs the programs and Debian's files, not LICENSE (packaging/CMakeLists.txt).
set(CPACK_INSTALL_CMAKE_PROJECTS ${PROJECT_BINARY_DIR} ${PROJECT_NAME} Unspecified /
                                 ${PROJECT_BINARY_DIR} ${PROJECT_NAME} debian /)
include(CPack)
