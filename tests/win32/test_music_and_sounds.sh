# Kamishibai: music and sounds on Windows reach the system's MCI and PlaySound (seen in wine's
# trace of winmm): the show's command strings with the 256-character reply, the keep-alive that
# restarts the stopped music, the sound with its flags, and closing and purging at the finish.
# wine here has no sound device: the show goes on in silence and ends on a key. With the music
# switch off the music is never opened (only the finish's "close bgm" is sent).
source "$(dirname "$0")/wine_lib.sh"
source "$(dirname "$0")/saver_lib.sh"
source "$SOURCE/tests/lib/audio.sh"
win_setup

saver=$WIN_DIR/music.scr
make_audio_saver "$saver" "$WIN_BUILD/kamishibai.exe"

# run_traced TRACE SOUNDS: runs the show with winmm traced until it has played the second
# slide's sound SOUNDS times, then ends it with a key.
run_traced() {
  local trace=$1 transitions=$2 window
  WINEDEBUG=+mci,+winmm wine "$saver" /S >"$trace" 2>&1 &
  local pid=$!
  window=$(wait_for_window "$SHOW_TITLE") || fail "no show window"
  for _ in $(seq 300); do
    [ "$(grep -c 'trace:winmm:proc_PlaySound SoundName=' "$trace")" -ge "$transitions" ] && break
    sleep 0.1
  done
  xdotool windowfocus --sync "$window" key space
  wait_for_end "$pid" || fail "the show did not end on a key"
}

# The command strings as the show sent them, with the reply length and the callback window.
mci_commands() {
  sed -n 's/^[0-9a-f]*:trace:mci:mciSendStringW (L"\(.*\)", [0-9A-F]*, \([0-9]*\), \([0-9A-F]*\))$/\1 | \2 | \3/p' "$1" |
    sed -E 's/temp[0-9]+/tempN/; s/\|  *0+$/| none/'
}

sound_calls() {
  sed -n 's/^[0-9a-f]*:trace:winmm:MULTIMEDIA_PlaySound pszSound=.* hmod=\([0-9A-F]*\) fdwSound=\([0-9A-F]*\)$/\1 \2/p' "$1"
}

trace=$WIN_DIR/trace.log
run_traced "$trace" 2
commands=$(mci_commands "$trace")
first=$(head -n 3 <<<"$commands")
expected_first='open \"C:\\windows\\tempN\\music.wav\" alias bgm | 256 | none
play bgm | 256 | none
status bgm mode | 256 | none'
[ "$first" = "$expected_first" ] || fail "the music began with: $first"
# The music (300 ms) has stopped at every keep-alive (800 ms apart): each restarts it.
restart='status bgm mode | 256 | none
seek bgm to start | 256 | none
play bgm | 256 | none'
grep -qzF "$restart" <<<"$commands" || fail "the stopped music was not restarted: $commands"
[ "$(tail -n 1 <<<"$commands")" = "close bgm | 256 | none" ] || fail "the music ended with: $commands"
grep -q 'trace:winmm:proc_PlaySound SoundName=L"C:\\\\windows\\\\temp[0-9]*\\\\ding.wav"' "$trace" ||
  fail "the sound file was not played"
sounds=$(sound_calls "$trace")
[ "$(head -n 1 <<<"$sounds")" = "0000000000000000 00020003" ] || fail "the sound was played with: $sounds"
[ "$(tail -n 1 <<<"$sounds")" = "0000000000000000 00000040" ] || fail "the sounds ended with: $sounds"
[ "$(sort -u <<<"$sounds" | wc -l)" = 2 ] || fail "other sound calls: $sounds"

# The music switch off (sounds on): the music is never opened; the sound still plays.
printf '\x00\x00\xff\xff' >"$WIN_DIR/music.set"
run_traced "$trace" 1
[ "$(mci_commands "$trace")" = "close bgm | 256 | none" ] ||
  fail "music commands with the music off: $(mci_commands "$trace")"
[ "$(sound_calls "$trace" | head -n 1)" = "0000000000000000 00020003" ] ||
  fail "no sound with the music off: $(sound_calls "$trace")"
echo "PASS"
