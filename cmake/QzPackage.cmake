# SPDX-License-Identifier: MIT
# cpack -G DEB: a Debian package of the installed tree. Its library dependencies come from
# dpkg-shlibdeps; what the program loads at run time without linking it is listed by hand.
set(CPACK_PACKAGE_NAME qztimer)
set(CPACK_PACKAGE_VENDOR "QZ Timer developers")
set(CPACK_PACKAGE_CONTACT "QZ Timer developers <dev@qz.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Japanese desktop timer toolbox: alarm timer, countdown, stopwatch")
set(CPACK_PACKAGE_DESCRIPTION "A launcher that shows the date, weekday and time opens a \
ten-row alarm timer with its sound settings, a countdown, a stopwatch and a big clock. \
The user interface is Japanese.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY qztimer)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The sounds play through the multimedia back ends and the windows need a Japanese font; neither
# is linked, so dpkg-shlibdeps cannot see them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic | fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-qpa-plugins, qt6-wayland, pulseaudio | pipewire-pulse")
include(CPack)
