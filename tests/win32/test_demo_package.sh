# Kamishibai: the Windows demo saver carries the very package of the Linux one: the same bytes
# after a different player.
source "$(dirname "$0")/wine_lib.sh"
LINUX_BUILD=${KAMISHIBAI_LINUX_BUILD:?KAMISHIBAI_LINUX_BUILD must name the Linux build}

# package FILE: the package at the file's end, whose length the last four bytes give.
package() {
  local file=$1 length
  length=$(tail -c 4 "$file" | od -An -tu4 | tr -d ' ')
  tail -c "$length" "$file"
}
cmp <(package "$LINUX_BUILD/kamishibai.scr") <(package "$WIN_BUILD/kamishibai.scr") ||
  fail "the Windows demo holds another package than the Linux demo"
[ "$(head -c 2 "$WIN_BUILD/kamishibai.scr")" = "MZ" ] || fail "the Windows demo is not a Windows program"
echo "PASS"
