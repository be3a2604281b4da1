#!/bin/sh
# Every text of the windows has its Japanese translation: lupdate, run over
# the sources into a copy of the translation file, finds no text that is new
# or unfinished and none that the sources no longer have.
#   translations_test.sh LUPDATE TS SOURCE_ROOT
set -eu
lupdate=$1
ts=$2
root=$3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cp "$ts" "$tmp/copy.ts"
"$lupdate" -silent -locations none -I "$root" "$root/rules" "$root/ui" "$root/app" -ts "$tmp/copy.ts"
bad=$(grep -B2 -E 'type="(unfinished|vanished|obsolete)"' "$tmp/copy.ts" | grep '<source>' || true)
if [ -n "$bad" ]; then
    echo "$bad"
    echo "translations: these texts are untranslated or gone from the sources; run" >&2
    echo "  cmake --build build --target lupdate   and translate them in $ts" >&2
    exit 1
fi
echo "translations: $(grep -c '<message>' "$ts") texts, all translated"
