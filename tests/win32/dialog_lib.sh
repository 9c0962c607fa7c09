# Kamishibai: driving and reading a saver's dialogs under wine by keyboard alone, for the tests
# of the Windows build (after wine_lib.sh).

# read_dialog OUT [close]: waits for the saver's dialog or message box and writes what
# dialog_reader sees (title, client size, focus, controls in tab order) to OUT.
read_dialog() {
  rm -f "$1"
  wine_logged "$WIN_BUILD/tests/dialog_reader.exe" "$(windows_path "$1")" ${2:-} || fail "no dialog appeared"
}

# dialog_state: "focus ID checked ID,ID" of the dialog now shown.
dialog_state() {
  local out=$WIN_DIR/dialog.txt
  read_dialog "$out"
  local focus checked
  focus=$(sed -n 's/^focus //p' "$out")
  checked=$(grep ' checked' "$out" | cut -d' ' -f1 | paste -sd,)
  echo "focus $focus checked $checked"
}

# press WINDOW KEY...: sends the keys to the window as a user would type them, one by one.
press() {
  local window=$1
  shift
  for key in "$@"; do
    xdotool windowfocus --sync "$window" key "$key"
    sleep 0.2
  done
}
