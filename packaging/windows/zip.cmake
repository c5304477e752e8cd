# The Windows programs' install rules and zip (cpack -G ZIP), included by
# packaging/CMakeLists.txt: everything at the top of the folder the zip unpacks to, texts with
# Windows' line ends.
install(TARGETS KESTRUNE kestrune-cli RUNTIME DESTINATION .)
configure_file(${CMAKE_CURRENT_LIST_DIR}/README.txt.in ${packaging_dir}/README.txt @ONLY
               NEWLINE_STYLE CRLF)
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${packaging_dir}/LICENSE.txt @ONLY
               NEWLINE_STYLE CRLF)
install(FILES ${packaging_dir}/README.txt ${packaging_dir}/LICENSE.txt DESTINATION .)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME ${PROJECT_NAME}-${PROJECT_VERSION}-win32)
set(CPACK_STRIP_FILES ON)
include(CPack)

