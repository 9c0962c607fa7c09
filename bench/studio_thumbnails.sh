#!/usr/bin/env bash
# Kamishibai Studio: how long its window takes to show a folder of COUNT photos (default 1000),
# 1920 by 1080 JPEGs with EXIF thumbnails, a third stored on their side, and its peak memory
# meanwhile. The Studio reports when its window was shown and when the last thumbnail was in the
# grid, from its start, and the longest time its main loop could not run in between (which a user
# sees as the window freezing); /usr/bin/time gives the peak resident memory. The photos' files
# are read once before, so that the figures are the Studio's own, not the disk's.
#
#   KAMISHIBAI_BUILD=build bench/studio_thumbnails.sh [COUNT]
source "$(dirname "$0")/bench_lib.sh"
source "$(dirname "$0")/../tests/lib/photos.sh"

COUNT=${1:-1000}
start_bench_display 1920x1080
camera_photos "$WORK/photos" "$COUNT" 1920 1080
cat "$WORK"/photos/*.jpg >/dev/null
echo "photos: $COUNT, $(du -sh "$WORK/photos" | cut -f1); cores: $(nproc); load: $(cut -d' ' -f1-3 /proc/loadavg)"
KAMISHIBAI_STUDIO_LOAD_REPORT=$WORK/report /usr/bin/time -v -o "$WORK/time" \
  "$BUILD/kamishibai-studio" "$WORK/photos" 2>"$WORK/stderr" || fail "the Studio failed: $(cat "$WORK/stderr")"
[ -s "$WORK/report" ] || fail "the Studio wrote no report"
awk '{ printf "%-17s %s\n", $1, $2 }' "$WORK/report"
awk -F': ' '/Maximum resident/ { printf "peak_memory_mb    %.1f\n", $2 / 1024 }
  /Elapsed \(wall/ { print "wall_clock        " $2 }' "$WORK/time"
