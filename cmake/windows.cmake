# Kamishibai: the Windows build: the layers over the Win32, GDI and WIC backend, the static bare
# player kamishibai.exe, the demo saver kamishibai.scr and the tests that run under wine.

include(cmake/Layers.cmake)
kamishibai_portable_layers()
include(cmake/Translations.cmake)
# UNICODE: every Win32 call takes UTF-16 text; the show's own texts are UTF-8 and converted.
kamishibai_layer(platform_win32 platform/win32 DEPENDS kamishibai_platform)
target_compile_definitions(kamishibai_platform_win32 PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN
                                                            NOMINMAX)
target_link_libraries(kamishibai_platform_win32 PRIVATE windowscodecs ole32 user32 gdi32 advapi32
                                                        shell32 winmm)

# One file that runs on any Windows: no C or C++ runtime DLL beside it.
add_executable(kamishibai WIN32 startup/main_win32.cpp)
target_link_libraries(kamishibai PRIVATE kamishibai_startup)
kamishibai_link_backend(kamishibai kamishibai_platform_win32)
target_link_options(kamishibai PRIVATE -mwindows -static)

include(cmake/windows_programs.cmake)

# The demo saver is packed by the Linux packer of a Linux build (KAMISHIBAI_LINUX_BUILD, which
# holds kamishibai-pack and the generated demo/demo.toml): one package for both systems.
set(KAMISHIBAI_LINUX_BUILD "" CACHE PATH "A Linux build folder with kamishibai-pack and demo/")
if(KAMISHIBAI_DEMO AND KAMISHIBAI_LINUX_BUILD)
  add_custom_command(
    OUTPUT ${PROJECT_BINARY_DIR}/kamishibai.scr
    COMMAND ${KAMISHIBAI_LINUX_BUILD}/kamishibai-pack build ${KAMISHIBAI_LINUX_BUILD}/demo/demo.toml
            -o ${PROJECT_BINARY_DIR}/kamishibai.scr --player $<TARGET_FILE:kamishibai>
    DEPENDS kamishibai ${KAMISHIBAI_LINUX_BUILD}/kamishibai-pack
    COMMENT "Packing the Windows demo saver kamishibai.scr with the Linux packer")
  add_custom_target(demo_saver ALL DEPENDS ${PROJECT_BINARY_DIR}/kamishibai.scr)
elseif(KAMISHIBAI_DEMO)
  message(STATUS "Kamishibai: no KAMISHIBAI_LINUX_BUILD given, so no Windows demo saver")
endif()

if(KAMISHIBAI_TESTS)
  enable_testing()
  add_subdirectory(tests)
endif()

message(STATUS "Kamishibai: Windows, build type ${CMAKE_BUILD_TYPE}, tests ${KAMISHIBAI_TESTS}, "
               "Linux build ${KAMISHIBAI_LINUX_BUILD}")
