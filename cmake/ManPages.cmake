# Kamishibai: the manual pages, written in POD (man/*.pod), turned into roff by pod2man and
# compressed as Debian ships them.
find_program(POD2MAN pod2man REQUIRED)
find_program(GZIP gzip REQUIRED)
file(GLOB KAMISHIBAI_POD_FILES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/man/*.pod)
set(KAMISHIBAI_MAN_PAGES "")
foreach(pod ${KAMISHIBAI_POD_FILES})
  get_filename_component(name ${pod} NAME_WE)
  set(page ${CMAKE_CURRENT_BINARY_DIR}/man/${name}.1)
  add_custom_command(
    OUTPUT ${page} ${page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/man
    COMMAND ${POD2MAN} --utf8 --section=1 --center=Kamishibai --release=${PROJECT_VERSION}
            --name=${name} --date=2026-12-07 ${pod} ${page}
    COMMAND ${GZIP} -9 -n -f -k ${page}
    DEPENDS ${pod}
    COMMENT "Writing the manual page ${name}(1)")
  list(APPEND KAMISHIBAI_MAN_PAGES ${page}.gz)
  install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
add_custom_target(man_pages ALL DEPENDS ${KAMISHIBAI_MAN_PAGES})
