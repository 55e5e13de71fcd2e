# SPDX-License-Identifier: MIT
# cpack -G DEB: a Debian package of the installed tree. Its library dependencies come from
# dpkg-shlibdeps (QzDebDepends.cmake); what the program loads at run time without linking it
# is listed by hand.
set(CPACK_PACKAGE_NAME qztimer)
set(CPACK_PACKAGE_VENDOR "QZ Timer developers")
set(CPACK_PACKAGE_CONTACT "QZ Timer developers <dev@qz.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Japanese desktop timer toolbox: alarm timer, countdown, stopwatch")
# One line of the package's description per line here: package tools show them as they are.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "A launcher that shows the date, weekday and time opens the program's tools:"
    "a ten-row alarm timer with its sound settings, a countdown, a stopwatch,"
    "a time-addition calculator and an elapsed-time calculator that keep their"
    "worksheets in files and print them, and a big clock."
    ""
    "The user interface and the help pages are Japanese.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY qztimer)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# Not CPack's own dpkg-shlibdeps run, which brings ldconfig calls with it: see QzDebDepends.cmake.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/QzDebDepends.cmake)
# The sounds play through the multimedia back ends and the windows need a Japanese font; neither
# is linked, so dpkg-shlibdeps cannot see them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic | fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-qpa-plugins, qt6-wayland, pulseaudio | pipewire-pulse")

# What Debian asks of every package: the licence in the machine-readable form, written from
# LICENSE so the two cannot part, the changelog and a manual page for the command on the PATH,
# compressed as dpkg tools expect (gzip -9, no name or time stamp, so the same source makes
# the same file).
file(READ ${PROJECT_SOURCE_DIR}/LICENSE QZ_LICENSE)
string(REGEX MATCH "Copyright \\(c\\) ([^\n]+)" _ "${QZ_LICENSE}")
set(QZ_COPYRIGHT "${CMAKE_MATCH_1}")
# The licence's text after its title and copyright line, one space in, blank lines as " .".
string(REGEX REPLACE "^.*Copyright [^\n]*\n+" "" QZ_LICENSE_TEXT "${QZ_LICENSE}")
string(STRIP "${QZ_LICENSE_TEXT}" QZ_LICENSE_TEXT)
string(REGEX REPLACE "\n\n" "\n.\n" QZ_LICENSE_TEXT "${QZ_LICENSE_TEXT}")
string(REPLACE "\n" "\n " QZ_LICENSE_TEXT " ${QZ_LICENSE_TEXT}")
configure_file(${PROJECT_SOURCE_DIR}/package/copyright.in ${CMAKE_BINARY_DIR}/package/copyright @ONLY)

configure_file(${PROJECT_SOURCE_DIR}/package/qztimer.1.in ${CMAKE_BINARY_DIR}/package/qztimer.1 @ONLY)

find_program(QZ_GZIP gzip REQUIRED)
set(QZ_COMPRESSED)
foreach(plain ${PROJECT_SOURCE_DIR}/package/changelog ${CMAKE_BINARY_DIR}/package/qztimer.1)
    get_filename_component(name ${plain} NAME)
    set(copy ${CMAKE_BINARY_DIR}/package/gz/${name})
    add_custom_command(
        OUTPUT ${copy}.gz
        COMMAND ${CMAKE_COMMAND} -E copy ${plain} ${copy}
        COMMAND ${QZ_GZIP} -9nf ${copy}
        DEPENDS ${plain}
        VERBATIM)
    list(APPEND QZ_COMPRESSED ${copy}.gz)
endforeach()
add_custom_target(qz_package_docs ALL DEPENDS ${QZ_COMPRESSED})
install(FILES ${CMAKE_BINARY_DIR}/package/copyright ${CMAKE_BINARY_DIR}/package/gz/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${CPACK_PACKAGE_NAME})
install(FILES ${CMAKE_BINARY_DIR}/package/gz/qztimer.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

include(CPack)
