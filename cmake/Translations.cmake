# Keeps translations/*.ts in line with the sources (MODE=update), or checks
# that it is (MODE=check): the same lupdate run into a scratch copy must
# change nothing, and no text may be left without its translation or with
# placeholders other than its source's.
#   cmake -DMODE=update|check -DLUPDATE=... -DSOURCE_DIR=... -DTS_FILE=... [-DSCRATCH_DIR=...] -P Translations.cmake

# The core's texts go through Tr(context, text) and, in tables,
# ZELK_TR_NOOP(context, text).
set(lupdate_args
  -I ${SOURCE_DIR}/src
  -tr-function-alias translate+=Tr,QT_TRANSLATE_NOOP+=ZELK_TR_NOOP
  -locations none -no-obsolete -silent
  -source-language ru -target-language en
  ${SOURCE_DIR}/src/core ${SOURCE_DIR}/src/pilotfiles ${SOURCE_DIR}/src/cardqt ${SOURCE_DIR}/src/monitor ${SOURCE_DIR}/src/ui ${SOURCE_DIR}/tools/cli)

if(MODE STREQUAL "update")
  execute_process(COMMAND ${LUPDATE} ${lupdate_args} -ts ${TS_FILE} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "lupdate failed (${rc})")
  endif()
  return()
endif()

get_filename_component(ts_name ${TS_FILE} NAME)
set(scratch ${SCRATCH_DIR}/${ts_name})
file(MAKE_DIRECTORY ${SCRATCH_DIR})
configure_file(${TS_FILE} ${scratch} COPYONLY)
execute_process(COMMAND ${LUPDATE} ${lupdate_args} -ts ${scratch} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "lupdate failed (${rc})")
endif()
file(READ ${TS_FILE} kept)
file(READ ${scratch} fresh)
set(faults "")
if(NOT kept STREQUAL fresh)
  execute_process(COMMAND diff -u ${TS_FILE} ${scratch} OUTPUT_VARIABLE difference)
  string(APPEND faults "${ts_name} differs from the sources (build the target update_translations):\n${difference}\n")
endif()

# One message at a time: its source, its translation, and the placeholders
# (%1..%9) of each.
# A semicolon in the texts would split CMake's list.
string(REPLACE ";" "<semicolon/>" messages "${fresh}")
string(REPLACE "</message>" ";" messages "${messages}")
foreach(message IN LISTS messages)
  if(NOT message MATCHES "<source>(.*)</source>")
    continue()
  endif()
  set(source "${CMAKE_MATCH_1}")
  if(message MATCHES "<translation type=\"(unfinished|obsolete|vanished)\"")
    string(APPEND faults "not translated (${CMAKE_MATCH_1}): ${source}\n")
    continue()
  endif()
  if(NOT message MATCHES "<translation>(.+)</translation>")
    string(APPEND faults "empty translation: ${source}\n")
    continue()
  endif()
  set(translation "${CMAKE_MATCH_1}")
  string(REGEX MATCHALL "%[1-9]" in_source "${source}")
  string(REGEX MATCHALL "%[1-9]" in_translation "${translation}")
  list(SORT in_source)
  list(SORT in_translation)
  if(NOT in_source STREQUAL in_translation)
    string(APPEND faults "placeholders differ: ${source} => ${translation}\n")
  endif()
endforeach()

if(faults)
  message(FATAL_ERROR "${faults}")
endif()
