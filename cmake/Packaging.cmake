# The Debian package of the installed program: `cpack -G DEB` in a build folder makes
# pelmora_<version>_<arch>.deb. A release build without tests and benchmarks is the one to pack.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pelmora)
set(CPACK_PACKAGE_VENDOR "The Pelmora developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Japanese editor for a web diary kept as one HTML file")
set(CPACK_PACKAGE_DESCRIPTION "\
Pelmora is a Japanese-language editor for a personal web diary kept as one\n\
HTML file in Shift-JIS. You write today's entry as plain text, open the diary\n\
file, put the cursor where the entry belongs and insert the entry as HTML,\n\
without typing tags by hand.")
# The package installs where the build was configured to (CMAKE_INSTALL_PREFIX=/usr for Debian):
# the program finds its documents, and knows it is installed, by the folders built into it.
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
# Stripped as Debian strips, the compiler's .comment and .note sections too.
set(CPACK_STRIP_FILES OFF)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/StripPackage.cmake)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(PELMORA_MAINTAINER "Pelmora developers <pelmora@users.noreply.github.com>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${PELMORA_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PELMORA_HOMEPAGE})
# The Japanese face and Qt's Japanese dialog texts are only ever loaded at run time; SFTP runs
# OpenSSH's ssh.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, qt6-translations-l10n, openssh-client")
# The libraries the program links (Qt 6, the C++ runtime) are read off it by dpkg-shlibdeps
# (package dpkg-dev); without that tool the Qt libraries it needs besides Core and Gui are named
# by hand.
find_program(PELMORA_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(PELMORA_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS
    ", libqt6widgets6, libqt6network6, libqt6webenginewidgets6, libcurl4, libqt6keychain1")
endif()
# QtKeychain reaches the desktop's keyring through libsecret, which it opens when it runs.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libsecret-1-0, gnome-keyring | kwalletmanager")

# What Debian asks of every package: the copyright in its machine-readable form and the
# changelog, whose latest version is the program's.
set(changelog ${PROJECT_SOURCE_DIR}/data/debian/changelog)
file(STRINGS ${changelog} latest LIMIT_COUNT 1)
if(NOT latest MATCHES "^pelmora \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "data/debian/changelog starts with \"${latest}\", not version ${PROJECT_VERSION}")
endif()
file(STRINGS ${changelog} signed REGEX "^ -- ")
list(GET signed 0 signed)
if(NOT signed MATCHES "^ -- ${PELMORA_MAINTAINER}  ")
  message(FATAL_ERROR "data/debian/changelog is not signed by ${PELMORA_MAINTAINER}")
endif()
set(packed_changelog ${CMAKE_BINARY_DIR}/changelog.gz)
add_custom_command(
  OUTPUT ${packed_changelog}
  COMMAND ${PELMORA_GZIP} -9 -n -c ${changelog} > ${packed_changelog}
  DEPENDS ${changelog}
  VERBATIM)
add_custom_target(pelmora_changelog ALL DEPENDS ${packed_changelog})
install(FILES ${PROJECT_SOURCE_DIR}/data/debian/copyright ${packed_changelog}
  DESTINATION ${CMAKE_INSTALL_DOCDIR})

include(CPack)
