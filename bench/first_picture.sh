#!/usr/bin/env bash
# Kamishibai: from the start of the saver to its first picture on screen, against feh showing the
# same pictures and cp copying the package into the work folder's file system, measured in the
# same run: the demo saver, and a saver of 200 photo-like 1920 by 1080 JPEGs (about 141 MB) left by
# plain cuts, on a 1920 by 1080 virtual display. The show unpacks every file before its first
# picture, so its goal is at most feh's time plus cp's. Each run starts the program and reads the
# screen's centre every millisecond until it shows the first picture (kamishibai-first-picture),
# with the saver's file and the package in the page cache; the figures are the medians of RUNS
# runs (default 5), taken in turns. A run in which feh shows nothing within 10 s is named and left
# out (now and then feh never draws its window here); a program that does not end on SIGTERM is
# killed.
#
#   KAMISHIBAI_BUILD=build bench/first_picture.sh [RUNS]
source "$(dirname "$0")/bench_lib.sh"

RUNS=${1:-5}
WATCH=$BUILD/bench/kamishibai-first-picture
command -v feh >/dev/null || fail "feh is missing (scripts/install-deps.sh installs it)"
[ -x "$WATCH" ] || fail "$WATCH is missing: build the target kamishibai-first-picture"
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
start_bench_display 1920x1080

# colour_at PICTURE X Y: the picture's pixel as RRGGBB.
colour_at() {
  convert "$1" -format "%[hex:p{$2,$3}]" info: | cut -c1-6
}

# time_ms COMMAND...: the command's wall time in milliseconds.
time_ms() {
  local start end
  start=$(date +%s%N)
  "$@"
  end=$(date +%s%N)
  awk -v ns=$((end - start)) 'BEGIN { printf "%.1f", ns / 1e6 }'
}

median() {
  sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# compare NAME SAVER SHOW_COLOUR FEH_COLOUR FEH_FILE...: RUNS runs of cp, feh and the show in
# turns, then the medians beside the goal.
compare() {
  local name=$1 saver=$2 show_colour=$3 feh_colour=$4 run
  shift 4
  local package=$WORK/$name.package copy=$XDG_RUNTIME_DIR/$name.copy
  tail -c +$(($(stat -c %s "$BUILD/kamishibai") + 1)) "$saver" >"$package"
  : >"$WORK/cp" && : >"$WORK/feh" && : >"$WORK/show"
  for ((run = 1; run <= RUNS; run++)); do
    cat "$saver" "$package" >/dev/null
    time_ms cp "$package" "$copy" >>"$WORK/cp" && echo >>"$WORK/cp"
    rm -f "$copy"
    # feh now and then never draws its window here; such a run is named and left out.
    "$WATCH" 960 540 "$feh_colour" 24 10 feh --fullscreen --hide-pointer "$@" >>"$WORK/feh" ||
      echo "$name: feh showed no picture in run $run; left out" >&2
    # The unpacking drops the package from the page cache once it is done.
    cat "$saver" >/dev/null
    "$WATCH" 960 540 "$show_colour" 24 10 "$saver" /s >>"$WORK/show" ||
      fail "the saver showed no picture"
  done
  local cp_ms feh_ms show_ms
  cp_ms=$(median <"$WORK/cp")
  feh_ms=$(median <"$WORK/feh")
  show_ms=$(median <"$WORK/show")
  echo "$name: package $(($(stat -c %s "$package") / 1024)) KiB; runs, ms:" \
    "cp $(tr '\n' ' ' <"$WORK/cp")| feh $(tr '\n' ' ' <"$WORK/feh")| show $(tr '\n' ' ' <"$WORK/show")"
  echo "$name: medians, ms: cp $cp_ms, feh $feh_ms, show $show_ms"
  report "$name: show / (feh + cp), start to first picture" \
    "$(awk -v s="$show_ms" -v f="$feh_ms" -v c="$cp_ms" 'BEGIN { printf "%.3f", s / (f + c) }')" "<=" 1
}

# The demo: a 250 by 250 area centred on the screen with its 200 by 200 pictures at (24, 24), so
# the screen's centre shows the first picture's pixel (101, 101); feh centres the picture itself.
first_demo=$BUILD/demo/picture-00.png
compare demo "$BUILD/kamishibai.scr" "$(colour_at "$first_demo" 101 101)" \
  "$(colour_at "$first_demo" 100 100)" "$BUILD"/demo/picture-*.png

make_photos "$WORK/photos" 200
write_manifest "$WORK/photos" 1920x1080 "$(photo_slides "$WORK/photos" 1000)"
pack_saver "$WORK/photos/show.toml" "$WORK/photos.scr" "$BUILD/kamishibai"
compare photos "$WORK/photos.scr" "$FIRST_PHOTO_CENTRE" "$FIRST_PHOTO_CENTRE" \
  "$WORK"/photos/photo-*.jpg

echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
exit $((MISSED > 0))
