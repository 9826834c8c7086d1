# The data shipped beside the program in ${PLUMETTO_APP_DIR}: the blank picture, and the kana
# courses with their solution pictures, drawn at build time from the stroke-order font by the
# tool kanacourse. The tables in data/ are the only copy of the courses' contents.

# The stroke-order font, found by its family name, or else where Debian puts it.
set(PLUMETTO_STROKE_FONT "" CACHE FILEPATH "The KanjiStrokeOrders font file the pictures are drawn from")
if(NOT PLUMETTO_STROKE_FONT)
  find_program(PLUMETTO_FC_LIST fc-list)
  if(PLUMETTO_FC_LIST)
    execute_process(COMMAND ${PLUMETTO_FC_LIST} KanjiStrokeOrders file
      OUTPUT_VARIABLE _plumetto_fonts OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    string(REGEX MATCH "^[^\n]+\\.ttf" _plumetto_font "${_plumetto_fonts}")
  endif()
  if(NOT _plumetto_font)
    file(GLOB _plumetto_font /usr/share/fonts/truetype/kanjistrokeorders/KanjiStrokeOrders*.ttf)
    list(SORT _plumetto_font)
    list(POP_BACK _plumetto_font _plumetto_font)
  endif()
  if(_plumetto_font)
    set(PLUMETTO_STROKE_FONT "${_plumetto_font}" CACHE FILEPATH
      "The KanjiStrokeOrders font file the pictures are drawn from" FORCE)
  endif()
endif()
if(NOT EXISTS "${PLUMETTO_STROKE_FONT}")
  message(FATAL_ERROR "The stroke-order font KanjiStrokeOrders, from which the courses' pictures "
    "are drawn, was not found. Install the Debian package fonts-kanjistrokeorders, or give the "
    "font file with -DPLUMETTO_STROKE_FONT=/path/to/KanjiStrokeOrders.ttf.")
endif()
message(STATUS "Stroke-order font: ${PLUMETTO_STROKE_FONT}")

add_subdirectory(${PROJECT_SOURCE_DIR}/tools/kanacourse ${CMAKE_BINARY_DIR}/tools/kanacourse)

# Course name, its table in data/, and the folder of its pictures under images/.
set(PLUMETTO_COURSES
  "hiragana|hiragana"
  "hiragana-dakuten|hiragana"
  "katakana|katakana"
  "katakana-dakuten|katakana"
)
# The course holding every character, drawn from all the tables in this order.
set(PLUMETTO_ALL_KANA_COURSE kana)

# The tool may be built with the sanitizers: leaks in the system's font libraries at its exit
# must not fail the build.
set(_plumetto_kanacourse ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
  $<TARGET_FILE:kanacourse> --font ${PLUMETTO_STROKE_FONT})

set(PLUMETTO_DATA_OUTPUTS)
set(PLUMETTO_COURSE_TABLES)
set(_plumetto_all_tables)
foreach(_course IN LISTS PLUMETTO_COURSES)
  string(REPLACE "|" ";" _course "${_course}")
  list(GET _course 0 _name)
  list(GET _course 1 _folder)
  set(_table ${PROJECT_SOURCE_DIR}/data/${_name}.tsv)
  set(_output ${PLUMETTO_APP_DIR}/exercices/${_name}.txt)
  add_custom_command(OUTPUT ${_output}
    COMMAND ${_plumetto_kanacourse} --images-dir ${PLUMETTO_APP_DIR}/images --course ${_output}
      --prefix ${_folder}/ --table ${_table}
    DEPENDS kanacourse ${_table} ${PLUMETTO_STROKE_FONT}
    COMMENT "Drawing the course ${_name} and its pictures"
    VERBATIM)
  list(APPEND PLUMETTO_DATA_OUTPUTS ${_output})
  list(APPEND _plumetto_all_tables --prefix ${_folder}/ --table ${_table})
  list(APPEND PLUMETTO_COURSE_TABLES ${_table})
endforeach()

# Its pictures are those of the courses above: only the course file is written.
set(_output ${PLUMETTO_APP_DIR}/exercices/${PLUMETTO_ALL_KANA_COURSE}.txt)
add_custom_command(OUTPUT ${_output}
  COMMAND ${_plumetto_kanacourse} --course ${_output} ${_plumetto_all_tables}
  DEPENDS kanacourse ${PLUMETTO_COURSE_TABLES}
  COMMENT "Writing the course ${PLUMETTO_ALL_KANA_COURSE}"
  VERBATIM)
list(APPEND PLUMETTO_DATA_OUTPUTS ${_output})

add_custom_command(OUTPUT ${PLUMETTO_APP_DIR}/images/vide.jpg
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${PROJECT_SOURCE_DIR}/images/vide.jpg
    ${PLUMETTO_APP_DIR}/images/vide.jpg
  DEPENDS ${PROJECT_SOURCE_DIR}/images/vide.jpg
  COMMENT "Copying the blank picture"
  VERBATIM)
list(APPEND PLUMETTO_DATA_OUTPUTS ${PLUMETTO_APP_DIR}/images/vide.jpg)

include(${CMAKE_CURRENT_LIST_DIR}/kanji.cmake)

add_custom_target(plumetto_data ALL DEPENDS ${PLUMETTO_DATA_OUTPUTS})

add_subdirectory(${PROJECT_SOURCE_DIR}/tests/courses ${CMAKE_BINARY_DIR}/tests/courses)

include(${CMAKE_CURRENT_LIST_DIR}/packaging.cmake)
