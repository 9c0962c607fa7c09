# Kamishibai: the message catalogues. The program's texts are its Japanese originals; each
# po/LANG.po translates them, compiled into locale/LANG/LC_MESSAGES/kamishibai.mo beside the
# executables (where the programs look first) and installed under the locale folder.
find_program(MSGFMT msgfmt REQUIRED)
file(GLOB KAMISHIBAI_PO_FILES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/po/*.po)
set(KAMISHIBAI_CATALOGUES "")
foreach(po ${KAMISHIBAI_PO_FILES})
  get_filename_component(language ${po} NAME_WE)
  set(mo ${CMAKE_CURRENT_BINARY_DIR}/locale/${language}/LC_MESSAGES/kamishibai.mo)
  add_custom_command(
    OUTPUT ${mo}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/locale/${language}/LC_MESSAGES
    COMMAND ${MSGFMT} --check -o ${mo} ${po}
    DEPENDS ${po}
    COMMENT "Compiling the ${language} messages")
  list(APPEND KAMISHIBAI_CATALOGUES ${mo})
  install(FILES ${mo} DESTINATION ${CMAKE_INSTALL_LOCALEDIR}/${language}/LC_MESSAGES)
endforeach()
add_custom_target(translations ALL DEPENDS ${KAMISHIBAI_CATALOGUES})
