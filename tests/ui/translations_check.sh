#!/bin/sh
# Runs lupdate over the window's sources against a copy of the English
# translation and fails when any entry is left unfinished or a translated
# text no longer exists in the sources: every text the window shows has its
# English form.
# Usage: translations_check.sh LUPDATE SOURCE_DIR TS_FILE
set -eu
lupdate=$1
sources=$2
ts=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$ts" "$work/check.ts"
"$lupdate" "$sources" -extensions cpp,h -source-language zh_CN -target-language en -locations none \
  -ts "$work/check.ts" >"$work/lupdate.out" 2>&1 || { cat "$work/lupdate.out"; exit 1; }
cat "$work/lupdate.out"
unfinished=$(grep -c 'type="unfinished"' "$work/check.ts" || true)
vanished=$(grep -c 'type="vanished"\|type="obsolete"' "$work/check.ts" || true)
messages=$(grep -c '<message' "$work/check.ts" || true)
echo "$messages texts, $unfinished unfinished, $vanished no longer in the sources"
if [ "$unfinished" -ne 0 ] || [ "$vanished" -ne 0 ] || [ "$messages" -eq 0 ]; then
  grep -B2 'type="unfinished"\|type="vanished"\|type="obsolete"' "$work/check.ts" | grep '<source>' >&2 || true
  exit 1
fi
