# Kamishibai: the unit tests of the Windows build, run as a Windows program under wine.
source "$(dirname "$0")/wine_lib.sh"
win_setup
status=0
wine "$WIN_BUILD/tests/unit_tests.exe" --gtest_brief=1 >"$WIN_DIR/unit.log" 2>&1 || status=$?
cat "$WIN_DIR/unit.log"
[ "$status" -eq 0 ] || fail "the unit tests failed under wine (status $status)"
grep -q '^\[  PASSED  \]' "$WIN_DIR/unit.log" || fail "the unit tests did not report passing"
echo "PASS"
