#!/bin/sh
# The program's HTML manual, made from the README's sections on the windows,
# the command line, its plans and the device file, so that the two never
# disagree: a short table of contents and a small style sheet make it read
# as a manual.  The Japanese manual is made the same way from README.ja.md.
#   manual.sh README CMARK OUTPUT [ja]
set -eu
readme=$1
cmark=$2
out=$3
if [ "${4:-en}" = ja ]; then
    lang=ja
    title="Tarnel マニュアル"
    contents="目次"
    sections="画面|デバイスファイル|コマンドライン|多数のデバイスを一度に設定する: プラン"
else
    lang=en
    title="Tarnel manual"
    contents="Contents"
    sections="The windows|The device file|The command line|Setting up many devices at once: plans"
fi
echo "$sections" | tr '|' '\n' | while read -r section; do
    grep -qxF "## $section" "$readme" || { echo "manual.sh: no section '$section' in $readme" >&2; exit 1; }
done
{
    printf '<!DOCTYPE html>\n<html lang="%s">\n<head>\n<meta charset="utf-8">\n' "$lang"
    printf '<meta name="viewport" content="width=device-width, initial-scale=1">\n'
    printf '<title>%s</title>\n<style>\n' "$title"
    cat <<'STYLE'
:root { color-scheme: light dark; }
body { font-family: sans-serif; line-height: 1.5; max-width: 50em; margin: 2em auto; padding: 0 1em; }
h1 { font-size: 1.8em; margin-bottom: 0.2em; }
h2 { font-size: 1.35em; margin-top: 2em; border-bottom: 1px solid #8884; padding-bottom: 0.2em; }
nav ol { padding-left: 1.4em; }
code { font-family: monospace; font-size: 0.95em; background: #8882; padding: 0 0.2em; border-radius: 3px; }
pre { background: #8882; padding: 0.6em 0.8em; overflow-x: auto; border-radius: 4px; }
pre code { background: none; padding: 0; }
table { border-collapse: collapse; margin: 1em 0; }
th, td { border: 1px solid #8886; padding: 0.3em 0.5em; text-align: left; vertical-align: top; }
th { background: #8882; }
STYLE
    printf '</style>\n</head>\n<body>\n<h1>%s</h1>\n' "$title"
    awk -v sections="$sections" '
        BEGIN { n = split(sections, list, "|"); for (i = 1; i <= n; i++) wanted["## " list[i]] = 1 }
        /^## / { keep = ($0 in wanted) }
        keep' "$readme" | "$cmark" |
        awk -v contents="$contents" '/^<h2>.*<\/h2>$/ {
                 title = substr($0, 5, length($0) - 9)
                 toc[++n] = "<li><a href=\"#part" n "\">" title "</a></li>"
                 body[++lines] = "<a id=\"part" n "\"></a>"
             }
             { body[++lines] = $0 }
             END {
                 print "<nav>\n<h2>" contents "</h2>\n<ol>"
                 for (i = 1; i <= n; i++) print toc[i]
                 print "</ol>\n</nav>"
                 for (i = 1; i <= lines; i++) print body[i]
             }'
    printf '</body>\n</html>\n'
} >"$out.tmp"
mv "$out.tmp" "$out"
