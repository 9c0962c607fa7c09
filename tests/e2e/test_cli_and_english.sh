# Kamishibai: --help and --version of the saver and the packer, and the texts under English and
# C locales: English help, message and dialog under en_US, the Japanese originals under C; a
# saver alone in a folder of its own speaks English under every environment that names English.
source "$(dirname "$0")/lib.sh"
e2e_setup

saver=$BUILD/kamishibai.scr

# Help and version print on stdout and end with status 0, touching nothing.
help=$(LC_ALL=C "$saver" --help) || fail "--help failed"
for option in /S /C /A /P -root -window-id --version 使い方:; do
  grep -qF -- "$option" <<<"$help" || fail "--help does not mention $option"
done
[ "$("$saver" --version)" = "kamishibai.scr (Kamishibai) $(sed -n 's/^project(kamishibai VERSION \([0-9.]*\).*/\1/p' "$SOURCE/CMakeLists.txt")" ] ||
  fail "--version says $("$saver" --version)"
"$BUILD/kamishibai-pack" --version | grep -q "^kamishibai-pack (Kamishibai) [0-9]" ||
  fail "kamishibai-pack --version failed"
[ -z "$(ls "$XDG_RUNTIME_DIR")" ] || fail "--help or --version left files"

english "$saver" --help | grep -q "^Usage: kamishibai.scr" || fail "--help is not in English"
english "$saver" --help | grep -q "Shows the slide show full-screen" || fail "--help lines not in English"

# The demo allows no settings: the message box, titled in English.
open_window "Screen Saver" english "$saver" /c || fail "no English message box"
key_to "$window" Return
wait_for_status "$pid"

# The settings dialog, in English, keeps its size: the texts fit the form. The saver lies in a
# folder with nothing else, as on a machine it was copied to.
mkdir "$E2E_DIR/alone"
make_settings_saver "$E2E_DIR/alone/saver.scr"
open_dialog "Settings" english "$E2E_DIR/alone/saver.scr" /c || fail "no English settings dialog"
[ "$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: //p')" = "297x138" ] ||
  fail "the English dialog is not 297 by 138"
key_to "$window" Escape
wait_for_status "$pid"

# English wins wherever the environment names it, installed or not: LANGUAGE under C.UTF-8,
# LC_MESSAGES, a locale this machine does not have. C.UTF-8 alone keeps the originals.
for environment in "LANG=C.UTF-8 LANGUAGE=en" "LANG=C.UTF-8 LC_MESSAGES=en_US.UTF-8" \
  "LANG=en_GB.UTF-8"; do
  env -u LC_ALL -u LC_MESSAGES -u LANGUAGE $environment "$E2E_DIR/alone/saver.scr" --help |
    grep -q "^Usage:" || fail "not English under $environment"
done
open_window "スクリーンセーバー" env LC_ALL=C.UTF-8 LANGUAGE= "$saver" /c ||
  fail "no Japanese message box under C.UTF-8"
key_to "$window" Return
wait_for_status "$pid"
echo "PASS"
