# Kamishibai: the stand-ins of the tests of the Windows settings, password-change, music and
# packer services (included by windows_tests.cmake).

# The stand-in for "mpr.dll": PwdChangePasswordA writes its arguments to the file named by
# KAMISHIBAI_MPR_CALLS.
add_library(mpr_standin SHARED win32/mpr_standin.cpp)
set_target_properties(mpr_standin PROPERTIES PREFIX "" OUTPUT_NAME mpr)
target_link_options(mpr_standin PRIVATE -static)

# Writes the texts, places, tab order, selection and focus of a dialog another program shows.
add_executable(dialog_reader win32/dialog_reader.cpp)
target_link_options(dialog_reader PRIVATE -municode -static)
