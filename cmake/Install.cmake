# The version header, the installed files and the Debian package. Included at
# the end of the top-level CMakeLists.txt, when every target exists.

configure_file(${PROJECT_SOURCE_DIR}/cmake/version.h.in ${PROJECT_BINARY_DIR}/generated/zelk_version.h @ONLY)
target_include_directories(zelk_common INTERFACE ${PROJECT_BINARY_DIR}/generated)

if(WIN32)
  return()
endif()

include(GNUInstallDirs)
set(ZELK_APP_ID org.zelk.Zelk)
set(ZELK_DIST ${PROJECT_SOURCE_DIR}/dist)
set(ZELK_DIST_OUT ${PROJECT_BINARY_DIR}/dist)
# The date shown by the man pages and the release note of the metainfo.
set(ZELK_RELEASE_DATE 2026-12-08)

foreach(program zelk zelk-cli zelk-pack)
  if(NOT TARGET ${program})
    continue()
  endif()
  install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # Man pages are installed compressed, as Debian's policy wants them.
  configure_file(${ZELK_DIST}/linux/man/${program}.1.in ${ZELK_DIST_OUT}/${program}.1 @ONLY)
  add_custom_command(OUTPUT ${ZELK_DIST_OUT}/${program}.1.gz
    COMMAND gzip -9nc ${program}.1 > ${program}.1.gz
    DEPENDS ${ZELK_DIST_OUT}/${program}.1
    WORKING_DIRECTORY ${ZELK_DIST_OUT} VERBATIM)
  list(APPEND ZELK_MAN_PAGES ${ZELK_DIST_OUT}/${program}.1.gz)
  install(FILES ${ZELK_DIST_OUT}/${program}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

configure_file(${ZELK_DIST}/debian/changelog.in ${ZELK_DIST_OUT}/changelog.Debian @ONLY)
add_custom_command(OUTPUT ${ZELK_DIST_OUT}/changelog.Debian.gz ${ZELK_DIST_OUT}/changelog.gz
  COMMAND gzip -9nc changelog.Debian > changelog.Debian.gz
  COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/CHANGELOG.md > changelog.gz
  DEPENDS ${ZELK_DIST_OUT}/changelog.Debian ${PROJECT_SOURCE_DIR}/CHANGELOG.md
  WORKING_DIRECTORY ${ZELK_DIST_OUT} VERBATIM)
add_custom_target(zelk_dist ALL DEPENDS ${ZELK_MAN_PAGES} ${ZELK_DIST_OUT}/changelog.Debian.gz)
install(FILES ${ZELK_DIST}/debian/copyright ${ZELK_DIST_OUT}/changelog.Debian.gz ${ZELK_DIST_OUT}/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The example templates of conditions, to copy beside the journal.
install(FILES ${ZELK_DIST}/zelk-templates.toml DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
# The default training programme, to start or to copy and change.
install(FILES ${ZELK_DIST}/zelk-programme.toml DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)

if(TARGET zelk)
  configure_file(${ZELK_DIST}/linux/${ZELK_APP_ID}.metainfo.xml.in ${ZELK_DIST_OUT}/${ZELK_APP_ID}.metainfo.xml @ONLY)
  install(FILES ${ZELK_DIST}/linux/${ZELK_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${ZELK_DIST}/linux/${ZELK_APP_ID}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES ${ZELK_DIST_OUT}/${ZELK_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

if(ZELK_BUILD_TESTS AND TARGET zelk AND TARGET zelk-cli AND TARGET zelk-pack)
  add_test(NAME package_install COMMAND ${CMAKE_COMMAND} -DBUILD=${PROJECT_BINARY_DIR}
    -DOUT=${PROJECT_BINARY_DIR}/install-check -P ${PROJECT_SOURCE_DIR}/cmake/InstallCheck.cmake)
endif()

# cpack: a Debian package of whatever the build installs.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zelk)
set(CPACK_PACKAGE_VENDOR "ZELK developers")
set(CPACK_PACKAGE_CONTACT "ZELK developers <zelk@orvak.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "mission generator for the ORVAK flight simulator")
# Lines kept short: the package's control file shows them as written.
set(CPACK_PACKAGE_DESCRIPTION "ZELK writes ready-to-fly ground-attack training missions and their
briefings into the mission folder of the ORVAK combat flight simulator,
keeps the library of generated missions and, in auto-generation mode,
writes a mission anew each time the simulator's event log says it has
been flown.

The package holds the window program zelk and the command-line programs
zelk-cli and zelk-pack. The reference data files are not included.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so the library scan cannot see them: the window's
# platform plugin, and the font it falls back to.
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-dejavu-core)
include(CPack)
