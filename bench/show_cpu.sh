#!/usr/bin/env bash
# Kamishibai: the saver's processor share during a show under its own Xvfb, from the process's
# user and system time over whole cycles of the show (a spinning wait would take 100%). The show
# logs when each transition starts (KAMISHIBAI_REFRESH_LOG); the share is taken between the
# first and the last start of the first slide within the measured time, so that every slide's
# transition counts as often as every other's.
#
#   cuts:        three demo pictures, one second each, every one left by the plain cut, on a
#                1024 by 768 display. Goal: under 3% of one core. 20 s measured by default.
#   transitions: codes 1 to 35 back to back (time 0) on a 1920 by 1080 area of 1920 by 1080
#                pictures, on a 1920 by 1080 display; a cycle lasts about 33 s. Goal: under 4% of
#                one core (a margin under 5%). 100 s measured by default (two cycles).
#   large:       the largest area, 16384 by 16384, on a 1920 by 1080 display, with two photo-like
#                1920 by 1080 pictures at its centre left by plain cuts after 5 s each. Goal: under
#                1% of one core, as at a small area. 40 s measured by default; also prints the
#                peak resident memory beside what the show's three area-sized images take.
#
#   KAMISHIBAI_BUILD=build bench/show_cpu.sh [cuts|transitions|large] [SECONDS]
source "$(dirname "$0")/bench_lib.sh"

MODE=${1:-cuts}
mkdir -p "$WORK/show"

case $MODE in
  cuts)
    start_bench_display 1024x768
    slides=""
    for n in 00 01 02; do
      cp "$BUILD/demo/picture-$n.png" "$WORK/show/"
      slides+="picture-$n.png $n 1000 \"cut\""$'\n'
    done
    write_manifest "$WORK/show" 250x250 "${slides%$'\n'}"
    label="processor share, plain cuts, % of one core"
    goal=3
    slide_count=3
    default_seconds=20
    ;;
  transitions)
    start_bench_display 1920x1080
    for n in 0 1; do
      convert -size 1920x1080 -seed "$n" plasma:fractal -quality 92 "$WORK/show/picture-$n.jpg"
    done
    slides=""
    for ((code = 1; code <= 35; code++)); do
      slides+="picture-$((code % 2)).jpg s$code 0 $code"$'\n'
    done
    write_manifest "$WORK/show" 1920x1080 "${slides%$'\n'}"
    label="processor share, transitions back to back, % of one core"
    goal=4
    slide_count=35
    default_seconds=100
    ;;
  large)
    start_bench_display 1920x1080
    make_photos "$WORK/show" 2
    slides=""
    for n in 0 1; do
      slides+="photo-00$n.jpg p$n 5000 0 $((8192 - 960)) $((8192 - 540))"$'\n'
    done
    write_manifest "$WORK/show" 16384x16384 "${slides%$'\n'}"
    label="processor share, 16384 by 16384 area at rest between cuts, % of one core"
    goal=1
    slide_count=2
    default_seconds=40
    ;;
  *)
    echo "usage: show_cpu.sh [cuts|transitions|large] [SECONDS]" >&2
    exit 2
    ;;
esac
pack_saver "$WORK/show/show.toml" "$WORK/show.scr" "$BUILD/kamishibai"

SECONDS_MEASURED=${2:-$default_seconds}

KAMISHIBAI_REFRESH_LOG=$WORK/refreshes.log "${FAVOURED[@]}" "$WORK/show.scr" /s &
saver=$!
wait_for_show 30

# Fields 14 and 15 of /proc/PID/stat (user and system time in clock ticks), sampled every 20 ms
# on the monotonic clock the show's log uses.
python3 - "$saver" "$SECONDS_MEASURED" >"$WORK/samples" <<'PY'
import sys, time
pid, seconds = sys.argv[1], float(sys.argv[2])
end = time.monotonic() + seconds
while time.monotonic() < end:
    fields = open(f"/proc/{pid}/stat").read().rsplit(")", 1)[1].split()
    print(time.monotonic(), int(fields[11]) + int(fields[12]))
    time.sleep(0.02)
PY
kill -0 "$saver" 2>/dev/null || { echo "the saver ended during the measurement" >&2; exit 1; }
peak_kib=$(awk '/^VmHWM/ { print $2 }' "/proc/$saver/status")
end_show "$saver"  # the log is written out when the show ends

read -r cycles share < <(python3 - "$WORK/refreshes.log" "$WORK/samples" "$slide_count" \
  "$(getconf CLK_TCK)" <<'PY'
import bisect, sys
log, samples_file, slides, hz = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
starts = [int(line.split()[1]) / 1e6 for line in open(log) if line.startswith("transition ")]
samples = [tuple(map(float, line.split())) for line in open(samples_file)]
times = [t for t, _ in samples]
inside = [t for t in starts[::slides] if times[0] <= t <= times[-1]]
if len(inside) < 2:
    print(0, "nan")
    sys.exit()
def ticks_at(t):  # the first sample at or after t
    return samples[min(bisect.bisect_left(times, t), len(samples) - 1)][1]
first, last = inside[0], inside[-1]
print(len(inside) - 1, "%.2f" % (100 * (ticks_at(last) - ticks_at(first)) / hz / (last - first)))
PY
)
((cycles > 0)) || { echo "fewer than one whole cycle in $SECONDS_MEASURED s" >&2; exit 1; }
echo "measured over $cycles whole cycle(s)"
if [ "$MODE" = large ]; then
  echo "peak resident memory: $((peak_kib / 1024)) MiB; the three 16384 by 16384 images take 3072 MiB"
fi
report "$label" "$share" "<" "$goal"
exit $((MISSED > 0))
