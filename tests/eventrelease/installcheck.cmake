# Installs the build into a private prefix and checks the event release tool
# there. Run with -DBUILD_DIR, -DPREFIX, -DBINDIR and -DREADME.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${err}")
endif()

set(program "${PREFIX}/${BINDIR}/eventrelease")
if(NOT EXISTS "${program}" OR IS_DIRECTORY "${program}")
  message(FATAL_ERROR "eventrelease is not installed at ${program}")
endif()

# The program carries its own build of the device link: no library of the
# suite may be among what it loads.
file(GET_RUNTIME_DEPENDENCIES EXECUTABLES "${program}"
     RESOLVED_DEPENDENCIES_VAR resolved UNRESOLVED_DEPENDENCIES_VAR unresolved)
foreach(dep IN LISTS resolved unresolved)
  if(dep MATCHES "devgate|vellum|onepress")
    message(FATAL_ERROR "eventrelease depends on ${dep}")
  endif()
endforeach()
if(NOT resolved MATCHES "libusb-1\\.0")
  message(FATAL_ERROR "eventrelease does not link libusb-1.0: ${resolved}")
endif()

file(READ "${README}" readme)
if(NOT readme MATCHES "eventrelease")
  message(FATAL_ERROR "the README does not mention eventrelease")
endif()
