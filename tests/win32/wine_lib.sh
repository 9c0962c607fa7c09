# Kamishibai: helpers shared by the tests of the Windows build. They run the Windows programs
# under wine in a prefix of their own (KAMISHIBAI_WINEPREFIX when the test command prepared
# one, else a fresh one per test) on the X display in DISPLAY. wine's output always goes to
# files: the wineserver inherits a pipe and would hold it open.
set -euo pipefail

WIN_BUILD=${KAMISHIBAI_BUILD:?KAMISHIBAI_BUILD must name the Windows build folder}
SOURCE=${KAMISHIBAI_SOURCE:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64

WAIT_SECONDS=20
source "$SOURCE/tests/lib/shell.sh"

# Gives the test a folder of its own and a prefix, and ends its wine programs at the end.
win_setup() {
  WIN_DIR=$(mktemp -d /tmp/kamishibai-win.XXXXXX)
  trap win_cleanup EXIT
  if [ -n "${KAMISHIBAI_WINEPREFIX:-}" ]; then
    export WINEPREFIX=$KAMISHIBAI_WINEPREFIX
  else
    bash "$SOURCE/tests/win32/make_wine_prefix.sh" "$WIN_DIR/prefix"
    export WINEPREFIX=$WIN_DIR/prefix
  fi
  # Work folders that a failed earlier test in the same prefix left behind.
  find "$(windows_folder)" -maxdepth 1 -name 'temp[0-9]*' -exec rm -rf {} +
  win_display
}

win_cleanup() {
  wineserver --kill >/dev/null 2>&1 || true
  local pids
  pids=$(jobs -p)
  [ -n "$pids" ] && kill $pids 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$WIN_DIR"
}

# A private display when the test command has not provided one.
win_display() {
  start_private_display "$WIN_DIR"
}

# The prefix's Windows folder, where the saver makes its work folders.
windows_folder() {
  echo "$WINEPREFIX/drive_c/windows"
}

work_folders() {
  find "$(windows_folder)" -maxdepth 1 -name 'temp[0-9]*' -printf '%f\n' | sort
}

# wait_for_exit PID [SECONDS]: waits until the process has ended.
wait_for_exit() {
  local pid=$1 limit=${2:-20}
  for _ in $(seq $((limit * 10))); do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid" || true
      return 0
    fi
    sleep 0.1
  done
  return 1
}
