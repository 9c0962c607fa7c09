# Kamishibai: SIGTERM, SIGINT and SIGHUP end the show in order: the work folder goes and the
# saver ends with the usual status for the signal. A folder left by a show that was killed
# (SIGKILL) is removed by the next start, while the folder of a show that still runs stays.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/show_lib.sh"
e2e_setup

saver=$E2E_DIR/kamishibai.scr
cp "$BUILD/kamishibai.scr" "$saver"
xdotool mousemove 100 100

has_files() {
  [ -n "$(ls "$1" 2>/dev/null)" ]
}

for signal in TERM INT HUP; do
  start_show "$saver"
  sleep 0.5
  [ -n "$(work_folders)" ] || fail "no work folder during the show"
  kill -s "$signal" "$SHOW_PID"
  status=0
  wait_for_status "$SHOW_PID" || status=$?
  [ "$status" = $((128 + $(kill -l "$signal"))) ] || fail "SIG$signal: status $status"
  [ -z "$(work_folders)" ] || fail "SIG$signal left $(work_folders)"
done

# Another saver (its own file differs, so both may run) keeps showing from temp1.
other=$E2E_DIR/other.scr
cp "$BUILD/kamishibai.scr" "$other"
start_show "$other"
running=$SHOW_PID
sleep 0.5
[ "$(work_folders)" = "$XDG_RUNTIME_DIR/kamishibai/temp1" ] || fail "folders: $(work_folders)"

# The window found may be the other show's: wait for this show's folder.
left=$XDG_RUNTIME_DIR/kamishibai/temp2
start_show "$saver"
wait_until 10 has_files "$left" || fail "the second show made no folder"
kill -s KILL "$SHOW_PID"
wait "$SHOW_PID" 2>/dev/null || true
touch "$left/left-behind"

start_show "$saver"
wait_until 10 test ! -e "$left/left-behind" || fail "the folder of the killed show is still there"
[ -n "$(ls "$XDG_RUNTIME_DIR/kamishibai/temp1")" ] || fail "the running show's folder was emptied"
kill -0 "$running" || fail "the running show ended"
kill -s TERM "$SHOW_PID" "$running"
wait_for_status "$SHOW_PID" || true
wait_for_status "$running" || true
[ -z "$(work_folders)" ] || fail "folders left: $(work_folders)"
echo "PASS"
