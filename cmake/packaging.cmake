# Installing: the program and the data it looks up beside itself stay together in
# lib/plumetto, with bin/plumetto a link to it; then the desktop entry, the AppStream
# metainfo, the icon and the licences. `cpack -G DEB` makes a Debian package of the same.

set(PLUMETTO_INSTALL_DIR lib/plumetto)
set(PLUMETTO_APP_ID org.example.plumetto)

if(TARGET plumetto)
  install(TARGETS plumetto RUNTIME DESTINATION ${PLUMETTO_INSTALL_DIR})
endif()

install(FILES ${PROJECT_SOURCE_DIR}/images/vide.jpg DESTINATION ${PLUMETTO_INSTALL_DIR}/images)
foreach(_course IN LISTS PLUMETTO_COURSES)
  string(REPLACE "|" ";" _course "${_course}")
  list(GET _course 0 _name)
  list(GET _course 1 _folder)
  install(FILES ${PLUMETTO_APP_DIR}/exercices/${_name}.txt
    DESTINATION ${PLUMETTO_INSTALL_DIR}/exercices)
  list(APPEND _plumetto_picture_folders ${PLUMETTO_APP_DIR}/images/${_folder})
endforeach()
install(FILES ${PLUMETTO_APP_DIR}/exercices/${PLUMETTO_ALL_KANA_COURSE}.txt
  DESTINATION ${PLUMETTO_INSTALL_DIR}/exercices)
list(REMOVE_DUPLICATES _plumetto_picture_folders)
install(DIRECTORY ${_plumetto_picture_folders} DESTINATION ${PLUMETTO_INSTALL_DIR}/images
  FILES_MATCHING PATTERN "*.png")

# A relative link, so that the tree works under any prefix and inside a package.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/packaging/bin)
file(CREATE_LINK ../${PLUMETTO_INSTALL_DIR}/plumetto ${CMAKE_BINARY_DIR}/packaging/bin/plumetto
  SYMBOLIC)
install(FILES ${CMAKE_BINARY_DIR}/packaging/bin/plumetto DESTINATION bin)

install(FILES ${PROJECT_SOURCE_DIR}/packaging/${PLUMETTO_APP_ID}.desktop
  DESTINATION share/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/${PLUMETTO_APP_ID}.metainfo.xml
  DESTINATION share/metainfo)
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

set(CPACK_PACKAGE_NAME plumetto)
set(CPACK_PACKAGE_VENDOR "The Plumetto developers")
set(CPACK_PACKAGE_CONTACT "The Plumetto developers <plumetto@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "practise handwriting the Japanese kana")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Plumetto poses the sound of a kana, the learner draws it with the mouse, compares the "
  "drawing with a solution picture whose strokes are numbered in writing order, and judges it. "
  "It comes with hiragana and katakana courses. Its texts are in French.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE http://plumetto.example.org/plumetto/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_GENERATOR DEB)
include(CPack)
