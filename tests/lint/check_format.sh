#!/usr/bin/env bash
# Kamishibai: every C++ file is formatted as .clang-format says. Prints the files that are not
# and fails when there is one.
set -euo pipefail
cd "${1:-$(dirname "$0")/../..}"
# The tracked files; every file under the source folders when this is no git checkout.
list_sources() {
  git ls-files -z '*.cpp' '*.h' 2>/dev/null ||
    find . -path ./build\* -prune -o \( -name '*.cpp' -o -name '*.h' \) -print0
}
report=$(list_sources | xargs -0 clang-format --dry-run -Werror 2>&1 || true)
unformatted=$(grep -oE '^[^:]+\.(cpp|h):[0-9]+:[0-9]+: error' <<<"$report" | cut -d: -f1 | sort -u || true)
if [ -n "$unformatted" ]; then
  echo "not formatted (clang-format -i FILE):" >&2
  echo "$unformatted" >&2
  exit 1
fi
echo "PASS: every C++ file is formatted"
