#!/bin/sh
# The program's HTML manual, made from the README's sections on the windows,
# the command line, its plans and the device file, so that the two never
# disagree.  The Japanese manual is made the same way from README.ja.md.
#   manual.sh README CMARK OUTPUT [ja]
set -eu
readme=$1
cmark=$2
out=$3
if [ "${4:-en}" = ja ]; then
    lang=ja
    title="Tarnel マニュアル"
    sections="画面|デバイスファイル|コマンドライン|多数のデバイスを一度に設定する: プラン"
else
    lang=en
    title="Tarnel manual"
    sections="The windows|The device file|The command line|Setting up many devices at once: plans"
fi
echo "$sections" | tr '|' '\n' | while read -r section; do
    grep -qxF "## $section" "$readme" || { echo "manual.sh: no section '$section' in $readme" >&2; exit 1; }
done
{
    printf '<!DOCTYPE html>\n<html lang="%s">\n<head>\n<meta charset="utf-8">\n' "$lang"
    printf '<title>%s</title>\n</head>\n<body>\n<h1>%s</h1>\n' "$title" "$title"
    awk -v sections="$sections" '
        BEGIN { n = split(sections, list, "|"); for (i = 1; i <= n; i++) wanted["## " list[i]] = 1 }
        /^## / { keep = ($0 in wanted) }
        keep' "$readme" | "$cmark"
    printf '</body>\n</html>\n'
} >"$out.tmp"
mv "$out.tmp" "$out"
