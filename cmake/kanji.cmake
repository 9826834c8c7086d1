# The kanji courses: the 1026 kanji of primary school in six courses, one per school grade.
# Their tables, data/kanji-1.tsv to kanji-6.tsv, are kept in the sources; the target
# kanji_tables writes them again from KANJIDIC2 and the stroke files of data/kanjivg.

add_subdirectory(${PROJECT_SOURCE_DIR}/tools/kanjitables ${CMAKE_BINARY_DIR}/tools/kanjitables)

set(PLUMETTO_KANJIDIC /usr/share/edict/kanjidic2.xml.gz CACHE FILEPATH
  "KANJIDIC2, read by the target kanji_tables (Debian package kanjidic-xml)")
set(PLUMETTO_KANJI_STROKES ${PROJECT_SOURCE_DIR}/data/kanjivg)

add_custom_target(kanji_tables
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
    $<TARGET_FILE:kanjitables> --kanjidic ${PLUMETTO_KANJIDIC}
    --strokes-dir ${PLUMETTO_KANJI_STROKES} --output-dir ${PROJECT_SOURCE_DIR}/data
  DEPENDS kanjitables
  COMMENT "Writing data/kanji-1.tsv to kanji-6.tsv from ${PLUMETTO_KANJIDIC}"
  VERBATIM)

# Each course is drawn by its own command, so that the six run side by side: its course file,
# and for each kanji kanji/<code point>.png, @2x.png and the stroke file .svg beside them. The
# tables name the pictures: CMake reads them again whenever they change.
set(PLUMETTO_KANJI_GRADES 1 2 3 4 5 6)
set(_plumetto_kanji_course ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
  $<TARGET_FILE:kanacourse> --strokes-dir ${PLUMETTO_KANJI_STROKES} --with-strokes --hidpi
  --images-dir ${PLUMETTO_APP_DIR}/images --prefix kanji/)
set(PLUMETTO_KANJI_OUTPUTS)
foreach(_grade IN LISTS PLUMETTO_KANJI_GRADES)
  set(_table ${PROJECT_SOURCE_DIR}/data/kanji-${_grade}.tsv)
  set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_table})
  file(STRINGS ${_table} _lines REGEX "^[^#].*\t[0-9a-f]+$" ENCODING UTF-8)
  set(_course ${PLUMETTO_APP_DIR}/exercices/kanji-${_grade}.txt)
  set(_outputs ${_course})
  set(_sources)
  foreach(_line IN LISTS _lines)
    # A ";" in a comment splits its line in two items of the list: only the last item ends
    # with a tab and the picture's name.
    if(NOT _line MATCHES "\t([0-9a-f]+)$")
      continue()
    endif()
    set(_name ${CMAKE_MATCH_1})
    set(_picture ${PLUMETTO_APP_DIR}/images/kanji/${_name})
    list(APPEND _outputs ${_picture}.png ${_picture}@2x.png ${_picture}.svg)
    list(APPEND _sources ${PLUMETTO_KANJI_STROKES}/${_name}.svg)
  endforeach()
  add_custom_command(OUTPUT ${_outputs}
    COMMAND ${_plumetto_kanji_course} --course ${_course} --table ${_table}
    DEPENDS kanacourse ${_table} ${_sources}
    COMMENT "Drawing the course kanji-${_grade} and its pictures"
    VERBATIM)
  list(APPEND PLUMETTO_KANJI_OUTPUTS ${_outputs})
endforeach()

list(APPEND PLUMETTO_DATA_OUTPUTS ${PLUMETTO_KANJI_OUTPUTS})
# The list the data's installation is made from, where the build keeps one.
list(APPEND PLUMETTO_SHIPPED_FILES ${PLUMETTO_KANJI_OUTPUTS})

# Installed beside the kana courses, once packaging.cmake has named the folder.
if(NOT PLUMETTO_INSTALLS_SHIPPED_FILES)
  function(plumetto_install_kanji)
    foreach(_grade IN LISTS PLUMETTO_KANJI_GRADES)
      install(FILES ${PLUMETTO_APP_DIR}/exercices/kanji-${_grade}.txt
        DESTINATION ${PLUMETTO_INSTALL_DIR}/exercices)
    endforeach()
    install(DIRECTORY ${PLUMETTO_APP_DIR}/images/kanji DESTINATION ${PLUMETTO_INSTALL_DIR}/images
      FILES_MATCHING PATTERN "*.png" PATTERN "*.svg")
  endfunction()
  cmake_language(DEFER CALL plumetto_install_kanji)
endif()
