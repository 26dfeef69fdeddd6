# Runs `cmake --install` into a scratch prefix and checks that the skin library lands in the
# program's install directory, beside the program when the build installs one.
# Arguments: BUILD_DIR, PREFIX, PROGRAM_DIR (relative to the prefix).
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${status}):\n${output}")
endif()
set(library "${PREFIX}/${PROGRAM_DIR}/SkinH_EL.dll")
if(NOT EXISTS "${library}" OR IS_DIRECTORY "${library}")
  file(GLOB_RECURSE found RELATIVE "${PREFIX}" "${PREFIX}/*")
  message(FATAL_ERROR "SkinH_EL.dll is not installed in ${PROGRAM_DIR}; installed: ${found}")
endif()
file(GLOB_RECURSE programs "${PREFIX}/*/korvane")
foreach(program IN LISTS programs)
  # A link that starts the program counts where it leads.
  file(REAL_PATH "${program}" program)
  get_filename_component(dir "${program}" DIRECTORY)
  if(NOT dir STREQUAL "${PREFIX}/${PROGRAM_DIR}")
    message(FATAL_ERROR "korvane is installed in ${dir}, away from its skin library in ${PREFIX}/${PROGRAM_DIR}")
  endif()
endforeach()
file(REMOVE_RECURSE "${PREFIX}")
