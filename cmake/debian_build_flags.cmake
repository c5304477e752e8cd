# With KESTRUNE_DEBIAN_BUILD_FLAGS, the programs are built with the flags that dpkg-buildflags
# gives Debian's packages, all hardening on (fortified functions, strong stack protector, RELRO
# with immediate binding, PIE), as the .deb is built.
if(NOT KESTRUNE_DEBIAN_BUILD_FLAGS)
  return()
endif()
foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
  # From the source folder, so that the path map it names holds for the sources.
  execute_process(COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                          dpkg-buildflags --get ${kind}
                  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                  OUTPUT_VARIABLE dpkg_${kind} OUTPUT_STRIP_TRAILING_WHITESPACE
                  COMMAND_ERROR_IS_FATAL ANY)
endforeach()
string(APPEND CMAKE_CXX_FLAGS " ${dpkg_CPPFLAGS} ${dpkg_CXXFLAGS}")
string(APPEND CMAKE_EXE_LINKER_FLAGS " ${dpkg_LDFLAGS}")
