# Kamishibai: helpers shared by the tests of the Windows build. They run the Windows programs
# under wine in a prefix of their own (KAMISHIBAI_WINEPREFIX when the test command prepared
# one, else a fresh one per test) on the X display in DISPLAY. wine's output always goes to
# files: the wineserver inherits a pipe and would hold it open.
set -euo pipefail

WIN_BUILD=${KAMISHIBAI_BUILD:?KAMISHIBAI_BUILD must name the Windows build folder}
SOURCE=${KAMISHIBAI_SOURCE:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64

WAIT_SECONDS=30
source "$SOURCE/tests/lib/shell.sh"
source "$SOURCE/tests/lib/x11.sh"

# win_setup: gives the test a folder of its own and a prefix, and ends its wine programs at the end.
win_setup() {
  private_folder /tmp/kamishibai-win
  WIN_DIR=$PRIVATE_DIR
  trap win_cleanup EXIT
  if [ -n "${KAMISHIBAI_WINEPREFIX:-}" ]; then
    export WINEPREFIX=$KAMISHIBAI_WINEPREFIX
  else
    bash "$SOURCE/tests/win32/make_wine_prefix.sh" "$WIN_DIR/prefix"
    export WINEPREFIX=$WIN_DIR/prefix
  fi
  # A Japanese user interface, as the saver's originals are; the code page stays the one the
  # tests' paths were written for. A test that wants another language ends the wineserver
  # first (with_ui_language), since it keeps the language of the first program.
  unset LC_ALL LANGUAGE
  export LOCPATH=$WINEPREFIX.locales
  with_ui_language ja_JP.UTF-8
  # Work folders that a failed earlier test in the same prefix left behind.
  find "$(windows_folder)" -maxdepth 1 -name 'temp[0-9]*' -exec rm -rf {} +
  start_private_display
}

win_cleanup() {
  wineserver --kill >/dev/null 2>&1 || true
  end_private
}

# with_ui_language LOCALE: the wine programs from now on run under that interface language.
# The shell itself has no such locale (LOCPATH is the programs'), which it would warn about.
with_ui_language() {
  wineserver --kill >/dev/null 2>&1 || true
  wineserver --wait >/dev/null 2>&1 || true
  export LC_MESSAGES=$1 2>/dev/null
}

# wine_logged ARGUMENT...: wine with its output added to $WIN_DIR/wine.log.
wine_logged() {
  wine "$@" >>"$WIN_DIR/wine.log" 2>&1
}

# The prefix's Windows folder, where the saver makes its work folders.
windows_folder() {
  echo "$WINEPREFIX/drive_c/windows"
}

work_folders() {
  find "$(windows_folder)" -maxdepth 1 -name 'temp[0-9]*' -printf '%f\n' | sort
}

# A path of this machine as the Windows programs under wine see it.
windows_path() {
  local path=$1
  echo "Z:${path//\//\\}"
}
