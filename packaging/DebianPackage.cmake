# The Debian package, made by CPack from what the install rules put in place (scripts/package.sh).
# CPack rather than a debian/ folder: the version, the file list and the build stay in CMake
# alone, so there is no second changelog or install list to keep in step with them.
set(ORVEN_PACKAGE_MAINTAINER "ORVEN Clone developers <orven-clone@example.org>" CACHE STRING
    "The Maintainer field of the Debian package")

# The copyright file and a changelog are what Debian asks of every package.
orven_compressed_text(changelog ORVEN_CHANGELOG)
install(FILES packaging/copyright ${ORVEN_CHANGELOG} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/orven-clone)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orven-clone)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${ORVEN_PACKAGE_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_ORVEN_STRIP ${CMAKE_STRIP})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_SOURCE_DIR}/packaging/strip-binaries.cmake)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "programming tool for the ORVEN marine VHF radio")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION [=[ORVEN Clone reads the settings of an ORVEN handheld marine VHF radio over USB
or a serial programming adaptor, edits them (MMSI and ATIS identities, bands,
PLL steps, private channels), writes them back and verifies a radio against a
settings file. Every read and every write keeps the radio's exact memory in a
radio archive, from which it can be restored byte for byte.
.
The package holds the desktop program orven-clone, the command-line tool
orven-cli with a built-in simulated radio, and a udev rule that lets the
logged-in user open the radio on USB.]=])
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
if(NOT ORVEN_HOMEPAGE STREQUAL "")
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${ORVEN_HOMEPAGE})
endif()
# Library dependencies come from the binaries; the toolkit's SVG image plugin is loaded at run
# time (the window icon), so no binary names it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(TARGET orven-clone)
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS libqt6svg6)
endif()

# One maintainer script serves as postinst and postrm: both apply the udev rules at once.
foreach(script postinst postrm)
  configure_file(${CMAKE_CURRENT_SOURCE_DIR}/packaging/apply-udev-rules.sh
    ${CMAKE_CURRENT_BINARY_DIR}/packaging/debian/${script} COPYONLY)
  list(APPEND CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_BINARY_DIR}/packaging/debian/${script})
endforeach()
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
