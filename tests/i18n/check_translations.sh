# Kamishibai: every text the program passes through tr() or marks with N_() has a translation in
# each catalogue under po/, so no English dialog shows a Japanese text that was forgotten.
set -euo pipefail
source_dir=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$source_dir"
find base formats startup show platform tools studio -name '*.cpp' | sort >"$scratch/sources"
xgettext --from-code=UTF-8 --language=C++ --keyword=tr --keyword=N_ --files-from="$scratch/sources" \
  -o "$scratch/kamishibai.pot"
for po in po/*.po; do
  msgcmp "$po" "$scratch/kamishibai.pot"
done
echo "PASS"
