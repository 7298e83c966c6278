# Installation and the Debian package: the programs, the help document, and what a Linux
# desktop needs to list Markwell, show its icon and open ".mw" grade books with it.
# Included from the top-level CMakeLists.txt after src/, so the program targets exist.

set(MARKWELL_APP_ID io.github.markwell.Markwell)
set(_pkg_dir ${CMAKE_CURRENT_LIST_DIR})
set(_res_dir ${PROJECT_SOURCE_DIR}/resources)

# The programs, markwell and markwell-cli, are installed where they are built (src/).
if(TARGET markwell)
  # The help viewer looks next to the program first, then in ../share/markwell: the build
  # folder gets a copy beside the program, an installation gets it in the data folder.
  set(_help ${_res_dir}/help/markwell.html)
  if(EXISTS ${_help})
    install(FILES ${_help} DESTINATION ${CMAKE_INSTALL_DATADIR}/markwell)
    add_custom_target(markwell_help_copy
      COMMAND ${CMAKE_COMMAND} -E copy_if_different ${_help} $<TARGET_FILE_DIR:markwell>/markwell.html
      DEPENDS ${_help}
      COMMENT "Copying the help document beside the program")
    add_dependencies(markwell markwell_help_copy)
  else()
    message(WARNING "resources/help/markwell.html is missing: the help document is not installed")
  endif()

  if(EXISTS ${_res_dir}/icon.svg)
    install(FILES ${_res_dir}/icon.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
            RENAME ${MARKWELL_APP_ID}.svg)
  else()
    message(WARNING "resources/icon.svg is missing: the desktop icon is not installed")
  endif()

  install(FILES ${_pkg_dir}/${MARKWELL_APP_ID}.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${_pkg_dir}/${MARKWELL_APP_ID}.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
  install(FILES ${_pkg_dir}/${MARKWELL_APP_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

# cpack -G DEB: a package for Debian 12 whose library dependencies dpkg-shlibdeps works out.
# The desktop database, the MIME database and the icon cache are refreshed by the triggers of
# desktop-file-utils, shared-mime-info and hicolor-icon-theme, so no maintainer scripts.
set(CPACK_PACKAGE_NAME markwell)
set(CPACK_PACKAGE_VENDOR "The Markwell Developers")
set(CPACK_PACKAGE_CONTACT "The Markwell Developers <markwell@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "grade book that follows your grade point average")
set(CPACK_PACKAGE_DESCRIPTION
    "Markwell keeps a student's grade book: semesters, classes with credits, letter grades\n\
and groups, and grading methods. It shows the GPA of the current semester and the overall\n\
GPA at every change, counting the marked semesters and the chosen groups, and works out the\n\
GPA needed over the remaining classes to reach a goal. It also installs markwell-cli, the\n\
grade book from the command line.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://markwell.example.org/")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libzip is opened when the first workbook is read, so dpkg-shlibdeps cannot see it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libzip4")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "shared-mime-info, desktop-file-utils, hicolor-icon-theme")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "qt6-wayland")
# The source archive (cpack --config CPackSourceConfig.cmake) leaves out builds and history.
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\.git/" "/build[^/]*/" "/out/" "/\\.cache/" "/fuzz/artifacts/")
include(CPack)
