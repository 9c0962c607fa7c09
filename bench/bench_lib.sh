# Kamishibai: what the live benchmarks share (sourced): a private environment for the saver in
# WORK, a virtual display of their own, generated pictures and savers. The processes they start
# and WORK end with them.
set -euo pipefail

BUILD=$(cd "${KAMISHIBAI_BUILD:-build}" && pwd)
PACK=$BUILD/kamishibai-pack
source "$(dirname "${BASH_SOURCE[0]}")/../tests/lib/shell.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../tests/lib/x11.sh"
private_folder /tmp/kamishibai-bench
WORK=$PRIVATE_DIR
private_home
export SDL_AUDIODRIVER=dummy

# "${FAVOURED[@]}" COMMAND...: runs the command ahead of other work on the machine where it may
# (as root), so that compilers running beside a measurement do not pass for the show's own
# delays. nice executes the command in its own process, so $! is the command's process.
FAVOURED=()
[ "$(id -u)" = 0 ] && FAVOURED=(nice -n -19)

# start_bench_display WIDTHxHEIGHT: a virtual display of that size, whatever DISPLAY said.
start_bench_display() {
  start_x_server "${FAVOURED[@]}" Xvfb -screen 0 "$1x24" -nolisten tcp || fail "Xvfb did not start"
  wait_until 5 xdpyinfo >/dev/null 2>&1 || fail "the virtual display $DISPLAY does not answer"
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

# wait_for_show SECONDS: waits for the saver's window; fails when none appears.
wait_for_show() {
  wait_for_window "$SHOW_TITLE" "$1" >/dev/null || fail "no show window"
}

# end_show PID: ends the show with a key, as a user does, and waits for the saver to finish.
end_show() {
  xdotool key space 2>/dev/null || true
  wait_for_end "$1" 5 || { kill "$1" 2>/dev/null || true; wait "$1" 2>/dev/null || true; }
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
