# The tool's place on a desktop: its menu entry and icon, AppStream metadata, the manual
# page and shell completion. The icon and the manual page are made by the tool itself
# after it is built, so they always show what this build draws and says.
set(QELV_DESKTOP_DIR ${CMAKE_SOURCE_DIR}/desktop)
set(QELV_METAINFO ${CMAKE_BINARY_DIR}/desktop/org.qelv.qelv.metainfo.xml)
configure_file(${QELV_DESKTOP_DIR}/org.qelv.qelv.metainfo.xml ${QELV_METAINFO} @ONLY)

add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/desktop/qelv.png
  COMMAND sh ${QELV_DESKTOP_DIR}/make-icon.sh $<TARGET_FILE:qelv> ${CMAKE_BINARY_DIR}/desktop/qelv.png
  DEPENDS qelv ${QELV_DESKTOP_DIR}/make-icon.sh
  COMMENT "Drawing the icon")
set(QELV_DESKTOP_OUTPUTS ${CMAKE_BINARY_DIR}/desktop/qelv.png)

find_program(HELP2MAN help2man)
if(HELP2MAN)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/desktop/qelv.1
    COMMAND sh ${QELV_DESKTOP_DIR}/make-man-page.sh $<TARGET_FILE:qelv> ${CMAKE_BINARY_DIR}/desktop/qelv.1
    DEPENDS qelv ${QELV_DESKTOP_DIR}/make-man-page.sh
    COMMENT "Making the manual page from the tool's help")
  list(APPEND QELV_DESKTOP_OUTPUTS ${CMAKE_BINARY_DIR}/desktop/qelv.1)
  install(FILES ${CMAKE_BINARY_DIR}/desktop/qelv.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  message(STATUS "help2man not found: no manual page (apt-get install help2man)")
endif()
add_custom_target(qelv_desktop ALL DEPENDS ${QELV_DESKTOP_OUTPUTS})

install(FILES ${QELV_DESKTOP_DIR}/qelv.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${QELV_METAINFO} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_BINARY_DIR}/desktop/qelv.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)
install(FILES ${QELV_DESKTOP_DIR}/qelv.bash-completion DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME qelv)
