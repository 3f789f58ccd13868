# Run by CPack once the package's files are in place: strips the program and its library as
# Debian's own packages are stripped, without the symbols no one links against and without the
# compiler's .comment and .note sections.
find_program(strip_program strip REQUIRED)
file(GLOB_RECURSE files LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
foreach(file ${files})
  if(IS_SYMLINK "${file}")
    continue()
  endif()
  file(READ "${file}" magic LIMIT 4 HEX)
  if(NOT magic STREQUAL "7f454c46") # ELF
    continue()
  endif()
  execute_process(
    COMMAND ${strip_program} --remove-section=.comment --remove-section=.note --strip-unneeded
            "${file}"
    COMMAND_ERROR_IS_FATAL ANY)
endforeach()
