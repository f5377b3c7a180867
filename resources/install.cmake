# What `cmake --install` puts where, the manual copied into the build tree,
# and the Debian package. The program finds its shipped files beside the
# executable in the build tree and in share/tarvix when installed (see
# library/AppPaths.h), so both trees hold the same files under the same names.
include(GNUInstallDirs)

set(TARVIX_APP_ID org.tarvix.Tarvix)
set(TARVIX_DATA_INSTALL_DIR ${CMAKE_INSTALL_DATADIR}/tarvix)
set(_res ${CMAKE_SOURCE_DIR}/resources)

# The manual: copied at configure time and again whenever a page changes.
file(GLOB _help_pages CONFIGURE_DEPENDS ${_res}/help/*)
foreach(_page IN LISTS _help_pages)
  get_filename_component(_name ${_page} NAME)
  configure_file(${_page} ${TARVIX_RUNTIME_DIR}/help/${_name} COPYONLY)
endforeach()

configure_file(${_res}/${TARVIX_APP_ID}.metainfo.xml ${CMAKE_BINARY_DIR}/${TARVIX_APP_ID}.metainfo.xml @ONLY)

install(TARGETS tarvix tarvix-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${_res}/_initsound.syx DESTINATION ${TARVIX_DATA_INSTALL_DIR})
install(FILES ${_help_pages} DESTINATION ${TARVIX_DATA_INSTALL_DIR}/help)
install(FILES ${_res}/${TARVIX_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_BINARY_DIR}/${TARVIX_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${_res}/${TARVIX_APP_ID}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The manual page of tarvix-cli, written from its own --help so it never
# falls behind. help2man runs the tool by its bare name so the page shows
# "tarvix-cli" rather than a build path.
find_program(TARVIX_HELP2MAN help2man)
if(TARVIX_HELP2MAN)
  set(_man ${CMAKE_BINARY_DIR}/tarvix-cli.1)
  add_custom_command(
    OUTPUT ${_man}
    COMMAND ${CMAKE_COMMAND} -E env "PATH=$<TARGET_FILE_DIR:tarvix-cli>:$ENV{PATH}" ASAN_OPTIONS=detect_leaks=0
            ${TARVIX_HELP2MAN} --no-info --section=1 --version-string=${PROJECT_VERSION}
            "--name=list, sort and convert Waldorf Blofeld sound files" --include=${_res}/tarvix-cli.h2m
            --output=${_man} tarvix-cli
    DEPENDS tarvix-cli ${_res}/tarvix-cli.h2m
    COMMENT "Writing the manual page of tarvix-cli"
    VERBATIM)
  add_custom_target(tarvix-cli-man ALL DEPENDS ${_man})
  install(FILES ${_man} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  message(WARNING "help2man not found: tarvix-cli gets no manual page (scripts/setup.sh installs it)")
endif()

# `cpack -G DEB` in the build folder. The package's dependencies are worked
# out from the shared libraries the programs link (dpkg-shlibdeps).
set(CPACK_PACKAGE_NAME tarvix)
set(CPACK_PACKAGE_VENDOR "Tarvix")
set(CPACK_PACKAGE_CONTACT "Tarvix developers <tarvix@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Sound librarian and editor for the Waldorf Blofeld")
set(CPACK_PACKAGE_DESCRIPTION
    "Keeps, sorts, edits and transfers the sounds of a Waldorf Blofeld synthesizer over MIDI, with a built-in virtual instrument and a command-line tool for sound files.")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
