# The kanji courses: the 1026 kanji of primary school in six courses, one per school grade,
# each picture drawn from its KanjiVG stroke file (data/kanjivg/kanji/) rather than from the
# font. Their tables, data/kanji-1.tsv to kanji-6.tsv, are kept in the sources; the target
# kanji_tables writes them again from KANJIDIC2 and the stroke files.

add_subdirectory(${PROJECT_SOURCE_DIR}/tools/kanjitables ${CMAKE_BINARY_DIR}/tools/kanjitables)

set(PLUMETTO_KANJIDIC /usr/share/edict/kanjidic2.xml.gz CACHE FILEPATH
  "KANJIDIC2, read by the target kanji_tables (Debian package kanjidic-xml)")

add_custom_target(kanji_tables
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
    $<TARGET_FILE:kanjitables> --kanjidic ${PLUMETTO_KANJIDIC}
    --strokes-dir ${PLUMETTO_STROKE_DIR} --output-dir ${PROJECT_SOURCE_DIR}/data
  DEPENDS kanjitables
  COMMENT "Writing data/kanji-1.tsv to kanji-6.tsv from ${PLUMETTO_KANJIDIC}"
  VERBATIM)

# One command per course, so that the six are drawn side by side.
foreach(_grade 1 2 3 4 5 6)
  plumetto_add_course(kanji-${_grade} PICTURES SOURCES "kanji-${_grade}|kanji"
    TOOL_ARGS --draw-strokes)
endforeach()
