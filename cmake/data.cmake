# The data shipped beside the program in ${PLUMETTO_APP_DIR}: the blank picture, and the kana
# courses with their solution pictures, drawn at build time from the stroke-order font by the
# tool kanacourse, each picture with its twin for screens of ratio 2 and its KanjiVG stroke
# file (data/kanjivg/) in the folder's pack; the catalogue of the shipped characters. The
# tables in data/ are the only copy of the courses' contents.

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

# What the build writes into ${PLUMETTO_APP_DIR} is known when CMake configures, one declared
# output per file: a file that goes missing is written again by the next build, and what is
# installed is this list (packaging.cmake), never what happens to lie in the folder.
#   PLUMETTO_SHIPPED_FILES  every file to install beside the program, each a declared output
#                           of a custom command that a target built by default depends on.
#                           Other cmake files included by the top CMakeLists.txt, before or
#                           after this one, append their own to it (list(APPEND ...)).

# The blank picture, and the target that builds every course (plumetto_add_course below).
add_custom_command(OUTPUT ${PLUMETTO_APP_DIR}/images/vide.jpg
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${PROJECT_SOURCE_DIR}/images/vide.jpg
    ${PLUMETTO_APP_DIR}/images/vide.jpg
  DEPENDS ${PROJECT_SOURCE_DIR}/images/vide.jpg
  COMMENT "Copying the blank picture"
  VERBATIM)
list(APPEND PLUMETTO_SHIPPED_FILES ${PLUMETTO_APP_DIR}/images/vide.jpg)
add_custom_target(plumetto_data ALL DEPENDS ${PLUMETTO_APP_DIR}/images/vide.jpg)

# KanjiVG's stroke files, one per character, named by its code point, and their variants,
# "<code>-<Variant>.svg": _plumetto_variants_<code> lists the Variant parts of each code.
set(PLUMETTO_STROKE_DIR ${PROJECT_SOURCE_DIR}/data/kanjivg/kanji)
file(GLOB _plumetto_variant_files CONFIGURE_DEPENDS RELATIVE ${PLUMETTO_STROKE_DIR}
  ${PLUMETTO_STROKE_DIR}/*-*.svg)
foreach(_file IN LISTS _plumetto_variant_files)
  if(_file MATCHES "^([0-9a-f]+)-([A-Z][A-Za-z0-9]*)\\.svg$")
    list(APPEND _plumetto_variants_${CMAKE_MATCH_1} ${CMAKE_MATCH_2})
  endif()
endforeach()

# The stroke files are shipped packed, one pack per picture folder (images/<folder>/
# strokes.pack), each file under the name it would have beside its picture: "ka.svg",
# "06c34-Kaisho.svg". _plumetto_pack_stroke_file(<folder> <name> <file>) adds a file to the
# folder's pack; _plumetto_add_stroke_packs() below makes the packs.
function(_plumetto_pack_stroke_file folder name file)
  string(MAKE_C_IDENTIFIER "${folder}" id)
  set_property(GLOBAL APPEND PROPERTY PLUMETTO_PACK_FOLDERS ${folder})
  set_property(GLOBAL APPEND PROPERTY PLUMETTO_PACK_${id} "${name}\t${file}")
endfunction()

# _plumetto_stroke_file(<text> <var>): sets <var> to the name of the text's KanjiVG stroke file
# ("0304b.svg" for か), or to nothing when the text is not one character, as kanacourse does.
function(_plumetto_stroke_file text var)
  string(HEX "${text}" hex)
  string(REGEX MATCHALL ".." bytes "${hex}")
  list(LENGTH bytes count)
  set(${var} "" PARENT_SCOPE)
  if(count EQUAL 0 OR count GREATER 4)
    return()
  endif()
  # One code point is a lead byte followed by continuation bytes (80 to bf).
  list(GET bytes 0 b0)
  set(expected 1)
  if(b0 MATCHES "^[c-d]")
    set(expected 2)
    set(expr "((0x${b0} & 0x1f) << 6)")
  elseif(b0 MATCHES "^e")
    set(expected 3)
    set(expr "((0x${b0} & 0x0f) << 12)")
  elseif(b0 MATCHES "^f")
    set(expected 4)
    set(expr "((0x${b0} & 0x07) << 18)")
  elseif(b0 MATCHES "^[0-7]")
    set(expr "0x${b0}")
  else()
    return()
  endif()
  if(NOT count EQUAL expected)
    return()
  endif()
  math(EXPR last "${count} - 1")
  foreach(i RANGE 1 ${last})
    if(i GREATER last)
      break()
    endif()
    list(GET bytes ${i} b)
    if(NOT b MATCHES "^[89ab]")
      return()
    endif()
    math(EXPR shift "6 * (${count} - 1 - ${i})")
    string(APPEND expr " | ((0x${b} & 0x3f) << ${shift})")
  endforeach()
  math(EXPR code "${expr}" OUTPUT_FORMAT HEXADECIMAL)
  string(SUBSTRING "${code}" 2 -1 code)
  string(TOLOWER "${code}" code)
  string(LENGTH "${code}" length)
  while(length LESS 5)
    string(PREPEND code 0)
    math(EXPR length "${length} + 1")
  endwhile()
  set(${var} ${code}.svg PARENT_SCOPE)
endfunction()

# plumetto_read_course_table(<table> <var>)
# Reads a course table as kanacourse does and sets, line by line, <var>_KANA to the
# characters drawn, <var>_PICTURES to their pictures' base names and <var>_STROKES to their
# stroke files' names (empty where the characters are not one). Editing the table makes
# CMake configure again.
function(plumetto_read_course_table table var)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${table})
  file(READ ${table} text)
  # A semicolon, a bracket or a backslash would mean something in a CMake list; none of them
  # is in a picture name or a character to draw, so they may be replaced.
  string(REGEX REPLACE "[][;\\\r]" "_" text "${text}")
  string(REPLACE "\n" ";" lines "${text}")
  set(kanas)
  set(pictures)
  set(strokes)
  foreach(line IN LISTS lines)
    if(line MATCHES "^#" OR line MATCHES "^[ \t]*$")
      continue()
    endif()
    string(REPLACE "\t" ";" columns "${line}")
    list(LENGTH columns count)
    if(count LESS 3 OR count GREATER 7)
      continue() # kanacourse stops the build on this line with its reason
    endif()
    list(GET columns 0 kana)
    list(GET columns 1 name)
    if(count GREATER 3)
      list(GET columns 3 named)
      string(STRIP "${named}" named)
      # Compared as a string: a name such as "n" would read as false.
      if(NOT named STREQUAL "")
        set(name ${named})
      endif()
    endif()
    string(STRIP "${kana}" kana)
    string(STRIP "${name}" name)
    _plumetto_stroke_file("${kana}" stroke)
    list(APPEND kanas "${kana}")
    list(APPEND pictures "${name}")
    list(APPEND strokes "${stroke}")
  endforeach()
  set(${var}_KANA "${kanas}" PARENT_SCOPE)
  set(${var}_PICTURES "${pictures}" PARENT_SCOPE)
  set(${var}_STROKES "${strokes}" PARENT_SCOPE)
endfunction()

# The tool may be built with the sanitizers: leaks in the system's font libraries at its exit
# must not fail the build.
set(_plumetto_kanacourse ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
  $<TARGET_FILE:kanacourse> --font ${PLUMETTO_STROKE_FONT})

# plumetto_add_course(<name> [PICTURES] [CATALOGUE]
#                     SOURCES <table>|<folder>[|<reading suffix>]... [TOOL_ARGS <argument>...])
# Writes exercices/<name>.txt from the tables (data/<table>.tsv, or an absolute path), in
# order, each record's picture in images/<folder>/ and its reading followed by the suffix.
# With PICTURES, also draws every picture and its @2x twin (images/<folder>/ka.png,
# ka@2x.png), and puts its stroke file and the file's variants in the folder's pack. With
# CATALOGUE, the course's characters go into the catalogue (exercices/catalogue.tsv).
# TOOL_ARGS go to kanacourse as they are. Every file written is a declared output, appended to
# PLUMETTO_SHIPPED_FILES and built by the target plumetto_course_<name>, on which plumetto_data
# depends.
function(plumetto_add_course name)
  cmake_parse_arguments(ARG "PICTURES;CATALOGUE" "" "SOURCES;TOOL_ARGS" ${ARGN})
  set(course ${PLUMETTO_APP_DIR}/exercices/${name}.txt)
  set(outputs ${course})
  set(depends kanacourse ${PLUMETTO_STROKE_FONT})
  set(arguments --course ${course})
  set(comment "Writing the course ${name}")
  set(suffixed FALSE)
  if(ARG_PICTURES)
    list(APPEND arguments --images-dir ${PLUMETTO_APP_DIR}/images
      --strokes-dir ${PLUMETTO_STROKE_DIR})
    string(APPEND comment " and drawing its pictures")
  endif()
  foreach(source IN LISTS ARG_SOURCES)
    string(REPLACE "|" ";" source "${source}")
    list(GET source 0 table)
    list(GET source 1 folder)
    set(suffix "")
    list(LENGTH source parts)
    if(parts GREATER 2)
      list(GET source 2 suffix)
    endif()
    if(NOT IS_ABSOLUTE ${table})
      set(table ${PROJECT_SOURCE_DIR}/data/${table}.tsv)
    endif()
    list(APPEND depends ${table})
    # CMake drops an empty argument, and the tool keeps the last suffix given.
    if(NOT suffix STREQUAL "")
      list(APPEND arguments --reading-suffix "${suffix}")
      set(suffixed TRUE)
    elseif(suffixed)
      message(FATAL_ERROR "plumetto_add_course(${name}): give every source a reading suffix, "
        "or the first ones only")
    endif()
    list(APPEND arguments --prefix ${folder}/ --table ${table})
    if(ARG_CATALOGUE)
      if(suffixed)
        message(FATAL_ERROR "plumetto_add_course(${name}): a course with reading suffixes "
          "does not go into the catalogue")
      endif()
      set_property(GLOBAL APPEND PROPERTY PLUMETTO_CATALOGUE_ARGUMENTS
        --prefix ${folder}/ --course-name ${name}.txt --table ${table})
    endif()
    if(ARG_PICTURES)
      plumetto_read_course_table(${table} _table)
      foreach(picture stroke IN ZIP_LISTS _table_PICTURES _table_STROKES)
        set(base ${PLUMETTO_APP_DIR}/images/${folder}/${picture})
        list(APPEND outputs ${base}.png ${base}@2x.png)
        if(stroke)
          list(APPEND depends ${PLUMETTO_STROKE_DIR}/${stroke})
          _plumetto_pack_stroke_file(${folder} ${picture}.svg ${PLUMETTO_STROKE_DIR}/${stroke})
          string(REGEX REPLACE "\\.svg$" "" code ${stroke})
          foreach(variant IN LISTS _plumetto_variants_${code})
            _plumetto_pack_stroke_file(${folder} ${picture}-${variant}.svg
              ${PLUMETTO_STROKE_DIR}/${code}-${variant}.svg)
          endforeach()
        endif()
      endforeach()
    endif()
  endforeach()
  add_custom_command(OUTPUT ${outputs}
    COMMAND ${_plumetto_kanacourse} ${arguments} ${ARG_TOOL_ARGS}
    DEPENDS ${depends}
    COMMENT "${comment}"
    VERBATIM)
  add_custom_target(plumetto_course_${name} ALL DEPENDS ${outputs})
  add_dependencies(plumetto_data plumetto_course_${name})
  set(PLUMETTO_SHIPPED_FILES ${PLUMETTO_SHIPPED_FILES} ${outputs} PARENT_SCOPE)
endfunction()

# The kana tables in data/ and the folders of their pictures under images/, for the courses
# below and for whatever else is made beside the pictures.
set(PLUMETTO_KANA_SOURCES
  "hiragana|hiragana" "hiragana-dakuten|hiragana" "katakana|katakana" "katakana-dakuten|katakana")
plumetto_add_course(hiragana PICTURES CATALOGUE SOURCES "hiragana|hiragana")
plumetto_add_course(hiragana-dakuten PICTURES CATALOGUE SOURCES "hiragana-dakuten|hiragana")
plumetto_add_course(katakana PICTURES CATALOGUE SOURCES "katakana|katakana")
plumetto_add_course(katakana-dakuten PICTURES CATALOGUE SOURCES "katakana-dakuten|katakana")
# Every kana at once, drawn above: the reading tells which script is asked for, since both
# read the same.
plumetto_add_course(kana SOURCES
  "hiragana|hiragana| (hiragana)" "hiragana-dakuten|hiragana| (hiragana)"
  "katakana|katakana| (katakana)" "katakana-dakuten|katakana| (katakana)")

include(${CMAKE_CURRENT_LIST_DIR}/kanji.cmake)

# One pack per picture folder of the courses above, from the tool strokepack.
add_subdirectory(${PROJECT_SOURCE_DIR}/tools/strokepack ${CMAKE_BINARY_DIR}/tools/strokepack)
function(_plumetto_add_stroke_packs)
  get_property(folders GLOBAL PROPERTY PLUMETTO_PACK_FOLDERS)
  list(REMOVE_DUPLICATES folders)
  foreach(folder IN LISTS folders)
    string(MAKE_C_IDENTIFIER "${folder}" id)
    get_property(files GLOBAL PROPERTY PLUMETTO_PACK_${id})
    list(REMOVE_DUPLICATES files)
    set(sources)
    foreach(file IN LISTS files)
      string(REGEX REPLACE "^[^\t]*\t" "" source "${file}")
      list(APPEND sources ${source})
    endforeach()
    list(JOIN files "\n" text)
    set(listed ${CMAKE_BINARY_DIR}/stroke-packs/${id}.txt)
    file(GENERATE OUTPUT ${listed} CONTENT "${text}\n")
    set(pack ${PLUMETTO_APP_DIR}/images/${folder}/strokes.pack)
    add_custom_command(OUTPUT ${pack}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${PLUMETTO_APP_DIR}/images/${folder}
      COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
        $<TARGET_FILE:strokepack> --list ${listed} --output ${pack}
      DEPENDS strokepack ${listed} ${sources}
      COMMENT "Packing the stroke files of images/${folder}"
      VERBATIM)
    add_custom_target(plumetto_stroke_pack_${id} ALL DEPENDS ${pack})
    add_dependencies(plumetto_data plumetto_stroke_pack_${id})
    list(APPEND PLUMETTO_SHIPPED_FILES ${pack})
  endforeach()
  set(PLUMETTO_SHIPPED_FILES ${PLUMETTO_SHIPPED_FILES} PARENT_SCOPE)
endfunction()
_plumetto_add_stroke_packs()

# The catalogue of the characters the courses marked CATALOGUE ask for, each with its record
# as its course writes it; see README.md for its columns.
get_property(_plumetto_catalogue_arguments GLOBAL PROPERTY PLUMETTO_CATALOGUE_ARGUMENTS)
set(_plumetto_catalogue_tables)
foreach(_argument IN LISTS _plumetto_catalogue_arguments)
  if(_argument MATCHES "\\.tsv$")
    list(APPEND _plumetto_catalogue_tables ${_argument})
  endif()
endforeach()
set(_plumetto_catalogue ${PLUMETTO_APP_DIR}/exercices/catalogue.tsv)
add_custom_command(OUTPUT ${_plumetto_catalogue}
  COMMAND ${_plumetto_kanacourse} --catalogue ${_plumetto_catalogue}
    ${_plumetto_catalogue_arguments}
  DEPENDS kanacourse ${_plumetto_catalogue_tables}
  COMMENT "Writing the catalogue of the shipped characters"
  VERBATIM)
add_custom_target(plumetto_catalogue ALL DEPENDS ${_plumetto_catalogue})
add_dependencies(plumetto_data plumetto_catalogue)
list(APPEND PLUMETTO_SHIPPED_FILES ${_plumetto_catalogue})

if(PLUMETTO_BUILD_TESTS)
  add_subdirectory(${PROJECT_SOURCE_DIR}/tests/courses ${CMAKE_BINARY_DIR}/tests/courses)
endif()

include(${CMAKE_CURRENT_LIST_DIR}/sounds.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/packaging.cmake)
