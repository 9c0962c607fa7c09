#!/usr/bin/env bash
# Kamishibai: the saver's processor share during a show under Xvfb, measured from the process's
# user and system time over 20 seconds. Two shows:
#   cuts         plain cuts of a 250 by 250 area; budget under 3% of one core (a spinning wait
#                would take 100%)
#   transitions  codes 1 to 35 back to back (time 0) on a 1920 by 1080 area; budget under 5%
#
#   KAMISHIBAI_BUILD=build bench/show_cpu.sh [SECONDS] [cuts|transitions]
set -euo pipefail

BUILD=${KAMISHIBAI_BUILD:-build}
SECONDS_MEASURED=${1:-20}
SHOW=${2:-cuts}
case $SHOW in
  cuts) BUDGET_PERCENT=3 WIDTH=250 HEIGHT=250 ;;
  transitions) BUDGET_PERCENT=5 WIDTH=1920 HEIGHT=1080 ;;
  *) echo "unknown show $SHOW: cuts or transitions" >&2; exit 2 ;;
esac

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
  Xvfb -displayfd 3 -screen 0 "$((WIDTH > 1024 ? WIDTH : 1024))x$((HEIGHT > 768 ? HEIGHT : 768))x24" -nolisten tcp 3>"$WORK/display" >/dev/null 2>&1 &
  pids+=($!)
  read -r number <"$WORK/display"
  export DISPLAY=:$number
fi

# Cuts: three demo pictures, one second each, every one left by the plain cut. Transitions: the
# three pictures in turn, each left at once by the next code from 1 to 35.
{
  printf 'settings = false\n\n[area]\nwidth = %d\nheight = %d\ncolour = "#000000"\n' "$WIDTH" "$HEIGHT"
  cp "$BUILD"/demo/picture-0[012].jpg "$WORK/show/"
  if [ "$SHOW" = cuts ]; then
    for n in 00 01 02; do
      printf '\n[[slide]]\npicture = "picture-%s.jpg"\nname = "%s"\ntime = 1000\nx = 24\ny = 24\neffect = "cut"\nspeed = 0\n' "$n" "$n"
    done
  else
    for code in $(seq 1 35); do
      n=0$((code % 3))
      printf '\n[[slide]]\npicture = "picture-%s.jpg"\nname = "s%d"\ntime = 0\nx = 24\ny = 24\neffect = %d\nspeed = 0\n' "$n" "$code" "$code"
    done
  fi
} >"$WORK/show/show.toml"
"$BUILD/kamishibai-pack" build "$WORK/show/show.toml" -o "$WORK/show.scr" --player "$BUILD/kamishibai" >/dev/null

"$WORK/show.scr" /s &
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
echo "saver processor time: $((after - before)) ticks of 1/$ticks_per_second s in $SECONDS_MEASURED s = $share% of one core (goal: under $BUDGET_PERCENT%)"
awk -v p="$share" -v b="$BUDGET_PERCENT" 'BEGIN { exit !(p < b) }'
