#!/usr/bin/env bash
# Kamishibai: peak resident memory of the show, `info` and `extract` with a small (about 50 MiB)
# and a large (at least 512 MiB) package of the same 1600 by 1000 pictures, on a 1920 by 1080
# virtual display, and of the show against feh on 200 photo-like 1920 by 1080 JPEGs shown one a
# second full screen, in the same run. Goals: the show's peak with the large package at most 1.2
# times its peak with the small one; the show's peak with the photos at most twice feh's; info and
# extract under 64 MiB (neither decodes a picture); during the show, no more of the saver's file
# in the page cache than the player's own part. The packages are written to the build folder and
# removed afterwards.
#
#   KAMISHIBAI_BUILD=build bench/package_memory.sh
source "$(dirname "$0")/bench_lib.sh"

PACKAGES=$BUILD/package-memory-bench
mkdir -p "$PACKAGES"
CLEANUP_PATHS+=("$PACKAGES")
start_bench_display 1920x1080
make_pictures "$WORK/pictures" 4

# saver_of NAME SLIDES: a saver of SLIDES pictures, 200 ms each, left by plain cuts.
saver_of() {
  local slides="" n
  for ((n = 0; n < $2; n++)); do slides+="picture-$((n % 4)).jpg p$n.jpg 200 0"$'\n'; done
  write_manifest "$WORK/pictures" 1600x1000 "${slides%$'\n'}"
  pack_saver "$WORK/pictures/show.toml" "$PACKAGES/$1.scr" "$BUILD/kamishibai"
  echo "$PACKAGES/$1.scr"
}

mebibytes() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }

# show_peak SAVER: the saver's peak resident set in KiB after five seconds (SHOW_SECONDS) of its
# show; also notes in $WORK/cached how many bytes of the saver's file the page cache then holds,
# and in $WORK/parts its resident memory then by kind (anonymous, file, shared).
show_peak() {
  "$1" /s &
  local pid=$! peak
  wait_for_show 60
  sleep "${SHOW_SECONDS:-5}"
  peak=$(awk '/^VmHWM/ { print $2 }' "/proc/$pid/status")
  grep -E '^Rss(Anon|File|Shmem)' "/proc/$pid/status" | tr -s ' \t' ' ' | tr '\n' ' ' >"$WORK/parts"
  fincore --bytes --noheadings --output RES "$1" >"$WORK/cached"
  end_show "$pid"
  echo "$peak"
}

# feh_peak PICTURE...: feh's peak resident set in KiB after ten seconds of its full-screen slide
# show of the pictures, a second each.
feh_peak() {
  feh --fullscreen --hide-pointer --slideshow-delay 1 "$@" &
  local pid=$! peak
  sleep 10
  peak=$(awk '/^VmHWM/ { print $2 }' "/proc/$pid/status")
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  echo "$peak"
}

# tool_peak ARGS...: the peak resident set in KiB of kamishibai-pack ARGS.
tool_peak() {
  /usr/bin/time -f %M -o "$WORK/time" "$BUILD/kamishibai-pack" "$@" >/dev/null
  cat "$WORK/time"
}

small=$(saver_of small 44)
large=$(saver_of large 470)
small_size=$(stat -c %s "$small")
large_size=$(stat -c %s "$large")
echo "packages: small $(mebibytes $((small_size / 1024))) MiB, large $(mebibytes $((large_size / 1024))) MiB"
((large_size >= 512 * 1024 * 1024)) || { echo "the large package is under 512 MiB" >&2; exit 1; }

command -v feh >/dev/null || fail "feh is missing (scripts/install-deps.sh installs it)"
make_photos "$WORK/photos" 200
write_manifest "$WORK/photos" 1920x1080 "$(photo_slides "$WORK/photos" 1000)"
pack_saver "$WORK/photos/show.toml" "$PACKAGES/photos.scr" "$BUILD/kamishibai"
# Ten seconds of each, as feh's.
show_photos=$(SHOW_SECONDS=10 show_peak "$PACKAGES/photos.scr")
feh_photos=$(feh_peak "$WORK"/photos/photo-*.jpg)

show_small=$(show_peak "$small")
show_large=$(show_peak "$large")
cached_large=$(cat "$WORK/cached")
info_large=$(tool_peak info "$large")
extract_large=$(tool_peak extract "$large" -o "$PACKAGES/extracted")
rm -rf "$PACKAGES/extracted"

echo "peak resident memory, MiB"
echo "show, 200 photos: $(mebibytes "$show_photos"); feh, the same photos: $(mebibytes "$feh_photos")"
echo "show, small package: $(mebibytes "$show_small"); show, large package: $(mebibytes "$show_large")"
echo "the show's resident memory at its end, large package: $(cat "$WORK/parts")"
report "show / feh, 200 photos at 1920 by 1080" \
  "$(awk -v s="$show_photos" -v f="$feh_photos" 'BEGIN { printf "%.3f", s / f }')" "<=" 2
report "show, large / small" "$(awk -v l="$show_large" -v s="$show_small" 'BEGIN { printf "%.3f", l / s }')" "<=" 1.2
# After unpacking, the package's pages leave the page cache; the player's own pages stay, as the
# running program is made of them.
report "large saver's file in the page cache during the show, KiB" "$((cached_large / 1024))" \
  "<=" "$(($(stat -c %s "$BUILD/kamishibai") / 1024))"
report "info, large package" "$(mebibytes "$info_large")" "<" 64
report "extract, large package" "$(mebibytes "$extract_large")" "<" 64
exit $((MISSED > 0))
