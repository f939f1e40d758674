# "cpack -G DEB" in a build folder packs what "cmake --install" puts under /usr
# into trimora_<version>_amd64.deb, the version being the one the window title
# shows. Its dependencies are read off the libraries the program links
# (dpkg-shlibdeps), plus the font its layout is measured in.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME trimora)
set(CPACK_PACKAGE_VERSION
    ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.0.${PROJECT_VERSION_TWEAK})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Crop a folder of pictures to the screen size of a device")
set(CPACK_PACKAGE_DESCRIPTION
    "Trimora cuts a folder of pictures down to the screen size of a device (phone,
tablet, monitor, watch) and saves each cut as a JPEG of exactly that size. Each
picture is shown under a crop frame that follows the mouse, and a click or the
space bar saves the framed part. It never overwrites a file.")
set(CPACK_PACKAGE_CONTACT "Trimora developers <trimora@trimora.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-dejavu-core)
# The help link opens the help page through the desktop's opener.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xdg-utils)
include(CPack)
