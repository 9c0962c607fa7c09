# Kamishibai: the running-copy lock falls back from the runtime folder to the cache folder, as
# the work folder does, so a lock file that cannot be made in one (a folder or a dangling link
# in its place) still keeps a second copy from running; only when no lock can be had anywhere
# do two copies run, and the saver says so on stderr.
source "$(dirname "$0")/lib.sh"
e2e_setup

saver=$E2E_DIR/saver.scr
make_settings_saver "$saver"
lock_name=kamishibai-$(python3 -c 'import hashlib, os, sys
print(hashlib.blake2b(os.path.realpath(sys.argv[1]).encode(), digest_size=16).hexdigest())' "$saver").lock
runtime_lock=$XDG_RUNTIME_DIR/kamishibai/$lock_name
cache_lock=$XDG_CACHE_HOME/kamishibai/$lock_name
mkdir -p "$XDG_RUNTIME_DIR/kamishibai" "$XDG_CACHE_HOME/kamishibai"
chmod 700 "$XDG_RUNTIME_DIR/kamishibai" "$XDG_CACHE_HOME/kamishibai"

# first_copy: starts "/C" and waits for its dialog; sets FIRST.
first_copy() {
  "$saver" /c 2>"$E2E_DIR/first.err" &
  FIRST=$!
  wait_for_window "設定" >/dev/null || fail "$1: the first copy shows no dialog"
}

end_first_copy() {
  kill "$FIRST"
  wait "$FIRST" 2>/dev/null || true
}

for blocker in folder link; do
  rm -rf "$runtime_lock" "$cache_lock"
  if [ $blocker = folder ]; then mkdir "$runtime_lock"; else ln -s "$E2E_DIR/nowhere" "$runtime_lock"; fi
  first_copy "$blocker"
  [ -f "$cache_lock" ] || fail "$blocker: no lock in the cache folder: $(ls -R "$XDG_RUNTIME_DIR" "$XDG_CACHE_HOME")"
  timeout 5 "$saver" /c 2>"$E2E_DIR/second.err" || fail "$blocker: the second copy did not end at once"
  [ ! -s "$E2E_DIR/second.err" ] || fail "$blocker: the second copy wrote $(cat "$E2E_DIR/second.err")"
  [ "$(xdotool search --onlyvisible --name '^設定$' | wc -l)" = 1 ] || fail "$blocker: two dialogs"
  end_first_copy
done

# No lock anywhere: both copies run, and each says so.
rm -rf "$cache_lock"
mkdir "$cache_lock"
first_copy "no lock"
grep -q "lock" "$E2E_DIR/first.err" || fail "the first copy did not say that no lock could be made"
"$saver" /c 2>"$E2E_DIR/second.err" &
second=$!
for _ in $(seq 100); do
  [ "$(xdotool search --onlyvisible --name '^設定$' | wc -l)" = 2 ] && break
  sleep 0.1
done
[ "$(xdotool search --onlyvisible --name '^設定$' | wc -l)" = 2 ] || fail "the second copy did not run"
grep -q "lock" "$E2E_DIR/second.err" || fail "the second copy did not say that no lock could be made"
kill "$second"
end_first_copy
echo "PASS"
