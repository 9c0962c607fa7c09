# Kamishibai: the message catalogues. The program's texts are its Japanese originals; each
# po/LANGUAGE.po translates them. msgfmt compiles each (and checks it), and the compiled
# catalogues are built into the platform library, so that every program carries them.
find_program(MSGFMT msgfmt REQUIRED)
file(GLOB KAMISHIBAI_PO_FILES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/po/*.po)
set(KAMISHIBAI_CATALOGUES "")
set(KAMISHIBAI_MO_FILES "")
foreach(po ${KAMISHIBAI_PO_FILES})
  get_filename_component(language ${po} NAME_WE)
  set(mo ${PROJECT_BINARY_DIR}/catalogues/${language}.mo)
  add_custom_command(
    OUTPUT ${mo}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/catalogues
    COMMAND ${MSGFMT} --check -o ${mo} ${po}
    DEPENDS ${po}
    COMMENT "Compiling the ${language} messages")
  list(APPEND KAMISHIBAI_CATALOGUES "${language}=${mo}")
  list(APPEND KAMISHIBAI_MO_FILES ${mo})
endforeach()
set(KAMISHIBAI_CATALOGUE_SOURCE ${PROJECT_BINARY_DIR}/catalogues/built_in_catalogues.cpp)
add_custom_command(
  OUTPUT ${KAMISHIBAI_CATALOGUE_SOURCE}
  COMMAND ${CMAKE_COMMAND} -DOUTPUT=${KAMISHIBAI_CATALOGUE_SOURCE}
          "-DCATALOGUES=${KAMISHIBAI_CATALOGUES}" -P ${PROJECT_SOURCE_DIR}/cmake/EmbedCatalogues.cmake
  VERBATIM
  DEPENDS ${KAMISHIBAI_MO_FILES} ${PROJECT_SOURCE_DIR}/cmake/EmbedCatalogues.cmake
  COMMENT "Building the message catalogues into the programs")
target_sources(kamishibai_platform PRIVATE ${KAMISHIBAI_CATALOGUE_SOURCE})
