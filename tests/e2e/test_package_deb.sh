# Kamishibai: the Debian package: its control data and dependencies, its files where Debian keeps
# them, readable manual pages, a valid desktop entry, and the installed programs working from
# where they were unpacked, the packer making savers for Linux and for Windows.
source "$(dirname "$0")/lib.sh"
# The build names the Windows player through a link beside its packer (KAMISHIBAI_WINDOWS_PLAYER);
# the package is tested once the Windows build has made it.
if [ -L "$BUILD/kamishibai.exe" ] && [ ! -f "$BUILD/kamishibai.exe" ]; then
  echo "SKIP: the Windows player $(readlink "$BUILD/kamishibai.exe") is not built yet"
  exit 77
fi
windows_player=
[ -L "$BUILD/kamishibai.exe" ] && windows_player=$(readlink -f "$BUILD/kamishibai.exe")
e2e_setup

cpack -G DEB --config "$BUILD/CPackConfig.cmake" -B "$E2E_DIR/deb" >"$E2E_DIR/cpack.log" 2>&1 ||
  fail "cpack failed: $(cat "$E2E_DIR/cpack.log")"
deb=$(ls "$E2E_DIR"/deb/kamishibai_*.deb)
info=$(dpkg-deb --info "$deb")
grep -q "^ Package: kamishibai$" <<<"$info" || fail "no package name: $info"
for library in libgtk-3-0 libsdl2-mixer-2.0-0 libsodium23 libc6; do
  grep -q "^ Depends:.*$library" <<<"$info" || fail "the dependencies lack $library: $info"
done

# apt finds every dependency (a simulation: nothing is installed).
apt-get install --simulate "$deb" >"$E2E_DIR/apt.log" 2>&1 || fail "apt cannot install it: $(cat "$E2E_DIR/apt.log")"
grep -q "^Inst kamishibai " "$E2E_DIR/apt.log" || fail "apt would not install it: $(cat "$E2E_DIR/apt.log")"

# The description is plain text: no line of it starts with a list's separator.
description=$(dpkg-deb -f "$deb" Description)
! grep -q '^ *;' <<<"$description" || fail "the description has stray separators: $description"

root=$E2E_DIR/root
dpkg-deb -x "$deb" "$root"
prefix=$(sed -n 's/^set(CPACK_PACKAGING_INSTALL_PREFIX "\(.*\)")$/\1/p' "$BUILD/CPackConfig.cmake")
usr=$root$prefix
for file in bin/kamishibai bin/kamishibai-pack bin/kamishibai.scr bin/kamishibai-studio \
  share/man/man1/kamishibai.1.gz share/man/man1/kamishibai-pack.1.gz \
  share/man/man1/kamishibai-studio.1.gz share/applications/kamishibai-studio.desktop \
  share/icons/hicolor/scalable/apps/kamishibai-studio.svg \
  share/xscreensaver/config/kamishibai.scr.xml ${windows_player:+lib/kamishibai/kamishibai.exe}; do
  [ -f "$usr/$file" ] || fail "the package lacks $prefix/$file: $(dpkg-deb --contents "$deb")"
done
for program in kamishibai kamishibai-pack kamishibai.scr kamishibai-studio; do
  [ -x "$usr/bin/$program" ] || fail "$program is not executable"
done

# The manual pages render without a warning.
for page in "$usr"/share/man/man1/*.1.gz; do
  warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
done
xmllint --noout "$usr/share/xscreensaver/config/kamishibai.scr.xml" ||
  fail "the xscreensaver description is not well-formed"
desktop-file-validate "$usr/share/applications/kamishibai-studio.desktop" ||
  fail "the Studio's desktop entry is not valid"
grep -q '^Name\[ja\]=' "$usr/share/applications/kamishibai-studio.desktop" ||
  fail "the Studio's desktop entry has no Japanese name"
xmllint --noout "$usr/share/icons/hicolor/scalable/apps/kamishibai-studio.svg" ||
  fail "the Studio's icon is not well-formed"

# The installed demo: "/P" does nothing and ends at once; its package is intact after
# installation; it speaks English under an English locale.
"$usr/bin/kamishibai.scr" /P || fail "the installed demo's /P failed"
[ -z "$(work_folders)" ] || fail "/P made a work folder: $(ls -R "$XDG_RUNTIME_DIR")"
"$usr/bin/kamishibai-pack" info --json "$usr/bin/kamishibai.scr" | grep -q "\"PictureCount\":66," ||
  fail "the installed demo's package cannot be read"
english "$usr/bin/kamishibai.scr" --help |
  grep -q "^Usage:" || fail "the installed saver does not speak English"

# The installed packer makes a saver after the installed Linux player by default, and after the
# installed Windows player for Windows.
convert -size 8x8 xc:red "$E2E_DIR/red.png"
printf '[area]\nwidth = 8\nheight = 8\n[[slide]]\npicture = "red.png"\n' >"$E2E_DIR/show.toml"
# installed_pack SAVER [OPTION...]: the show packed by the installed packer.
installed_pack() {
  "$usr/bin/kamishibai-pack" build "$E2E_DIR/show.toml" -o "$E2E_DIR/$1" "${@:2}" \
    2>"$E2E_DIR/pack.log" || fail "the installed packer made no $1: $(cat "$E2E_DIR/pack.log")"
}
# starts_with SAVER PLAYER: the saver is the player's bytes with more after them.
starts_with() {
  cmp -s -n "$(stat -c %s "$2")" "$1" "$2" && [ "$(stat -c %s "$1")" -gt "$(stat -c %s "$2")" ]
}
installed_pack linux.scr
starts_with "$E2E_DIR/linux.scr" "$usr/bin/kamishibai" || fail "linux.scr is not the Linux player's"
if [ -n "$windows_player" ]; then
  cmp -s "$windows_player" "$usr/lib/kamishibai/kamishibai.exe" ||
    fail "the package's Windows player is not the one built"
  installed_pack windows.scr --for windows
  starts_with "$E2E_DIR/windows.scr" "$usr/lib/kamishibai/kamishibai.exe" ||
    fail "windows.scr is not the Windows player's"
fi
echo "PASS"
