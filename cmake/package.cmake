# The Debian package of taptally-replay (cpack -G DEB in the build folder): the tool and
# its man page, with the libraries it links as dependencies.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME taptally-replay)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "TapTally project <taptally@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "test a mouse with TapTally, live or from a recording of its kernel events")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "taptally-replay runs TapTally, the mouse tester, through a mouse's kernel input\n\
events, from the device itself or from a libinput record or evemu-record file, and\n\
prints its verdict: the presses that came faster than a finger can click, releases\n\
that bounce, and more.")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://example.org/taptally")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The tool without its symbols, as Debian ships programs, and the copyright every
# Debian package holds.
set(CPACK_STRIP_FILES ON)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/taptally-replay.copyright
    DESTINATION share/doc/taptally-replay RENAME copyright)
include(CPack)
