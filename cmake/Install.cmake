# Kamishibai: what `cmake --install` puts where a Debian system keeps such files, and the Debian
# package that `cpack -G DEB` makes of it, with its dependencies worked out from the binaries.
install(TARGETS kamishibai kamishibai-pack RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(KAMISHIBAI_DEMO)
  # The demo saver carries its package after the player: it is copied, never stripped.
  install(PROGRAMS ${CMAKE_CURRENT_BINARY_DIR}/kamishibai.scr DESTINATION ${CMAKE_INSTALL_BINDIR})
  # How xscreensaver's settings describe the demo saver.
  install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/data/kamishibai.scr.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/xscreensaver/config)
endif()
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/README.md
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The Windows player, for Windows savers made here: the installed packer finds it in
# lib/kamishibai/ beside its own bin/.
if(KAMISHIBAI_WINDOWS_PLAYER)
  install(FILES ${KAMISHIBAI_WINDOWS_PLAYER} DESTINATION lib/kamishibai RENAME kamishibai.exe)
endif()
# The Studio's entry in the desktop's menus, with its icon.
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/data/kamishibai-studio.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/data/kamishibai-studio.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(CPACK_GENERATOR DEB)
# The package installs under the same prefix that the programs were built for.
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_PACKAGE_NAME kamishibai)
set(CPACK_PACKAGE_VENDOR Kamishibai)
set(CPACK_PACKAGE_CONTACT "Kamishibai developers <kamishibai@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "slide-show screen saver that carries its own slides")
# One string: separate strings would join into a list, whose ";" would start the lines.
set(CPACK_PACKAGE_DESCRIPTION
    "Kamishibai runs a slide show of pictures with animated transitions, music and sounds as \
a screen saver, on its own or inside xscreensaver. kamishibai-pack makes savers of your own \
pictures, for Linux and for Windows. The package holds the player, the Windows player, the \
packer, a demo saver and the manual pages.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded when the first sound needs it, so the binaries do not name it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libsdl2-mixer-2.0-0")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xscreensaver | xss-lock | xautolock")
set(CPACK_STRIP_FILES ON)
include(CPack)
