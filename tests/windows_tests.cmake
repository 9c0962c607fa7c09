# Kamishibai: the tests of the Windows build: the portable unit tests and the Windows-only ones
# as one Windows program, and the end-to-end tests of the Windows saver, all run under wine.

# GoogleTest from Debian's sources (libgtest-dev), built by the cross compiler.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_CURRENT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
foreach(target gtest gtest_main gmock gmock_main)
  target_compile_options(${target} PRIVATE -Wno-error)
endforeach()

# The tests of every portable folder and those of the Windows backend, as one program. The Linux
# backend's tests and the tools' (which make their pictures with the Linux canvas) stay out.
set(UNIT_TEST_SOURCES "")
foreach(folder base raster formats effects show startup platform platform/win32)
  file(GLOB sources CONFIGURE_DEPENDS unit/${folder}/*.cpp)
  list(APPEND UNIT_TEST_SOURCES ${sources})
endforeach()
add_executable(unit_tests ${UNIT_TEST_SOURCES})
target_link_libraries(unit_tests PRIVATE kamishibai_startup kamishibai_platform_headless gtest gmock
                                         gtest_main)
kamishibai_link_backend(unit_tests kamishibai_platform_win32)
target_link_options(unit_tests PRIVATE -static)

# The stand-in for the system's password module: VerifyScreenSavePwd answers what the file
# named by KAMISHIBAI_PASSWORD_ANSWER says, and counts its calls in KAMISHIBAI_PASSWORD_CALLS.
add_library(password_standin SHARED win32/password_standin.cpp)
set_target_properties(password_standin PROPERTIES PREFIX "" OUTPUT_NAME password SUFFIX ".cpl")
target_link_options(password_standin PRIVATE -static)
# The unit tests load it from beside themselves.
add_dependencies(unit_tests password_standin)

# Reads and closes the message box a saver shows.
add_executable(message_box_reader win32/message_box_reader.cpp)
target_link_options(message_box_reader PRIVATE -municode -static)

# Sends the show's window the messages that other programs and the system may send it.
add_executable(show_messenger win32/show_messenger.cpp)
target_link_options(show_messenger PRIVATE -municode -static)

include(win32/services.cmake)

# wine runs the Windows programs; KAMISHIBAI_WINEPREFIX is a prefix prepared by the test command.
add_test(NAME win.unit_tests COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/win32/run_unit_tests.sh)
file(GLOB WIN_E2E_SCRIPTS CONFIGURE_DEPENDS win32/test_*.sh)
foreach(script ${WIN_E2E_SCRIPTS})
  get_filename_component(name ${script} NAME_WE)
  add_test(NAME win.${name} COMMAND bash ${script})
endforeach()
get_property(WIN_TESTS DIRECTORY PROPERTY TESTS)
set_tests_properties(${WIN_TESTS} PROPERTIES LABELS windows TIMEOUT 240 RUN_SERIAL TRUE
  ENVIRONMENT "KAMISHIBAI_BUILD=${CMAKE_BINARY_DIR};KAMISHIBAI_SOURCE=${CMAKE_SOURCE_DIR};KAMISHIBAI_LINUX_BUILD=${KAMISHIBAI_LINUX_BUILD}")
