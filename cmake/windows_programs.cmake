# Kamishibai: the Windows build's further programs and files: the resources of the saver (the
# settings dialog), the Windows packer and the release zip.

# windres compiles the resource script into an object linked into the saver; it is run by hand
# rather than as CMake's RC language because the project's compile options are the C++ ones.
set(KAMISHIBAI_RESOURCES ${PROJECT_BINARY_DIR}/kamishibai_resources.o)
add_custom_command(
  OUTPUT ${KAMISHIBAI_RESOURCES}
  COMMAND ${CMAKE_RC_COMPILER} -I ${PROJECT_SOURCE_DIR} -O coff
          ${PROJECT_SOURCE_DIR}/platform/win32/settings_dialog_win32.rc ${KAMISHIBAI_RESOURCES}
  DEPENDS platform/win32/settings_dialog_win32.rc platform/win32/settings_dialog_win32.h
  COMMENT "Compiling the settings dialog's resources")
target_sources(kamishibai PRIVATE ${KAMISHIBAI_RESOURCES})

# The packer: the shared tools/ sources over the Windows services (pictures checked and PNG
# frames written through WIC, music and sounds checked by opening them through MCI). toml++ and
# CLI11 are header-only: their Debian headers are reached through a folder that holds only
# them, never the rest of the Linux system's headers.
set(KAMISHIBAI_HOST_HEADERS ${PROJECT_BINARY_DIR}/host-headers)
file(MAKE_DIRECTORY ${KAMISHIBAI_HOST_HEADERS})
foreach(library toml++ CLI)
  file(CREATE_LINK /usr/include/${library} ${KAMISHIBAI_HOST_HEADERS}/${library} SYMBOLIC)
endforeach()
kamishibai_layer(tools tools EXCLUDE "_main\\.cpp$|/demo_"
  DEPENDS kamishibai_effects kamishibai_formats kamishibai_platform kamishibai_platform_headless)
target_include_directories(kamishibai_tools SYSTEM PUBLIC ${KAMISHIBAI_HOST_HEADERS})
add_executable(kamishibai-pack tools/pack_main.cpp)
target_link_libraries(kamishibai-pack PRIVATE kamishibai_tools)
kamishibai_link_backend(kamishibai-pack kamishibai_platform_win32)
target_link_options(kamishibai-pack PRIVATE -static)

# The release: what a Windows user needs to run, configure and make savers, in one zip
# (`cmake --build build-win --target windows_release`). The demo saver needs the Linux build.
if(KAMISHIBAI_DEMO AND KAMISHIBAI_LINUX_BUILD)
  set(KAMISHIBAI_RELEASE_DIR ${PROJECT_BINARY_DIR}/release)
  set(KAMISHIBAI_RELEASE_ZIP ${PROJECT_BINARY_DIR}/kamishibai-windows-x64.zip)
  set(KAMISHIBAI_RELEASE_README ${PROJECT_SOURCE_DIR}/release/windows/README.txt)
  add_custom_command(
    OUTPUT ${KAMISHIBAI_RELEASE_ZIP}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${KAMISHIBAI_RELEASE_DIR} ${KAMISHIBAI_RELEASE_ZIP}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${KAMISHIBAI_RELEASE_DIR}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:kamishibai> $<TARGET_FILE:kamishibai-pack>
            ${PROJECT_BINARY_DIR}/kamishibai.scr ${KAMISHIBAI_RELEASE_README}
            ${KAMISHIBAI_RELEASE_DIR}
    COMMAND ${CMAKE_COMMAND} -E chdir ${KAMISHIBAI_RELEASE_DIR} ${CMAKE_COMMAND} -E tar cf
            ${KAMISHIBAI_RELEASE_ZIP} --format=zip
            kamishibai.scr kamishibai.exe kamishibai-pack.exe README.txt
    DEPENDS kamishibai kamishibai-pack ${PROJECT_BINARY_DIR}/kamishibai.scr
            ${KAMISHIBAI_RELEASE_README}
    COMMENT "Making the Windows release kamishibai-windows-x64.zip")
  add_custom_target(windows_release DEPENDS ${KAMISHIBAI_RELEASE_ZIP})
endif()
