#!/usr/bin/env bash
# Kamishibai: the pace and the processor share of a live show on a 1920 by 1080 virtual display,
# watched from outside: a recorder notes when each Refresh of the show's window reached the
# screen.
#
# Pace: a 1600 by 1000 area, slides with codes 1 to 35 at speed 0, 300 ms each (1000 ms before
# code 1, which marks the start of a cycle). Per code it prints the measured length of the
# transitions against steps x F / S and against what the deadline rule itself gives,
# steps x (F / S + 1 ms): a step ends at the first tick later than its deadline, so each step
# lasts one tick more than F / S. Goals: each code within 2 % on average, a whole cycle within
# 1 %, and every transition starting within 2 ms of its display deadline.
#
# Processor share: codes 1 to 35 back to back (time 0) on a 1920 by 1080 area for 20 seconds.
# Goal: under 5 % of one core.
#
#   KAMISHIBAI_BUILD=build bench/live_show.sh [CYCLES]
source "$(dirname "$0")/bench_lib.sh"

CYCLES=${1:-2}
CPU_SECONDS=20
start_display 1920x1080
make_pictures "$WORK/pictures" 2

# saver_of NAME AREA FIRST-TIME TIME: a saver of slides leaving through codes 1 to 35.
saver_of() {
  local slides="" code time
  for ((code = 1; code <= 35; code++)); do
    time=$4
    ((code == 1)) && time=$3
    slides+="picture-$((code % 2)).jpg s$code.jpg $time $code"$'\n'
  done
  write_manifest "$WORK/pictures" "$2" "${slides%$'\n'}"
  build_saver "$WORK/pictures" "$WORK/$1.scr"
  echo "$WORK/$1.scr"
}

paced=$(saver_of paced 1600x1000 1000 300)
back_to_back=$(saver_of back-to-back 1920x1080 0 0)
"$BUILD/bench/kamishibai-step-count" 1600 1000 >"$WORK/steps.txt"

# One cycle takes about 45 s; the recording covers the asked cycles, the start and one more.
"${FAVOURED[@]}" "$BUILD/bench/kamishibai-refresh-recorder" $((CYCLES * 50 + 60)) >"$WORK/refreshes.txt" &
recorder=$!
pids+=("$recorder")
"${FAVOURED[@]}" "$paced" /s &
saver=$!
pids+=("$saver")
python3 - "$WORK/refreshes.txt" "$WORK/steps.txt" "$CYCLES" "$recorder" <<'PYTHON' || MISSED=$((MISSED + 1))
import os, sys, time

refresh_file, steps_file, cycles, recorder = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
frame, steps_of = {}, {}
for line in open(steps_file):
    code, ms, steps = map(int, line.split())
    frame[code], steps_of[code] = ms, steps

def read_refreshes():
    """Each Refresh as the (first, last) damage report of a group of reports less than 3 ms apart
    (a large Refresh reaches the screen in several parts), in ms."""
    times = [int(t) / 1000 for t in open(refresh_file).read().split()]
    groups = []
    for t in times:
        if groups and t - groups[-1][1] < 3:
            groups[-1][1] = t
        else:
            groups.append([t, t])
    return groups

def bursts_of(refreshes):
    """Transitions: runs of refreshes less than 250 ms apart (pictures stay 300 ms or more, so
    only a longer stall of the machine could split a transition), each with the time from the
    end of the run before (the show's Refresh after the last transition) to its own first
    Refresh."""
    bursts, gaps = [], []
    for previous, refresh in zip([None] + refreshes, refreshes):
        if previous is None or refresh[0] - previous[1] > 250:
            bursts.append([refresh[0]])
            gaps.append(None if previous is None else refresh[0] - previous[1])
        else:
            bursts[-1].append(refresh[0])
    return list(zip(gaps, bursts))

# Wait until the asked number of whole cycles (each opened by the 1000 ms gap) is recorded.
while True:
    found = bursts_of(read_refreshes())
    starts = [i for i, (gap, _) in enumerate(found) if gap and gap > 800]
    if len(starts) > cycles:
        break
    try:
        os.kill(recorder, 0)
    except OSError:
        sys.exit("the recording ended before %d cycles" % cycles)
    time.sleep(1)

per_code = {code: [0.0, 0, 0] for code in range(1, 36)}  # measured ms, steps, transitions
intervals = {code: [] for code in range(1, 36)}
lateness = []
for start in starts[:cycles]:
    cycle = found[start:start + 35]
    for code, (gap, burst) in enumerate(cycle, start=1):
        show_time = 1000 if code == 1 else 300
        lateness.append(gap - show_time)
        entry = per_code[code]
        entry[0] += burst[-1] - burst[0]
        entry[1] += steps_of[code]
        entry[2] += 1
        intervals[code] += [b - a for a, b in zip(burst, burst[1:])]

missed = 0
def goal(figure, ok):
    global missed
    missed += 0 if ok else 1
    return "met" if ok else "NOT MET"

print("%d cycles of codes 1 to 35, speed factor 1" % cycles)
print("code  F ms  steps  median step ms  actual/(steps x F)  actual/(steps x (F + 1 ms))"
      "   goal: within 2 %")
total = nominal = rule = 0.0
for code in range(1, 36):
    measured, steps, count = per_code[code]
    f = frame[code]
    by_f = measured / (steps * f)
    by_rule = measured / (steps * (f + 1))
    total += measured
    nominal += steps * f
    rule += steps * (f + 1)
    median = sorted(intervals[code])[len(intervals[code]) // 2]
    print("%4d  %4d  %5d  %14.2f  %18.3f  %27.3f   %s" % (
        code, f, steps // count, median, by_f, by_rule, goal(by_rule, abs(by_rule - 1) <= 0.02)))
print("whole cycle: actual/(steps x F) %.3f, actual/(steps x (F + 1 ms)) %.3f   goal: within 1 %%: %s"
      % (total / nominal, total / rule, goal(total / rule, abs(total / rule - 1) <= 0.01)))
lateness.sort()
print("transition start after its display deadline: median %.2f ms, max %.2f ms"
      "   goal: within 2 ms: %s" % (lateness[len(lateness) // 2], lateness[-1],
                                     goal(lateness[-1], lateness[-1] <= 2)))
sys.exit(1 if missed else 0)
PYTHON
end_show "$saver"
kill "$recorder" 2>/dev/null || true

"${FAVOURED[@]}" "$back_to_back" /s &
saver=$!
pids+=("$saver")
wait_for_show 30 || { echo "no show window" >&2; exit 1; }
sleep 2
# Fields 14 and 15 of /proc/PID/stat: user and system time in clock ticks.
cpu_ticks() { awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$saver/stat"; }
before=$(cpu_ticks)
sleep "$CPU_SECONDS"
after=$(cpu_ticks)
end_show "$saver"
share=$(awk -v t=$((after - before)) -v hz="$(getconf CLK_TCK)" -v s="$CPU_SECONDS" \
  'BEGIN { printf "%.2f", 100 * t / hz / s }')
report "processor share, transitions back to back, % of one core" "$share" "<" 5
exit $((MISSED > 0))
