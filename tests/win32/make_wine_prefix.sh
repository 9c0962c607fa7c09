#!/usr/bin/env bash
# Kamishibai: makes a new wine prefix in the folder given, whose dialogs draw Japanese text with
# a CJK font (fonts-noto-cjk), and the locales that choose its user's interface language. wine's output goes to DIR.log, never into a pipe: the wineserver
# inherits it and would hold it open.
set -euo pipefail
export WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
log=$WINEPREFIX.log
wineboot --init >"$log" 2>&1
# wineboot writes the prefix's own font substitutes as it finishes; written before that, "MS
# Shell Dlg" (the dialogs' font) would be put back to a font without Japanese glyphs.
wineserver --wait
# The Unix locales the tests give wine for the user's interface language (WINEPREFIX.locales):
# the machine needs none of its own.
mkdir -p "$WINEPREFIX.locales"
for locale in ja_JP en_US; do
  localedef -i $locale -f UTF-8 "$WINEPREFIX.locales/$locale.UTF-8" >>"$log" 2>&1
done
substitutes='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
for face in "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma" "MS UI Gothic"; do
  wine reg add "$substitutes" /v "$face" /t REG_SZ /d "Noto Sans CJK JP" /f >>"$log" 2>&1
done
wineserver --wait
