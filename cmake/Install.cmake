# What `cmake --install` puts where. Every path is relative to the prefix
# (GNUInstallDirs), and the game finds its data folder relative to its own
# program file, so an install works under any prefix and can be moved.

set(pelvanta_built_files $<TARGET_FILE:pelvanta-engine>)
set(pelvanta_destinations ${CMAKE_INSTALL_BINDIR})
set(pelvanta_desktop FALSE)
if(TARGET pelvanta AND TARGET pelvanta-archive)
  set(pelvanta_desktop TRUE)
  list(APPEND pelvanta_built_files
    $<TARGET_FILE:pelvanta>
    $<TARGET_FILE:pelvanta-archive>
    ${PELVANTA_GALLERY_STAMP}
    ${PELVANTA_ICONS_STAMP})
  list(APPEND pelvanta_destinations
    ${PELVANTA_INSTALL_GAMEDIR}
    ${PELVANTA_INSTALL_DATADIR}
    ${CMAKE_INSTALL_DATADIR}/applications
    ${CMAKE_INSTALL_DATADIR}/metainfo
    ${CMAKE_INSTALL_DATADIR}/icons
    ${CMAKE_INSTALL_MANDIR})
endif()

# First of all: a build that is not complete, or a place that cannot be
# written, stops the install before it writes anything.
# The check is pasted in, not included, so CMake reports a refusal without a
# call stack.
file(READ ${CMAKE_CURRENT_LIST_DIR}/InstallPrecheck.cmake pelvanta_precheck)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${CMAKE_CURRENT_LIST_DIR}/InstallPrecheck.cmake)
install(CODE "
  set(pelvanta_built_files \"${pelvanta_built_files}\")
  set(pelvanta_destinations \"${pelvanta_destinations}\")
")
install(CODE "${pelvanta_precheck}")

install(TARGETS pelvanta-engine RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES docs/man/pelvanta-engine.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
if(NOT pelvanta_desktop)
  return()
endif()

install(TARGETS pelvanta RUNTIME DESTINATION ${PELVANTA_INSTALL_GAMEDIR})
install(TARGETS pelvanta-archive RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PELVANTA_GALLERY_DIR}/ DESTINATION ${PELVANTA_INSTALL_DATADIR}
        FILES_MATCHING PATTERN "30[0-4][0-9].p_g")
install(FILES resources/Rules.htm DESTINATION ${PELVANTA_INSTALL_DATADIR})
install(DIRECTORY ${PELVANTA_ICONS_DIR}/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
install(FILES resources/org.example.pelvanta.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES resources/org.example.pelvanta.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES docs/man/pelvanta.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES docs/man/pelvanta-archive.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
