# The Debian package: `cpack -G DEB` in a build folder (scripts/package.sh makes a Release build
# and runs it) gives fenpai_<version>_<arch>.deb with what `cmake --install` installs, below /usr.
# Depends comes from the libraries the binary links (dpkg-shlibdeps, from dpkg-dev) and the
# fonts its pages are drawn in.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME fenpai)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "class division and exam room arrangement for schools (分班排考)")
set(CPACK_PACKAGE_DESCRIPTION_FILE ${PROJECT_SOURCE_DIR}/resources/package/description.txt)
set(FENPAI_PACKAGE_MAINTAINER "fenpai <fenpai@localhost>"
    CACHE STRING "The Maintainer field of the Debian package")
set(CPACK_PACKAGE_CONTACT "${FENPAI_PACKAGE_MAINTAINER}")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Chinese text is drawn in Noto CJK on screen and in every PDF; without it the pages show boxes.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk")
# Qt's own dialogs in Chinese; Arial's metric twin for the reports that name it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-liberation2")

include(CPack)
