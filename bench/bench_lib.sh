# Kamishibai: what the live benchmarks share (sourced): a private environment for the saver, a
# virtual display of their own, generated pictures and savers, and cleanup on exit.
set -euo pipefail

BUILD=$(cd "${KAMISHIBAI_BUILD:-build}" && pwd)
WORK=$(mktemp -d /tmp/kamishibai-bench.XXXXXX)
export HOME=$WORK/home XDG_RUNTIME_DIR=$WORK/run XDG_CONFIG_HOME=$WORK/config XDG_CACHE_HOME=$WORK/cache
export SDL_AUDIODRIVER=dummy
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME"
chmod 700 "$XDG_RUNTIME_DIR"
pids=()
cleanup_paths=("$WORK")
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "${cleanup_paths[@]}"
}
trap cleanup EXIT

# "${FAVOURED[@]}" COMMAND...: runs the command ahead of other work on the machine where it may
# (as root), so that compilers running beside a measurement do not pass for the show's own
# delays. nice executes the command in its own process, so $! is the command's process.
FAVOURED=()
[ "$(id -u)" = 0 ] && FAVOURED=(nice -n -19)

# start_display WIDTHxHEIGHT: a virtual display of that size, whatever DISPLAY said.
start_display() {
  mkfifo "$WORK/display"
  "${FAVOURED[@]}" Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp 3>"$WORK/display" >/dev/null 2>&1 &
  pids+=($!)
  local number
  read -r number <"$WORK/display"
  export DISPLAY=:$number
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.1; done
  echo "the virtual display $DISPLAY does not answer" >&2
  return 1
}

# make_pictures FOLDER COUNT: COUNT different 1600 by 1000 JPEG pictures picture-N.jpg.
make_pictures() {
  mkdir -p "$1"
  for ((n = 0; n < $2; n++)); do
    convert -size 1600x1000 -seed "$n" xc:gray +noise Random -quality 92 "$1/picture-$n.jpg"
  done
}

# write_manifest FOLDER AREA SLIDES: FOLDER/show.toml with an AREA (WIDTHxHEIGHT) centred area and
# one slide per line of SLIDES: "PICTURE NAME TIME EFFECT".
write_manifest() {
  local folder=$1 width=${2%x*} height=${2#*x} picture name time effect
  {
    printf 'settings = false\n\n[area]\nwidth = %s\nheight = %s\ncolour = "#000000"\n' "$width" "$height"
    while read -r picture name time effect; do
      printf '\n[[slide]]\npicture = "%s"\nname = "%s"\ntime = %s\neffect = %s\nspeed = 0\n' \
        "$picture" "$name" "$time" "$effect"
    done <<<"$3"
  } >"$folder/show.toml"
}

# build_saver FOLDER OUT: packs FOLDER/show.toml into the saver OUT.
build_saver() {
  "$BUILD/kamishibai-pack" build "$1/show.toml" -o "$2" --player "$BUILD/kamishibai" >/dev/null
}

# wait_for_show SECONDS: true once a window of the saver is on the display.
wait_for_show() {
  local deadline=$((SECONDS + $1))
  until xdotool search --name Kamishibai >/dev/null 2>&1; do
    ((SECONDS < deadline)) || return 1
    sleep 0.05
  done
}

# end_show PID: ends the show with a key, as a user does, and waits for the saver to finish.
end_show() {
  xdotool key space 2>/dev/null || true
  for _ in $(seq 100); do
    kill -0 "$1" 2>/dev/null || { wait "$1" 2>/dev/null || true; return 0; }
    sleep 0.05
  done
  kill "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}

# report LABEL FIGURE COMPARISON GOAL: prints the figure beside its goal and whether it is met;
# counts the goals missed in MISSED.
MISSED=0
report() {
  local state="met"
  if ! awk -v f="$2" -v g="$4" "BEGIN { exit !(f $3 g) }"; then
    state="NOT MET"
    MISSED=$((MISSED + 1))
  fi
  printf '%-58s %10s   goal %s %s: %s\n' "$1" "$2" "$3" "$4" "$state"
}
