# The kanji courses: the 1026 kanji of primary school in six courses, one per school grade,
# and the 1110 other jouyou kanji in six courses of 185, each picture drawn from its KanjiVG
# stroke file (data/kanjivg/kanji/) rather than from the font. Their tables, data/kanji-1.tsv
# to kanji-6.tsv and kanji-college-1.tsv to kanji-college-6.tsv, are kept in the sources; the
# target kanji_tables writes them again from KANJIDIC2 and the stroke files.

add_subdirectory(${PROJECT_SOURCE_DIR}/tools/kanjitables ${CMAKE_BINARY_DIR}/tools/kanjitables)

set(PLUMETTO_KANJIDIC /usr/share/edict/kanjidic2.xml.gz CACHE FILEPATH
  "KANJIDIC2, read by the target kanji_tables (Debian package kanjidic-xml)")

add_custom_target(kanji_tables
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
    $<TARGET_FILE:kanjitables> --kanjidic ${PLUMETTO_KANJIDIC}
    --strokes-dir ${PLUMETTO_STROKE_DIR} --output-dir ${PROJECT_SOURCE_DIR}/data
  DEPENDS kanjitables
  COMMENT "Writing data/kanji-*.tsv from ${PLUMETTO_KANJIDIC}"
  VERBATIM)

# One command per course, so that they are drawn side by side.
foreach(_course kanji-1 kanji-2 kanji-3 kanji-4 kanji-5 kanji-6 kanji-college-1 kanji-college-2
    kanji-college-3 kanji-college-4 kanji-college-5 kanji-college-6)
  plumetto_add_course(${_course} PICTURES CATALOGUE SOURCES "${_course}|kanji"
    TOOL_ARGS --draw-strokes)
endforeach()
