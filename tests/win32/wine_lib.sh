# Kamishibai: helpers shared by the tests of the Windows build. They run the Windows programs
# under wine in a prefix of their own (KAMISHIBAI_WINEPREFIX when the test command prepared
# one, else a fresh one per test) on the X display in DISPLAY. wine's output always goes to
# files: the wineserver inherits a pipe and would hold it open.
set -euo pipefail

WIN_BUILD=${KAMISHIBAI_BUILD:?KAMISHIBAI_BUILD must name the Windows build folder}
SOURCE=${KAMISHIBAI_SOURCE:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

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

# Starts a private Xvfb when the test command has not provided a display.
win_display() {
  [ -n "${DISPLAY:-}" ] && return 0
  local fifo=$WIN_DIR/display
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
  read -r number <"$fifo"
  export DISPLAY=:$number
}

# The prefix's Windows folder, where the saver makes its work folders.
windows_folder() {
  echo "$WINEPREFIX/drive_c/windows"
}

work_folders() {
  find "$(windows_folder)" -maxdepth 1 -name 'temp[0-9]*' -printf '%f\n' | sort
}

# wait_for_window TITLE [SECONDS]: prints the id of the first visible window with that title.
wait_for_window() {
  local title=$1 limit=${2:-20} id
  for _ in $(seq $((limit * 10))); do
    id=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -n 1 || true)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.1
  done
  return 1
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

# wait_for FILE [SECONDS]: waits until the file exists.
wait_for() {
  local file=$1 limit=${2:-20}
  for _ in $(seq $((limit * 10))); do
    [ -e "$file" ] && return 0
    sleep 0.1
  done
  return 1
}
