# Run by CPack after the files are staged (and stripped), before the package
# is made: the compilers' version notes (.comment) are of no use in an
# installed program, and Debian asks for them to go.
find_program(TARNWICK_OBJCOPY NAMES objcopy)
if(NOT TARNWICK_OBJCOPY)
  message(FATAL_ERROR "objcopy is needed to drop the .comment sections")
endif()
file(GLOB_RECURSE staged LIST_DIRECTORIES false
  "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr/bin/*"
  "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr/libexec/*")
foreach(f IN LISTS staged)
  execute_process(COMMAND ${TARNWICK_OBJCOPY} --remove-section=.comment "${f}" RESULT_VARIABLE r)
  if(NOT r EQUAL 0)
    message(FATAL_ERROR "objcopy failed on ${f}")
  endif()
endforeach()
