# Kamishibai: one static library per source folder, each linked only to the layers it may use
# (README, "Source layout"). Every include path starts at the source root.

# kamishibai_layer(NAME FOLDER [DEPENDS LIB...] [EXCLUDE REGEX]): the library kamishibai_NAME of
# the .cpp files directly in FOLDER, linked publicly to the DEPENDS libraries.
function(kamishibai_layer name folder)
  cmake_parse_arguments(PARSE_ARGV 2 LAYER "" "EXCLUDE" "DEPENDS")
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.cpp)
  if(LAYER_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "${LAYER_EXCLUDE}")
  endif()
  add_library(kamishibai_${name} STATIC ${sources})
  target_include_directories(kamishibai_${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(kamishibai_${name} PUBLIC ${LAYER_DEPENDS})
endfunction()

# The layers below the entry points, the same on every system.
function(kamishibai_portable_layers)
  kamishibai_layer(base base)
  target_compile_definitions(kamishibai_base PUBLIC KAMISHIBAI_VERSION="${PROJECT_VERSION}")
  kamishibai_layer(raster raster DEPENDS kamishibai_base)
  kamishibai_layer(formats formats DEPENDS kamishibai_base)
  kamishibai_layer(platform platform DEPENDS kamishibai_base kamishibai_raster kamishibai_formats)
  kamishibai_layer(platform_headless platform/headless DEPENDS kamishibai_platform)
  kamishibai_layer(effects effects DEPENDS kamishibai_base kamishibai_raster kamishibai_platform)
  kamishibai_layer(show show DEPENDS kamishibai_effects kamishibai_formats kamishibai_platform)
  kamishibai_layer(startup startup DEPENDS kamishibai_show kamishibai_formats kamishibai_platform
                   EXCLUDE "/main_[a-z0-9]+\\.cpp$")
endfunction()

# kamishibai_link_backend(TARGET BACKEND): links the system's backend into a program. The layers
# above call the backend only through the platform's interface headers, so nothing in the link
# line names it as their dependency; it is linked whole, so that it is there for all of them.
function(kamishibai_link_backend target backend)
  target_link_libraries(${target} PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${backend}>")
endfunction()
