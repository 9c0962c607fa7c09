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
# A desktop session's runtime folder, where the saver unpacks, is a tmpfs (/run/user/UID); so is
# the benchmarks' where the machine has /dev/shm, and the saver and cp write where they would on
# a desktop.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  XDG_RUNTIME_DIR=$(mktemp -d /dev/shm/kamishibai-bench-run.XXXXXX)
  CLEANUP_PATHS+=("$XDG_RUNTIME_DIR")
  export XDG_RUNTIME_DIR
fi
export SDL_AUDIODRIVER=dummy

# "${FAVOURED[@]}" COMMAND...: runs the command ahead of other work on the machine where it may
# (as root), so that compilers running beside a measurement do not pass for the show's own
# delays. nice executes the command in its own process, so $! is the command's process.
FAVOURED=()
[ "$(id -u)" = 0 ] && FAVOURED=(nice -n -19)

# start_bench_display WIDTHxHEIGHT: a virtual display of that size, whatever DISPLAY said.
start_bench_display() {
  start_x_server "${FAVOURED[@]}" Xvfb -screen 0 "$1x24" -nolisten tcp -noreset || fail "Xvfb did not start"
  wait_until 5 xdpyinfo >/dev/null 2>&1 || fail "the virtual display $DISPLAY does not answer"
}

# make_pictures FOLDER COUNT: COUNT different 1600 by 1000 JPEG pictures picture-N.jpg.
make_pictures() {
  mkdir -p "$1"
  for ((n = 0; n < $2; n++)); do
    convert -size 1600x1000 -seed "$n" xc:gray +noise Random -quality 92 "$1/picture-$n.jpg"
  done
}

# make_photos FOLDER COUNT: COUNT different photo-like 1920 by 1080 JPEG pictures of about 700 KB,
# photo-000.jpg, ...: one noisy plasma, shifted by another amount for each. The first has a
# magenta square at its centre (FIRST_PHOTO_CENTRE), by which a screen shows that it is there.
FIRST_PHOTO_CENTRE=ff00ff
make_photos() {
  local n mark
  mkdir -p "$1"
  convert -size 1920x1080 -seed 1 plasma:fractal -attenuate 0.15 +noise Gaussian "$1/plasma.ppm"
  for ((n = 0; n < $2; n++)); do
    mark=()
    ((n > 0)) || mark=(-fill "#$FIRST_PHOTO_CENTRE" -draw "rectangle 900,480 1019,599")
    convert "$1/plasma.ppm" -roll "+$((n * 97))+$((n * 53))" "${mark[@]}" -quality 90 \
      "$1/$(printf 'photo-%03d.jpg' "$n")"
  done
  rm "$1/plasma.ppm"
}

# photo_slides FOLDER TIME: the write_manifest slides of every photo in FOLDER, in name order,
# each left by the plain cut after TIME ms.
photo_slides() {
  local photo slides=""
  for photo in "$1"/photo-*.jpg; do
    slides+="$(basename "$photo") $(basename "$photo") $2 0"$'\n'
  done
  echo "${slides%$'\n'}"
}

# write_manifest FOLDER AREA SLIDES: FOLDER/show.toml with an AREA (WIDTHxHEIGHT) centred area and
# one slide per line of SLIDES: "PICTURE NAME TIME EFFECT [X Y]".
write_manifest() {
  local folder=$1 width=${2%x*} height=${2#*x} picture name time effect x y
  {
    printf 'settings = false\n\n[area]\nwidth = %s\nheight = %s\ncolour = "#000000"\n' "$width" "$height"
    while read -r picture name time effect x y; do
      printf '\n[[slide]]\npicture = "%s"\nname = "%s"\ntime = %s\neffect = %s\nspeed = 0\n' \
        "$picture" "$name" "$time" "$effect"
      [ -z "$x" ] || printf 'x = %s\ny = %s\n' "$x" "$y"
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
