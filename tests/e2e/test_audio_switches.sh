# Kamishibai: the settings file's two switches: 00 00 FF FF plays the sounds and no music,
# FF FF 00 00 the music and no sound.
source "$(dirname "$0")/lib.sh"
source "$SOURCE/tests/lib/audio.sh"
e2e_setup

saver=$E2E_DIR/audio.scr
make_audio_saver "$saver" "$BUILD/kamishibai"

printf '\x00\x00\xff\xff' >"$E2E_DIR/audio.set"
run_audio_show "$saver" "$E2E_DIR/sounds.raw" 4
summary=$(audio_summary "$E2E_DIR/sounds.raw" "$MUSIC_LEVEL" "$SOUND_LEVEL")
echo "sounds only: $summary"
[ "$(summary_value "$summary" music)" -eq 0 ] && [ "$(summary_value "$summary" both)" -eq 0 ] ||
  fail "music played with the music switched off"
[ "$(summary_value "$summary" sound_bursts)" -ge 2 ] || fail "the sounds did not play"

printf '\xff\xff\x00\x00' >"$E2E_DIR/audio.set"
run_audio_show "$saver" "$E2E_DIR/music.raw" 4
summary=$(audio_summary "$E2E_DIR/music.raw" "$MUSIC_LEVEL" "$SOUND_LEVEL")
echo "music only: $summary"
[ "$(summary_value "$summary" sound)" -eq 0 ] && [ "$(summary_value "$summary" both)" -eq 0 ] ||
  fail "a sound played with the sounds switched off"
[ "$(summary_value "$summary" music_bursts)" -ge 2 ] || fail "the music did not play"
[ "$(hex_of "$E2E_DIR/audio.set")" = "ffff0000" ] || fail "the show changed the settings file"
echo "PASS"
