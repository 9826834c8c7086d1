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
