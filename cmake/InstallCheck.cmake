# Installs the build into a scratch folder and checks that the desktop files
# are there and valid: cmake -DBUILD=... -DOUT=... -P InstallCheck.cmake
file(REMOVE_RECURSE ${OUT})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${OUT} OUTPUT_QUIET RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()
foreach(f bin/zelk bin/zelk-cli bin/zelk-pack
    share/man/man1/zelk.1.gz share/man/man1/zelk-cli.1.gz share/man/man1/zelk-pack.1.gz
    share/applications/org.zelk.Zelk.desktop share/icons/hicolor/scalable/apps/org.zelk.Zelk.svg
    share/metainfo/org.zelk.Zelk.metainfo.xml share/doc/zelk/copyright)
  if(NOT EXISTS ${OUT}/${f})
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()
# The validators are optional on a build machine; scripts/package.sh installs them.
find_program(DESKTOP_VALIDATE desktop-file-validate)
find_program(APPSTREAMCLI appstreamcli)
if(DESKTOP_VALIDATE)
  execute_process(COMMAND ${DESKTOP_VALIDATE} ${OUT}/share/applications/org.zelk.Zelk.desktop RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "desktop-file-validate failed")
  endif()
endif()
if(APPSTREAMCLI)
  execute_process(COMMAND ${APPSTREAMCLI} validate --no-net ${OUT}/share/metainfo/org.zelk.Zelk.metainfo.xml
    RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "appstreamcli validate failed")
  endif()
endif()
