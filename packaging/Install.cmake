# What `cmake --install` (and so the Debian package) puts where, beside the two programs.
# Texts that name the release (man pages, AppStream data, the package changelog) take the project
# version and a release date: the configure time, or SOURCE_DATE_EPOCH when set, so that one
# commit always gives the same files.
include(GNUInstallDirs)

set(ORVEN_HOMEPAGE "https://orven-clone.example.org" CACHE STRING
    "The project's web home: the package's Homepage and the base of the AppStream screenshot addresses")
set(ORVEN_UDEV_RULES_DIR "lib/udev/rules.d" CACHE STRING "Where the udev rule goes, under the install prefix")
set(ORVEN_APPSTREAM_ID "org.orvenclone.OrvenClone")
set(ORVEN_ICON_SIZES 16 32 48 64 128 256)
string(TIMESTAMP ORVEN_RELEASE_DATE "%Y-%m-%d" UTC)
string(TIMESTAMP ORVEN_RELEASE_DATE_RFC2822 "%a, %d %b %Y %H:%M:%S +0000" UTC)

set(ORVEN_PACKAGING_OUT ${CMAKE_CURRENT_BINARY_DIR}/packaging)
set(ORVEN_PACKAGING_IN ${CMAKE_CURRENT_SOURCE_DIR}/packaging)

# A text configured from packaging/NAME.in and compressed as Debian wants it; returns its path.
function(orven_compressed_text name out_var)
  configure_file(${ORVEN_PACKAGING_IN}/${name}.in ${ORVEN_PACKAGING_OUT}/${name} @ONLY)
  add_custom_command(OUTPUT ${ORVEN_PACKAGING_OUT}/${name}.gz
    COMMAND gzip -9n --keep --force ${name}
    DEPENDS ${ORVEN_PACKAGING_OUT}/${name}
    WORKING_DIRECTORY ${ORVEN_PACKAGING_OUT}
    VERBATIM)
  add_custom_target(orven-text-${name} ALL DEPENDS ${ORVEN_PACKAGING_OUT}/${name}.gz)
  set(${out_var} ${ORVEN_PACKAGING_OUT}/${name}.gz PARENT_SCOPE)
endfunction()

orven_compressed_text(orven-cli.1 ORVEN_CLI_MAN)
orven_compressed_text(orven-clone.1 ORVEN_CLONE_MAN)

configure_file(${ORVEN_PACKAGING_IN}/orven-clone.metainfo.xml.in
  ${ORVEN_PACKAGING_OUT}/${ORVEN_APPSTREAM_ID}.metainfo.xml @ONLY)

# The hicolor PNGs are drawn from the one SVG at build time, so they never drift from it.
find_program(ORVEN_RSVG_CONVERT rsvg-convert)
if(ORVEN_RSVG_CONVERT)
  set(ORVEN_ICON_PNGS)
  foreach(size IN LISTS ORVEN_ICON_SIZES)
    set(png ${ORVEN_PACKAGING_OUT}/icons/${size}x${size}/orven-clone.png)
    add_custom_command(OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory icons/${size}x${size}
      COMMAND ${ORVEN_RSVG_CONVERT} --width=${size} --height=${size} --output=${png} ${ORVEN_PACKAGING_IN}/orven-clone.svg
      DEPENDS ${ORVEN_PACKAGING_IN}/orven-clone.svg
      WORKING_DIRECTORY ${ORVEN_PACKAGING_OUT}
      VERBATIM)
    list(APPEND ORVEN_ICON_PNGS ${png})
    install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
  add_custom_target(orven-icons ALL DEPENDS ${ORVEN_ICON_PNGS})
else()
  message(WARNING "rsvg-convert not found (Debian: librsvg2-bin): only the scalable icon is installed")
endif()

install(FILES packaging/orven-clone.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/orven-clone.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES packaging/70-orven-radio.rules DESTINATION ${ORVEN_UDEV_RULES_DIR})
install(FILES ${ORVEN_PACKAGING_OUT}/${ORVEN_APPSTREAM_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${ORVEN_CLI_MAN} ${ORVEN_CLONE_MAN} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES packaging/orven-cli.bash-completion
  DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME orven-cli)

# The man page and the completion must know every command the program's help lists.
if(BUILD_TESTING)
  add_test(NAME PackagingCliDocs
    COMMAND ${ORVEN_PACKAGING_IN}/check-cli-docs.sh $<TARGET_FILE:orven-cli>
            ${ORVEN_PACKAGING_OUT}/orven-cli.1 ${ORVEN_PACKAGING_IN}/orven-cli.bash-completion)
  set_tests_properties(PackagingCliDocs PROPERTIES SKIP_RETURN_CODE 77)
endif()
