# Installing: the program and the data it looks up beside itself stay together in
# lib/plumetto, with bin/plumetto a link to it; then the desktop entry, the AppStream
# metainfo, the icon and the licences. `cpack -G DEB` makes a Debian package of the same.

set(PLUMETTO_INSTALL_DIR lib/plumetto)
set(PLUMETTO_APP_ID org.example.plumetto)

if(TARGET plumetto)
  install(TARGETS plumetto RUNTIME DESTINATION ${PLUMETTO_INSTALL_DIR})
  # Found beside the program when the statistics are first shown.
  install(TARGETS plumetto_charts LIBRARY DESTINATION ${PLUMETTO_INSTALL_DIR})
endif()

# The data beside the program: exactly the files in PLUMETTO_SHIPPED_FILES, each in its place
# relative to ${PLUMETTO_APP_DIR}. The rules are made once the top folder has been read, so
# that every cmake file has appended its own; the list is written to shipped-files.txt, which
# scripts/check-package.sh compares with the package.
function(_plumetto_install_shipped_files)
  set(files ${PLUMETTO_SHIPPED_FILES})
  list(REMOVE_DUPLICATES files)
  set(folders)
  set(listed)
  foreach(file IN LISTS files)
    cmake_path(IS_PREFIX PLUMETTO_APP_DIR "${file}" NORMALIZE inside)
    if(NOT inside)
      message(FATAL_ERROR "PLUMETTO_SHIPPED_FILES: ${file} is not in ${PLUMETTO_APP_DIR}")
    endif()
    cmake_path(RELATIVE_PATH file BASE_DIRECTORY ${PLUMETTO_APP_DIR} OUTPUT_VARIABLE relative)
    cmake_path(GET relative PARENT_PATH folder)
    string(MAKE_C_IDENTIFIER "_in_${folder}" key)
    list(APPEND folders "${folder}")
    list(APPEND ${key} ${file})
    list(APPEND listed ${relative})
  endforeach()
  list(REMOVE_DUPLICATES folders)
  foreach(folder IN LISTS folders)
    string(MAKE_C_IDENTIFIER "_in_${folder}" key)
    install(FILES ${${key}} DESTINATION ${PLUMETTO_INSTALL_DIR}/${folder})
  endforeach()
  list(SORT listed)
  list(JOIN listed "\n" listed)
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/shipped-files.txt CONTENT "${listed}\n")
endfunction()
cmake_language(DEFER CALL _plumetto_install_shipped_files)

# A relative link, so that the tree works under any prefix and inside a package.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/packaging/bin)
file(CREATE_LINK ../${PLUMETTO_INSTALL_DIR}/plumetto ${CMAKE_BINARY_DIR}/packaging/bin/plumetto
  SYMBOLIC)
install(FILES ${CMAKE_BINARY_DIR}/packaging/bin/plumetto DESTINATION bin)

install(FILES ${PROJECT_SOURCE_DIR}/packaging/${PLUMETTO_APP_ID}.desktop
  DESTINATION share/applications)
# The newest release the AppStream file lists is the version being built.
set(_plumetto_metainfo ${PROJECT_SOURCE_DIR}/packaging/${PLUMETTO_APP_ID}.metainfo.xml)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_plumetto_metainfo})
file(READ ${_plumetto_metainfo} _plumetto_metainfo_text)
string(REGEX MATCH "<release version=\"([^\"]*)\"" _plumetto_release "${_plumetto_metainfo_text}")
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "${_plumetto_metainfo}: its first <release> is \"${CMAKE_MATCH_1}\", "
    "the project's version ${PROJECT_VERSION}: add a <release> entry for this version")
endif()
install(FILES ${_plumetto_metainfo} DESTINATION share/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/icons/plumetto-32.png
  DESTINATION share/icons/hicolor/32x32/apps RENAME ${PLUMETTO_APP_ID}.png)
install(FILES ${PROJECT_SOURCE_DIR}/icons/plumetto.svg
  DESTINATION share/icons/hicolor/scalable/apps RENAME ${PLUMETTO_APP_ID}.svg)

# Debian looks for the licences in share/doc/<package>/copyright.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE _plumetto_license)
file(READ ${PROJECT_SOURCE_DIR}/NOTICES _plumetto_notices)
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/packaging/copyright
  CONTENT "${_plumetto_license}\n\n${_plumetto_notices}" @ONLY)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/NOTICES
  ${CMAKE_BINARY_DIR}/packaging/copyright DESTINATION share/doc/plumetto)
# KanjiVG's licence and README, for the stroke files.
install(FILES ${PROJECT_SOURCE_DIR}/data/kanjivg/COPYING
  ${PROJECT_SOURCE_DIR}/data/kanjivg/README.md DESTINATION share/doc/plumetto/kanjivg)

set(CPACK_PACKAGE_NAME plumetto)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Plumetto developers")
set(CPACK_PACKAGE_CONTACT "The Plumetto developers <plumetto@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "practise handwriting the Japanese kana and kanji")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Plumetto poses the sound of a kana or the meaning of a kanji, the learner draws it with the "
  "mouse, compares the drawing with a solution picture whose strokes are numbered in writing "
  "order, and judges it; the program checks the strokes too. It comes with hiragana and "
  "katakana courses and the 2136 jouyou kanji. Its texts are in French.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE http://plumetto.example.org/plumetto/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded when first needed rather than linked, so the dependency scan cannot see them: the
# SQLite driver of the history, the sound library, and a font for the readings in kana.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libcanberra0, fonts-ipafont-gothic | fonts-noto-cjk")
set(CPACK_GENERATOR DEB)
include(CPack)
