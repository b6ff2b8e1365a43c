# The Debian package, made by CPack from the install rules (install.cmake):
# `cmake --build build --target package`, or tools/package-deb.sh, writes
# build/stillwater_<version>_<arch>.deb. Its dependencies are those of the
# shared libraries the programs link, found by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME stillwater)
set(CPACK_PACKAGE_VENDOR "The Stillwater developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time audiovisual demo with its show-making tool")
set(CPACK_PACKAGE_DESCRIPTION
  "Stillwater plays a show of 2D effects, frame-buffer filters and animated 3D
scenes in time with its own music, drawn live with OpenGL: a sunset over a
lake, a corridor, interference patterns, clouds, a welding robot and a
gallery, in a little under five minutes. It starts fullscreen, scaled to the
desktop without changing the display mode; keys pause the show and jump
through it.

The package also holds swtool, the command-line tool for people who make
shows of their own: it checks scripts, pictures and scene files, renders a
show to frames or to a video, profiles its frame times, and packs a show's
data into the archive the player reads.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Stillwater developers <stillwater@users.noreply.github.com>")
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://github.com/stillwater/stillwater)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
