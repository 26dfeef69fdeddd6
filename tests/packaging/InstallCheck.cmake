# Installs into a scratch DESTDIR and starts what was installed: korvane-search searches the sample
# site it carries; the program's link, its skin library, the desktop entry and the icon are in place.
# Arguments: BUILD_DIR, DESTDIR_ROOT, PREFIX (absolute), PROGRAM_DIR and the GNU install dirs.
file(REMOVE_RECURSE "${DESTDIR_ROOT}")
set(ENV{DESTDIR} "${DESTDIR_ROOT}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${status}):\n${output}")
endif()
set(root "${DESTDIR_ROOT}${PREFIX}")
foreach(file "${BINDIR}/korvane-search" "${PROGRAM_DIR}/korvane" "${PROGRAM_DIR}/SkinH_EL.dll"
             "${DATADIR}/applications/korvane.desktop" "${DATADIR}/icons/hicolor/scalable/apps/korvane.svg")
  if(NOT EXISTS "${root}/${file}")
    file(GLOB_RECURSE found RELATIVE "${DESTDIR_ROOT}" "${DESTDIR_ROOT}/*")
    message(FATAL_ERROR "${file} is not installed under ${root}; installed: ${found}")
  endif()
endforeach()
if(NOT PROGRAM_DIR STREQUAL BINDIR)
  file(READ_SYMLINK "${root}/${BINDIR}/korvane" link)
  if(IS_ABSOLUTE "${link}")
    message(FATAL_ERROR "bin/korvane links to an absolute path (${link}): it would break under DESTDIR")
  endif()
endif()
file(REAL_PATH "${root}/${BINDIR}/korvane" program)
if(NOT program STREQUAL "${root}/${PROGRAM_DIR}/korvane")
  message(FATAL_ERROR "bin/korvane leads to ${program}, not to the program beside its skin library")
endif()
execute_process(COMMAND "${root}/${BINDIR}/korvane-search" --demo "kw#pages=1"
                RESULT_VARIABLE status OUTPUT_VARIABLE rows ERROR_VARIABLE progress TIMEOUT 60)
if(NOT status EQUAL 0 OR NOT rows MATCHES "\tmagnet:\\?xt=urn:btih:[0-9A-F]+\n")
  message(FATAL_ERROR "the installed korvane-search did not search (${status}):\n${rows}\n${progress}")
endif()
file(REMOVE_RECURSE "${DESTDIR_ROOT}")
