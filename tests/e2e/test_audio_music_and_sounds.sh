# Kamishibai: a saver with music and transition sounds plays both through SDL's disk audio
# driver, and the music, much shorter than a picture cycle, starts again after each end.
source "$(dirname "$0")/lib.sh"
source "$SOURCE/tests/lib/audio.sh"
e2e_setup

saver=$E2E_DIR/audio.scr
make_audio_saver "$saver" "$BUILD/kamishibai"
run_audio_show "$saver" "$E2E_DIR/out.raw" 5
summary=$(audio_summary "$E2E_DIR/out.raw" "$MUSIC_LEVEL" "$SOUND_LEVEL")
echo "$summary"

music=$(($(summary_value "$summary" music) + $(summary_value "$summary" both)))
sounds=$(($(summary_value "$summary" sound) + $(summary_value "$summary" both)))
[ "$music" -gt 0 ] || fail "no music in the output"
[ "$sounds" -gt 0 ] || fail "no sound in the output"
# Five seconds hold six keep-alives, 800 ms apart: the 300 ms music must have come back after
# silences at least twice, and the sound with every second picture at least twice.
[ "$(summary_value "$summary" music_bursts)" -ge 3 ] || fail "the music did not start again"
[ "$(summary_value "$summary" sound_bursts)" -ge 2 ] || fail "the sound did not come back"
[ -z "$(work_folders)" ] || fail "the work folder was left"
echo "PASS"
