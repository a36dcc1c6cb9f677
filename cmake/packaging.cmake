# The Debian package (`make deb`, or `cpack -G DEB` in a build tree): the
# program with its data files, the manual page and dclsym, laid out by the
# install() rules under /usr.

set(CPACK_PACKAGE_NAME dclsh)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "dclsh maintainers")
set(DCLSH_MAINTAINER "dclsh maintainers <maintainers@users.noreply.c-seed-fa0f2334.example>"
    CACHE STRING "Maintainer field of the Debian package")
set(CPACK_PACKAGE_CONTACT ${DCLSH_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "DCL command interpreter for Linux")
set(CPACK_PACKAGE_DESCRIPTION
    "dclsh speaks DCL, the command language of OpenVMS: symbols, logical names,\n\
lexical functions and command procedures work as on VMS, VMS file\n\
specifications are translated into Unix paths, and lines that are not DCL\n\
go to the Unix shell. Includes dclsym, which lets programs run as foreign\n\
commands read and set DCL symbols.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Debug information stays in the build tree.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_SECTION shells)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# dpkg-shlibdeps reads the libraries from the binaries; CPack needs `file`
# to find them. Without either tool the list below is what they find on
# Debian 12 (libstdc++ and libgcc only for dclsym, dclsh has them inside).
find_program(DCLSH_SHLIBDEPS dpkg-shlibdeps)
find_program(DCLSH_FILE_TOOL file)
mark_as_advanced(DCLSH_SHLIBDEPS DCLSH_FILE_TOOL)
if(DCLSH_SHLIBDEPS AND DCLSH_FILE_TOOL)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= 2.34), libtinfo6 (>= 6), libstdc++6 (>= 11), libgcc-s1 (>= 3.0)")
endif()

# Debian keeps manual pages compressed (gzip -9n: no name or time stamp);
# `make install` leaves them as they are. The step runs on the staged files.
set(DCLSH_COMPRESS_SCRIPT ${CMAKE_BINARY_DIR}/compress_man_pages.cmake)
file(WRITE ${DCLSH_COMPRESS_SCRIPT} [[
file(GLOB_RECURSE pages "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/man/man*/*.[1-9]")
foreach(page IN LISTS pages)
  execute_process(COMMAND gzip -9nf "${page}" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "cannot compress ${page}")
  endif()
endforeach()
]])
set(CPACK_PRE_BUILD_SCRIPTS ${DCLSH_COMPRESS_SCRIPT})

set(CPACK_GENERATOR DEB)
include(CPack)
