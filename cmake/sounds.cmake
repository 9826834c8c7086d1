# The kana courses' sound files: each character of the tables in data/ spoken by espeak-ng
# (voice ja, the character itself as the text) and encoded as Ogg Vorbis by oggenc, beside its
# picture as ${PLUMETTO_APP_DIR}/images/<folder>/<picture name>.ogg. Included by data.cmake,
# which gives PLUMETTO_KANA_SOURCES and the target plumetto_data.

find_program(PLUMETTO_ESPEAK espeak-ng)
find_program(PLUMETTO_OGGENC oggenc)
set(_plumetto_missing)
if(NOT EXISTS "${PLUMETTO_ESPEAK}")
  list(APPEND _plumetto_missing "espeak-ng (Debian package espeak-ng)")
endif()
if(NOT EXISTS "${PLUMETTO_OGGENC}")
  list(APPEND _plumetto_missing "oggenc (Debian package vorbis-tools)")
endif()
if(_plumetto_missing)
  list(JOIN _plumetto_missing ", " _plumetto_missing)
  message(FATAL_ERROR "The kana courses' sounds are made at build time with espeak-ng and "
    "oggenc. Not found: ${_plumetto_missing}. Install the package, or name the program with "
    "-DPLUMETTO_ESPEAK=/path/to/espeak-ng or -DPLUMETTO_OGGENC=/path/to/oggenc.")
endif()

# Low quality at espeak's 22 kHz mono is plenty for one syllable and keeps each file to a few
# kilobytes; the fixed stream serial keeps the files the same from build to build.
set(_plumetto_oggenc_options --quiet --quality 0 --serial 1)

set(PLUMETTO_SOUND_OUTPUTS)
set(_plumetto_sound_work ${CMAKE_BINARY_DIR}/sounds)
foreach(_course IN LISTS PLUMETTO_KANA_SOURCES)
  string(REPLACE "|" ";" _course "${_course}")
  list(GET _course 0 _name)
  list(GET _course 1 _folder)
  set(_table ${PROJECT_SOURCE_DIR}/data/${_name}.tsv)
  # The list of files follows the table's lines: read it again when the table changes.
  set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_table})
  # The columns as the tool kanacourse reads them (it checks the table when drawing the
  # pictures): kana, reading, comment, optional picture name, trimmed.
  file(STRINGS ${_table} _lines ENCODING UTF-8 REGEX "^[^#]")
  foreach(_line IN LISTS _lines)
    if(NOT _line MATCHES "^([^\t]*)\t([^\t]*)\t[^\t]*(\t([^\t]*))?\r?$")
      continue()
    endif()
    string(STRIP "${CMAKE_MATCH_1}" _kana)
    string(STRIP "${CMAKE_MATCH_2}" _picture)
    string(STRIP "${CMAKE_MATCH_4}" _named)
    # Compared as a string: a name such as "n" or "no" would read as false in if(_named).
    if(NOT _named STREQUAL "")
      set(_picture ${_named})
    endif()
    if(_kana STREQUAL "" OR _picture STREQUAL "")
      continue()
    endif()
    set(_wav ${_plumetto_sound_work}/${_folder}/${_picture}.wav)
    set(_ogg ${PLUMETTO_APP_DIR}/images/${_folder}/${_picture}.ogg)
    # The folders are made again, in case the build's app folder was removed.
    add_custom_command(OUTPUT ${_ogg}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${_plumetto_sound_work}/${_folder}
        ${PLUMETTO_APP_DIR}/images/${_folder}
      COMMAND ${PLUMETTO_ESPEAK} -v ja -w ${_wav} ${_kana}
      COMMAND ${PLUMETTO_OGGENC} ${_plumetto_oggenc_options} -o ${_ogg} ${_wav}
      COMMAND ${CMAKE_COMMAND} -E rm -f ${_wav}
      DEPENDS ${_table}
      COMMENT "Speaking ${_folder}/${_picture}"
      VERBATIM)
    list(APPEND PLUMETTO_SOUND_OUTPUTS ${_ogg})
  endforeach()
endforeach()

if(NOT PLUMETTO_SOUND_OUTPUTS)
  message(FATAL_ERROR "No kana table gave a sound to make: is PLUMETTO_KANA_SOURCES set?")
endif()
add_custom_target(plumetto_sounds DEPENDS ${PLUMETTO_SOUND_OUTPUTS})
add_dependencies(plumetto_data plumetto_sounds)
list(APPEND PLUMETTO_SHIPPED_FILES ${PLUMETTO_SOUND_OUTPUTS})
