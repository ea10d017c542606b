# A Debian package of the installed game (cpack -G DEB in a build configured
# with CMAKE_INSTALL_PREFIX=/usr; scripts/package does it all). Its
# dependencies are read off the libraries the program and its modules link
# (dpkg-shlibdeps), plus what is only loaded at run time.
include(GNUInstallDirs)
set(doc ${CMAKE_INSTALL_DATADIR}/doc/wordmire)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright DESTINATION ${doc})
# Debian wants the changelog and the manual page compressed, reproducibly.
# The changelog names the project's version.
configure_file(${CMAKE_SOURCE_DIR}/packaging/changelog.in ${CMAKE_BINARY_DIR}/packaging/changelog @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/packaging/wordmire.6 ${CMAKE_BINARY_DIR}/packaging/wordmire.6 COPYONLY)
foreach(pair "changelog;${doc}" "wordmire.6;${CMAKE_INSTALL_MANDIR}/man6")
  list(GET pair 0 name)
  list(GET pair 1 dest)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/packaging/${name}.gz
    COMMAND gzip -9n -c ${CMAKE_BINARY_DIR}/packaging/${name} > ${CMAKE_BINARY_DIR}/packaging/${name}.gz
    DEPENDS ${CMAKE_BINARY_DIR}/packaging/${name} VERBATIM)
  list(APPEND packaging_docs ${CMAKE_BINARY_DIR}/packaging/${name}.gz)
  install(FILES ${CMAKE_BINARY_DIR}/packaging/${name}.gz DESTINATION ${dest})
endforeach()
add_custom_target(wordmire-docs ALL DEPENDS ${packaging_docs})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME wordmire)
set(CPACK_PACKAGE_VENDOR "The Word Mire developers")
set(CPACK_PACKAGE_CONTACT "The Word Mire developers <wordmire@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "word game on a board of letter tiles")
set(CPACK_PACKAGE_DESCRIPTION "One to four players, with optional teams, trace words of up to seven\n\
touching tiles on a seven by seven board of letter tiles, scored from the\n\
letter values and the bonus squares under them; then the tiles slide and\n\
the gaps fill. Klot, the computer opponent, takes any empty seat. Games\n\
are played on one computer, on the local network or over the internet.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window is laid out for Arial's metrics; tile sets of the player's own
# may come in formats only the image plugins read.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, qt6-image-formats-plugins")
# Qt's own translations give the standard buttons the player's language.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
include(CPack)
