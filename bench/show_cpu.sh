#!/usr/bin/env bash
# Kamishibai: the saver's processor share during a show under its own Xvfb, measured from the
# process's user and system time over 20 seconds (a spinning wait would take 100%).
#
#   cuts:        three demo pictures, one second each, every one left by the plain cut, on a
#                1024 by 768 display. Goal: under 3% of one core.
#   transitions: codes 1 to 35 back to back (time 0) on a 1920 by 1080 area of 1920 by 1080
#                pictures, on a 1920 by 1080 display. Goal: under 5% of one core.
#
#   KAMISHIBAI_BUILD=build bench/show_cpu.sh [cuts|transitions] [SECONDS]
source "$(dirname "$0")/bench_lib.sh"

MODE=${1:-cuts}
SECONDS_MEASURED=${2:-20}
mkdir -p "$WORK/show"

case $MODE in
  cuts)
    start_display 1024x768
    slides=""
    for n in 00 01 02; do
      cp "$BUILD/demo/picture-$n.png" "$WORK/show/"
      slides+="picture-$n.png $n 1000 \"cut\""$'\n'
    done
    write_manifest "$WORK/show" 250x250 "${slides%$'\n'}"
    label="processor share, plain cuts, % of one core"
    goal=3
    ;;
  transitions)
    start_display 1920x1080
    for n in 0 1; do
      convert -size 1920x1080 -seed "$n" plasma:fractal -quality 92 "$WORK/show/picture-$n.jpg"
    done
    slides=""
    for ((code = 1; code <= 35; code++)); do
      slides+="picture-$((code % 2)).jpg s$code 0 $code"$'\n'
    done
    write_manifest "$WORK/show" 1920x1080 "${slides%$'\n'}"
    label="processor share, transitions back to back, % of one core"
    goal=5
    ;;
  *)
    echo "usage: show_cpu.sh [cuts|transitions] [SECONDS]" >&2
    exit 2
    ;;
esac
build_saver "$WORK/show" "$WORK/show.scr"

"${FAVOURED[@]}" "$WORK/show.scr" /s &
saver=$!
pids+=("$saver")
wait_for_show 30 || { echo "no show window" >&2; exit 1; }
sleep 2  # past start-up and the first picture

# Fields 14 and 15 of /proc/PID/stat: user and system time in clock ticks.
cpu_ticks() { awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$saver/stat"; }
before=$(cpu_ticks)
sleep "$SECONDS_MEASURED"
after=$(cpu_ticks)
kill -0 "$saver" 2>/dev/null || { echo "the saver ended during the measurement" >&2; exit 1; }
end_show "$saver"

share=$(awk -v t=$((after - before)) -v hz="$(getconf CLK_TCK)" -v s="$SECONDS_MEASURED" \
  'BEGIN { printf "%.2f", 100 * t / hz / s }')
report "$label" "$share" "<" "$goal"
exit $((MISSED > 0))
