# Run by cpack on the staged files before it makes the .deb: removes from the stripped programs
# the compiler's notes (.comment, .note), as Debian's dh_strip does.
file(GLOB programs "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr/bin/*")
if(NOT programs)
  message(FATAL_ERROR "no programs staged in ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr/bin")
endif()
foreach(program IN LISTS programs)
  execute_process(COMMAND ${CPACK_KESTRUNE_STRIP} --remove-section=.comment --remove-section=.note
                          ${program}
                  COMMAND_ERROR_IS_FATAL ANY)
endforeach()
