#!/usr/bin/env bash
# Kamishibai: installs what is missing, builds, runs every test (the include and format checks,
# the unit tests, the end-to-end tests on a virtual X display; the grab test also under openbox,
# which it starts itself), cross-builds the Windows saver and runs its tests under wine on the
# same display, tests the Debian package that ships both players, fuzzes the package reader, the
# desktop settings reader and the password file's reader for a bounded time, then builds again
# with AddressSanitizer and UndefinedBehaviorSanitizer and runs the unit tests there. The builds
# are CMakePresets.json's.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
jobs=$(nproc)

cmake --preset release
cmake --build --preset release -j "$jobs"

# A display of our own for the end-to-end tests, removed when the script ends.
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null || true' EXIT
for _ in $(seq 50); do xdpyinfo -display "$display" >/dev/null 2>&1 && break; sleep 0.1; done
export DISPLAY=$display

echo "== Unit and end-to-end tests"
# The Debian package ships the Windows player, so its test waits for the Windows build.
ctest --test-dir build --output-on-failure -j "$jobs" -LE package

echo "== Windows build, its tests under wine"
cmake --preset windows
cmake --build --preset windows -j "$jobs"
# One wine prefix for the whole stage (making one takes seconds), removed when the script ends.
wine_dir=$(mktemp -d /tmp/kamishibai-wine.XXXXXX)
trap 'WINEPREFIX=$wine_dir/prefix wineserver --kill >/dev/null 2>&1 || true; rm -rf "$wine_dir";
      kill $xvfb_pid 2>/dev/null || true' EXIT
bash tests/win32/make_wine_prefix.sh "$wine_dir/prefix"
KAMISHIBAI_WINEPREFIX=$wine_dir/prefix ctest --test-dir build-win --output-on-failure

echo "== The Debian package, with the Windows player"
ctest --test-dir build --output-on-failure -L package

echo "== Fuzzing the package reader, the manifest reader, the desktop settings reader and the"
echo "   password file's reader"
cmake --preset fuzz
cmake --build --preset fuzz -j "$jobs"
mkdir -p build-fuzz/corpus build-fuzz/manifest_reader_corpus build-fuzz/desktop_settings_corpus \
  build-fuzz/password_file_corpus
build-fuzz/tests/package_reader_fuzz -max_total_time=60 -max_len=4096 build-fuzz/corpus tests/fuzz/corpus
build-fuzz/tests/manifest_reader_fuzz -max_total_time=30 -max_len=2048 \
  build-fuzz/manifest_reader_corpus tests/fuzz/manifest_reader_corpus
build-fuzz/tests/desktop_settings_fuzz -max_total_time=30 -max_len=4096 \
  build-fuzz/desktop_settings_corpus tests/fuzz/desktop_settings_corpus
build-fuzz/tests/password_file_fuzz -max_total_time=30 -max_len=512 \
  build-fuzz/password_file_corpus tests/fuzz/password_file_corpus

echo "== Unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset asan
cmake --build --preset asan -j "$jobs"
ctest --test-dir build-asan --output-on-failure -j "$jobs" -L unit
