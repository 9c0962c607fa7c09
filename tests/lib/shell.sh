# Kamishibai: the basics of the shell tests and benchmarks (sourced): failing, waiting for a
# condition or a process, a private folder and home removed at the end, and packing a saver. The
# waits poll every 0.1 s for at most SECONDS, WAIT_SECONDS unless given.

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# wait_until SECONDS COMMAND...: true as soon as the command is, false once SECONDS have passed.
wait_until() {
  local limit=$1
  shift
  for _ in $(seq $((limit * 10))); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

# process_ended PID: true when the process no longer runs.
process_ended() {
  ! kill -0 "$1" 2>/dev/null
}

# wait_for_status PID [SECONDS]: waits until the process has ended and returns its exit status;
# fails the test when it still runs after SECONDS.
wait_for_status() {
  local limit=${2:-$WAIT_SECONDS}
  wait_until "$limit" process_ended "$1" || fail "process $1 still running after ${limit}s"
  wait "$1"
}

# wait_for_end PID [SECONDS]: true once the process has ended, whatever its status; false when it
# still runs after SECONDS.
wait_for_end() {
  wait_until "${2:-$WAIT_SECONDS}" process_ended "$1" || return 1
  wait "$1" || true
}

# private_folder PATH: makes the folder PATH.XXXXXX, named in PRIVATE_DIR, for the script's own
# files. When the script ends, the background jobs still running are ended and the folder is
# removed, with every other path added to CLEANUP_PATHS.
CLEANUP_PATHS=()
private_folder() {
  PRIVATE_DIR=$(mktemp -d "$1.XXXXXX")
  CLEANUP_PATHS+=("$PRIVATE_DIR")
  trap end_private EXIT
}

# end_private: the clean-up of private_folder, for a script that sets an exit trap of its own.
end_private() {
  local pids
  pids=$(jobs -p)
  [ -n "$pids" ] && kill $pids 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "${CLEANUP_PATHS[@]}"
}

# private_home: an empty home, runtime, configuration and cache folder of the user's in PRIVATE_DIR.
private_home() {
  export HOME=$PRIVATE_DIR/home XDG_RUNTIME_DIR=$PRIVATE_DIR/run XDG_CONFIG_HOME=$PRIVATE_DIR/config \
    XDG_CACHE_HOME=$PRIVATE_DIR/cache
  mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME"
  chmod 700 "$XDG_RUNTIME_DIR"
}

# hex_of FILE: the file's bytes as lower-case hex without separators.
hex_of() {
  od -An -v -tx1 "$1" | tr -d ' \n'
}

# pack_saver MANIFEST OUT PLAYER: packs the show into the saver OUT after the player, with the
# Linux packer PACK; its output goes to MANIFEST.log.
pack_saver() {
  "$PACK" build "$1" -o "$2" --player "$3" >"$1.log" 2>&1 ||
    fail "the packer did not make $2: $(cat "$1.log")"
}
