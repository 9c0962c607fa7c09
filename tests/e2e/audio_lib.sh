# Kamishibai: helpers of the audio end-to-end tests: square-wave WAV files of a known level, and
# a summary of what SDL's disk audio driver wrote (raw 16-bit stereo at 44.1 kHz).

# write_square_wav FILE MILLISECONDS AMPLITUDE HERTZ: a 16-bit stereo WAV file at 44.1 kHz
# holding a square wave that swings between +AMPLITUDE and -AMPLITUDE.
write_square_wav() {
  python3 - "$@" <<'PY'
import struct, sys
path, ms, amp, hz = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
rate = 44100
frames = rate * ms // 1000
half = rate // (2 * hz)
samples = b"".join(struct.pack("<hh", v, v) for v in
                   (amp if (i // half) % 2 == 0 else -amp for i in range(frames)))
header = struct.pack("<4sI4s4sIHHIIHH4sI", b"RIFF", 36 + len(samples), b"WAVE", b"fmt ", 16, 1,
                     2, rate, rate * 4, 4, 16, b"data", len(samples))
with open(path, "wb") as out:
    out.write(header + samples)
PY
}

# audio_summary RAWFILE MUSIC_AMPLITUDE SOUND_AMPLITUDE: cuts the driver's output into 10 ms
# windows, classes each by its peak as silent, music alone, sound alone, both together or other,
# and prints "seconds=S music=N sound=N both=N other=N music_bursts=N sound_bursts=N": the
# window counts, and how many separate stretches (divided by silence) hold music or a sound.
audio_summary() {
  python3 - "$@" <<'PY'
import array, sys
path, music, sound = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
data = array.array("h")
with open(path, "rb") as raw:
    payload = raw.read()
data.frombytes(payload[: len(payload) // 4 * 4])
window = 441 * 2
near = lambda peak, level: abs(peak - level) <= level * 0.15
counts = dict(music=0, sound=0, both=0, other=0)
bursts = dict(music=0, sound=0)
in_burst = dict(music=False, sound=False)
for start in range(0, len(data) - window + 1, window):
    peak = max(abs(v) for v in data[start:start + window])
    if peak < music // 4:
        in_burst = dict(music=False, sound=False)
        continue
    kind = ("music" if near(peak, music) else "sound" if near(peak, sound)
            else "both" if near(peak, music + sound) else "other")
    counts[kind] += 1
    for part in ("music", "sound"):
        if kind in (part, "both") and not in_burst[part]:
            bursts[part] += 1
            in_burst[part] = True
print("seconds=%.1f music=%d sound=%d both=%d other=%d music_bursts=%d sound_bursts=%d" % (
    len(data) / 2 / 44100, counts["music"], counts["sound"], counts["both"], counts["other"],
    bursts["music"], bursts["sound"]))
PY
}

# summary_value SUMMARY KEY: one number of an audio_summary line.
summary_value() {
  sed -n "s/.*\b$2=\([0-9.]*\).*/\1/p" <<<"$1"
}
