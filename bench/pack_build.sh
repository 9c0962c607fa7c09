#!/usr/bin/env bash
# Kamishibai: kamishibai-pack build of a 1 GiB show of 400 JPEGs against cat of the same files
# into one file, the median of three runs each with the files in the page cache. Goal: build
# within 3x the time of cat. Also reports the processor time of both (on a busy machine the
# elapsed times mostly measure waiting for a core) and build's peak memory (goal: under 64 MiB
# beyond the largest picture decoded). The show is generated in the build folder and removed
# afterwards.
#
#   KAMISHIBAI_BUILD=build bench/pack_build.sh [PICTURES]
set -euo pipefail

BUILD=$(cd "${KAMISHIBAI_BUILD:-build}" && pwd)
source "$(dirname "$0")/../tests/lib/shell.sh"
PICTURES=${1:-400}
GOAL_RATIO=3
private_folder "$BUILD/pack-bench"
WORK=$PRIVATE_DIR

# One 2000 x 1300 photo-like JPEG of about 2.7 MB (noise compresses little), copied under 400
# names: the packer decodes and copies each as if they differed.
convert -size 2000x1300 xc:gray +noise Random -quality 98 "$WORK/source.jpg"
mkdir "$WORK/photos"
{
  echo "[area]"
  echo "width = 2000"
  echo "height = 1300"
  for i in $(seq -w 1 "$PICTURES"); do
    cp "$WORK/source.jpg" "$WORK/photos/p$i.jpg"
    printf '[[slide]]\npicture = "photos/p%s.jpg"\n' "$i"
  done
} >"$WORK/show.toml"
bytes=$(du -cb "$WORK"/photos/*.jpg | tail -1 | cut -f1)
echo "show: $PICTURES pictures, $((bytes >> 20)) MiB"

median() { sort -n | sed -n 2p; }
# elapsed seconds, peak KiB, processor seconds
seconds() { /usr/bin/time -f "%e %M %U %S" "$@" 2>&1 >/dev/null | tail -1 | awk '{ print $1, $2, $3 + $4 }'; }

cat "$BUILD/kamishibai" "$WORK"/photos/*.jpg >/dev/null  # into the page cache
load=$(cut -d' ' -f1 /proc/loadavg)
cat_times=() build_times=() build_memory=() cat_cpu=() build_cpu=()
for run in 1 2 3; do
  read -r t _ c < <(seconds sh -c "cat '$BUILD/kamishibai' '$WORK'/photos/*.jpg >'$WORK/cat.out'")
  cat_times+=("$t")
  cat_cpu+=("$c")
  rm -f "$WORK/cat.out"
  read -r t kib c < <(seconds "$BUILD/kamishibai-pack" build "$WORK/show.toml" -o "$WORK/show.scr" \
    --player "$BUILD/kamishibai")
  build_times+=("$t")
  build_memory+=("$kib")
  build_cpu+=("$c")
  rm -f "$WORK/show.scr"
done
cat_s=$(printf '%s\n' "${cat_times[@]}" | median)
build_s=$(printf '%s\n' "${build_times[@]}" | median)
peak_kib=$(printf '%s\n' "${build_memory[@]}" | sort -n | tail -1)
ratio=$(echo "$build_s $cat_s" | awk '{ printf "%.2f", $1 / $2 }')
echo "load average before: $load"
echo "cat:   ${cat_s} s (runs: ${cat_times[*]}; processor s: ${cat_cpu[*]})"
echo "build: ${build_s} s (runs: ${build_times[*]}; processor s: ${build_cpu[*]}), peak RSS $((peak_kib / 1024)) MiB"
if awk -v r="$ratio" -v g="$GOAL_RATIO" 'BEGIN { exit !(r <= g) }'; then
  echo "build / cat: ${ratio} (goal: at most ${GOAL_RATIO}): met"
else
  echo "build / cat: ${ratio} (goal: at most ${GOAL_RATIO}): NOT MET"
  exit 1
fi
