# SPDX-License-Identifier: MIT
# Run by cpack once the package's files are installed and before they are packed: adds the
# library dependencies of every ELF file in the package, as dpkg-shlibdeps finds them, to the
# ones written by hand.
#
# CPack would do this itself (CPACK_DEBIAN_PACKAGE_SHLIBDEPS), but it then also takes every
# shared object up to one folder below /usr/lib for a public library and has the package call
# ldconfig on installing and removing; the program's modules beside it are private, loaded by
# path, and ldconfig never looks in that folder.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
    return()
endif()
find_program(QZ_SHLIBDEPS dpkg-shlibdeps REQUIRED)

file(GLOB_RECURSE files LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
set(binaries)
foreach(f IN LISTS files)
    if(NOT IS_SYMLINK "${f}")
        file(READ "${f}" magic LIMIT 4 HEX)
        if(magic STREQUAL "7f454c46")
            list(APPEND binaries "${f}")
        endif()
    endif()
endforeach()
if(NOT binaries)
    message(FATAL_ERROR "No program in ${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
endif()

# dpkg-shlibdeps wants to stand in a source tree: an empty debian/control is enough.
set(work "${CPACK_TOPLEVEL_DIRECTORY}/shlibdeps")
file(REMOVE_RECURSE "${work}")
file(WRITE "${work}/debian/control" "")
execute_process(
    COMMAND ${QZ_SHLIBDEPS} -O ${binaries}
    WORKING_DIRECTORY "${work}"
    OUTPUT_VARIABLE found
    ERROR_VARIABLE errors
    RESULT_VARIABLE status
    OUTPUT_STRIP_TRAILING_WHITESPACE)
file(REMOVE_RECURSE "${work}")
if(NOT status EQUAL 0 OR NOT found MATCHES "shlibs:Depends=")
    message(FATAL_ERROR "dpkg-shlibdeps failed (${status}):\n${errors}")
endif()
string(REGEX REPLACE "^.*shlibs:Depends=" "" found "${found}")
message(STATUS "Library dependencies: ${found}")
if(CPACK_DEBIAN_PACKAGE_DEPENDS)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "${found}, ${CPACK_DEBIAN_PACKAGE_DEPENDS}")
else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "${found}")
endif()
