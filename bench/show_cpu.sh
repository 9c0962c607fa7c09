#!/usr/bin/env bash
# Kamishibai: the saver's processor share during a show of plain cuts under Xvfb, measured from
# the process's user and system time over 20 seconds. Budget: under 3% of one core (a spinning
# wait would take 100%).
#
#   KAMISHIBAI_BUILD=build bench/show_cpu.sh [SECONDS]
set -euo pipefail

BUILD=${KAMISHIBAI_BUILD:-build}
SECONDS_MEASURED=${1:-20}
BUDGET_PERCENT=3

WORK=$(mktemp -d /tmp/kamishibai-bench.XXXXXX)
export HOME=$WORK/home XDG_RUNTIME_DIR=$WORK/run XDG_CONFIG_HOME=$WORK/config XDG_CACHE_HOME=$WORK/cache
export SDL_AUDIODRIVER=dummy
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$WORK/show"
chmod 700 "$XDG_RUNTIME_DIR"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$WORK"
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ]; then
  mkfifo "$WORK/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$WORK/display" >/dev/null 2>&1 &
  pids+=($!)
  read -r number <"$WORK/display"
  export DISPLAY=:$number
fi

# Three demo pictures, one second each, every one left by the plain cut.
{
  printf 'settings = false\n\n[area]\nwidth = 250\nheight = 250\ncolour = "#000000"\n'
  for n in 00 01 02; do
    cp "$BUILD/demo/picture-$n.png" "$WORK/show/"
    printf '\n[[slide]]\npicture = "picture-%s.png"\nname = "%s"\ntime = 1000\nx = 24\ny = 24\neffect = "cut"\nspeed = 0\n' "$n" "$n"
  done
} >"$WORK/show/show.toml"
"$BUILD/kamishibai-pack" build "$WORK/show/show.toml" -o "$WORK/cuts.scr" --player "$BUILD/kamishibai" >/dev/null

"$WORK/cuts.scr" /s &
saver=$!
pids+=("$saver")
sleep 2  # past start-up and the first picture

# Fields 14 and 15 of /proc/PID/stat: user and system time in clock ticks.
cpu_ticks() {
  awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$saver/stat"
}
before=$(cpu_ticks)
sleep "$SECONDS_MEASURED"
after=$(cpu_ticks)
kill -0 "$saver" 2>/dev/null || { echo "the saver ended during the measurement" >&2; exit 1; }

ticks_per_second=$(getconf CLK_TCK)
share=$(awk -v t=$((after - before)) -v hz="$ticks_per_second" -v s="$SECONDS_MEASURED" \
  'BEGIN { printf "%.2f", 100 * t / hz / s }')
echo "saver processor time: $((after - before)) ticks of 1/$ticks_per_second s in $SECONDS_MEASURED s = $share% of one core (budget $BUDGET_PERCENT%)"
awk -v p="$share" -v b="$BUDGET_PERCENT" 'BEGIN { exit !(p < b) }'
