# Kamishibai: the Windows build's further programs and files: the resources of the saver (the
# settings dialog), the Windows packer and the release zip.

# windres compiles the resource script into an object linked into the saver; it is run by hand
# rather than as CMake's RC language because the project's compile options are the C++ ones.
set(KAMISHIBAI_RESOURCES ${PROJECT_BINARY_DIR}/kamishibai_resources.o)
add_custom_command(
  OUTPUT ${KAMISHIBAI_RESOURCES}
  COMMAND ${CMAKE_RC_COMPILER} -I ${PROJECT_SOURCE_DIR} -O coff
          ${PROJECT_SOURCE_DIR}/platform/win32/settings_dialog.rc ${KAMISHIBAI_RESOURCES}
  DEPENDS platform/win32/settings_dialog.rc platform/win32/settings_dialog_ids.h
  COMMENT "Compiling the settings dialog's resources")
target_sources(kamishibai PRIVATE ${KAMISHIBAI_RESOURCES})

# Music and sounds go through the system's MCI and PlaySound.
target_link_libraries(kamishibai_lib PUBLIC winmm)
