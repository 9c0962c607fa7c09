# Kamishibai: the audio tests' material (sourced after shell.sh and x11.sh): square-wave WAV files
# of a known level and a saver that plays them, for the tests of both systems; a run of the Linux
# show with SDL's disk audio driver and a summary of what it wrote (raw 16-bit stereo at 44.1 kHz).

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

# Music and sound levels and lengths: the music is much shorter than one picture cycle, so each
# keep-alive finds it stopped and starts it again; the sound is shorter still.
MUSIC_LEVEL=3000
SOUND_LEVEL=12000

# make_audio_saver OUT PLAYER: a saver of two slides shown 800 ms each with plain cuts, 300 ms of
# music, and a 150 ms sound with the second slide, packed beside OUT.
make_audio_saver() {
  local out=$1 player=$2 show
  show=$(dirname "$out")/audio-show
  mkdir -p "$show"
  convert -size 120x120 xc:'#c04020' "$show/red.jpg"
  convert -size 120x120 xc:'#2040c0' "$show/blue.jpg"
  write_square_wav "$show/music.wav" 300 "$MUSIC_LEVEL" 441
  write_square_wav "$show/ding.wav" 150 "$SOUND_LEVEL" 882
  cat >"$show/show.toml" <<TOML
settings = true

[area]
width = 200
height = 200
colour = "#000000"

[music]
file = "music.wav"

[[slide]]
picture = "red.jpg"
time = 800
effect = 0

[[slide]]
picture = "blue.jpg"
sound = "ding.wav"
time = 800
effect = 0
TOML
  pack_saver "$show/show.toml" "$out" "$player"
}

# run_audio_show SAVER RAWFILE SECONDS: runs the show with SDL's disk audio driver writing to
# RAWFILE until the driver has written SECONDS of sound (it writes in real time once the output
# is open), then ends the show with a key and checks that it ended cleanly.
run_audio_show() {
  local saver=$1 raw=$2 seconds=$3 window pid
  local wanted=$((seconds * 44100 * 4))
  SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=$raw "$saver" /s 2>"$raw.stderr" &
  pid=$!
  window=$(wait_for_window "$SHOW_TITLE") || fail "the show window did not appear"
  for _ in $(seq $(((seconds + 20) * 10))); do
    [ "$(stat -c %s "$raw" 2>/dev/null || echo 0)" -ge "$wanted" ] && break
    sleep 0.1
  done
  [ "$(stat -c %s "$raw" 2>/dev/null || echo 0)" -ge "$wanted" ] ||
    fail "the disk driver wrote less than ${seconds}s of sound"
  key_to "$window" space
  wait_for_status "$pid" || fail "the show ended with an error"
}
