# Kamishibai: helpers shared by the end-to-end tests. Each test sources this file; it runs the
# real executables on the X display in DISPLAY (the test command starts Xvfb) with a home,
# runtime and config folder of its own.
set -euo pipefail

BUILD=${KAMISHIBAI_BUILD:?KAMISHIBAI_BUILD must name the build folder}
SOURCE=${KAMISHIBAI_SOURCE:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Gives the test its own folders and removes them (and any process it started) at the end.
e2e_setup() {
  E2E_DIR=$(mktemp -d /tmp/kamishibai-e2e.XXXXXX)
  export HOME=$E2E_DIR/home XDG_RUNTIME_DIR=$E2E_DIR/run XDG_CONFIG_HOME=$E2E_DIR/config
  export XDG_CACHE_HOME=$E2E_DIR/cache
  mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME"
  chmod 700 "$XDG_RUNTIME_DIR"
  trap e2e_cleanup EXIT
}

e2e_cleanup() {
  local pids
  pids=$(jobs -p)
  [ -n "$pids" ] && kill $pids 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$E2E_DIR"
}

# wait_for_window TITLE [SECONDS]: prints the id of the first visible window with that title.
wait_for_window() {
  local title=$1 limit=${2:-10} id
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

# wait_for_exit PID [SECONDS]: waits until the process has ended; returns its status.
wait_for_exit() {
  local pid=$1 limit=${2:-10}
  for _ in $(seq $((limit * 10))); do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid"
      return $?
    fi
    sleep 0.1
  done
  fail "process $pid still running after ${limit}s"
}

# screenshot FILE: the whole screen as PNG.
screenshot() {
  import -window root "$1"
}

# pixel_at FILE X Y: the pixel's colour as "R,G,B".
pixel_at() {
  convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:
}
