# Kamishibai: while one copy runs, a second copy in any mode ends at once, silently, touching
# nothing; a copy that was killed does not keep the next one from starting.
source "$(dirname "$0")/lib.sh"
e2e_setup

saver=$E2E_DIR/saver.scr
make_settings_saver "$saver"

open_window 設定 "$saver" /c || fail "the first copy shows no dialog"
first=$pid
# The same file by another path (a link) is the same saver.
ln -s "$saver" "$E2E_DIR/link.scr"
snapshot() { (cd "$E2E_DIR" && find . -path ./show -prune -o -print | sort && ls -l --time-style=+%s.%N "$E2E_DIR"); }
before=$(snapshot)

for mode in /c /s /a /p "" "/a 0"; do
  timeout 5 "$saver" $mode || fail "second copy in mode '$mode' did not end at once with status 0"
  timeout 5 "$E2E_DIR/link.scr" $mode || fail "second copy by a link, mode '$mode'"
done
[ "$(xdotool search --onlyvisible --name '.' | wc -l)" = 1 ] || fail "a second copy showed a window"
[ "$(snapshot)" = "$before" ] || fail "a second copy touched files"
[ ! -e "$XDG_CONFIG_HOME/kamishibai" ] || fail "a second copy touched the configuration"
kill -0 "$first" || fail "the first copy ended"

# A copy that dies keeps no lock: the next one starts.
kill -9 "$first"
wait "$first" 2>/dev/null || true
open_window 設定 "$saver" /c || fail "a killed copy kept the next one from starting"
key_to "$window" Escape
wait_for_status "$pid"
echo "PASS"
